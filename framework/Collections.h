// Collections: ordered lists of items that the collection owns, each item knowing its index.
// Every change of an item's property and of the list itself is reported through Update, so
// the component that owns the collection can repaint. Stored layouts fill them from a
// collection value (Sections = < item AutoSize = True end item ... end >) through
// ReadCollection (Streaming.h).
#pragma once
#include <functional>
#include <memory>
#include <vector>

class TCollection;

class TCollectionItem {
 public:
  // Records the collection it is made for; the collection appends it (TCollection::Add).
  explicit TCollectionItem(TCollection* collection) : collection_(collection) {}
  virtual ~TCollectionItem() = default;
  TCollectionItem(const TCollectionItem&) = delete;
  TCollectionItem& operator=(const TCollectionItem&) = delete;

  TCollection* Collection() const { return collection_; }
  // Position in the collection; -1 while in none.
  int Index() const;
  // Moves the item to index (clamped to the list).
  void SetIndex(int index);
  // Copies the stored properties of source, an item of the same kind. The base copies nothing.
  virtual void Assign(const TCollectionItem& source);

 protected:
  // Reports a change of this item (or, with allItems, one that concerns the whole list).
  void Changed(bool allItems = false);

 private:
  TCollection* collection_;
};

class TCollection {
 public:
  TCollection() = default;
  virtual ~TCollection();
  TCollection(const TCollection&) = delete;
  TCollection& operator=(const TCollection&) = delete;

  int Count() const { return static_cast<int>(items_.size()); }
  // Raises Exception for an index outside 0..Count-1.
  TCollectionItem* Items(int index) const;
  int IndexOf(const TCollectionItem* item) const;
  // A new item at the end.
  TCollectionItem* Add();
  // A new item at index (clamped to 0..Count).
  TCollectionItem* Insert(int index);
  // Frees the item at index; an index outside the list raises Exception.
  void Delete(int index);
  void Clear();
  // Makes this collection a copy of source: as many items, each assigned from its source item.
  void Assign(const TCollection& source);
  void Move(int from, int to);

  // Changes between BeginUpdate and the last EndUpdate are reported once, by EndUpdate.
  void BeginUpdate() { ++updateCount_; }
  void EndUpdate();
  bool Updating() const { return updateCount_ > 0; }

  // Called on every change: with the item for a change of one item, with null for a change
  // of the list. The base calls OnUpdate.
  virtual void Update(TCollectionItem* item);
  std::function<void(TCollectionItem* item)> OnUpdate;

 protected:
  friend class TCollectionItem;
  virtual std::unique_ptr<TCollectionItem> CreateItem() = 0;
  void Changed(TCollectionItem* item);

 private:
  std::vector<std::unique_ptr<TCollectionItem>> items_;
  int updateCount_ = 0;
  bool changedWhileUpdating_ = false;
};

// A collection of one item class, which is constructed from the collection (Item(TCollection*)).
template <class Item>
class TCollectionOf : public TCollection {
 public:
  Item* Add() { return static_cast<Item*>(TCollection::Add()); }
  Item* Insert(int index) { return static_cast<Item*>(TCollection::Insert(index)); }
  Item* Items(int index) const { return static_cast<Item*>(TCollection::Items(index)); }

 protected:
  std::unique_ptr<TCollectionItem> CreateItem() override { return std::make_unique<Item>(this); }
};

// Owned item lists with change reports.
#include "framework/Collections.h"

#include <algorithm>
#include <string>

#include "framework/Exceptions.h"

int TCollectionItem::Index() const { return collection_ ? collection_->IndexOf(this) : -1; }

void TCollectionItem::SetIndex(int index) {
  const int current = Index();
  if (current >= 0 && current != index) collection_->Move(current, index);
}

void TCollectionItem::Assign(const TCollectionItem&) {}

void TCollectionItem::Changed(bool allItems) {
  if (collection_ && Index() >= 0) collection_->Changed(allItems ? nullptr : this);
}

TCollection::~TCollection() {
  // Items go without reports: whoever listens may be going away too.
  OnUpdate = nullptr;
  updateCount_ = 1;
  items_.clear();
}

TCollectionItem* TCollection::Items(int index) const {
  if (index < 0 || index >= Count()) throw Exception("List index out of bounds (" + std::to_string(index) + ")");
  return items_[static_cast<size_t>(index)].get();
}

int TCollection::IndexOf(const TCollectionItem* item) const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (items_[i].get() == item) return static_cast<int>(i);
  return -1;
}

TCollectionItem* TCollection::Add() { return Insert(Count()); }

TCollectionItem* TCollection::Insert(int index) {
  index = std::clamp(index, 0, Count());
  std::unique_ptr<TCollectionItem> item = CreateItem();
  TCollectionItem* raw = item.get();
  items_.insert(items_.begin() + index, std::move(item));
  Changed(nullptr);
  return raw;
}

void TCollection::Delete(int index) {
  Items(index);  // range check
  // Out of the list first, so the report sees the list without it.
  std::unique_ptr<TCollectionItem> gone = std::move(items_[static_cast<size_t>(index)]);
  items_.erase(items_.begin() + index);
  gone.reset();
  Changed(nullptr);
}

void TCollection::Clear() {
  if (items_.empty()) return;
  std::vector<std::unique_ptr<TCollectionItem>> gone;
  gone.swap(items_);
  gone.clear();
  Changed(nullptr);
}

void TCollection::Assign(const TCollection& source) {
  if (&source == this) return;
  BeginUpdate();
  try {
    Clear();
    for (int i = 0; i < source.Count(); ++i) Add()->Assign(*source.Items(i));
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TCollection::Move(int from, int to) {
  Items(from);
  to = std::clamp(to, 0, Count() - 1);
  if (from == to) return;
  std::unique_ptr<TCollectionItem> item = std::move(items_[static_cast<size_t>(from)]);
  items_.erase(items_.begin() + from);
  items_.insert(items_.begin() + to, std::move(item));
  Changed(nullptr);
}

void TCollection::EndUpdate() {
  if (updateCount_ == 0) return;
  if (--updateCount_ == 0 && changedWhileUpdating_) {
    changedWhileUpdating_ = false;
    Update(nullptr);
  }
}

void TCollection::Update(TCollectionItem* item) {
  if (OnUpdate) OnUpdate(item);
}

void TCollection::Changed(TCollectionItem* item) {
  if (updateCount_ > 0) {
    changedWhileUpdating_ = true;
    return;
  }
  Update(item);
}

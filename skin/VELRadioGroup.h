// Check groups and radio groups: group boxes that make one item button per line of Items and
// lay them out in columns. In a radio group one item at most is selected (ItemIndex).
#pragma once
#include <string>
#include <vector>

#include "skin/VELCheckBox.h"
#include "skin/VELGroupBox.h"

class TvelCheckGroup;

class TvelCheckGroupButton : public TvelCheckBox {
 public:
  TvelCheckGroupButton(TComponent* owner, TvelCheckGroup* group) : TvelCheckBox(owner), group_(group) {}
  const char* ClassName() const override { return "TvelCheckGroupButton"; }
  TvelCheckGroup* Group() const { return group_; }

 protected:
  TvelCheckKind Kind() const override { return TvelCheckKind::CheckGroupButton; }

 private:
  TvelCheckGroup* group_;
};

class TvelRadioGroupButton : public TvelRadioButton {
 public:
  TvelRadioGroupButton(TComponent* owner, TvelCheckGroup* group) : TvelRadioButton(owner), group_(group) {}
  const char* ClassName() const override { return "TvelRadioGroupButton"; }
  TvelCheckGroup* Group() const { return group_; }

 protected:
  TvelCheckKind Kind() const override { return TvelCheckKind::RadioGroupButton; }
  bool NeedsFocusFrame() const override;
  bool GroupCanModify() const override;

 private:
  TvelCheckGroup* group_;
};

class TvelCheckGroup : public TvelCustomGroupBox {
 public:
  explicit TvelCheckGroup(TComponent* owner);
  ~TvelCheckGroup() override;
  const char* ClassName() const override { return "TvelCheckGroup"; }

  const std::vector<std::string>& Items() const { return items_; }
  // The list takes a copy of the lines; every change of the list runs ItemsChanged.
  void SetItems(const std::vector<std::string>& lines);
  void AddItem(const std::string& line);
  void ClearItems() { SetItems({}); }
  int ItemCount() const { return static_cast<int>(buttons_.size()); }
  TvelCheckBox* ItemButton(int index) const { return buttons_[static_cast<size_t>(index)]; }

  int Columns() const { return columns_; }
  void SetColumns(int columns);  // below 1: ignored
  int TopMargin() const { return topMargin_; }
  void SetTopMargin(int margin);  // negative: ignored
  TColor FontColor() const { return Font().Color(); }
  void SetFontColor(TColor color) { Font().SetColor(color); }
  TCursor ItemCursor() const { return itemCursor_; }
  void SetItemCursor(TCursor cursor);

  void SetTransparent(bool value) override;
  void FontChanged() override;
  void Resize() override;
  void Click() override;
  bool DialogKey(int key, TShiftState shift) override;
  // Fires OnClick (unless loading) after BeforeGroupClick; item changes arrive here.
  void GroupClick();
  // Lays the item buttons out in Columns columns below TopMargin.
  void ArrangeItemButtons();

 protected:
  void ApplyStyle(TvelUIStyle style, TvelFileTheme* fileTheme) override;
  virtual void BeforeGroupClick() {}
  virtual TvelCheckBox* CreateItemButton();
  virtual void FocusItem();
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void ItemsChanged();
  // Makes or destroys buttons until there is one per line, then sets their captions. True
  // when buttons were made.
  bool SyncItemButtons();
  std::vector<std::string> items_;
  std::vector<TvelCheckBox*> buttons_;  // children of the group, destroyed with it
  int columns_ = 1;
  int topMargin_ = 8;
  TCursor itemCursor_ = crDefault;
};

class TvelRadioGroup : public TvelCheckGroup {
 public:
  explicit TvelRadioGroup(TComponent* owner) : TvelCheckGroup(owner) {}
  const char* ClassName() const override { return "TvelRadioGroup"; }
  int ItemIndex() const;
  // Values outside -1 .. Items count - 1 are ignored; -1 clears every item.
  void SetItemIndex(int index);
  virtual bool CanModify() const { return true; }

 protected:
  TvelCheckBox* CreateItemButton() override;
  void FocusItem() override;
};

// Registers the group box, check group and radio group classes for stored layouts.
void RegisterVelRadioGroupClasses();

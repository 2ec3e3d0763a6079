// Check and radio groups on Win32: item buttons made from Items, their arrangement, style and
// font passed on to them, arrow keys between items, ItemIndex and the stored properties.
#include "skin/VELRadioGroup.h"

#include <algorithm>
#include <memory>
#include <mutex>

#include "framework/Streaming.h"
#include "skin/VELCheckCore.h"
#include "skin/VELControlThemes.h"

// ---------------------------------------------------------------- item buttons

bool TvelRadioGroupButton::NeedsFocusFrame() const {
  return ::NeedsFocusFrame(Kind(), TabStop(), Focused(), group_ && group_->Focused(), Checked());
}

bool TvelRadioGroupButton::GroupCanModify() const {
  auto* radio = dynamic_cast<TvelRadioGroup*>(Parent());
  return !radio || radio->CanModify();
}

// ---------------------------------------------------------------- TvelCheckGroup

TvelCheckGroup::TvelCheckGroup(TComponent* owner) : TvelCustomGroupBox(owner) {
  // The group box's constructor ran its own ApplyStyle; this class's runs now.
  SetUIStyle(DefaultStyleFor(owner));
  SetTransparent(false);
  SetParentColor(true);
  SetTabStop(true);
}

TvelCheckGroup::~TvelCheckGroup() {
  BeginDestroying();
  // The buttons are children and go with the window control's teardown; the list must not
  // be used for them afterwards.
  buttons_.clear();
}

void TvelCheckGroup::SetItems(const std::vector<std::string>& lines) {
  items_ = lines;
  ItemsChanged();
}

void TvelCheckGroup::AddItem(const std::string& line) {
  items_.push_back(line);
  ItemsChanged();
}

void TvelCheckGroup::ItemsChanged() {
  const bool added = SyncItemButtons();
  ArrangeItemButtons();
  if (added) {
    // Twice: Transparent ends as it was, and the group and every button repaint.
    SetTransparent(!Transparent());
    SetTransparent(!Transparent());
  }
}

TvelCheckBox* TvelCheckGroup::CreateItemButton() { return new TvelCheckGroupButton(this, this); }

bool TvelCheckGroup::SyncItemButtons() {
  const int d = static_cast<int>(items_.size()) - static_cast<int>(buttons_.size());
  for (int i = 0; i < -d; ++i) {
    TvelCheckBox* last = buttons_.back();
    buttons_.pop_back();
    delete last;
  }
  for (int i = 0; i < d; ++i) {
    TvelCheckBox* b = CreateItemButton();
    b->SetParent(this);
    b->SetFont(Font());
    b->SetAutoSize(true);
    b->SetFileTheme(FileTheme());
    b->SetUIStyle(UIStyle());
    b->SetTransparent(Transparent());
    b->SetParentColor(true);
    b->SetTabStop(false);
    b->OnClick = [this](TComponent*) { GroupClick(); };
    b->SetCursor(itemCursor_);
    buttons_.push_back(b);
  }
  for (size_t i = 0; i < buttons_.size(); ++i) {
    buttons_[i]->SetText(items_[i]);
    buttons_[i]->SetAutoSize(true);
  }
  return d > 0;
}

void TvelCheckGroup::ArrangeItemButtons() {
  if (buttons_.empty()) return;
  std::vector<int> widths;
  widths.reserve(buttons_.size());
  for (TvelCheckBox* b : buttons_) widths.push_back(b->Width());
  const std::vector<TPoint> at =
      ::ArrangeItemButtons(widths, columns_, ClientRect(), Width(), FontHeight(), topMargin_, RightToLeft());
  for (size_t i = 0; i < at.size(); ++i) buttons_[i]->SetBounds(at[i].X, at[i].Y, buttons_[i]->Width(), buttons_[i]->Height());
}

void TvelCheckGroup::SetColumns(int columns) {
  if (!ColumnsAccepted(columns)) return;
  columns_ = columns;
  ArrangeItemButtons();
}

void TvelCheckGroup::SetTopMargin(int margin) {
  if (!TopMarginAccepted(margin)) return;
  topMargin_ = margin;
  ArrangeItemButtons();
}

void TvelCheckGroup::SetItemCursor(TCursor cursor) {
  itemCursor_ = cursor;
  for (TvelCheckBox* b : buttons_) b->SetCursor(cursor);
}

void TvelCheckGroup::SetTransparent(bool value) {
  TvelCustomGroupBox::SetTransparent(value);
  for (TvelCheckBox* b : buttons_) b->SetTransparent(value);
}

void TvelCheckGroup::ApplyStyle(TvelUIStyle style, TvelFileTheme* fileTheme) {
  TvelCustomGroupBox::ApplyStyle(style, fileTheme);
  for (TvelCheckBox* b : buttons_) {
    b->SetFileTheme(fileTheme);
    b->SetUIStyle(style);
    b->SetColor(Color());
  }
}

void TvelCheckGroup::FontChanged() {
  TvelCustomGroupBox::FontChanged();
  for (TvelCheckBox* b : buttons_) b->SetFont(Font());
}

void TvelCheckGroup::Resize() {
  TvelCustomGroupBox::Resize();
  ArrangeItemButtons();
}

void TvelCheckGroup::Click() { GroupClick(); }

void TvelCheckGroup::GroupClick() {
  BeforeGroupClick();
  if (!Loading() && OnClick) OnClick(this);
}

void TvelCheckGroup::FocusItem() {
  if (!buttons_.empty() && buttons_.front()->CanFocus()) buttons_.front()->SetFocus();
}

bool TvelCheckGroup::DialogKey(int key, TShiftState shift) {
  if (key >= VK_LEFT && key <= VK_DOWN && !(shift & (ssCtrl | ssAlt))) {
    // Arrows move the focus between the items, wrapping round; a radio item that receives
    // it from another becomes the selected one.
    const auto it = std::find_if(buttons_.begin(), buttons_.end(), [](TvelCheckBox* b) { return b->Focused(); });
    if (it != buttons_.end()) {
      const int n = static_cast<int>(buttons_.size());
      const int step = key == VK_RIGHT || key == VK_DOWN ? 1 : n - 1;
      const int at = static_cast<int>(it - buttons_.begin());
      for (int k = 1; k < n; ++k) {
        TvelCheckBox* next = buttons_[static_cast<size_t>((at + step * k) % n)];
        if (next->CanFocus()) {
          next->SetFocus();
          break;
        }
      }
      return true;
    }
  }
  return TvelCustomGroupBox::DialogKey(key, shift);
}

LRESULT TvelCheckGroup::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg != WM_SETFOCUS) return TvelCustomGroupBox::WndProc(msg, wParam, lParam);
  const LRESULT r = TvelCustomGroupBox::WndProc(msg, wParam, lParam);
  FocusItem();
  return r;
}

// ---------------------------------------------------------------- TvelRadioGroup

TvelCheckBox* TvelRadioGroup::CreateItemButton() { return new TvelRadioGroupButton(this, this); }

int TvelRadioGroup::ItemIndex() const {
  const size_t n = static_cast<size_t>(ItemCount());
  const auto checked = std::make_unique<bool[]>(n);
  for (size_t i = 0; i < n; ++i) checked[i] = ItemButton(static_cast<int>(i))->Checked();
  return ItemIndexOf({checked.get(), n});
}

void TvelRadioGroup::SetItemIndex(int index) {
  if (!ItemIndexAccepted(index, static_cast<int>(Items().size()))) return;
  if (index == -1) {
    for (int i = 0; i < ItemCount(); ++i) ItemButton(i)->SetChecked(false);
  } else if (index < ItemCount()) {
    ItemButton(index)->SetChecked(true);
  }
}

void TvelRadioGroup::FocusItem() {
  const int index = ItemIndex();
  if (index >= 0 && index < static_cast<int>(Items().size()) && ItemButton(index)->CanFocus())
    ItemButton(index)->SetFocus();
}

// ---------------------------------------------------------------- stored properties

namespace {
using R = TReader;
using V = TLayoutValue;
}  // namespace

void RegisterVelRadioGroupClasses() {
  RegisterVelGroupBoxClasses();
  static std::once_flag once;
  std::call_once(once, [] {
    auto& c = RegisterComponentClass<TvelCheckGroup>("TvelCheckGroup", "TvelCustomGroupBox");
    c.Prop<TvelCheckGroup>("Items.Strings", [](TvelCheckGroup& t, const V& v, R&) { t.SetItems(R::Strings(v)); });
    c.Prop<TvelCheckGroup>("Columns", [](TvelCheckGroup& t, const V& v, R&) { t.SetColumns(R::IntRange(v, INT32_MIN, INT32_MAX)); });
    c.Prop<TvelCheckGroup>("TopMargin",
                           [](TvelCheckGroup& t, const V& v, R&) { t.SetTopMargin(R::IntRange(v, INT32_MIN, INT32_MAX)); });
    c.Prop<TvelCheckGroup>("FontColor", [](TvelCheckGroup& t, const V& v, R&) { t.SetFontColor(R::Color(v)); });
    c.Prop<TvelCheckGroup>("BorderColor", [](TvelCheckGroup& t, const V& v, R&) { t.SetBorderColor(R::Color(v)); });
    c.Prop<TvelCheckGroup>("Cursor", [](TvelCheckGroup& t, const V& v, R&) {
      t.SetItemCursor(v.kind == V::Integer ? R::IntRange(v, -32768, 32767)
                                           : R::Enum<TCursor>(v, {{"crDefault", crDefault}, {"crArrow", crArrow},
                                                                  {"crHandPoint", crHandPoint}, {"crIBeam", crIBeam},
                                                                  {"crCross", crCross}}));
    });
    for (const char* ignored : {"OnDragDrop", "OnDragOver", "OnEndDock", "OnEndDrag", "OnStartDock", "OnStartDrag"})
      c.Property(ignored, [](TComponent&, const V&, R&) {});
    auto& r = RegisterComponentClass<TvelRadioGroup>("TvelRadioGroup", "TvelCheckGroup");
    r.Prop<TvelRadioGroup>("ItemIndex", [](TvelRadioGroup& t, const V& v, R&) { t.SetItemIndex(R::IntRange(v, INT32_MIN, INT32_MAX)); });
  });
}

// The menu item tree and its rules (radio groups, AutoCheck, commands, shortcut names) and
// the menu classes' stored properties; the system menus themselves are built in Menus_win.
#include "framework/Menus.h"

#include <algorithm>
#include <map>

#include "framework/ImageList.h"

namespace {
// Command identifiers of live items. WM_COMMAND carries 16 bits; 0 and the dialog IDs
// below 0x100 are left alone. Never destroyed: items of forms that the application frees at
// exit still leave it after the static objects have gone.
std::map<int, TMenuItem*>& Commands() {
  static auto* commands = new std::map<int, TMenuItem*>;
  return *commands;
}
int NewCommand(TMenuItem* item) {
  static int next = 0x100;
  auto& commands = Commands();
  for (int tries = 0; tries < 0xFF00; ++tries) {
    int id = next;
    next = next >= 0xFFFF ? 0x100 : next + 1;
    if (commands.emplace(id, item).second) return id;
  }
  return 0;  // every identifier taken: the item cannot be chosen
}
}  // namespace

std::string ShortCutToText(TShortCut shortCut) {
  const int key = shortCut & 0xFF;
  std::string name;
  if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) {
    name = std::string(1, static_cast<char>(key));
  } else if (key >= 0x70 && key <= 0x87) {  // F1..F24
    name = "F";
    name += std::to_string(key - 0x6F);
  } else {
    static const std::map<int, const char*> names = {
        {0x08, "BkSp"}, {0x09, "Tab"},   {0x0D, "Enter"}, {0x1B, "Esc"},  {0x20, "Space"}, {0x21, "PgUp"},
        {0x22, "PgDn"}, {0x23, "End"},   {0x24, "Home"},  {0x25, "Left"}, {0x26, "Up"},    {0x27, "Right"},
        {0x28, "Down"}, {0x2D, "Ins"},   {0x2E, "Del"}};
    auto it = names.find(key);
    if (it == names.end()) return {};
    name = it->second;
  }
  std::string text;
  if (shortCut & scShift) text += "Shift+";
  if (shortCut & scCtrl) text += "Ctrl+";
  if (shortCut & scAlt) text += "Alt+";
  text += name;
  return text;
}

char MenuAccelerator(const std::string& caption) {
  for (size_t i = 0; i < caption.size(); ++i) {
    const auto c = static_cast<unsigned char>(caption[i]);
    if (c >= 0x81 && c <= 0xFE) {  // a GBK lead byte: its trail byte is no '&'
      ++i;
      continue;
    }
    if (c != '&' || i + 1 >= caption.size()) continue;
    const auto next = static_cast<unsigned char>(caption[i + 1]);
    if (next == '&') {
      ++i;
      continue;
    }
    if (next >= 0x80) return 0;
    return static_cast<char>(next >= 'a' && next <= 'z' ? next - 'a' + 'A' : next);
  }
  return 0;
}

// ---------------------------------------------------------------- TMenuItem

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) { command_ = NewCommand(this); }

TMenuItem::~TMenuItem() {
  if (command_) Commands().erase(command_);
  for (TMenuItem* child : items_) child->parent_ = nullptr;
  items_.clear();
  if (parent_) parent_->Remove(this);
}

void TMenuItem::SetParentComponent(TComponent* parent) {
  if (auto* item = dynamic_cast<TMenuItem*>(parent)) {
    item->Add(this);
  } else if (auto* menu = dynamic_cast<TMenu*>(parent)) {
    menu->Items()->Add(this);
  }
}

TMenuItem* TMenuItem::FromCommand(int command) {
  auto it = Commands().find(command);
  return it == Commands().end() ? nullptr : it->second;
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* item = this;
  while (item->parent_) item = item->parent_;
  return item->rootMenu_;
}

void TMenuItem::Changed() {
  TMenu* menu = GetParentMenu();
  if (!menu || menu->Loading() || menu->Destroying() || (menu->Owner() && menu->Owner()->Destroying())) return;
  menu->MenuChanged(this);
}

void TMenuItem::SetCaption(const std::string& caption) {
  caption_ = caption;
  Changed();
}
void TMenuItem::SetShortCut(TShortCut shortCut) {
  shortCut_ = shortCut;
  Changed();
}
std::string TMenuItem::ShortCutText() const { return shortCutTextSet_ ? shortCutText_ : ShortCutToText(shortCut_); }
void TMenuItem::SetShortCutText(const std::string& text) {
  shortCutText_ = text;
  shortCutTextSet_ = true;
  Changed();
}
void TMenuItem::SetRadioItem(bool v) {
  radioItem_ = v;
  Changed();
}
void TMenuItem::SetEnabled(bool v) {
  enabled_ = v;
  Changed();
}
void TMenuItem::SetVisible(bool v) {
  visible_ = v;
  Changed();
}
void TMenuItem::SetDefault(bool v) {
  default_ = v;
  Changed();
}
void TMenuItem::SetImageIndex(int v) {
  imageIndex_ = v;
  Changed();
}

void TMenuItem::SetChecked(bool checked) {
  checked_ = checked;
  if (checked && radioItem_ && parent_)
    for (TMenuItem* sibling : parent_->items_)
      if (sibling != this && sibling->radioItem_ && sibling->groupIndex_ == groupIndex_) sibling->checked_ = false;
  Changed();
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
  auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TMenuItem::Insert(int index, TMenuItem* item) {
  if (!item || item == this) return;
  for (TMenuItem* p = this; p; p = p->parent_)
    if (p == item) return;  // an item cannot hold its own ancestor
  if (item->parent_) item->parent_->Remove(item);
  if (index < 0 || index > Count()) index = Count();
  items_.insert(items_.begin() + index, item);
  item->parent_ = this;
  Changed();
}

void TMenuItem::Remove(TMenuItem* item) {
  auto it = std::find(items_.begin(), items_.end(), item);
  if (it == items_.end()) return;
  items_.erase(it);
  item->parent_ = nullptr;
  Changed();
}

void TMenuItem::Click() {
  if (!enabled_) return;
  if (autoCheck_) SetChecked(radioItem_ ? true : !checked_);
  if (OnClick) OnClick(this);
}

// ---------------------------------------------------------------- TMenu

TMenu::TMenu(TComponent* owner) : TComponent(owner), items_(new TMenuItem(nullptr)) { items_->rootMenu_ = this; }

TMenu::~TMenu() {
  if (images_) RemoveFreeNotification(images_);
  DestroyHandle();
  items_->rootMenu_ = nullptr;
  items_->Free();
}

void TMenu::SetOwnerDraw(bool v) {
  ownerDraw_ = v;
  MenuChanged(nullptr);
}

bool TMenu::GoingAway() const { return Destroying() || (Owner() && Owner()->Destroying()); }

void TMenu::SetImages(TImageList* images) {
  if (images == images_) return;
  if (images_) RemoveFreeNotification(images_);
  images_ = images;
  if (images) FreeNotification(images);
  if (!Loading() && !GoingAway()) MenuChanged(nullptr);
}

void TMenu::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component && component == images_) {
    images_ = nullptr;
    if (!GoingAway()) MenuChanged(nullptr);
  }
}

TMenuItem* TMenu::FindItem(int command) const {
  TMenuItem* item = TMenuItem::FromCommand(command);
  return item && item->GetParentMenu() == this ? item : nullptr;
}

bool TMenu::DispatchCommand(int command) {
  TMenuItem* item = FindItem(command);
  if (!item) return false;
  item->Click();
  return true;
}

void TMenu::Loaded() {
  TComponent::Loaded();
  MenuChanged(nullptr);
}

void TMenu::MenuChanged(TMenuItem*) { DestroyHandle(); }

TMainMenu::TMainMenu(TComponent* owner) : TMenu(owner) { mainMenu_ = true; }

TPopupMenu::TPopupMenu(TComponent* owner) : TMenu(owner) {}

// ---------------------------------------------------------------- stored layouts

void RegisterMenuClasses() {
  using R = TReader;
  using V = TLayoutValue;
  if (FindComponentClass("TMenuItem")) return;
  RegisterImageListClass();
  auto& item = RegisterComponentClass<TMenuItem>("TMenuItem", "TComponent");
  item.Prop<TMenuItem>("Caption", [](TMenuItem& t, const V& v, R&) { t.SetCaption(R::String(v)); });
  item.Prop<TMenuItem>("ShortCut", [](TMenuItem& t, const V& v, R&) { t.SetShortCut(R::IntRange(v, 0, 0xFFFF)); });
  item.Prop<TMenuItem>("ShortCutText", [](TMenuItem& t, const V& v, R&) { t.SetShortCutText(R::String(v)); });
  item.Prop<TMenuItem>("Checked", [](TMenuItem& t, const V& v, R&) { t.SetChecked(R::Bool(v)); });
  item.Prop<TMenuItem>("RadioItem", [](TMenuItem& t, const V& v, R&) { t.SetRadioItem(R::Bool(v)); });
  item.Prop<TMenuItem>("GroupIndex", [](TMenuItem& t, const V& v, R&) { t.SetGroupIndex(R::IntRange(v, 0, 255)); });
  item.Prop<TMenuItem>("AutoCheck", [](TMenuItem& t, const V& v, R&) { t.SetAutoCheck(R::Bool(v)); });
  item.Prop<TMenuItem>("Enabled", [](TMenuItem& t, const V& v, R&) { t.SetEnabled(R::Bool(v)); });
  item.Prop<TMenuItem>("Visible", [](TMenuItem& t, const V& v, R&) { t.SetVisible(R::Bool(v)); });
  item.Prop<TMenuItem>("Default", [](TMenuItem& t, const V& v, R&) { t.SetDefault(R::Bool(v)); });
  item.Prop<TMenuItem>("ImageIndex", [](TMenuItem& t, const V& v, R&) { t.SetImageIndex(R::IntRange(v, -1, 65535)); });
  item.Prop<TMenuItem>("Hint", [](TMenuItem& t, const V& v, R&) { t.SetHint(R::String(v)); });
  item.Prop<TMenuItem>("OnClick", [](TMenuItem& t, const V& v, R& r) { t.OnClick = r.Method<TNotifyEvent>(v); });
  item.Prop<TMenuItem>("OnMeasureItem",
                       [](TMenuItem& t, const V& v, R& r) { t.OnMeasureItem = r.Method<TMenuMeasureItemEvent>(v); });
  item.Prop<TMenuItem>("OnDrawItem",
                       [](TMenuItem& t, const V& v, R& r) { t.OnDrawItem = r.Method<TMenuDrawItemEvent>(v); });
  for (const char* ignored : {"HelpContext", "Break"})
    item.Property(ignored, [](TComponent&, const V&, R&) {});

  auto& menu = RegisterComponentClass("TMenu", "TComponent");
  menu.Prop<TMenu>("OwnerDraw", [](TMenu& t, const V& v, R&) { t.SetOwnerDraw(R::Bool(v)); });
  menu.Prop<TMenu>("Images", [](TMenu& t, const V& v, R& r) {
    r.ComponentRef(v, [&t](TComponent* target) { t.SetImages(dynamic_cast<TImageList*>(target)); });
  });
  for (const char* ignored : {"AutoHotkeys", "AutoLineReduction", "BiDiMode", "ParentBiDiMode", "Left", "Top"})
    menu.Property(ignored, [](TComponent&, const V&, R&) {});
  RegisterComponentClass<TMainMenu>("TMainMenu", "TMenu");
  auto& popup = RegisterComponentClass<TPopupMenu>("TPopupMenu", "TMenu");
  popup.Prop<TPopupMenu>("OnPopup", [](TPopupMenu& t, const V& v, R& r) { t.OnPopup = r.Method<TNotifyEvent>(v); });
  for (const char* ignored : {"AutoPopup", "Alignment", "TrackButton", "MenuAnimation"})
    popup.Property(ignored, [](TComponent&, const V&, R&) {});
}

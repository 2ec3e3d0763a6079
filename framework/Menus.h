// Menus: a tree of menu items (caption with accelerator, shortcut, check and radio marks,
// enabled, visible, default, image index, sub-items, OnClick) under a main menu shown in a
// form's menu bar or a popup menu shown at a point. On Windows each menu becomes a real
// menu; a menu whose OwnerDraw is on has its items measured and drawn by MeasureItem and
// DrawItem, which subclasses override.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "framework/Component.h"
#include "framework/Graphics.h"
#include "framework/Streaming.h"

class TCanvas;
class TImageList;
class TMenu;
class TControl;

using TMenuMeasureItemEvent = std::function<void(TComponent* sender, TCanvas& canvas, int& width, int& height)>;
using TMenuDrawItemEvent = std::function<void(TComponent* sender, TCanvas& canvas, const TRect& rect, bool selected)>;

// A shortcut as layouts store it: the virtual key in the low byte, plus these flags.
using TShortCut = int;
constexpr TShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000;
// "Ctrl+S", "Shift+F5", "Del"; empty for 0 or a key without a name.
std::string ShortCutToText(TShortCut shortCut);

class TMenuItem : public TComponent {
 public:
  explicit TMenuItem(TComponent* owner);
  ~TMenuItem() override;
  const char* ClassName() const override { return "TMenuItem"; }
  // Stored layouts nest items in their menu or their parent item.
  void SetParentComponent(TComponent* parent) override;

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  // A caption of exactly "-" is a separator line.
  bool IsLine() const { return caption_ == "-"; }
  TShortCut ShortCut() const { return shortCut_; }
  void SetShortCut(TShortCut shortCut);
  // ShortCutToText of ShortCut, unless set explicitly.
  std::string ShortCutText() const;
  void SetShortCutText(const std::string& text);
  bool Checked() const { return checked_; }
  // Checking a radio item clears the other radio items of its GroupIndex among its siblings.
  void SetChecked(bool checked);
  bool RadioItem() const { return radioItem_; }
  void SetRadioItem(bool v);
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int v) { groupIndex_ = v; }
  // A click toggles Checked (a radio item only becomes checked).
  bool AutoCheck() const { return autoCheck_; }
  void SetAutoCheck(bool v) { autoCheck_ = v; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);
  bool Visible() const { return visible_; }
  void SetVisible(bool v);
  bool Default() const { return default_; }
  void SetDefault(bool v);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int v);
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& v) { hint_ = v; }

  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem* Items(int index) const { return items_[static_cast<size_t>(index)]; }
  int IndexOf(const TMenuItem* item) const;
  // Takes item as a sub-item (from its old parent item); index -1 appends.
  void Insert(int index, TMenuItem* item);
  void Add(TMenuItem* item) { Insert(-1, item); }
  void Remove(TMenuItem* item);
  TMenuItem* Parent() const { return parent_; }
  // The menu whose tree holds this item; null when it hangs in no menu.
  TMenu* GetParentMenu() const;

  // The identifier the system's menu reports when this item is chosen; unique per process.
  int Command() const { return command_; }
  static TMenuItem* FromCommand(int command);

  // Chosen by the user: an enabled item toggles when AutoCheck is on, then runs OnClick.
  // Disabled items do nothing.
  virtual void Click();

  TNotifyEvent OnClick;
  // Owner-drawn items: the menu's MeasureItem and DrawItem call these when set.
  TMenuMeasureItemEvent OnMeasureItem;
  TMenuDrawItemEvent OnDrawItem;

 private:
  friend class TMenu;
  void Changed();
  TMenu* rootMenu_ = nullptr;  // set on a menu's root item only
  TMenuItem* parent_ = nullptr;
  std::vector<TMenuItem*> items_;
  std::string caption_, shortCutText_, hint_;
  bool shortCutTextSet_ = false;
  TShortCut shortCut_ = 0;
  bool checked_ = false, radioItem_ = false, autoCheck_ = false, enabled_ = true, visible_ = true, default_ = false;
  int groupIndex_ = 0;
  int imageIndex_ = -1;
  int command_ = 0;
};

class TMenu : public TComponent {
 public:
  explicit TMenu(TComponent* owner);
  ~TMenu() override;
  const char* ClassName() const override { return "TMenu"; }

  // The invisible root item whose sub-items are the menu's top-level items.
  TMenuItem* Items() const { return items_; }
  virtual bool OwnerDraw() const { return ownerDraw_; }
  virtual void SetOwnerDraw(bool v);
  bool IsMainMenu() const { return mainMenu_; }
  // The list item images (ImageIndex) come from; owned elsewhere, dropped when destroyed.
  virtual TImageList* Images() const { return images_; }
  virtual void SetImages(TImageList* images);

  // The item of a command anywhere in this menu's tree; null when none.
  TMenuItem* FindItem(int command) const;
  // Runs the item of command when it is in this menu. True when it was.
  bool DispatchCommand(int command);

  // Owner-drawn items. The defaults run the item's event when set; otherwise they measure the
  // caption and shortcut text and draw them in the system's menu colours.
  virtual void MeasureItem(TMenuItem& item, TCanvas& canvas, int& width, int& height);
  virtual void DrawItem(TMenuItem& item, TCanvas& canvas, const TRect& rect, bool selected);

  // The system menu (an HMENU on Windows), built on first use and rebuilt after changes.
  void* Handle();
  bool HandleAllocated() const { return handle_ != nullptr; }

  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;
  // An item of the tree (or the tree's shape) changed. Overrides call the base.
  virtual void MenuChanged(TMenuItem* item);

 protected:
  bool mainMenu_ = false;
  // Where the built menu is shown, so a rebuild can show the new one (a form's window).
  void* window_ = nullptr;
  TImageList* images_ = nullptr;
  // The menu or its owner is being destroyed: nothing is rebuilt.
  bool GoingAway() const;

 private:
  void DestroyHandle();
  void* BuildHandle();
  TMenuItem* items_;
  bool ownerDraw_ = false;
  void* handle_ = nullptr;
};

class TMainMenu : public TMenu {
 public:
  explicit TMainMenu(TComponent* owner);
  const char* ClassName() const override { return "TMainMenu"; }
  // Windows: shows this menu in window's menu bar (null: none).
  void AttachTo(void* window);
  void* AttachedWindow() const { return window_; }
  void MenuChanged(TMenuItem* item) override;
};

class TPopupMenu : public TMenu {
 public:
  explicit TPopupMenu(TComponent* owner);
  const char* ClassName() const override { return "TPopupMenu"; }
  // Shows the menu at a screen point and waits until it closes; the chosen item's Click runs
  // before this returns. OnPopup runs first.
  virtual void Popup(int x, int y);
  // The control whose right click opened the menu, while it is open.
  TComponent* PopupComponent = nullptr;
  TNotifyEvent OnPopup;
};

// The accelerator letter of a caption: the character after a single '&' ("&&" is a literal
// ampersand; double-byte characters are skipped whole), upper-cased; 0 when there is none.
char MenuAccelerator(const std::string& caption);

// The system's menu font (Windows), in the menu-text colour.
TFont MenuFont();

// The window messages menus answer: WM_COMMAND from a menu, WM_MEASUREITEM and WM_DRAWITEM
// for menu items, WM_MENUCHAR (owner-drawn items have no text the system could search for
// the accelerator letter). True (with the result) when msg was one of them.
bool HandleMenuMessage(unsigned msg, uintptr_t wParam, intptr_t lParam, intptr_t& result);

// Makes TMenuItem, TMainMenu and TPopupMenu known to stored layouts.
void RegisterMenuClasses();

// A thin tool bar: a row (or, wrapping, rows) of flat text buttons sized to their captions.
// Buttons track the pointer (hot) and the left button (pressed); a button bound to a menu
// item takes its caption and enabled state and, when the item has sub-items, drops them down
// as a menu under itself. The owner may draw the buttons itself through OnCustomDrawButton.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "framework/Controls.h"

class TMenuItem;
class TToolBar;

enum TToolButtonStateFlag : unsigned { tbsHot = 1, tbsPressed = 2, tbsDisabled = 4 };

class TToolButton : public TGraphicControl {
 public:
  explicit TToolButton(TComponent* owner);
  ~TToolButton() override;
  const char* ClassName() const override { return "TToolButton"; }

  TToolBar* ToolBar() const;
  // Binds the button to a menu item (null: none); caption and enabled state are copied now
  // and again by TToolBar::RefreshFromMenu.
  TMenuItem* MenuItem() const { return menuItem_; }
  void SetMenuItem(TMenuItem* item);
  // Drawn hot (pointer over it, or its menu dropped down) or pressed.
  bool Hot() const { return hot_; }
  bool Down() const { return down_; }
  unsigned State() const;

  void Paint(TCanvas& canvas) override;
  void Click() override;
  void MouseEnter() override;
  void MouseLeave() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void CancelMode() override;
  void TextChanged() override;
  void EnabledChanged() override;

 private:
  friend class TToolBar;
  void SetHot(bool hot);
  void SetDown(bool down);
  TMenuItem* menuItem_ = nullptr;
  bool hot_ = false;
  bool down_ = false;
};

using TToolBarCustomDrawEvent = std::function<void(TToolBar* sender, TToolButton* button, TCanvas& canvas,
                                                   const TRect& rect, unsigned state, bool& defaultDraw)>;

class TToolBar : public TCustomControl {
 public:
  explicit TToolBar(TComponent* owner);
  const char* ClassName() const override { return "TToolBar"; }

  // Flat buttons show no edge unless hot or pressed.
  bool Flat() const { return flat_; }
  void SetFlat(bool v);
  // Buttons that do not fit the width go on to a new row.
  bool Wrapable() const { return wrapable_; }
  void SetWrapable(bool v);
  // The bar's height follows its rows of buttons.
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool v);
  int ButtonHeight() const { return buttonHeight_; }
  void SetButtonHeight(int v);

  int ButtonCount() const { return static_cast<int>(buttons_.size()); }
  TToolButton* Buttons(int index) const { return buttons_[static_cast<size_t>(index)]; }
  // A new button at the end, owned by the bar.
  TToolButton* AddButton(const std::string& caption);
  void ClearButtons();
  // One button per visible item of the menu item's sub-items, bound to it.
  void BuildFromMenu(TMenuItem* root);
  // Captions and enabled states again from the bound items.
  void RefreshFromMenu();
  // The button drawn hot, or null.
  TToolButton* HotButton() const;
  // Drops the button's menu item's sub-items down under the button and runs the chosen one.
  // While it is open, the pointer over another button with a menu, or Left and Right, move
  // to that button's drop-down.
  void DropDown(TToolButton* button);
  // Where the buttons go for a client width (the layout AlignControls applies).
  std::vector<TRect> ButtonRects(int clientWidth);

  TToolBarCustomDrawEvent OnCustomDrawButton;

  void Paint(TCanvas& canvas) override;
  void AlignControls(TRect& rect) override;
  // Alt plus a button's accelerator clicks it; without Alt only while a button is hot.
  bool DialogChar(int ch, TShiftState shift) override;
  void Resize() override;

 protected:
  friend class TToolButton;
  void ButtonGone(TToolButton* button);
  int ButtonWidth(TToolButton* button);
  // One drop-down; the button whose drop-down is to follow, or null.
  TToolButton* DropDownOnce(TToolButton* button);
  // The next visible, enabled button with a menu from index from in direction step; -1 when none.
  int NeighbourWithMenu(int from, int step) const;

 private:
  std::vector<TToolButton*> buttons_;
  bool flat_ = false, wrapable_ = false, autoSize_ = false;
  int buttonHeight_ = 22;
  bool aligning_ = false;
};

void RegisterToolBarClasses();

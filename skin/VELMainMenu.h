// Themed main menu: the popup menu's item drawing and style rules on a form's menu bar. Its
// own image list holds the check mark and serves as Images while none is given.
#pragma once
#include "skin/VELPopupMenu.h"

class TvelForm;

class TvelMainMenu : public TMainMenu, public TvelMenuSkin {
 public:
  // When the owner is a form, the form's own Menu becomes none.
  explicit TvelMainMenu(TComponent* owner);
  ~TvelMainMenu() override;
  const char* ClassName() const override { return "TvelMainMenu"; }
  bool OwnerDraw() const override { return true; }
  void SetOwnerDraw(bool) override {}
  // None while the menu's own check-mark list is in use; assigning none brings it back.
  TImageList* Images() const override;
  void SetImages(TImageList* images) override;
  // Stored whatever the style.
  void SetMenuItemHeight(int v) override { look_.MenuItemHeight = v; }
  void MeasureItem(TMenuItem& item, TCanvas& canvas, int& width, int& height) override;
  void DrawItem(TMenuItem& item, TCanvas& canvas, const TRect& rect, bool selected) override;
  void Notification(TComponent* component, TOperation operation) override;
  // The form frame showing this menu in its menu bar, told of changes; null for none.
  TvelForm* FormFrame() const { return formFrame_; }
  void SetFormFrame(TvelForm* frame) { formFrame_ = frame; }
  void SetUseSystemFont(bool v) override;
  void Loaded() override;
  void MenuChanged(TMenuItem* item) override;

 protected:
  const TImageList* ItemImages() const override;
  const TImageList* CheckMarkImages() const override;

 private:
  TImageList* ownImages_;  // owned: the check mark, read on first use
  TvelForm* formFrame_ = nullptr;
};

// Themed main menu on Win32: the popup menu's drawing with the check mark as its own image.
#include "skin/VELMainMenu.h"

#include "framework/Forms.h"
#include "skin/VELControlThemes.h"
#include "skin/VELForm.h"

TvelMainMenu::TvelMainMenu(TComponent* owner) : TMainMenu(owner), TvelMenuSkin(static_cast<TMenu&>(*this)) {
  SetUIStyle(DefaultStyleFor(owner));
  if (auto* form = dynamic_cast<TForm*>(owner)) form->SetMenu(nullptr);
}

TvelMainMenu::~TvelMainMenu() {
  if (FileTheme()) RemoveFreeNotification(FileTheme());
}

void TvelMainMenu::MeasureItem(TMenuItem& item, TCanvas& canvas, int& width, int& height) {
  if (item.OnMeasureItem) return TMainMenu::MeasureItem(item, canvas, width, height);
  MeasureSkinItem(item, canvas, width, height);
}

void TvelMainMenu::DrawItem(TMenuItem& item, TCanvas& canvas, const TRect& rect, bool selected) {
  if (item.OnDrawItem) return TMainMenu::DrawItem(item, canvas, rect, selected);
  DrawSkinItem(item, canvas, rect, selected);
}

void TvelMainMenu::Notification(TComponent* component, TOperation operation) {
  TMainMenu::Notification(component, operation);
  if (operation == opRemove) ThemeRemoved(component);
}

void TvelMainMenu::DrawImage(TBitmap& target, int index, int x, int y, bool greyed) const {
  if (index == 0) DrawMenuCheckMark(target, x, y, greyed);
}

void TvelMainMenu::SetUseSystemFont(bool v) {
  TvelMenuSkin::SetUseSystemFont(v);
  if (formFrame_) formFrame_->RefreshMenuBarFont();
}

void TvelMainMenu::Loaded() {
  TMainMenu::Loaded();
  if (formFrame_) formFrame_->RebuildMenuBar();
}

void TvelMainMenu::MenuChanged(TMenuItem* item) {
  TMainMenu::MenuChanged(item);
  if (!formFrame_ || Loading()) return;
  formFrame_->RefreshMenuBar();
  if (Designing()) formFrame_->RebuildMenuBar();
}

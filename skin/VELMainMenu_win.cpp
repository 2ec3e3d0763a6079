// Themed main menu on Win32: the popup menu's drawing, with its own check-mark list standing
// in for Images while none is given.
#include "skin/VELMainMenu.h"

#include "framework/Forms.h"
#include "skin/VELControlThemes.h"
#include "skin/VELForm.h"

TvelMainMenu::TvelMainMenu(TComponent* owner)
    : TMainMenu(owner), TvelMenuSkin(static_cast<TMenu&>(*this)), ownImages_(new TImageList(nullptr)) {
  TMainMenu::SetImages(ownImages_);
  SetUIStyle(DefaultStyleFor(owner));
  if (auto* form = dynamic_cast<TForm*>(owner)) form->SetMenu(nullptr);
}

TvelMainMenu::~TvelMainMenu() {
  if (FileTheme()) RemoveFreeNotification(FileTheme());
  BeginDestroying();
  TMainMenu::SetImages(nullptr);
  ownImages_->Free();
}

TImageList* TvelMainMenu::Images() const { return images_ == ownImages_ ? nullptr : images_; }

void TvelMainMenu::SetImages(TImageList* images) { TMainMenu::SetImages(images ? images : ownImages_); }

const TImageList* TvelMainMenu::CheckMarkImages() const {
  LoadMenuCheckMark(*ownImages_);
  return ownImages_;
}

const TImageList* TvelMainMenu::ItemImages() const {
  if (images_ == ownImages_) return CheckMarkImages();
  return images_;
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
  if (operation != opRemove) return;
  ThemeRemoved(component);
  // The given list went away: the own list serves again.
  if (!images_ && !Destroying()) TMainMenu::SetImages(ownImages_);
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

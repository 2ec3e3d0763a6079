// The host has no system menus: nothing is built, shown or drawn.
#include "framework/Menus.h"

void TMenu::MeasureItem(TMenuItem& item, TCanvas& canvas, int& width, int& height) {
  if (item.OnMeasureItem) item.OnMeasureItem(&item, canvas, width, height);
}
void TMenu::DrawItem(TMenuItem& item, TCanvas& canvas, const TRect& rect, bool selected) {
  if (item.OnDrawItem) item.OnDrawItem(&item, canvas, rect, selected);
}
void* TMenu::Handle() { return nullptr; }
void* TMenu::BuildHandle() { return nullptr; }
void TMenu::DestroyHandle() { handle_ = nullptr; }
void TMainMenu::AttachTo(void* window) { window_ = window; }
void TMainMenu::MenuChanged(TMenuItem* item) { TMenu::MenuChanged(item); }
void TPopupMenu::Popup(int, int) {
  if (OnPopup) OnPopup(this);
}
bool HandleMenuMessage(unsigned, uintptr_t, intptr_t, intptr_t&) { return false; }
TFont MenuFont() {
  TFont font;
  font.SetColor(clMenuText);
  return font;
}

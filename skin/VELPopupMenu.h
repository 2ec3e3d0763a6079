// Themed popup menu: every item owner-drawn by the skin engine (side bar, item background,
// selection with a border or the MacOS bitmaps, separators, check marks, images), with the
// look taken from a built-in style or a file theme. TvelMenuSkin holds what the popup and the
// main menu share: the published look, the style rules and the measuring and drawing.
#pragma once
#include <string>

#include "framework/Canvas.h"
#include "framework/ImageList.h"
#include "framework/Menus.h"
#include "skin/VELMenuCore.h"
#include "skin/VELMgr.h"
#include "skin/VELThemes.h"

class TvelMenuSkin : public IvelThemable {
 public:
  explicit TvelMenuSkin(TMenu& menu) : menu_(menu) {}

  TvelUIStyle UIStyle() const { return uiStyle_; }
  // Stores the style, then sets bar width, heights, separator and item colours from it.
  void SetUIStyle(TvelUIStyle style) override;
  TvelUIStyle GetUIStyle() const override { return uiStyle_; }
  TvelFileTheme* FileTheme() const { return fileTheme_; }
  TvelFileTheme* GetFileTheme() const override { return fileTheme_; }
  // Stores the theme and applies UIStyle again.
  void SetFileTheme(TvelFileTheme* theme) override;

  // The look as published; the setters below store one value each.
  const TvelMenuLook& Look() const { return look_; }
  int MenuItemHeight() const { return look_.MenuItemHeight; }
  virtual void SetMenuItemHeight(int v);  // ignored while UIStyle is MacOS
  int SeparatorHeight() const { return look_.SeparatorHeight; }
  void SetSeparatorHeight(int v);  // ignored while UIStyle is MacOS
  void SetBarWidth(int v) { look_.BarWidth = v; }
  void SetBarColor(TColor v) { look_.BarColor = v; }
  void SetBarToColor(TColor v) { look_.BarToColor = v; }
  void SetColor(TColor v) { look_.Color = v; }
  void SetSeparatorColor(TColor v) { look_.SeparatorColor = v; }
  void SetSelectedBorderColor(TColor v) { look_.SelectedBorderColor = v; }
  void SetSelectedColor(TColor v) { look_.SelectedColor = v; }
  void SetSelectedFontColor(TColor v) { look_.SelectedFontColor = v; }
  void SetFontColor(TColor v) { look_.FontColor = v; }
  void SetBorderColor(TColor v) { look_.BorderColor = v; }
  void SetFlatMenu(bool v) { look_.FlatMenu = v; }
  void SetFontName(const std::string& v) { look_.FontName = v; }
  void SetFontSize(int v) { look_.FontSize = v; }
  void SetFontCharset(int v) { look_.FontCharset = v; }
  virtual void SetUseSystemFont(bool v) { look_.UseSystemFont = v; }
  // Right to left (the menu's BiDiMode on a Middle-East system).
  bool RightToLeft = false;

  // The owner-draw answers of both menus.
  void MeasureSkinItem(TMenuItem& item, TCanvas& canvas, int& width, int& height) const;
  void DrawSkinItem(TMenuItem& item, TCanvas& canvas, const TRect& rect, bool selected) const;

 protected:
  // The list item images are drawn from (the menu's Images; none: no item images) and the
  // list whose first image is the check mark (the popup menus' shared one).
  virtual const TImageList* ItemImages() const { return menu_.Images(); }
  virtual const TImageList* CheckMarkImages() const;
  // Drops the file theme when it is destroyed (the menu's Notification calls this).
  void ThemeRemoved(TComponent* component);
  TvelMenuLook look_;

 private:
  void UseFont(TCanvas& canvas, bool bold) const;
  TMenu& menu_;
  TvelUIStyle uiStyle_ = TvelUIStyle::DeepBlue;
  TvelFileTheme* fileTheme_ = nullptr;  // owned elsewhere; dropped when it goes
};

class TvelPopupMenu : public TPopupMenu, public TvelMenuSkin {
 public:
  explicit TvelPopupMenu(TComponent* owner);
  ~TvelPopupMenu() override;
  const char* ClassName() const override { return "TvelPopupMenu"; }
  // Always owner-drawn; writes are ignored.
  bool OwnerDraw() const override { return true; }
  void SetOwnerDraw(bool) override {}
  void MeasureItem(TMenuItem& item, TCanvas& canvas, int& width, int& height) override;
  void DrawItem(TMenuItem& item, TCanvas& canvas, const TRect& rect, bool selected) override;
  void Notification(TComponent* component, TOperation operation) override;
};

// Fills an empty list with MENU_CHECKED, its white pixels transparent; the list holds it at 0.
void LoadMenuCheckMark(TImageList& list);
// The check-mark list all popup menus share, made when the unit starts, freed when it ends.
TImageList& PopupCheckMarkImages();
// Redraws the dropped-down menu window's frame flat over the window's screen rectangle
// (FlatMenuFrameGeometry): outer and edge are TColors.
void DrawFlatMenuFrame(HWND window, TColor outer, TColor edge);
// Makes TvelPopupMenu and TvelMainMenu known to stored layouts.
void RegisterVelMenuClasses();

// The themed title bar: a panel at the top of its container that draws a strip of image
// sections, the window buttons, the control box or the application icon and the caption,
// and that moves, maximizes, restores, minimizes and closes its form. Sections and buttons
// are collections, filled from the theme unless the title bar is Custom. On a form frame
// (its parent answers IsFormFrame) it lays its strip out under the frame's border and keeps
// the strip for the frame to paint from.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/Collections.h"
#include "skin/VELImagePanel.h"
#include "skin/VELMessages.h"
#include "skin/VELPopupMenu.h"
#include "skin/VELTitleBarCore.h"

class TvelTitleBar;

class TvelTitleBarSection : public TCollectionItem {
 public:
  explicit TvelTitleBarSection(TCollection* collection);
  void Assign(const TCollectionItem& source) override;

  bool AutoSize() const { return autoSize_; }
  // On: Width takes the picture's width (now and whenever the picture changes).
  void SetAutoSize(bool value);
  int Width() const { return width_; }
  void SetWidth(int value);
  TvelTitleBarAlign Align() const { return align_; }
  // A second velClient section is refused with an error dialog; velClient forces Stretch on.
  void SetAlign(TvelTitleBarAlign value);
  TvelPicture& Picture() { return picture_; }
  const TvelPicture& Picture() const { return picture_; }
  bool Stretch() const { return stretch_; }
  void SetStretch(bool value);
  bool CapSec() const { return capSec_; }
  void SetCapSec(bool value);

  TvelTitleBar* TitleBar() const;

 private:
  void PictureChanged();
  bool autoSize_ = false;
  int width_ = 10;
  TvelTitleBarAlign align_ = velLeft;
  TvelPicture picture_;
  bool stretch_ = false;
  bool capSec_ = false;
};

class TvelTitleBarSections : public TCollectionOf<TvelTitleBarSection> {
 public:
  explicit TvelTitleBarSections(TvelTitleBar* owner) : owner_(owner) {}
  TvelTitleBar* Owner() const { return owner_; }
  void Update(TCollectionItem* item) override;

 private:
  TvelTitleBar* owner_;
};

class TvelTitleBarButton : public TCollectionItem {
 public:
  explicit TvelTitleBarButton(TCollection* collection);
  void Assign(const TCollectionItem& source) override;

  TvelUIStyle UIStyle() const { return uiStyle_; }
  // Loads the type's pictures, transparency and top from the style (or the title bar's file theme).
  void SetUIStyle(TvelUIStyle value);
  TvelTitleBarBtnType ButtonType() const { return buttonType_; }
  // A second velControlBox is refused with an error dialog; otherwise the pictures are reloaded.
  void SetButtonType(TvelTitleBarBtnType value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  int Top() const { return top_; }
  void SetTop(int value);
  TPopupMenu* ControlBoxMenu() const { return controlBoxMenu_; }
  void SetControlBoxMenu(TPopupMenu* menu);
  bool Visible() const { return visible_; }
  void SetVisible(bool value);
  TvelPicture& PicNormal() { return pictures_[0]; }
  TvelPicture& PicMouseOn() { return pictures_[1]; }
  TvelPicture& PicMouseDown() { return pictures_[2]; }
  const TvelPicture& PicNormal() const { return pictures_[0]; }
  const TvelPicture& PicMouseOn() const { return pictures_[1]; }
  const TvelPicture& PicMouseDown() const { return pictures_[2]; }
  // Drawn (and hot) only with all three pictures.
  bool HasPictures() const;

  // Maximize buttons: the restore pictures while the form is maximized, else the maximize ones.
  void UpdateMaxPictures();
  TvelTitleBar* TitleBar() const;

 private:
  void LoadPictures();
  TvelUIStyle uiStyle_ = TvelUIStyle::DeepBlue;
  TvelTitleBarBtnType buttonType_ = velCustom;
  bool transparent_ = false;
  int top_ = 2;
  TPopupMenu* controlBoxMenu_ = nullptr;  // owned elsewhere
  bool visible_ = true;
  TvelPicture pictures_[3];
};

class TvelTitleBarButtons : public TCollectionOf<TvelTitleBarButton> {
 public:
  explicit TvelTitleBarButtons(TvelTitleBar* owner) : owner_(owner) {}
  TvelTitleBar* Owner() const { return owner_; }
  void Update(TCollectionItem* item) override;

 private:
  TvelTitleBar* owner_;
};

// The built-in control-box menu: minimize, maximize/restore, a separator and close, enabled
// by the title bar's visible buttons before it opens.
class TvelTitleBarPopupMenu : public TvelPopupMenu {
 public:
  TvelTitleBarPopupMenu(TComponent* owner, TvelTitleBar* titleBar);
  const char* ClassName() const override { return "TvelTitleBarPopupMenu"; }
  void Popup(int x, int y) override;
  TvelTitleBar* TitleBar() const { return titleBar_; }

 private:
  TvelTitleBar* titleBar_;
};

using TvelTitleBarButtonClickEvent = std::function<void(TComponent* sender, int buttonIndex)>;

class TvelTitleBar : public TvelCustomPanel, public IvelThemable {
 public:
  explicit TvelTitleBar(TComponent* owner);
  ~TvelTitleBar() override;
  const char* ClassName() const override { return "TvelTitleBar"; }

  bool Custom() const { return custom_; }
  void SetCustom(bool value) { custom_ = value; }
  TvelFileTheme* FileTheme() const { return fileTheme_; }
  TvelFileTheme* GetFileTheme() const override { return fileTheme_; }
  void SetFileTheme(TvelFileTheme* theme) override;
  TvelUIStyle UIStyle() const { return uiStyle_; }
  TvelUIStyle GetUIStyle() const override { return uiStyle_; }
  void SetUIStyle(TvelUIStyle style) override;
  bool AutoSize() const { return autoSize_; }
  // On with sections: Height takes the first section's picture height (3 less on a form
  // frame); with no sections it switches itself off.
  void SetAutoSize(bool value);
  TBiDiMode BiDiMode() const { return biDiMode_; }
  void SetBiDiMode(TBiDiMode mode);
  TvelTitleBarSections& Sections() { return *sections_; }
  const TvelTitleBarSections& Sections() const { return *sections_; }
  void SetSections(const TvelTitleBarSections& value) { sections_->Assign(value); }
  TvelTitleBarButtons& Buttons() { return *buttons_; }
  const TvelTitleBarButtons& Buttons() const { return *buttons_; }
  void SetButtons(const TvelTitleBarButtons& value) { buttons_->Assign(value); }
  int ButtonInterval() const { return buttonInterval_; }
  void SetButtonInterval(int value);
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  bool FormActive() const { return formActive_; }
  void SetFormActive(bool value);
  int LeftBtnXOffset() const { return leftBtnXOffset_; }
  void SetLeftBtnXOffset(int value);
  int RightBtnXOffset() const { return rightBtnXOffset_; }
  void SetRightBtnXOffset(int value);
  bool DrawAppIcon() const { return drawAppIcon_; }
  void SetDrawAppIcon(bool value);
  int RoundCorner() const { return roundCorner_; }
  void SetRoundCorner(int value) { roundCorner_ = value; }
  int RoundCornerBottom() const { return roundCornerBottom_; }
  void SetRoundCornerBottom(int value) { roundCornerBottom_ = value; }
  TColor InactiveCaptionColor() const { return inactiveCaptionColor_; }
  void SetInactiveCaptionColor(TColor color);

  TvelTitleBarButtonClickEvent OnCustomBtnsClick, OnHelpBtnClick;

  // Read by the form frame and by tests.
  int HotIndex() const { return hotIndex_; }
  bool Pressed() const { return pressed_; }
  const std::string& FittedCaption() const { return fittedCaption_; }
  int ButtonTop() const { return buttonTop_; }
  int ControlBoxTop() const { return controlBoxTop_; }
  int CaptionTop() const { return captionTop_; }
  int ButtonPictureHeight() const { return buttonPictureHeight_; }
  TColor KeyColor() const { return keyColor_; }
  TColor BackgroundColor() const { return backgroundColor_; }
  bool FiveSections() const { return fiveSections_; }
  // The title image strip as the last paint laid it out (from (-border, -3) on a form frame),
  // and the same strip drawn over the background colour.
  const TBitmap& TitleStrip() const { return strip_; }
  const TBitmap& TitleStripOverBackground() const { return stripCopy_; }
  // Lays the strip out again for the current size and style without painting the bar.
  void RefreshStrip();
  TvelTitleBarPopupMenu& BuiltinControlBoxMenu() { return *menu_; }
  // The minimum size the style asks of the parent form; the form frame applies it.
  int MinFormWidth() const { return minFormWidth_; }
  int MinFormHeight() const { return minFormHeight_; }
  // Where the last paint placed the buttons and the control box.
  const TitleForegroundLayout& ForegroundLayout() const { return foreground_; }

  // The parent is a form frame (IvelThemable::IsFormFrame).
  bool OnFormFrame() const;
  // The caption runs right to left (BiDiMode on a Middle-East system).
  bool RightToLeftCaption() const;
  // A click on button index (see the button types); nothing without a parent form.
  void ExecuteButton(int index);
  // What a maximize, minimize or close button does to the parent form.
  void RunButtonAction(TvelTitleBarBtnType type);
  // The buttons as the layout rules see them.
  std::vector<TitleButtonInput> ButtonInputs() const;
  // UIStyle is FromThemeFile and the file theme is ready.
  bool UsingFileTheme() const;
  // The caption text the last paint wrote.
  const std::string& DrawnCaption() const { return drawnCaption_; }
  // Every maximize button's pictures follow the form's maximized state (not when Custom).
  void UpdateMaxPictures();
  // Opens the built-in control-box menu under the title bar's bottom-left corner.
  void PopupBuiltinMenu();

  void Paint(TCanvas& canvas) override;
  virtual void DrawTitleBackground(TBitmap& buffer, TCanvas& canvas);
  virtual void DrawTitleForeground(TBitmap& buffer, TCanvas& canvas);

  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseLeave() override;
  void DblClick() override;
  void FontChanged() override;
  void Notification(TComponent* component, TOperation operation) override;

  // Called by the collections on every change.
  void SectionsChanged();
  void ButtonsChanged();

 protected:
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  friend class TvelTitleBarButton;
  void ApplyStyle(bool fontColorToo);
  void BuildBuiltinSections(TvelUIStyle style);
  void BuildFileThemeSections();
  int BorderAnswer();
  TForm* HostForm() const;
  bool custom_ = false;
  TvelFileTheme* fileTheme_ = nullptr;  // owned elsewhere; dropped when it goes
  TvelUIStyle uiStyle_ = TvelUIStyle::DeepBlue;
  bool autoSize_ = false;
  TBiDiMode biDiMode_ = bdLeftToRight;
  std::unique_ptr<TvelTitleBarSections> sections_;
  std::unique_ptr<TvelTitleBarButtons> buttons_;
  TvelTitleBarPopupMenu* menu_ = nullptr;  // owned by the title bar as a component
  int buttonInterval_ = 0;
  std::string caption_;
  bool formActive_ = true;
  int leftBtnXOffset_ = 0, rightBtnXOffset_ = 0;
  bool drawAppIcon_ = true;
  int roundCorner_ = 0, roundCornerBottom_ = 0;
  TColor inactiveCaptionColor_ = clInactiveCaption;
  int hotIndex_ = -1;
  bool pressed_ = false;
  std::string fittedCaption_;
  int buttonTop_ = 0, controlBoxTop_ = 0, captionTop_ = 0, buttonPictureHeight_ = 0;
  TColor keyColor_ = kSkinKeyColor;
  TColor backgroundColor_ = clBtnFace;
  bool fiveSections_ = false;
  bool themeAssigning_ = false;
  int minFormWidth_ = 0, minFormHeight_ = 0;
  TBitmap strip_, stripCopy_;
  TitleForegroundLayout foreground_;
  bool hasCaptionSection_ = false;
  bool framePainting_ = false;
  bool doubleClicked_ = false;
  std::string drawnCaption_;
  TPoint pointer_{-1000000, -1000000};  // last mouse position, client coordinates
  // Expires with the title bar, so a click that closed the form can tell.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

// Registers TvelTitleBar with its stored properties (Sections and Buttons as collections).
void RegisterVelTitleBarClasses();

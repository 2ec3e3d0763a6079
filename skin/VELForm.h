// The themed form frame: a panel that, placed on an ordinary form, takes over the form's
// window frame. It removes the system caption, puts a themed title bar at its top, paints a
// themed border in the non-client area, cuts the window to rounded corners (or the file
// theme's outline) and shows the form's main menu as a flat menu bar.
#pragma once
#include <memory>
#include <string>

#include "framework/Forms.h"
#include "framework/Menus.h"
#include "framework/ToolBar.h"
#include "skin/VELFormCore.h"
#include "skin/VELImagePanel.h"
#include "skin/VELMgr.h"
#include "skin/VELThemes.h"
#include "skin/VELTitleBar.h"

class TvelForm;
class TvelMainMenu;

// The flat menu bar: one button per top-level item of the frame's Menu, drawn by the frame.
class TvelMenuBar : public TToolBar {
 public:
  explicit TvelMenuBar(TComponent* owner);
  const char* ClassName() const override { return "TvelMenuBar"; }
  void Paint(TCanvas& canvas) override;
  TvelForm* Frame() const;
};

class TvelForm : public TvelCustomPanel, public IvelThemable {
 public:
  // On a form that holds no form frame yet, takes over its frame; otherwise stays an inert panel.
  explicit TvelForm(TComponent* owner);
  ~TvelForm() override;
  void BeforeDestruction() override;
  const char* ClassName() const override { return "TvelForm"; }
  bool IsFormFrame() const override { return true; }

  // False for an inert second frame.
  bool Active() const { return host_ != nullptr; }
  TForm* HostForm() const { return host_; }
  TvelTitleBar* TitleBar() const { return titleBar_; }
  TvelMenuBar* MenuBar() const { return menuBar_; }

  bool TitleBarCustom() const;
  void SetTitleBarCustom(bool value);
  TvelFileTheme* FileTheme() const { return fileTheme_; }
  TvelFileTheme* GetFileTheme() const override { return fileTheme_; }
  void SetFileTheme(TvelFileTheme* theme) override;
  TvelUIStyle UIStyle() const { return uiStyle_; }
  TvelUIStyle GetUIStyle() const override { return uiStyle_; }
  void SetUIStyle(TvelUIStyle style) override;
  bool UIStyleAutoUpdateSub() const { return autoUpdateSub_; }
  void SetUIStyleAutoUpdateSub(bool value) { autoUpdateSub_ = value; }
  TColor BorderColor() const { return borderColor_; }
  void SetBorderColor(TColor color);
  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int width);
  bool TitleBarVisible() const { return titleBarVisible_; }
  void SetTitleBarVisible(bool visible);
  TBiDiMode BiDiMode() const;
  void SetBiDiMode(TBiDiMode mode);
  // The title bar's caption; setting it also sets the host form's caption.
  std::string FrameCaption() const;
  void SetFrameCaption(const std::string& caption);
  TWinControl* FormPanel() const { return formPanel_; }
  // The frame itself is refused with an error dialog.
  void SetFormPanel(TWinControl* panel);
  bool TitleBarDrawAppIcon() const;
  void SetTitleBarDrawAppIcon(bool value);
  TMainMenu* Menu() const { return menu_; }
  void SetMenu(TMainMenu* menu);
  TColor MenuBarColor() const { return menuBarColor_; }
  void SetMenuBarColor(TColor color);
  TColor MenuBarToColor() const { return menuBarToColor_; }
  void SetMenuBarToColor(TColor color);
  int MenuBarHeight() const { return menuBarHeight_; }
  void SetMenuBarHeight(int height);
  int RoundCorner() const { return roundCorner_; }
  void SetRoundCorner(int value);
  int RoundCornerBottom() const { return roundCornerBottom_; }
  void SetRoundCornerBottom(int value);
  // Always "6.21"; writes are ignored.
  std::string Version() const { return "6.21"; }
  TColor InactiveCaptionColor() const;
  void SetInactiveCaptionColor(TColor color);
  bool FormActive() const { return formActive_; }

  // Paints the non-client frame of the host now.
  void PaintFormFrame();
  // Gives the host window its shape for the current size and style.
  void UpdateFormRegion();
  // Builds the menu bar for Menu again, or drops it when there is none.
  void RebuildMenuBar();
  // Menu bar captions and enabled states from the menu items.
  void RefreshMenuBar();
  // The menu bar's font: the Menu's when it is a themed menu (system menu font or its own).
  void RefreshMenuBarFont();
  // Opens the title bar's control-box menu under the title bar (Alt+Space).
  void PopupControlBoxMenu();
  // The frame thicknesses measured on the host (bottom, left).
  const TvelFrameMetrics& Metrics() const { return metrics_; }

  void Paint(TCanvas& canvas) override;
  void Resize() override;
  void Notification(TComponent* component, TOperation operation) override;
  void Loaded() override;

  // Shows the rule errors (a form frame as its own form panel); tests replace it.
  static std::function<void(const std::string&)> OnRuleError;
  // Library-wide: no advice dialog when a plain main menu is placed on a framed form at
  // design time. Off at start.
  static bool DesignAdviceOff;

 private:
  friend class TvelMenuBar;
  LRESULT HookedWndProc(UINT msg, WPARAM wParam, LPARAM lParam);
  void TakeOverHost();
  void ReleaseHost();
  void RemoveCaption();
  void ApplyStyleValues(bool useFile);
  void DrawMenuBarButton(TToolBar* bar, TToolButton* button, TCanvas& canvas, const TRect& rect, unsigned state,
                         bool& defaultDraw);
  void DrawMenuBarBackground(TCanvas& canvas, const TRect& rect);
  TvelUIStyle MenuStyle(TvelFileTheme** theme) const;
  void MaximizeBookkeeping();
  void UpdateMinimumSize();
  TvelFramePaintInput FramePaintInput();

  TForm* host_ = nullptr;
  TvelTitleBar* titleBar_ = nullptr;
  TvelMenuBar* menuBar_ = nullptr;
  TWinControl::TWndMethod savedProc_;
  bool hooked_ = false;
  TFormBorderStyle hostBorderStyle_ = bsSizeable;
  TvelFrameMetrics metrics_;
  TRect hostBounds_;
  bool hostMaximized_ = false;
  TRect restoreBounds_;
  bool inMaximize_ = false;

  TvelFileTheme* fileTheme_ = nullptr;  // owned elsewhere; dropped when it goes
  TvelUIStyle uiStyle_ = TvelUIStyle::DeepBlue;
  bool autoUpdateSub_ = false;
  TColor borderColor_ = clBlack;
  int borderWidth_ = 1;
  bool titleBarVisible_ = true;
  TWinControl* formPanel_ = nullptr;
  TMainMenu* menu_ = nullptr;
  TColor menuBarColor_ = clBtnFace, menuBarToColor_ = clBtnFace;
  int menuBarHeight_ = 22;
  int roundCorner_ = 0, roundCornerBottom_ = 0;
  bool formActive_ = true;
  // File theme values.
  TColor keyColor_ = clFuchsia;
  bool stripRefreshing_ = false;
  bool titleRegion_ = false, bottomRegion_ = false;
  int themeInts_[4] = {-1, -1, -1, -1};  // GetInt 5..8
  TBitmap bottomBorder_;                 // 24-bit copy of the bottom border picture
};

void RegisterVelFormClasses();

// The themed push button: drawn entirely from a three-frame theme bitmap (normal, mouse over,
// pressed), with hot tracking, an optional glyph, an embossed caption when disabled, a focus
// mark that depends on the style, Default and Cancel keys, a modal result and an auto-repeat
// event while the left button is held. TvelCustomButton holds the behaviour and the drawing
// skeleton, TvelButton the glyph, the style-dependent details and the stored properties.
#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "framework/Canvas.h"
#include "framework/Controls.h"
#include "skin/VELButtonCore.h"
#include "skin/VELThemes.h"

// Asked of the focused window: a themed button answers 1.
constexpr UINT WM_ISSKINBUTTON = WM_APP + 3000;

using TKeyPressEvent = std::function<void(TComponent* sender, int& key)>;

// The off-screen bitmap a paint draws into: GDI drawing through the canvas, pixel work
// through Pixels().
class TvelPaintBuffer : public TBitmapCanvas {
 public:
  explicit TvelPaintBuffer(TBitmap& bitmap) : TBitmapCanvas(bitmap), bitmap_(bitmap) {}
  // GDI batches its drawing; it is flushed first so the pixels show it.
  TBitmap& Pixels() {
    GdiFlush();
    return bitmap_;
  }

 private:
  TBitmap& bitmap_;
};

// The repeat timer of a held button: a window timer that lives as long as this object.
class TvelRepeatTimer {
 public:
  // An interval of 0 or below never ticks; neither does a timer made without a window.
  TvelRepeatTimer(HWND window, UINT_PTR id, int interval);
  ~TvelRepeatTimer();
  TvelRepeatTimer(const TvelRepeatTimer&) = delete;
  TvelRepeatTimer& operator=(const TvelRepeatTimer&) = delete;
  bool Running() const { return running_; }

 private:
  HWND window_;
  UINT_PTR id_;
  bool running_ = false;
};

class TvelCustomButton : public TCustomControl, public IvelThemable {
 public:
  explicit TvelCustomButton(TComponent* owner);
  ~TvelCustomButton() override;
  const char* ClassName() const override { return "TvelCustomButton"; }

  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool v);
  // The caption, kept here and as the window text.
  const std::string& CaptionText() const { return caption_; }
  void SetCaption(const std::string& v);
  bool Cancel() const { return cancel_; }
  void SetCancel(bool v) { cancel_ = v; }
  bool Default() const { return default_; }
  void SetDefault(bool v);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool v);
  int ModalResult() const { return modalResult_; }
  void SetModalResult(int v) { modalResult_ = v; }
  TvelUIStyle UIStyle() const { return uiStyle_; }
  void SetUIStyle(TvelUIStyle style) override;
  TvelUIStyle GetUIStyle() const override { return uiStyle_; }
  TvelFileTheme* FileTheme() const { return fileTheme_; }
  TvelFileTheme* GetFileTheme() const override { return fileTheme_; }
  void SetFileTheme(TvelFileTheme* theme) override;
  int MouseContinuouslyDownInterval() const { return repeatInterval_; }
  void SetMouseContinuouslyDownInterval(int v) { repeatInterval_ = v; }
  int FocusedRectMargin() const { return focusedRectMargin_; }
  void SetFocusedRectMargin(int v);

  // State, for the look and for callers that mirror it.
  bool Hot() const { return hot_; }
  bool Pressed() const { return pressed_; }
  bool Active() const { return active_; }
  bool RepeatTimerExists() const { return timer_ != nullptr; }

  void SetEnabled(bool enabled) override;
  void Paint(TCanvas& canvas) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void Click() override;
  void MouseEnter() override;
  void MouseLeave() override;
  void CancelMode() override;
  bool DialogKey(int key, TShiftState shift) override;
  bool DialogChar(int ch, TShiftState shift) override;
  void FocusChanged(TWinControl* focused) override;
  void TextChanged() override;
  void FontChanged() override;
  void Notification(TComponent* component, TOperation operation) override;

  TNotifyEvent OnMouseExit, OnMouseContinuouslyDown;  // OnMouseEnter is the framework's
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;

 protected:
  virtual void ApplyAutoSize();
  virtual void CaptionSet() {}
  virtual void FontSet();
  virtual void TransparentSet();
  virtual void EnabledSet() {}
  virtual void StyleSet() {}
  virtual void DrawFace(TvelPaintBuffer& canvas, const TBitmap& face);
  virtual void DrawCaption(TCanvas& canvas, const std::string& text);
  virtual void DrawFocus(TCanvas& canvas);
  virtual void GetNormalFace(TBitmap& bitmap) { GetFace(bitmap, 1); }
  virtual void GetHotFace(TBitmap& bitmap) { GetFace(bitmap, 2); }
  virtual void GetPressedFace(TBitmap& bitmap) { GetFace(bitmap, 3); }
  virtual void GetDisabledFace(TBitmap& bitmap) { GetFace(bitmap, 1); }
  // Frame n of 3 of the button bitmap, from the file theme or the built-in style.
  void GetFace(TBitmap& bitmap, int frame);
  // Whether the look comes from the file theme, and the built-in style to use otherwise.
  bool UsesFileTheme(TvelUIStyle& effectiveStyle) const;

  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  bool boldCaption_ = false;
  bool faceTransparent_ = false;
  bool hot_ = false;
  bool pressed_ = false;

 private:
  void FreeTimer() { timer_.reset(); }
  bool autoSize_ = false;
  std::string caption_;
  bool cancel_ = false;
  bool default_ = false;
  bool transparent_ = false;
  int modalResult_ = 0;
  TvelUIStyle uiStyle_ = TvelUIStyle::DeepBlue;
  TvelFileTheme* fileTheme_ = nullptr;  // owned elsewhere; dropped when it goes
  std::unique_ptr<TvelRepeatTimer> timer_;
  int repeatInterval_ = 100;
  int focusedRectMargin_ = 2;
  bool active_ = false;
};

class TvelButton : public TvelCustomButton {
 public:
  explicit TvelButton(TComponent* owner);
  ~TvelButton() override;
  const char* ClassName() const override { return "TvelButton"; }

  const TBitmap& Glyph() const { return *glyph_; }
  // Copies the picture into the button's own glyph.
  void SetGlyph(const TBitmap& picture);
  TButtonLayout Layout() const { return layout_; }
  void SetLayout(TButtonLayout v);
  int Spacing() const { return spacing_; }
  void SetSpacing(int v);
  // Stored by layouts from the designer; reads give 0 and writes are ignored.
  uint32_t ResHandle() const { return 0; }
  void SetResHandle(uint32_t) {}
  // Where the last paint with a glyph put the caption.
  TPoint TextOrigin() const { return textOrigin_; }

 protected:
  void StyleSet() override;
  void DrawFace(TvelPaintBuffer& canvas, const TBitmap& face) override;
  void DrawCaption(TCanvas& canvas, const std::string& text) override;
  void DrawFocus(TCanvas& canvas) override;

 private:
  std::unique_ptr<TBitmap> glyph_;
  TButtonLayout layout_ = blGlyphLeft;
  TPoint textOrigin_;
  int spacing_ = 4;
};

class TForm;
// The modal result the last click of a themed button gave the form (0 before any). Kept on the
// form's window, since the framework's form has no field for it.
int FormModalResult(TForm& form);
void SetFormModalResult(TForm& form, int result);

// Registers TvelCustomButton and TvelButton, with their stored properties, for layouts.
// Runs the framework's registration first; safe to call more than once.
void RegisterVelButtonClasses();

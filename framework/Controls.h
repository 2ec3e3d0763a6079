// The control model over raw Win32. TControl is the common base: bounds, visibility,
// font, colour, text and the control messages custom controls override. TGraphicControl has
// no window and is painted by its parent; TWinControl owns a window bound to the object at
// WM_NCCREATE and dispatches messages to virtual handlers. Custom controls paint through
// Paint(TCanvas&) into an off-screen bitmap that is copied to the screen once.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/Canvas.h"
#include "framework/Component.h"
#include "framework/Graphics.h"
#include "framework/Handles.h"
#include "framework/Streaming.h"

class TWinControl;
class TForm;
class TPopupMenu;

enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TShiftFlag : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64 };
using TShiftState = unsigned;
enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };

// Cursor identifiers as layouts store them.
using TCursor = int;
constexpr TCursor crDefault = 0, crArrow = -2, crCross = -3, crIBeam = -4, crSizeAll = -22, crSizeNS = -7,
                  crSizeWE = -9, crUpArrow = -10, crHourGlass = -11, crNo = -18, crHandPoint = -21;

using TMouseEvent = std::function<void(TComponent* sender, TMouseButton, TShiftState, int x, int y)>;
using TMouseMoveEvent = std::function<void(TComponent* sender, TShiftState, int x, int y)>;
using TKeyEvent = std::function<void(TComponent* sender, int& key, TShiftState)>;

// Private messages: a parent's notification reflected to the child's own object is
// kReflect + the original message (WM_COMMAND, WM_CTLCOLOR*, WM_DRAWITEM, ...).
constexpr UINT kReflect = 0xBC00;

// The state of the keyboard's Shift, Ctrl and Alt keys now.
TShiftState KeyboardShiftState();

class TControl : public TComponent {
 public:
  explicit TControl(TComponent* owner);
  ~TControl() override;
  const char* ClassName() const override { return "TControl"; }
  void SetParentComponent(TComponent* parent) override;

  TWinControl* Parent() const { return parent_; }
  virtual void SetParent(TWinControl* parent);
  // The form this control sits on (itself for a form); null when not on one.
  TForm* ParentForm() const;

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
  void SetTop(int v) { SetBounds(left_, v, width_, height_); }
  void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
  void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
  virtual void SetBounds(int left, int top, int width, int height);
  TRect BoundsRect() const { return Bounds(left_, top_, width_, height_); }
  void SetBoundsRect(const TRect& r) { SetBounds(r.Left, r.Top, r.Width(), r.Height()); }
  virtual TRect ClientRect() const { return {0, 0, width_, height_}; }
  int ClientWidth() const { return ClientRect().Width(); }
  int ClientHeight() const { return ClientRect().Height(); }
  TAlign Align() const { return align_; }
  void SetAlign(TAlign align);

  bool Visible() const { return visible_; }
  virtual void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible here and in every parent up to a visible form.
  virtual bool Showing() const;
  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool enabled);

  // The caption or text, GBK.
  virtual std::string Text() const { return text_; }
  virtual void SetText(const std::string& text);
  std::string Caption() const { return Text(); }
  void SetCaption(const std::string& text) { SetText(text); }

  TFont& Font() { return font_; }
  const TFont& Font() const { return font_; }
  void SetFont(const TFont& font) { font_.Assign(font); }
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool v);
  TColor Color() const { return color_; }
  virtual void SetColor(TColor color);
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool v);
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor c) { cursor_ = c; }
  const std::string& Hint() const { return hint_; }
  virtual void SetHint(const std::string& hint) { hint_ = hint; }
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool v) { showHint_ = v; }
  // Shown where the user right-clicks the control (or a child without a popup menu of its own).
  TPopupMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TPopupMenu* menu);
  void Notification(TComponent* component, TOperation operation) override;

  // Redraws on the next paint of the window that shows this control.
  virtual void Invalidate();
  // Redraws now.
  virtual void Repaint();
  void Refresh() { Repaint(); }
  void Update();

  // Draws the control at its own origin. Graphic controls are drawn by their parent
  // through this; windowed custom controls from their WM_PAINT.
  virtual void Paint(TCanvas& canvas);

  // Control messages. Overrides call the base ("framework handling") where it matters.
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void Click();
  virtual void DblClick();
  virtual void MouseEnter();  // the pointer came over the control
  virtual void MouseLeave();  // the pointer left it
  virtual void CancelMode();  // capture lost, menu or dialog opened: drop pressed states
  // Enter, Esc, Tab or an arrow that the focused control does not want. True: handled.
  virtual bool DialogKey(int key, TShiftState shift);
  // A character that the focused control does not take (or any with Alt). True: handled.
  virtual bool DialogChar(int ch, TShiftState shift);
  // The form's focused control changed to focused (may be null).
  virtual void FocusChanged(TWinControl* focused);
  virtual void TextChanged();
  virtual void FontChanged();
  virtual void EnabledChanged();
  virtual void VisibleChanged();
  virtual void ColorChanged();
  virtual void Resize();
  virtual void ParentFontChanged();
  virtual void ParentColorChanged();

  bool MouseInControl() const { return mouseInside_; }
  // True while the left button went down on this control and has not come up.
  bool Pressing() const { return pressing_; }

  TNotifyEvent OnClick, OnDblClick, OnMouseEnter, OnMouseLeave, OnResize;
  TMouseEvent OnMouseDown, OnMouseUp;
  TMouseMoveEvent OnMouseMove;

  // The accelerator character of a caption ("&N" gives 'n'), 0 when none.
  static int AcceleratorOf(const std::string& caption);

 protected:
  friend class TWinControl;
  // The window in which this control's pixels appear, and its offset there.
  HWND HostWindow(TPoint* offset) const;
  virtual void BoundsChanged(bool moved, bool sized);
  // Stores the text without any message (windowed controls keep it in the window).
  void StoreText(const std::string& text) { text_ = text; }
  bool pressing_ = false;

 private:
  TWinControl* parent_ = nullptr;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  TAlign align_ = alNone;
  bool visible_ = true;
  bool enabled_ = true;
  bool mouseInside_ = false;
  bool parentFont_ = true;
  bool parentColor_ = false;
  bool inFontChange_ = false;
  std::string text_;
  TFont font_;
  TColor color_ = clBtnFace;
  TCursor cursor_ = crDefault;
  std::string hint_;
  bool showHint_ = false;
  TPopupMenu* popupMenu_ = nullptr;
};

// A control without a window, drawn into its parent's paint.
class TGraphicControl : public TControl {
 public:
  using TControl::TControl;
  const char* ClassName() const override { return "TGraphicControl"; }
};

struct TCreateParams {
  std::wstring className;     // window class to register (own classes) or to superclass
  std::wstring baseClass;     // system class superclassed ("EDIT", "BUTTON"), empty for own
  DWORD style = 0;
  DWORD exStyle = 0;
  UINT classStyle = CS_DBLCLKS;
  HWND parentWindow = nullptr;
  int x = 0, y = 0, width = 0, height = 0;
};

class TWinControl : public TControl {
 public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;
  const char* ClassName() const override { return "TWinControl"; }

  // The window, created on first use together with its parents' windows.
  HWND Handle();
  bool HandleAllocated() const { return handle_ != nullptr; }
  void HandleNeeded() { Handle(); }
  // Destroys the window and makes it again from CreateParams (after a style change).
  void RecreateWnd();
  // The object bound to a window of this framework, or null.
  static TWinControl* FromHandle(HWND window);

  int ControlCount() const { return static_cast<int>(controls_.size()); }
  TControl* Controls(int index) const { return controls_[static_cast<size_t>(index)]; }
  // The topmost visible child control at a client point, or null.
  TControl* ControlAtPos(TPoint p, bool allowDisabled = false) const;
  bool ContainsControl(const TControl* control) const;

  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool v);
  int TabOrder() const;
  void SetTabOrder(int order);
  bool Focused() const;
  virtual bool CanFocus() const;
  virtual void SetFocus();

  void SetText(const std::string& text) override;
  std::string Text() const override;
  void SetVisible(bool visible) override;
  void SetEnabled(bool enabled) override;
  void Invalidate() override;
  void Repaint() override;
  bool Showing() const override;

  // Renders the control and its graphic children into dc at (x, y) through an off-screen
  // bitmap of the control's size, copied once.
  void PaintTo(HDC dc, int x, int y);
  // Paint plus the graphic children, into a canvas at the control's origin.
  void PaintWindow(TCanvas& canvas);
  // Graphic children in z-order, each at its position and clipped to its bounds.
  void PaintControls(TCanvas& canvas);

  // Children placed by Align (alTop, alClient, ...) within rect, which shrinks as they go.
  virtual void AlignControls(TRect& rect);
  void Realign();

  // Broadcasts: every child hears, windowed ones pass on to theirs. DialogKey and
  // DialogChar stop at the first child that handles them.
  bool DialogKey(int key, TShiftState shift) override;
  bool DialogChar(int ch, TShiftState shift) override;
  void FocusChanged(TWinControl* focused) override;
  void ParentFontChanged() override;
  void ParentColorChanged() override;
  void FontChanged() override;
  void ColorChanged() override;

  // Sends a message to the window, creating it if needed.
  LRESULT Perform(UINT msg, WPARAM wParam, LPARAM lParam);

  // Every message of the window passes through WindowProc first; by default it is WndProc.
  // A component that takes over some of the window's messages saves the current one, sets
  // its own (which calls the saved one for the rest) and sets the saved one back to let go.
  using TWndMethod = std::function<LRESULT(UINT msg, WPARAM wParam, LPARAM lParam)>;
  TWndMethod WindowProc();
  // An empty method restores WndProc.
  void SetWindowProc(TWndMethod method) { windowProc_ = std::move(method); }

  TNotifyEvent OnEnter, OnExit;
  TKeyEvent OnKeyDown;

 protected:
  friend class TControl;
  virtual void CreateParams(TCreateParams& params);
  // Creates the window (and those of the windowed children). Overrides call the base, then
  // set up what needs the window.
  virtual void CreateWnd();
  virtual void DestroyWnd();
  // The message dispatcher; overrides handle their messages and call the base for the rest.
  virtual LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);
  // The window class's own procedure (superclassed system controls) or DefWindowProc.
  LRESULT DefaultHandler(UINT msg, WPARAM wParam, LPARAM lParam);
  // Whether WM_PAINT goes through Paint; false for system controls that paint themselves.
  bool customPaint_ = true;
  // Called when this control's showing state changes (a page becoming visible, ...).
  virtual void ShowingChanged();
  void UpdateShowing();
  void BoundsChanged(bool moved, bool sized) override;
  virtual void CommandNotify(WORD code);
  // Answers WM_CTLCOLOR* reflected from the parent: text and background colours.
  virtual LRESULT CtlColor(HDC dc);
  HBRUSH ColorBrush();
  void ApplyFont();

 private:
  friend LRESULT CALLBACK FrameworkWindowProc(HWND, UINT, WPARAM, LPARAM);
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  void CreateHandleTree();
  void MouseMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  void TrackMouse(TControl* target);
  LRESULT Dispatch(UINT msg, WPARAM wParam, LPARAM lParam);
  HWND handle_ = nullptr;
  WNDPROC defProc_ = nullptr;
  TWndMethod windowProc_;
  std::vector<TControl*> controls_;
  TControl* captureControl_ = nullptr;
  bool tabStop_ = false;
  bool showing_ = false;
  bool creating_ = false;
  UniqueFont fontHandle_;
  UniqueBrush colorBrush_;
  TColor brushColor_ = 0;
};

// A windowed control that paints itself through Paint (buttons, panels, pages).
class TCustomControl : public TWinControl {
 public:
  using TWinControl::TWinControl;
  const char* ClassName() const override { return "TCustomControl"; }
};

// Registers the framework's own classes and their properties with the layout reader;
// runs once, on the first form loaded.
void RegisterFrameworkClasses();

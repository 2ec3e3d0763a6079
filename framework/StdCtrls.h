// The standard controls: label, bevel, image and speed button (no window, drawn by their
// parent); edit, memo, button, check box and progress bar (system controls); the page
// control with its pages.
#pragma once
#include <string>
#include <vector>

#include "framework/Controls.h"

enum TTextLayout { tlTop, tlCenter, tlBottom };

class TLabel : public TGraphicControl {
 public:
  explicit TLabel(TComponent* owner);
  const char* ClassName() const override { return "TLabel"; }
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool v);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool v);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool v);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v);
  TTextLayout Layout() const { return layout_; }
  void SetLayout(TTextLayout v);
  bool ShowAccelChar() const { return showAccelChar_; }
  void SetShowAccelChar(bool v);
  TWinControl* FocusControl = nullptr;

  void Paint(TCanvas& canvas) override;
  void TextChanged() override;
  void FontChanged() override;
  bool DialogChar(int ch, TShiftState shift) override;
  void Loaded() override;
  // Sizes the label to its text (keeping the width when word-wrapping).
  void AdjustBounds();

 private:
  unsigned DrawFlags() const;
  bool autoSize_ = true, transparent_ = false, wordWrap_ = false, showAccelChar_ = true;
  TAlignment alignment_ = taLeftJustify;
  TTextLayout layout_ = tlTop;
};

enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TBevelStyle { bsLowered, bsRaised };

class TBevel : public TGraphicControl {
 public:
  explicit TBevel(TComponent* owner);
  const char* ClassName() const override { return "TBevel"; }
  TBevelShape Shape() const { return shape_; }
  void SetShape(TBevelShape v);
  TBevelStyle Style() const { return style_; }
  void SetStyle(TBevelStyle v);
  void Paint(TCanvas& canvas) override;

 private:
  TBevelShape shape_ = bsBox;
  TBevelStyle style_ = bsLowered;
};

class TImage : public TGraphicControl {
 public:
  explicit TImage(TComponent* owner);
  const char* ClassName() const override { return "TImage"; }
  TBitmap& Picture() { return picture_; }
  void SetPicture(TBitmap picture);
  bool Stretch = false, Center = false, Transparent = false, AutoSize = false;
  void Paint(TCanvas& canvas) override;

 private:
  TBitmap picture_;
};

// A flat or raised button without a window: a glyph (its bottom-left pixel's colour is
// transparent) and an optional caption.
class TSpeedButton : public TGraphicControl {
 public:
  explicit TSpeedButton(TComponent* owner);
  const char* ClassName() const override { return "TSpeedButton"; }
  TBitmap& Glyph() { return glyph_; }
  void SetGlyph(TBitmap glyph);
  // The glyph holds this many images side by side: up, disabled, down, (held down).
  int NumGlyphs() const { return numGlyphs_; }
  void SetNumGlyphs(int n);
  bool Flat() const { return flat_; }
  void SetFlat(bool v);
  bool Down() const { return down_; }

  void Paint(TCanvas& canvas) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseEnter() override;
  void MouseLeave() override;
  void CancelMode() override;

 private:
  TBitmap glyph_;
  int numGlyphs_ = 1;
  bool flat_ = false;
  bool down_ = false;
};

enum TBorderStyle { bsNoBorder, bsSingleBorder };

class TEdit : public TWinControl {
 public:
  explicit TEdit(TComponent* owner);
  const char* ClassName() const override { return "TEdit"; }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool v);
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int v);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle v);
  bool Ctl3D = true;
  TNotifyEvent OnChange;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void CommandNotify(WORD code) override;
  LRESULT CtlColor(HDC dc) override;
  void TextChanged() override;
  void Recreate();
  bool readOnly_ = false;
  int maxLength_ = 0;
  TBorderStyle borderStyle_ = bsSingleBorder;
};

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

class TMemo : public TEdit {
 public:
  explicit TMemo(TComponent* owner);
  const char* ClassName() const override { return "TMemo"; }
  // Lines are kept in the window (CR LF between them) once it exists.
  std::vector<std::string> Lines() const;
  void SetLines(const std::vector<std::string>& lines);
  void AddLine(const std::string& line);
  void Clear() { SetText(""); }
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle v);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool v);

 protected:
  void CreateParams(TCreateParams& params) override;

 private:
  TScrollStyle scrollBars_ = ssNone;
  bool wordWrap_ = true;
};

class TButton : public TWinControl {
 public:
  explicit TButton(TComponent* owner);
  const char* ClassName() const override { return "TButton"; }
  bool Default() const { return default_; }
  void SetDefault(bool v);
  bool Cancel = false;
  int ModalResult = 0;
  // Runs OnClick whether or not the button is shown: hidden buttons carry actions.
  void Click() override { TWinControl::Click(); }
  bool DialogKey(int key, TShiftState shift) override;
  bool DialogChar(int ch, TShiftState shift) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CommandNotify(WORD code) override;

 private:
  bool default_ = false;
};

class TCheckBox : public TWinControl {
 public:
  explicit TCheckBox(TComponent* owner);
  const char* ClassName() const override { return "TCheckBox"; }
  bool Checked() const;
  void SetChecked(bool v);
  bool DialogChar(int ch, TShiftState shift) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void CommandNotify(WORD code) override;
  LRESULT CtlColor(HDC dc) override;

 private:
  bool checked_ = false;
};

class TProgressBar : public TWinControl {
 public:
  explicit TProgressBar(TComponent* owner);
  const char* ClassName() const override { return "TProgressBar"; }
  int Min() const { return min_; }
  int Max() const { return max_; }
  int Position() const { return position_; }
  void SetMin(int v);
  void SetMax(int v);
  void SetPosition(int v);
  bool Smooth() const { return smooth_; }
  void SetSmooth(bool v);

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;

 private:
  int min_ = 0, max_ = 100, position_ = 0;
  bool smooth_ = false;
};

class TPageControl;

class TTabSheet : public TCustomControl {
 public:
  explicit TTabSheet(TComponent* owner);
  ~TTabSheet() override;
  const char* ClassName() const override { return "TTabSheet"; }
  TPageControl* PageControl() const { return pageControl_; }
  void SetPageControl(TPageControl* control);
  void SetParent(TWinControl* parent) override;
  int PageIndex() const;
  void SetPageIndex(int index);
  bool TabVisible() const { return tabVisible_; }
  void SetTabVisible(bool v);
  // Fired when the page comes into view (becomes the active page of a shown control).
  TNotifyEvent OnShow, OnHide;

 protected:
  void ShowingChanged() override;
  void TextChanged() override;

 private:
  friend class TPageControl;
  TPageControl* pageControl_ = nullptr;
  bool tabVisible_ = true;
};

enum TTabStyle { tsTabs, tsButtons, tsFlatButtons };

// Pages stacked on one another; only the active one is visible. Tabs (when any page shows
// one) are drawn as a row of buttons above the pages.
class TPageControl : public TCustomControl {
 public:
  explicit TPageControl(TComponent* owner);
  const char* ClassName() const override { return "TPageControl"; }
  int PageCount() const { return static_cast<int>(pages_.size()); }
  TTabSheet* Pages(int index) const { return pages_[static_cast<size_t>(index)]; }
  TTabSheet* ActivePage() const { return active_; }
  void SetActivePage(TTabSheet* page);
  int ActivePageIndex() const;
  void SetActivePageIndex(int index);
  TTabStyle Style() const { return style_; }
  void SetStyle(TTabStyle v);
  TRect DisplayRect() const;
  TNotifyEvent OnChange;

  void Paint(TCanvas& canvas) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void AlignControls(TRect& rect) override;

 private:
  friend class TTabSheet;
  std::vector<TRect> TabRects();
  bool AnyTabVisible() const;
  void InsertPage(TTabSheet* page);
  void RemovePage(TTabSheet* page);
  void MovePage(TTabSheet* page, int index);
  std::vector<TTabSheet*> pages_;
  TTabSheet* active_ = nullptr;
  TTabStyle style_ = tsTabs;
};

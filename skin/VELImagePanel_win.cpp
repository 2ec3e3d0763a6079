// The themed panels' Win32 side: style rules, painting through an off-screen bitmap, the fold
// button and its animation, the picture panel's picture, transparency and caption.
#include "skin/VELImagePanel.h"

#include <algorithm>

#include "framework/Application.h"
#include "framework/Exceptions.h"
#include "framework/Streaming.h"
#include "skin/VELControlThemes.h"
#include "skin/VELMgr.h"
#include "skin/VELPublic.h"
#include "skin/VELPublicControls.h"

namespace {
constexpr int kFoldStep = 15;
constexpr int kFoldButtonFrames = 4;
// Item numbers of a file theme and of the built-in table that the panel reads.
constexpr int kFileThemeTitleBitmap = 32, kFileThemeBorderColor = 22, kFileThemeCaptionColor = 23;
constexpr int kThemeTitleBitmap = 42, kThemeBorderColor = 25, kThemeCaptionColor = 20;

bool AlignedToSide(TAlign align) { return align == alLeft || align == alRight || align == alClient; }

// A file theme answers -1 for a colour its skin lacks; the DeepBlue colour stands in for it.
TColor FileThemeColorOr(const TvelFileTheme& theme, int index, int builtinItem) {
  const int32_t color = theme.GetColor(index);
  return color == -1 ? GetThemeColor(TvelUIStyle::DeepBlue, builtinItem) : static_cast<TColor>(color);
}
}  // namespace

// ---------------------------------------------------------------- TvelPanel

TvelPanel::TvelPanel(TComponent* owner) : TCustomControl(owner) {
  SetWidth(100);
  SetHeight(100);
  SetUIStyle(DefaultStyleFor(owner));
}

TvelPanel::~TvelPanel() { *alive_ = false; }

void TvelPanel::SetUIStyle(TvelUIStyle value) {
  uiStyle_ = value;
  // While a file theme is being assigned, only a panel that draws from it takes a new look.
  if (themeAssigning_ && value != TvelUIStyle::FromThemeFile) return;
  SetColor(clWhite);
  TvelUIStyle effective = value;
  if (UseFileTheme(fileTheme_ && fileTheme_->Ready(), uiStyle_, effective)) {
    // The theme's bitmap stays the theme's; the panel keeps a copy.
    const TBitmap* strip = fileTheme_->GetBitmap(kFileThemeTitleBitmap);
    if (strip && !strip->Empty())
      title_ = strip->Clone();
    else
      GetThemeBitmap(TvelUIStyle::DeepBlue, kThemeTitleBitmap, &title_, 0, 0);
    borderColor_ = FileThemeColorOr(*fileTheme_, kFileThemeBorderColor, kThemeBorderColor);
    captionFontColor_ = FileThemeColorOr(*fileTheme_, kFileThemeCaptionColor, kThemeCaptionColor);
  } else {
    GetThemeBitmap(effective, kThemeTitleBitmap, &title_, 0, 0);
    borderColor_ = GetThemeColor(effective, kThemeBorderColor);
    captionFontColor_ = effective == TvelUIStyle::MacOS ? clBlack : GetThemeColor(effective, kThemeCaptionColor);
  }
  // Two size changes make the children be laid out again below the new strip height.
  const int height = fullHeight_;
  SetHeight(height - 1);
  SetHeight(height);
  Invalidate();
}

void TvelPanel::SetFileTheme(TvelFileTheme* theme) {
  LinkFileTheme(*this, fileTheme_, theme);
  themeAssigning_ = true;
  try {
    SetUIStyle(uiStyle_);
  } catch (...) {
    themeAssigning_ = false;
    throw;
  }
  themeAssigning_ = false;
}

void TvelPanel::SetBorderColor(TColor color) {
  borderColor_ = color;
  Invalidate();
}

void TvelPanel::SetCaptionFontColor(TColor color) {
  captionFontColor_ = color;
  Invalidate();
}

void TvelPanel::SetShowButton(bool show) {
  showButton_ = show;
  Invalidate();
}

void TvelPanel::SetBiDiMode(TBiDiMode mode) {
  biDiMode_ = mode;
  Invalidate();
}

void TvelPanel::SetHeight(int value) {
  fullHeight_ = value;
  if (Designing() || expanded_) TControl::SetHeight(value);
}

void TvelPanel::Resize() {
  TCustomControl::Resize();
  if (!animating_ && expanded_) fullHeight_ = Height();
}

void TvelPanel::AlignControls(TRect& rect) {
  rect.Left += 3;
  rect.Right -= 3;
  rect.Bottom -= 3;
  rect.Top = title_.Height() + 3;
  TCustomControl::AlignControls(rect);
}

void TvelPanel::Notification(TComponent* component, TOperation operation) {
  TCustomControl::Notification(component, operation);
  if (!FileThemeRemoved(fileTheme_, component, operation)) return;
  ApplyThemeToChildren(this, TvelUIStyle::DeepBlue, nullptr);
  SetUIStyle(TvelUIStyle::DeepBlue);
}

bool TvelPanel::FoldButtonShown() const { return showButton_ && !AlignedToSide(Align()); }

namespace {
TRect HitRectFor(int panelWidth, int stripHeight, int frameWidth, int frameHeight) {
  TRect r;
  r.Left = panelWidth - 1 - frameWidth - 4;
  r.Right = r.Left + frameWidth;
  r.Top = (stripHeight - frameHeight) / 2;
  r.Bottom = r.Top + frameHeight;
  return r;
}
}  // namespace

TRect TvelPanel::FoldButtonHitRect() const {
  TBitmap buttons;
  LoadSkinBitmap("PANEL_BUTTON", buttons);
  return HitRectFor(Width(), title_.Height(), buttons.Width() / kFoldButtonFrames, buttons.Height());
}

void TvelPanel::DrawFoldButton(TCanvas& canvas) {
  if (!FoldButtonShown()) return;
  TBitmap buttons;
  LoadSkinBitmap("PANEL_BUTTON", buttons);
  const TRect hit = HitRectFor(Width(), title_.Height(), buttons.Width() / kFoldButtonFrames, buttons.Height());
  POINT cursor{};
  // Without a window there is no pointer position to compare; the button is drawn unlit.
  bool over = false;
  if (HandleAllocated() && GetCursorPos(&cursor) && ScreenToClient(Handle(), &cursor))
    over = PointInRect({cursor.x, cursor.y}, hit);
  hover_ = over;
  const int frameIndex = expanded_ ? (over ? 2 : 1) : (over ? 4 : 3);
  TBitmap frame;
  PickBitmapFrame(buttons, frame, kFoldButtonFrames, frameIndex);
  const int x = Width() - frame.Width() - 4;
  const int y = (hit.Bottom - frame.Height()) / 2 + 2;
  canvas.DrawTransparent(Bounds(x, y, frame.Width(), frame.Height()), frame, kSkinKeyColor);
}

void TvelPanel::Paint(TCanvas& target) {
  const int width = Width();
  // The buffer holds the unfolded panel; only the part showing now reaches the screen.
  const int bufferHeight = std::max(fullHeight_, Height());
  if (width <= 0 || bufferHeight <= 0) return;
  TBitmap buffer(width, bufferHeight);
  {
    TBitmapCanvas canvas(buffer);
    canvas.Brush.Color = Color();
    canvas.Pen.Color = borderColor_;
    canvas.Rectangle(ClientRect());
    const int strip = title_.Height();
    canvas.StretchDraw({1, 0, width - 1, strip}, title_);
    canvas.Brush.Style = bsClear;
    canvas.Font.Assign(Font());
    canvas.Font.SetColor(captionFontColor_);
    TRect textRect;
    unsigned flags = DT_SINGLELINE | DT_VCENTER;
    if (biDiMode_ == bdRightToLeft && GetSystemMetrics(SM_MIDEASTENABLED)) {
      textRect = {1, 0, width - (FoldButtonShown() ? 21 : 11), strip};
      flags |= DT_RIGHT | DT_RTLREADING;
    } else {
      textRect = {10, 0, width - 1, strip};
      flags |= DT_LEFT;
    }
    canvas.DrawText(Caption(), textRect, flags);
    if (FoldButtonShown()) DrawFoldButton(canvas);
  }
  target.Draw(0, 0, buffer);
}

void TvelPanel::MouseMove(TShiftState shift, int x, int y) {
  TCustomControl::MouseMove(shift, x, y);
  // A lit button is redrawn on any move, not only within the strip: a pointer that jumps
  // from the button into the body must not leave the hover flag on for a click there.
  if (showButton_ && (y <= title_.Height() || hover_) && HandleAllocated()) {
    WindowDC dc(Handle());
    TCanvas canvas(dc.dc());
    DrawFoldButton(canvas);
  }
}

void TvelPanel::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomControl::MouseUp(button, shift, x, y);
  // A click during a fold animation would start a second fold inside the first.
  if (button != mbLeft || animating_) return;
  if (hover_) {
    std::weak_ptr<bool> alive = alive_;
    if (expanded_)
      Push();
    else
      Pop();
    if (alive.expired()) return;
  }
  Repaint();
}

bool TvelPanel::AnimationStep(int height) {
  std::weak_ptr<bool> alive = alive_;
  TControl::SetHeight(height);
  Repaint();
  Application->ProcessMessages();
  return !alive.expired();
}

void TvelPanel::Push() {
  if (AlignedToSide(Align())) throw Exception("Can't push when Align is alClient, alLeft or alRight.");
  const int target = title_.Height() != 0 ? title_.Height() : 20;
  animating_ = true;
  while (target < Height() - kFoldStep)
    if (!AnimationStep(Height() - kFoldStep)) return;
  TControl::SetHeight(target);
  Repaint();
  animating_ = false;
  expanded_ = false;
  Repaint();
  if (OnPush) OnPush(this);
}

void TvelPanel::Pop() {
  animating_ = true;
  while (Height() + kFoldStep < fullHeight_)
    if (!AnimationStep(Height() + kFoldStep)) return;
  TControl::SetHeight(fullHeight_);
  Repaint();
  animating_ = false;
  expanded_ = true;
  Repaint();
  if (OnPop) OnPop(this);
}

// ---------------------------------------------------------------- TvelPicture

void TvelPicture::Assign(TBitmap bitmap) {
  bitmap_ = std::move(bitmap);
  Changed();
}

void TvelPicture::SetTransparent(bool value) {
  if (transparent_ == value) return;
  transparent_ = value;
  Changed();
}

void TvelPicture::Draw(TCanvas& canvas, const TRect& dest) const {
  if (bitmap_.Empty()) return;
  if (transparent_) {
    canvas.DrawTransparent(dest, bitmap_, PixelToColor(bitmap_.GetPixel(0, bitmap_.Height() - 1)));
  } else if (dest.Width() == bitmap_.Width() && dest.Height() == bitmap_.Height()) {
    canvas.Draw(dest.Left, dest.Top, bitmap_);
  } else {
    canvas.StretchDraw(dest, bitmap_);
  }
}

// ---------------------------------------------------------------- TvelCustomPanel

TvelCustomPanel::TvelCustomPanel(TComponent* owner)
    : TCustomControl(owner), picture_(std::make_unique<TvelPicture>()) {
  picture_->OnChange = [this] { PictureChanged(); };
  Invalidate();
}

TvelCustomPanel::~TvelCustomPanel() { picture_->OnChange = nullptr; }

void TvelCustomPanel::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  if (!Parent() && parentWindow_) {
    params.style |= WS_CHILD;
    params.parentWindow = parentWindow_;
  }
}

void TvelCustomPanel::SetParentWindow(HWND window) {
  parentWindow_ = window;
  if (!Parent() && window) HandleNeeded();
}

void TvelCustomPanel::SetTransparent(bool value) {
  transparent_ = value;
  if (picture_->HasGraphic()) SyncPictureTransparency();
  Invalidate();
}

void TvelCustomPanel::SetPictureMode(TvelPictureMode mode) {
  pictureMode_ = mode;
  Invalidate();
}

void TvelCustomPanel::SetFitPicture(bool value) { fitPicture_ = value; }

void TvelCustomPanel::SetCaptionPos(int x, int y) {
  captionX_ = x;
  captionY_ = y;
  Invalidate();
}

void TvelCustomPanel::SetAlignment(TAlignment alignment) {
  alignment_ = alignment;
  Invalidate();
}

void TvelCustomPanel::FillBackground() {
  // Inside a parent control the paint fills the background; a foreign parent window does
  // not paint under the panel, so the panel fills its own client area there.
  if (Parent() || !parentWindow_ || !HandleAllocated()) return;
  WindowDC dc(Handle());
  TCanvas canvas(dc.dc());
  canvas.Brush.Color = Color();
  canvas.FillRect(ClientRect());
}

void TvelCustomPanel::CaptionAreaSet(const TRect&) {}

void TvelCustomPanel::PictureChanged() {
  if (picture_->HasGraphic()) {
    if (fitPicture_) FitToPicture();
    SyncPictureTransparency();
  }
  FillBackground();
  Invalidate();
}

void TvelCustomPanel::SyncPictureTransparency() {
  if (picture_->Transparent() != transparent_) picture_->SetTransparent(transparent_);
}

void TvelCustomPanel::FitToPicture() {
  const TAlign align = Align();
  if (align != alTop && align != alBottom && align != alClient) SetWidth(picture_->Width());
  if (align != alLeft && align != alRight && align != alClient) SetHeight(picture_->Height());
}

void TvelCustomPanel::TextChanged() {
  TCustomControl::TextChanged();
  CaptionAreaSet(captionArea_);
  Invalidate();
}

void TvelCustomPanel::Resize() {
  TCustomControl::Resize();
  Invalidate();
}

namespace {
bool IsBlank(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) <= ' '; });
}
}  // namespace

void TvelCustomPanel::Paint(TCanvas& target) {
  const int width = Width(), height = Height();
  if (width <= 0 || height <= 0) return;
  TBitmap buffer(width, height);
  {
    TBitmapCanvas canvas(buffer);
    const TRect client = ClientRect();
    if (transparent_) PaintParentBackground(canvas, this);
    if (picture_->HasGraphic()) {
      switch (pictureMode_) {
        case TvelPictureMode::Stretch:
          picture_->Draw(canvas, client);
          break;
        case TvelPictureMode::Tile: {
          GdiFlush();  // the tiles are written straight into the buffer's pixels
          const TBitmap& bmp = picture_->Bitmap();
          const uint32_t key = PixelToColor(bmp.GetPixel(0, bmp.Height() - 1));
          TileDrawPicture(buffer, bmp, client, picture_->Transparent() ? &key : nullptr);
          break;
        }
        default:
          picture_->Draw(canvas, Bounds(0, 0, picture_->Width(), picture_->Height()));
          break;
      }
    } else if (!transparent_) {
      canvas.Brush.Color = Color();
      canvas.FillRect(client);
    }
    canvas.Brush.Style = bsClear;
    const std::string text = Caption();
    if (!IsBlank(text)) {
      canvas.Font.Assign(Font());
      if (captionX_ != -1 && captionY_ != -1) {
        canvas.TextOut(captionX_, captionY_, text);
        const TPoint size = canvas.TextExtent(text);
        captionArea_ = {captionX_, captionY_, captionX_ + size.X, captionY_ + size.Y};
      } else {
        TRect r = client;
        const unsigned align = alignment_ == taRightJustify ? DT_RIGHT : alignment_ == taCenter ? DT_CENTER : DT_LEFT;
        canvas.DrawText(text, r, DT_SINGLELINE | DT_VCENTER | align);
        captionArea_ = client;
      }
    }
  }
  target.Draw(0, 0, buffer);
}

// ---------------------------------------------------------------- stored layouts

void RegisterImagePanelClasses() {
  static bool done = false;
  if (done) return;
  RegisterFrameworkClasses();
  using V = TLayoutValue;
  using R = TReader;
  // In streaming order; the rest (Font, Caption, Align, TabStop, TabOrder, Color, Visible and
  // the framework's events) come from the framework's control classes.
  auto& panel = RegisterComponentClass<TvelPanel>("TvelPanel", "TCustomControl");
  panel.Prop<TvelPanel>("FileTheme", [](TvelPanel& p, const V& v, R& r) {
    r.ComponentRef(v, [&p](TComponent* target) { p.SetFileTheme(dynamic_cast<TvelFileTheme*>(target)); });
  });
  panel.Prop<TvelPanel>("UIStyle", [](TvelPanel& p, const V& v, R&) { p.SetUIStyle(ReadUIStyleValue(v)); });
  panel.Prop<TvelPanel>("BorderColor", [](TvelPanel& p, const V& v, R&) { p.SetBorderColor(R::Color(v)); });
  panel.Prop<TvelPanel>("ShowButton", [](TvelPanel& p, const V& v, R&) { p.SetShowButton(R::Bool(v)); });
  panel.Prop<TvelPanel>("Height", [](TvelPanel& p, const V& v, R&) { p.SetHeight(R::IntRange(v, 0, 32767)); });
  panel.Prop<TvelPanel>("CaptionFontColor", [](TvelPanel& p, const V& v, R&) { p.SetCaptionFontColor(R::Color(v)); });
  panel.Prop<TvelPanel>("BiDiMode", [](TvelPanel& p, const V& v, R&) {
    p.SetBiDiMode(R::Enum<TBiDiMode>(v, {{"bdLeftToRight", bdLeftToRight},
                                         {"bdRightToLeft", bdRightToLeft},
                                         {"bdRightToLeftNoAlign", bdRightToLeftNoAlign},
                                         {"bdRightToLeftReadingOnly", bdRightToLeftReadingOnly}}));
  });
  panel.Prop<TvelPanel>("OnPush", [](TvelPanel& p, const V& v, R& r) { p.OnPush = r.Method<TNotifyEvent>(v); });
  panel.Prop<TvelPanel>("OnPop", [](TvelPanel& p, const V& v, R& r) { p.OnPop = r.Method<TNotifyEvent>(v); });
  // The picture panel publishes nothing of its own; the group boxes built on it do.
  RegisterComponentClass<TvelCustomPanel>("TvelCustomPanel", "TCustomControl");
  done = true;
}

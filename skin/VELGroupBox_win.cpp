// The themed group box on Win32: style colours, the frame line and caption, aligned children
// below the caption, and the stored properties.
#include "skin/VELGroupBox.h"

#include <cstdlib>
#include <mutex>

#include "framework/Streaming.h"
#include "skin/VELCheckBox.h"
#include "skin/VELCheckCore.h"
#include "skin/VELControlThemes.h"
#include "skin/VELMgr.h"

namespace {
constexpr TColor kDisabledCaption = 0x808080;
// Item numbers of a file theme and of the built-in table that the group box reads.
constexpr int kFileThemeBorderColor = 22, kFileThemeFontColor = 23;
constexpr int kThemeBorderColor = 25, kThemeFontColor = 27;

// A file theme answers -1 for a colour its skin lacks; the DeepBlue colour stands in for it.
TColor FileThemeColorOr(const TvelFileTheme& theme, int index, int builtinItem) {
  const int32_t color = theme.GetColor(index);
  return color == -1 ? GetThemeColor(TvelUIStyle::DeepBlue, builtinItem) : static_cast<TColor>(color);
}
}  // namespace

TvelCustomGroupBox::TvelCustomGroupBox(TComponent* owner) : TvelCustomPanel(owner) {
  TControl::SetText(" ");
  SetBounds(Left(), Top(), 185, 105);
  SetParentColor(true);
  SetTransparent(false);
  SetUIStyle(DefaultStyleFor(owner));
}

TvelCustomGroupBox::~TvelCustomGroupBox() {
  if (fileTheme_) RemoveFreeNotification(fileTheme_);
}

void TvelCustomGroupBox::SetBorderColor(TColor color) {
  borderColor_ = color;
  Invalidate();
}

void TvelCustomGroupBox::SetCaption(const std::string& caption) {
  caption_ = caption;
  Invalidate();
}

void TvelCustomGroupBox::SetBiDiMode(TBiDiMode mode) {
  biDiMode_ = mode;
  Invalidate();
}

bool TvelCustomGroupBox::RightToLeft() const {
  return biDiMode_ == bdRightToLeft && GetSystemMetrics(SM_MIDEASTENABLED);
}

void TvelCustomGroupBox::SetUIStyle(TvelUIStyle style) {
  uiStyle_ = style;
  ApplyStyle(style, fileTheme_);
}

void TvelCustomGroupBox::SetFileTheme(TvelFileTheme* theme) {
  LinkFileTheme(*this, fileTheme_, theme);
  SetUIStyle(uiStyle_);
}

void TvelCustomGroupBox::ApplyStyle(TvelUIStyle style, TvelFileTheme* fileTheme) {
  ApplyThemeToChildren(this, style, fileTheme);
  TvelUIStyle effective = style;
  if (UseFileTheme(fileTheme && fileTheme->Ready(), style, effective)) {
    SetBorderColor(FileThemeColorOr(*fileTheme, kFileThemeBorderColor, kThemeBorderColor));
    Font().SetColor(FileThemeColorOr(*fileTheme, kFileThemeFontColor, kThemeFontColor));
  } else {
    SetBorderColor(GetThemeColor(effective, kThemeBorderColor));
    Font().SetColor(GetThemeColor(effective, kThemeFontColor));
  }
}

void TvelCustomGroupBox::Notification(TComponent* component, TOperation operation) {
  TvelCustomPanel::Notification(component, operation);
  if (!FileThemeRemoved(fileTheme_, component, operation)) return;
  ApplyThemeToChildren(this, TvelUIStyle::DeepBlue, nullptr);
  SetUIStyle(TvelUIStyle::DeepBlue);
}

int TvelCustomGroupBox::FontHeight() const { return std::abs(Font().Height()); }

void TvelCustomGroupBox::AlignControls(TRect& rect) {
  rect = GroupBoxAlignRect(rect, FontHeight());
  TvelCustomPanel::AlignControls(rect);
}

void TvelCustomGroupBox::FontChanged() {
  TvelCustomPanel::FontChanged();
  Realign();
  Invalidate();
}

void TvelCustomGroupBox::TextChanged() { Invalidate(); }

void TvelCustomGroupBox::Paint(TCanvas& canvas) {
  if (Transparent()) {
    TvelCustomPanel::Paint(canvas);
  } else {
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = Color();
    canvas.FillRect(ClientRect());
  }
  canvas.Font.Assign(Font());
  const int captionWidth = caption_.empty() ? 0 : canvas.TextWidth(caption_);
  const TvelGroupFrame frame = GroupBoxFrame(ClientRect(), Width(), FontHeight(), captionWidth, caption_.empty(),
                                             RightToLeft());
  canvas.Pen.Color = borderColor_;
  canvas.Pen.Style = psSolid;
  canvas.Pen.Width = 1;
  canvas.MoveTo(frame.Line.front().X, frame.Line.front().Y);
  for (size_t i = 1; i < frame.Line.size(); ++i) canvas.LineTo(frame.Line[i].X, frame.Line[i].Y);
  if (!Enabled()) canvas.Font.SetColor(kDisabledCaption);
  canvas.Brush.Style = bsClear;
  canvas.TextOut(frame.Caption.X, frame.Caption.Y, caption_);
}

// ---------------------------------------------------------------- stored properties

namespace {
using R = TReader;
using V = TLayoutValue;
}  // namespace

void RegisterVelGroupBoxClasses() {
  RegisterImagePanelClasses();
  RegisterVelCheckBoxClasses();
  static std::once_flag once;
  std::call_once(once, [] {
    auto& g = RegisterComponentClass<TvelCustomGroupBox>("TvelCustomGroupBox", "TvelCustomPanel");
    g.Prop<TvelCustomGroupBox>("FileTheme", [](TvelCustomGroupBox& t, const V& v, R& r) {
      r.ComponentRef(v, [&t](TComponent* target) { t.SetFileTheme(dynamic_cast<TvelFileTheme*>(target)); });
    });
    g.Prop<TvelCustomGroupBox>("UIStyle", [](TvelCustomGroupBox& t, const V& v, R&) { t.SetUIStyle(ReadUIStyleValue(v)); });
    g.Prop<TvelCustomGroupBox>("BiDiMode", [](TvelCustomGroupBox& t, const V& v, R&) {
      t.SetBiDiMode(R::Enum<TBiDiMode>(v, {{"bdLeftToRight", bdLeftToRight},
                                           {"bdRightToLeft", bdRightToLeft},
                                           {"bdRightToLeftNoAlign", bdRightToLeftNoAlign},
                                           {"bdRightToLeftReadingOnly", bdRightToLeftReadingOnly}}));
    });
    g.Prop<TvelCustomGroupBox>("Caption", [](TvelCustomGroupBox& t, const V& v, R&) { t.SetCaption(R::String(v)); });
    g.Prop<TvelCustomGroupBox>("Transparent", [](TvelCustomGroupBox& t, const V& v, R&) { t.SetTransparent(R::Bool(v)); });
  });
}

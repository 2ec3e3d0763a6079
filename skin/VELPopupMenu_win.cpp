// Themed menus on Win32: the shared style setter, measuring and the double-buffered drawing
// of an item from its portable layout; the popup menu class and the menus' stored properties.
#include "skin/VELPopupMenu.h"

#include <algorithm>

#include "framework/Streaming.h"
#include "skin/VELCheckBox.h"
#include "skin/VELControlThemes.h"
#include "skin/VELMainMenu.h"
#include "skin/VELPublic.h"

// ---------------------------------------------------------------- TvelMenuSkin

void TvelMenuSkin::SetUIStyle(TvelUIStyle style) {
  uiStyle_ = style;
  ApplyMenuStyle(look_, style, fileTheme_ && fileTheme_->Ready(),
                 [this](int index) { return fileTheme_->GetColor(index); });
  // Owner-drawn items are measured when the menu is built: a shown menu bar is built again.
  if (!menu_.Loading()) menu_.MenuChanged(nullptr);
}

void TvelMenuSkin::SetFileTheme(TvelFileTheme* theme) {
  if (theme != fileTheme_) {
    if (fileTheme_) menu_.RemoveFreeNotification(fileTheme_);
    fileTheme_ = theme;
    if (theme) menu_.FreeNotification(theme);
  }
  SetUIStyle(uiStyle_);
}

void TvelMenuSkin::ThemeRemoved(TComponent* component) {
  if (!fileTheme_ || component != fileTheme_) return;
  fileTheme_ = nullptr;
  SetUIStyle(TvelUIStyle::DeepBlue);
}

void TvelMenuSkin::SetMenuItemHeight(int v) {
  if (uiStyle_ != TvelUIStyle::MacOS) look_.MenuItemHeight = v;
}

void TvelMenuSkin::SetSeparatorHeight(int v) {
  if (uiStyle_ != TvelUIStyle::MacOS) look_.SeparatorHeight = v;
}

void TvelMenuSkin::UseFont(TCanvas& canvas, bool bold) const {
  if (look_.UseSystemFont) {
    canvas.Font = MenuFont();
  } else {
    TFont font;
    font.SetName(look_.FontName);
    font.SetSize(look_.FontSize);
    font.SetCharset(look_.FontCharset);
    canvas.Font = font;
  }
  canvas.Font.SetStyle(bold ? canvas.Font.Style() | fsBold : canvas.Font.Style());
}

void TvelMenuSkin::MeasureSkinItem(TMenuItem& item, TCanvas& canvas, int& width, int& height) const {
  UseFont(canvas, item.Default());
  TRect text{0, 0, 0, 0};
  canvas.DrawText(item.Caption(), text, DT_CALCRECT | DT_SINGLELINE);
  const std::string shortcut = item.ShortCutText();
  const int shortcutWidth = shortcut.empty() ? 0 : canvas.TextWidth(shortcut);
  const TPoint size = MeasureMenuItem(look_, item.Caption(), text.Width(), text.Height(), shortcutWidth);
  width = size.X;
  height = size.Y;
}

void DrawMenuCheckMark(TBitmap& target, int x, int y, bool greyed) {
  TBitmap mark;
  LoadSkinBitmap("MENU_CHECKED", mark);
  const uint32_t white = 0xFFFFFF;
  if (greyed)
    for (int row = 0; row < mark.Height(); ++row)
      for (int col = 0; col < mark.Width(); ++col)
        if (mark.GetPixel(col, row) != white) mark.SetPixel(col, row, 0x808080);
  StretchCopy(target, Bounds(x, y, mark.Width(), mark.Height()), mark, {0, 0, mark.Width(), mark.Height()}, &white);
}

namespace {
// Draws flat over the dropped-down menu window's frame, on the desktop's device context.
void DrawFlatMenuFrame(HWND window, COLORREF outer, COLORREF edge) {
  RECT w;
  GetWindowRect(window, &w);
  WindowDC dc(nullptr);
  TCanvas c(dc.dc());
  c.Brush.Style = bsSolid;
  c.Brush.Color = outer;
  c.FrameRect({w.left, w.top + 1, w.right - 1, w.bottom - 1});
  c.Brush.Color = clWhite;
  c.FrameRect({w.left + 1, w.top + 2, w.right - 2, w.bottom - 2});
  c.Pen.Color = edge;
  c.MoveTo(w.left, w.bottom - 1);
  c.LineTo(w.right - 1, w.bottom - 1);
  c.LineTo(w.right - 1, w.top);
  c.LineTo(w.left, w.top);
}
}  // namespace

void TvelMenuSkin::DrawSkinItem(TMenuItem& item, TCanvas& canvas, const TRect& rect, bool selected) const {
  if (rect.Empty()) return;
  TvelUIStyle style;
  const bool fromFile = UseFileTheme(fileTheme_ && fileTheme_->Ready(), uiStyle_, style);
  if (look_.FlatMenu)
    if (HWND window = WindowFromDC(canvas.Handle()))
      DrawFlatMenuFrame(window, clBlack,
                        ResolveSystemColor(FlatMenuFrameColor(uiStyle_, fromFile,
                                                              [this](int i) { return fileTheme_->GetColor(i); })));

  TvelMenuItemState state;
  state.Caption = item.Caption();
  state.Selected = selected;
  state.Enabled = item.Enabled();
  state.Checked = item.Checked();
  state.Default = item.Default();
  state.ImageIndex = item.ImageIndex();
  state.ImageCount = ImageCount();
  state.RightToLeft = RightToLeft;
  const std::string shortcut = item.ShortCutText();
  // Measured with the font the text is drawn in.
  UseFont(canvas, item.Default());
  state.ShortcutWidth = shortcut.empty() ? 0 : canvas.TextWidth(shortcut);

  const TRect r{0, 0, rect.Width(), rect.Height()};
  const TvelMenuItemLayout l = LayoutMenuItem(look_, uiStyle_, state, r);
  TBitmap buffer(r.Right, r.Bottom);
  if (l.Bitmap) {
    TBitmap picture;
    LoadSkinBitmap(l.Bitmap, picture);
    StretchCopy(buffer, r, picture, {0, 0, picture.Width(), std::min(l.BitmapRows, picture.Height())}, nullptr);
  }
  if (!l.Bar.Empty()) {
    if (l.BarGradient)
      DrawHorizontalGradient(buffer, l.Bar, ResolveSystemColor(l.BarColor), ResolveSystemColor(l.BarToColor));
    else
      FillRectColor(buffer, l.Bar, ResolveSystemColor(l.BarColor));
  }
  if (!l.Fill.Empty()) FillRectColor(buffer, l.Fill, ResolveSystemColor(l.FillColor));
  if (l.CheckFrame) {
    FillRectColor(buffer, l.CheckFrameRect, clBlack);
    FillRectColor(buffer, l.CheckFrameRect.Inflate(-1, -1), ResolveSystemColor(l.CheckFillColor));
  }
  if (l.CheckMark) DrawMenuCheckMark(buffer, l.CheckMarkAt.X, l.CheckMarkAt.Y, l.Greyed);
  if (l.Image) DrawImage(buffer, item.ImageIndex(), l.ImageAt.X, l.ImageAt.Y, l.Greyed);
  {
    TBitmapCanvas c(buffer);
    if (l.Framed) {
      c.Brush.Color = ResolveSystemColor(l.FrameColor);
      c.FrameRect(r);
    }
    if (l.Line) {
      c.Pen.Color = ResolveSystemColor(l.LineColor);
      c.MoveTo(l.LineFrom.X, l.LineFrom.Y);
      c.LineTo(l.LineTo.X, l.LineTo.Y);
    } else if (!IsMenuSeparator(item.Caption())) {
      UseFont(c, l.Bold);
      c.Font.SetColor(ResolveSystemColor(l.TextColor));
      c.Brush.Style = bsClear;
      TRect caption = l.CaptionRect;
      c.DrawText(item.Caption(), caption,
                 DT_SINGLELINE | DT_VCENTER | (l.CaptionRight ? DT_RIGHT | DT_RTLREADING : DT_LEFT));
      if (!shortcut.empty()) {
        TRect at{l.ShortcutX, r.Top, r.Right, r.Bottom};
        c.DrawText(shortcut, at, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
      }
    }
  }
  canvas.Draw(rect.Left, rect.Top, buffer);
}

// ---------------------------------------------------------------- TvelPopupMenu

TvelPopupMenu::TvelPopupMenu(TComponent* owner) : TPopupMenu(owner), TvelMenuSkin(static_cast<TMenu&>(*this)) {
  SetUIStyle(DefaultStyleFor(owner));
}

TvelPopupMenu::~TvelPopupMenu() {
  if (FileTheme()) RemoveFreeNotification(FileTheme());
}

void TvelPopupMenu::MeasureItem(TMenuItem& item, TCanvas& canvas, int& width, int& height) {
  if (item.OnMeasureItem) return TPopupMenu::MeasureItem(item, canvas, width, height);
  MeasureSkinItem(item, canvas, width, height);
}

void TvelPopupMenu::DrawItem(TMenuItem& item, TCanvas& canvas, const TRect& rect, bool selected) {
  if (item.OnDrawItem) return TPopupMenu::DrawItem(item, canvas, rect, selected);
  DrawSkinItem(item, canvas, rect, selected);
}

void TvelPopupMenu::Notification(TComponent* component, TOperation operation) {
  TPopupMenu::Notification(component, operation);
  if (operation == opRemove) ThemeRemoved(component);
}

// ---------------------------------------------------------------- stored layouts

namespace {
using R = TReader;
using V = TLayoutValue;

template <class T>
void RegisterLook(TComponentClass& c) {
  c.template Prop<T>("FileTheme", [](T& t, const V& v, R& r) {
    r.ComponentRef(v, [&t](TComponent* target) { t.SetFileTheme(dynamic_cast<TvelFileTheme*>(target)); });
  });
  c.template Prop<T>("UIStyle", [](T& t, const V& v, R&) { t.SetUIStyle(ReadUIStyleValue(v)); });
  auto integer = [&c](const char* name, void (TvelMenuSkin::*set)(int)) {
    c.template Prop<T>(name, [set](T& t, const V& v, R&) { (t.*set)(R::IntRange(v, -32768, 32767)); });
  };
  auto color = [&c](const char* name, void (TvelMenuSkin::*set)(TColor)) {
    c.template Prop<T>(name, [set](T& t, const V& v, R&) { (t.*set)(R::Color(v)); });
  };
  integer("MenuItemHeight", &TvelMenuSkin::SetMenuItemHeight);
  integer("SeparatorHeight", &TvelMenuSkin::SetSeparatorHeight);
  integer("BarWidth", &TvelMenuSkin::SetBarWidth);
  color("BarColor", &TvelMenuSkin::SetBarColor);
  color("BarToColor", &TvelMenuSkin::SetBarToColor);
  color("Color", &TvelMenuSkin::SetColor);
  color("SeparatorColor", &TvelMenuSkin::SetSeparatorColor);
  color("SelectedBorderColor", &TvelMenuSkin::SetSelectedBorderColor);
  color("SelectedColor", &TvelMenuSkin::SetSelectedColor);
  color("SelectedFontColor", &TvelMenuSkin::SetSelectedFontColor);
  color("FontColor", &TvelMenuSkin::SetFontColor);
  color("BorderColor", &TvelMenuSkin::SetBorderColor);
  c.template Prop<T>("FlatMenu", [](T& t, const V& v, R&) { t.SetFlatMenu(R::Bool(v)); });
  c.template Prop<T>("FontName", [](T& t, const V& v, R&) { t.SetFontName(R::String(v)); });
  integer("FontSize", &TvelMenuSkin::SetFontSize);
  c.template Prop<T>("FontCharset", [](T& t, const V& v, R&) {
    t.SetFontCharset(v.kind == V::Ident
                         ? R::Enum<int>(v, {{"DEFAULT_CHARSET", 1}, {"ANSI_CHARSET", 0}, {"GB2312_CHARSET", 134}})
                         : R::IntRange(v, 0, 255));
  });
  c.template Prop<T>("UseSystemFont", [](T& t, const V& v, R&) { t.SetUseSystemFont(R::Bool(v)); });
}
}  // namespace

void RegisterVelMenuClasses() {
  RegisterFrameworkClasses();
  RegisterVelFileThemeClass();
  RegisterLook<TvelPopupMenu>(RegisterComponentClass<TvelPopupMenu>("TvelPopupMenu", "TPopupMenu"));
  auto& main = RegisterComponentClass<TvelMainMenu>("TvelMainMenu", "TMainMenu");
  main.Property("Images", [](TComponent&, const V&, R&) {});  // the framework has no image lists
  RegisterLook<TvelMainMenu>(main);
}

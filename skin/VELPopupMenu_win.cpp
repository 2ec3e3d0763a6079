// Themed menus on Win32: the shared style setter, measuring and the double-buffered drawing
// of an item from its portable layout; the popup menu class and the menus' stored properties.
#include "skin/VELPopupMenu.h"

#include <algorithm>
#include <memory>

#include "framework/Streaming.h"
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
  LinkFileTheme(menu_, fileTheme_, theme);
  SetUIStyle(uiStyle_);
}

void TvelMenuSkin::ThemeRemoved(TComponent* component) {
  if (FileThemeRemoved(fileTheme_, component, opRemove)) SetUIStyle(TvelUIStyle::DeepBlue);
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

void LoadMenuCheckMark(TImageList& list) {
  if (list.Count() > 0) return;
  TBitmap mark;
  LoadSkinBitmap("MENU_CHECKED", mark);
  list.AddMasked(mark, clWhite);
}

namespace {
// Made when the unit starts; the bitmap is read on first use, as the skin's bitmap source
// may be set up later.
std::unique_ptr<TImageList> popupCheckMarks(new TImageList(nullptr));
}  // namespace

TImageList& PopupCheckMarkImages() {
  LoadMenuCheckMark(*popupCheckMarks);
  return *popupCheckMarks;
}

const TImageList* TvelMenuSkin::CheckMarkImages() const { return &PopupCheckMarkImages(); }

namespace {
// The window when it is a dropped-down menu's (class #32768), else null.
HWND IsMenuWindow(HWND window) {
  wchar_t name[8] = {};
  return window && GetClassNameW(window, name, 8) && lstrcmpW(name, L"#32768") == 0 ? window : nullptr;
}
}  // namespace

void DrawFlatMenuFrame(HWND window, TColor outer, TColor edge) {
  RECT w;
  if (!GetWindowRect(window, &w)) return;
  const TvelFlatMenuFrame f = FlatMenuFrameGeometry({w.left, w.top, w.right, w.bottom});
  // The window's own DC with its origin at the screen's: the same pixels as the desktop's DC
  // gives on Windows, where Wine shows desktop drawing over a window only until the window's
  // next update, which the menu makes right after drawing its items.
  HDC dc = GetWindowDC(window);
  if (!dc) return;
  SetWindowOrgEx(dc, w.left, w.top, nullptr);
  {
    TCanvas c(dc);
    c.Brush.Style = bsSolid;
    c.Brush.Color = outer;
    c.FrameRect(f.Outer);
    c.Brush.Color = clWhite;
    c.FrameRect(f.Inner);
    c.Brush.Color = edge;
    for (const TRect& r : f.Edges) c.FillRect(r);
  }
  ReleaseDC(window, dc);
}

void TvelMenuSkin::DrawSkinItem(TMenuItem& item, TCanvas& canvas, const TRect& rect, bool selected) const {
  if (rect.Empty()) return;
  TvelUIStyle style;
  const bool fromFile = UseFileTheme(fileTheme_ && fileTheme_->Ready(), uiStyle_, style);
  // Only a dropped-down menu's own window: a main menu's bar items draw on the form.
  if (look_.FlatMenu)
    if (HWND window = IsMenuWindow(WindowFromDC(canvas.Handle())))
      DrawFlatMenuFrame(window, clBlack,
                        ResolveSystemColor(FlatMenuFrameColor(uiStyle_, fromFile,
                                                              [this](int i) { return fileTheme_->GetColor(i); })));

  TvelMenuItemState state;
  state.Caption = item.Caption();
  state.Selected = selected;
  state.Enabled = item.Enabled();
  state.Checked = item.Checked();
  state.Default = item.Default();
  state.Radio = item.RadioItem();
  state.ImageIndex = item.ImageIndex();
  const TImageList* checks = CheckMarkImages();
  const TImageList* images = ItemImages();
  state.ImageCount = images ? images->Count() : 0;
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
  if (l.CheckMark && checks) checks->DrawTo(buffer, l.CheckMarkAt.X, l.CheckMarkAt.Y, 0, !l.Greyed);
  if (l.RadioMark)
    DrawMenuRadioMark(buffer, l.CheckMarkAt.X, l.CheckMarkAt.Y, ColorToPixel(ResolveSystemColor(l.TextColor)));
  if (l.Image && images) images->DrawTo(buffer, l.ImageAt.X, l.ImageAt.Y, item.ImageIndex(), !l.Greyed);
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
  main.Prop<TvelMainMenu>("Images", [](TvelMainMenu& t, const V& v, R& r) {
    r.ComponentRef(v, [&t](TComponent* target) { t.SetImages(dynamic_cast<TImageList*>(target)); });
  });
  RegisterLook<TvelMainMenu>(main);
}

// The themed form frame on Win32: the host form's window procedure is hooked to answer the
// non-client messages; geometry comes from VELFormCore.
#include "skin/VELForm.h"

#include <algorithm>
#include <mutex>

#include "framework/Application.h"
#include "framework/Dialogs.h"
#include "framework/Text.h"
#include "skin/VELControlThemes.h"
#include "skin/VELMainMenu.h"
#include "skin/VELMessages.h"
#include "skin/VELPublic.h"

namespace {

const char* const kOwnFormPanelText = "Sorry, you can't select the Form assign to FormPanel property";

// The item of menu whose shortcut is key with shift, searched depth first; null when none.
TMenuItem* FindShortCut(TMenuItem* parent, TShortCut shortCut) {
  for (int i = 0; i < parent->Count(); ++i) {
    TMenuItem* item = parent->Items(i);
    if (item->Visible() && item->ShortCut() == shortCut) return item;
    if (TMenuItem* found = FindShortCut(item, shortCut)) return found;
  }
  return nullptr;
}

bool MenuTakesKey(TMenu* menu, int key) {
  if (!menu || key <= 0 || key > 0xFF) return false;
  TShiftState shift = KeyboardShiftState();
  TShortCut shortCut = key | (shift & ssShift ? scShift : 0) | (shift & ssCtrl ? scCtrl : 0) | (shift & ssAlt ? scAlt : 0);
  TMenuItem* item = FindShortCut(menu->Items(), shortCut);
  if (!item || !item->Enabled()) return false;
  item->Click();
  return true;
}

// Draws a piece of bitmap (stretched from src) into dest on dc, clipped to clip when given.
// Draws src of bitmap stretched over dest, within clip when it is not empty. With a key, the
// pixels of that colour are left out and show under instead (the title pictures' key-coloured
// corners, which the window's shape does not always cut away).
void DrawBitmapPiece(HDC dc, const TBitmap& bitmap, const TRect& dest, const TRect& src, const TRect& clip,
                     const TColor* key = nullptr, TColor under = clBlack) {
  if (bitmap.Empty()) return;
  TRect s = IntersectRect(src, {0, 0, bitmap.Width(), bitmap.Height()});
  if (s.Empty()) return;
  UniqueMemoryDc mem(CreateCompatibleDC(dc));
  ScopedSelect select(mem.get(), static_cast<HBITMAP>(bitmap.Handle()));
  int saved = SaveDC(dc);
  if (!clip.Empty()) IntersectClipRect(dc, clip.Left, clip.Top, clip.Right, clip.Bottom);
  if (key) {
    UniqueBrush brush(CreateSolidBrush(ColorToRGB(under)));
    RECT rc{dest.Left, dest.Top, dest.Right, dest.Bottom};
    FillRect(dc, &rc, brush.get());
    TransparentBlt(dc, dest.Left, dest.Top, dest.Width(), dest.Height(), mem.get(), s.Left, s.Top, s.Width(),
                   s.Height(), ColorToRGB(*key));
  } else {
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, dest.Left, dest.Top, dest.Width(), dest.Height(), mem.get(), s.Left, s.Top, s.Width(), s.Height(),
               SRCCOPY);
  }
  RestoreDC(dc, saved);
}

void FillSolid(HDC dc, const TRect& r, TColor color) {
  UniqueBrush brush(CreateSolidBrush(ColorToRGB(color)));
  RECT rc{r.Left, r.Top, r.Right, r.Bottom};
  FillRect(dc, &rc, brush.get());
}

void FillGradient(HDC dc, const TRect& r, TColor from, TColor to) {
  TBitmap strip(r.Width(), r.Height());
  DrawVerticalGradient(strip, {0, 0, r.Width(), r.Height()}, from, to);
  DrawBitmapPiece(dc, strip, r, {0, 0, r.Width(), r.Height()}, {});
}

void FillRegionFromRects(HWND window, const std::vector<TRect>& rects) {
  std::vector<char> data(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
  auto* header = reinterpret_cast<RGNDATAHEADER*>(data.data());
  header->dwSize = sizeof(RGNDATAHEADER);
  header->iType = RDH_RECTANGLES;
  header->nCount = static_cast<DWORD>(rects.size());
  header->nRgnSize = static_cast<DWORD>(rects.size() * sizeof(RECT));
  RECT bound{0, 0, 0, 0};
  auto* out = reinterpret_cast<RECT*>(data.data() + sizeof(RGNDATAHEADER));
  for (size_t i = 0; i < rects.size(); ++i) {
    out[i] = {rects[i].Left, rects[i].Top, rects[i].Right, rects[i].Bottom};
    UnionRect(&bound, &bound, &out[i]);
  }
  header->rcBound = bound;
  HRGN region = ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), reinterpret_cast<RGNDATA*>(data.data()));
  if (!region) region = CreateRectRgn(0, 0, 0, 0);
  // The window owns the region from here on.
  SetWindowRgn(window, region, TRUE);
}

}  // namespace

std::function<void(const std::string&)> TvelForm::OnRuleError = ShowErrorText;
bool TvelForm::DesignAdviceOff = false;

// ---------------------------------------------------------------- TvelMenuBar

TvelMenuBar::TvelMenuBar(TComponent* owner) : TToolBar(owner) {
  SetFlat(true);
  SetWrapable(true);
  SetAutoSize(true);
}

TvelForm* TvelMenuBar::Frame() const { return dynamic_cast<TvelForm*>(Owner()); }

void TvelMenuBar::Paint(TCanvas& canvas) {
  if (TvelForm* frame = Frame())
    frame->DrawMenuBarBackground(canvas, {0, 0, Width(), Height()});
  else
    TToolBar::Paint(canvas);
}

// ---------------------------------------------------------------- TvelForm

TvelForm::TvelForm(TComponent* owner) : TvelCustomPanel(owner) {
  auto* form = dynamic_cast<TForm*>(owner);
  if (!form) return;
  for (int i = 0; i < form->ComponentCount(); ++i) {
    auto* other = dynamic_cast<TvelForm*>(form->Components(i));
    if (other && other != this && other->Active()) return;  // a second frame stays inert
  }
  host_ = form;
  // 1. The host's frame thicknesses.
  HWND h = form->Handle();
  RECT window, client;
  GetWindowRect(h, &window);
  GetClientRect(h, &client);
  MapWindowPoints(h, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
  metrics_.BottomThickness = ClampFrameThickness(window.bottom - client.bottom);
  metrics_.LeftThickness = ClampFrameThickness(client.left - window.left);
  // 2. The frame itself.
  hostBounds_ = form->BoundsRect();
  hostMaximized_ = IsZoomed(h) != FALSE;
  titleBar_ = new TvelTitleBar(this);
  titleBar_->SetParent(this);
  menuBarColor_ = menuBarToColor_ = Color();
  menuBarHeight_ = 22;
  autoUpdateSub_ = false;
  SetAlign(alClient);
  titleBar_->SetCaption(form->Caption());
  titleBarVisible_ = true;
  SetText(" ");
  SetParent(form);
  // 3. The host loses its system caption; frames without a sizing or dialog border get one.
  hostBorderStyle_ = form->BorderStyle();
  if (hostBorderStyle_ == bsNone || hostBorderStyle_ == bsSingle || hostBorderStyle_ == bsToolWindow)
    form->SetBorderStyle(bsDialog);
  RemoveCaption();
  // 4. The host's messages pass through the frame first.
  savedProc_ = form->WindowProc();
  form->SetWindowProc([this](UINT msg, WPARAM wParam, LPARAM lParam) { return HookedWndProc(msg, wParam, lParam); });
  hooked_ = true;
  Application->AddMessageHook(this, [this](MSG& msg) {
    if (!host_ || !hooked_) return false;
    HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (root != host_->Handle()) return false;
    if (msg.message == WM_SYSCHAR && msg.wParam == ' ') {
      PopupControlBoxMenu();
      return true;
    }
    if (msg.message == WM_KEYDOWN && menu_ && MenuTakesKey(menu_, static_cast<int>(msg.wParam))) return true;
    return false;
  });
  SetUIStyle(TvelUIStyle::DeepBlue);
  host_->RecalcFrame();
}

TvelForm::~TvelForm() { ReleaseHost(); }

void TvelForm::BeforeDestruction() {
  ReleaseHost();
  TvelCustomPanel::BeforeDestruction();
}

void TvelForm::ReleaseHost() {
  if (!host_) return;
  Application->RemoveMessageHook(this);
  if (auto* themed = dynamic_cast<TvelMainMenu*>(menu_)) themed->SetFormFrame(nullptr);
  if (fileTheme_) RemoveFreeNotification(fileTheme_);
  if (menu_) RemoveFreeNotification(menu_);
  if (formPanel_) RemoveFreeNotification(formPanel_);
  TForm* form = std::exchange(host_, nullptr);
  if (!hooked_) return;
  hooked_ = false;
  form->SetWindowProc(savedProc_);
  if (form->HandleAllocated() && !form->Destroying()) {
    HWND h = form->Handle();
    SetWindowLongPtrW(h, GWL_STYLE, GetWindowLongPtrW(h, GWL_STYLE) | WS_CAPTION);
    SetWindowRgn(h, nullptr, TRUE);
    form->RecalcFrame();
  }
}

void TvelForm::RemoveCaption() {
  if (!host_ || !host_->HandleAllocated()) return;
  HWND h = host_->Handle();
  LONG_PTR style = GetWindowLongPtrW(h, GWL_STYLE);
  if ((style & WS_CAPTION) == 0) return;
  SetWindowLongPtrW(h, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_CAPTION));
  host_->RecalcFrame();
}

LRESULT TvelForm::HookedWndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!hooked_ || !host_ || Destroying()) return savedProc_(msg, wParam, lParam);
  HWND h = host_->Handle();
  switch (msg) {
    case WM_NCCALCSIZE: {
      if (!wParam) {
        savedProc_(msg, wParam, lParam);
        return 0;
      }
      auto* p = reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam);
      RECT w = p->rgrc[0];
      TRect r = FrameClientRequest(metrics_, w.left, w.top, w.right - w.left, w.bottom - w.top);
      p->rgrc[0] = {r.Left, r.Top, r.Right, r.Bottom};
      p->rgrc[1] = p->rgrc[0];
      savedProc_(msg, wParam, lParam);
      return WVR_VALIDRECTS;
    }
    case WM_FRAMEBORDERQUERY:
      return FrameBorderAnswer(metrics_);
    case WM_SYSCOMMAND:
      // Keyboard menu activation: the space opens the control-box menu, a letter the menu
      // bar's item with that accelerator (the host has no system menu bar).
      if ((wParam & 0xFFF0) == SC_KEYMENU && lParam) {
        if (lParam == ' ') {
          PopupControlBoxMenu();
          return 0;
        }
        if (menuBar_ && menuBar_->DialogChar(static_cast<int>(lParam), ssAlt)) return 0;
      }
      break;
    case WM_NCPAINT:
    case WM_NCACTIVATE:
      if (IsIconic(h)) return savedProc_(msg, wParam, lParam);
      PaintFormFrame();
      return msg == WM_NCACTIVATE ? 1 : 0;
    default:
      break;
  }
  LRESULT result = savedProc_(msg, wParam, lParam);
  if (!hooked_ || !host_) return result;
  switch (msg) {
    case WM_KEYDOWN:
      result = GetActiveWindow() == h && MenuTakesKey(menu_, static_cast<int>(wParam)) ? 1 : 0;
      break;
    case WM_SHOWWINDOW:
      host_->SetMenu(nullptr);  // the menu lives in the menu bar
      break;
    case WM_ACTIVATE:
      formActive_ = LOWORD(wParam) != WA_INACTIVE;
      if (titleBar_) titleBar_->SetFormActive(formActive_);
      PaintFormFrame();
      break;
    case WM_SIZE:
      MaximizeBookkeeping();
      if (titleBar_) titleBar_->UpdateMaxPictures();
      Invalidate();
      UpdateFormRegion();
      PaintFormFrame();
      break;
    case WM_CREATE:
    case WM_STYLECHANGED:
      RemoveCaption();
      break;
    default:
      break;
  }
  return result;
}

void TvelForm::MaximizeBookkeeping() {
  if (inMaximize_ || !host_->HandleAllocated()) return;
  HWND h = host_->Handle();
  if (!IsZoomed(h)) return;
  TRect target = MaximizedFormBounds(GetWorkAreaRect(h));
  RECT now;
  GetWindowRect(h, &now);
  if (TRect{now.left, now.top, now.right, now.bottom} == target) return;
  inMaximize_ = true;
  SetWindowPos(h, nullptr, target.Left, target.Top, target.Width(), target.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  inMaximize_ = false;
}

void TvelForm::PopupControlBoxMenu() {
  if (!titleBar_ || !host_) return;
  TForm* main = Application->MainForm() ? Application->MainForm() : host_;
  int y = main->Top() + (titleBar_->Visible() ? titleBar_->Height() : 0);
  TPopupMenu* menu = &titleBar_->BuiltinControlBoxMenu();
  for (int i = 0; i < titleBar_->Buttons().Count(); ++i) {
    auto* b = static_cast<TvelTitleBarButton*>(titleBar_->Buttons().Items(i));
    if (b->ButtonType() == velControlBox && b->ControlBoxMenu()) menu = b->ControlBoxMenu();
  }
  menu->Popup(main->Left(), y);
}

// ---------------------------------------------------------------- properties

bool TvelForm::TitleBarCustom() const { return titleBar_ && titleBar_->Custom(); }
void TvelForm::SetTitleBarCustom(bool value) {
  if (titleBar_) titleBar_->SetCustom(value);
}

void TvelForm::SetFileTheme(TvelFileTheme* theme) {
  if (theme == fileTheme_) return;
  // A theme placed on the form by another component grows the client area to make room
  // for the frame the theme draws.
  if (host_ && Loading() && theme && theme->Owner() != host_) {
    host_->SetClientWidth(host_->ClientWidth() + 4);
    host_->SetClientHeight(host_->ClientHeight() + 3);
  }
  LinkFileTheme(*this, fileTheme_, theme);
  SetUIStyle(uiStyle_);
}

void TvelForm::ApplyStyleValues(bool useFile) {
  if (useFile) {
    SetColor(static_cast<TColor>(fileTheme_->GetColor(2)));
    menuBarColor_ = static_cast<TColor>(fileTheme_->GetColor(3));
    menuBarToColor_ = static_cast<TColor>(fileTheme_->GetColor(4));
    const TBitmap* left = fileTheme_->GetBitmap(5);
    const TBitmap* right = fileTheme_->GetBitmap(6);
    const TBitmap* bottom = fileTheme_->GetBitmap(7);
    metrics_.LeftBorderWidth = left ? left->Width() : 0;
    metrics_.RightBorderWidth = right ? right->Width() : 0;
    metrics_.BottomBorderHeight = bottom ? bottom->Height() : 0;
    keyColor_ = static_cast<TColor>(fileTheme_->GetColor(0));
    titleRegion_ = fileTheme_->GetBool(2) != 0;
    bottomRegion_ = fileTheme_->GetBool(3) != 0;
    bottomBorder_ = bottom ? bottom->Clone() : TBitmap();
    for (int i = 0; i < 4; ++i) themeInts_[i] = fileTheme_->GetInt(5 + i);
    return;
  }
  roundCornerBottom_ = 0;
  metrics_.LeftBorderWidth = metrics_.RightBorderWidth = metrics_.BottomBorderHeight = 0;
  bottomBorder_ = TBitmap();
  keyColor_ = clFuchsia;
  titleRegion_ = bottomRegion_ = false;
  borderColor_ = GetThemeColor(uiStyle_, 16);
  borderWidth_ = GetThemeInt(uiStyle_, 17);
  SetColor(GetThemeColor(uiStyle_, 15));
  menuBarColor_ = menuBarToColor_ = Color();
  roundCorner_ = GetThemeInt(uiStyle_, 14);
}

void TvelForm::SetUIStyle(TvelUIStyle style) {
  uiStyle_ = style;
  if (!host_) return;
  TvelUIStyle effective;
  bool useFile = UseFileTheme(fileTheme_ && fileTheme_->Ready(), style, effective);
  if (!useFile && style == TvelUIStyle::FromThemeFile) {
    // No usable theme: DeepBlue's values, the style stays as set.
    TvelUIStyle keep = uiStyle_;
    uiStyle_ = effective;
    ApplyStyleValues(false);
    uiStyle_ = keep;
  } else {
    ApplyStyleValues(useFile);
  }
  metrics_.BorderWidth = borderWidth_;
  if (titleBar_) {
    titleBar_->SetFileTheme(fileTheme_);
    titleBar_->SetUIStyle(style);
    titleBar_->SetRoundCorner(roundCorner_);
    titleBar_->SetRoundCornerBottom(roundCornerBottom_);
  }
  if (auto* themed = dynamic_cast<TvelMainMenu*>(menu_)) {
    themed->SetFileTheme(fileTheme_);
    themed->SetUIStyle(style);
  }
  if (menuBar_) menuBar_->SetColor(menuBarColor_);
  // The frame's own children: those of the host form include the frame itself.
  if (autoUpdateSub_) ApplyThemeToChildren(this, style, fileTheme_);
  RefreshMenuBarFont();
  host_->RecalcFrame();
  Invalidate();
  if (menuBar_) menuBar_->Invalidate();
  PaintFormFrame();
  UpdateFormRegion();
  UpdateMinimumSize();
}

void TvelForm::UpdateMinimumSize() {
  if (!host_) return;
  int titleHeight = titleBar_ && titleBarVisible_ ? titleBar_->Height() : 0;
  int menuHeight = menuBar_ && menuBar_->Visible() ? menuBar_->Height() : 0;
  host_->SetMinHeight(FormMinimumHeight(menuHeight, titleHeight, metrics_.BottomBorderHeight));
  if (titleBar_ && titleBar_->MinFormWidth() > 0) host_->SetMinWidth(titleBar_->MinFormWidth());
}

void TvelForm::SetBorderColor(TColor color) {
  borderColor_ = color;
  PaintFormFrame();
}

void TvelForm::SetBorderWidth(int width) {
  borderWidth_ = width;
  metrics_.BorderWidth = width;
  PaintFormFrame();
}

void TvelForm::SetTitleBarVisible(bool visible) {
  titleBarVisible_ = visible;
  if (titleBar_) {
    titleBar_->SetVisible(visible);
    titleBar_->SetTop(0);
    Realign();
  }
  PaintFormFrame();
}

TBiDiMode TvelForm::BiDiMode() const { return titleBar_ ? titleBar_->BiDiMode() : bdLeftToRight; }
void TvelForm::SetBiDiMode(TBiDiMode mode) {
  if (titleBar_) titleBar_->SetBiDiMode(mode);
}

std::string TvelForm::FrameCaption() const { return titleBar_ ? titleBar_->Caption() : Text(); }
void TvelForm::SetFrameCaption(const std::string& caption) {
  if (!titleBar_) return;
  titleBar_->SetCaption(caption);
  if (host_) host_->SetCaption(caption);
}

void TvelForm::SetFormPanel(TWinControl* panel) {
  if (panel == this) {
    OnRuleError(kOwnFormPanelText);
    return;
  }
  if (formPanel_) RemoveFreeNotification(formPanel_);
  formPanel_ = panel;
  if (!panel) return;
  FreeNotification(panel);
  panel->SetAlign(alClient);
  // Framework panels have no bevels or border here; they lose their caption.
  if (dynamic_cast<TvelCustomPanel*>(panel)) panel->SetText("");
}

bool TvelForm::TitleBarDrawAppIcon() const { return titleBar_ && titleBar_->DrawAppIcon(); }
void TvelForm::SetTitleBarDrawAppIcon(bool value) {
  if (titleBar_) titleBar_->SetDrawAppIcon(value);
}

void TvelForm::SetMenu(TMainMenu* menu) {
  if (menu == menu_) return;
  if (menu_) RemoveFreeNotification(menu_);
  if (auto* old = dynamic_cast<TvelMainMenu*>(menu_)) old->SetFormFrame(nullptr);
  menu_ = menu;
  if (menu) {
    FreeNotification(menu);
    if (auto* themed = dynamic_cast<TvelMainMenu*>(menu)) {
      themed->SetFormFrame(this);
      themed->SetFileTheme(fileTheme_);
      themed->SetUIStyle(uiStyle_);
    }
    if (host_ && host_->Menu() == menu) host_->SetMenu(nullptr);
  }
  if (!Loading()) RebuildMenuBar();
}

void TvelForm::SetMenuBarColor(TColor color) {
  menuBarColor_ = color;
  if (menuBar_) menuBar_->SetColor(color);
  PaintFormFrame();
}

void TvelForm::SetMenuBarToColor(TColor color) {
  menuBarToColor_ = color;
  if (menuBar_) menuBar_->Invalidate();
  PaintFormFrame();
}

void TvelForm::SetMenuBarHeight(int height) {
  menuBarHeight_ = std::max(height, 1);
  if (menuBar_) menuBar_->SetButtonHeight(menuBarHeight_);
  UpdateMinimumSize();
}

void TvelForm::SetRoundCorner(int value) {
  roundCorner_ = value;
  if (titleBar_) titleBar_->SetRoundCorner(value);
  UpdateFormRegion();
}

void TvelForm::SetRoundCornerBottom(int value) {
  roundCornerBottom_ = value;
  if (titleBar_) titleBar_->SetRoundCornerBottom(value);
  UpdateFormRegion();
}

TColor TvelForm::InactiveCaptionColor() const { return titleBar_ ? titleBar_->InactiveCaptionColor() : clInactiveCaption; }
void TvelForm::SetInactiveCaptionColor(TColor color) {
  if (titleBar_) titleBar_->SetInactiveCaptionColor(color);
}

// ---------------------------------------------------------------- menu bar

void TvelForm::RebuildMenuBar() {
  if (!host_) return;
  if (!menu_) {
    if (menuBar_) {
      std::exchange(menuBar_, nullptr)->Free();
      Realign();
      UpdateMinimumSize();
    }
    return;
  }
  if (!menuBar_) {
    menuBar_ = new TvelMenuBar(this);
    menuBar_->OnCustomDrawButton = [this](TToolBar* bar, TToolButton* button, TCanvas& canvas, const TRect& rect,
                                          unsigned state, bool& defaultDraw) {
      DrawMenuBarButton(bar, button, canvas, rect, state, defaultDraw);
    };
    menuBar_->SetParent(this);
  }
  menuBar_->SetButtonHeight(menuBarHeight_);
  menuBar_->SetHeight(menuBarHeight_);
  menuBar_->SetColor(menuBarColor_);
  RefreshMenuBarFont();
  menuBar_->BuildFromMenu(menu_->Items());
  Realign();
  UpdateMinimumSize();
  PaintFormFrame();
}

void TvelForm::RefreshMenuBar() {
  if (menuBar_) menuBar_->RefreshFromMenu();
}

void TvelForm::RefreshMenuBarFont() {
  if (!menuBar_) return;
  auto* themed = dynamic_cast<TvelMainMenu*>(menu_);
  TFont font = MenuFont();
  if (themed && !themed->Look().UseSystemFont) {
    font.SetName(themed->Look().FontName);
    font.SetSize(themed->Look().FontSize);
    font.SetCharset(themed->Look().FontCharset);
  }
  menuBar_->Font().Assign(font);
  for (int i = 0; i < menuBar_->ButtonCount(); ++i) menuBar_->Buttons(i)->Font().Assign(font);
  menuBar_->Realign();
}

TvelUIStyle TvelForm::MenuStyle(TvelFileTheme** theme) const {
  if (auto* themed = dynamic_cast<TvelMainMenu*>(menu_)) {
    *theme = themed->FileTheme();
    return themed->UIStyle();
  }
  *theme = fileTheme_;
  return uiStyle_;
}

void TvelForm::DrawMenuBarBackground(TCanvas& canvas, const TRect& rect) {
  TvelFileTheme* theme = nullptr;
  TvelUIStyle style = MenuStyle(&theme);
  if (style == TvelUIStyle::MacOS) {
    TBitmap bar;
    LoadSkinBitmap("MACOS_MENU_BAR", bar);
    canvas.StretchDraw(rect, bar);
    return;
  }
  if (menuBarColor_ != menuBarToColor_) {
    TBitmap strip(rect.Width(), rect.Height());
    DrawVerticalGradient(strip, {0, 0, rect.Width(), rect.Height()}, menuBarColor_, menuBarToColor_);
    canvas.Draw(rect.Left, rect.Top, strip);
    return;
  }
  canvas.Brush.Color = menuBarColor_;
  canvas.Brush.Style = bsSolid;
  canvas.FillRect(rect);
}

void TvelForm::DrawMenuBarButton(TToolBar*, TToolButton* button, TCanvas& canvas, const TRect& rect, unsigned state,
                                 bool& defaultDraw) {
  defaultDraw = false;
  TvelFileTheme* theme = nullptr;
  TvelUIStyle style = MenuStyle(&theme);
  TvelUIStyle effective;
  bool useFile = UseFileTheme(theme && theme->Ready(), style, effective);
  int32_t colors[9];
  if (useFile)
    for (int i = 0; i < 9; ++i) colors[i] = theme->GetColor(i);
  bool enabled = (state & tbsDisabled) == 0;
  TvelMenuBarItemLook look =
      MenuBarItemLook(effective, (state & (tbsHot | tbsPressed)) != 0, enabled, useFile ? colors : nullptr);
  // The bar's background under the button first: the button is drawn over its parent's look.
  DrawMenuBarBackground(canvas, rect.Offset(0, 0));
  if (look.SelectBitmap) {
    TBitmap select;
    LoadSkinBitmap("MACOS_MENU_SELECT", select);
    canvas.StretchDraw(rect, select);
  } else if (look.Filled) {
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = look.FillColor;
    canvas.FillRect(rect);
    canvas.Brush.Color = look.FrameColor;
    canvas.FrameRect(rect);
  }
  canvas.Brush.Style = bsClear;
  canvas.Font = button->Font();
  canvas.Font.SetColor(look.TextColor);
  TRect text = rect;
  canvas.DrawText(button->Caption(), text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

// ---------------------------------------------------------------- painting and shape

void TvelForm::Paint(TCanvas& canvas) {
  TRect r{0, 0, Width(), Height()};
  if (host_ && (uiStyle_ == TvelUIStyle::MacOS || uiStyle_ == TvelUIStyle::Protein)) {
    TBitmap texture;
    LoadSkinBitmap(uiStyle_ == TvelUIStyle::MacOS ? "MACOS_FORM_BACKGROUND" : "PROTEIN_FORM_BACKGROUND", texture);
    UniqueBrush brush(CreatePatternBrush(static_cast<HBITMAP>(texture.Handle())));
    RECT rc{0, 0, r.Right, r.Bottom};
    FillRect(canvas.Handle(), &rc, brush.get());
  } else {
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = Color();
    canvas.FillRect(r);
  }
  PaintFormFrame();
}

TvelFramePaintInput TvelForm::FramePaintInput() {
  HWND h = host_->Handle();
  RECT window, client;
  GetWindowRect(h, &window);
  GetClientRect(h, &client);
  MapWindowPoints(h, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
  TvelFramePaintInput in;
  in.Width = window.right - window.left;
  in.Height = window.bottom - window.top;
  in.InsetLeft = client.left - window.left;
  in.InsetTop = client.top - window.top;
  in.InsetRight = window.right - client.right;
  in.InsetBottom = window.bottom - client.bottom;
  in.BorderWidth = borderWidth_;
  in.BorderColor = borderColor_;
  in.Color = Color();
  in.MenuBarColor = menuBarColor_;
  in.MenuBarToColor = menuBarToColor_;
  in.RoundCorner = roundCorner_;
  in.TitleBarVisible = titleBarVisible_ && titleBar_;
  in.TitleBarHeight = titleBar_ ? titleBar_->Height() : 0;
  if (titleBar_) {
    const auto& sections = titleBar_->Sections();
    int n = sections.Count();
    auto pic = [&](int index) -> const TBitmap& {
      return static_cast<TvelTitleBarSection*>(sections.Items(index))->Picture().Bitmap();
    };
    // Three usable sections: three with pictures, or five whose first two and last three have pictures.
    int picks[3] = {-1, -1, -1};
    if (n == 3) {
      picks[0] = 0, picks[1] = 1, picks[2] = 2;
    } else if (n == 5) {
      picks[0] = 0, picks[1] = 1, picks[2] = 2;
      for (int i : {3, 4})
        if (pic(i).Empty()) picks[0] = -1;
    }
    bool usable = picks[0] >= 0;
    for (int i = 0; usable && i < 3; ++i) usable = !pic(picks[i]).Empty();
    if (usable)
      for (int i = 0; i < 3; ++i) {
        in.PicWidth[i] = pic(picks[i]).Width();
        in.PicHeight[i] = pic(picks[i]).Height();
      }
  }
  if (menuBar_ && menuBar_->Visible()) {
    in.MenuBarVisible = true;
    in.MenuBarTop = menuBar_->Top();
    in.MenuBarHeight = menuBar_->Height();
  }
  TvelUIStyle effective;
  if (UseFileTheme(fileTheme_ && fileTheme_->Ready(), uiStyle_, effective)) {
    in.FileTheme = true;
    in.LeftBorderWidth = metrics_.LeftBorderWidth;
    in.RightBorderWidth = metrics_.RightBorderWidth;
    in.BottomBorderHeight = metrics_.BottomBorderHeight;
    in.SeparateBottom = fileTheme_->GetBool(1) != 0;
    if (in.SeparateBottom) {
      for (int i = 0; i < 3; ++i)
        if (const TBitmap* b = fileTheme_->GetBitmap(7 + i)) in.BottomPartWidth[i] = b->Width();
    } else {
      in.BottomPartWidth[0] = bottomBorder_.Width() / 3;
    }
  }
  return in;
}

void TvelForm::PaintFormFrame() {
  if (!host_ || !host_->HandleAllocated() || Destroying()) return;
  HWND h = host_->Handle();
  if (IsIconic(h)) return;
  TvelFramePaintInput in = FramePaintInput();
  std::vector<TvelFramePiece> pieces = LayoutFormFrame(in);
  WholeWindowDC dc(h);
  HDC hdc = dc.dc();
  int saved = SaveDC(hdc);
  ExcludeClipRect(hdc, in.InsetLeft, in.InsetTop, in.Width - in.InsetRight, in.Height - in.InsetBottom);
  auto picture = [&](int source) -> const TBitmap* {
    if (source <= 2) {
      if (!titleBar_ || titleBar_->Sections().Count() <= source) return nullptr;
      return &static_cast<TvelTitleBarSection*>(titleBar_->Sections().Items(source))->Picture().Bitmap();
    }
    if (!fileTheme_) return nullptr;
    if (source == 5) return &bottomBorder_;
    static const int items[] = {5, 6, 7, 7, 8, 9};
    return fileTheme_->GetBitmap(items[source - 3]);
  };
  for (const TvelFramePiece& p : pieces) {
    switch (p.Kind) {
      case TvelFramePiece::Fill:
        FillSolid(hdc, p.Dest, p.Color);
        break;
      case TvelFramePiece::Gradient:
        FillGradient(hdc, p.Dest, p.Color, p.ToColor);
        break;
      case TvelFramePiece::Picture:
        if (const TBitmap* b = picture(p.Source)) {
          const bool titlePicture = p.Source <= 2;
          DrawBitmapPiece(hdc, *b, p.Dest, p.SourceRect, p.Clip, titlePicture ? &keyColor_ : nullptr, borderColor_);
        }
        break;
      case TvelFramePiece::Arc: {
        UniquePen pen(CreatePen(PS_SOLID, 1, ColorToRGB(p.Color)));
        ScopedSelect select(hdc, pen.get());
        const TRect& r = p.Dest;
        int midX = (r.Left + r.Right) / 2, midY = (r.Top + r.Bottom) / 2;
        if (p.RightArc)
          Arc(hdc, r.Left, r.Top, r.Right, r.Bottom, r.Right, midY, midX, r.Top);
        else
          Arc(hdc, r.Left, r.Top, r.Right, r.Bottom, midX, r.Top, r.Left, midY);
        break;
      }
    }
  }
  // With a file theme the title strip reaches under the frame (laid out from (-border, -3)):
  // its copy over the form colour is the frame beside and above the title bar.
  if (in.FileTheme && in.TitleBarVisible && titleBar_->HandleAllocated() && !stripRefreshing_) {
    stripRefreshing_ = true;  // a caption section asks for the frame again from inside
    titleBar_->RefreshStrip();
    stripRefreshing_ = false;
    const TBitmap& strip = titleBar_->TitleStripOverBackground();
    POINT at{0, 0};
    MapWindowPoints(titleBar_->Handle(), h, &at, 1);  // the bar's origin in the host's client area
    const int b = FrameBorderAnswer(metrics_);
    const int x = in.InsetLeft + at.x - (b == 0 ? 3 : b), y = in.InsetTop + at.y - 3;
    const TRect whole{0, 0, strip.Width(), strip.Height()};
    DrawBitmapPiece(hdc, strip, {x, y, x + strip.Width(), y + strip.Height()}, whole, {});
  }
  RestoreDC(hdc, saved);
}

void TvelForm::UpdateFormRegion() {
  if (!host_ || !host_->HandleAllocated() || Destroying()) return;
  HWND h = host_->Handle();
  if (IsIconic(h)) return;
  RECT window;
  GetWindowRect(h, &window);
  int W = window.right - window.left, H = window.bottom - window.top;
  TvelUIStyle effective;
  bool useFile = UseFileTheme(fileTheme_ && fileTheme_->Ready(), uiStyle_, effective);
  if (!useFile) {
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    for (const TvelRegionShape& s : BuiltinFormRegion(W, H, roundCorner_, roundCornerBottom_, titleBarVisible_)) {
      const TRect& r = s.Rect;
      // A rounded region leaves out its right and bottom edge: one more on each side.
      UniqueRgn part(s.Diameter > 0 ? CreateRoundRectRgn(r.Left, r.Top, r.Right + 1, r.Bottom + 1, s.Diameter, s.Diameter)
                                    : CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom));
      CombineRgn(region, region, part.get(), RGN_OR);
    }
    SetWindowRgn(h, region, TRUE);
    return;
  }
  if (!titleRegion_ && !bottomRegion_) {
    SetWindowRgn(h, CreateRectRgn(0, 0, W, H), TRUE);
    return;
  }
  TvelFileRegionInput in;
  in.Width = W;
  in.Height = H;
  in.KeyColor = keyColor_;
  in.TitleRegion = titleRegion_ && titleBar_ && titleBarVisible_;
  in.TitleStrip = titleBar_ ? &titleBar_->TitleStrip() : nullptr;
  in.BottomRegion = bottomRegion_;
  in.BottomBorder = &bottomBorder_;
  in.TitleMinY = themeInts_[0];
  in.TitleMaxY = themeInts_[1];
  in.BottomMinY = themeInts_[2];
  in.BottomMaxY = themeInts_[3];
  FillRegionFromRects(h, FileThemeFormRegion(in));
}

// ---------------------------------------------------------------- framework events

void TvelForm::Resize() {
  TvelCustomPanel::Resize();
  if (titleBar_ && titleBar_->Align() != alTop) titleBar_->SetAlign(alTop);
}

void TvelForm::Loaded() {
  TvelCustomPanel::Loaded();
  if (!host_) return;
  RebuildMenuBar();
  UpdateMinimumSize();
}

void TvelForm::Notification(TComponent* component, TOperation operation) {
  TvelCustomPanel::Notification(component, operation);
  if (!host_) return;
  if (operation == opInsert) {
    if (!Designing() || Loading() || DesignAdviceOff) return;
    auto* main = dynamic_cast<TMainMenu*>(component);
    if (main && !dynamic_cast<TvelMainMenu*>(main)) {
      const std::string text = "Strongly recommend you to use \"TvelMainMenu\" instead of \"TMainMenu\".\r\n\r\n"
                               "If you still want to use TMainForm, \r\n\r\nset " + host_->Name() +
                               "'s MENU property to NIL please.\r\n\r\nAnd set " + Name() +
                               "'s MENU property to this Menu when you finished designing the menu.";
      MessageBoxW(nullptr, GbkToWide(text).c_str(), GbkToWide(Application->Title()).c_str(), MB_OK | MB_ICONINFORMATION);
      return;
    }
    if (auto* themed = dynamic_cast<TvelMainMenu*>(component); themed && themed->Owner() == host_ && !menu_)
      SetMenu(themed);
    return;
  }
  if (component == formPanel_) formPanel_ = nullptr;
  if (component == menu_) {
    menu_ = nullptr;
    if (menuBar_ && !Destroying()) {
      std::exchange(menuBar_, nullptr)->Free();
      Realign();
    }
  }
  if (component == titleBar_) titleBar_ = nullptr;
  if (component == menuBar_) menuBar_ = nullptr;
  if (FileThemeRemoved(fileTheme_, component, operation) && !Destroying()) {
    ApplyThemeToChildren(this, TvelUIStyle::DeepBlue, nullptr);
    SetUIStyle(TvelUIStyle::DeepBlue);
  }
}

// ---------------------------------------------------------------- stored layouts

void RegisterVelFormClasses() {
  static std::once_flag once;
  std::call_once(once, [] {
    RegisterImagePanelClasses();
    RegisterToolBarClasses();
    RegisterVelTitleBarClasses();
    RegisterVelMenuClasses();
    RegisterVelFileThemeClass();
    using V = TLayoutValue;
    using R = TReader;
    // In streaming order; the title bar's properties read and write the title bar's.
    auto& c = RegisterComponentClass<TvelForm>("TvelForm", "TvelCustomPanel");
    c.Prop<TvelForm>("TitleBarCustom", [](TvelForm& t, const V& v, R&) { t.SetTitleBarCustom(R::Bool(v)); });
    c.Prop<TvelForm>("FileTheme", [](TvelForm& t, const V& v, R& r) {
      r.ComponentRef(v, [&t](TComponent* target) { t.SetFileTheme(dynamic_cast<TvelFileTheme*>(target)); });
    });
    c.Prop<TvelForm>("UIStyle", [](TvelForm& t, const V& v, R&) { t.SetUIStyle(ReadUIStyleValue(v)); });
    c.Prop<TvelForm>("UIStyleAutoUpdateSub", [](TvelForm& t, const V& v, R&) { t.SetUIStyleAutoUpdateSub(R::Bool(v)); });
    c.Prop<TvelForm>("BorderColor", [](TvelForm& t, const V& v, R&) { t.SetBorderColor(R::Color(v)); });
    c.Prop<TvelForm>("BorderWidth", [](TvelForm& t, const V& v, R&) { t.SetBorderWidth(R::IntRange(v, 0, 100)); });
    c.Prop<TvelForm>("TitleBarVisible", [](TvelForm& t, const V& v, R&) { t.SetTitleBarVisible(R::Bool(v)); });
    c.Prop<TvelForm>("BiDiMode", [](TvelForm& t, const V& v, R&) {
      t.SetBiDiMode(R::Enum<TBiDiMode>(v, {{"bdLeftToRight", bdLeftToRight},
                                           {"bdRightToLeft", bdRightToLeft},
                                           {"bdRightToLeftNoAlign", bdRightToLeftNoAlign},
                                           {"bdRightToLeftReadingOnly", bdRightToLeftReadingOnly}}));
    });
    c.Prop<TvelForm>("Caption", [](TvelForm& t, const V& v, R&) { t.SetFrameCaption(R::String(v)); });
    c.Prop<TvelForm>("FormPanel", [](TvelForm& t, const V& v, R& r) {
      r.ComponentRef(v, [&t](TComponent* target) { t.SetFormPanel(dynamic_cast<TWinControl*>(target)); });
    });
    c.Prop<TvelForm>("TitleBarDrawAppIcon", [](TvelForm& t, const V& v, R&) { t.SetTitleBarDrawAppIcon(R::Bool(v)); });
    // The title bar's collections and font, read by the title bar's own stored properties.
    for (auto [own, bars] : {std::pair{"TitleBarButtons", "Buttons"}, {"TitleBarSections", "Sections"},
                             {"Font.Name", "Font.Name"}, {"Font.Size", "Font.Size"}, {"Font.Height", "Font.Height"},
                             {"Font.Color", "Font.Color"}, {"Font.Style", "Font.Style"},
                             {"Font.Charset", "Font.Charset"}}) {
      std::string name = bars;
      c.Prop<TvelForm>(own, [name](TvelForm& t, const V& v, R& r) {
        const TComponentClass* bar = FindComponentClass("TvelTitleBar");
        const TPropertySetter* set = bar ? bar->FindProperty(name) : nullptr;
        if (t.TitleBar() && set) (*set)(*t.TitleBar(), v, r);
      });
    }
    c.Prop<TvelForm>("Menu", [](TvelForm& t, const V& v, R& r) {
      r.ComponentRef(v, [&t](TComponent* target) { t.SetMenu(dynamic_cast<TMainMenu*>(target)); });
    });
    c.Prop<TvelForm>("MenuBarColor", [](TvelForm& t, const V& v, R&) { t.SetMenuBarColor(R::Color(v)); });
    c.Prop<TvelForm>("MenuBarToColor", [](TvelForm& t, const V& v, R&) { t.SetMenuBarToColor(R::Color(v)); });
    c.Prop<TvelForm>("MenuBarHeight", [](TvelForm& t, const V& v, R&) { t.SetMenuBarHeight(R::IntRange(v, 1, 1000)); });
    c.Prop<TvelForm>("RoundCorner", [](TvelForm& t, const V& v, R&) { t.SetRoundCorner(R::IntRange(v, -1, 1000)); });
    c.Prop<TvelForm>("RoundCornerBottom",
                     [](TvelForm& t, const V& v, R&) { t.SetRoundCornerBottom(R::IntRange(v, -1, 1000)); });
    c.Prop<TvelForm>("Version", [](TvelForm&, const V&, R&) {});
    c.Prop<TvelForm>("InactiveCaptionColor", [](TvelForm& t, const V& v, R&) { t.SetInactiveCaptionColor(R::Color(v)); });
    c.Prop<TvelForm>("OnTitleBarCustomBtnsClick", [](TvelForm& t, const V& v, R& r) {
      if (t.TitleBar()) t.TitleBar()->OnCustomBtnsClick = r.Method<TvelTitleBarButtonClickEvent>(v);
    });
    c.Prop<TvelForm>("OnTitleBarHelpBtnClick", [](TvelForm& t, const V& v, R& r) {
      if (t.TitleBar()) t.TitleBar()->OnHelpBtnClick = r.Method<TvelTitleBarButtonClickEvent>(v);
    });
  });
}

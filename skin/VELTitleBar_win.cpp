// The themed title bar on Win32: sections and buttons from the theme, the double-buffered
// paint of the strip, buttons, control box and caption, the mouse rules that move,
// maximize, minimize and close the form, and the stored properties.
#include "skin/VELTitleBar.h"

#include <algorithm>
#include <mutex>

#include "framework/Application.h"
#include "framework/Dialogs.h"
#include "framework/Forms.h"
#include "framework/Text.h"
#include "skin/VELControlThemes.h"
#include "skin/VELMgr.h"
#include "skin/VELPublicControls.h"

namespace {
// Built-in theme items and file-theme numbers the title bar and its buttons read.
constexpr int kItemButtons = 5, kItemButtonTransparent = 6, kItemButtonTop = 9, kItemFormColor = 15;
constexpr int kFileButtons = 11;            // SKIN2_TITLEBUTTONS
constexpr int kFileButtonTransparent = 4;   // SKIN2_TITLEBTNTRANS
constexpr int kFileButtonTop = 4;           // SKIN2_TITLEBARBUTTONPOSY
constexpr int kFileIconX = 0, kFileIconY = 1, kFileCaptionTop = 2, kFileButtonX = 3;
constexpr int kFileKeyColor = 0, kFileFontColor = 1, kFileFormColor = 2;
constexpr int kFileFiveSections = 0;        // SKIN2_TITLEFIVESECT
constexpr TPoint kNowhere{-1000000, -1000000};

bool FormMaximized(TForm* form) { return form && form->HandleAllocated() && IsZoomed(form->Handle()); }

// The key a transparent picture leaves out: the file theme's key colour, else the picture's
// bottom-left pixel (the framework picture's own rule).
TColor PictureKey(const TBitmap& bitmap, bool fileTheme, TColor fileKey) {
  if (fileTheme) return fileKey;
  return PixelToColor(bitmap.GetPixel(0, bitmap.Height() - 1));
}

void DrawPicture(TCanvas& canvas, const TBitmap& bitmap, const TRect& rect, bool transparent, bool fileTheme,
                 TColor fileKey) {
  if (bitmap.Empty()) return;
  if (transparent)
    canvas.DrawTransparent(rect, bitmap, PictureKey(bitmap, fileTheme, fileKey));
  else
    canvas.Draw(rect.Left, rect.Top, bitmap);
}
}  // namespace

// ---------------------------------------------------------------- sections

TvelTitleBarSection::TvelTitleBarSection(TCollection* collection) : TCollectionItem(collection) {
  picture_.OnChange = [this] { PictureChanged(); };
}

TvelTitleBar* TvelTitleBarSection::TitleBar() const {
  auto* sections = dynamic_cast<TvelTitleBarSections*>(Collection());
  return sections ? sections->Owner() : nullptr;
}

void TvelTitleBarSection::Assign(const TCollectionItem& source) {
  const auto* s = dynamic_cast<const TvelTitleBarSection*>(&source);
  if (!s) return;
  autoSize_ = s->autoSize_;
  width_ = s->width_;
  align_ = s->align_;
  stretch_ = s->stretch_;
  capSec_ = s->capSec_;
  picture_.SetTransparent(s->picture_.Transparent());
  picture_.Assign(s->picture_.Bitmap().Clone());
  Changed();
}

void TvelTitleBarSection::PictureChanged() {
  if (autoSize_) width_ = picture_.Width();
  Changed();
}

void TvelTitleBarSection::SetAutoSize(bool value) {
  autoSize_ = value;
  if (value) width_ = picture_.Width();
  Changed();
}

void TvelTitleBarSection::SetWidth(int value) {
  // The section after a caption section is read only: the caption decides the room.
  const int index = Index();
  if (index > 0 && static_cast<TvelTitleBarSection*>(Collection()->Items(index - 1))->CapSec()) return;
  width_ = value;
  Changed();
}

void TvelTitleBarSection::SetAlign(TvelTitleBarAlign value) {
  if (Collection()) {
    std::vector<TvelTitleBarAlign> aligns;
    for (int i = 0; i < Collection()->Count(); ++i)
      aligns.push_back(static_cast<TvelTitleBarSection*>(Collection()->Items(i))->align_);
    if (!OnlyOneClientSectionAllowed(aligns, Index(), value)) {
      ShowErrorText(kOnlyOneClientSectionText);
      return;
    }
  }
  align_ = value;
  if (value == velClient) stretch_ = true;
  Changed();
}

void TvelTitleBarSection::SetStretch(bool value) {
  stretch_ = value || align_ == velClient;
  Changed();
}

void TvelTitleBarSection::SetCapSec(bool value) {
  capSec_ = value;
  Changed();
}

void TvelTitleBarSections::Update(TCollectionItem* item) {
  TCollectionOf<TvelTitleBarSection>::Update(item);
  if (owner_) owner_->SectionsChanged();
}

// ---------------------------------------------------------------- buttons

TvelTitleBarButton::TvelTitleBarButton(TCollection* collection) : TCollectionItem(collection) {
  for (TvelPicture& p : pictures_) p.OnChange = [this] { Changed(); };
}

TvelTitleBar* TvelTitleBarButton::TitleBar() const {
  auto* buttons = dynamic_cast<TvelTitleBarButtons*>(Collection());
  return buttons ? buttons->Owner() : nullptr;
}

void TvelTitleBarButton::Assign(const TCollectionItem& source) {
  const auto* b = dynamic_cast<const TvelTitleBarButton*>(&source);
  if (!b) return;
  uiStyle_ = b->uiStyle_;
  buttonType_ = b->buttonType_;
  transparent_ = b->transparent_;
  top_ = b->top_;
  SetControlBoxMenu(b->controlBoxMenu_);
  visible_ = b->visible_;
  for (int i = 0; i < 3; ++i) pictures_[i].Assign(b->pictures_[i].Bitmap().Clone());
  Changed();
}

bool TvelTitleBarButton::HasPictures() const {
  return pictures_[0].HasGraphic() && pictures_[1].HasGraphic() && pictures_[2].HasGraphic();
}

void TvelTitleBarButton::LoadPictures() {
  TvelTitleBar* bar = TitleBar();
  const int first = TitleButtonFirstFrame(buttonType_, buttonType_ == velMax && bar && FormMaximized(bar->HostForm()));
  if (first == 0) return;  // custom buttons keep their own pictures
  TvelFileTheme* theme = bar ? bar->FileTheme() : nullptr;
  TvelUIStyle effective = uiStyle_;
  const bool fromFile = UseFileTheme(theme && theme->Ready(), uiStyle_, effective);
  for (int i = 0; i < 3; ++i) {
    TBitmap frame;
    if (fromFile)
      theme->GetBitmapFrame(kFileButtons, frame, kTitleButtonFrames, first + i);
    else
      GetThemeBitmap(effective, kItemButtons, &frame, kTitleButtonFrames, first + i);
    pictures_[i].OnChange = nullptr;
    pictures_[i].Assign(std::move(frame));
    pictures_[i].OnChange = [this] { Changed(); };
  }
  if (fromFile) {
    transparent_ = theme->GetBool(kFileButtonTransparent) != 0;
    top_ = theme->GetInt(kFileButtonTop);
  } else {
    transparent_ = GetThemeBool(effective, kItemButtonTransparent) != 0;
    top_ = GetThemeInt(effective, kItemButtonTop);
  }
}

void TvelTitleBarButton::SetUIStyle(TvelUIStyle value) {
  uiStyle_ = value;
  LoadPictures();
  Changed();
}

void TvelTitleBarButton::SetButtonType(TvelTitleBarBtnType value) {
  if (Collection()) {
    std::vector<TvelTitleBarBtnType> types;
    for (int i = 0; i < Collection()->Count(); ++i)
      types.push_back(static_cast<TvelTitleBarButton*>(Collection()->Items(i))->buttonType_);
    if (!OnlyOneControlBoxAllowed(types, Index(), value)) {
      ShowErrorText(kOnlyOneControlBoxText);
      return;
    }
  }
  buttonType_ = value;
  LoadPictures();
  Changed();
}

void TvelTitleBarButton::SetTransparent(bool value) {
  transparent_ = value;
  Changed();
}

void TvelTitleBarButton::SetTop(int value) {
  top_ = value;
  Changed();
}

void TvelTitleBarButton::SetControlBoxMenu(TPopupMenu* menu) {
  controlBoxMenu_ = menu;
  // The title bar hears when the menu goes and drops it from its buttons.
  if (TvelTitleBar* bar = TitleBar(); bar && menu) bar->FreeNotification(menu);
  Changed();
}

void TvelTitleBarButton::SetVisible(bool value) {
  visible_ = value;
  Changed();
}

void TvelTitleBarButton::UpdateMaxPictures() {
  TvelTitleBar* bar = TitleBar();
  if (buttonType_ != velMax || (bar && bar->Custom())) return;
  LoadPictures();
  Changed();
}

void TvelTitleBarButtons::Update(TCollectionItem* item) {
  TCollectionOf<TvelTitleBarButton>::Update(item);
  if (owner_) owner_->ButtonsChanged();
}

// ---------------------------------------------------------------- control-box menu

TvelTitleBarPopupMenu::TvelTitleBarPopupMenu(TComponent* owner, TvelTitleBar* titleBar)
    : TvelPopupMenu(owner), titleBar_(titleBar) {
  for (const char* caption : kControlBoxMenuCaptions) {
    auto* item = new TMenuItem(this);
    item->SetCaption(caption);
    Items()->Add(item);
  }
  Items()->Items(0)->OnClick = [this](TComponent*) { titleBar_->RunButtonAction(velMin); };
  Items()->Items(1)->OnClick = [this](TComponent*) { titleBar_->RunButtonAction(velMax); };
  Items()->Items(3)->OnClick = [this](TComponent*) { titleBar_->RunButtonAction(velClose); };
}

void TvelTitleBarPopupMenu::Popup(int x, int y) {
  const ControlBoxMenuState state = ControlBoxMenuEnabling(titleBar_->ButtonInputs());
  Items()->Items(0)->SetEnabled(state.Minimize);
  Items()->Items(1)->SetEnabled(state.Maximize);
  Items()->Items(3)->SetEnabled(state.Close);
  TvelPopupMenu::Popup(x, y);
}

// ---------------------------------------------------------------- title bar

TvelTitleBar::TvelTitleBar(TComponent* owner) : TvelCustomPanel(owner) {
  menu_ = new TvelTitleBarPopupMenu(this, this);
  sections_ = std::make_unique<TvelTitleBarSections>(this);
  buttons_ = std::make_unique<TvelTitleBarButtons>(this);
  for (TvelTitleBarBtnType type : {velControlBox, velClose, velMax, velMin}) buttons_->Add()->SetButtonType(type);
  SetAlign(alTop);
  SetParentFont(false);
  Font().SetColor(clWhite);
  Font().SetName("Tahoma");
  Font().SetStyle(fsBold);
  SetUIStyle(DefaultStyleFor(owner));
}

TvelTitleBar::~TvelTitleBar() {
  BeginDestroying();
  *alive_ = false;
  if (fileTheme_) RemoveFreeNotification(fileTheme_);
  buttons_.reset();
  sections_.reset();
}

TForm* TvelTitleBar::HostForm() const { return ParentForm(); }

bool TvelTitleBar::OnFormFrame() const {
  const auto* themable = dynamic_cast<const IvelThemable*>(Parent());
  return themable && themable->IsFormFrame();
}

bool TvelTitleBar::RightToLeftCaption() const {
  return biDiMode_ != bdLeftToRight && GetSystemMetrics(SM_MIDEASTENABLED);
}

bool TvelTitleBar::UsingFileTheme() const {
  TvelUIStyle effective;
  return UseFileTheme(fileTheme_ && fileTheme_->Ready(), uiStyle_, effective);
}

std::vector<TitleButtonInput> TvelTitleBar::ButtonInputs() const {
  std::vector<TitleButtonInput> out;
  for (int i = 0; i < buttons_->Count(); ++i) {
    const TvelTitleBarButton& b = *buttons_->Items(i);
    out.push_back({b.ButtonType(), b.Visible(), b.HasPictures(), b.PicNormal().Width(), b.PicNormal().Height()});
  }
  return out;
}

void TvelTitleBar::SectionsChanged() {
  if (!Destroying()) Invalidate();
}

void TvelTitleBar::ButtonsChanged() {
  if (!Destroying()) Invalidate();
}

// ---------------------------------------------------------------- style

void TvelTitleBar::SetUIStyle(TvelUIStyle style) {
  uiStyle_ = style;
  if (custom_) return;
  TvelUIStyle effective = style;
  const bool fromFile = UseFileTheme(fileTheme_ && fileTheme_->Ready(), style, effective);
  sections_->BeginUpdate();
  sections_->Clear();
  if (fromFile)
    BuildFileThemeSections();
  else
    BuildBuiltinSections(effective);
  sections_->EndUpdate();
  buttons_->BeginUpdate();
  for (int i = 0; i < buttons_->Count(); ++i) buttons_->Items(i)->SetUIStyle(effective);
  buttons_->EndUpdate();
  menu_->SetFileTheme(fileTheme_);
  menu_->SetUIStyle(effective);
  if (!themeAssigning_) {
    if (effective == TvelUIStyle::MacOS)
      Font().SetColor(clBlack);
    else if (fromFile)
      Font().SetColor(static_cast<TColor>(fileTheme_->GetColor(kFileFontColor)));
    else
      Font().SetColor(clWhite);
  }
  SetAutoSize(true);
  // The parent form may not shrink below what the strip and the buttons need; a form frame
  // adds its own bars to the height.
  if (TForm* form = ParentForm()) {
    if (minFormWidth_ > 0) form->SetMinWidth(minFormWidth_);
    if (!fromFile && !OnFormFrame()) form->SetMinHeight(minFormHeight_);
  }
  Invalidate();
}

void TvelTitleBar::BuildBuiltinSections(TvelUIStyle style) {
  for (const TitleSectionSpec& spec : BuiltinTitleSections()) {
    TvelTitleBarSection* s = sections_->Add();
    TBitmap picture;
    GetThemeBitmap(style, spec.Item, &picture, 0, 0);
    s->Picture().Assign(std::move(picture));
    s->SetAutoSize(spec.AutoSize);
    s->SetAlign(spec.Align);
  }
  const TitleStyleMetrics m = BuiltinTitleMetrics(style, OnFormFrame());
  leftBtnXOffset_ = m.LeftBtnXOffset;
  rightBtnXOffset_ = m.RightBtnXOffset;
  TBitmap buttons;
  GetThemeBitmap(style, kItemButtons, &buttons, 0, 0);
  buttonPictureHeight_ = buttons.Height();
  buttonTop_ = m.ButtonTop;
  controlBoxTop_ = m.ControlBoxTop;
  minFormWidth_ = m.MinFormWidth;
  minFormHeight_ = m.MinFormHeight;
  roundCorner_ = m.RoundCorner;
  roundCornerBottom_ = 0;
  keyColor_ = kSkinKeyColor;
  fiveSections_ = false;
  backgroundColor_ = GetThemeColor(style, kItemFormColor);
}

void TvelTitleBar::BuildFileThemeSections() {
  const TvelFileTheme& theme = *fileTheme_;
  fiveSections_ = theme.GetBool(kFileFiveSections) != 0;
  keyColor_ = static_cast<TColor>(theme.GetColor(kFileKeyColor));
  for (const TitleSectionSpec& spec : FileThemeTitleSections(fiveSections_)) {
    TvelTitleBarSection* s = sections_->Add();
    if (const TBitmap* picture = theme.GetBitmap(spec.Item)) s->Picture().Assign(picture->Clone());
    s->SetAutoSize(spec.AutoSize);
    s->SetAlign(spec.Align);
    s->SetCapSec(spec.CapSec);
  }
  leftBtnXOffset_ = theme.GetInt(kFileIconX);
  rightBtnXOffset_ = theme.GetInt(kFileButtonX);
  const TBitmap* buttons = theme.GetBitmap(kFileButtons);
  buttonPictureHeight_ = buttons ? buttons->Height() : 0;
  const int lift = OnFormFrame() ? 3 : 0;
  buttonTop_ = theme.GetInt(kFileButtonTop) - lift;
  controlBoxTop_ = theme.GetInt(kFileIconY) - lift;
  captionTop_ = theme.GetInt(kFileCaptionTop);
  backgroundColor_ = static_cast<TColor>(theme.GetColor(kFileFormColor));
  auto width = [&theme](int index) {
    const TBitmap* b = theme.GetBitmap(index);
    return b ? b->Width() : 0;
  };
  minFormWidth_ = FileThemeMinFormWidth(width(0), width(2), width(4), fiveSections_, buttons ? buttons->Width() : 0,
                                        buttons_->Count(), rightBtnXOffset_);
}

void TvelTitleBar::SetFileTheme(TvelFileTheme* theme) {
  LinkFileTheme(*this, fileTheme_, theme);
  themeAssigning_ = true;
  SetUIStyle(uiStyle_);
  themeAssigning_ = false;
}

void TvelTitleBar::Notification(TComponent* component, TOperation operation) {
  TvelCustomPanel::Notification(component, operation);
  if (operation == opRemove && buttons_) {
    for (int i = 0; i < buttons_->Count(); ++i)
      if (buttons_->Items(i)->ControlBoxMenu() == component) buttons_->Items(i)->SetControlBoxMenu(nullptr);
  }
  if (FileThemeRemoved(fileTheme_, component, operation) && !Destroying()) SetUIStyle(TvelUIStyle::DeepBlue);
}

void TvelTitleBar::SetAutoSize(bool value) {
  autoSize_ = value;
  if (!value) return;
  if (sections_->Count() == 0) {
    autoSize_ = false;
    return;
  }
  SetHeight(sections_->Items(0)->Picture().Height() - (OnFormFrame() ? 3 : 0));
}

void TvelTitleBar::SetBiDiMode(TBiDiMode mode) {
  biDiMode_ = mode;
  Invalidate();
}

void TvelTitleBar::SetButtonInterval(int value) {
  buttonInterval_ = value;
  Invalidate();
}

void TvelTitleBar::SetCaption(const std::string& caption) {
  caption_ = caption;
  Invalidate();
}

void TvelTitleBar::SetFormActive(bool value) {
  formActive_ = value;
  Invalidate();
}

void TvelTitleBar::SetLeftBtnXOffset(int value) {
  leftBtnXOffset_ = value;
  Invalidate();
}

void TvelTitleBar::SetRightBtnXOffset(int value) {
  rightBtnXOffset_ = value;
  Invalidate();
}

void TvelTitleBar::SetDrawAppIcon(bool value) {
  drawAppIcon_ = value;
  Invalidate();
}

void TvelTitleBar::SetInactiveCaptionColor(TColor color) {
  inactiveCaptionColor_ = color;
  Invalidate();
}

void TvelTitleBar::FontChanged() {
  TvelCustomPanel::FontChanged();
  Invalidate();
}

// ---------------------------------------------------------------- painting

int TvelTitleBar::BorderAnswer() {
  TForm* form = HostForm();
  if (!OnFormFrame() || !form || !form->HandleAllocated()) return 0;
  return static_cast<int>(SendMessageW(form->Handle(), WM_FRAMEBORDERQUERY, 0, 0));
}

void TvelTitleBar::Paint(TCanvas& target) {
  const int width = Width(), height = Height();
  if (width <= 0 || height <= 0) return;
  TBitmap buffer(width, height);
  {
    TBitmapCanvas canvas(buffer);
    canvas.Brush.Style = bsClear;
    canvas.Font.Assign(Font());
    DrawTitleBackground(buffer, canvas);
    DrawTitleForeground(buffer, canvas);
  }
  target.Draw(0, 0, buffer);
}

void TvelTitleBar::RefreshStrip() {
  const int width = Width(), height = Height();
  if (width <= 0 || height <= 0) return;
  TBitmap buffer(width, height);
  TBitmapCanvas canvas(buffer);
  DrawTitleBackground(buffer, canvas);
}

void TvelTitleBar::DrawTitleBackground(TBitmap& buffer, TCanvas& canvas) {
  TForm* form = HostForm();
  if (!form) return;
  GdiFlush();  // the strip is written straight into the buffer's pixels
  TitleBackgroundInput in;
  in.BufferWidth = buffer.Width();
  in.BufferHeight = buffer.Height();
  in.OnFormFrame = OnFormFrame();
  in.BorderAnswer = in.OnFormFrame ? BorderAnswer() : 0;
  in.LeftBtnXOffset = leftBtnXOffset_;
  in.Caption = caption_;
  for (int i = 0; i < buttons_->Count(); ++i) in.ButtonsWidth += buttons_->Items(i)->PicNormal().Width() + buttonInterval_;
  for (int i = 0; i < sections_->Count(); ++i) {
    const TvelTitleBarSection& s = *sections_->Items(i);
    in.Sections.push_back({s.Align(), s.CapSec(), s.Width(), s.Picture().Width(), s.Picture().Height()});
  }
  const TitleBackgroundLayout layout =
      LayoutTitleBackground(in, [&canvas](std::string_view text) { return canvas.TextWidth(std::string(text)); });

  strip_.SetSize(layout.StripWidth, layout.StripHeight);
  stripCopy_.SetSize(layout.StripWidth, layout.StripHeight);
  const uint32_t background = ColorToPixel(ResolveSystemColor(backgroundColor_));
  stripCopy_.Fill(background);
  strip_.Fill(background);
  const TColor key = ResolveSystemColor(keyColor_);
  for (const TitlePiece& piece : layout.Pieces) {
    const TBitmap& picture = sections_->Items(piece.Section)->Picture().Bitmap();
    if (picture.Empty()) continue;
    TRect target = piece.Target;
    target.Left -= layout.X0;
    target.Right -= layout.X0;
    target.Top -= layout.Y0;
    target.Bottom -= layout.Y0;
    const TRect whole{0, 0, picture.Width(), picture.Height()};
    if (piece.Mode == TitlePieceMode::KeyedOverBackground) {
      FillRectColor(strip_, target, ResolveSystemColor(backgroundColor_));
      StretchCopy(strip_, target, picture, whole, &key);
    } else {
      StretchCopy(strip_, target, picture, whole, nullptr);
    }
  }
  buffer.Fill(background);
  StretchCopy(buffer, Bounds(layout.X0, layout.Y0, strip_.Width(), strip_.Height()), strip_,
              {0, 0, strip_.Width(), strip_.Height()}, nullptr);
  StretchCopy(stripCopy_, {0, 0, strip_.Width(), strip_.Height()}, strip_, {0, 0, strip_.Width(), strip_.Height()},
              &key);

  hasCaptionSection_ = layout.CaptionSection >= 0;
  if (hasCaptionSection_) {
    fittedCaption_ = layout.CaptionText;
    // The frame paints its top from the strip, so it is told the strip changed.
    if (in.OnFormFrame && form->HandleAllocated() && !framePainting_) {
      framePainting_ = true;
      SendMessageW(form->Handle(), WM_NCPAINT, 1, 0);
      framePainting_ = false;
    }
  } else {
    fittedCaption_.clear();
  }
}

void TvelTitleBar::DrawTitleForeground(TBitmap& buffer, TCanvas& canvas) {
  TForm* form = HostForm();
  if (!form) return;
  hotIndex_ = -1;
  TitleForegroundInput in;
  in.BufferWidth = buffer.Width();
  in.BorderAnswer = OnFormFrame() ? BorderAnswer() : 0;
  in.LeftBtnXOffset = leftBtnXOffset_;
  in.RightBtnXOffset = rightBtnXOffset_;
  in.ButtonInterval = buttonInterval_;
  in.ButtonTop = buttonTop_;
  in.ControlBoxTop = controlBoxTop_;
  in.DrawAppIcon = drawAppIcon_;
  in.Buttons = ButtonInputs();
  in.Pointer = pointer_;
  foreground_ = LayoutTitleForeground(in);
  hotIndex_ = foreground_.Hot;

  const bool fileTheme = uiStyle_ == TvelUIStyle::FromThemeFile;
  auto pictureFor = [this](const TvelTitleBarButton& b, int index) -> const TBitmap& {
    if (index != hotIndex_) return b.PicNormal().Bitmap();
    return pressed_ ? b.PicMouseDown().Bitmap() : b.PicMouseOn().Bitmap();
  };
  for (const TitleButtonPlace& place : foreground_.Buttons) {
    const TvelTitleBarButton& b = *buttons_->Items(place.Button);
    const TBitmap& picture = pictureFor(b, place.Button);
    DrawPicture(canvas, picture, Bounds(place.Rect.Left, place.Rect.Top, picture.Width(), picture.Height()),
                b.Transparent(), fileTheme, keyColor_);
  }
  if (foreground_.ControlBox >= 0) {
    const TvelTitleBarButton& b = *buttons_->Items(foreground_.ControlBox);
    if (drawAppIcon_) {
      HICON icon = form->HandleAllocated()
                       ? reinterpret_cast<HICON>(SendMessageW(form->Handle(), WM_GETICON, ICON_SMALL2, 0))
                       : nullptr;
      if (!icon) icon = static_cast<HICON>(LoadImageW(nullptr, IDI_APPLICATION, IMAGE_ICON, 16, 16, LR_SHARED));
      if (icon)
        DrawIconEx(canvas.Handle(), foreground_.ControlBoxRect.Left, foreground_.ControlBoxRect.Top, icon, 16, 16, 0,
                   nullptr, DI_NORMAL);
    } else {
      const TBitmap& picture = pictureFor(b, foreground_.ControlBox);
      DrawPicture(canvas, picture, foreground_.ControlBoxRect, b.Transparent(), fileTheme, keyColor_);
    }
  }

  canvas.Font.Assign(Font());
  if (!formActive_) canvas.Font.SetColor(inactiveCaptionColor_);
  canvas.Brush.Style = bsClear;
  const TextWidthFn width = [&canvas](std::string_view text) { return canvas.TextWidth(std::string(text)); };
  drawnCaption_ = hasCaptionSection_
                      ? fittedCaption_
                      : ShortenCaption(width, caption_, foreground_.ButtonsLeft - foreground_.CaptionLeft);
  if (drawnCaption_.empty()) return;
  const TPoint at = TitleCaptionPos(UsingFileTheme(), uiStyle_, RightToLeftCaption(), foreground_.CaptionLeft,
                                    foreground_.ButtonsLeft, width(drawnCaption_), captionTop_, buttonTop_);
  canvas.TextOut(at.X, at.Y, drawnCaption_);
}

// ---------------------------------------------------------------- actions

void TvelTitleBar::ExecuteButton(int index) {
  if (index < 0 || index >= buttons_->Count()) return;
  TvelTitleBarButton& b = *buttons_->Items(index);
  if (b.ButtonType() == velControlBox) {
    if (!HostForm() || !b.ControlBoxMenu()) return;
    POINT corner{0, Height()};
    ClientToScreen(Handle(), &corner);
    const TPoint at = ControlBoxMenuPoint({corner.x, corner.y}, RightToLeftCaption());
    b.ControlBoxMenu()->Popup(at.X, at.Y);
    return;
  }
  RunButtonAction(b.ButtonType());
}

void TvelTitleBar::RunButtonAction(TvelTitleBarBtnType type) {
  TForm* form = HostForm();
  if (!form || (Designing() && type != velClose)) return;
  switch (type) {
    case velMax: {
      HWND window = form->Handle();
      if (IsZoomed(window)) {
        ShowWindow(window, SW_RESTORE);
      } else {
        ShowWindow(window, SW_MAXIMIZE);
        if (!OnFormFrame()) form->SetBoundsRect(TitleMaximizedBounds(GetWorkAreaRect()));
      }
      UpdateMaxPictures();
      break;
    }
    case velMin:
      if (form == Application->MainForm())
        SendMessageW(form->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
      else
        ShowWindow(form->Handle(), SW_MINIMIZE);
      break;
    case velClose:
      form->Close();
      break;
    default:
      break;
  }
}

void TvelTitleBar::UpdateMaxPictures() {
  if (custom_) return;
  for (int i = 0; i < buttons_->Count(); ++i) buttons_->Items(i)->UpdateMaxPictures();
}

void TvelTitleBar::PopupBuiltinMenu() {
  POINT corner{0, Height()};
  ClientToScreen(Handle(), &corner);
  const TPoint at = ControlBoxMenuPoint({corner.x, corner.y}, RightToLeftCaption());
  menu_->Popup(at.X, at.Y);
}

// ---------------------------------------------------------------- mouse

void TvelTitleBar::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TvelCustomPanel::MouseDown(button, shift, x, y);
  if (button != mbLeft) return;
  pointer_ = {x, y};
  pressed_ = true;
  Repaint();
  TForm* form = HostForm();
  // A press on the caption (not the second press of a double click) hands the form to
  // the window manager, which moves it while the button is held.
  if (form && !(shift & ssDouble) && ((hotIndex_ == -1 && !FormMaximized(form)) || Designing())) {
    ReleaseCapture();
    POINT p{x, y};
    ClientToScreen(Handle(), &p);
    SendMessageW(form->Handle(), WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(p.x, p.y));
    pressed_ = false;
  }
}

void TvelTitleBar::MouseMove(TShiftState shift, int x, int y) {
  TvelCustomPanel::MouseMove(shift, x, y);
  pointer_ = {x, y};
  Repaint();
}

void TvelTitleBar::MouseLeave() {
  TvelCustomPanel::MouseLeave();
  pointer_ = kNowhere;
  Repaint();
}

void TvelTitleBar::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TvelCustomPanel::MouseUp(button, shift, x, y);
  if (button != mbLeft) return;
  const std::shared_ptr<bool> alive = alive_;
  const int hot = hotIndex_;
  // The release that ends a double click does not click the button again.
  const bool afterDoubleClick = doubleClicked_;
  doubleClicked_ = false;
  if (!afterDoubleClick && hot >= 0 && hot < buttons_->Count()) {
    TvelTitleBarButton& b = *buttons_->Items(hot);
    const TvelTitleBarBtnType type = b.ButtonType();
    if (type == velControlBox && !b.ControlBoxMenu()) {
      PopupBuiltinMenu();
    } else {
      ExecuteButton(hot);
      if (!*alive) return;
      if (type == velCustom && OnCustomBtnsClick) OnCustomBtnsClick(this, hot);
      if (type == velHelp && OnHelpBtnClick) OnHelpBtnClick(this, hot);
    }
  }
  if (!*alive) return;
  pressed_ = false;
  Repaint();
}

void TvelTitleBar::DblClick() {
  TvelCustomPanel::DblClick();
  if (Designing()) return;
  doubleClicked_ = true;
  if (hotIndex_ == -1) {
    for (int i = 0; i < buttons_->Count(); ++i) {
      const TvelTitleBarButton& b = *buttons_->Items(i);
      if (b.ButtonType() == velMax && b.Visible()) {
        ExecuteButton(i);
        return;
      }
    }
  } else if (hotIndex_ < buttons_->Count() && buttons_->Items(hotIndex_)->ButtonType() == velControlBox) {
    if (TForm* form = HostForm()) form->Close();
  }
}

LRESULT TvelTitleBar::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONUP:
    case WM_NCMOUSEMOVE:
      if (TForm* form = HostForm(); form && form->HandleAllocated())
        return SendMessageW(form->Handle(), msg, wParam, lParam);
      break;
    default:
      break;
  }
  return TvelCustomPanel::WndProc(msg, wParam, lParam);
}

// ---------------------------------------------------------------- stored layouts

namespace {
using R = TReader;
using V = TLayoutValue;

TBitmap ReadBitmap(const V& v) {
  TBitmap bitmap;
  const std::vector<uint8_t>& bytes = R::Binary(v);
  if (!bytes.empty() && !TBitmap::LoadFromBmp(bytes, bitmap)) throw ELayoutError("Bitmap data is not a readable bitmap");
  return bitmap;
}

const TCollectionItemProperties& SectionProperties() {
  static const TCollectionItemProperties props = [] {
    TCollectionItemProperties p;
    p.Prop<TvelTitleBarSection>("AutoSize", [](TvelTitleBarSection& s, const V& v, R&) { s.SetAutoSize(R::Bool(v)); });
    p.Prop<TvelTitleBarSection>("Width", [](TvelTitleBarSection& s, const V& v, R&) { s.SetWidth(R::IntRange(v, -32768, 32767)); });
    p.Prop<TvelTitleBarSection>("Align", [](TvelTitleBarSection& s, const V& v, R&) {
      s.SetAlign(R::Enum<TvelTitleBarAlign>(v, {{"velLeft", velLeft}, {"velRight", velRight}, {"velClient", velClient}}));
    });
    p.Prop<TvelTitleBarSection>("Picture.Data", [](TvelTitleBarSection& s, const V& v, R&) { s.Picture().Assign(ReadBitmap(v)); });
    p.Prop<TvelTitleBarSection>("Stretch", [](TvelTitleBarSection& s, const V& v, R&) { s.SetStretch(R::Bool(v)); });
    p.Prop<TvelTitleBarSection>("CapSec", [](TvelTitleBarSection& s, const V& v, R&) { s.SetCapSec(R::Bool(v)); });
    return p;
  }();
  return props;
}

const TCollectionItemProperties& ButtonProperties() {
  static const TCollectionItemProperties props = [] {
    TCollectionItemProperties p;
    p.Prop<TvelTitleBarButton>("UIStyle", [](TvelTitleBarButton& b, const V& v, R&) { b.SetUIStyle(ReadUIStyleValue(v)); });
    p.Prop<TvelTitleBarButton>("ButtonType", [](TvelTitleBarButton& b, const V& v, R&) {
      b.SetButtonType(R::Enum<TvelTitleBarBtnType>(v, {{"velMax", velMax}, {"velMin", velMin}, {"velClose", velClose},
                                                        {"velHelp", velHelp}, {"velControlBox", velControlBox},
                                                        {"velCustom", velCustom}}));
    });
    p.Prop<TvelTitleBarButton>("Transparent", [](TvelTitleBarButton& b, const V& v, R&) { b.SetTransparent(R::Bool(v)); });
    p.Prop<TvelTitleBarButton>("Top", [](TvelTitleBarButton& b, const V& v, R&) { b.SetTop(R::IntRange(v, -32768, 32767)); });
    p.Prop<TvelTitleBarButton>("ControlBoxMenu", [](TvelTitleBarButton& b, const V& v, R& r) {
      // Resolved after the whole layout is read, when the item may be gone (Buttons stored
      // twice): found again by index.
      TvelTitleBar* bar = b.TitleBar();
      const int index = b.Index();
      r.ComponentRef(v, [bar, index](TComponent* target) {
        if (bar && index < bar->Buttons().Count())
          bar->Buttons().Items(index)->SetControlBoxMenu(dynamic_cast<TPopupMenu*>(target));
      });
    });
    p.Prop<TvelTitleBarButton>("Visible", [](TvelTitleBarButton& b, const V& v, R&) { b.SetVisible(R::Bool(v)); });
    p.Prop<TvelTitleBarButton>("PicNormal.Data", [](TvelTitleBarButton& b, const V& v, R&) { b.PicNormal().Assign(ReadBitmap(v)); });
    p.Prop<TvelTitleBarButton>("PicMouseOn.Data", [](TvelTitleBarButton& b, const V& v, R&) { b.PicMouseOn().Assign(ReadBitmap(v)); });
    p.Prop<TvelTitleBarButton>("PicMouseDown.Data", [](TvelTitleBarButton& b, const V& v, R&) { b.PicMouseDown().Assign(ReadBitmap(v)); });
    return p;
  }();
  return props;
}
}  // namespace

void RegisterVelTitleBarClasses() {
  RegisterImagePanelClasses();
  RegisterVelMenuClasses();
  RegisterVelFileThemeClass();
  static std::once_flag once;
  std::call_once(once, [] {
    // In streaming order; Height, Font and OnResize come from the framework's control classes.
    auto& t = RegisterComponentClass<TvelTitleBar>("TvelTitleBar", "TvelCustomPanel");
    t.Prop<TvelTitleBar>("Custom", [](TvelTitleBar& b, const V& v, R&) { b.SetCustom(R::Bool(v)); });
    t.Prop<TvelTitleBar>("FileTheme", [](TvelTitleBar& b, const V& v, R& r) {
      r.ComponentRef(v, [&b](TComponent* target) { b.SetFileTheme(dynamic_cast<TvelFileTheme*>(target)); });
    });
    t.Prop<TvelTitleBar>("UIStyle", [](TvelTitleBar& b, const V& v, R&) { b.SetUIStyle(ReadUIStyleValue(v)); });
    t.Prop<TvelTitleBar>("AutoSize", [](TvelTitleBar& b, const V& v, R&) { b.SetAutoSize(R::Bool(v)); });
    t.Prop<TvelTitleBar>("BiDiMode", [](TvelTitleBar& b, const V& v, R&) {
      b.SetBiDiMode(R::Enum<TBiDiMode>(v, {{"bdLeftToRight", bdLeftToRight},
                                           {"bdRightToLeft", bdRightToLeft},
                                           {"bdRightToLeftNoAlign", bdRightToLeftNoAlign},
                                           {"bdRightToLeftReadingOnly", bdRightToLeftReadingOnly}}));
    });
    t.Prop<TvelTitleBar>("Sections", [](TvelTitleBar& b, const V& v, R& r) {
      ReadCollection(b.Sections(), v, r, SectionProperties());
    });
    t.Prop<TvelTitleBar>("Buttons", [](TvelTitleBar& b, const V& v, R& r) {
      ReadCollection(b.Buttons(), v, r, ButtonProperties());
    });
    t.Prop<TvelTitleBar>("ButtonInterval", [](TvelTitleBar& b, const V& v, R&) { b.SetButtonInterval(R::IntRange(v, -32768, 32767)); });
    t.Prop<TvelTitleBar>("Caption", [](TvelTitleBar& b, const V& v, R&) { b.SetCaption(R::String(v)); });
    t.Prop<TvelTitleBar>("FormActive", [](TvelTitleBar& b, const V& v, R&) { b.SetFormActive(R::Bool(v)); });
    t.Prop<TvelTitleBar>("LeftBtnXOffset", [](TvelTitleBar& b, const V& v, R&) { b.SetLeftBtnXOffset(R::IntRange(v, -32768, 32767)); });
    t.Prop<TvelTitleBar>("RightBtnXOffset", [](TvelTitleBar& b, const V& v, R&) { b.SetRightBtnXOffset(R::IntRange(v, -32768, 32767)); });
    t.Prop<TvelTitleBar>("DrawAppIcon", [](TvelTitleBar& b, const V& v, R&) { b.SetDrawAppIcon(R::Bool(v)); });
    t.Prop<TvelTitleBar>("RoundCorner", [](TvelTitleBar& b, const V& v, R&) { b.SetRoundCorner(R::IntRange(v, -32768, 32767)); });
    t.Prop<TvelTitleBar>("RoundCornerBottom", [](TvelTitleBar& b, const V& v, R&) { b.SetRoundCornerBottom(R::IntRange(v, -32768, 32767)); });
    t.Prop<TvelTitleBar>("InactiveCaptionColor", [](TvelTitleBar& b, const V& v, R&) { b.SetInactiveCaptionColor(R::Color(v)); });
    t.Prop<TvelTitleBar>("OnCustomBtnsClick", [](TvelTitleBar& b, const V& v, R& r) {
      b.OnCustomBtnsClick = r.Method<TvelTitleBarButtonClickEvent>(v);
    });
    t.Prop<TvelTitleBar>("OnHelpBtnClick", [](TvelTitleBar& b, const V& v, R& r) {
      b.OnHelpBtnClick = r.Method<TvelTitleBarButtonClickEvent>(v);
    });
  });
}

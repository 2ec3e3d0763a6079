// The shaped skin window on Win32: a window region from the glyph, the frameless owner form
// and moving the form by the caption-drag message.
#include "skin/VELSkinForm.h"

#include "framework/Canvas.h"
#include "framework/Streaming.h"
#include "skin/VELPublic.h"

TvelSkinForm::TvelSkinForm(TComponent* owner) : TGraphicControl(owner) {
  form_ = dynamic_cast<TForm*>(owner);
  if (!form_) return;
  if (!Designing()) form_->SetBorderStyle(bsNone);
  glyph_ = std::make_unique<TBitmap>();
  SetTransparentColor(clFuchsia);
  SetWidth(200);
  SetHeight(100);
}

TvelSkinForm::~TvelSkinForm() = default;

const TBitmap& TvelSkinForm::Glyph() const {
  static const TBitmap none;
  return glyph_ ? *glyph_ : none;
}

void TvelSkinForm::SetGlyph(const TBitmap& glyph) {
  if (!glyph_) return;
  *glyph_ = glyph.Clone();
  ApplyShape();
  Invalidate();
}

void TvelSkinForm::ReadGlyph(TBitmap glyph) {
  if (glyph_) *glyph_ = std::move(glyph);
}

void TvelSkinForm::SetTransparentColor(TColor color) {
  transparentColor_ = color;
  ApplyShape();
  Invalidate();
}

void TvelSkinForm::ApplyShape() {
  if (!form_ || !glyph_ || glyph_->Empty()) return;
  if (!Designing()) SetBitmapWindowRegion(form_->Handle(), *glyph_, transparentColor_);
  SetHeight(glyph_->Height());
  SetWidth(glyph_->Width());
  SetTop(0);
  SetLeft(0);
  form_->SetClientHeight(Height());
  form_->SetClientWidth(Width());
  if (OnRegionChanged) OnRegionChanged(this);
}

void TvelSkinForm::Paint(TCanvas& canvas) {
  if (glyph_ && !glyph_->Empty()) {
    canvas.Draw(0, 0, *glyph_);
  } else if (form_) {
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = clBlack;
    canvas.FrameRect({0, 0, Width(), Height()});
  }
  if (OnPaint) OnPaint(this);
}

void TvelSkinForm::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseDown(button, shift, x, y);
  if (!form_ || !form_->HandleAllocated()) return;
  // Any button: the window system moves the form as if its caption had been pressed, until
  // the button is released.
  ReleaseCapture();
  SendMessageW(form_->Handle(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

void RegisterSkinFormClasses() {
  static bool done = false;
  if (done) return;
  RegisterFrameworkClasses();
  using V = TLayoutValue;
  using R = TReader;
  // Glyph, then TransparentColor (always stored), whose setter shapes the form.
  auto& c = RegisterComponentClass<TvelSkinForm>("TvelSkinForm", "TGraphicControl");
  c.Prop<TvelSkinForm>("Glyph.Data", [](TvelSkinForm& s, const V& v, R&) {
    TBitmap glyph;
    const auto& bytes = R::Binary(v);
    if (!bytes.empty() && !TBitmap::LoadFromBmp(bytes, glyph)) throw ELayoutError("Bitmap image is not valid");
    s.ReadGlyph(std::move(glyph));
  });
  c.Prop<TvelSkinForm>("Glyph.Resource", [](TvelSkinForm& s, const V& v, R&) {
    TBitmap glyph;
    if (!TryLoadBitmapResource(nullptr, R::String(v), glyph))
      throw ELayoutError("Bitmap resource " + R::String(v) + " not found");
    s.ReadGlyph(std::move(glyph));
  });
  c.Prop<TvelSkinForm>("TransparentColor", [](TvelSkinForm& s, const V& v, R&) { s.SetTransparentColor(R::Color(v)); });
  c.Prop<TvelSkinForm>("OnRegionChanged", [](TvelSkinForm& s, const V& v, R& r) {
    s.OnRegionChanged = r.Method<TNotifyEvent>(v);
  });
  c.Prop<TvelSkinForm>("OnPaint", [](TvelSkinForm& s, const V& v, R& r) { s.OnPaint = r.Method<TNotifyEvent>(v); });
  done = true;
}

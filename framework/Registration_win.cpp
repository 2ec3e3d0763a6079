// The framework's classes and their stored properties, for the layout reader.
#include <mutex>

#include "framework/Canvas.h"
#include "framework/Forms.h"
#include "framework/Menus.h"
#include "framework/StdCtrls.h"
#include "framework/Timer.h"

namespace {
using R = TReader;
using V = TLayoutValue;

template <class T>
TBitmap BitmapFromBytes(const V& v) {
  TBitmap b;
  const auto& bytes = R::Binary(v);
  if (!bytes.empty() && !TBitmap::LoadFromBmp(bytes, b)) throw ELayoutError("Bitmap image is not valid");
  return b;
}

TBitmap BitmapFromResource(const V& v) {
  TBitmap b;
  if (!TryLoadBitmapResource(nullptr, R::String(v), b)) throw ELayoutError("Bitmap resource " + R::String(v) + " not found");
  return b;
}

// Properties that layouts may carry from the designer and that mean nothing at run time.
void Ignore(TComponentClass& c, std::initializer_list<const char*> names) {
  for (const char* n : names) c.Property(n, [](TComponent&, const V&, R&) {});
}

template <class E>
void Event(TComponentClass& c, const char* name, E TControl::*member) {
  c.Prop<TControl>(name, [member](TControl& t, const V& v, R& r) { t.*member = r.Method<E>(v); });
}

void RegisterControl() {
  auto& c = RegisterComponentClass("TControl", "TComponent");
  c.Prop<TControl>("Left", [](TControl& t, const V& v, R&) { t.SetLeft(R::IntRange(v, -32768, 32767)); });
  c.Prop<TControl>("Top", [](TControl& t, const V& v, R&) { t.SetTop(R::IntRange(v, -32768, 32767)); });
  c.Prop<TControl>("Width", [](TControl& t, const V& v, R&) { t.SetWidth(R::IntRange(v, 0, 32767)); });
  c.Prop<TControl>("Height", [](TControl& t, const V& v, R&) { t.SetHeight(R::IntRange(v, 0, 32767)); });
  c.Prop<TControl>("Visible", [](TControl& t, const V& v, R&) { t.SetVisible(R::Bool(v)); });
  c.Prop<TControl>("Enabled", [](TControl& t, const V& v, R&) { t.SetEnabled(R::Bool(v)); });
  c.Prop<TControl>("Caption", [](TControl& t, const V& v, R&) { t.SetText(R::String(v)); });
  c.Prop<TControl>("Text", [](TControl& t, const V& v, R&) { t.SetText(R::String(v)); });
  c.Prop<TControl>("Color", [](TControl& t, const V& v, R&) { t.SetColor(R::Color(v)); });
  c.Prop<TControl>("ParentColor", [](TControl& t, const V& v, R&) { t.SetParentColor(R::Bool(v)); });
  c.Prop<TControl>("ParentFont", [](TControl& t, const V& v, R&) { t.SetParentFont(R::Bool(v)); });
  c.Prop<TControl>("Font.Name", [](TControl& t, const V& v, R&) { t.Font().SetName(R::String(v)); });
  c.Prop<TControl>("Font.Height", [](TControl& t, const V& v, R&) { t.Font().SetHeight(R::IntRange(v, -1000, 1000)); });
  c.Prop<TControl>("Font.Size", [](TControl& t, const V& v, R&) { t.Font().SetSize(R::IntRange(v, -1000, 1000)); });
  c.Prop<TControl>("Font.Color", [](TControl& t, const V& v, R&) { t.Font().SetColor(R::Color(v)); });
  c.Prop<TControl>("Font.Charset", [](TControl& t, const V& v, R&) {
    t.Font().SetCharset(v.kind == V::Ident ? R::Enum<int>(v, {{"DEFAULT_CHARSET", 1},
                                                               {"ANSI_CHARSET", 0},
                                                               {"GB2312_CHARSET", 134},
                                                               {"SYMBOL_CHARSET", 2}})
                                           : R::IntRange(v, 0, 255));
  });
  c.Prop<TControl>("Font.Style", [](TControl& t, const V& v, R&) {
    t.Font().SetStyle(R::SetBits(v, {{"fsBold", fsBold}, {"fsItalic", fsItalic}, {"fsUnderline", fsUnderline},
                                     {"fsStrikeOut", fsStrikeOut}}));
  });
  c.Prop<TControl>("Cursor", [](TControl& t, const V& v, R&) {
    t.SetCursor(v.kind == V::Integer ? R::IntRange(v, -32768, 32767)
                                     : R::Enum<TCursor>(v, {{"crDefault", crDefault}, {"crArrow", crArrow},
                                                            {"crCross", crCross}, {"crIBeam", crIBeam},
                                                            {"crSizeAll", crSizeAll}, {"crSizeNS", crSizeNS},
                                                            {"crSizeWE", crSizeWE}, {"crUpArrow", crUpArrow},
                                                            {"crHourGlass", crHourGlass}, {"crNo", crNo},
                                                            {"crHandPoint", crHandPoint}}));
  });
  c.Prop<TControl>("Hint", [](TControl& t, const V& v, R&) { t.SetHint(R::String(v)); });
  c.Prop<TControl>("ShowHint", [](TControl& t, const V& v, R&) { t.SetShowHint(R::Bool(v)); });
  c.Prop<TControl>("PopupMenu", [](TControl& t, const V& v, R& r) {
    r.ComponentRef(v, [&t](TComponent* m) { t.SetPopupMenu(dynamic_cast<TPopupMenu*>(m)); });
  });
  c.Prop<TControl>("Align", [](TControl& t, const V& v, R&) {
    t.SetAlign(R::Enum<TAlign>(v, {{"alNone", alNone}, {"alTop", alTop}, {"alBottom", alBottom},
                                   {"alLeft", alLeft}, {"alRight", alRight}, {"alClient", alClient}}));
  });
  Event(c, "OnClick", &TControl::OnClick);
  Event(c, "OnDblClick", &TControl::OnDblClick);
  Event(c, "OnMouseEnter", &TControl::OnMouseEnter);
  Event(c, "OnMouseLeave", &TControl::OnMouseLeave);
  Event(c, "OnResize", &TControl::OnResize);
  Event(c, "OnMouseDown", &TControl::OnMouseDown);
  Event(c, "OnMouseUp", &TControl::OnMouseUp);
  Event(c, "OnMouseMove", &TControl::OnMouseMove);
  Ignore(c, {"ParentShowHint", "ParentCtl3D", "Ctl3D", "Anchors", "ParentBiDiMode", "BiDiMode", "DragCursor",
             "DragKind", "DragMode", "Constraints.MinWidth", "Constraints.MinHeight", "Constraints.MaxWidth",
             "Constraints.MaxHeight", "HelpContext", "ExplicitLeft", "ExplicitTop", "ExplicitWidth",
             "ExplicitHeight"});
  RegisterComponentClass("TGraphicControl", "TControl");

  auto& w = RegisterComponentClass("TWinControl", "TControl");
  w.Prop<TWinControl>("TabStop", [](TWinControl& t, const V& v, R&) { t.SetTabStop(R::Bool(v)); });
  w.Prop<TWinControl>("TabOrder", [](TWinControl& t, const V& v, R&) { t.SetTabOrder(R::IntRange(v, 0, 65535)); });
  w.Prop<TWinControl>("OnEnter", [](TWinControl& t, const V& v, R& r) { t.OnEnter = r.Method<TNotifyEvent>(v); });
  w.Prop<TWinControl>("OnExit", [](TWinControl& t, const V& v, R& r) { t.OnExit = r.Method<TNotifyEvent>(v); });
  w.Prop<TWinControl>("OnKeyDown", [](TWinControl& t, const V& v, R& r) { t.OnKeyDown = r.Method<TKeyEvent>(v); });
  Ignore(w, {"ImeMode", "ImeName"});
  RegisterComponentClass("TCustomControl", "TWinControl");
}

void RegisterForm() {
  auto& c = RegisterComponentClass("TForm", "TCustomControl");
  c.Prop<TForm>("ClientWidth", [](TForm& f, const V& v, R&) { f.SetClientWidth(R::IntRange(v, 0, 32767)); });
  c.Prop<TForm>("ClientHeight", [](TForm& f, const V& v, R&) { f.SetClientHeight(R::IntRange(v, 0, 32767)); });
  c.Prop<TForm>("BorderStyle", [](TForm& f, const V& v, R&) {
    f.SetBorderStyle(R::Enum<TFormBorderStyle>(v, {{"bsNone", bsNone}, {"bsSingle", bsSingle},
                                                   {"bsSizeable", bsSizeable}, {"bsDialog", bsDialog},
                                                   {"bsToolWindow", bsToolWindow}, {"bsSizeToolWin", bsSizeToolWin}}));
  });
  c.Prop<TForm>("BorderIcons", [](TForm& f, const V& v, R&) {
    f.SetBorderIcons(R::SetBits(v, {{"biSystemMenu", biSystemMenu}, {"biMinimize", biMinimize},
                                    {"biMaximize", biMaximize}, {"biHelp", biHelp}}));
  });
  c.Prop<TForm>("Position", [](TForm& f, const V& v, R&) {
    f.SetPosition(R::Enum<TPosition>(v, {{"poDesigned", poDesigned}, {"poDefault", poDefault},
                                         {"poDefaultPosOnly", poDefaultPosOnly}, {"poDefaultSizeOnly", poDefaultSizeOnly},
                                         {"poScreenCenter", poScreenCenter}, {"poDesktopCenter", poDesktopCenter},
                                         {"poMainFormCenter", poMainFormCenter}, {"poOwnerFormCenter", poOwnerFormCenter}}));
  });
  c.Prop<TForm>("Menu", [](TForm& f, const V& v, R& r) {
    r.ComponentRef(v, [&f](TComponent* m) { f.SetMenu(dynamic_cast<TMainMenu*>(m)); });
  });
  c.Prop<TForm>("ActiveControl", [](TForm& f, const V& v, R& r) {
    r.ComponentRef(v, [&f](TComponent* target) { f.SetActiveControl(dynamic_cast<TWinControl*>(target)); });
  });
  auto event = [&c](const char* name, TNotifyEvent TForm::*member) {
    c.Prop<TForm>(name, [member](TForm& f, const V& v, R& r) { f.*member = r.Method<TNotifyEvent>(v); });
  };
  event("OnCreate", &TForm::OnCreate);
  event("OnDestroy", &TForm::OnDestroy);
  event("OnShow", &TForm::OnShow);
  event("OnHide", &TForm::OnHide);
  event("OnActivate", &TForm::OnActivate);
  event("OnDeactivate", &TForm::OnDeactivate);
  event("OnPaint", &TForm::OnPaint);
  c.Prop<TForm>("OnClose", [](TForm& f, const V& v, R& r) { f.OnClose = r.Method<TCloseEvent>(v); });
  c.Prop<TForm>("OnCloseQuery", [](TForm& f, const V& v, R& r) { f.OnCloseQuery = r.Method<TCloseQueryEvent>(v); });
  Ignore(c, {"PixelsPerInch", "TextHeight", "OldCreateOrder", "Scaled", "KeyPreview", "FormStyle", "WindowState",
             "AutoScroll", "Icon.Data", "DesignSize"});
}

void RegisterStandard() {
  auto& label = RegisterComponentClass<TLabel>("TLabel", "TGraphicControl");
  label.Prop<TLabel>("AutoSize", [](TLabel& t, const V& v, R&) { t.SetAutoSize(R::Bool(v)); });
  label.Prop<TLabel>("Transparent", [](TLabel& t, const V& v, R&) { t.SetTransparent(R::Bool(v)); });
  label.Prop<TLabel>("WordWrap", [](TLabel& t, const V& v, R&) { t.SetWordWrap(R::Bool(v)); });
  label.Prop<TLabel>("ShowAccelChar", [](TLabel& t, const V& v, R&) { t.SetShowAccelChar(R::Bool(v)); });
  label.Prop<TLabel>("Alignment", [](TLabel& t, const V& v, R&) {
    t.SetAlignment(R::Enum<TAlignment>(v, {{"taLeftJustify", taLeftJustify}, {"taRightJustify", taRightJustify},
                                           {"taCenter", taCenter}}));
  });
  label.Prop<TLabel>("Layout", [](TLabel& t, const V& v, R&) {
    t.SetLayout(R::Enum<TTextLayout>(v, {{"tlTop", tlTop}, {"tlCenter", tlCenter}, {"tlBottom", tlBottom}}));
  });
  label.Prop<TLabel>("FocusControl", [](TLabel& t, const V& v, R& r) {
    r.ComponentRef(v, [&t](TComponent* c) { t.FocusControl = dynamic_cast<TWinControl*>(c); });
  });

  auto& bevel = RegisterComponentClass<TBevel>("TBevel", "TGraphicControl");
  bevel.Prop<TBevel>("Shape", [](TBevel& t, const V& v, R&) {
    t.SetShape(R::Enum<TBevelShape>(v, {{"bsBox", bsBox}, {"bsFrame", bsFrame}, {"bsTopLine", bsTopLine},
                                        {"bsBottomLine", bsBottomLine}, {"bsLeftLine", bsLeftLine},
                                        {"bsRightLine", bsRightLine}, {"bsSpacer", bsSpacer}}));
  });
  bevel.Prop<TBevel>("Style", [](TBevel& t, const V& v, R&) {
    t.SetStyle(R::Enum<TBevelStyle>(v, {{"bsLowered", bsLowered}, {"bsRaised", bsRaised}}));
  });

  auto& image = RegisterComponentClass<TImage>("TImage", "TGraphicControl");
  image.Prop<TImage>("Picture.Data", [](TImage& t, const V& v, R&) { t.SetPicture(BitmapFromBytes<TImage>(v)); });
  image.Prop<TImage>("Picture.Resource", [](TImage& t, const V& v, R&) { t.SetPicture(BitmapFromResource(v)); });
  image.Prop<TImage>("Stretch", [](TImage& t, const V& v, R&) { t.Stretch = R::Bool(v); });
  image.Prop<TImage>("Center", [](TImage& t, const V& v, R&) { t.Center = R::Bool(v); });
  image.Prop<TImage>("Transparent", [](TImage& t, const V& v, R&) { t.Transparent = R::Bool(v); });
  image.Prop<TImage>("AutoSize", [](TImage& t, const V& v, R&) { t.AutoSize = R::Bool(v); });

  auto& speed = RegisterComponentClass<TSpeedButton>("TSpeedButton", "TGraphicControl");
  speed.Prop<TSpeedButton>("Glyph.Data", [](TSpeedButton& t, const V& v, R&) { t.SetGlyph(BitmapFromBytes<TSpeedButton>(v)); });
  speed.Prop<TSpeedButton>("Glyph.Resource", [](TSpeedButton& t, const V& v, R&) { t.SetGlyph(BitmapFromResource(v)); });
  speed.Prop<TSpeedButton>("NumGlyphs", [](TSpeedButton& t, const V& v, R&) { t.SetNumGlyphs(R::IntRange(v, 1, 4)); });
  speed.Prop<TSpeedButton>("Flat", [](TSpeedButton& t, const V& v, R&) { t.SetFlat(R::Bool(v)); });

  auto& edit = RegisterComponentClass<TEdit>("TEdit", "TWinControl");
  edit.Prop<TEdit>("ReadOnly", [](TEdit& t, const V& v, R&) { t.SetReadOnly(R::Bool(v)); });
  edit.Prop<TEdit>("MaxLength", [](TEdit& t, const V& v, R&) { t.SetMaxLength(R::IntRange(v, 0, 0x7FFFFFFE)); });
  edit.Prop<TEdit>("Ctl3D", [](TEdit& t, const V& v, R&) { t.Ctl3D = R::Bool(v); });
  edit.Prop<TEdit>("BorderStyle", [](TEdit& t, const V& v, R&) {
    t.SetBorderStyle(R::Enum<TBorderStyle>(v, {{"bsNone", bsNoBorder}, {"bsSingle", bsSingleBorder}}));
  });
  edit.Prop<TEdit>("OnChange", [](TEdit& t, const V& v, R& r) { t.OnChange = r.Method<TNotifyEvent>(v); });

  auto& memo = RegisterComponentClass<TMemo>("TMemo", "TEdit");
  memo.Prop<TMemo>("Lines.Strings", [](TMemo& t, const V& v, R&) { t.SetLines(R::Strings(v)); });
  memo.Prop<TMemo>("WordWrap", [](TMemo& t, const V& v, R&) { t.SetWordWrap(R::Bool(v)); });
  memo.Prop<TMemo>("ScrollBars", [](TMemo& t, const V& v, R&) {
    t.SetScrollBars(R::Enum<TScrollStyle>(v, {{"ssNone", ssNone}, {"ssHorizontal", ssHorizontal},
                                              {"ssVertical", ssVertical}, {"ssBoth", ssBoth}}));
  });

  auto& button = RegisterComponentClass<TButton>("TButton", "TWinControl");
  button.Prop<TButton>("Default", [](TButton& t, const V& v, R&) { t.SetDefault(R::Bool(v)); });
  button.Prop<TButton>("Cancel", [](TButton& t, const V& v, R&) { t.Cancel = R::Bool(v); });
  button.Prop<TButton>("ModalResult", [](TButton& t, const V& v, R&) { t.ModalResult = R::IntRange(v, 0, 1000); });

  auto& check = RegisterComponentClass<TCheckBox>("TCheckBox", "TWinControl");
  check.Prop<TCheckBox>("Checked", [](TCheckBox& t, const V& v, R&) { t.SetChecked(R::Bool(v)); });
  check.Prop<TCheckBox>("State", [](TCheckBox& t, const V& v, R&) {
    t.SetChecked(R::Enum<bool>(v, {{"cbUnchecked", false}, {"cbChecked", true}, {"cbGrayed", false}}));
  });

  auto& progress = RegisterComponentClass<TProgressBar>("TProgressBar", "TWinControl");
  progress.Prop<TProgressBar>("Min", [](TProgressBar& t, const V& v, R&) { t.SetMin(R::IntRange(v, INT32_MIN, INT32_MAX)); });
  progress.Prop<TProgressBar>("Max", [](TProgressBar& t, const V& v, R&) { t.SetMax(R::IntRange(v, INT32_MIN, INT32_MAX)); });
  progress.Prop<TProgressBar>("Position", [](TProgressBar& t, const V& v, R&) { t.SetPosition(R::IntRange(v, INT32_MIN, INT32_MAX)); });
  progress.Prop<TProgressBar>("Smooth", [](TProgressBar& t, const V& v, R&) { t.SetSmooth(R::Bool(v)); });

  auto& pages = RegisterComponentClass<TPageControl>("TPageControl", "TCustomControl");
  pages.Prop<TPageControl>("ActivePage", [](TPageControl& t, const V& v, R& r) {
    r.ComponentRef(v, [&t](TComponent* c) { t.SetActivePage(dynamic_cast<TTabSheet*>(c)); });
  });
  pages.Prop<TPageControl>("ActivePageIndex", [](TPageControl& t, const V& v, R& r) {
    // Pages are read after this property; the index is applied once they exist.
    int index = R::IntRange(v, -1, 65535);
    r.ComponentRef(TLayoutValue{TLayoutValue::Ident, 0, 0, t.Name()}, [&t, index](TComponent*) { t.SetActivePageIndex(index); });
  });
  pages.Prop<TPageControl>("Style", [](TPageControl& t, const V& v, R&) {
    t.SetStyle(R::Enum<TTabStyle>(v, {{"tsTabs", tsTabs}, {"tsButtons", tsButtons}, {"tsFlatButtons", tsFlatButtons}}));
  });
  pages.Prop<TPageControl>("OnChange", [](TPageControl& t, const V& v, R& r) { t.OnChange = r.Method<TNotifyEvent>(v); });

  auto& timer = RegisterComponentClass<TTimer>("TTimer", "TComponent");
  timer.Prop<TTimer>("Enabled", [](TTimer& t, const V& v, R&) { t.SetEnabled(R::Bool(v)); });
  timer.Prop<TTimer>("Interval", [](TTimer& t, const V& v, R&) { t.SetInterval(static_cast<unsigned>(R::IntRange(v, 0, 0x7FFFFFFF))); });
  timer.Prop<TTimer>("OnTimer", [](TTimer& t, const V& v, R& r) { t.OnTimer = r.Method<TNotifyEvent>(v); });

  auto& sheet = RegisterComponentClass<TTabSheet>("TTabSheet", "TCustomControl");
  sheet.Prop<TTabSheet>("TabVisible", [](TTabSheet& t, const V& v, R&) { t.SetTabVisible(R::Bool(v)); });
  sheet.Prop<TTabSheet>("PageIndex", [](TTabSheet& t, const V& v, R&) { t.SetPageIndex(R::IntRange(v, 0, 65535)); });
  sheet.Prop<TTabSheet>("PageControl", [](TTabSheet& t, const V& v, R& r) {
    r.ComponentRef(v, [&t](TComponent* c) { t.SetPageControl(dynamic_cast<TPageControl*>(c)); });
  });
  sheet.Prop<TTabSheet>("OnShow", [](TTabSheet& t, const V& v, R& r) { t.OnShow = r.Method<TNotifyEvent>(v); });
  sheet.Prop<TTabSheet>("OnHide", [](TTabSheet& t, const V& v, R& r) { t.OnHide = r.Method<TNotifyEvent>(v); });
}
}  // namespace

void RegisterFrameworkClasses() {
  static std::once_flag once;
  std::call_once(once, [] {
    RegisterMenuClasses();
    RegisterControl();
    RegisterForm();
    RegisterStandard();
  });
}

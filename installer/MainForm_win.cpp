#include "installer/MainForm.h"

#include "framework/Application.h"
#include "framework/Dialogs.h"
#include "framework/Exceptions.h"
#include "framework/Text.h"
#include "installer/AuxActions.h"
#include "installer/Pages.h"
#include "installer/Platform_win.h"
#include "installer/SetupData.h"
#include "installer/Startup.h"
#include "installer/WizardArt.h"
#include "skin/VELButton.h"
#include "skin/VELImagePanel.h"
#include "skin/VELMgr.h"
#include "skin/VELSkinForm.h"

TMainForm::TMainForm(TComponent* owner, std::unique_ptr<Platform> platform)
    : TForm(owner), platform_(platform ? std::move(platform) : std::make_unique<Win32Platform>()) {
  AddMethod("FormCreate", TNotifyEvent([this](TComponent* s) { FormCreate(s); }));
  AddMethod("FormDestroy", TNotifyEvent([this](TComponent* s) { FormDestroy(s); }));
  AddMethod<TCloseQueryEvent>("FormCloseQuery", TCloseQueryEvent([this](TComponent* s, bool& can) { FormCloseQuery(s, can); }));
  AddMethod("Sheet0Show", TNotifyEvent([this](TComponent* s) { Sheet0Show(s); }));
  AddMethod("Sheet1Show", TNotifyEvent([this](TComponent* s) { Sheet1Show(s); }));
  AddMethod("Sheet2Show", TNotifyEvent([this](TComponent* s) { Sheet2Show(s); }));
  AddMethod("Sheet3Show", TNotifyEvent([this](TComponent* s) { Sheet3Show(s); }));
  AddMethod("Sheet4Show", TNotifyEvent([this](TComponent* s) { Sheet4Show(s); }));
  AddMethod("Sheet5Show", TNotifyEvent([this](TComponent* s) { Sheet5Show(s); }));
  AddMethod("velButton1Click", TNotifyEvent([this](TComponent* s) { velButton1Click(s); }));
  AddMethod("velButton2Click", TNotifyEvent([this](TComponent* s) { velButton2Click(s); }));
  AddMethod("velButton3Click", TNotifyEvent([this](TComponent* s) { velButton3Click(s); }));
  AddMethod("velButton4Click", TNotifyEvent([this](TComponent* s) { velButton4Click(s); }));
  AddMethod("SpeedButton1Click", TNotifyEvent([this](TComponent* s) { SpeedButton1Click(s); }));
  AddMethod("WebSiteLbClick", TNotifyEvent([this](TComponent* s) { WebSiteLbClick(s); }));
  AddMethod("Button1Click", TNotifyEvent([this](TComponent* s) { Button1Click(s); }));
  AddMethod("Button2Click", TNotifyEvent([this](TComponent* s) { Button2Click(s); }));
  AddMethod("ButtonUClick", TNotifyEvent([this](TComponent* s) { ButtonUClick(s); }));
  AddMethod("BPingClick", TNotifyEvent([this](TComponent* s) { BPingClick(s); }));

  BindField("velPanel1", velPanel1);
  BindField("velButton1", velButton1);
  BindField("velButton2", velButton2);
  BindField("velButton3", velButton3);
  BindField("velButton4", velButton4);
  BindField("Label8", Label8);
  BindField("Label12", Label12);
  BindField("PageCtl", PageCtl);
  BindField("NameLb", NameLb);
  BindField("VerLb", VerLb);
  BindField("DateLb", DateLb);
  BindField("ClassLb", ClassLb);
  BindField("IntroLb", IntroLb);
  BindField("WebSiteLb", WebSiteLb);
  BindField("ProtocolMM", ProtocolMM);
  BindField("FolderEd", FolderEd);
  BindField("SpeedButton1", SpeedButton1);
  BindField("LabelPF", LabelPF);
  BindField("FolderLb", FolderLb);
  BindField("WorkLb", WorkLb);
  BindField("FNameLb", FNameLb);
  BindField("CopyProgress", CopyProgress);
  BindField("Label6", Label6);
  BindField("Image1", Image1);
  BindField("StartProgramCb", StartProgramCb);

  // The drives, the staged record and the registry are read on one worker, and the pack is
  // inflated and summed on another, while the form is built from its layout; the start-up
  // collects each result where it would have produced it.
  probe_.Start(*platform_);
  state_.PackCheck = std::make_unique<PackVerification>();
  state_.PackCheck->Start(*platform_);

  RegisterFrameworkClasses();
  RegisterSkinFormClasses();
  RegisterImagePanelClasses();
  RegisterVelButtonClasses();
  RegisterVelFileThemeClass();
  CreateFromLayoutResource(kMainFormLayout);
}

TMainForm::~TMainForm() = default;

template <class Fn>
void TMainForm::Guarded(Fn fn) {
  try {
    fn();
  } catch (...) {
    Application->HandleException();
  }
}

LRESULT TMainForm::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  const auto* query = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
  if (msg != WM_COPYDATA || !query || query->dwData != kControlQuery) return TForm::WndProc(msg, wParam, lParam);
  if (!query->lpData || !query->cbData || !IsWindow(reinterpret_cast<HWND>(wParam))) return FALSE;
  std::string name(static_cast<const char*>(query->lpData), query->cbData);
  auto* control = dynamic_cast<TControl*>(FindComponent(name));
  if (!control) return FALSE;
  std::wstring answer = std::to_wstring(control->Left()) + L"," + std::to_wstring(control->Top()) + L"," +
                        std::to_wstring(control->Width()) + L"," + std::to_wstring(control->Height()) + L"," +
                        (control->Visible() ? L"1" : L"0") + L"\n" + GbkToWide(control->Caption());
  COPYDATASTRUCT reply{kControlQuery, static_cast<DWORD>(answer.size() * sizeof(wchar_t)), answer.data()};
  SendMessageW(reinterpret_cast<HWND>(wParam), WM_COPYDATA, reinterpret_cast<WPARAM>(Handle()),
               reinterpret_cast<LPARAM>(&reply));
  return TRUE;
}

// --- start-up and shutdown ---

void TMainForm::FormCreate(TComponent*) {
  SpeedButton1->SetGlyph(FolderGlyph());
  Image1->SetPicture(FinishPicture());
  state_.LabelPFCaption = LabelPF->Caption();
  // The windows are made, still hidden, while the worker verifies the pack; showing the form
  // would otherwise make them after the wait.
  StartupResult r = ::FormCreate(*platform_, state_, [this] { HandleNeeded(); }, &probe_);
  LabelPF->SetCaption(state_.LabelPFCaption);
  if (!state_.ApplicationTitle.empty()) Application->SetTitle(state_.ApplicationTitle);
  switch (r.outcome) {
    case StartupOutcome::Ready:
      PageCtl->SetActivePageIndex(state_.PageIndex);
      break;
    case StartupOutcome::Failed:
      // Without a record and a pack there is nothing to install: report, then end.
      ShowErrorBox(r.errorText);
      Application->Terminate();
      break;
    case StartupOutcome::DeclinedOverwrite:
    case StartupOutcome::DeclinedPack:
      Application->Terminate();
      break;
  }
}

void TMainForm::FormDestroy(TComponent*) { state_.PackCheck.reset(); }

void TMainForm::FormCloseQuery(TComponent*, bool& canClose) {
  canClose = false;
  Guarded([&] { canClose = ::CloseQuery(*platform_, state_, *this); });
}

// --- pages ---

void TMainForm::ApplyPageLook(int page) {
  PageLook look = PageLookFor(page, state_.Config);
  Label8->SetCaption(look.title);
  Label12->SetCaption(look.subtitle);
  if (look.back != ButtonState::Unchanged) velButton1->SetVisible(look.back == ButtonState::Shown);
  velButton2->SetVisible(look.nextVisible);
  velButton3->SetCaption(look.cancelCaption);
  velButton3->SetEnabled(look.cancelEnabled);
}

void TMainForm::Sheet0Show(TComponent*) {
  const SetupConfigRecord& r = state_.Config.Record();
  NameLb->SetCaption(r.ProductName.Text());
  VerLb->SetCaption(r.Version.Text());
  DateLb->SetCaption(ReleaseDateText(r.ReleaseDate.Text()));
  ClassLb->SetCaption(r.Category.Text());
  IntroLb->SetCaption(r.Description.Text());
  IntroLb->SetBounds(IntroLb->Left(), IntroLb->Top(), 245, 80);
  WebSiteLb->SetCaption(r.WebSite.Text());
  SetCaption(WizardCaption(state_.Config));
  state_.ApplicationTitle = r.ProductName.Text() + kTitleSuffix;
  Application->SetTitle(state_.ApplicationTitle);
  ApplyPageLook(0);
}

void TMainForm::Sheet1Show(TComponent*) {
  Guarded([&] {
    std::span<const uint8_t> text = platform_->Resource(kLicenceResource);
    ProtocolMM->SetLines(LicenceLines({reinterpret_cast<const char*>(text.data()), text.size()}));
  });
  ApplyPageLook(1);
}

void TMainForm::Sheet2Show(TComponent*) {
  FolderEd->SetText(state_.Config.TargetFolder());
  ApplyPageLook(2);
}

void TMainForm::Sheet3Show(TComponent*) {
  FolderLb->SetCaption(state_.Config.TargetFolder());
  FolderLb->SetWidth(200);
  ApplyPageLook(3);
}

void TMainForm::Sheet4Show(TComponent*) { ApplyPageLook(4); }

void TMainForm::Sheet5Show(TComponent*) {
  Label6->SetCaption(FinishHint(state_.Config));
  ApplyPageLook(5);
}

// --- buttons ---

void TMainForm::velButton1Click(TComponent*) { BackClick(state_, *this); }

void TMainForm::velButton2Click(TComponent*) {
  // An error that ends the installation run early leaves the wizard on the copying page.
  Guarded([&] { NextClick(*platform_, state_, *this); });
}

void TMainForm::velButton3Click(TComponent*) {
  Guarded([&] { CancelClick(*platform_, state_, *this); });
}

void TMainForm::velButton4Click(TComponent*) {
  Guarded([&] { AgreeClick(*platform_, state_, *this); });
}

void TMainForm::SpeedButton1Click(TComponent*) {
  Guarded([&] { BrowseClick(*platform_, state_, *this); });
}

void TMainForm::WebSiteLbClick(TComponent*) { ShowAuthorWebSite(*platform_, state_.Config); }
void TMainForm::Button1Click(TComponent*) { ::Button1Click(*platform_); }
void TMainForm::Button2Click(TComponent*) { ::Button2Click(*platform_); }
void TMainForm::ButtonUClick(TComponent*) {
  ::ButtonUClick(*platform_, state_);
  LabelPF->SetCaption(state_.LabelPFCaption);
}
void TMainForm::BPingClick(TComponent*) { ::BPingClick(*platform_, state_.Config); }

// --- what the decisions ask of the form ---

void TMainForm::ShowPage(int index) { PageCtl->SetActivePageIndex(index); }

void TMainForm::RepaintBeforeRun() {
  PageCtl->Repaint();
  velPanel1->Repaint();
  Label8->Repaint();
}

std::string TMainForm::FolderText() { return FolderEd->Text(); }
void TMainForm::SetFolderText(const std::string& text) { FolderEd->SetText(text); }
void TMainForm::SetAgreeVisible(bool visible) { velButton4->SetVisible(visible); }
void TMainForm::MoveAgreeOutOfView() { velButton4->SetTop(-32); }
bool TMainForm::StartProgramChecked() { return StartProgramCb->Checked(); }
void TMainForm::Terminate() { Application->Terminate(); }

void TMainForm::SetWorkLbCaption(const std::string& text) { WorkLb->SetCaption(text); }
void TMainForm::SetWorkLbWidth(int width) { WorkLb->SetWidth(width); }
void TMainForm::RepaintWorkLb() { WorkLb->Repaint(); }
void TMainForm::SetFNameLbCaption(const std::string& text) { FNameLb->SetCaption(text); }
void TMainForm::SetFNameLbWidth(int width) { FNameLb->SetWidth(width); }
void TMainForm::RepaintFNameLb() { FNameLb->Repaint(); }
void TMainForm::HideFNameLb() { FNameLb->Hide(); }
void TMainForm::SetCopyProgressPosition(int position) { CopyProgress->SetPosition(position); }

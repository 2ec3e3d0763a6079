// The wizard window: built from its stored layout, it holds the installer's state and
// turns clicks, page changes and close requests into the installer's decisions.
#pragma once
#include <memory>

#include "framework/Forms.h"
#include "framework/StdCtrls.h"
#include "installer/InstallRun.h"
#include "installer/MainFormState.h"
#include "installer/Platform.h"
#include "installer/Startup.h"
#include "installer/Wizard.h"

class TMainForm : public TForm, private WizardView, private CopyPageView {
 public:
  // platform: the services the decisions use; null for the real Win32 ones.
  explicit TMainForm(TComponent* owner, std::unique_ptr<Platform> platform = nullptr);
  ~TMainForm() override;
  const char* ClassName() const override { return "TMainForm"; }

  MainFormState& State() { return state_; }

 protected:
  // Also answers kControlQuery (below).
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

 public:

  // Event handlers named by the layout.
  void FormCreate(TComponent* sender);
  void FormDestroy(TComponent* sender);
  void FormCloseQuery(TComponent* sender, bool& canClose);
  void Sheet0Show(TComponent* sender);
  void Sheet1Show(TComponent* sender);
  void Sheet2Show(TComponent* sender);
  void Sheet3Show(TComponent* sender);
  void Sheet4Show(TComponent* sender);
  void Sheet5Show(TComponent* sender);
  void velButton1Click(TComponent* sender);  // Back
  void velButton2Click(TComponent* sender);  // Next
  void velButton3Click(TComponent* sender);  // Cancel / Finish
  void velButton4Click(TComponent* sender);  // Agree
  void SpeedButton1Click(TComponent* sender);
  void WebSiteLbClick(TComponent* sender);
  void Button1Click(TComponent* sender);
  void Button2Click(TComponent* sender);
  void ButtonUClick(TComponent* sender);
  void BPingClick(TComponent* sender);

 private:
  // WizardView
  void ShowPage(int index) override;
  void RepaintBeforeRun() override;
  std::string FolderText() override;
  void SetFolderText(const std::string& text) override;
  void SetAgreeVisible(bool visible) override;
  void MoveAgreeOutOfView() override;
  bool StartProgramChecked() override;
  CopyPageView& CopyPage() override { return *this; }
  void Terminate() override;
  // CopyPageView
  void SetWorkLbCaption(const std::string& text) override;
  void SetWorkLbWidth(int width) override;
  void RepaintWorkLb() override;
  void SetFNameLbCaption(const std::string& text) override;
  void SetFNameLbWidth(int width) override;
  void RepaintFNameLb() override;
  void HideFNameLb() override;
  void SetCopyProgressPosition(int position) override;

  void ApplyPageLook(int page);
  // Runs a decision; an error escaping it goes to the application's error box.
  template <class Fn>
  void Guarded(Fn fn);

  std::unique_ptr<Platform> platform_;
  MainFormState state_;
  // Declared after the state and the platform, so it is joined before they go.
  StartupProbe probe_;

  TControl* velPanel1 = nullptr;
  TControl* velButton1 = nullptr;
  TControl* velButton2 = nullptr;
  TControl* velButton3 = nullptr;
  TControl* velButton4 = nullptr;
  TLabel* Label8 = nullptr;
  TLabel* Label12 = nullptr;
  TPageControl* PageCtl = nullptr;
  TLabel* NameLb = nullptr;
  TLabel* VerLb = nullptr;
  TLabel* DateLb = nullptr;
  TLabel* ClassLb = nullptr;
  TLabel* IntroLb = nullptr;
  TLabel* WebSiteLb = nullptr;
  TMemo* ProtocolMM = nullptr;
  TEdit* FolderEd = nullptr;
  TSpeedButton* SpeedButton1 = nullptr;
  TLabel* LabelPF = nullptr;
  TLabel* FolderLb = nullptr;
  TLabel* WorkLb = nullptr;
  TLabel* FNameLb = nullptr;
  TProgressBar* CopyProgress = nullptr;
  TLabel* Label6 = nullptr;
  TImage* Image1 = nullptr;
  TCheckBox* StartProgramCb = nullptr;
};

// How tools outside the process read what a control of the form shows, windowless labels
// included: WM_COPYDATA to the form with this dwData, the control's name as the data
// (ASCII) and the asking window as wParam. The form answers with WM_COPYDATA to that window:
// UTF-16 "left,top,width,height,visible\n" followed by the caption, and returns TRUE; it
// returns FALSE for a name it does not know.
inline constexpr ULONG_PTR kControlQuery = 0x56584351;

// The layout resource the form is read from.
inline constexpr const char* kMainFormLayout = "TMAINFORM";

// Forms read from a stored layout: classes and properties, fields and handlers bound by
// name, the page control's page switching and its OnShow events.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include "framework/Application.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"

namespace {

const char* kLayout = R"(object WizardForm: TWizardForm
  BorderStyle = bsDialog
  Caption = '安装向导'
  ClientWidth = 400
  ClientHeight = 200
  Color = clWindow
  Font.Name = '宋体'
  Font.Height = -12
  Font.Charset = GB2312_CHARSET
  Position = poScreenCenter
  OnCreate = FormCreate
  object Title: TLabel
    Left = 16
    Top = 8
    Caption = '欢迎'
    Font.Style = [fsBold]
    Font.Color = 39423
    ParentFont = False
    Transparent = True
  end
  object Pages: TPageControl
    Left = 0
    Top = 30
    Width = 400
    Height = 130
    ActivePage = Sheet0
    Style = tsFlatButtons
    TabStop = False
    object Sheet0: TTabSheet
      TabVisible = False
      OnShow = Sheet0Show
      object Folder: TEdit
        Left = 10
        Top = 10
        Width = 200
        Height = 18
        Ctl3D = False
        Text = 'E:\KORVA-Y'
      end
    end
    object Sheet1: TTabSheet
      TabVisible = False
      OnShow = Sheet1Show
      object Licence: TMemo
        Left = 10
        Top = 10
        Width = 300
        Height = 80
        ReadOnly = True
        ScrollBars = ssVertical
        Lines.Strings = (
          '第一行'
          'second')
      end
      object Progress: TProgressBar
        Left = 10
        Top = 95
        Width = 300
        Height = 18
        Smooth = True
        Position = 40
      end
    end
    object Sheet2: TTabSheet
      TabVisible = False
      OnShow = Sheet2Show
      object Tutorial: TCheckBox
        Left = 10
        Top = 10
        Caption = '看看使用教程'
        Checked = True
        State = cbChecked
      end
    end
  end
  object Carrier: TButton
    Visible = False
    OnClick = CarrierClick
  end
  object Line: TBevel
    Top = 165
    Width = 400
    Height = 2
    Shape = bsTopLine
  end
end
)";

class TWizardForm : public TForm {
 public:
  explicit TWizardForm(TComponent* owner, const char* layout = kLayout) : TForm(owner) {
    AddMethod("FormCreate", [this](TComponent*) { log.push_back("create " + std::to_string(Loading())); });
    AddMethod("Sheet0Show", [this](TComponent*) { log.push_back("show 0"); });
    AddMethod("Sheet1Show", [this](TComponent*) { log.push_back("show 1"); });
    AddMethod("Sheet2Show", [this](TComponent*) { log.push_back("show 2"); });
    AddMethod("CarrierClick", [this](TComponent* sender) { log.push_back(sender == Carrier ? "carrier" : "?"); });
    BindField("Pages", Pages);
    BindField("Folder", Folder);
    BindField("Licence", Licence);
    BindField("Tutorial", Tutorial);
    BindField("Carrier", Carrier);
    BindField("Title", Title);
    BindField("Progress", Progress);
    CreateFromLayout(layout);
  }
  const char* ClassName() const override { return "TWizardForm"; }
  std::vector<std::string> log;
  TPageControl* Pages = nullptr;
  TEdit* Folder = nullptr;
  TMemo* Licence = nullptr;
  TCheckBox* Tutorial = nullptr;
  TButton* Carrier = nullptr;
  TLabel* Title = nullptr;
  TProgressBar* Progress = nullptr;
};

TEST(FormsFromLayouts, ControlsTakeTheirStoredProperties) {
  TWizardForm form(nullptr);
  EXPECT_EQ(form.log, (std::vector<std::string>{"create 0"}));  // after loading, once
  EXPECT_EQ(form.Name(), "WizardForm");
  EXPECT_EQ(form.Caption(), "安装向导");
  EXPECT_EQ(form.ClientWidth(), 400);
  EXPECT_EQ(form.Title->Font().Color(), 39423u);
  EXPECT_EQ(form.Title->Font().Style(), static_cast<TFontStyles>(fsBold));
  EXPECT_EQ(form.Folder->Font().Charset(), 134);  // from the form
  EXPECT_EQ(form.Folder->Text(), "E:\\KORVA-Y");
  EXPECT_EQ(form.Licence->Lines(), (std::vector<std::string>{"第一行", "second"}));
  EXPECT_TRUE(form.Tutorial->Checked());
  EXPECT_EQ(form.Progress->Position(), 40);
  EXPECT_EQ(form.Pages->PageCount(), 3);
  EXPECT_EQ(form.Pages->ActivePageIndex(), 0);
  EXPECT_FALSE(form.Carrier->Visible());
  form.Carrier->Click();  // hidden buttons still carry their action
  EXPECT_EQ(form.log.back(), "carrier");

  // The windows exist with what was stored.
  HWND edit = form.Folder->Handle();
  wchar_t buf[64];
  GetWindowTextW(edit, buf, 64);
  EXPECT_STREQ(buf, L"E:\\KORVA-Y");
  EXPECT_FALSE(GetWindowLongPtrW(edit, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);  // flat
  EXPECT_TRUE(GetWindowLongPtrW(form.Licence->Handle(), GWL_STYLE) & (ES_READONLY | WS_VSCROLL));
  EXPECT_EQ(SendMessageW(form.Progress->Handle(), PBM_GETPOS, 0, 0), 40);
  EXPECT_EQ(SendMessageW(form.Tutorial->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
  RECT client;
  GetClientRect(form.Handle(), &client);
  EXPECT_EQ(client.right, 400);
  EXPECT_EQ(client.bottom, 200);
}

TEST(FormsFromLayouts, PagesShowWhenTheyComeIntoView) {
  TWizardForm form(nullptr);
  form.log.clear();
  form.Pages->SetActivePageIndex(1);  // not shown yet: no event
  form.Pages->SetActivePageIndex(0);
  EXPECT_TRUE(form.log.empty());
  form.Show();
  EXPECT_EQ(form.log, (std::vector<std::string>{"show 0"}));
  form.Pages->SetActivePageIndex(2);
  form.Pages->SetActivePageIndex(2);
  form.Pages->SetActivePage(form.Pages->Pages(1));
  EXPECT_EQ(form.log, (std::vector<std::string>{"show 0", "show 2", "show 1"}));
  EXPECT_TRUE(IsWindowVisible(form.Licence->Handle()));
  EXPECT_FALSE(IsWindowVisible(form.Folder->Handle()));
  EXPECT_EQ(form.Pages->ActivePage()->Name(), "Sheet1");
}

TEST(FormsFromLayouts, ErrorsInLayoutsAndInOnCreate) {
  // A layout naming an unknown property fails with its line.
  try {
    TWizardForm form(nullptr, "object F: TWizardForm\n  Colour = clRed\nend\n");
    ADD_FAILURE();
  } catch (const ELayoutError& e) {
    EXPECT_NE(std::string(e.what()).find("Property Colour does not exist (line 2)"), std::string::npos) << e.what();
  }
  // A bound field the layout lacks is an error too.
  try {
    TWizardForm form(nullptr, "object F: TWizardForm\nend\n");
    ADD_FAILURE();
  } catch (const ELayoutError& e) {
    EXPECT_NE(std::string(e.what()).find("not found in the layout"), std::string::npos) << e.what();
  }
  // An error escaping OnCreate reaches the top-level handler; the form is still made.
  std::vector<std::string> shown;
  Application->OnException = [&](const std::string& text) { shown.push_back(text); };
  struct TFailing : TForm {
    explicit TFailing(TComponent* owner) : TForm(owner) {
      AddMethod("FormCreate", [](TComponent*) { throw Exception("Resource SETUPINI not found"); });
      CreateFromLayout("object F: TFailing\n  OnCreate = FormCreate\n  Caption = 'x'\nend\n");
    }
  } failing(nullptr);
  Application->OnException = nullptr;
  EXPECT_EQ(shown, (std::vector<std::string>{"Resource SETUPINI not found"}));
  EXPECT_EQ(failing.Caption(), "x");
}

// OnDestroy runs while the derived form is whole: a handler may use the form's own members,
// whether the form goes with its owner, with the application's forms or through Free.
TEST(FormsFromLayouts, OnDestroySeesTheWholeForm) {
  static std::vector<std::string> seen;
  struct TOwnForm : TForm {
    explicit TOwnForm(TComponent* owner) : TForm(owner), note(std::make_unique<std::string>("alive")) {
      AddMethod("FormDestroy", [this](TComponent*) { seen.push_back(note ? *note : "gone"); });
      CreateFromLayout("object F: TOwnForm\n  OnDestroy = FormDestroy\nend\n");
    }
    ~TOwnForm() override { note.reset(); }
    std::unique_ptr<std::string> note;
  };
  seen.clear();
  {
    TComponent owner(nullptr);
    new TOwnForm(&owner);
  }
  (new TOwnForm(nullptr))->Free();
  Application->CreateForm<TOwnForm>();
  Application->DestroyForms();
  EXPECT_EQ(seen, (std::vector<std::string>{"alive", "alive", "alive"}));
}

}  // namespace

// The skin gallery's form: looks applied to every themed control, skin files opened with a
// password prompt when they need one, glyphs and pictures made for the buttons and panels.
#include "skin/gallery/GalleryForm.h"

#include <windows.h>
// After windows.h: the lean Windows headers leave the file dialogs out.
#include <commdlg.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <vector>

#include "framework/Application.h"
#include "framework/Dialogs.h"
#include "framework/FileUtil.h"
#include "framework/Text.h"
#include "skin/VEL2SkinFormat.h"
#include "skin/VEL2SkinReader.h"
#include "skin/VELPopupMenu.h"
#include "skin/VELSkinForm.h"

namespace {
constexpr int kBuiltinLooks = 5;
constexpr int kFormColorItem = 15;      // built-in: form colour
constexpr int kFileThemeFormColor = 2;  // file theme: SKIN2_FORMCOLOR

std::string FileNameOf(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A 16 x 16 picture on the key colour: a blue diamond with a light centre.
TBitmap DiamondGlyph() {
  TBitmap b(16, 16);
  b.Fill(0xFF00FF);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      const int d = std::abs(x - 7) + std::abs(y - 7);
      if (d <= 7) b.SetPixel(x, y, d <= 3 ? 0xBFD9FF : d == 7 ? 0x1D4E9A : 0x3A78D6);
    }
  return b;
}

// A soft vertical gradient with a sun, stretched over a picture panel.
TBitmap LandscapePicture() {
  TBitmap b(64, 40);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 64; ++x) {
      uint32_t px = y < 26 ? MixPixel(0x6FA8E8, 0xDCEBFA, y / 26.0) : MixPixel(0x7DB65A, 0x4E8A34, (y - 26) / 14.0);
      if ((x - 46) * (x - 46) + (y - 12) * (y - 12) <= 36) px = 0xFFD54A;
      b.SetPixel(x, y, px);
    }
  return b;
}

// A small checked tile for the tiled picture panel.
TBitmap TilePicture() {
  TBitmap b(16, 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) b.SetPixel(x, y, ((x / 8) ^ (y / 8)) ? 0xE6EEF8 : 0xC9D8EE);
  return b;
}

// Three frames of the title bar's custom "stay on top" button, as large as the help button:
// a diamond on the key colour, lighter under the pointer and darker while pressed.
std::array<TBitmap, 3> PinPictures(int width, int height) {
  std::array<TBitmap, 3> frames;
  const uint32_t faces[3] = {0xDCE8F8, 0xFFFFFF, 0x9DB8E0};
  for (int f = 0; f < 3; ++f) {
    TBitmap b(std::max(width, 9), std::max(height, 9));
    b.Fill(0xFF00FF);
    const int cx = b.Width() / 2, cy = b.Height() / 2, r = std::min(cx, cy) - 2;
    for (int y = 0; y < b.Height(); ++y)
      for (int x = 0; x < b.Width(); ++x) {
        const int d = std::abs(x - cx) + std::abs(y - cy);
        if (d <= r) b.SetPixel(x, y, d == r ? 0x1D4E9A : faces[f]);
      }
    frames[f] = std::move(b);
  }
  return frames;
}

// ---- the password prompt: a dialog template built in memory, so no resource is needed

struct PasswordPrompt {
  std::wstring prompt, password;
};

constexpr int kPromptId = 100, kEditId = 101;

INT_PTR CALLBACK PasswordProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* state = reinterpret_cast<PasswordPrompt*>(GetWindowLongPtrW(dlg, DWLP_USER));
  switch (msg) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(dlg, DWLP_USER, lParam);
      SetDlgItemTextW(dlg, kPromptId, reinterpret_cast<PasswordPrompt*>(lParam)->prompt.c_str());
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        wchar_t text[256] = {};
        GetDlgItemTextW(dlg, kEditId, text, 256);
        state->password = text;
        EndDialog(dlg, IDOK);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dlg, IDCANCEL);
        return TRUE;
      }
      break;
    default:
      break;
  }
  return FALSE;
}

class DialogTemplate {
 public:
  DialogTemplate(const std::wstring& caption, short cx, short cy) {
    DLGTEMPLATE t{};
    t.style = DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    t.cx = cx;
    t.cy = cy;
    Add(&t, sizeof t);
    countAt_ = offsetof(DLGTEMPLATE, cdit) / 2;
    words_.push_back(0);  // no menu
    words_.push_back(0);  // the standard dialog class
    AddText(caption);
    words_.push_back(9);  // point size of the font
    AddText(L"宋体");
  }
  void Item(WORD cls, WORD id, DWORD style, short x, short y, short cx, short cy, const std::wstring& text) {
    if (words_.size() % 2) words_.push_back(0);  // items start on a DWORD
    DLGITEMTEMPLATE i{};
    i.style = style | WS_CHILD | WS_VISIBLE;
    i.x = x;
    i.y = y;
    i.cx = cx;
    i.cy = cy;
    i.id = id;
    Add(&i, sizeof i);
    words_.push_back(0xFFFF);
    words_.push_back(cls);
    AddText(text);
    words_.push_back(0);  // no creation data
    ++words_[countAt_];
  }
  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  void Add(const void* p, size_t bytes) {
    const auto* w = static_cast<const WORD*>(p);
    words_.insert(words_.end(), w, w + bytes / 2);
  }
  void AddText(const std::wstring& s) {
    words_.insert(words_.end(), s.begin(), s.end());
    words_.push_back(0);
  }
  std::vector<WORD> words_;
  size_t countAt_ = 0;
};

bool AskPassword(HWND owner, const std::string& fileName, std::string& password) {
  constexpr WORD kButton = 0x0080, kEdit = 0x0081, kStatic = 0x0082;
  DialogTemplate t(GbkToWide("输入密码"), 200, 74);
  t.Item(kStatic, kPromptId, SS_LEFT, 8, 8, 184, 20, L"");
  t.Item(kEdit, kEditId, ES_PASSWORD | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 8, 30, 184, 13, L"");
  t.Item(kButton, IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 88, 52, 50, 15, GbkToWide("确定"));
  t.Item(kButton, IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 142, 52, 50, 15, GbkToWide("取消"));
  PasswordPrompt state{GbkToWide("皮肤文件“" + fileName + "”有密码保护，请输入密码："), L""};
  const INT_PTR r = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), t.Get(), owner, PasswordProc,
                                            reinterpret_cast<LPARAM>(&state));
  if (r != IDOK) return false;
  password = WideToGbk(state.password);
  return true;
}

}  // namespace

TGalleryForm::TGalleryForm(TComponent* owner) : TForm(owner) {
  AddMethod("FormCreate", [this](TComponent* s) { FormCreate(s); });
  AddMethod("LookGroupClick", [this](TComponent* s) { LookGroupClick(s); });
  AddMethod("OpenBtClick", [this](TComponent* s) { OpenBtClick(s); });
  AddMethod("RepeatBtRepeat", [this](TComponent* s) { RepeatBtRepeat(s); });
  BindField("LookGroup", LookGroup);
  BindField("RepeatBt", RepeatBt);
  BindField("RepeatLb", RepeatLb);
  BindField("StatusLb", StatusLb);
  BindField("GlyphLeftBt", GlyphLeftBt);
  BindField("GlyphRightBt", GlyphRightBt);
  BindField("GlyphTopBt", GlyphTopBt);
  BindField("GlyphBottomBt", GlyphBottomBt);
  BindField("PicPanel1", PicPanel1);
  BindField("PicPanel2", PicPanel2);
  BindField("Theme", Theme);
  RegisterGalleryClasses();
  CreateFromLayoutResource(kGalleryLayout);
}

void TGalleryForm::FrameWindow() {
  RECT before;
  GetClientRect(Handle(), &before);
  std::vector<TControl*> controls;
  for (int i = 0; i < ControlCount(); ++i) controls.push_back(Controls(i));
  Frame = new TvelForm(this);
  Frame->SetName("Frame");
  Frame->SetMenu(dynamic_cast<TMainMenu*>(FindComponent("MainMenu")));
  Body = new TvelCustomPanel(this);
  Body->SetName("Body");
  Body->SetParent(Frame);
  Body->SetParentColor(true);
  Frame->SetFormPanel(Body);
  // Beside the four standard buttons: help, and a custom one that keeps the window on top.
  TvelTitleBar* bar = Frame->TitleBar();
  TvelTitleBarButton* help = bar->Buttons().Add();
  help->SetButtonType(velHelp);
  TvelTitleBarButton* pin = bar->Buttons().Add();
  std::array<TBitmap, 3> pins = PinPictures(help->PicNormal().Width(), help->PicNormal().Height());
  pin->PicNormal().Assign(std::move(pins[0]));
  pin->PicMouseOn().Assign(std::move(pins[1]));
  pin->PicMouseDown().Assign(std::move(pins[2]));
  pin->SetTransparent(true);
  bar->OnHelpBtnClick = [](TComponent*, int) {
    ShowMessage("皮肤控件库演示：“外观”一组切换全部控件与窗口框架的外观，"
                "“打开皮肤文件”载入任意 .ssk 皮肤文件。");
  };
  bar->OnCustomBtnsClick = [this](TComponent*, int) {
    const bool onTop = (GetWindowLongPtrW(Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    SetWindowPos(Handle(), onTop ? HWND_NOTOPMOST : HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  };
  // The controls keep their places on the panel; the window grows by the frame's bars.
  for (TControl* c : controls) c->SetParent(Body);
  Frame->Realign();
  RECT window, client;
  GetWindowRect(Handle(), &window);
  GetClientRect(Handle(), &client);
  int width = window.right - window.left + before.right - Body->Width();
  int height = window.bottom - window.top + before.bottom - Body->Height();
  SetBounds(Left() - (width - (window.right - window.left)) / 2, Top() - (height - (window.bottom - window.top)) / 2,
            width, height);
}

void TGalleryForm::FormCreate(TComponent*) {
  FrameWindow();
  const TBitmap glyph = DiamondGlyph();
  for (TvelButton* b : {GlyphLeftBt, GlyphRightBt, GlyphTopBt, GlyphBottomBt}) b->SetGlyph(glyph);
  PicPanel1->SetPictureMode(TvelPictureMode::Stretch);
  PicPanel1->Picture().Assign(LandscapePicture());
  PicPanel2->SetPictureMode(TvelPictureMode::Tile);
  PicPanel2->Picture().Assign(TilePicture());
  LookGroupClick(LookGroup);
}

void TGalleryForm::ApplyLook(TvelUIStyle style, TvelFileTheme* theme) {
  TvelUIStyle effective = style;
  TColor formColor = GetThemeColor(TvelUIStyle::DeepBlue, kFormColorItem);
  if (UseFileTheme(theme && theme->Ready(), style, effective)) {
    const int32_t c = theme->GetColor(kFileThemeFormColor);
    if (c != -1) formColor = static_cast<TColor>(c);
  } else {
    formColor = GetThemeColor(effective, kFormColorItem);
  }
  SetColor(formColor);
  // Containers pass the look on to their own children; setting it on every component of
  // the form as well reaches the controls inside plain containers.
  for (int i = 0; i < ComponentCount(); ++i)
    if (auto* t = dynamic_cast<IvelThemable*>(Components(i))) {
      t->SetFileTheme(theme);
      t->SetUIStyle(style);
    }
  if (HandleAllocated()) RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void TGalleryForm::LookGroupClick(TComponent*) {
  const int index = LookGroup->ItemIndex();
  if (index < 0) return;
  const std::string name = LookGroup->Items()[static_cast<size_t>(index)];
  if (index < kBuiltinLooks) {
    ApplyLook(static_cast<TvelUIStyle>(index + 1), nullptr);
    StatusLb->SetCaption("当前外观：" + name);
    return;
  }
  TvelFileTheme* theme = index == kBuiltinLooks ? Theme : openedTheme_;
  ApplyLook(TvelUIStyle::FromThemeFile, theme);
  StatusLb->SetCaption(theme && theme->Ready() ? "当前外观：皮肤文件 " + FileNameOf(theme->ThemeFile())
                                               : "皮肤文件未能载入，使用 DeepBlue");
}

void TGalleryForm::RepeatBtRepeat(TComponent*) {
  RepeatLb->SetCaption("连发次数：" + std::to_string(++repeats_));
}

std::string TGalleryForm::OpenSkin(const std::string& path, const std::function<bool(std::string&)>& askPassword) {
  const std::string name = FileNameOf(path);
  // The container is probed first: an encrypted one asks for the password, one that cannot
  // be read is reported as such instead of falling back without a word.
  const std::string probe = TempFolder() + "gallery-probe.sk2";
  const int extracted = ExtractZipEntry(path, skin2::kEntryName, probe, "", Tsk2SkinFileReader::kMaxDataSize);
  DeleteFileW(GbkToWide(probe).c_str());
  std::string password;
  if (extracted == 2) {
    if (!askPassword(password)) return "未输入密码，皮肤文件“" + name + "”没有打开。";
  } else if (extracted != 0) {
    return "无法读取皮肤文件“" + name + "”：文件不存在，或不是皮肤文件。";
  }
  auto* theme = new TvelFileTheme(this);
  theme->SetPassword(password);
  theme->SetThemeFile(path);
  if (!theme->Ready()) {
    delete theme;
    return extracted == 2 ? "密码不正确，皮肤文件“" + name + "”没有打开。"
                          : "无法读取皮肤文件“" + name + "”：皮肤数据已损坏。";
  }
  // The earlier file's theme goes; controls drawing from it fall back until the new look.
  delete openedTheme_;
  openedTheme_ = theme;
  std::vector<std::string> items = LookGroup->Items();
  items.resize(kBuiltinLooks + 2);
  items.back() = "皮肤文件 " + name;
  LookGroup->SetItems(items);
  // Opened over an earlier file the item is selected already and clicks nothing: the look,
  // which fell back when the earlier theme went, is applied here.
  if (LookGroup->ItemIndex() == kBuiltinLooks + 1)
    LookGroupClick(LookGroup);
  else
    SelectLook(kBuiltinLooks + 1);
  return "";
}

void TGalleryForm::OpenBtClick(TComponent*) {
  wchar_t file[MAX_PATH] = {};
  const std::wstring filter = GbkToWide("皮肤文件 (*.ssk)") + L'\0' + L"*.ssk" + L'\0' + GbkToWide("所有文件") + L'\0' +
                              L"*.*" + L'\0';
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = Handle();
  ofn.lpstrFilter = filter.c_str();
  ofn.lpstrFile = file;
  ofn.nMaxFile = MAX_PATH;
  ofn.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!GetOpenFileNameW(&ofn)) return;
  const std::string path = WideToGbk(file);
  const std::string message =
      OpenSkin(path, [this, &path](std::string& password) { return AskPassword(Handle(), FileNameOf(path), password); });
  if (!message.empty()) ShowMessage(message);
}

void RegisterGalleryClasses() {
  RegisterFrameworkClasses();
  RegisterImagePanelClasses();
  RegisterVelButtonClasses();
  RegisterVelRadioGroupClasses();
  RegisterVelFileThemeClass();
  RegisterSkinFormClasses();
  RegisterVelMenuClasses();
  RegisterVelFormClasses();
}

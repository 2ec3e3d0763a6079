// Full repaint of the skin gallery in each look against the same layout built from the
// system's own controls (button, static, check box, radio button, group box), painted in the
// same run. Under Wine (or on Windows), beside Blue.ssk:
//   gallery_bench.exe [repetitions]
// prints, per look, the medians of both and their ratio.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/Text.h"
#include "skin/gallery/GalleryForm.h"

namespace {

double Now() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// The system control standing in for a themed one, or nothing for a control not drawn.
struct Twin {
  const wchar_t* cls;
  DWORD style;
};
Twin TwinOf(TControl* c) {
  if (auto* b = dynamic_cast<TvelButton*>(c)) return {L"BUTTON", b->Default() ? DWORD(BS_DEFPUSHBUTTON) : DWORD(BS_PUSHBUTTON)};
  if (dynamic_cast<TvelRadioButton*>(c)) return {L"BUTTON", BS_AUTORADIOBUTTON};
  if (dynamic_cast<TvelCheckBox*>(c)) return {L"BUTTON", BS_AUTOCHECKBOX};
  if (dynamic_cast<TvelCustomGroupBox*>(c)) return {L"BUTTON", BS_GROUPBOX};
  if (dynamic_cast<TvelPanel*>(c) || dynamic_cast<TvelCustomPanel*>(c)) return {L"STATIC", SS_LEFT | WS_BORDER};
  if (dynamic_cast<TLabel*>(c)) return {L"STATIC", SS_LEFT};
  return {nullptr, 0};
}

// Creates the system twin of every control under parent, at its position in the window;
// containers first, so the controls they hold lie above them.
void BuildTwins(HWND window, TWinControl* parent, int dx, int dy, HFONT font) {
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* c = parent->Controls(i);
    const Twin t = TwinOf(c);
    if (!t.cls) continue;
    std::string text = c->Text();
    if (auto* g = dynamic_cast<TvelCustomGroupBox*>(c)) text = g->Caption();
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | t.style;
    if (!c->Enabled()) style |= WS_DISABLED;
    HWND w = CreateWindowExW(0, t.cls, GbkToWide(text).c_str(), style, dx + c->Left(), dy + c->Top(), c->Width(),
                             c->Height(), window, nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (auto* check = dynamic_cast<TvelCheckBox*>(c)) SendMessageW(w, BM_SETCHECK, check->Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
    if (auto* w2 = dynamic_cast<TWinControl*>(c)) BuildTwins(window, w2, dx + c->Left(), dy + c->Top(), font);
  }
}

// Seconds for one full repaint of window and all its children, median of reps runs of 10.
double RepaintTime(HWND window, int reps) {
  auto repaint = [&] {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  };
  repaint();
  std::vector<double> times;
  for (int i = 0; i < reps; ++i) {
    const double a = Now();
    for (int k = 0; k < 10; ++k) repaint();
    GdiFlush();
    times.push_back((Now() - a) / 10);
  }
  return Median(times);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int reps = argc > 1 ? std::max(1, _wtoi(argv[1])) : 15;
  TGalleryForm* gallery = Application->CreateForm<TGalleryForm>();
  gallery->SetLeft(0);
  gallery->SetTop(0);
  gallery->Show();
  Application->ProcessMessages();

  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"VxSystemTwin";
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  RegisterClassW(&wc);
  RECT client;
  GetClientRect(gallery->Handle(), &client);
  RECT frame = client;
  AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
  HWND twin = CreateWindowW(L"VxSystemTwin", L"system controls", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 700, 0,
                            frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, wc.hInstance, nullptr);
  HFONT font = CreateFontW(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, GB2312_CHARSET, 0, 0, 0, 0, GbkToWide("宋体").c_str());
  BuildTwins(twin, gallery, 0, 0, font);
  ShowWindow(twin, SW_SHOW);
  Application->ProcessMessages();

  std::printf("full repaint of a %ldx%ld window, medians of %d runs of 10\n", client.right, client.bottom, reps);
  for (int look = 0; look < gallery->LookCount(); ++look) {
    gallery->SelectLook(look);
    Application->ProcessMessages();
    const double themed = RepaintTime(gallery->Handle(), reps);
    const double system = RepaintTime(twin, reps);
    std::printf("look %d: gallery %.3f ms, system controls %.3f ms; ratio %.2f\n", look + 1, themed * 1000,
                system * 1000, themed / system);
  }
  DestroyWindow(twin);
  DeleteObject(font);
  return 0;
}

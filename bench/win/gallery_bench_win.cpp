// Full repaint of the skin gallery in each look against the same layout built from the
// system's own controls (button, static, check box, radio button, group box), painted in the
// same run. Under Wine (or on Windows), beside Blue.ssk:
//   gallery_bench.exe [repetitions] [detail]
// prints, per look, the medians of both and the median ratio of repaints taken in turns;
// with "detail", also where the
// gallery's time goes: each kind of control painted on its own into a bitmap.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/win/BenchClock.h"
#include "framework/Application.h"
#include "framework/Text.h"
#include "skin/VELPublic.h"
#include "skin/gallery/GalleryForm.h"

namespace {

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

// One full repaint of window and all its children, in seconds (the mean of 10).
double RepaintOnce(HWND window) {
  const double a = Now();
  for (int k = 0; k < 10; ++k)
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  GdiFlush();
  return (Now() - a) / 10;
}

// The two windows' repaints taken in turns, so that both see the same load on the machine:
// medians of each and the median of the ratios of the pairs.
struct Pair {
  double themed, system, ratio;
};
Pair RepaintPair(HWND themed, HWND system, int reps) {
  RepaintOnce(themed);
  RepaintOnce(system);
  std::vector<double> a, b, r;
  for (int i = 0; i < reps; ++i) {
    a.push_back(RepaintOnce(themed));
    b.push_back(RepaintOnce(system));
    r.push_back(a.back() / b.back());
  }
  return {Median(a), Median(b), Median(r)};
}

// Milliseconds each class of the gallery's windowed controls takes to paint itself (all of
// that class, once each), painted into a bitmap so that no screen update is counted.
void PaintDetail(TWinControl* root) {
  std::vector<std::pair<std::string, double>> totals;
  std::vector<TWinControl*> stack{root};
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, 800, 600);
  HGDIOBJ old = SelectObject(mem, bmp);
  while (!stack.empty()) {
    TWinControl* w = stack.back();
    stack.pop_back();
    for (int i = 0; i < w->ControlCount(); ++i)
      if (auto* c = dynamic_cast<TWinControl*>(w->Controls(i))) stack.push_back(c);
    if (w == root) continue;
    const double a = Now();
    for (int k = 0; k < 10; ++k) w->PaintTo(mem, 0, 0);
    GdiFlush();
    const double ms = (Now() - a) * 100;
    auto it = std::find_if(totals.begin(), totals.end(), [&](const auto& t) { return t.first == w->ClassName(); });
    if (it == totals.end())
      totals.push_back({w->ClassName(), ms});
    else
      it->second += ms;
  }
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  for (const auto& [name, ms] : totals) std::printf("    %-22s %.3f ms\n", name.c_str(), ms);
}

// Microseconds of the steps a themed control's paint is made of, each repeated.
void PartsDetail() {
  auto time = [](const char* what, auto fn) {
    const double a = Now();
    for (int k = 0; k < 200; ++k) fn();
    GdiFlush();
    std::printf("    %-40s %.1f us\n", what, (Now() - a) * 1e6 / 200);
  };
  time("theme bitmap, one frame of three", [] {
    TBitmap b;
    GetThemeBitmap(TvelUIStyle::BlueGlass, 1, &b, 3, 1);
  });
  time("theme bitmap, whole", [] {
    TBitmap b;
    LoadSkinBitmap("BLUEGLASS_BUTTON", b);
  });
  time("module resource decode", [] {
    TBitmap b;
    LoadModuleSkinBitmap("BLUEGLASS_BUTTON", b);
  });
  TBitmap whole(231, 27);
  time("clone 231 x 27", [&] { TBitmap b = whole.Clone(); });
  TBitmap reused(231, 27);
  time("copy into a reused 231 x 27", [&] {
    std::memcpy(reused.Row(0), whole.Row(0), 231 * 27 * 4);
  });
  time("heap copy 231 x 27", [&] {
    std::vector<uint32_t> v(whole.Row(0), whole.Row(0) + 231 * 27);
  });
  time("frame of three", [&] {
    TBitmap b;
    PickBitmapFrame(whole, b, 3, 1);
  });
  time("DIB section 92 x 28", [] { TBitmap b(92, 28); });
  time("bitmap canvas", [] {
    TBitmap b(92, 28);
    TBitmapCanvas c(b);
  });
  time("bitmap canvas + text extent", [] {
    TBitmap b(92, 28);
    TBitmapCanvas c(b);
    c.TextExtent("W");
  });
  time("bitmap canvas + draw text", [] {
    TBitmap b(92, 28);
    TBitmapCanvas c(b);
    c.Brush.Style = bsClear;
    TRect r{0, 0, 92, 28};
    c.DrawText("普通按钮", r, DT_SINGLELINE);
  });
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int reps = argc > 1 ? std::max(1, _wtoi(argv[1])) : 15;
  const bool detail = argc > 2 && std::wstring(argv[2]) == L"detail";
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

  std::printf("full repaint of a %ldx%ld window, medians of %d pairs of runs of 10\n", client.right, client.bottom, reps);
  for (int look = 0; look < gallery->LookCount(); ++look) {
    gallery->SelectLook(look);
    Application->ProcessMessages();
    const Pair p = RepaintPair(gallery->Handle(), twin, reps);
    std::printf("look %d: gallery %.3f ms, system controls %.3f ms; ratio %.2f\n", look + 1, p.themed * 1000,
                p.system * 1000, p.ratio);
    if (detail) PaintDetail(gallery);
    if (detail && look == 0) PartsDetail();
  }
  DestroyWindow(twin);
  DeleteObject(font);
  return 0;
}

// Wizard timings, each against a baseline measured in the same run, under Wine or on
// Windows:
//   wizard_bench.exe startup SETUP.EXE [repetitions]
//     time from starting SETUP.EXE to its first page on screen, against the time the
//     same machine takes to show an empty window from a minimal program (this program
//     started with "empty"); prints both medians and their ratio.
//   wizard_bench.exe repaint [repetitions]
//     a full repaint of the wizard window (every control through its own paint) against
//     a blit of a window-sized bitmap onto the same window; prints the ratio.
// The registry key of the sample product is removed first, so no question interrupts.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/win/BenchClock.h"
#include "framework/Application.h"
#include "installer/MainForm.h"
#include "tests/e2e/Robot.h"

namespace {

const wchar_t* kEmptyCaption = L"vx empty window";

int EmptyWindow() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"VxEmpty";
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  RegisterClassW(&wc);
  HWND w = CreateWindowW(L"VxEmpty", kEmptyCaption, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 537, 298,
                         nullptr, nullptr, wc.hInstance, nullptr);
  ShowWindow(w, SW_SHOW);
  UpdateWindow(w);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}

// Starts exe and returns the seconds until ready(pid) gives a window.
double TimeToWindow(const std::wstring& exe, const std::function<HWND(DWORD)>& ready) {
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\KorvaSoft");
  double start = Now();
  robot::Process p(exe);
  HWND w = nullptr;
  while (!(w = ready(p.Id())) && Now() - start < 60) Sleep(1);
  double t = Now() - start;
  p.Kill();
  return w ? t : -1;
}

int Startup(const std::wstring& setup, int reps) {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring emptyCmd = std::wstring(self);
  std::vector<double> setupTimes, emptyTimes;
  auto setupReady = [](DWORD pid) -> HWND {
    HWND main = robot::TopWindow(pid, L"TMainForm");
    if (!main || !IsWindowVisible(main) || GetUpdateRect(main, nullptr, FALSE)) return nullptr;
    // The welcome page is on screen once its sheet is visible and the form has painted. The
    // sheet is found by the title its window was made with (GetWindowTextW reads another
    // process's window without a message), so polling sends the starting program nothing
    // to answer: the empty window's poll sends nothing either.
    auto sheet = robot::Children(main, [](HWND c) {
      wchar_t title[16] = {};
      return IsWindowVisible(c) && GetWindowTextW(c, title, 16) && lstrcmpW(title, L"Sheet0") == 0;
    });
    return sheet.empty() ? nullptr : main;
  };
  auto emptyReady = [](DWORD pid) -> HWND {
    HWND w = robot::TopWindow(pid, L"VxEmpty");
    return w && !GetUpdateRect(w, nullptr, FALSE) ? w : nullptr;
  };
  for (int i = 0; i < reps; ++i) {
    // The baseline is this program started again in its "empty" mode.
    STARTUPINFOW si{sizeof si};
    PROCESS_INFORMATION pi{};
    std::wstring cmd = L"\"" + emptyCmd + L"\" empty";
    double start = Now();
    CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
    HWND w = nullptr;
    while (!(w = emptyReady(pi.dwProcessId)) && Now() - start < 60) Sleep(1);
    emptyTimes.push_back(Now() - start);
    TerminateProcess(pi.hProcess, 0);
    WaitForSingleObject(pi.hProcess, 5000);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    setupTimes.push_back(TimeToWindow(setup, setupReady));
  }
  double s = Median(setupTimes), e = Median(emptyTimes);
  std::printf("start to first page: setup %.0f ms, empty window %.0f ms (medians of %d); ratio %.2f\n", s * 1000,
              e * 1000, reps, s / e);
  return 0;
}

int Repaint(int reps) {
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\KorvaSoft");
  TMainForm* form = Application->CreateForm<TMainForm>();
  form->Show();
  Application->ProcessMessages();
  HWND w = form->Handle();
  RECT r;
  GetClientRect(w, &r);
  auto repaint = [&] { RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW); };
  HDC screen = GetDC(w);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, r.right, r.bottom);
  HGDIOBJ old = SelectObject(mem, bmp);
  auto blit = [&] { BitBlt(screen, 0, 0, r.right, r.bottom, mem, 0, 0, SRCCOPY); };
  repaint();
  blit();
  GdiFlush();
  std::vector<double> full, copy;
  for (int i = 0; i < reps; ++i) {
    double a = Now();
    for (int k = 0; k < 10; ++k) repaint();
    GdiFlush();
    double b = Now();
    for (int k = 0; k < 10; ++k) blit();
    GdiFlush();
    double c = Now();
    full.push_back((b - a) / 10);
    copy.push_back((c - b) / 10);
  }
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(w, screen);
  double f = Median(full), c = Median(copy);
  std::printf("full repaint of the wizard %.3f ms, blit of a %ldx%ld bitmap %.3f ms (medians of %d); ratio %.1f\n",
              f * 1000, r.right, r.bottom, c * 1000, reps, f / c);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::wstring mode = argc > 1 ? argv[1] : L"";
  if (mode == L"empty") return EmptyWindow();
  if (mode == L"startup" && argc >= 3) return Startup(argv[2], argc > 3 ? _wtoi(argv[3]) : 7);
  if (mode == L"repaint") return Repaint(argc > 2 ? _wtoi(argv[2]) : 20);
  std::fprintf(stderr, "usage: wizard_bench startup SETUP.EXE [repetitions] | repaint [repetitions]\n");
  return 64;
}

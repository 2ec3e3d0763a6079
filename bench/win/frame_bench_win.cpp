// Resizing the skin gallery's framed window (new region, non-client paint, title bar and
// menu bar repaint) against the same resize of the same form with the system's own frame,
// taken in turns in the same run. Under Wine (or on Windows), beside Blue.ssk:
//   frame_bench.exe [repetitions]
// prints, per look, the median time of one resize step of each and their median ratio.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/win/BenchClock.h"
#include "framework/Application.h"
#include "skin/gallery/GalleryForm.h"

namespace {

// Ten resize steps, each painted through before the next, in seconds per step.
double ResizeSteps(HWND window, int width, int height) {
  const double a = Now();
  for (int i = 0; i < 10; ++i) {
    int grow = (i % 2) * 24;
    SetWindowPos(window, nullptr, 0, 0, width + grow, height + grow, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Application->ProcessMessages();
  }
  return (Now() - a) / 10;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int reps = argc > 1 ? std::max(_wtoi(argv[1]), 1) : 9;
  TGalleryForm* framed = Application->CreateForm<TGalleryForm>();
  TGalleryForm* plain = Application->CreateForm<TGalleryForm>();
  // The second gallery gives its frame up (its controls' panel first): the system's caption
  // and border come back.
  dynamic_cast<TControl*>(plain->FindComponent("Body"))->SetParent(plain);
  plain->FormFrame()->Free();
  for (TGalleryForm* g : {framed, plain}) {
    g->Show();
    Application->ProcessMessages();
  }
  RECT r;
  GetWindowRect(framed->Handle(), &r);
  const int width = r.right - r.left, height = r.bottom - r.top;
  SetWindowPos(plain->Handle(), nullptr, r.left, r.top, width, height, SWP_NOZORDER);
  std::printf("resize steps of a %dx%d window, medians of %d pairs of runs of 10\n", width, height, reps);
  double worst = 0;
  for (int look = 0; look < framed->LookCount(); ++look) {
    framed->SelectLook(look);
    plain->SelectLook(look);
    Application->ProcessMessages();
    std::vector<double> a, b, ratio;
    for (int i = 0; i < reps; ++i) {
      double tf = ResizeSteps(framed->Handle(), width, height);
      double tp = ResizeSteps(plain->Handle(), width, height);
      a.push_back(tf);
      b.push_back(tp);
      ratio.push_back(tf / tp);
    }
    double m = Median(ratio);
    worst = std::max(worst, m);
    std::printf("  look %d: framed %.2f ms, system frame %.2f ms, ratio %.2f\n", look + 1, Median(a) * 1e3,
                Median(b) * 1e3, m);
  }
  std::printf("worst ratio %.2f (aim: at most 2)\n", worst);
  Application->DestroyForms();
  return 0;
}

// Opening the skin gallery's largest menu, every item measured and drawn by the themed menu
// in each look, against the same items in a menu the system draws, opened in the same run.
// Each opening shows the menu and closes it as soon as the menu loop first goes idle (all
// drawn). Under Wine (or on Windows), beside Blue.ssk:
//   menu_bench.exe [repetitions]
// prints, per look, the medians of both and the median ratio of openings taken in turns.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/win/BenchClock.h"
#include "framework/Application.h"
#include "framework/Menus.h"
#include "skin/VELMainMenu.h"
#include "skin/VELPopupMenu.h"
#include "skin/gallery/GalleryForm.h"

namespace {

LRESULT CALLBACK OwnerProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_ENTERIDLE && wParam == MSGF_MENU) {
    EndMenu();
    return 0;
  }
  intptr_t result = 0;
  if (HandleMenuMessage(msg, wParam, lParam, result)) return result;
  return DefWindowProcW(window, msg, wParam, lParam);
}

// The item holding the most sub-items in the form's menus.
TMenuItem* LargestMenu(TForm& form) {
  TMenuItem* best = nullptr;
  std::vector<TMenuItem*> stack;
  for (int i = 0; i < form.ComponentCount(); ++i)
    if (auto* m = dynamic_cast<TMenu*>(form.Components(i))) stack.push_back(m->Items());
  while (!stack.empty()) {
    TMenuItem* item = stack.back();
    stack.pop_back();
    if (!best || item->Count() > best->Count()) best = item;
    for (int i = 0; i < item->Count(); ++i) stack.push_back(item->Items(i));
  }
  return best;
}

void CopyItems(const TMenuItem& from, TMenu& to) {
  for (int i = 0; i < from.Count(); ++i) {
    const TMenuItem& s = *from.Items(i);
    auto* item = new TMenuItem(&to);
    item->SetCaption(s.Caption());
    item->SetShortCut(s.ShortCut());
    item->SetRadioItem(s.RadioItem());
    item->SetChecked(s.Checked());
    item->SetEnabled(s.Enabled());
    item->SetDefault(s.Default());
    item->SetImageIndex(s.ImageIndex());
    to.Items()->Add(item);
  }
}

double OpenOnce(TMenu& menu, HWND owner) {
  const double a = Now();
  TrackPopupMenuEx(static_cast<HMENU>(menu.Handle()), TPM_RETURNCMD, 100, 100, owner, nullptr);
  GdiFlush();
  return Now() - a;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int reps = argc > 1 ? std::max(1, _wtoi(argv[1])) : 15;
  TGalleryForm* gallery = Application->CreateForm<TGalleryForm>();
  gallery->Show();
  Application->ProcessMessages();
  TMenuItem* largest = LargestMenu(*gallery);

  WNDCLASSW wc{};
  wc.lpfnWndProc = OwnerProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"VxMenuBenchOwner";
  RegisterClassW(&wc);
  HWND owner = CreateWindowW(wc.lpszClassName, L"menu owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                             wc.hInstance, nullptr);
  ShowWindow(owner, SW_SHOW);
  SetForegroundWindow(owner);

  TvelPopupMenu themed(nullptr);
  TPopupMenu system(nullptr);
  CopyItems(*largest, themed);
  CopyItems(*largest, system);
  const std::string name = largest->Parent() ? largest->Name() : largest->GetParentMenu()->Name();
  std::printf("opening %s, %d items, medians of %d pairs\n", name.c_str(), largest->Count(), reps);
  for (int look = 0; look < gallery->LookCount(); ++look) {
    gallery->SelectLook(look);
    themed.SetFileTheme(dynamic_cast<TvelPopupMenu*>(gallery->FindComponent("ClientPopup"))->FileTheme());
    themed.SetUIStyle(dynamic_cast<TvelPopupMenu*>(gallery->FindComponent("ClientPopup"))->UIStyle());
    OpenOnce(themed, owner);
    OpenOnce(system, owner);
    std::vector<double> a, b, r;
    for (int i = 0; i < reps; ++i) {
      a.push_back(OpenOnce(themed, owner));
      b.push_back(OpenOnce(system, owner));
      r.push_back(a.back() / b.back());
    }
    std::printf("look %d: themed %.3f ms, system %.3f ms; ratio %.2f\n", look + 1, Median(a) * 1000,
                Median(b) * 1000, Median(r));
  }
  return 0;
}

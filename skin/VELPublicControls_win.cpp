#include "skin/VELPublicControls.h"

#include "framework/Application.h"
#include "skin/VELPublic.h"

namespace {

bool WindowActive(TForm* form) { return form && form->HandleAllocated() && GetActiveWindow() == form->Handle(); }

// The application is active while one of its windows is the foreground window.
bool ApplicationActive() {
  HWND foreground = GetForegroundWindow();
  DWORD process = 0;
  if (foreground) GetWindowThreadProcessId(foreground, &process);
  return foreground && process == GetCurrentProcessId();
}

}  // namespace

bool IsFormActive(TForm* form) {
  TForm* main = Application ? Application->MainForm() : nullptr;
  FormActivity facts;
  facts.HasMainForm = main != nullptr;
  facts.FormIsMainForm = form && form == main;
  facts.FormAbsent = form == nullptr;
  facts.ApplicationActive = ApplicationActive();
  facts.FormActiveFlag = WindowActive(form);
  return IsFormActive(facts);
}

TRect GetWorkAreaRect() {
  TForm* main = Application ? Application->MainForm() : nullptr;
  return GetWorkAreaRect(main && main->HandleAllocated() ? main->Handle() : nullptr);
}

void PaintParentBackground(TCanvas& canvas, TControl* control) {
  if (!control || !control->Parent()) return;
  PaintParentBackground(canvas.Handle(), control->Parent()->Handle(), control->Left(), control->Top());
}

std::string FitTextWithEllipsis(TCanvas& canvas, const std::string& text, int maxWidth) {
  return FitTextWithEllipsis([&canvas](std::string_view t) { return canvas.TextWidth(std::string(t)); }, text,
                             maxWidth);
}

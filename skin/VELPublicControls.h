// The drawing helpers that need the framework's controls: a form's active look, the work
// area of the main form's monitor, a parent's background under a control and text fitting
// with a canvas's font. Win32 only.
#pragma once
#include <string>

#include "framework/Controls.h"
#include "framework/Forms.h"

// Whether the form is drawn active. The framework has no MDI frames, so the MDI rules never
// apply; the form's own active flag is whether its window is the thread's active window.
bool IsFormActive(TForm* form);
// The work area of the monitor nearest the application's main form, else the primary one.
TRect GetWorkAreaRect();
// Paints what control's parent shows under the control into canvas; nothing without a parent.
void PaintParentBackground(TCanvas& canvas, TControl* control);
std::string FitTextWithEllipsis(TCanvas& canvas, const std::string& text, int maxWidth);

// The Windows side of the file theme: forms are the framework's TForm, and a form's frame is
// recomputed by SetWindowPos so that a skinned title bar and border redraw.
#include <windows.h>

#include "framework/Forms.h"
#include "skin/VELMgr.h"

bool IsFormComponent(const TComponent* component) { return dynamic_cast<const TForm*>(component) != nullptr; }

void RecalcFormFrame(TComponent* form) {
  auto* f = dynamic_cast<TForm*>(form);
  if (!f || !f->HandleAllocated()) return;
  SetWindowPos(f->Handle(), nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

// The host has no forms and no windows: a file theme there never rereads a form's controls.
#include "skin/VELMgr.h"

bool IsFormComponent(const TComponent*) { return false; }
void RecalcFormFrame(TComponent*) {}

// The host has no module resources: skin bitmaps come only from a loader that is set.
#include "skin/VELThemes.h"

bool LoadModuleSkinBitmap(const std::string&, TBitmap&) { return false; }

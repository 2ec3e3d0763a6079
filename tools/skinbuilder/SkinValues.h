// The values file of a skin: colours, integers, switches and texts, in TOML.
//
//   [colors]    SKIN2_FORMCOLOR = "#EAF2FC"    (or a colour number 0x00BBGGRR)
//   [integers]  SKIN2_TITLEBARICONPOSX = 8
//   [switches]  SKIN2_BUTTONTRANS = true
//   [texts]     SKIN2_AUTHOR = "..."           (UTF-8 in the file, stored as GBK)
#pragma once
#include <string>
#include <vector>

#include "skin/VEL2SkinWriter.h"

// The items of a values file: colours, then integers, switches and texts, each group in the
// order of the item-name table, names it does not know after them in name order. Raises
// std::runtime_error with the file name on any error.
std::vector<Sk2Item> ReadSkinValues(const std::string& path);

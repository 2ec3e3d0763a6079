// The artwork of the sample skin "Blue": every bitmap it carries, drawn in code.
#pragma once
#include <string>
#include <utility>
#include <vector>

#include "framework/Bitmap.h"

// (item name, bitmap) for every bitmap of the sample skin, in item order.
std::vector<std::pair<std::string, TBitmap>> DrawBlueSkinArt();

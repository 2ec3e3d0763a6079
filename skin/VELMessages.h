// Private window messages of the skin engine that more than one unit sends or answers.
#pragma once

// A title bar on a form frame asks the host form for the frame's border width; the form
// frame answers it (the title bar then lays out its strip from minus that width).
constexpr unsigned WM_FRAMEBORDERQUERY = 0x26C3;

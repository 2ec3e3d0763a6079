// The wizard's own small pictures, drawn in code: the browse button's folder glyph and the
// finish page's 48 x 48 picture.
#pragma once
#include "framework/Bitmap.h"

// 16 x 16; the bottom-left pixel holds the background colour, which is drawn transparent.
TBitmap FolderGlyph();
// 48 x 48 on a white background: a USB drive with a green tick.
TBitmap FinishPicture();

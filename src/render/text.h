// Writing text with gd's built-in fonts.
#pragma once

#include <gd.h>

#include <string>

namespace orvex {

// As gdImageString: the text's characters side by side from (x, y), each a
// cell of the font; the pixels of a glyph inside the clipping rectangle take
// color, and a character the font lacks leaves its cell as it is. The text
// ends at its first NUL, as a C string does.
void drawString(gdImagePtr image, gdFontPtr font, int x, int y, const std::string& text, int color);

}  // namespace orvex

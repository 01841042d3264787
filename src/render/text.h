// Writing text with gd's built-in fonts.
#pragma once

#include <gd.h>

#include <string>

namespace orvex {

inline void drawString(gdImagePtr image, gdFontPtr font, int x, int y, const std::string& text, int color) {
    // gd takes the text as unsigned char* but does not change it.
    gdImageString(image, font, x, y, reinterpret_cast<unsigned char*>(const_cast<char*>(text.c_str())), color);
}

}  // namespace orvex

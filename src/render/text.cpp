#include "render/text.h"

#include <algorithm>

namespace orvex {

void drawString(gdImagePtr image, gdFontPtr font, int x, int y, const std::string& text, int color) {
    // A colour that stands for a brush, a style or a tile is drawn by gd.
    if (color < 0 || gdImageTrueColor(image)) {
        // gd takes the text as unsigned char* but does not change it.
        gdImageString(image, font, x, y, reinterpret_cast<unsigned char*>(const_cast<char*>(text.c_str())), color);
        return;
    }
    const int w = font->w, h = font->h;
    // The glyph rows inside the clipping rectangle, the same for every cell.
    const int firstRow = std::max(0, image->cy1 - y), lastRow = std::min(h - 1, image->cy2 - y);
    for (const char ch : text) {
        const int c = static_cast<unsigned char>(ch);
        if (c == 0) break;
        if (c >= font->offset && c < font->offset + font->nchars) {
            const char* glyph = font->data + static_cast<std::ptrdiff_t>(c - font->offset) * w * h;
            const int firstColumn = std::max(0, image->cx1 - x), lastColumn = std::min(w - 1, image->cx2 - x);
            for (int row = firstRow; row <= lastRow; ++row) {
                unsigned char* pixels = image->pixels[y + row];
                for (int column = firstColumn; column <= lastColumn; ++column)
                    if (glyph[row * w + column]) pixels[x + column] = static_cast<unsigned char>(color);
            }
        }
        x += w;
    }
}

}  // namespace orvex

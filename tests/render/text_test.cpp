// Text written pixel by pixel against gd's own string drawing: every byte,
// both fonts, cells cut by the image's edges and by a clipping rectangle,
// and a text that ends at a NUL.
#include "render/text.h"
#include "support/random_picture.h"

#include <gdfontg.h>
#include <gdfonts.h>
#include <gtest/gtest.h>

#include <random>
#include <string>

using namespace orvex;

namespace {

TEST(DrawString, WritesTheSamePixelsAsGd) {
    std::mt19937 random(8);
    for (int round = 0; round < 200; ++round) {
        const gdFontPtr font = round % 2 == 0 ? gdFontGetSmall() : gdFontGetGiant();
        ImagePtr image = randomPicture(random, 40 + static_cast<int>(random() % 30), 30, 5);
        if (round % 3 == 0) gdImageSetClip(image.get(), 3, 4, 30, 20);
        ImagePtr expected = clonePicture(image.get());
        gdImageSetClip(expected.get(), image->cx1, image->cy1, image->cx2, image->cy2);
        std::string text;
        for (int k = static_cast<int>(random() % 12); k > 0; --k) text += static_cast<char>(1 + random() % 255);
        if (round % 5 == 0) text += std::string(1, '\0') + "after";
        const int x = static_cast<int>(random() % 80) - 30, y = static_cast<int>(random() % 50) - 20;
        const int color = static_cast<int>(random() % 5);
        drawString(image.get(), font, x, y, text, color);
        gdImageString(expected.get(), font, x, y, reinterpret_cast<unsigned char*>(text.data()), color);
        ASSERT_TRUE(samePicture(image.get(), expected.get())) << "round " << round;
    }
}

}  // namespace

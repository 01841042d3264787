// What the drawing stages register and recolour, seen on whole maps.
#include "support/run_orvex.h"

#include <gdfontg.h>
#include <gdfonts.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const Rgb BLACK{0, 0, 0}, WHITE{255, 255, 255};

class Registration : public ::testing::Test {
protected:
    ImagePtr draw(const std::vector<std::string>& args, const std::string& input) {
        const RunResult r = runInProcess(args, input, dir.path());
        EXPECT_EQ(r.exitStatus, 0) << r.err;
        EXPECT_EQ(r.err, "");
        return loadGif(dir.file("orvex.gif"));
    }
    void icon(const std::string& name, int width, int height, const std::vector<Rgb>& palette) {
        saveGif(makePaletteImage(width, height, palette).get(), dir.file(name));
    }
    TempDir dir;
};

TEST_F(Registration, LegendRowStartingOnTheLastImageRowStillShowsTheTopOfItsName) {
    // 1 x 1 icons turn into 2 x 2 ones (half width 1): legend rows of the
    // small font's height (13) from row 30; the second row starts at row 43,
    // the image's height. Its name is drawn from row 43 + 1 - 6 = 38, and of
    // "||" the bars' tops show in rows 39 to 41. The names end at the icon
    // column, 400 - 2 - 15 = 383: "||" covers columns 371 to 382 (380 holds
    // an axis tick).
    icon("dot.gif", 1, 1, {BLACK});
    ImagePtr image = draw({"-l"}, "T\n-\n0\n0 0 40 4.3 10\naa dot.gif 1 1\n|| dot.gif 1 1\n*\n*\n");
    ASSERT_TRUE(image);
    ASSERT_EQ(gdImageSY(image.get()), 43);
    constexpr int AXES = 4;  // the legend text's entry
    int ink = 0;
    for (int x = 371; x < 383; ++x)
        for (int y = 38; y < 42; ++y) ink += x != 380 && gdImageGetPixel(image.get(), x, y) == AXES;
    EXPECT_GT(ink, 0) << "the second name's top is missing";
}

TEST_F(Registration, AxisParallelLeaderIsRegisteredWithAMargin) {
    // A 4 x 4 icon turns into a 6 x 6 one (half width 3); the two-letter
    // label lands up and left of the anchor (200, 200), at (185, 185). Its
    // box grown by 2 ends at row 200, so the leader runs along the anchor's
    // row from (191, 200): registered grown by 4, (187, 196) to (204, 204),
    // which -d outlines in the leader's style (entry 1).
    icon("dot.gif", 4, 4, {BLACK});
    dir.write("colors.ini", "[COLOR]\nBACKGROUNDCOLOR = 0 0 0\nLEADERCOLOR = 255 0 0\n");
    ImagePtr image = draw({"-d", "-r", "colors.ini"},
                          "\n-\n0\n0 0 40 40 10\ndot dot.gif 1 0\n*\nAB\ndot 20 20 0 0 0 0\n*\n");
    ASSERT_TRUE(image);
    for (int y = 196; y <= 204; ++y) EXPECT_EQ(gdImageGetPixel(image.get(), 187, y), 1) << y;
}

TEST_F(Registration, TitleIsRegisteredWithATwoPixelMargin) {
    // The empty map's title place (see Drawing.TitlePlace), outlined by -d
    // in the grid style: its box grown by 2.
    const gdFontPtr small = gdFontGetSmall(), giant = gdFontGetGiant();
    ImagePtr image = draw({"-d"}, "Battle\n-\n0\n0 0 40 30 10\n*\n*\n");
    ASSERT_TRUE(image);
    const int left = small->w * 3 + 10 - 2, top = giant->h / 2 - 2;
    constexpr int GRID = 5;
    for (int y = top; y <= top + giant->h + 4; ++y) EXPECT_EQ(gdImageGetPixel(image.get(), left, y), GRID) << y;
}

TEST_F(Registration, ForegroundColourAlreadyInTheIconStays) {
    // The icon holds white and, already, the foreground colour.
    const Rgb orange{255, 200, 0};
    ImagePtr ship = makePaletteImage(5, 5, {WHITE, orange});
    gdImageSetPixel(ship.get(), 1, 1, 1);
    saveGif(ship.get(), dir.file("ship.gif"));
    dir.write("colors.ini", "[COLOR]\nBACKGROUNDCOLOR = 0 0 0\nFOREGROUNDCOLOR = 255 200 0\n");
    ImagePtr image = draw({"-r", "colors.ini"}, "T\n-\n0\n0 0 40 40 10\nship ship.gif 1 0\n*\nS\nship 20 20 0 0 0 0\n*\n");
    ASSERT_TRUE(image);
    int white = 0;
    for (int x = 190; x <= 210; ++x)
        for (int y = 190; y <= 210; ++y) white += paletteEntry(image.get(), gdImageGetPixel(image.get(), x, y)) == WHITE;
    EXPECT_EQ(white, 0);
}

}  // namespace

// Runs the orvex binary on small maps and checks where the drawing stages
// put their pixels: axes and grid, tracks, icons, labels, title, legend and
// the obstacle outlines.
#include "support/run_orvex.h"

#include <gdfontg.h>
#include <gdfonts.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

using namespace orvex;

namespace {

// Palette entries of the default colour roles.
constexpr int GROUND = 0, TITLE = 1, LABEL = 2, COURSE = 3, AXES = 4, GRID = 5;
const Rgb BLACK{0, 0, 0}, WHITE{255, 255, 255}, RED{200, 0, 0}, GREEN{0, 200, 0};

using Pixels = std::vector<std::pair<int, int>>;  // (x, y), sorted

std::string scenario(const std::string& title, const std::string& tracks, const std::string& extentAndScale,
                     const std::string& types = "", const std::string& objects = "") {
    return title + "\n-\n" + tracks + "\n" + extentAndScale + "\n" + types + "*\n" + objects + "*\n";
}

Rgb rgbAt(gdImage* image, int x, int y) { return paletteEntry(image, gdImageGetPixel(image, x, y)); }

// The pixels with palette entry color, by column.
Pixels pixelsOf(gdImage* image, int color) {
    Pixels found;
    for (int x = 0; x < gdImageSX(image); ++x)
        for (int y = 0; y < gdImageSY(image); ++y)
            if (gdImageGetPixel(image, x, y) == color) found.emplace_back(x, y);
    return found;
}

int countRgb(gdImage* image, const Rgb& color) {
    int n = 0;
    for (int i = 0; i < gdImageColorsTotal(image); ++i)
        if (paletteEntry(image, i) == color) n += static_cast<int>(pixelsOf(image, i).size());
    return n;
}

// Checks that text stands with its top-left corner at (x, y): within its
// character cells (as far as they lie in the image) exactly the glyph
// pixels have the colour. Returns the number of glyph pixels.
int expectText(gdImage* image, gdFontPtr font, int x, int y, const std::string& text, int color) {
    ImagePtr glyphs = makePaletteImage(font->w * static_cast<int>(text.size()), font->h, {BLACK, WHITE});
    gdImageString(glyphs.get(), font, 0, 0, reinterpret_cast<unsigned char*>(const_cast<char*>(text.c_str())), 1);
    int ink = 0, wrong = 0;
    for (int i = 0; i < gdImageSX(glyphs.get()); ++i)
        for (int j = 0; j < font->h; ++j) {
            if (!gdImageBoundsSafe(image, x + i, y + j)) continue;
            const bool glyph = gdImageGetPixel(glyphs.get(), i, j) == 1;
            ink += glyph;
            wrong += glyph != (gdImageGetPixel(image, x + i, y + j) == color);
        }
    EXPECT_GT(ink, 0) << text;
    EXPECT_EQ(wrong, 0) << '"' << text << "\" at " << x << "," << y;
    return ink;
}

// Checks that count pixels from (x, y) on, stepping by (dx, dy), alternate
// between the two entries of a bitonal map.
void expectDotted(gdImage* image, int x, int y, int dx, int dy, int count) {
    for (int i = 0; i < count; ++i, x += dx, y += dy) {
        const int c = gdImageGetPixel(image, x, y);
        EXPECT_TRUE(c == 0 || c == 1) << x << "," << y;
        EXPECT_NE(c, gdImageGetPixel(image, x + dx, y + dy)) << x << "," << y;
    }
}

class Drawing : public ::testing::Test {
protected:
    ImagePtr draw(const std::vector<std::string>& args, const std::string& input) {
        const RunResult r = runInProcess(args, input, dir.path());
        EXPECT_EQ(r.exitStatus, 0) << r.err;
        EXPECT_EQ(r.err, "");
        return loadGif(dir.file("orvex.gif"));
    }

    // An icon in fill colour with one pixel at (mx, my) in mark colour.
    void writeIcon(const std::string& name, int width, int height, Rgb fill, Rgb mark, int mx, int my) {
        ImagePtr icon = makePaletteImage(width, height, {fill, mark});
        gdImageSetPixel(icon.get(), mx, my, 1);
        saveGif(icon.get(), dir.file(name));
    }

    // An icon in the palette's first colour.
    void icon(const std::string& name, int width, int height, const std::vector<Rgb>& palette) {
        saveGif(makePaletteImage(width, height, palette).get(), dir.file(name));
    }

    TempDir dir;
    const gdFontPtr small = gdFontGetSmall();
    const int w = small->w, h = small->h;
};

TEST_F(Drawing, AxesTicksAndNumbers) {
    // x from 0: ticks at columns 0..90, a five at 50; the ten at column 0
    // has no long tick and no number, and the next would reach column W - 1.
    ImagePtr image = draw({}, scenario("", "1", "0 0 10.1 5 10"));
    ASSERT_TRUE(image);
    const int W = gdImageSX(image.get()), H = gdImageSY(image.get());
    ASSERT_EQ(W, 101);
    ASSERT_EQ(H, 50);
    int wrong = 0;
    for (int x = 0; x < W; ++x)
        for (int y = 0; y < H; ++y) {
            const bool xTick = x % 10 == 0 && x <= 90 && y >= H - (x == 50 ? 6 : 3);
            const bool yTick = y % 10 == 0 && y >= 10 && x <= 2;
            const bool axes = x == 0 || y == H - 1 || xTick || yTick;
            wrong += gdImageGetPixel(image.get(), x, y) != (axes ? AXES : GROUND);
        }
    EXPECT_EQ(wrong, 0);

    // From -20: -15 and -5 are fives, -10 and 0 tens with numbers.
    image = draw({}, scenario("", "1", "-20 -20 10 10 10"));
    ASSERT_TRUE(image);
    gdImage* m = image.get();
    const int S = 300;
    ASSERT_EQ(gdImageSX(m), S);
    // The top pixel of a tick, and the one beyond it.
    auto expectTick = [m](int x, int y, int nextX, int nextY) {
        EXPECT_EQ(gdImageGetPixel(m, x, y), AXES) << x << "," << y;
        EXPECT_EQ(gdImageGetPixel(m, nextX, nextY), GROUND) << x << "," << y;
    };
    for (int px : {100, 200}) expectTick(px, S - 11, px + 1, S - 11);
    for (int px : {50, 150}) expectTick(px, S - 6, px, S - 7);
    expectText(m, small, 100 - w, S - h - 11, "-10", AXES);
    expectText(m, small, 200, S - h - 11, "0", AXES);
    // Vertical axis: tens at rows 200 and 100, fives at 250, 150 and 50,
    // the last tick at row 10.
    expectTick(10, 200, 11, 200);
    for (int py : {250, 150, 50}) expectTick(5, py, 6, py);
    expectTick(2, 10, 3, 10);
    EXPECT_EQ(gdImageGetPixel(m, 1, 0), GROUND);
    expectText(m, small, w + 10, 200 - h / 2, "-10", AXES);
    expectText(m, small, w + 10, 100 - h / 2, "0", AXES);
}

TEST_F(Drawing, GridIsSolidInColourAndDottedInBitonal) {
    const std::string input = scenario("", "1", "-20 -20 10 10 10");
    const int S = 300;
    ImagePtr image = draw({"-g"}, input);
    ASSERT_TRUE(image);
    gdImage* m = image.get();
    // Vertical lines from above the numbers up to row 0.
    for (int y = 0; y <= S - h - 11; ++y) EXPECT_EQ(gdImageGetPixel(m, 100, y), GRID) << y;
    EXPECT_NE(gdImageGetPixel(m, 100, S - h - 10), GRID);
    // Horizontal lines from right of their own number to the edge.
    for (const auto& [py, digits] : {std::pair{200, 3}, std::pair{100, 1}}) {
        const int start = w * (digits + 1) + 10;
        EXPECT_NE(gdImageGetPixel(m, start - 1, py), GRID) << py;
        for (int x = start; x < S; ++x) EXPECT_EQ(gdImageGetPixel(m, x, py), GRID) << x << "," << py;
    }

    image = draw({"-g", "-b"}, input);
    ASSERT_TRUE(image);
    expectDotted(image.get(), 100, 101, 0, 1, 97);
    expectDotted(image.get(), 2 * w + 11, 100, 1, 0, 98 - 2 * w - 11);
    expectDotted(image.get(), 4 * w + 11, 200, 1, 0, 98 - 4 * w - 11);
}

TEST_F(Drawing, TracksAndThrustLines) {
    writeIcon("dot.gif", 2, 2, BLACK, BLACK, 0, 0);  // black is transparent: no icon pixels
    auto track = [&](const std::vector<std::string>& args, const std::string& tracks, const std::string& motion) {
        ImagePtr image = draw(args, scenario("", tracks, "0 0 20 20 10", "dot dot.gif 1 0\n",
                                             "A\ndot 10 10 " + motion + "\n"));
        return image ? pixelsOf(image.get(), COURSE) : Pixels{};
    };
    // The anchor is (100, 100). gd draws each segment from its top or left
    // end, and the dash pattern runs on from one segment to the next.
    EXPECT_EQ(track({}, "1", "0 0 2 0"), (Pixels{{100, 100}, {100, 104}, {100, 108}, {100, 111}, {100, 115}, {100, 119}}));
    EXPECT_EQ(track({}, "1", "3 0 2 0"), (Pixels{{81, 99}, {85, 99}, {89, 99}, {90, 99}, {94, 99}, {98, 100}}));
    EXPECT_EQ(track({"-t"}, "1", "90 0 1 0"), (Pixels{{100, 100}, {104, 100}, {108, 99}}));
    EXPECT_EQ(track({}, "0", "0 0 2 0"), Pixels{});
}

TEST_F(Drawing, IconsAndLegend) {
    // The 5 x 5 ship turns into an 8 x 8 square, so its legend row is the
    // small font's height; the 1 x 4 bar into a 5 x 5 one.
    writeIcon("ship.gif", 5, 5, WHITE, RED, 2, 2);
    writeIcon("bar.gif", 1, 4, GREEN, RED, 0, 0);
    const std::string input = scenario("", "0", "0 0 40 40 10", "ship ship.gif 1 1\nbar bar.gif 1 0\n",
                                       "S\nship 20 20 0 0 0 0\nB\nbar 10 20 0 6 0 0\n");
    ImagePtr image = draw({"-l"}, input);
    ASSERT_TRUE(image);
    gdImage* m = image.get();
    // The ship's centre pixel on its anchor (200, 200).
    for (int dx = -4; dx <= 4; ++dx)
        for (int dy = -4; dy <= 4; ++dy) {
            const bool inIcon = std::abs(dx) <= 2 && std::abs(dy) <= 2;
            EXPECT_EQ(rgbAt(m, 200 + dx, 200 + dy), !inIcon ? BLACK : dx || dy ? WHITE : RED) << dx << "," << dy;
        }
    // Turned upside down the bar's red end would fall on the dropped last row.
    for (int y = 199; y <= 201; ++y) EXPECT_EQ(rgbAt(m, 100, y), GREEN) << y;
    EXPECT_EQ(rgbAt(m, 100, 202), BLACK);
    EXPECT_EQ(countRgb(m, RED), 2);     // the ship on the map and in the legend
    EXPECT_EQ(countRgb(m, WHITE), 48);

    // The legend box round its one row (the name "ship", a blank cell and the
    // 8-pixel icon column): right side at W - 15, top at row 30.
    const int right = 400 - 15, left = right - 8 - w * 5, bottom = 30 + std::max(8, h);
    int wrong = 0;
    for (int x = left - 1; x <= right + 1; ++x)
        for (int y = 29; y <= bottom + 1; ++y) {
            const bool side = (x == left || x == right) && y >= 30 && y <= bottom;
            const bool edge = (y == 30 || y == bottom) && x >= left && x <= right;
            // The name, half an icon down, may reach above the box.
            if (side || edge || x == left - 1 || x == right + 1 || y == bottom + 1 || (y == 29 && x == right))
                wrong += gdImageGetPixel(m, x, y) != (side || edge ? AXES : GROUND);
        }
    EXPECT_EQ(wrong, 0);

    // With no type in the legend, the box is one blank cell wide and as
    // high as nothing: a row of the legend colour from W - 15 - w.
    ImagePtr empty = draw({"-l"}, scenario("", "0", "0 0 40 40 10", "bar bar.gif 1 0\n"));
    ASSERT_TRUE(empty);
    for (int x = right - w - 1; x <= right + 1; ++x)
        EXPECT_EQ(gdImageGetPixel(empty.get(), x, 30), x >= right - w && x <= right ? AXES : GROUND) << x;

    // The foreground colour replaces the white on the map and in the legend.
    dir.write("colors.ini", "[COLOR]\nBACKGROUNDCOLOR = 0 0 0\nFOREGROUNDCOLOR = 255 200 0\n");
    image = draw({"-l", "-r", "colors.ini"}, input);
    ASSERT_TRUE(image);
    EXPECT_EQ(countRgb(image.get(), WHITE), 0);
    EXPECT_EQ(countRgb(image.get(), (Rgb{255, 200, 0})), 48);
    EXPECT_EQ(rgbAt(image.get(), 201, 200), (Rgb{255, 200, 0}));
    EXPECT_EQ(countRgb(image.get(), RED), 2);
}

TEST_F(Drawing, LabelLeaderAndLocus) {
    // A 3 x 3 turned icon (half width 1) in the middle of a big map: the
    // first candidate, right of the icon, is clear.
    writeIcon("dot.gif", 2, 2, BLACK, BLACK, 0, 0);
    const std::string input =
        scenario("", "0", "0 0 40 40 10", "dot dot.gif 1 0\n", "Red leader\ndot 20 20 0 0 0 0\n");
    ImagePtr image = draw({}, input);
    ASSERT_TRUE(image);
    const int ink = expectText(image.get(), small, 201, 200, "Red leader", LABEL);
    EXPECT_EQ(static_cast<int>(pixelsOf(image.get(), LABEL).size()), ink);
    EXPECT_EQ(gdImageGetPixel(image.get(), 199, 206), GROUND);
    EXPECT_EQ(gdImageGetPixel(image.get(), 200, 200), GROUND);

    // Palette: the file's three colours, then title 3 and label 4.
    dir.write("colors.ini", "[COLOR]\nBACKGROUNDCOLOR = 0 0 0\nLEADERCOLOR = 255 0 0\nLOCUSCOLOR = 0 0 255\n");
    image = draw({"-r", "colors.ini"}, input);
    ASSERT_TRUE(image);
    expectText(image.get(), small, 201, 200, "Red leader", 4);
    // The leader runs from the left side's midpoint of the label's box, grown
    // by 2, to the anchor, where the locus dot covers it.
    EXPECT_EQ(pixelsOf(image.get(), 1), (Pixels{{199, 203}, {199, 204}, {199, 205}, {199, 206}, {200, 201}, {200, 202}}));
    EXPECT_EQ(pixelsOf(image.get(), 2), (Pixels{{200, 200}}));
}

TEST_F(Drawing, TitlePlace) {
    const gdFontPtr giant = gdFontGetGiant();
    // On an empty map the title's first clear place: half a line down and
    // right of the band of the vertical axis numbers (up to "20").
    ImagePtr image = draw({}, scenario("Battle", "0", "0 0 40 30 10"));
    ASSERT_TRUE(image);
    const int ink = expectText(image.get(), giant, w * 3 + 10, giant->h / 2, "Battle", TITLE);
    EXPECT_EQ(static_cast<int>(pixelsOf(image.get(), TITLE).size()), ink);

    // Too long for any place: at (0, 0), cut by the image's edge.
    const std::string title = "Battle of the Bay at sunrise";
    image = draw({}, scenario(title, "0", "0 0 10 10 10"));
    ASSERT_TRUE(image);
    ASSERT_GT(static_cast<int>(title.size()) * giant->w, gdImageSX(image.get()));
    expectText(image.get(), giant, 0, 0, title, TITLE);

    // An empty title has no width, overlaps nothing and takes the first
    // place; over a background picture its one-column box is darkened.
    writeIcon("plain.gif", 8, 8, {200, 100, 50}, {200, 100, 50}, 0, 0);
    image = draw({}, "\nplain.gif\n0\n0 0 40 30 10\n*\n*\n");
    ASSERT_TRUE(image);
    Pixels darkened;
    for (int x = 0; x < gdImageSX(image.get()); ++x)
        for (int y = 0; y < gdImageSY(image.get()); ++y)
            if (rgbAt(image.get(), x, y) == Rgb{100, 50, 25}) darkened.push_back({x, y});
    Pixels strip;
    for (int y = giant->h / 2; y <= giant->h / 2 + giant->h; ++y) strip.push_back({giant->w, y});
    EXPECT_EQ(darkened, strip);
}

TEST_F(Drawing, DiagnosticsOutlineTheObstacles) {
    // The bands above the image, of the vertical axis numbers (up to "10")
    // and of the horizontal ones, outlined in the grid style set last.
    const std::string input = scenario("", "0", "0 0 30 20 10");
    const int W = 300, H = 200, band = w * 3 + 10;
    ImagePtr plain = draw({}, input);
    ImagePtr outlined = draw({"-d"}, input);
    ASSERT_TRUE(plain && outlined);
    for (int x = 1; x < W; ++x) {
        EXPECT_EQ(gdImageGetPixel(plain.get(), x, 0), GROUND) << x;
        EXPECT_EQ(gdImageGetPixel(outlined.get(), x, 0), GRID) << x;
        EXPECT_EQ(gdImageGetPixel(outlined.get(), x, H - h - 11), GRID) << x;
    }
    for (int y = 0; y < H; ++y) EXPECT_EQ(gdImageGetPixel(outlined.get(), band, y), GRID) << y;
    EXPECT_EQ(gdImageGetPixel(outlined.get(), band + 1, H / 2), GROUND);
    // A vertical axis without a number (y from 11 to 19) keeps a band of
    // one character's width and the margin.
    ImagePtr bare = draw({"-d"}, scenario("", "0", "0 11 30 19 10"));
    ASSERT_TRUE(bare);
    EXPECT_EQ(gdImageGetPixel(bare.get(), w + 10, 40), GRID);
    EXPECT_EQ(gdImageGetPixel(bare.get(), w + 11, 40), GROUND);
}

// What the stages register and recolour.

TEST_F(Drawing, LegendRowStartingOnTheLastImageRowStillShowsTheTopOfItsName) {
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

TEST_F(Drawing, AxisParallelLeaderIsRegisteredWithAMargin) {
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

TEST_F(Drawing, TitleIsRegisteredWithATwoPixelMargin) {
    // The empty map's title place (see Drawing.TitlePlace), outlined by -d
    // in the grid style: its box grown by 2.
    const gdFontPtr giant = gdFontGetGiant();
    ImagePtr image = draw({"-d"}, "Battle\n-\n0\n0 0 40 30 10\n*\n*\n");
    ASSERT_TRUE(image);
    const int left = small->w * 3 + 10 - 2, top = giant->h / 2 - 2;
    constexpr int GRID = 5;
    for (int y = top; y <= top + giant->h + 4; ++y) EXPECT_EQ(gdImageGetPixel(image.get(), left, y), GRID) << y;
}

TEST_F(Drawing, ForegroundColourAlreadyInTheIconStays) {
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

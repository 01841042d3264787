// Runs the orvex binary on scenarios with a background picture, icons and
// labels, all made here with gd, and checks the map it draws and what it
// reports.
#include "support/run_orvex.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using namespace orvex;

namespace {

namespace fs = std::filesystem;

const Rgb BLACK{0, 0, 0}, WHITE{255, 255, 255}, RED{255, 0, 0}, GREEN{0, 255, 0}, BLUE{0, 0, 255};

// 160 x 80 pixels, no tracks. Only the left strip, the bottom rows and the
// title near the top-left corner are drawn over; the rest is free.
const std::string HEADER = "T\n-\n0\n0 0 40 20 4\n";

std::string withBackground(const std::string& name) { return "T\n" + name + "\n0\n0 0 40 20 4\n"; }

// A 10 x 10 icon: black ground and a white square round its centre (5, 5).
void saveIcon(const std::string& path, const Rgb& ground = BLACK, const Rgb& shape = WHITE) {
    ImagePtr icon = makePaletteImage(10, 10, {ground, shape});
    gdImageFilledRectangle(icon.get(), 3, 3, 6, 6, 1);
    saveGif(icon.get(), path);
}

// A GIF whose first image is 4 pixels wide and 0 high, which gd refuses
// with a warning of its own.
const std::string FLAT_GIF("GIF89a\4\0\4\0\x80\0\0\0\0\0\xff\xff\xff,\0\0\0\0\4\0\0\0\0\2\2\x4c\1\0;", 35);

class Pictures : public ::testing::Test {
protected:
    RunResult run(const std::vector<std::string>& args, const std::string& input) {
        fs::remove(dir.file("orvex.gif"));
        return runInProcess(args, input, dir.path());
    }

    // The output file of a run that must succeed quietly.
    std::string mapFile(const std::string& input, const std::vector<std::string>& args = {}) {
        const RunResult r = run(args, input);
        EXPECT_EQ(r.exitStatus, 0) << r.err;
        EXPECT_EQ(r.err, "") << input;
        return dir.read("orvex.gif");
    }

    ImagePtr map(const std::string& input, const std::vector<std::string>& args = {}) {
        mapFile(input, args);
        ImagePtr image = loadGif(dir.file("orvex.gif"));
        EXPECT_TRUE(image) << "no readable orvex.gif";
        return image;
    }

    TempDir dir;
};

Rgb pixel(gdImage* image, int x, int y) { return paletteEntry(image, gdImageGetPixel(image, x, y)); }

TEST_F(Pictures, GdsOwnWarningShowsWithDebugOnly) {
    dir.write("flat.gif", FLAT_GIF);
    // As gd's own handler prints it, marked as gd's.
    const std::string warning =
        "GD Warning: one parameter to a memory allocation multiplication is negative or zero, failing operation "
        "gracefully\n";
    for (const bool debug : {false, true}) {
        const std::vector<std::string> args = debug ? std::vector<std::string>{"-d"} : std::vector<std::string>{};
        RunResult r = run(args, "T\nflat.gif\n0\n0 0 10 10\n2\n*\n*\n");
        EXPECT_EQ(r.exitStatus, 0);
        EXPECT_EQ(r.err, (debug ? warning : "") + "**** Error unable to load background image flat.gif\n");
        r = run(args, "T\n-\n0\n0 0 10 10\n2\nflat flat.gif 1 0\n*\n*\n");
        EXPECT_EQ(r.exitStatus, 1);
        EXPECT_EQ(r.err, (debug ? warning : "") + "**** Error unable to load source image flat.gif\n**** Aborting\n");
    }
}

TEST_F(Pictures, BackgroundCoversTheMapWithOrWithoutATransparentColour) {
    // Palette order differs from octree order; the pattern does not repeat
    // within a picture, so tiles and scaled blocks can be told apart.
    const std::vector<Rgb> colors = {RED, BLUE, GREEN};
    auto at = [&](int x, int y) { return colors[(x * x + y) % 3]; };
    for (int transparent : {-1, 2}) {
        ImagePtr picture = makePaletteImage(20, 10, colors);
        for (int x = 0; x < 20; ++x)
            for (int y = 0; y < 10; ++y) gdImageSetPixel(picture.get(), x, y, (x * x + y) % 3);
        if (transparent >= 0) gdImageColorTransparent(picture.get(), transparent);
        saveGif(picture.get(), dir.file("sea.gif"));

        const RunResult r = run({"-v", "-d"}, withBackground("sea.gif") + "*\n*\n");
        EXPECT_EQ(r.exitStatus, 0) << r.err;
        EXPECT_NE(r.out.find("Palette 0 r-0 g-0 b-255\nPalette 1 r-0 g-255 b-0\nPalette 2 r-255 g-0 b-0\n"
                             "Number colors in oct-tree 3\n3 colors allocated\nBackground transparency " +
                             std::to_string(transparent) + "\n"),
                  std::string::npos)
            << r.out;

        for (bool tiled : {false, true}) {
            const std::vector<std::string> args = tiled ? std::vector<std::string>{"-w"} : std::vector<std::string>{};
            ImagePtr image = map(withBackground("sea.gif") + "*\n*\n", args);
            ASSERT_TRUE(image);
            const std::vector<Rgb> palette = {BLACK, {96, 255, 96}, {96, 255, 96}, {96, 96, 255},
                                              {64, 196, 64}, {33, 100, 33}, BLUE, GREEN, RED};
            for (int i = 0; i < 9; ++i) EXPECT_EQ(paletteEntry(image.get(), i), palette[i]) << i;
            // The right half above the axis numbers: 8 x 8 blocks scaled, tiles
            // from the corner (0, 0) when tiled.
            int wrong = 0;
            for (int x = 80; x < 160; ++x)
                for (int y = 0; y < 48; ++y)
                    wrong += pixel(image.get(), x, y) != (tiled ? at(x % 20, y % 10) : at(x / 8, y / 8));
            EXPECT_EQ(wrong, 0) << "tiled " << tiled << ", transparent " << transparent;
        }
    }
}

TEST_F(Pictures, IconBlackIsTransparent) {
    ImagePtr picture = makePaletteImage(4, 2, {{200, 100, 0}});
    saveGif(picture.get(), dir.file("sea.gif"));
    saveIcon(dir.file("ship.gif"));
    // The anchor is (120, 40); the icon's pixel (u, v) lands on (115 + u, 35 + v).
    ImagePtr image = map(withBackground("sea.gif") + "ship ship.gif 1 0\n*\nL\nship 30 10 0 0 0 0\n*\n");
    ASSERT_TRUE(image);
    EXPECT_EQ(pixel(image.get(), 120, 40), WHITE);
    // Black icon pixels show the background, darkened round the object.
    EXPECT_EQ(pixel(image.get(), 116, 36), (Rgb{150, 75, 0}));
    EXPECT_EQ(pixel(image.get(), 119, 36), (Rgb{150, 75, 0}));

    // A bitonal map swaps the icon's black and white first.
    image = map(HEADER + "ship ship.gif 1 0\n*\nL\nship 30 10 0 0 0 0\n*\n", {"-b"});
    ASSERT_TRUE(image);
    EXPECT_EQ(pixel(image.get(), 120, 40), BLACK);
    EXPECT_EQ(pixel(image.get(), 118, 40), BLACK);
    EXPECT_EQ(pixel(image.get(), 116, 36), WHITE);
}

TEST_F(Pictures, Catalogue) {
    fs::create_directory(dir.file("icons"));
    saveIcon(dir.file("icons/ship.gif"));
    RunResult r = run({"-v", "-i", "icons"}, HEADER + "ship ship.gif 1 0\n*\n*\n");
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_NE(r.out.find("\nreading game object images\n\ticons/ship.gif read............\nreading game objects\n"),
              std::string::npos)
        << r.out;
    // A picture named by several types is read once, and shown for each.
    saveIcon(dir.file("icons/buoy.gif"));
    r = run({"-v", "-i", "icons"}, HEADER + "ship ship.gif 1 0\nbuoy buoy.gif 2 0\ntug ship.gif 2 0\n*\n*\n");
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_NE(r.out.find("\nreading game object images\n\ticons/ship.gif read............\n\ticons/buoy.gif "
                         "read............\n\ticons/ship.gif read............\nreading game objects\n"),
              std::string::npos)
        << r.out;

    // Of two types with one name, objects take the first.
    saveIcon(dir.file("red.gif"), RED, RED);
    saveIcon(dir.file("blue.gif"), BLUE, BLUE);
    ImagePtr image = map(HEADER + "ship red.gif 1 0\nship blue.gif 1 0\n*\nL\nship 30 10 0 0 0 0\n*\n");
    ASSERT_TRUE(image);
    EXPECT_EQ(pixel(image.get(), 120, 40), RED);
    EXPECT_EQ(pixel(image.get(), 116, 36), RED);

    // -d writes every turned icon, a '/' of the type name made '_'.
    r = run({"-d"}, HEADER + "ship icons/ship.gif 1 0\nsea/boat icons/ship.gif 0.5 0\n*\n*\n");
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    for (int k = 0; k < 12; ++k) {
        for (const auto& [name, side] : {std::pair{"ship", 15}, std::pair{"sea_boat", 8}}) {
            const std::string file = name + std::to_string(k) + ".gif";
            ImagePtr icon = loadGif(dir.file(file));
            ASSERT_TRUE(icon) << file;
            EXPECT_EQ(gdImageSX(icon.get()), side) << file;
            EXPECT_EQ(gdImageSY(icon.get()), side) << file;
        }
    }
    EXPECT_FALSE(dir.exists("sea"));
}

TEST_F(Pictures, CatalogueAndObjectRulings) {
    saveIcon(dir.file("ship.gif"));
    dir.write("text.gif", "GIF89a is what this text is not\n");
    // Declares a 40000 x 40000 first image.
    dir.write("huge.gif", std::string("GIF89a\1\0\1\0\0\0\0,\0\0\0\0\x40\x9c\x40\x9c\0\2\2\x4c\1\0;", 29));
    const std::string ship = "ship ship.gif 1 0\n*\n";
    const std::string empty = mapFile(HEADER + ship + "*\n");
    const struct {
        std::string input;
        int status;
        std::string err, out = "";
    } cases[] = {
        {"ship nosuch.gif 1 0\n*\n*\n", 1, "**** Error unable to load source image nosuch.gif\n**** Aborting\n"},
        {"ship text.gif 1 0\n*\n*\n", 1, "**** Error unable to load source image text.gif\n**** Aborting\n",
         "\n\ttext.gif not read\n"},
        {"ship huge.gif 1 0\n*\n*\n", 1, "**** Error picture too large huge.gif\n**** Aborting\n"},
        {"ship ship.gif 0 0\n*\n*\n", 1, "**** Error bad icon scale for type ship\n"},
        {"ship ship.gif -1 0\n*\n*\n", 1, "**** Error bad icon scale for type ship\n"},
        {"ship ship.gif 6000 0\n*\n*\n", 1, "**** Error bad icon scale for type ship\n"},
        {"ship ship.gif nan 0\n*\n*\n", 1, "**** Error bad scenario line 5: icon scale expected\n"},
        {"ship ship.gif abc 0\n*\n*\n", 1, "**** Error bad scenario line 5: icon scale expected\n"},
        {"ship ship.gif 1\n", 1, "**** Error bad scenario line 5: legend flag expected\n"},
        // An object's bad item names the object; the second object here has
        // lost its label line, so its object line was read as the label.
        {ship + "L\nship x 10 0 0 0 0\n*\n", 1,
         "**** Error bad scenario line 8: position expected (object 1, label \"L\" from line 7)\n"},
        {ship + "L\nship 10\ny 0 0 0 0\n*\n", 1,
         "**** Error bad scenario line 9: position expected (object 1, label \"L\" from line 7)\n"},
        {ship + "A\nship 1 1 0 0 0 0\nship 2 2 0 0 0 0\nC\nship 3 3 0 0 0 0\n*\n", 1,
         "**** Error bad scenario line 11: position expected (object 2, label \"ship 2 2 0 0 0 0\" from line 9)\n"},
        {"", 0,
         "**** Warning scenario ends before the closing * of the object types\n"
         "**** Warning scenario ends before the closing * of the game objects\n"},
        {ship, 0, "**** Warning scenario ends before the closing * of the game objects\n"},
        // An unknown type says which object it left out; the objects after
        // it keep their numbers among the entries read.
        {ship + "L\nboat 10 10 0 0 0 0\n*\n", 0,
         "**** Warning unknown object type boat (object 1, label \"L\" from line 7)\n"},
        {ship + "  Big one \n\nShip 10 10 0 0 0 0\n*\n", 0,
         "**** Warning unknown object type Ship (object 1, label \"Big one \" from line 7)\n"},
        {ship + "A\nboat 1 1 0 0 0 0\nB\nship 1 1 0 0 x 0\n*\n", 1,
         "**** Warning unknown object type boat (object 1, label \"A\" from line 7)\n"
         "**** Error bad scenario line 10: speed expected (object 2, label \"B\" from line 9)\n"},
    };
    for (const auto& c : cases) {
        const RunResult r = run({"-v"}, HEADER + c.input);
        EXPECT_EQ(r.exitStatus, c.status) << c.input;
        EXPECT_EQ(r.err, c.err) << c.input;
        EXPECT_NE(r.out.find(c.out), std::string::npos) << c.input << r.out;
        EXPECT_EQ(dir.exists("orvex.gif"), c.status == 0) << c.input;
        // Without objects drawn the map is the one of an empty list.
        if (c.status == 0 && c.input.starts_with(ship)) {
            EXPECT_EQ(dir.read("orvex.gif"), empty) << c.input;
        }
    }
    // A missing file is not reported as read or not read.
    EXPECT_EQ(run({"-v"}, HEADER + "ship nosuch.gif 1 0\n*\n*\n").out.find("nosuch.gif"), std::string::npos);
}

TEST_F(Pictures, LabelsAndFacings) {
    // An icon with its white bar off-centre, so that every facing differs.
    ImagePtr icon = makePaletteImage(10, 10, {BLACK, WHITE});
    gdImageFilledRectangle(icon.get(), 1, 1, 4, 3, 1);
    saveGif(icon.get(), dir.file("ship.gif"));
    // 800 x 160 pixels: the longest label fits beside the object at (40, 80).
    const std::string catalogue = "T\n-\n0\n0 0 200 40 4\nship ship.gif 1 0\n*\n";
    auto drawn = [&](const std::string& label, const std::string& object = "ship 10 20 0 0 0 0\n*\n") {
        return mapFile(catalogue + label + "\n" + object);
    };

    const std::string label78 = "Red leader " + std::string(67, 'x');
    ASSERT_EQ(label78.size(), 78u);
    EXPECT_EQ(drawn(label78 + "y"), drawn(label78));
    EXPECT_NE(drawn(label78.substr(0, 77)), drawn(label78));
    EXPECT_EQ(drawn(" \t  Red leader"), drawn("Red leader"));
    EXPECT_EQ(drawn("\n\nRed leader"), drawn("Red leader"));

    // A last line without a line end still closes the list.
    EXPECT_EQ(drawn("Red leader", "ship 10 20 0 0 0 0\n*"), drawn("Red leader"));
    EXPECT_EQ(drawn("Red leader", "ship 10 20 0 0 0 0\r\n*\r\n"), drawn("Red leader"));

    EXPECT_EQ(drawn("L", "ship 10 20 0 -11 0 0\n*\n"), drawn("L", "ship 10 20 0 1 0 0\n*\n"));
    EXPECT_EQ(drawn("L", "ship 10 20 0 13 0 0\n*\n"), drawn("L", "ship 10 20 0 1 0 0\n*\n"));
    EXPECT_NE(drawn("L", "ship 10 20 0 0 0 0\n*\n"), drawn("L", "ship 10 20 0 1 0 0\n*\n"));
    EXPECT_NE(drawn("L", "ship 10 20 0 11 0 0\n*\n"), drawn("L", "ship 10 20 0 1 0 0\n*\n"));
}

}  // namespace

namespace {

// 256 entries less the twelve colour roles: a background of 244 colours
// comes out exactly; one of 245 has some of its colours merged.
TEST_F(Pictures, BackgroundColoursWithinTheBudgetAreKeptExactly) {
    for (const int colours : {244, 245}) {
        std::vector<Rgb> palette;
        for (int i = 0; i < colours; ++i) palette.push_back({i, (i * 7) % 256, 255 - i});
        ImagePtr picture = makePaletteImage(colours, 1, palette);
        for (int x = 0; x < colours; ++x) gdImageSetPixel(picture.get(), x, 0, x);
        saveGif(picture.get(), dir.file("wide.gif"));
        ImagePtr image = map(withBackground("wide.gif") + "*\n*\n");
        ASSERT_TRUE(image);
        int exact = 0;
        for (const Rgb& c : palette) {
            bool found = false;
            for (int i = 0; i < gdMaxColors && !found; ++i) found = paletteEntry(image.get(), i) == c;
            exact += found;
        }
        if (colours == 244) EXPECT_EQ(exact, 244);
        else EXPECT_LT(exact, 245);
    }
}

}  // namespace

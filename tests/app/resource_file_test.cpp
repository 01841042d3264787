// The colour resource file read into an image: pieces, comments, ranges.
#include "app/disk_files.h"
#include "app/resource_file.h"
#include "support/recording_reporter.h"
#include "support/run_orvex.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

using namespace orvex;

namespace {

// The palette roles of a resource file, read into a fresh image.
struct ResourceRead {
    RoleColors roles = unsetRoleColors();
    ImagePtr image{gdImageCreate(4, 4)};
    RecordingReporter reporter;
};

ResourceRead readResource(const TempDir& dir, const std::string& text) {
    ResourceRead r;
    DiskFiles files;
    readResourceFile(files, dir.write("colors.ini", text), r.image.get(), r.roles, false, r.reporter);
    return r;
}

Rgb rgbOf(gdImage* image, int index) { return paletteEntry(image, index); }

TEST(ResourceFile, LinePiecesAre254Characters) {
    TempDir dir;
    // A 254-character first piece of blanks, then the entry as its own line.
    const ResourceRead r = readResource(dir, "[COLOR]\n" + std::string(254, ' ') + "GRIDCOLOR = 1 2 3\n");
    ASSERT_NE(r.roles[GRIDCOLOR], COLOR_UNSET);
    EXPECT_EQ(rgbOf(r.image.get(), r.roles[GRIDCOLOR]), (Rgb{1, 2, 3}));
    EXPECT_EQ(r.reporter.warned, "**** Warning bad resource file entry \n" + std::string(254, ' ') + "\n");
}

TEST(ResourceFile, CommentStartsAtSemicolon) {
    TempDir dir;
    const ResourceRead r = readResource(dir, "[COLOR]\nGRIDCOLOR = 1 2 3 ; AXESCOLOR = 9 9 9\n");
    EXPECT_NE(r.roles[GRIDCOLOR], COLOR_UNSET);
    EXPECT_EQ(r.roles[AXESCOLOR], COLOR_UNSET);
    EXPECT_EQ(gdImageColorsTotal(r.image.get()), 1);
}

TEST(ResourceFile, ComponentOf1000IsOutOfRange) {
    TempDir dir;
    for (const char* value : {"1000", "2550", "99999999999999999999"}) {
        const ResourceRead r = readResource(dir, std::string("[COLOR]\nGRIDCOLOR = ") + value + " 0 0\n");
        EXPECT_EQ(r.roles[GRIDCOLOR], COLOR_UNSET) << value;
        EXPECT_EQ(r.reporter.warned,
                  std::string("**** Warning bad resource file entry \nGRIDCOLOR = ") + value + " 0 0\n\n");
    }
}

// Each component: white space, then an optional sign, then digits; the
// value must come to 0 to 255. Anything else sets nothing.
TEST(ResourceFile, ComponentSyntax) {
    TempDir dir;
    struct Case {
        const char* values;
        std::optional<Rgb> color;
    };
    const Case cases[] = {
        {"1 2 3", Rgb{1, 2, 3}},        {"+5 +0 -0", Rgb{5, 0, 0}},    {" \t 7\t8  9", Rgb{7, 8, 9}},
        {"255 255 255", Rgb{255, 255, 255}}, {"1 2 3 4", Rgb{1, 2, 3}}, {"007 010 0", Rgb{7, 10, 0}},
        {"12x 3 4", std::nullopt},      {"-1 2 3", std::nullopt},      {"256 0 0", std::nullopt},
        {"0 0 999", std::nullopt},      {"1 2", std::nullopt},         {"1,2,3", std::nullopt},
        {"+ 1 2 3", std::nullopt},      {"--1 2 3", std::nullopt},     {"", std::nullopt},
    };
    for (const Case& c : cases) {
        const ResourceRead r = readResource(dir, std::string("[COLOR]\nGRIDCOLOR =") + c.values + "\n");
        if (!c.color) {
            EXPECT_EQ(r.roles[GRIDCOLOR], COLOR_UNSET) << c.values;
            continue;
        }
        ASSERT_NE(r.roles[GRIDCOLOR], COLOR_UNSET) << c.values;
        EXPECT_EQ(rgbOf(r.image.get(), r.roles[GRIDCOLOR]), *c.color) << c.values;
        EXPECT_EQ(r.reporter.warned, "") << c.values;
    }
}

// A CR ends a line only before an LF: a lone CR is a character of its
// line, so two entries joined by one are one line naming both roles.
TEST(ResourceFile, LoneCarriageReturnJoinsLines) {
    TempDir dir;
    const ResourceRead joined = readResource(dir, "[COLOR]\r\nGRIDCOLOR = 1 2 3\rAXESCOLOR = 4 5 6\r\n");
    ASSERT_NE(joined.roles[GRIDCOLOR], COLOR_UNSET);
    ASSERT_NE(joined.roles[AXESCOLOR], COLOR_UNSET);
    EXPECT_EQ(rgbOf(joined.image.get(), joined.roles[GRIDCOLOR]), (Rgb{1, 2, 3}));
    EXPECT_EQ(rgbOf(joined.image.get(), joined.roles[AXESCOLOR]), (Rgb{1, 2, 3}));
    const ResourceRead apart = readResource(dir, "[COLOR]\r\nGRIDCOLOR = 1 2 3\r\nAXESCOLOR = 4 5 6\r");
    EXPECT_EQ(rgbOf(apart.image.get(), apart.roles[GRIDCOLOR]), (Rgb{1, 2, 3}));
    EXPECT_EQ(rgbOf(apart.image.get(), apart.roles[AXESCOLOR]), (Rgb{4, 5, 6}));
}

}  // namespace

// The colour resource file read into an image: pieces, comments, ranges.
#include "app/disk_files.h"
#include "app/resource_file.h"
#include "support/recording_reporter.h"
#include "support/run_orvex.h"

#include <gtest/gtest.h>

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

}  // namespace

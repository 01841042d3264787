// The scenario readers at their limits: title, map, icons, pictures, the
// tokens that end a list, debug icon names.
#include "app/disk_files.h"
#include "base/run_error.h"
#include "quantise/octree.h"
#include "scenario/catalogue.h"
#include "scenario/header.h"
#include "scenario/picture_file.h"
#include "scenario/scenario_input.h"
#include "support/recording_reporter.h"
#include "support/run_orvex.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

using namespace orvex;

namespace {

const Rgb BLACK{0, 0, 0};

TEST(Limits, TitleOf79CharactersLosesALastControlCharacter) {
    TempDir dir;
    const std::string line = std::string(78, 'x') + "\x01";
    const RunResult r = runInProcess({"-v"}, line + "\n-\n1\n0 0 10 10 1\n*\n*\n", dir.path());
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_NE(r.out.find("title                " + std::string(78, 'x') + "\n"), std::string::npos) << r.out;
}

TEST(Limits, MapLimitsAreInclusive) {
    Limits limits;
    limits.maxMapPixels = 200;
    MapFrame exact{0, 0, 20, 10, 1};
    EXPECT_NO_THROW(computeImageSize(exact, limits));
    MapFrame over{0, 0, 21, 10, 1};
    EXPECT_THROW(computeImageSize(over, limits), RunError);

    // A span of exactly 1,000,000 units.
    MapFrame span{0, 0, 1000000, 1000, 0.001};
    EXPECT_NO_THROW(computeImageSize(span, Limits{}));
    EXPECT_EQ(span.imageWidth, 1000);
    MapFrame wider{0, 0, 1000001, 1000, 0.001};
    EXPECT_THROW(computeImageSize(wider, Limits{}), RunError);
}

TEST(Limits, AnyTokenStartingWithAStarEndsTheTypesAndAnyLineTheObjects) {
    TempDir dir;
    saveGif(makePaletteImage(4, 4, {BLACK}).get(), dir.file("ship.gif"));
    const RunResult r = runInProcess(
        {}, "T\n-\n0\n0 0 40 20 4\nship ship.gif 1 0\n*types\nL\nship 1 1 0 0 0 0\n* end of the objects\n", dir.path());
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_EQ(r.err, "");
}

TEST(Limits, TurnedIconOfExactlyTheLargestSideIsAccepted) {
    TempDir dir;
    saveGif(makePaletteImage(10, 10, {BLACK}).get(), dir.file("ship.gif"));  // turns into 15 x 15
    for (const auto& [side, accepted] : {std::pair{15.0, true}, std::pair{14.0, false}}) {
        Options options;
        options.limits.maxIconSide = side;
        ScenarioInput input("T\n-\n0 0 0 1 1 1\nship " + dir.file("ship.gif") + " 1 0\n*\n");
        const ScenarioText scenario = readScenario(input);
        RecordingReporter reporter;
        DiskFiles files;
        if (accepted)
            EXPECT_NO_THROW(loadCatalogue(scenario, options, files, files, reporter));
        else
            EXPECT_THROW(loadCatalogue(scenario, options, files, files, reporter), RunError);
    }
}

TEST(Limits, DebugIconNamesReplaceBothSlashes) {
    EXPECT_EQ(debugIconFileName("sea\\boat/x", 3), "sea_boat_x3.gif");
}

TEST(Limits, PictureLimitsAreInclusive) {
    TempDir dir;
    saveGif(makePaletteImage(8, 6, {BLACK}).get(), dir.file("p.gif"));
    auto status = [&](long side, long pixels) {
        Limits limits;
        limits.maxPictureSide = side;
        limits.maxPicturePixels = pixels;
        DiskFiles files;
        return loadPicture(files, dir.file("p.gif"), limits).status;
    };
    EXPECT_EQ(status(8, 48), PictureStatus::loaded);
    EXPECT_EQ(status(7, 48), PictureStatus::tooLarge);
    EXPECT_EQ(status(8, 47), PictureStatus::tooLarge);
}

TEST(Limits, GlobalColourTableIsSkippedWhole) {
    // Entry 2 starts with 44, the byte of ',': read as blocks, the table's
    // second half would be taken for an image descriptor 11267 pixels wide.
    TempDir dir;
    ImagePtr picture = makePaletteImage(4, 4, {BLACK, {10, 10, 10}, {44, 200, 200}, {1, 2, 3}});
    gdImageSetPixel(picture.get(), 0, 0, 2);
    gdImageSetPixel(picture.get(), 1, 0, 3);
    saveGif(picture.get(), dir.file("p.gif"));
    Limits limits;
    limits.maxPictureSide = 1000;
    DiskFiles files;
    const Picture loaded = loadPicture(files, dir.file("p.gif"), limits);
    EXPECT_EQ(loaded.status, PictureStatus::loaded);
}

TEST(Limits, ExtensionsAreSkippedAsGdSkipsThem) {
    // Before the image: an empty comment, and a graphic control extension
    // whose first block is empty, then a block of 3: read another way, the
    // bytes after them would be taken for the image's introducer.
    TempDir dir;
    saveGif(makePaletteImage(4, 4, {BLACK, {10, 10, 10}}).get(), dir.file("plain.gif"));
    std::string gif = dir.read("plain.gif");
    const auto packed = static_cast<unsigned char>(gif[10]);
    const std::size_t imageAt = 13 + ((packed & 0x80) != 0 ? std::size_t{3} << ((packed & 7) + 1) : 0);
    ASSERT_EQ(gif[imageAt], ',');
    gif.insert(imageAt, std::string("\x21\xfe\x00\x21\xf9\x00\x03\x01\x02\x03\x00", 11));
    dir.write("p.gif", gif);
    Limits limits;
    DiskFiles files;
    EXPECT_EQ(loadPicture(files, dir.file("p.gif"), limits).status, PictureStatus::loaded);
}

}  // namespace

// Runs the orvex binary on small scenarios and checks its streams, exit
// status and the GIF it writes.
#include "app/version.h"
#include "support/run_orvex.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

using namespace orvex;

namespace {

namespace fs = std::filesystem;

const std::string USAGE =
    "usage: orvex -a -b -d -f filename.gif -g -i image_dir -l -r resource.ini -t -v -w\n";

const std::string BAY = "Battle of the Bay\n-\n7\n0 0 100 50\n2\n*\n*\n";

// The -v report for BAY.
const std::string BAY_REPORT =
    "title                Battle of the Bay\n"
    "map extent           0.000000.1/0.000000.1 100.000000.1/50.000000.1\n"
    "image resolution     200 x 100\n"
    "map                  color\n"
    "background           plain\n"
    "resampling           off\n"
    "object tracks        on\n"
    "real thrust plotting off\n"
    "grid                 off\n"
    "legend               off\n"
    "\n";

const Rgb BLACK{0, 0, 0}, WHITE{255, 255, 255};
const std::vector<Rgb> DEFAULT_PALETTE = {BLACK, {96, 255, 96}, {96, 255, 96}, {96, 96, 255}, {64, 196, 64}, {33, 100, 33}};

// A scenario without object types or objects.
std::string scenario(const std::string& title, const std::string& background, const std::string& extentAndScale,
                     const std::string& tracks = "1") {
    return title + "\n" + background + "\n" + tracks + "\n" + extentAndScale + "\n*\n*\n";
}

// Standard output after the three banner lines; fails when the banner is not there.
std::string afterBanner(const std::string& out) {
    const std::string first = "orvex v" ORVEX_VERSION "\n";
    EXPECT_EQ(out.substr(0, first.size()), first);
    const std::size_t noticeEnd = out.find('\n', first.size());
    EXPECT_NE(noticeEnd, std::string::npos);
    EXPECT_GT(noticeEnd, first.size()) << "empty notice line";
    EXPECT_EQ(out.substr(noticeEnd + 1, 1), "\n");
    return noticeEnd == std::string::npos ? out : out.substr(noticeEnd + 2);
}

// A -v run's standard output: the banner, the settings report, later lines
// from the stages and "writing image file" last.
void expectReport(const std::string& out, const std::string& report, const std::string& later = "") {
    const std::string rest = afterBanner(out);
    EXPECT_EQ(rest.substr(0, report.size()), report);
    EXPECT_NE(rest.find(later, report.size() - 1), std::string::npos) << rest;
    EXPECT_TRUE(rest.ends_with("\nwriting image file\n")) << rest;
}

class EndToEnd : public ::testing::Test {
protected:
    RunResult run(const std::vector<std::string>& args, const std::string& input = BAY) {
        return runInProcess(args, input, dir.path());
    }

    // Through the real binary, for the wiring of arguments, streams and
    // exit status.
    RunResult runReal(const std::vector<std::string>& args, const std::string& input = BAY) {
        return runBinary(args, input, dir.path());
    }

    // The output image read back, after checking that the run succeeded quietly.
    ImagePtr runToImage(const std::vector<std::string>& args, const std::string& input = BAY,
                        const std::string& expectedErr = "") {
        const RunResult r = run(args, input);
        EXPECT_EQ(r.exitStatus, 0) << r.err;
        EXPECT_EQ(r.err, expectedErr);
        ImagePtr image = loadGif(dir.file("orvex.gif"));
        EXPECT_TRUE(image) << "no readable orvex.gif";
        return image;
    }

    // Runs with the resource file text and returns the image.
    ImagePtr withResource(const std::string& text, const std::string& expectedErr = "") {
        dir.write("colors.ini", text);
        return runToImage({"-r", "colors.ini"}, BAY, expectedErr);
    }

    TempDir dir;
};

void expectPalette(const gdImage* image, const std::vector<Rgb>& expected) {
    ASSERT_TRUE(image);
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(paletteEntry(image, static_cast<int>(i)), expected[i]) << "entry " << i;
}

// The ground is entry 0 and covers most of the map; the frame, title and
// axes are drawn over it.
void expectGround(gdImage* image, const Rgb& color) {
    ASSERT_TRUE(image);
    int ground = 0;
    for (int y = 0; y < gdImageSY(image); ++y)
        for (int x = 0; x < gdImageSX(image); ++x) ground += gdImageGetPixel(image, x, y) == 0;
    EXPECT_GT(ground, gdImageSX(image) * gdImageSY(image) / 2);
    EXPECT_EQ(paletteEntry(image, 0), color);
}

// Command line and standard output

TEST_F(EndToEnd, UsageErrorWritesOnlyToStandardError) {
    RunResult r = runReal({"-v", "-x"});
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "orvex: illegal option x\n" + USAGE);

    r = runReal({"map.gif"});
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, USAGE);
    EXPECT_FALSE(dir.exists("orvex.gif"));
}

TEST_F(EndToEnd, PlainRunPrintsOnlyTheBanner) {
    const RunResult r = runReal({});
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_EQ(afterBanner(r.out), "");
    EXPECT_EQ(r.err, "");
}

TEST_F(EndToEnd, VerboseReport) {
    RunResult r = run({"-v"});
    EXPECT_EQ(r.exitStatus, 0);
    expectReport(r.out, BAY_REPORT);

    r = run({"-V", "-b", "-a", "-t", "-g", "-l", "-w"});
    expectReport(r.out,
              "title                Battle of the Bay\n"
              "map extent           0.000000.1/0.000000.1 100.000000.1/50.000000.1\n"
              "image resolution     200 x 100\n"
              "map                  bitonal\n"
              "background           plain\n"
              "resampling           on\n"
              "object tracks        on\n"
              "real thrust plotting on\n"
              "grid                 on\n"
              "legend               on\n"
              "\n");

    // Without object tracks there is no thrust line.
    r = run({"-v", "-t"}, scenario("T", "-", "-2.5 -1 3 4.25 2", "0"));
    expectReport(r.out,
              "title                T\n"
              "map extent           -2.500000.1/-1.000000.1 3.000000.1/4.250000.1\n"
              "image resolution     11 x 11\n"
              "map                  color\n"
              "background           plain\n"
              "resampling           off\n"
              "object tracks        off\n"
              "grid                 off\n"
              "legend               off\n"
              "\n");
}

TEST_F(EndToEnd, VerboseNamesTheResourceFileItReads) {
    dir.write("colors.ini", "[COLOR]\n");
    const RunResult r = run({"-v", "-r", "colors.ini"});
    EXPECT_EQ(r.exitStatus, 0);
    expectReport(r.out, BAY_REPORT, "\nreading resource file colors.ini\n");
    EXPECT_EQ(r.err, "");
}

// Palette and resource file

TEST_F(EndToEnd, DefaultPaletteAndGround) {
    ImagePtr image = runToImage({});
    expectPalette(image.get(), DEFAULT_PALETTE);
    expectGround(image.get(), BLACK);
}

TEST_F(EndToEnd, BitonalIsBlackOnWhiteAndIgnoresTheResourceFile) {
    ImagePtr image = runToImage({"-b"});
    expectPalette(image.get(), {WHITE, BLACK});
    expectGround(image.get(), WHITE);

    // The resource file is not even opened.
    const RunResult r = run({"-v", "-b", "-r", "missing.ini"});
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out.find("resource"), std::string::npos);
}

TEST_F(EndToEnd, ResourceColoursTakeTheFirstEntries) {
    // Entry 0 is the ground, whichever role it went to.
    ImagePtr image = withResource("[COLOR]\ngridcolor = 40 40 40 ; dark grey\n");
    expectPalette(image.get(), {{40, 40, 40}, BLACK, {96, 255, 96}, {96, 255, 96}, {96, 96, 255}, {64, 196, 64}});
    expectGround(image.get(), {40, 40, 40});

    image = withResource("; colours\n[COLOR]\nAXESCOLOR=255 0 0\n");
    expectPalette(image.get(), {{255, 0, 0}, BLACK, {96, 255, 96}, {96, 255, 96}, {96, 96, 255}, {33, 100, 33}});

    // A key given twice takes a second entry.
    image = withResource("[COLOR]\nGRIDCOLOR = 1 2 3\nGRIDCOLOR = 4 5 6\n");
    expectPalette(image.get(), {{1, 2, 3}, {4, 5, 6}, BLACK, {96, 255, 96}});
}

TEST_F(EndToEnd, EveryColourSectionIsRead) {
    ImagePtr image = withResource(
        "[COLOR]\nGRIDCOLOR = 1 2 3\n[SIZES]\nTITLETEXTCOLOR = 4 5 6\n[MORE COLOR]\nCOURSECOLOR = 7 8 9\n");
    expectPalette(image.get(), {{1, 2, 3}, {7, 8, 9}, BLACK, {96, 255, 96}, {96, 255, 96}, {64, 196, 64}});
}

TEST_F(EndToEnd, BadResourceEntriesWarnAndAreSkipped) {
    const std::vector<Rgb> defaults(DEFAULT_PALETTE.begin(), DEFAULT_PALETTE.begin() + 3);
    ImagePtr image = withResource("[COLOR]\nTitleTextColor 255 255 255\n",
                                  "**** Warning bad resource file entry \nTITLETEXTCOLOR 255 255 255\n\n");
    expectPalette(image.get(), defaults);

    image = withResource("[COLOR]\n\nGRIDCOLOR = 9 9 9\n", "**** Warning bad resource file entry \n\n\n");
    expectPalette(image.get(), {{9, 9, 9}, BLACK});

    image = withResource("[COLOR]\nGRIDCOLOR = 256 0 0\nAXESCOLOR = 1 2\nCOURSECOLOR = 1 2 -3\n",
                         "**** Warning bad resource file entry \nGRIDCOLOR = 256 0 0\n\n"
                         "**** Warning bad resource file entry \nAXESCOLOR = 1 2\n\n"
                         "**** Warning bad resource file entry \nCOURSECOLOR = 1 2 -3\n\n");
    expectPalette(image.get(), defaults);
}

TEST_F(EndToEnd, UnclosedSectionIsReportedAndItsEntriesIgnored) {
    dir.write("colors.ini", "[COLOR\nGRIDCOLOR = 9 9 9\n");
    const RunResult r = run({"-r", "colors.ini"});
    EXPECT_EQ(r.exitStatus, 0);
    // The line keeps its own line end, and the message adds one.
    EXPECT_EQ(r.err, "**** Error bad resource section [COLOR\n\n");
    expectPalette(loadGif(dir.file("orvex.gif")).get(), {BLACK, {96, 255, 96}});
}

TEST_F(EndToEnd, CrLfResourceFileReadsAsLf) {
    const std::string lf = "[COLOR]\nGRIDCOLOR = 40 40 40\nTITLETEXTCOLOR\nAXESCOLOR = 1 2 3\n";
    std::string crlf;
    for (char c : lf) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    const std::string warning = "**** Warning bad resource file entry \nTITLETEXTCOLOR\n\n";

    withResource(lf, warning);
    const std::string lfImage = dir.read("orvex.gif");
    withResource(crlf, warning);
    EXPECT_EQ(dir.read("orvex.gif"), lfImage);
}

TEST_F(EndToEnd, MissingResourceFileWarnsAndKeepsTheDefaults) {
    const RunResult r = run({"-r", "missing.ini"});
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_EQ(r.err, "**** Warning unable to open resource file missing.ini\n");
    expectPalette(loadGif(dir.file("orvex.gif")).get(), DEFAULT_PALETTE);
}

TEST_F(EndToEnd, MoreColoursThanThePaletteHolds) {
    std::string text = "[COLOR]\n";
    std::vector<Rgb> colors;
    for (int i = 0; i < 300; ++i) {
        colors.push_back({i % 256, i / 256, 7});
        text += "GRIDCOLOR = " + std::to_string(i % 256) + " " + std::to_string(i / 256) + " 7\n";
    }
    ImagePtr image = withResource(text);
    ASSERT_TRUE(image);
    colors.resize(256);
    expectPalette(image.get(), colors);
    // The default roles took the closest entries instead of new ones.
    expectGround(image.get(), colors[0]);
}

// Output image

TEST_F(EndToEnd, WritesTheNamedFileInterlaced) {
    const RunResult r = runReal({"-f", "out.gif"});
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_FALSE(dir.exists("orvex.gif"));
    ImagePtr image = loadGif(dir.file("out.gif"));
    ASSERT_TRUE(image);
    EXPECT_TRUE(gdImageGetInterlaced(image.get()));
}

TEST_F(EndToEnd, ImageSizeFollowsExtentAndScale) {
    const struct {
        const char* extentAndScale;
        int width, height;
    } cases[] = {{"0 0 100 50 2", 200, 100}, {"0 0 101 51 0.5", 51, 26}, {"-10.5 0 10.5 10 1", 21, 10},
                 {"0 0 65535 1 1", 65535, 1}, {"0 0 0.6 0.6 1", 1, 1}};
    for (const auto& c : cases) {
        ImagePtr image = runToImage({}, scenario("T", "-", c.extentAndScale));
        ASSERT_TRUE(image) << c.extentAndScale;
        EXPECT_EQ(gdImageSX(image.get()), c.width) << c.extentAndScale;
        EXPECT_EQ(gdImageSY(image.get()), c.height) << c.extentAndScale;
    }
}

TEST_F(EndToEnd, InvalidMapIsRefusedWithTheFirstReasonThatHolds) {
    const std::string size = " pixels (1 to 65535 a side, at most 100000000 in all)";
    const struct {
        const char* extentAndScale;
        std::string reason;
    } cases[] = {
        {"0 0 100 50 0", "scale must be above 0"},
        {"0 0 100 50 -1", "scale must be above 0"},
        {"3e9 0 1 1 0", "scale must be above 0"},
        {"3e9 0 3e9 1 1", "extent values must be smaller than 2147483648 either way"},
        {"0 -2147483648 1 1 1", "extent values must be smaller than 2147483648 either way"},
        {"0 0 2000000 1 0.001", "the map spans more than 1000000 units"},
        {"0 -600000 1 600000 0.0001", "the map spans more than 1000000 units"},
        {"0 0 1000001 1000000 0.0001", "the map spans more than 1000000 units"},
        {"0 0 120000 80000 1", "the map would be 120000 x 80000" + size},
        {"0 0 70000 1 1", "the map would be 70000 x 1" + size},
        {"0 0 20000 20000 1", "the map would be 20000 x 20000" + size},
        {"100 0 -100 100 1", "the map would be -199 x 100" + size},
        {"0 0 0.4 10 1", "the map would be 0 x 10" + size},
        {"0 0 1 1 3e9", "the map would be 3000000000 x 3000000000" + size},
    };
    for (const auto& c : cases) {
        const RunResult r = run({"-v"}, scenario("T", "-", c.extentAndScale));
        EXPECT_EQ(r.exitStatus, 1) << c.extentAndScale;
        EXPECT_EQ(r.err, "**** Error invalid map extent or scale: " + c.reason + "\n") << c.extentAndScale;
        EXPECT_EQ(afterBanner(r.out), "") << c.extentAndScale;
        EXPECT_FALSE(dir.exists("orvex.gif")) << c.extentAndScale;
    }
    // A span of exactly 1000000 units is a map.
    EXPECT_EQ(run({}, scenario("T", "-", "0 0 1000000 1000000 0.0001")).exitStatus, 0);
}

// Standard input is read whole however long it is: here a title line of
// 70,000 characters (the title keeps 79) before the rest.
TEST_F(EndToEnd, LongInputIsReadWhole) {
    const RunResult r = run({"-v"}, std::string(70000, 'T') + "\n-\n1\n0 0 40 30\n4\n*\n*\n");
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_NE(r.out.find("writing image file"), std::string::npos);
}

TEST_F(EndToEnd, MissingOrBadHeaderItem) {
    const struct {
        const char* input;
        const char* err;
    } cases[] = {
        {"", "**** Error bad scenario line 1: title expected\n"},
        {"T\n", "**** Error bad scenario line 1: background picture name expected\n"},
        {"T\n-\nx\n", "**** Error bad scenario line 3: tracks flag expected\n"},
        {"T\n-\n1\n0 0 100\n", "**** Error bad scenario line 4: map extent expected\n"},
        {"T\n-\n1\n0 0\n100 50\nnan\n", "**** Error bad scenario line 6: scale expected\n"},
        {"T\r\n-\r\n1\r\n0 0 100 50\r\n", "**** Error bad scenario line 4: scale expected\n"},
    };
    for (const auto& c : cases) {
        const RunResult r = run({}, c.input);
        EXPECT_EQ(r.exitStatus, 1) << c.input;
        EXPECT_EQ(r.err, c.err);
        EXPECT_FALSE(dir.exists("orvex.gif")) << c.input;
    }
}

TEST_F(EndToEnd, TitleIsTheFirstLineCutTo79Characters) {
    const std::string title79 = "Battle of the Bay, " + std::string(60, 'x');
    ASSERT_EQ(title79.size(), 79u);
    const struct {
        std::string firstLine, title;
    } cases[] = {
        {title79 + "-- 0 q", title79},  // the cut-off rest would be read as bad items
        {title79, title79},
        {"", ""},
        {"Bay\r", "Bay"},
        {" Bay  ", " Bay  "},
        // A cut after a non-ASCII byte keeps it: it is text, not a line end.
        {std::string(77, 'x') + "\xc3\xa9!", std::string(77, 'x') + "\xc3\xa9"},
        {"Bay\t", "Bay\t"},
    };
    for (const auto& c : cases) {
        const RunResult r = run({"-v"}, c.firstLine + "\n-\n1\n0 0 10 10 1\n*\n*\n");
        EXPECT_EQ(r.exitStatus, 0) << r.err;
        EXPECT_EQ(afterBanner(r.out).substr(0, 22 + c.title.size()), "title                " + c.title + "\n");
    }
}

// Background picture

TEST_F(EndToEnd, BackgroundThatCannotBeLoadedIsReportedAndSkipped) {
    fs::create_directory(dir.file("maps"));
    dir.write("maps/text.gif", "GIF89a is what this text is not\n");
    dir.write("notes.txt", "sea chart\n");
    // Declares a 40000 x 40000 first image, and then 16384 x 8192.
    const std::string huge("GIF89a\1\0\1\0\0\0\0,\0\0\0\0\x40\x9c\x40\x9c\0\2\2\x4c\1\0;", 29);
    dir.write("maps/huge.gif", huge);
    std::string wide = huge;
    wide.replace(18, 4, std::string("\0\x40\0\x20", 4));
    dir.write("maps/wide.gif", wide);

    const struct {
        std::vector<std::string> args;
        const char* name;
        const char* err;
    } cases[] = {
        {{}, "sea.gif", "**** Error unable to load background image sea.gif\n"},
        {{"-i", "maps"}, "sea.gif", "**** Error unable to load background image maps/sea.gif\n"},
        {{"-i", "maps"}, "text.gif", "**** Error unable to load background image maps/text.gif\n"},
        {{}, "notes.txt", "**** Error unable to load background image notes.txt\n"},
        {{}, "maps", "**** Error unable to load background image maps\n"},
        {{"-i", "maps"}, "huge.gif", "**** Error picture too large maps/huge.gif\n"},
        {{"-i", "maps"}, "wide.gif", "**** Error picture too large maps/wide.gif\n"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = c.args;
        args.push_back("-v");
        const RunResult r = run(args, scenario("T", c.name, "0 0 10 10 1"));
        EXPECT_EQ(r.exitStatus, 0) << c.name;
        EXPECT_EQ(r.err, c.err);
        EXPECT_NE(r.out.find("background           plain\nresampling"), std::string::npos) << c.name;
        EXPECT_TRUE(loadGif(dir.file("orvex.gif"))) << c.name;
    }
}

TEST_F(EndToEnd, BackgroundPictureIsLoaded) {
    fs::create_directory(dir.file("maps"));
    ImagePtr picture = makePaletteImage(8, 6, {{0, 0, 128}, {200, 200, 255}});
    gdImageSetPixel(picture.get(), 3, 3, 1);
    saveGif(picture.get(), dir.file("maps/sea.gif"));

    RunResult r = run({"-v", "-i", "maps"}, scenario("T", "sea.gif", "0 0 10 10 1"));
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_NE(r.out.find("background           maps/sea.gif\ntiling               off\nresampling"), std::string::npos);

    r = run({"-v", "-w"}, scenario("T", "maps/sea.gif", "0 0 10 10 1"));
    EXPECT_NE(r.out.find("background           maps/sea.gif\ntiling               on\n"), std::string::npos);

    // Not even opened for a bitonal map.
    for (const char* name : {"maps/sea.gif", "nothing.gif"}) {
        r = run({"-v", "-b", "-w"}, scenario("T", name, "0 0 10 10 1"));
        EXPECT_EQ(r.exitStatus, 0);
        EXPECT_EQ(r.err, "");
        EXPECT_NE(r.out.find("background           plain\nresampling"), std::string::npos);
    }
}

TEST_F(EndToEnd, DashNamesNoBackground) {
    const RunResult r = run({"-v"}, scenario("T", "-", "0 0 10 10 1"));
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_NE(r.out.find("background           plain\nresampling"), std::string::npos);
}

// Writing the file

TEST_F(EndToEnd, UnwritableOutputIsAnError) {
    fs::create_directory(dir.file("sub"));
    const std::pair<std::string, std::string> cases[] = {{"nosuch/out.gif", "No such file or directory"},
                                                         {"sub", "Is a directory"}};
    for (const auto& [name, reason] : cases) {
        const RunResult r = run({"-f", name});
        EXPECT_EQ(r.exitStatus, 1) << name;
        EXPECT_EQ(r.err, "**** Error unable to write image file " + name + ": " + reason + "\n");
    }
    EXPECT_TRUE(fs::is_directory(dir.file("sub")));
    EXPECT_EQ(fs::directory_iterator(dir.file("sub")), fs::directory_iterator());
    // A device that takes no bytes, reached through a link of our own (so
    // that a broken replace could only ever replace the link): the write
    // fails, and it is said.
    fs::create_symlink("/dev/full", dir.file("full.gif"));
    const RunResult full = run({"-f", "full.gif"});
    EXPECT_EQ(full.exitStatus, 1);
    EXPECT_EQ(full.err, "**** Error unable to write image file full.gif: No space left on device\n");
}

// A map made anew, directly or as the target of a dangling link, gets
// read and write permission for all that the umask leaves.
TEST_F(EndToEnd, NewMapsAreReadableAndWritableAsTheUmaskAllows) {
    fs::create_symlink("target.gif", dir.file("link.gif"));
    const mode_t before = ::umask(0);
    const RunResult direct = run({"-f", "new.gif"}), linked = run({"-f", "link.gif"});
    ::umask(before);
    ASSERT_EQ(direct.exitStatus + linked.exitStatus, 0) << direct.err << linked.err;
    for (const char* name : {"new.gif", "target.gif"}) {
        struct stat status {};
        ASSERT_EQ(::stat(dir.file(name).c_str(), &status), 0) << name;
        EXPECT_EQ(status.st_mode & 07777, 0666u) << name;
    }
}

TEST_F(EndToEnd, ExistingFileIsReplacedWithoutLeftovers) {
    dir.write("orvex.gif", std::string(100000, 'o'));
    ImagePtr image = runToImage({});
    ASSERT_TRUE(image);
    EXPECT_EQ(gdImageSX(image.get()), 200);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.path())) names.push_back(entry.path().filename());
    EXPECT_EQ(names, std::vector<std::string>{"orvex.gif"});
}

TEST_F(EndToEnd, SymbolicLinkIsWrittenThrough) {
    fs::create_directory(dir.file("real"));
    dir.write("real/target.gif", std::string(100000, 'o'));
    fs::create_symlink("real/target.gif", dir.file("link.gif"));
    const RunResult r = run({"-f", "link.gif"});
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_TRUE(fs::is_symlink(dir.file("link.gif")));
    ImagePtr image = loadGif(dir.file("real/target.gif"));
    ASSERT_TRUE(image);
    EXPECT_EQ(gdImageSX(image.get()), 200);
    EXPECT_LT(fs::file_size(dir.file("real/target.gif")), 100000u);  // truncated, not overwritten in part
}

TEST_F(EndToEnd, DanglingSymbolicLinkCreatesItsTarget) {
    fs::create_symlink("new.gif", dir.file("link.gif"));
    const RunResult r = run({"-f", "link.gif"});
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_TRUE(fs::is_symlink(dir.file("link.gif")));
    EXPECT_TRUE(loadGif(dir.file("new.gif")));
}

TEST_F(EndToEnd, DeviceIsWrittenThrough) {
    // Reached through a link of the test's own, so that a replace that
    // went wrong could only replace the link, never the device.
    fs::create_symlink("/dev/null", dir.file("null.gif"));
    const RunResult r = runReal({"-f", "null.gif"});
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(fs::is_symlink(dir.file("null.gif")));
    EXPECT_TRUE(fs::is_character_file(dir.file("null.gif")));
}

}  // namespace

// The long options through the real binary: --help and --version, --quiet
// and --strict into a pipe, and --check's streams and exit status.
#include "app/version.h"
#include "support/run_orvex.h"

#include <gtest/gtest.h>

#include <string>

using namespace orvex;

namespace {

const std::string USAGE = "usage: orvex -a -b -d -f filename.gif -g -i image_dir -l -r resource.ini -t -v -w\n";
const std::string BANNER_START = "orvex v" ORVEX_VERSION "\n";

// An object of an unknown type: one warning.
const std::string WITH_WARNING = "T\n-\n1\n0 0 40 30\n4\nship ship.gif 1 1\n*\nA\nship 5 5 0 0 0 0\nB\nboat 9 9 0 0 0 0\n*\n";
const std::string BOAT_WARNING = "**** Warning unknown object type boat (object 2, label \"B\" from line 10)\n";

class LongOptions : public ::testing::Test {
protected:
    void SetUp() override {
        saveGif(makePaletteImage(6, 6, {{0, 0, 0}, {255, 255, 255}}).get(), dir.file("ship.gif"));
    }
    TempDir dir;
};

TEST_F(LongOptions, HelpAndVersionPrintOnlyThemselves) {
    const RunResult help = runBinary({"-g", "--help", "-x"}, "not a scenario", dir.path());
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_EQ(help.err, "");
    EXPECT_TRUE(help.out.starts_with(USAGE));
    for (const char* line : {"\n  -f filename.gif", "\n  --check", "\n  --quiet", "\n  --strict", "\n  --version",
                             "orvex [options] < scenario", "man orvex"})
        EXPECT_NE(help.out.find(line), std::string::npos) << line;
    const RunResult version = runBinary({"--version"}, "", dir.path());
    EXPECT_EQ(version.exitStatus, 0);
    EXPECT_EQ(version.out, "orvex " ORVEX_VERSION "\n");
    EXPECT_FALSE(dir.exists("orvex.gif"));

    const RunResult unknown = runBinary({"--colour"}, "", dir.path());
    EXPECT_EQ(unknown.exitStatus, 1);
    EXPECT_EQ(unknown.err, "orvex: illegal option --colour\n" + USAGE);
    const RunResult named = runBinary({"turn07.scn"}, "", dir.path() + "/..");
    EXPECT_EQ(named.err, USAGE);
    dir.write("turn07.scn", WITH_WARNING);
    const RunResult forgotten = runBinary({"turn07.scn"}, "", dir.path());
    EXPECT_EQ(forgotten.err, USAGE + "orvex: the scenario is read from standard input: orvex [options] < turn07.scn\n");
}

TEST_F(LongOptions, QuietLeavesStandardOutputEmpty) {
    // A colour file of 256 entries leaves no room for the pictures' colours:
    // the palette warning, printed with the reports, goes with the warnings.
    std::string colors = "[COLOR]\n";
    for (int i = 0; i < 256; ++i) colors += "GRIDCOLOR = " + std::to_string(i) + " 0 0\n";
    dir.write("full.ini", colors);
    const RunResult r = runBinaryThroughPipe({"--quiet", "-v", "-d", "-r", "full.ini"}, WITH_WARNING, dir.path());
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, BOAT_WARNING + "**** Warning image color palette exhausted\n");
    EXPECT_TRUE(loadGif(dir.file("orvex.gif")));
    EXPECT_TRUE(dir.exists("ship0.gif"));  // -d's files are still made
}

TEST_F(LongOptions, StrictKeepsTheEarlierMapAfterAnyWarning) {
    dir.write("orvex.gif", "an earlier map");
    const RunResult one = runBinaryThroughPipe({"--strict", "-v"}, WITH_WARNING, dir.path());
    EXPECT_EQ(one.exitStatus, 1);
    EXPECT_TRUE(one.out.starts_with(BANNER_START));
    EXPECT_EQ(one.out.find("writing image file"), std::string::npos);
    EXPECT_EQ(one.err, BOAT_WARNING + "**** Error 1 warning with --strict; the map is not written\n");
    EXPECT_EQ(dir.read("orvex.gif"), "an earlier map");

    dir.write("colors.ini", "[COLOR\n[COLOR]\nGRIDCOLOR 1 2 3\n");
    const RunResult three = runBinaryThroughPipe({"-r", "colors.ini", "--strict"}, WITH_WARNING, dir.path());
    EXPECT_EQ(three.exitStatus, 1);
    EXPECT_TRUE(three.err.ends_with("**** Error 3 warnings with --strict; the map is not written\n")) << three.err;
    EXPECT_EQ(dir.read("orvex.gif"), "an earlier map");

    // The palette's warning, shown with the reports, counts too.
    std::string many = "[COLOR]\n";
    for (int i = 0; i < 300; ++i) many += "GRIDCOLOR = " + std::to_string(i % 256) + " " + std::to_string(i / 256) + " 7\n";
    dir.write("many.ini", many);
    const std::string plain = "T\n-\n1\n0 0 40 30\n4\nship ship.gif 1 1\n*\nA\nship 5 5 0 0 0 0\n*\n";
    const RunResult palette = runBinaryThroughPipe({"-r", "many.ini", "--strict"}, plain, dir.path());
    EXPECT_EQ(palette.exitStatus, 1);
    EXPECT_TRUE(palette.err.ends_with("**** Error 1 warning with --strict; the map is not written\n")) << palette.err;

    const RunResult clean = runBinaryThroughPipe({"--strict"}, plain, dir.path());
    EXPECT_EQ(clean.exitStatus, 0) << clean.err;
    EXPECT_TRUE(loadGif(dir.file("orvex.gif")));
}

TEST_F(LongOptions, CheckPrintsFindingsOnErrorAndTheirCountOnOutput) {
    const RunResult found = runBinary({"--check", "-d"}, WITH_WARNING, dir.path());
    EXPECT_EQ(found.exitStatus, 1);
    EXPECT_EQ(found.err,
              "<stdin>:11: warning: unknown object type boat: object 2, \"B\", is left out (declare it among the object "
              "types)\n");
    EXPECT_EQ(found.out, "0 errors, 1 warning\n");
    const RunResult clean = runBinary({"--check"}, "T\n-\n1\n0 0 40 30\n4\n*\n*\n", dir.path());
    EXPECT_EQ(clean.exitStatus, 0);
    EXPECT_EQ(clean.out, "no problems found\n");
    EXPECT_EQ(clean.err, "");
    EXPECT_FALSE(dir.exists("orvex.gif"));
    EXPECT_FALSE(dir.exists("ship0.gif"));
}

}  // namespace

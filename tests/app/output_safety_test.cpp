// What a run does to the files and streams around it: the map never
// replaces one of the run's inputs and never mixes with the reports, it
// keeps the mode and links of the map it replaces, and a failure to read the
// scenario or to write the reports is told, not passed over.
#include "app/orvex.h"
#include "app/version.h"
#include "support/run_orvex.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

using namespace orvex;

namespace {

namespace fs = std::filesystem;

// A background, an icon, a colour file, and an object of an unknown type
// whose warning falls between the report lines.
const std::string SCENARIO =
    "Turn 7\nsea.gif\n1\n0 0 40 30\n4\nship ship.gif 1 1\n*\nHood\nship 10 10 3 3 2 0\nLost\nboat 5 5 0 0 0 0\n*\n";
const std::string UNKNOWN_BOAT = "**** Warning unknown object type boat (object 2, label \"Lost\" from line 10)\n";

class OutputSafety : public ::testing::Test {
protected:
    void SetUp() override {
        ImagePtr sea = makePaletteImage(8, 6, {{0, 0, 128}, {200, 200, 255}});
        gdImageSetPixel(sea.get(), 2, 2, 1);
        saveGif(sea.get(), dir.file("sea.gif"));
        ImagePtr ship = makePaletteImage(6, 4, {{0, 0, 0}, {255, 255, 255}});
        gdImageLine(ship.get(), 0, 1, 5, 1, 1);
        saveGif(ship.get(), dir.file("ship.gif"));
        dir.write("colors.ini", "[COLOR]\nBACKGROUNDCOLOR = 0 0 40\nLEADERCOLOR = 255 180 80\n");
    }

    RunResult run(const std::vector<std::string>& args) { return runInProcess(args, SCENARIO, dir.path()); }

    // Every file of the directory with its content.
    std::vector<std::pair<std::string, std::string>> files() const {
        std::vector<std::pair<std::string, std::string>> found;
        for (const auto& entry : fs::recursive_directory_iterator(dir.path())) {
            const std::string name = fs::relative(entry.path(), dir.path()).string();
            found.emplace_back(name, fs::is_regular_file(entry.path()) ? dir.read(name) : "(not a file)");
        }
        std::sort(found.begin(), found.end());
        return found;
    }

    TempDir dir;
};

// The reports of a run that wrote its map into a file, with the one warning
// where it was printed: the text a map on standard output shows on
// standard error instead.
std::string reportsWithWarning(const std::string& out) {
    std::string text = out;
    const std::string before = "reading game objects\n";
    text.insert(text.find(before) + before.size(), UNKNOWN_BOAT);
    return text;
}

TEST_F(OutputSafety, MapOnStandardOutputThroughAPipeIsTheGifAlone) {
    const RunResult toFile = runBinary({"-v", "-r", "colors.ini", "-f", "map.gif"}, SCENARIO, dir.path());
    ASSERT_EQ(toFile.exitStatus, 0) << toFile.err;
    ASSERT_EQ(toFile.err, UNKNOWN_BOAT);

    const RunResult piped = runBinaryThroughPipe({"-v", "-r", "colors.ini", "-f", "/dev/stdout"}, SCENARIO, dir.path());
    EXPECT_EQ(piped.exitStatus, 0) << piped.err;
    EXPECT_EQ(piped.out, dir.read("map.gif"));
    EXPECT_EQ(piped.err, reportsWithWarning(toFile.out));
}

TEST_F(OutputSafety, MapOnStandardOutputRedirectedToAFile) {
    const RunResult toFile = runBinary({"-v", "-d", "-f", "map.gif"}, SCENARIO, dir.path());
    ASSERT_EQ(toFile.exitStatus, 0) << toFile.err;

    TempDir io;
    const int status = runBinaryOnFiles({"-v", "-d", "-f", "/dev/stdout"}, io.write("in", SCENARIO),
                                        io.file("out"), io.file("err"), dir.path());
    EXPECT_EQ(status, 0) << io.read("err");
    EXPECT_EQ(io.read("out"), dir.read("map.gif"));
    EXPECT_EQ(io.read("err"), reportsWithWarning(toFile.out));
}

TEST_F(OutputSafety, MapThatWouldReplaceAnInputIsNotWritten) {
    fs::create_directory(dir.file("pics"));
    fs::copy_file(dir.file("ship.gif"), dir.file("pics/ship.gif"));
    fs::copy_file(dir.file("sea.gif"), dir.file("pics/sea.gif"));
    fs::create_symlink("ship.gif", dir.file("pics/link.gif"));
    fs::create_hard_link(dir.file("colors.ini"), dir.file("colors2.ini"));
    const auto before = files();
    const struct {
        std::vector<std::string> args;
        std::string target;
    } cases[] = {
        {{"-i", "pics", "-f", "pics/sea.gif"}, "pics/sea.gif"},
        {{"-i", "pics", "-f", "pics/ship.gif"}, "pics/ship.gif"},
        {{"-i", "pics", "-f", "pics/link.gif"}, "pics/link.gif"},
        {{"-i", "pics", "-r", "colors.ini", "-f", "colors.ini"}, "colors.ini"},
        {{"-i", "pics", "-r", "colors.ini", "-f", "colors2.ini"}, "colors2.ini"},
        {{"-f", "ship.gif"}, "ship.gif"},
    };
    for (const auto& c : cases) {
        const RunResult r = run(c.args);
        EXPECT_EQ(r.exitStatus, 1) << c.target;
        EXPECT_EQ(r.err, UNKNOWN_BOAT + "**** Error output file " + c.target + " is an input of this run\n");
        EXPECT_EQ(files(), before) << c.target;  // unchanged, and no temporary file left
    }
    // The scenario read on standard input is an input too.
    const std::string scenario = dir.write("turn.scn", SCENARIO);
    TempDir io;
    EXPECT_EQ(runBinaryOnFiles({"-f", "turn.scn"}, scenario, io.file("out"), io.file("err"), dir.path()), 1);
    EXPECT_EQ(io.read("err"), UNKNOWN_BOAT + "**** Error output file turn.scn is an input of this run\n");
    EXPECT_EQ(dir.read("turn.scn"), SCENARIO);
}

TEST_F(OutputSafety, ReplacedMapKeepsItsModeAndItsLinks) {
    dir.write("private.gif", "old");
    fs::permissions(dir.file("private.gif"), fs::perms::owner_read | fs::perms::owner_write);
    dir.write("shared.gif", "old");
    fs::create_hard_link(dir.file("shared.gif"), dir.file("other-name.gif"));
    const mode_t umaskBefore = ::umask(027);
    const RunResult fresh = run({"-f", "fresh.gif"});
    const RunResult kept = run({"-f", "private.gif"});
    const RunResult linked = run({"-f", "shared.gif"});
    ::umask(umaskBefore);
    ASSERT_EQ(fresh.exitStatus + kept.exitStatus + linked.exitStatus, 0);

    auto mode = [&](const std::string& name) {
        struct stat status {};
        EXPECT_EQ(::stat(dir.file(name).c_str(), &status), 0) << name;
        return status.st_mode & 07777;
    };
    const std::string map = dir.read("fresh.gif");
    EXPECT_EQ(mode("fresh.gif"), 0640u);  // 0666 less the umask
    EXPECT_EQ(dir.read("private.gif"), map);
    EXPECT_EQ(mode("private.gif"), 0600u);
    EXPECT_EQ(dir.read("shared.gif"), map);
    EXPECT_EQ(dir.read("other-name.gif"), map);
    EXPECT_EQ(fs::hard_link_count(dir.file("shared.gif")), 2u);
}

TEST_F(OutputSafety, ScenarioThatCannotBeReadIsAnError) {
    TempDir io;
    const int status = runBinaryOnFiles({}, dir.path(), io.file("out"), io.file("err"), dir.path());
    EXPECT_EQ(status, 1);
    EXPECT_EQ(io.read("err"), "**** Error unable to read the scenario: Is a directory\n");
    EXPECT_TRUE(io.read("out").starts_with("orvex v" ORVEX_VERSION "\n"));
    EXPECT_FALSE(dir.exists("orvex.gif"));
    // The checker says so as its finding.
    EXPECT_EQ(runBinaryOnFiles({"--check"}, dir.path(), io.file("out"), io.file("err"), dir.path()), 1);
    EXPECT_EQ(io.read("err"), "orvex: error: unable to read the scenario: Is a directory (the scenario comes on "
                              "standard input: orvex [options] < scenario)\n");
    EXPECT_EQ(io.read("out"), "1 error, 0 warnings\n");
    // The command line's findings still come first.
    EXPECT_EQ(runBinaryOnFiles({"--check", "-gl"}, dir.path(), io.file("out"), io.file("err"), dir.path()), 1);
    EXPECT_TRUE(io.read("err").starts_with("orvex: warning: -gl acts as -g")) << io.read("err");
    EXPECT_EQ(io.read("out"), "1 error, 1 warning\n");
}

TEST_F(OutputSafety, ReportsThatCannotBeWrittenAreAnErrorOnceTheMapIsWritten) {
    TempDir io;
    const int status =
        runBinaryOnFiles({"-v"}, io.write("in", SCENARIO), "/dev/full", io.file("err"), dir.path());
    EXPECT_EQ(status, 1);
    EXPECT_EQ(io.read("err"), UNKNOWN_BOAT + "**** Error unable to write standard output: No space left on device\n");
    EXPECT_TRUE(loadGif(dir.file("orvex.gif")));
}

}  // namespace

// The new file is made beside the target under a name no file holds: one
// taken (by a file, or a symbolic link to another file) is left alone and
// the next is tried; when every name is taken, nothing is written.
TEST(AtomicWrite, TemporaryNamesAlreadyTakenAreNeverWrittenThrough) {
    TempDir dir;
    const std::string target = dir.file("map.gif");
    const std::string taken = target + ".tmp" + std::to_string(::getpid()) + "-";
    dir.write("map.gif", "old");
    dir.write("victim", "victim");
    dir.write("map.gif.tmp" + std::to_string(::getpid()) + "-0", "kept");
    fs::create_symlink(dir.file("victim"), taken + "1");
    ASSERT_EQ(writeFileReplacing(target, "new"), 0);
    EXPECT_EQ(dir.read("map.gif"), "new");
    EXPECT_EQ(dir.read("victim"), "victim");
    EXPECT_EQ(dir.read("map.gif.tmp" + std::to_string(::getpid()) + "-0"), "kept");
    EXPECT_TRUE(fs::is_symlink(taken + "1"));
    EXPECT_FALSE(fs::exists(taken + "2"));

    for (int k = 2; k < 100; ++k) dir.write("map.gif.tmp" + std::to_string(::getpid()) + "-" + std::to_string(k), "");
    EXPECT_EQ(writeFileReplacing(target, "newer"), EEXIST);
    EXPECT_EQ(dir.read("map.gif"), "new");
    EXPECT_FALSE(fs::exists(taken + "100"));
}

// orvex-replay, its animated GIF read back with giflib: frames, size,
// delays and loops, each frame orvex's own map of its turn; maps of
// different sizes; and steady labels, which keep their place where it is
// free and move where it is taken.
#include "app/orvex.h"
#include "support/gif_frames.h"
#include "support/run_orvex.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using namespace orvex;
namespace fs = std::filesystem;

namespace {

const std::string EXAMPLES = ORVEX_SOURCE_DIR "/examples";

// A turn: the ships at the x given, one labelled object a turn that moves.
std::string turn(const std::string& objects, const std::string& extent = "0 0 80 50") {
    return "Replay\nsea.gif\n1\n" + extent + "\n6\nship ship.gif 1 1\nbuoy buoy.gif 1 0\n*\n" + objects + "*\n";
}

class Replay : public ::testing::Test {
protected:
    RunResult replay(const std::vector<std::string>& args) { return runBinary(args, "", dir.path(), ORVEX_REPLAY_BINARY); }

    // orvex's own map of a scenario file, read with giflib.
    GifFrame orvexMap(const std::string& scenarioFile) {
        const RunResult r = runBinary({"-g", "-i", EXAMPLES, "-f", "single.gif"}, dir.read(scenarioFile), dir.path());
        EXPECT_EQ(r.exitStatus, 0) << r.err;
        const GifAnimation single = readGifAnimation(dir.file("single.gif"));
        EXPECT_EQ(single.frames.size(), 1u);
        return single.frames.empty() ? GifFrame{} : single.frames[0];
    }

    TempDir dir;
};

TEST_F(Replay, EachFrameIsTheMapOfItsTurn) {
    dir.write("t1.scn", turn("Red\nship 20 20 3 3 2 0\nBuoy\nbuoy 40 30 0 0 0 0\n"));
    dir.write("t2.scn", turn("Red\nship 26 21 3 3 2 0\nBuoy\nbuoy 40 30 0 0 0 0\n"));
    dir.write("t3.scn", turn("Red\nship 32 22 4 4 2 0\nBuoy\nbuoy 40 30 0 0 0 0\nBlue\nship 70 40 9 9 3 0\n"));
    const RunResult r = replay({"-g", "-i", EXAMPLES, "--delay", "25", "--loop", "3", "-o", "replay.gif", "t1.scn",
                                "t2.scn", "t3.scn"});
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(r.out, "");
    const GifAnimation animation = readGifAnimation(dir.file("replay.gif"));
    ASSERT_TRUE(animation.readable);
    EXPECT_EQ(animation.width, 480);
    EXPECT_EQ(animation.height, 300);
    EXPECT_EQ(animation.loops, 3);
    ASSERT_EQ(animation.frames.size(), 3u);
    for (std::size_t k = 0; k < 3; ++k) {
        const GifFrame& frame = animation.frames[k];
        EXPECT_EQ(frame.delay, 25);
        const GifFrame map = orvexMap("t" + std::to_string(k + 1) + ".scn");
        EXPECT_EQ(frame.width, map.width);
        EXPECT_EQ(frame.height, map.height);
        EXPECT_TRUE(frame.pixels == map.pixels) << "frame " << k + 1;
    }
    // The defaults: a second a frame, played for ever.
    ASSERT_EQ(replay({"-i", EXAMPLES, "-o", "plain.gif", "t1.scn"}).exitStatus, 0);
    const GifAnimation plain = readGifAnimation(dir.file("plain.gif"));
    EXPECT_EQ(plain.loops, 0);
    ASSERT_EQ(plain.frames.size(), 1u);
    EXPECT_EQ(plain.frames[0].delay, 100);
}

TEST_F(Replay, MapsOfDifferentSizesAreRefused) {
    dir.write("t1.scn", turn("Red\nship 20 20 3 3 2 0\n"));
    dir.write("t2.scn", turn("Red\nship 20 20 3 3 2 0\n", "0 0 90 50"));
    const RunResult r = replay({"-i", EXAMPLES, "-o", "replay.gif", "t1.scn", "t1.scn", "t2.scn"});
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_EQ(r.err, "orvex-replay: t2.scn: its map is 540 x 300 pixels, the first turn's 480 x 300; every turn's "
                     "map must have the same size; nothing is written\n");
    EXPECT_FALSE(dir.exists("replay.gif"));
    EXPECT_EQ(replay({"-f", "x.gif", "-o", "r.gif", "t1.scn"}).err,
              "orvex-replay: -f has no meaning here: the replay goes to -o FILE\nusage: orvex-replay [orvex options] "
              "[--delay CENTISECONDS] [--loop N] [--steady] -o replay.gif turn.scn...\n");
    EXPECT_EQ(replay({"-i", EXAMPLES, "t1.scn"}).exitStatus, 1);
    EXPECT_EQ(replay({"-i", EXAMPLES, "-o", "r.gif"}).err.substr(0, 52),
              "orvex-replay: no turns: name their scenario files\nus");
}

// --help and --version answer wherever they stand; --check is refused;
// --quiet silences -v's frame lines; and a replay file that is one of the
// turns' inputs (a scenario, a picture, the colour file, through a link)
// is never written over.
TEST_F(Replay, CommandLineConventionsAndInputsKeptSafe) {
    dir.write("t1.scn", turn("Red\nship 20 20 3 3 2 0\n"));
    const RunResult version = replay({"-o", "r.gif", "--bogus", "--version", "--help"});
    EXPECT_EQ(version.exitStatus, 0);
    EXPECT_EQ(version.out, std::string("orvex-replay ") + orvex::version() + "\n");
    const RunResult help = replay({"t1.scn", "--help", "--version"});
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_TRUE(help.out.starts_with("usage: orvex-replay")) << help.out;
    EXPECT_EQ(replay({"--check", "-o", "r.gif", "t1.scn"}).err.substr(0, 53),
              "orvex-replay: --check has no meaning here: check each");

    const RunResult verbose = replay({"-v", "-i", EXAMPLES, "-o", "r.gif", "t1.scn", "t1.scn"});
    ASSERT_EQ(verbose.exitStatus, 0) << verbose.err;
    EXPECT_EQ(verbose.out, "t1.scn: frame 1\nt1.scn: frame 2\n");
    // Only the letter after the - counts, as for orvex: -images is -i. A
    // turn's warnings are shown after its name, --quiet or not.
    dir.write("t2.scn", turn("Red\nship 20 20 3 3 2 0\nLost\nbarge 5 5 0 0 0 0\n"));
    const RunResult quiet = replay({"-v", "--quiet", "-images", EXAMPLES, "-o", "r.gif", "t1.scn", "t2.scn"});
    EXPECT_EQ(quiet.exitStatus, 0);
    EXPECT_EQ(quiet.out, "");
    EXPECT_EQ(quiet.err, "t2.scn: **** Warning unknown object type barge (object 2, label \"Lost\" from line 11)\n");

    for (const char* picture : {"ship.gif", "buoy.gif", "sea.gif"})
        fs::copy_file(EXAMPLES + "/" + picture, dir.file(picture));
    dir.write("colors.ini", "[COLORS]\n");
    fs::create_symlink("ship.gif", dir.file("link.gif"));
    for (const auto& [target, input] : std::vector<std::pair<std::string, std::string>>{
             {"t1.scn", "t1.scn"}, {"link.gif", "ship.gif"}, {"sea.gif", "sea.gif"}, {"colors.ini", "colors.ini"}}) {
        const std::string before = dir.read(target);
        const RunResult r = replay({"-r", "colors.ini", "-o", target, "t1.scn"});
        EXPECT_EQ(r.exitStatus, 1) << target;
        EXPECT_EQ(r.err, "orvex-replay: the replay file " + target + " is " + input +
                             ", an input of this replay; nothing is written\n");
        EXPECT_EQ(dir.read(target), before);
    }
}

// Where an object's label went from its anchor.
Point offsetOf(const PlacedObject& object) {
    return {object.labelBox->left - object.anchor.x, object.labelBox->top - object.anchor.y};
}

TEST_F(Replay, SteadyLabelsStayWhereTheyAreFreeAndMoveWhereTheyAreTaken) {
    auto render = [](const std::string& scenario, const std::vector<PlacedObject>& before) {
        Request request;
        request.options.imageDir = EXAMPLES;
        request.scenario = scenario;
        request.steadyFrom = before;
        const Result result = orvex::render(request);
        EXPECT_EQ(result.status, 0) << result.err;
        return result;
    };
    // Turn 1: a buoy below Alpha keeps its label off its first place.
    const std::string first = turn("Alpha\nship 20 20 0 0 0 0\nMark\nbuoy 20 17 0 0 0 0\nBravo\nship 60 25 0 0 0 0\n");
    const Result one = render(first, {});
    ASSERT_EQ(one.objects.size(), 3u);
    const Point alpha = offsetOf(one.objects[0]), bravo = offsetOf(one.objects[2]);
    // Turn 2: the buoy is gone, Alpha has moved; a buoy now lies where
    // Bravo's label was.
    const PlacedObject& bravoOne = one.objects[2];
    const double bx = (bravoOne.labelBox->left + bravoOne.labelBox->right) / 2.0 / 6,
                 by = 50 - (bravoOne.labelBox->top + bravoOne.labelBox->bottom) / 2.0 / 6;
    const std::string second = turn("Alpha\nship 30 20 0 0 0 0\nBravo\nship 60 25 0 0 0 0\nMark\nbuoy " +
                                    std::to_string(bx) + " " + std::to_string(by) + " 0 0 0 0\n");
    const Result searched = render(second, {});
    const Result steady = render(second, one.objects);
    EXPECT_NE(offsetOf(searched.objects[0]), alpha);  // the search alone would move it
    EXPECT_EQ(offsetOf(steady.objects[0]), alpha);    // kept: its old place is free
    EXPECT_NE(offsetOf(steady.objects[1]), bravo);    // moved: the buoy took its old place
    EXPECT_EQ(offsetOf(steady.objects[1]), offsetOf(searched.objects[1]));

    // The replay's frames are those maps.
    dir.write("t1.scn", first);
    dir.write("t2.scn", second);
    ASSERT_EQ(replay({"-i", EXAMPLES, "--steady", "-o", "steady.gif", "t1.scn", "t2.scn"}).exitStatus, 0);
    const std::string framePath = dir.write("frame2.gif", steady.gif);
    const GifAnimation animation = readGifAnimation(dir.file("steady.gif"));
    ASSERT_EQ(animation.frames.size(), 2u);
    EXPECT_TRUE(animation.frames[1].pixels == readGifAnimation(framePath).frames.at(0).pixels);
}

}  // namespace

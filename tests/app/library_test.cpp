// The library: a request renders what the program writes, its geometry is
// where the program's obstacles are, two threads get their own results,
// and a request that breaks a precondition is refused, not run.
#include "app/orvex.h"
#include "app/run_stages.h"
#include "place/label_search.h"
#include "place/title_search.h"
#include "support/run_orvex.h"

#include <gd.h>
#include <gdfonts.h>
#include <gtest/gtest.h>

#include <fstream>
#include <new>
#include <stdexcept>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

using namespace orvex;

namespace {

const std::string EXAMPLES = ORVEX_SOURCE_DIR "/examples";

std::string fileText(const std::string& path) {
    std::ifstream stream(path, std::ios::binary);
    std::ostringstream text;
    text << stream.rdbuf();
    return text.str();
}

// The program in this process and the library on the same words and
// scenario give the same map, texts, status and -d files.
void expectSameAsTheProgram(const std::vector<std::string>& words, const std::string& scenario,
                            const std::string& what) {
    TempDir dir;
    std::vector<std::string> args = words;
    args.insert(args.end(), {"-f", "map.gif"});
    const RunResult program = runInProcess(args, scenario, dir.path());

    Request request;
    request.options = *optionsFromWords(words);
    request.scenario = scenario;
    request.pictures = filesIn(dir.path());
    const Result result = render(request);
    EXPECT_EQ(result.status, program.exitStatus) << what;
    EXPECT_EQ(result.out, program.out) << what;
    EXPECT_EQ(result.err, program.err) << what;
    EXPECT_EQ(result.gif, program.exitStatus == 0 ? dir.read("map.gif") : "") << what;
    for (const auto& [name, bytes] : result.files) EXPECT_EQ(bytes, dir.read(name)) << what << ": " << name;
}

TEST(Library, GeometryComparesFieldByField) {
    // Each field on its own makes two points, boxes or lines differ.
    EXPECT_TRUE((orvex::Box{1, 2, 3, 4} == orvex::Box{1, 2, 3, 4}));
    for (const orvex::Box& other : {orvex::Box{0, 2, 3, 4}, orvex::Box{1, 0, 3, 4}, orvex::Box{1, 2, 0, 4}, orvex::Box{1, 2, 3, 0}})
        EXPECT_FALSE((orvex::Box{1, 2, 3, 4} == other));
    EXPECT_FALSE((orvex::Point{1, 2} == orvex::Point{1, 3}));
    EXPECT_FALSE((orvex::Point{1, 2} == orvex::Point{0, 2}));
    EXPECT_FALSE((orvex::Line{{1, 2}, {3, 4}} == orvex::Line{{1, 2}, {3, 5}}));
    EXPECT_FALSE((orvex::Line{{1, 2}, {3, 4}} == orvex::Line{{0, 2}, {3, 4}}));
}

TEST(Library, RendersWhatTheProgramWritesOnTheExamples) {
    std::istringstream golden(fileText(EXAMPLES + "/golden.sha256"));
    int examples = 0;
    for (std::string line; std::getline(golden, line);) {
        if (line.empty() || line[0] == '#') continue;
        // "HASH  orvex WORDS -f NAME.gif < examples/NAME.scn", the pictures
        // and colour files under examples/.
        std::istringstream command(line.substr(line.find("orvex ") + 6));
        std::vector<std::string> words;
        std::string scenarioFile;
        for (std::string word; command >> word;) {
            if (word == "-f") command >> word;
            else if (word == "<") command >> scenarioFile;
            else words.push_back(word.starts_with("examples") ? ORVEX_SOURCE_DIR "/" + word : word);
        }
        words.push_back("-v");
        expectSameAsTheProgram(words, fileText(ORVEX_SOURCE_DIR "/" + scenarioFile), line);
        ++examples;
    }
    EXPECT_EQ(examples, 6);
}

TEST(Library, RendersWhatTheProgramWritesOnBadInputs) {
    const std::string header = "T\n" + EXAMPLES + "/sea.gif\n1\n0 0 40 30\n4\n";
    const std::string ship = "ship " + EXAMPLES + "/ship.gif 1 1\n*\n";
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{}, ""},
        {{"-v"}, "T\n-\n1\n0 0 40 30\n0\n*\n*\n"},
        {{"-v"}, header + "ship nothere.gif 1 1\n*\n*\n"},
        {{"-v", "-d"}, header + ship + "A\nship 1 1 0 0 0 0\nB\nboat 2 2 0 0 0 0\n*\n"},
        {{"-d", "-b"}, header + ship + "A\nship 1 1 0 0 x 0\n"},
        {{"-r", "nothere.ini", "--strict"}, header + ship + "*\n"},
        {{"--quiet", "-v"}, header + ship + "A\nship 1 1 0 0 0 0\n"},
        {{"-v"}, "T\n" + EXAMPLES + "/colors.ini\n1\n0 0 40 30\n4\n" + ship + "*\n"},
    };
    for (const auto& [words, scenario] : cases) expectSameAsTheProgram(words, scenario, scenario);
}

TEST(Library, GeometryIsWhereTheOutlinesAre) {
    // With -d the obstacles are outlined in the last style used: the
    // leader's, in a colour nothing else has. Every side of each icon
    // square, label box (grown by 2, as registered) and leader lies on it.
    TempDir dir;
    const std::string colors = dir.write("colors.ini", "[COLOR]\nLEADERCOLOR = 255 0 255\n");
    Request request;
    request.options = *optionsFromWords({"-d", "-r", colors});
    request.scenario = "T\n-\n1\n0 0 60 40\n5\nship " + EXAMPLES + "/ship.gif 1 1\n*\nAlpha\nship 10 10 3 3 2 0\n"
                       "Bravo\nship 12 12 0 0 0 0\nCharlie\nship 40 30 6 6 4 0\n*\n";
    const Result result = render(request);
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string path = dir.write("map.gif", result.gif);
    ImagePtr map = loadGif(path);
    auto outlined = [&](int x, int y) {
        return !gdImageBoundsSafe(map.get(), x, y) || paletteEntry(map.get(), gdImageGetPixel(map.get(), x, y)) ==
                                                          Rgb{255, 0, 255};
    };
    auto expectOutlined = [&](const Box& box, const std::string& what) {
        for (int x = box.left; x <= box.right; ++x)
            EXPECT_TRUE(outlined(x, box.top) && outlined(x, box.bottom)) << what << " at x " << x;
        for (int y = box.top; y <= box.bottom; ++y)
            EXPECT_TRUE(outlined(box.left, y) && outlined(box.right, y)) << what << " at y " << y;
    };
    ASSERT_EQ(result.objects.size(), 3u);
    for (const PlacedObject& object : result.objects) {
        expectOutlined(object.icon, object.label + "'s icon");
        ASSERT_TRUE(object.labelBox && object.leader);
        const Box& b = *object.labelBox;
        expectOutlined({b.left - 2, b.top - 2, b.right + 2, b.bottom + 2}, object.label + "'s label");
        EXPECT_EQ(object.leader->to, object.anchor);
        EXPECT_TRUE(outlined(object.leader->from.x, object.leader->from.y)) << object.label;
        EXPECT_EQ(object.icon.right - object.icon.left, 2 * (object.anchor.x - object.icon.left));
    }
    EXPECT_EQ(result.objects[1].label, "Bravo");
    EXPECT_EQ(result.objects[1].number, 2);
    EXPECT_EQ(result.objects[1].type, "ship");
}

TEST(Library, TwoThreadsRenderTheirOwnMaps) {
    auto request = [](const std::string& title, bool debug) {
        Request r;
        r.options.grid = true;
        r.options.debug = debug;  // gd's messages, if any, go to each run's own err
        r.scenario = title + "\n" + EXAMPLES + "/sea.gif\n1\n0 0 80 50\n6\nship " + EXAMPLES +
                     "/ship.gif 1 1\nflat " + EXAMPLES + "/buoy.gif 2 0\n*\nA\nship 20 20 3 3 2 0\nB\nflat 60 30 0 0 0 0\n*\n";
        return r;
    };
    const Request first = request("First", false), second = request("Second", true);
    const Result firstAlone = render(first), secondAlone = render(second);
    ASSERT_EQ(firstAlone.status + secondAlone.status, 0);
    std::vector<Result> firsts(4), seconds(4);
    std::thread a([&] {
        for (Result& r : firsts) r = render(first);
    });
    std::thread b([&] {
        for (Result& r : seconds) r = render(second);
    });
    a.join();
    b.join();
    for (const Result& r : firsts) EXPECT_TRUE(r.gif == firstAlone.gif && r.out == firstAlone.out && r.err == firstAlone.err);
    for (const Result& r : seconds)
        EXPECT_TRUE(r.gif == secondAlone.gif && r.out == secondAlone.out && r.files == secondAlone.files);
}

TEST(Library, PreconditionsAreCheckedAtTheDoor) {
    Request request;
    request.scenario = "T\n-\n1\n0 0 40 30\n4\n*\n*\n";
    request.options.limits.maxIconSide = 0;
    Result result = render(request);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "**** Error the request's limits must all be 1 or more\n");
    for (const int which : {0, 1, 2, 3}) {
        request.options.limits = Limits{};
        Limits& l = request.options.limits;
        if (which == 0) l.maxMapSide = 0;
        if (which == 1) l.maxMapPixels = 0;
        if (which == 2) l.maxPictureSide = 0;
        if (which == 3) l.maxPicturePixels = 0;
        EXPECT_EQ(render(request).err, "**** Error the request's limits must all be 1 or more\n") << which;
    }
    request.options.limits = Limits{};
    request.options.limits.maxIconSide = 40000;
    EXPECT_EQ(render(request).err,
              "**** Error the request's limit of the turned icons' side must be at most 32000 pixels\n");
    // Limits of exactly 1 (and of 32000 for the icons) are requests the
    // run itself judges: this map of 160 x 120 pixels is too big for them.
    for (double Limits::*limit : {&Limits::maxMapSide, &Limits::maxMapPixels, &Limits::maxIconSide}) {
        request.options.limits = Limits{};
        request.options.limits.*limit = 1;
        const Result r = render(request);
        EXPECT_EQ(r.err.find("the request's"), std::string::npos) << r.err;
    }
    request.options.limits = Limits{};
    request.options.limits.maxPictureSide = request.options.limits.maxPicturePixels = 1;
    request.options.limits.maxIconSide = 32000;
    EXPECT_EQ(render(request).status, 0);
    request.options.limits = Limits{};

    ObstacleIndex none;
    EXPECT_THROW(placeTitle(10, 1, 1, 100, 100, none), std::invalid_argument);
    EXPECT_THROW(placeLabel({10, 10}, 10, 32000, 12, none), std::invalid_argument);
    EXPECT_THROW(placeLabel({10, 10}, -1, 60, 12, none), std::invalid_argument);
    EXPECT_NO_THROW(placeLabel({10, 10}, 10, 30000, 12, none));
    EXPECT_NO_THROW(placeTitle(10, 1, 2, 100, 100, none));
    EXPECT_NO_THROW(placeTitle(0, 0, 2, 100, 100, none));
    EXPECT_THROW(placeTitle(10, -1, 2, 100, 100, none), std::invalid_argument);
    EXPECT_THROW(placeTitle(-1, 1, 2, 100, 100, none), std::invalid_argument);
    // Anchors up to 2^28 + 65536 pixels off the map, either way, are taken.
    for (const int far : {(1 << 28) + 65536, -(1 << 28) - 65536}) {
        EXPECT_NO_THROW(placeLabel({far, 10}, 10, 60, 12, none));
        EXPECT_NO_THROW(placeLabel({10, far}, 10, 60, 12, none));
        EXPECT_THROW(placeLabel({far + (far > 0 ? 1 : -1), 10}, 10, 60, 12, none), std::invalid_argument);
        EXPECT_THROW(placeLabel({10, far + (far > 0 ? 1 : -1)}, 10, 60, 12, none), std::invalid_argument);
    }

    std::string usage;
    EXPECT_FALSE(optionsFromWords({"-q"}, &usage));
    EXPECT_EQ(usage, "orvex: illegal option q\nusage: orvex -a -b -d -f filename.gif -g -i image_dir -l -r "
                     "resource.ini -t -v -w\n");
}

TEST(Library, PicturesComeFromTheSourceAlone) {
    Request request;
    request.scenario = "T\nsea.gif\n1\n0 0 40 30\n4\nship ship.gif 1 1\n*\nA\nship 5 5 0 0 0 0\n*\n";
    std::vector<std::string> asked;
    request.pictures = [&](const std::string& name) {
        asked.push_back(name);
        if (name == "sea.gif") return SourcedFile{std::nullopt, "kept elsewhere"};
        return SourcedFile{fileText(EXAMPLES + "/" + name), ""};
    };
    const Result result = render(request);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "**** Error unable to load background image sea.gif\n");
    EXPECT_EQ(asked, (std::vector<std::string>{"sea.gif", "ship.gif"}));
    EXPECT_EQ(result.read, (std::vector<std::string>{"ship.gif"}));
    // The default source reads the files of its folder.
    const SourcedFile ship = filesIn(EXAMPLES)("ship.gif");
    ASSERT_TRUE(ship.bytes);
    EXPECT_EQ(*ship.bytes, fileText(EXAMPLES + "/ship.gif"));
    EXPECT_FALSE(filesIn(EXAMPLES)("no such.gif").bytes);
    const std::vector<Finding> findings = check(request);
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_EQ(formatFinding(findings[0]), "<stdin>:2: warning: unable to load background image sea.gif: kept elsewhere "
                                          "(the map is drawn on its plain ground; give - for none)\n");
}

}  // namespace

namespace {

// Labels are cut to 78 characters, and a blank the cut leaves last is
// part of the label: its box is as wide as 78 characters.
TEST(Library, LabelAtItsLengthLimitKeepsItsLastBlank) {
    const int w = gdFontGetSmall()->w;
    const std::string cutAfterBlank = std::string(77, 'a') + " zz", endsInBlank = std::string(77, 'b') + " ";
    Request request;
    request.scenario = "Cut\n-\n0\n0 0 400 200\n1\nship " + EXAMPLES + "/ship.gif 1 0\n*\nab\nship 20 20 0 0 0 0\n" +
                       cutAfterBlank + "\nship 200 100 0 0 0 0\n" + endsInBlank + "\nship 200 180 0 0 0 0\n*\n";
    const Result result = render(request);
    ASSERT_EQ(result.status, 0) << result.err;
    ASSERT_EQ(result.objects.size(), 3u);
    auto width = [](const PlacedObject& o) { return o.labelBox->right - o.labelBox->left; };
    EXPECT_EQ(result.objects[1].label, std::string(77, 'a') + " ");
    EXPECT_EQ(width(result.objects[1]) - width(result.objects[0]), 76 * w);
    EXPECT_EQ(width(result.objects[2]) - width(result.objects[0]), 76 * w);
}

}  // namespace

namespace {

// The stages of a run, in order, as an observer (the benchmark's clock)
// is told of them.
TEST(Library, RunIsObservedStageByStage) {
    struct Names : StageObserver {
        void stageBegins(const char* name) override { seen.emplace_back(name); }
        std::vector<std::string> seen;
    } names;
    TempDir dir;
    const std::string scenario = "T\n" + EXAMPLES + "/sea.gif\n1\n0 0 40 30\n4\nship " + EXAMPLES +
                                 "/ship.gif 1 1\n*\nA\nship 5 5 0 0 0 0\n*\n";
    std::FILE* in = std::fopen(dir.write("in.scn", scenario).c_str(), "rb");
    std::FILE* sink = std::fopen("/dev/null", "wb");
    ASSERT_TRUE(in && sink);
    const int status = runObserved({"-l", "-f", dir.file("map.gif")}, in, sink, sink, Limits{}, &names);
    std::fclose(in);
    std::fclose(sink);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(names.seen, (std::vector<std::string>{"header", "catalogue", "object list", "palette", "layout",
                                                    "background", "grid and axes", "fades", "objects", "labels",
                                                    "title", "legend", "write", "end"}));
}

}  // namespace

namespace {

// A failure thrown from within a run, out of memory or any other, ends it
// with status 1 and the message, and no map.
TEST(Library, FailureWithinARunEndsItWithItsMessage) {
    struct Failing : StageObserver {
        explicit Failing(bool memory) : memory(memory) {}
        void stageBegins(const char* name) override {
            if (std::string(name) != "layout") return;
            if (memory) throw std::bad_alloc();
            throw std::runtime_error("the layout failed");
        }
        bool memory;
    };
    TempDir dir;
    for (const bool memory : {true, false}) {
        Failing failing(memory);
        std::FILE* in = std::fopen(dir.write("in.scn", "T\n-\n1\n0 0 40 30\n4\n*\n*\n").c_str(), "rb");
        std::FILE* out = std::fopen(dir.file("out").c_str(), "wb");
        std::FILE* err = std::fopen(dir.file("err").c_str(), "wb");
        ASSERT_TRUE(in && out && err);
        const int status = runObserved({"-f", dir.file("map.gif")}, in, out, err, Limits{}, &failing);
        std::fclose(in), std::fclose(out), std::fclose(err);
        EXPECT_EQ(status, 1);
        EXPECT_EQ(dir.read("err"), memory ? "**** Error out of memory\n" : "**** Error the layout failed\n");
        EXPECT_FALSE(dir.exists("map.gif"));
    }
}

}  // namespace

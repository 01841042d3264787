// Benchmark tool: makes the benchmark pictures and scenarios, times the
// stages of a run in-process, and measures the floor: what gd itself must
// spend decoding a run's pictures and encoding its map.
//
//   orvex_bench pictures DIR
//   orvex_bench scenario crowded|spread|pile|big|types|pairs|grid N
//   orvex_bench stages RUNS ARGS... < scenario      (run in the pictures' directory)
//   orvex_bench floor MAP.gif PICTURE.gif...
#include "app/run_stages.h"

#include <gd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <map>
#include <string>
#include <vector>

using namespace orvex;

namespace {

using Clock = std::chrono::steady_clock;

// A small generator of our own, so that every platform makes the same scenario.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return state_ >> 33;
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
    double unit() { return static_cast<double>(next() % 1000000) / 1000000.0; }

private:
    std::uint64_t state_;
};

bool writeGif(gdImagePtr image, const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    gdImageGif(image, file);
    return std::fclose(file) == 0;
}

// A 1600 x 1200 picture of 256 colours: bands with some noise.
bool makeBackground(const std::string& path) {
    gdImagePtr image = gdImageCreate(1600, 1200);
    for (int k = 0; k < 256; ++k) gdImageColorAllocate(image, k, 255 - k, (k * 7) % 256);
    Random random(11);
    for (int y = 0; y < 1200; ++y)
        for (int x = 0; x < 1600; ++x) gdImageSetPixel(image, x, y, (x / 9 + y / 7 + random.below(3)) % 256);
    const bool ok = writeGif(image, path);
    gdImageDestroy(image);
    return ok;
}

// An icon of side pixels pointing north on a black ground: a hull and a
// bridge in a few colours, with white for the foreground colour.
bool makeIcon(const std::string& path, int side, int variant) {
    gdImagePtr image = gdImageCreate(side, side);
    gdImageColorAllocate(image, 0, 0, 0);
    const int white = gdImageColorAllocate(image, 255, 255, 255);
    const int hull = gdImageColorAllocate(image, 60 + 19 * variant, 90, 160 - 9 * variant);
    const int deck = gdImageColorAllocate(image, 200, 120 + 11 * variant, 40);
    gdPoint points[3] = {{side / 2, 1}, {side / 4, side - 2}, {3 * side / 4, side - 2}};
    gdImageFilledPolygon(image, points, 3, hull);
    gdImageFilledRectangle(image, side / 2 - 2, side / 2, side / 2 + 2, side - 4, deck);
    gdImageLine(image, side / 2, 2, side / 2, side / 2, white);
    const bool ok = writeGif(image, path);
    gdImageDestroy(image);
    return ok;
}

// A 20 x 10 icon: turned at a scale of 40 it is a picture of about 900
// pixels a side.
bool makeSmallIcon(const std::string& path) {
    gdImagePtr image = gdImageCreate(20, 10);
    gdImageColorAllocate(image, 0, 0, 0);
    const int hull = gdImageColorAllocate(image, 90, 120, 200);
    const int white = gdImageColorAllocate(image, 255, 255, 255);
    gdImageFilledRectangle(image, 2, 2, 17, 7, hull);
    gdImageLine(image, 0, 5, 19, 5, white);
    const bool ok = writeGif(image, path);
    gdImageDestroy(image);
    return ok;
}

// A 1 x 1 icon, whose turned copies at scale 0.5 are single pixels.
bool makeDot(const std::string& path) {
    gdImagePtr image = gdImageCreate(1, 1);
    gdImageColorAllocate(image, 255, 255, 255);
    const bool ok = writeGif(image, path);
    gdImageDestroy(image);
    return ok;
}

// 35 bytes declaring an 8192 x 8192 picture with no pixel data.
bool makeBigPicture(const std::string& path) {
    const unsigned char bytes[35] = {'G', 'I', 'F', '8', '9', 'a', 0x00, 0x20, 0x00, 0x20, 0x80, 0, 0,
                                     0, 0, 0, 255, 255, 255,
                                     ',', 0, 0, 0, 0, 0x00, 0x20, 0x00, 0x20, 0,
                                     2, 2, 0x4c, 0x01, 0, ';'};
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(bytes, 1, sizeof bytes, file) == sizeof bytes;
    return std::fclose(file) == 0 && written;
}

int makePictures(const std::string& dir) {
    bool ok = makeBackground(dir + "/background.gif") && makeDot(dir + "/dot.gif") &&
              makeBigPicture(dir + "/big.gif") && makeSmallIcon(dir + "/small.gif");
    for (int i = 0; i < 10; ++i)
        ok = ok && makeIcon(dir + "/icon" + std::to_string(i) + ".gif", 24 + 16 * i / 9, i);
    std::FILE* colors = std::fopen((dir + "/colors.ini").c_str(), "w");
    ok = ok && colors && std::fputs("[COLOR]\nLEADERCOLOR = 255 180 80\nLOCUSCOLOR = 255 255 0\n", colors) >= 0;
    if (colors) ok = std::fclose(colors) == 0 && ok;
    if (!ok) std::fprintf(stderr, "cannot write the pictures into %s\n", dir.c_str());
    return ok ? 0 : 1;
}

std::string word(Random& random, int length) {
    std::string text;
    for (int i = 0; i < length; ++i) text += static_cast<char>('a' + random.below(26));
    return text;
}

void crowded(int n) {
    Random random(2026);
    std::printf("Crowded waters\nbackground.gif\n1\n0 0 160 120\n10\n");
    for (int i = 0; i < 10; ++i) std::printf("type%d icon%d.gif 1.0 1\n", i, i);
    std::printf("*\n");
    double cx[15], cy[15];
    for (int c = 0; c < 15; ++c) cx[c] = 10 + 140 * random.unit(), cy[c] = 10 + 100 * random.unit();
    for (int i = 0; i < n; ++i) {
        const int c = random.below(15);
        const double x = cx[c] + 24 * (random.unit() - 0.5), y = cy[c] + 18 * (random.unit() - 0.5);
        std::string label = word(random, 3 + random.below(6));
        while (static_cast<int>(label.size()) < 8 + random.below(17)) label += " " + word(random, 2 + random.below(7));
        label.resize(std::min<std::size_t>(label.size(), 24));
        std::printf("%s\ntype%d %.2f %.2f %d %d %.1f %d\n", label.c_str(), random.below(10), x, y, random.below(12),
                    random.below(12), 4 * random.unit(), random.below(7) - 3);
    }
    std::printf("*\n");
}

void spread(int n) {
    std::printf("Spread\n-\n0\n0 0 40 30\n10\ndot dot.gif 0.5 0\n*\n");
    int columns = 1;
    while (columns * columns < n) ++columns;
    for (int i = 0; i < n; ++i)
        std::printf("%c\ndot %d %d 0 0 0 0\n", 'A' + i % 26, 45 + 3 * (i % columns), -5 - 3 * (i / columns));
    std::printf("*\n");
}

void pile(int n) {
    std::printf("Stacked\n-\n0\n0 0 60 40\n10\nunit icon3.gif 1.0 1\n*\n");
    for (int i = 0; i < n; ++i) std::printf("Unit %d\nunit 30 20 0 %d 0 0\n", i, i % 12);
    std::printf("*\n");
}

void big(int n) {
    std::printf("Big picture\n-\n0\n0 0 80 60\n10\n");
    for (int i = 0; i < 10; ++i) std::printf("big%d big.gif 0.05 1\n", i);
    std::printf("*\n");
    for (int i = 0; i < n; ++i) std::printf("Big %d\nbig%d %d %d 0 %d 0 0\n", i, i % 10, 5 + 7 * (i % 10), 10 + 4 * (i / 10 % 10), i % 12);
    std::printf("*\n");
}

// n types naming one small icon, each at a scale of its own, and one object:
// a small scenario whose turned icons, were every facing of every type
// turned, would take seconds and hundreds of megabytes.
void types(int n) {
    std::printf("Many scales\n-\n0\n0 0 100 100\n4\n");
    for (int i = 0; i < n; ++i) std::printf("t%d small.gif %.2f 0\n", i, 40.1 + 0.01 * i);
    std::printf("*\nOne\nt0 50 50 0 0 0 0\n*\n");
}

// n objects in identical pairs on a 400 x 400 map, crowded far beyond
// reading: each label's search meets every obstacle near it.
void pairs(int n) {
    Random random(77);
    std::printf("Pairs\n-\n1\n0 0 40 40\n10\n");
    for (int i = 0; i < 10; ++i) std::printf("type%d icon%d.gif 1.0 0\n", i, i);
    std::printf("*\n");
    for (int i = 0; i < n / 2; ++i) {
        const std::string label = word(random, 3 + random.below(8));
        const int type = random.below(10), course = random.below(12), facing = random.below(12);
        const double x = 40 * random.unit(), y = 40 * random.unit(), speed = 3 * random.unit();
        for (int twice = 0; twice < 2; ++twice)
            std::printf("%s\ntype%d %.2f %.2f %d %d %.1f 0\n", label.c_str(), type, x, y, course, facing, speed);
    }
    std::printf("*\n");
}

// A 10000 x 10000 map of a million map units a side: with -g, a tick and a
// grid line of the grid's every unit fall on each pixel a hundred times.
void grid(int) { std::printf("Wide\n-\n0\n0 0 1000000 1000000\n0.01\n*\n*\n"); }

class StageClock : public StageObserver {
public:
    void stageBegins(const char* name) override { marks.push_back({name, Clock::now()}); }
    std::vector<std::pair<std::string, Clock::time_point>> marks;
};

double millis(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

std::string readAll(std::FILE* file) {
    std::string text;
    char buffer[65536];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, got);
    return text;
}

// Runs the scenario RUNS times in-process and prints each stage's fastest
// time, then the whole run's.
int stages(int runs, const std::vector<std::string>& args) {
    const std::string scenario = readAll(stdin);
    std::vector<std::string> order;
    std::map<std::string, double> best;
    double bestWhole = std::numeric_limits<double>::max();
    for (int r = 0; r < runs; ++r) {
        std::FILE* in = std::tmpfile();
        std::FILE* sink = std::fopen("/dev/null", "w");
        std::fwrite(scenario.data(), 1, scenario.size(), in);
        std::rewind(in);
        StageClock clock;
        const auto start = Clock::now();
        const int status = runObserved(args, in, sink, sink, Limits{}, &clock);
        bestWhole = std::min(bestWhole, millis(Clock::now() - start));
        std::fclose(in);
        std::fclose(sink);
        if (status != 0) {
            std::fprintf(stderr, "the run failed with status %d\n", status);
            return 1;
        }
        for (std::size_t i = 0; i + 1 < clock.marks.size(); ++i) {
            const std::string& name = clock.marks[i].first;
            const double t = millis(clock.marks[i + 1].second - clock.marks[i].second);
            if (!best.count(name)) order.push_back(name), best[name] = t;
            best[name] = std::min(best[name], t);
        }
    }
    for (const std::string& name : order) std::printf("  %-14s %9.1f ms\n", name.c_str(), best[name]);
    std::printf("  %-14s %9.1f ms\n", "in-process", bestWhole);
    return 0;
}

// The fastest of five: decoding each picture and encoding the map.
int floorTime(const std::string& mapPath, const std::vector<std::string>& pictures) {
    std::FILE* mapFile = std::fopen(mapPath.c_str(), "rb");
    gdImagePtr map = mapFile ? gdImageCreateFromGif(mapFile) : nullptr;
    if (mapFile) std::fclose(mapFile);
    if (!map) {
        std::fprintf(stderr, "cannot read %s\n", mapPath.c_str());
        return 1;
    }
    double best = std::numeric_limits<double>::max();
    for (int r = 0; r < 5; ++r) {
        const auto start = Clock::now();
        for (const std::string& path : pictures) {
            std::FILE* file = std::fopen(path.c_str(), "rb");
            if (!file) continue;
            gdImagePtr picture = gdImageCreateFromGif(file);
            std::fclose(file);
            if (picture) gdImageDestroy(picture);
        }
        gdImageInterlace(map, 1);
        int size = 0;
        void* gif = gdImageGifPtr(map, &size);
        gdFree(gif);
        best = std::min(best, millis(Clock::now() - start));
    }
    gdImageDestroy(map);
    std::printf("%.1f\n", best);
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    const std::vector<std::string> words(argv + 1, argv + argc);
    if (words.size() == 2 && words[0] == "pictures") return makePictures(words[1]);
    if (words.size() == 3 && words[0] == "scenario") {
        const int n = std::atoi(words[2].c_str());
        if (words[1] == "crowded") return crowded(n), 0;
        if (words[1] == "spread") return spread(n), 0;
        if (words[1] == "pile") return pile(n), 0;
        if (words[1] == "big") return big(n), 0;
        if (words[1] == "types") return types(n), 0;
        if (words[1] == "pairs") return pairs(n), 0;
        if (words[1] == "grid") return grid(n), 0;
    }
    if (words.size() >= 2 && words[0] == "stages")
        return stages(std::atoi(words[1].c_str()), std::vector<std::string>(words.begin() + 2, words.end()));
    if (words.size() >= 2 && words[0] == "floor")
        return floorTime(words[1], std::vector<std::string>(words.begin() + 2, words.end()));
    std::fprintf(stderr,
                 "usage: orvex_bench pictures DIR | scenario crowded|spread|pile|big|types|pairs|grid N |\n"
                 "       stages RUNS ARGS... < scenario | floor MAP.gif PICTURE.gif...\n");
    return 2;
}

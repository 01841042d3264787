// make_pictures: draws the extra pictures of the example scenarios (the
// backgrounds and icons the gallery maps use) into a directory, so that
// they can be made again. The GIFs in examples/ were written by it.
// Usage: make_pictures DIR
//
// Icons are drawn pointing north on black, which orvex treats as
// transparent; backgrounds are palette pictures of a few dozen colours.
#include <gd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// Smooth value noise from an integer hash: the same numbers on every machine.
double lattice(int x, int y, std::uint32_t seed) {
    std::uint32_t h = seed ^ (static_cast<std::uint32_t>(x) * 0x27d4eb2dU) ^ (static_cast<std::uint32_t>(y) * 0x165667b1U);
    h ^= h >> 15;
    h *= 0x85ebca6bU;
    h ^= h >> 13;
    h *= 0xc2b2ae35U;
    h ^= h >> 16;
    return (h & 0xffff) / 65535.0;
}

double smooth(double t) { return t * t * (3 - 2 * t); }

double noise(double x, double y, std::uint32_t seed) {
    const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
    const double fx = smooth(x - x0), fy = smooth(y - y0);
    const double top = lattice(x0, y0, seed) * (1 - fx) + lattice(x0 + 1, y0, seed) * fx;
    const double bottom = lattice(x0, y0 + 1, seed) * (1 - fx) + lattice(x0 + 1, y0 + 1, seed) * fx;
    return top * (1 - fy) + bottom * fy;
}

// Three octaves, in [0, 1].
double terrain(double x, double y, std::uint32_t seed) {
    return (noise(x, y, seed) * 4 + noise(x * 2, y * 2, seed + 1) * 2 + noise(x * 4, y * 4, seed + 2)) / 7;
}

struct Band {
    double upTo;  // the band holds heights below this
    int red, green, blue;
};

// A height field coloured by bands: deep water to hills.
gdImagePtr landscape(int width, int height, double feature, std::uint32_t seed, double shift,
                     const std::vector<Band>& bands) {
    gdImagePtr image = gdImageCreate(width, height);
    std::vector<int> index;
    for (const Band& b : bands) index.push_back(gdImageColorAllocate(image, b.red, b.green, b.blue));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double h = terrain(x / feature, y / feature, seed) + shift * (static_cast<double>(x) / width - 0.5);
            std::size_t k = 0;
            while (k + 1 < bands.size() && h >= bands[k].upTo) ++k;
            gdImageSetPixel(image, x, y, index[k]);
        }
    }
    return image;
}

const std::vector<Band> SEA_AND_LAND = {
    {0.36, 16, 42, 92},   {0.42, 20, 56, 112},  {0.48, 26, 70, 130},  {0.53, 34, 88, 150},
    {0.57, 52, 112, 166}, {0.59, 200, 184, 132}, {0.65, 104, 140, 72}, {0.72, 84, 120, 60},
    {0.80, 70, 100, 52},  {1.00, 120, 116, 100},
};

gdImagePtr coast() { return landscape(400, 250, 110, 11, 0.45, SEA_AND_LAND); }

gdImagePtr waves() {
    const int side = 40;
    gdImagePtr image = gdImageCreate(side, side);
    const int deep = gdImageColorAllocate(image, 18, 60, 110);
    const int mid = gdImageColorAllocate(image, 28, 80, 132);
    const int crest = gdImageColorAllocate(image, 70, 130, 180);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            // Two crests a tile, whole periods so that the tiles join.
            const double phase = std::sin(2 * M_PI * (x / 40.0 + 2 * y / 40.0)) + 0.6 * std::sin(2 * M_PI * (2 * x / 40.0));
            gdImageSetPixel(image, x, y, phase > 1.1 ? crest : phase > 0.0 ? mid : deep);
        }
    }
    return image;
}

gdImagePtr docks() {
    const int width = 420, height = 280;
    gdImagePtr image = gdImageCreate(width, height);
    const int water = gdImageColorAllocate(image, 24, 66, 104);
    const int shallow = gdImageColorAllocate(image, 36, 90, 128);
    const int land = gdImageColorAllocate(image, 92, 96, 88);
    const int quay = gdImageColorAllocate(image, 150, 146, 136);
    const int edge = gdImageColorAllocate(image, 60, 58, 54);
    const int green = gdImageColorAllocate(image, 74, 110, 62);
    gdImageFilledRectangle(image, 0, 0, width - 1, height - 1, water);
    // A lighter band near the shore.
    gdImageFilledRectangle(image, 0, 190, width - 1, 214, shallow);
    // The town along the south side, a park in it.
    gdImageFilledRectangle(image, 0, 214, width - 1, height - 1, land);
    gdImageFilledRectangle(image, 300, 232, 380, 268, green);
    // Three piers out from the quay.
    for (int x : {60, 150, 240}) {
        gdImageFilledRectangle(image, x, 120, x + 24, 214, quay);
        gdImageRectangle(image, x, 120, x + 24, 214, edge);
    }
    gdImageFilledRectangle(image, 0, 206, width - 1, 214, quay);
    // The breakwater across the north with the harbour mouth at the east.
    gdImageFilledRectangle(image, 0, 34, 330, 44, quay);
    gdImageRectangle(image, 0, 34, 330, 44, edge);
    return image;
}

// An icon canvas: black (transparent to orvex) first.
gdImagePtr iconCanvas(int width, int height) {
    gdImagePtr image = gdImageCreate(width, height);
    gdImageColorAllocate(image, 0, 0, 0);
    return image;
}

void polygon(gdImagePtr image, std::vector<gdPoint> points, int color) {
    gdImageFilledPolygon(image, points.data(), static_cast<int>(points.size()), color);
}

gdImagePtr freighter() {
    gdImagePtr image = iconCanvas(12, 36);
    const int hull = gdImageColorAllocate(image, 200, 70, 50);
    const int white = gdImageColorAllocate(image, 255, 255, 255);
    const int box1 = gdImageColorAllocate(image, 40, 120, 200);
    const int box2 = gdImageColorAllocate(image, 230, 180, 40);
    polygon(image, {{6, 0}, {11, 7}, {11, 35}, {0, 35}, {0, 7}, {5, 0}}, hull);
    for (int y = 8; y < 26; y += 6) {
        gdImageFilledRectangle(image, 2, y, 9, y + 4, (y / 6) % 2 ? box1 : box2);
    }
    gdImageFilledRectangle(image, 2, 28, 9, 33, white);
    return image;
}

gdImagePtr tug() {
    gdImagePtr image = iconCanvas(10, 16);
    const int hull = gdImageColorAllocate(image, 240, 120, 30);
    const int white = gdImageColorAllocate(image, 255, 255, 255);
    polygon(image, {{5, 0}, {9, 4}, {9, 15}, {0, 15}, {0, 4}, {4, 0}}, hull);
    gdImageFilledRectangle(image, 2, 5, 7, 10, white);
    return image;
}

gdImagePtr yacht() {
    gdImagePtr image = iconCanvas(8, 18);
    const int white = gdImageColorAllocate(image, 255, 255, 255);
    const int deck = gdImageColorAllocate(image, 170, 120, 70);
    polygon(image, {{4, 0}, {7, 6}, {7, 17}, {0, 17}, {0, 6}, {3, 0}}, white);
    gdImageFilledRectangle(image, 2, 8, 5, 14, deck);
    return image;
}

gdImagePtr jet() {
    gdImagePtr image = iconCanvas(21, 24);
    const int body = gdImageColorAllocate(image, 190, 196, 206);
    const int canopy = gdImageColorAllocate(image, 60, 150, 220);
    polygon(image, {{10, 0}, {12, 6}, {20, 17}, {20, 19}, {12, 17}, {13, 23}, {7, 23}, {8, 17}, {0, 19}, {0, 17}, {8, 6}},
            body);
    gdImageFilledRectangle(image, 9, 4, 11, 8, canopy);
    return image;
}

bool save(gdImagePtr image, const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        std::perror(path.c_str());
        gdImageDestroy(image);
        return false;
    }
    gdImageGif(image, file);
    gdImageDestroy(image);
    return std::fclose(file) == 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_pictures DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    bool ok = save(coast(), dir + "/coast.gif");
    ok = save(waves(), dir + "/waves.gif") && ok;
    ok = save(docks(), dir + "/docks.gif") && ok;
    ok = save(freighter(), dir + "/freighter.gif") && ok;
    ok = save(tug(), dir + "/tug.gif") && ok;
    ok = save(yacht(), dir + "/yacht.gif") && ok;
    ok = save(jet(), dir + "/jet.gif") && ok;
    return ok ? 0 : 1;
}

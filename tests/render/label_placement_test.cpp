// Labels searched for on two threads at once, against
// one search after another: the same places, leaders, title and obstacles,
// on maps where consecutive objects lie apart and where they crowd one
// spot, and a failing search that stops the layout as it would alone.
#include "render/layout.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <string>
#include <vector>

using namespace orvex;

namespace {

MapHeader headerOf(int width, int height) {
    MapHeader header;
    header.title = "Placement";
    header.frame.imageWidth = width, header.frame.imageHeight = height;
    header.frame.xMax = width, header.frame.yMax = height, header.frame.scale = 1;
    return header;
}

void expectSameLayout(const MapLayout& alone, const MapLayout& paired, int map) {
    ASSERT_EQ(alone.objects.size(), paired.objects.size());
    for (std::size_t i = 0; i < alone.objects.size(); ++i) {
        const std::optional<PlacedLabel>& a = alone.objects[i].label;
        const std::optional<PlacedLabel>& b = paired.objects[i].label;
        ASSERT_EQ(a.has_value(), b.has_value()) << "map " << map << ", object " << i;
        if (!a) continue;
        ASSERT_EQ(a->corner, b->corner) << "map " << map << ", object " << i;
        ASSERT_EQ(a->leader, b->leader) << "map " << map << ", object " << i;
    }
    EXPECT_EQ(alone.title, paired.title) << "map " << map;
    EXPECT_EQ(alone.obstacles.all(), paired.obstacles.all()) << "map " << map;
}

TEST(LabelPlacement, SecondThreadPlacesEveryLabelAsOneThreadDoes) {
    std::mt19937 random(5);
    auto below = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    std::vector<ObjectType> types(3);
    for (std::size_t t = 0; t < types.size(); ++t) types[t] = {"t" + std::to_string(t), nullptr, 2 + 5 * static_cast<int>(t)};
    for (int map = 0; map < 12; ++map) {
        // Objects spread over the map, gathered in a few clusters, or all
        // on a handful of spots; some without a label, some with a place
        // asked for.
        const int width = 200 + below(500), height = 150 + below(300);
        const MapHeader header = headerOf(width, height);
        LayoutSettings settings;
        settings.grid = map % 3 == 0;
        settings.leaders = map % 2 == 0;
        std::vector<GameObject> objects(static_cast<std::size_t>(100 + below(300)));
        const int spots = map % 4 == 3 ? 3 : map % 4 == 2 ? 12 : 0;
        for (GameObject& o : objects) {
            o.type = &types[static_cast<std::size_t>(below(3))];
            if (spots > 0) {
                const int spot = below(spots);
                o.px = (spot * 97) % width, o.py = (spot * 61) % height;
                if (map % 4 == 2) o.px += below(40), o.py += below(40);
            } else {
                o.px = below(width), o.py = below(height);
            }
            o.label = below(10) == 0 ? "" : std::string(static_cast<std::size_t>(1 + below(20)), 'x');
            settings.labelOffsets.push_back(below(8) == 0 ? std::optional<PixelPoint>{{below(40) - 20, below(40) - 20}}
                                                          : std::nullopt);
        }
        settings.secondThread = false;
        const MapLayout alone = layOutMap(header, objects, settings);
        settings.secondThread = true;
        const MapLayout paired = layOutMap(header, objects, settings);
        expectSameLayout(alone, paired, map);
    }
}

TEST(LabelPlacement, FailingSearchStopsTheLayoutEitherWay) {
    // Two crowds far apart, taking turns, so that the next search is
    // handed on and its answer kept; then an object whose anchor lies
    // beyond the search's reach, far from both.
    std::vector<ObjectType> types{{"small", nullptr, 4}};
    std::vector<GameObject> objects(200);
    for (std::size_t i = 0; i < objects.size(); ++i) {
        objects[i].type = &types[0];
        const int crowd = i % 2 == 0 ? 50 : 400;
        objects[i].px = crowd + static_cast<int>(i % 7), objects[i].py = crowd + static_cast<int>(i % 5);
        objects[i].label = "crowd";
    }
    LayoutSettings settings;
    for (const std::size_t far : {std::size_t{150}, std::size_t{151}}) {
        std::vector<GameObject> withFar = objects;
        withFar[far].px = (1 << 28) + 70000;
        for (const bool second : {false, true}) {
            settings.secondThread = second;
            EXPECT_THROW(layOutMap(headerOf(500, 500), withFar, settings), std::invalid_argument);
        }
    }
}

}  // namespace

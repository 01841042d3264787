// The label and title searches alone, on a crowded patch of map.
#include "place/label_search.h"
#include "place/title_search.h"

#include <benchmark/benchmark.h>

#include <random>

using namespace orvex;

namespace {

// A 1600 x 1200 map with objects in clusters, each with its icon, label
// and leader.
ObstacleIndex crowdedMap(int objects) {
    std::mt19937 random(5);
    std::uniform_int_distribution<int> centre(100, 1100), spread(-120, 120), length(8, 24);
    ObstacleIndex index(1600, 1200);
    for (int i = 0; i < objects; ++i) {
        const int cx = centre(random) + 200, cy = centre(random) / 1;
        const int x = cx + spread(random), y = cy + spread(random) / 2;
        index.add({x - 15, y - 15, x + 15, y + 15});
        const int w = 6 * length(random);
        index.add({x + 20, y - 6, x + 20 + w, y + 7});
        index.add(rectFromCorners(x, y, x + 20, y));
    }
    return index;
}

void labelInCrowd(benchmark::State& state) {
    const ObstacleIndex index = crowdedMap(static_cast<int>(state.range(0)));
    LabelSearch search;
    std::mt19937 random(6);
    std::uniform_int_distribution<int> x(300, 1300), y(100, 1100);
    for (auto _ : state) benchmark::DoNotOptimize(search.place({x(random), y(random)}, 15, 96, 13, index));
}
BENCHMARK(labelInCrowd)->Arg(500)->Arg(4000);

void titleOnCrowd(benchmark::State& state) {
    const ObstacleIndex index = crowdedMap(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(placeTitle(14 * 9, 9, 15, 1600, 1200, index));
}
BENCHMARK(titleOnCrowd)->Arg(500)->Arg(4000);

}  // namespace

BENCHMARK_MAIN();

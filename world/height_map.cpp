// Ground-height and passability queries on the captured height map.
// The world-to-texel mapping uses three rounded constants, with the products
// taken in double so the texel boundaries fall where they always have.
#include "world/height_map.h"

#include <cmath>
#include <cstddef>

namespace {

constexpr int kMapCentre = kHeightMapSize / 2;
constexpr int kLastIndex = kHeightMapSize - 1;
constexpr int kNeighbourOffset = 2;

// Clamps in double before converting: a NaN, infinite or far-away position
// must neither overflow the int conversion nor read outside the map.
int clampIndex(double index) {
    if (!(index >= 0.0)) return 0;  // also NaN
    if (index > static_cast<double>(kLastIndex)) return kLastIndex;
    return static_cast<int>(index);
}

int clampIndex(int index) {
    if (index < 0) return 0;
    if (index > kLastIndex) return kLastIndex;
    return index;
}

double unclampedColumn(float x) { return kMapCentre + std::trunc(static_cast<double>(x) * static_cast<double>(1.34f)); }

double unclampedRow(float z) {
    return kMapCentre - std::trunc(static_cast<double>(z) * static_cast<double>(1.28f) - static_cast<double>(0.3f));
}

// A map of the wrong size (a failed capture) reads as flat ground at 0.
float sample(const HeightMap& map, int row, int column) {
    std::size_t index = static_cast<std::size_t>(row) * kHeightMapSize + static_cast<std::size_t>(column);
    if (index >= map.values.size()) return 0.0f;
    return map.values[index];
}

}  // namespace

int heightMapColumn(float x) { return clampIndex(unclampedColumn(x)); }

int heightMapRow(float z) { return clampIndex(unclampedRow(z)); }

float heightAt(const HeightMap& map, float x, float z) { return sample(map, heightMapRow(z), heightMapColumn(x)); }

bool isPassable(const HeightMap& map, float x, float z) {
    // Written so that a NaN distance counts as outside.
    if (!(std::sqrt(x * x + z * z) <= worldRadius)) return false;
    int row = heightMapRow(z);
    int column = heightMapColumn(x);
    float centre = sample(map, row, column);
    const int offsets[4][2] = {{kNeighbourOffset, kNeighbourOffset},
                               {-kNeighbourOffset, kNeighbourOffset},
                               {kNeighbourOffset, -kNeighbourOffset},
                               {-kNeighbourOffset, -kNeighbourOffset}};
    for (const auto& offset : offsets) {
        float neighbour = sample(map, clampIndex(row + offset[0]), clampIndex(column + offset[1]));
        if (std::fabs(centre - neighbour) > slopeLimit) return false;
    }
    return true;
}

// The landscape's height map and the two questions every walking figure asks
// of it: how high is the ground here, and may I stand here. Plain array reads,
// no GL, so the rules can be tested on synthetic maps.
#pragma once

#include <vector>

constexpr int kHeightMapSize = 1024;
constexpr float worldRadius = 338.0f;
constexpr float slopeLimit = 5.0f;

struct HeightMap {
    // kHeightMapSize * kHeightMapSize world heights, row-major, row 0 first.
    std::vector<float> values = std::vector<float>(static_cast<std::size_t>(kHeightMapSize) * kHeightMapSize, 0.0f);
};

// Texel of a world position; indices outside the map are clamped to its edge.
int heightMapColumn(float x);
int heightMapRow(float z);
float heightAt(const HeightMap& map, float x, float z);
bool isPassable(const HeightMap& map, float x, float z);

// The image generator (tools/make_images, run as the build runs it): the same
// bytes every run, the fourteen files at their sizes, pictures the right way
// up and where the models' texture coordinates expect them, and overlay
// pictures the text shader can show (black or clearly visible, nothing between).
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "render/tga.h"

namespace {

namespace fs = std::filesystem;

struct ExpectedImage {
    const char* file;
    int size;
    bool overlay;
};

const ExpectedImage kImages[] = {
    {"ground14.tga", 256, false},     {"won.tga", 256, false},           {"leaf.tga", 256, false},
    {"mirelka_arm_l.tga", 256, false}, {"mirelka_arm_r.tga", 256, false}, {"mirelka_koerper2.tga", 512, false},
    {"sunny.tga", 256, false},        {"cakeIcon.tga", 256, true},       {"cakeIcon2.tga", 256, true},
    {"cakeIcon3.tga", 256, true},     {"torte_textur.tga", 512, false},  {"victory.tga", 512, true},
    {"gameover.tga", 512, true},      {"alphabet.tga", 512, true},
};

std::vector<char> fileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct Rgb {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
};

Rgb pixel(const Image& image, int x, int row) {
    const unsigned char* p = image.pixels.data() + (static_cast<std::size_t>(row) * image.width + x) * 3;
    return Rgb{static_cast<float>(p[0]), static_cast<float>(p[1]), static_cast<float>(p[2])};
}

// Mean colour of a small square around texture coordinates (u, v), v = 0 at the bottom row.
Rgb sampleAt(const Image& image, float u, float v, int radius = 2) {
    const int cx = static_cast<int>(u * static_cast<float>(image.width));
    const int cy = static_cast<int>(v * static_cast<float>(image.height));
    Rgb sum;
    int count = 0;
    for (int y = std::max(0, cy - radius); y <= std::min(image.height - 1, cy + radius); ++y)
        for (int x = std::max(0, cx - radius); x <= std::min(image.width - 1, cx + radius); ++x, ++count) {
            const Rgb p = pixel(image, x, y);
            sum.r += p.r;
            sum.g += p.g;
            sum.b += p.b;
        }
    return Rgb{sum.r / count, sum.g / count, sum.b / count};
}

float brightest(Rgb c) { return std::max(c.r, std::max(c.g, c.b)); }
float darkest(Rgb c) { return std::min(c.r, std::min(c.g, c.b)); }

bool isDark(Rgb c) { return brightest(c) < 110.0f; }
bool isRed(Rgb c) { return c.r > 120.0f && c.r > 2.0f * c.g && c.r > 2.0f * c.b; }
bool isWhite(Rgb c) { return darkest(c) > 200.0f && brightest(c) - darkest(c) < 40.0f; }
bool isSkin(Rgb c) { return c.r > 200.0f && c.g > 140.0f && c.g < 230.0f && c.r > c.b + 30.0f; }
bool isBrown(Rgb c) { return c.r > 50.0f && c.r < 170.0f && c.r > c.g && c.g > c.b; }
bool isPale(Rgb c) { return darkest(c) > 180.0f; }

class GeneratedImages : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        root = fs::path(::testing::TempDir()) / ("varnelo_images_test_" + std::to_string(::getpid()));
        fs::remove_all(root);
        generateInto(root / "first");
        for (const ExpectedImage& expected : kImages) {
            Image image;
            if (readTga((root / "first" / expected.file).string(), image)) images[expected.file] = image;
        }
    }
    static void TearDownTestSuite() {
        fs::remove_all(root);
        images.clear();
    }
    static void generateInto(const fs::path& dir) {
        // unit_tests is built in <build>/tests, the generator in <build>/tools.
        const fs::path generator = fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "tools" /
                                   "make_images";
        ASSERT_TRUE(fs::exists(generator)) << "build the make_images target first: " << generator;
        const std::string command = "'" + generator.string() + "' '" + dir.string() + "'";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }
    const Image& image(const char* file) {
        static const Image none;
        const auto found = images.find(file);
        return found == images.end() ? none : found->second;
    }
    static fs::path root;
    static std::map<std::string, Image> images;
};

fs::path GeneratedImages::root;
std::map<std::string, Image> GeneratedImages::images;

TEST_F(GeneratedImages, EveryRunWritesTheSameFourteenFiles) {
    generateInto(root / "second");
    std::set<std::string> expected;
    for (const ExpectedImage& image : kImages) expected.insert(image.file);
    for (const char* run : {"first", "second"}) {
        std::set<std::string> found;
        for (const fs::directory_entry& entry : fs::directory_iterator(root / run))
            found.insert(entry.path().filename().string());
        EXPECT_EQ(found, expected) << run;
    }
    for (const ExpectedImage& image : kImages) {
        const std::vector<char> first = fileBytes(root / "first" / image.file);
        EXPECT_FALSE(first.empty()) << image.file;
        EXPECT_TRUE(first == fileBytes(root / "second" / image.file)) << image.file << " differs between runs";
    }
}

TEST_F(GeneratedImages, EveryImageDecodesAsRgbAtItsSize) {
    for (const ExpectedImage& expected : kImages) {
        const Image& decoded = image(expected.file);
        EXPECT_EQ(decoded.width, expected.size) << expected.file;
        EXPECT_EQ(decoded.height, expected.size) << expected.file;
        EXPECT_EQ(decoded.bytesPerPixel, 3) << expected.file;
    }
}

// The text shader discards texels under 10 % and shows the rest: a picture
// needs a pure black background and content well clear of the limit.
TEST_F(GeneratedImages, OverlayPicturesAreBlackOrClearlyVisible) {
    for (const ExpectedImage& expected : kImages) {
        if (!expected.overlay) continue;
        const Image& decoded = image(expected.file);
        ASSERT_FALSE(decoded.pixels.empty()) << expected.file;
        std::size_t black = 0;
        std::size_t faint = 0;
        for (std::size_t i = 0; i < decoded.pixels.size(); i += 3) {
            const int top = std::max({decoded.pixels[i], decoded.pixels[i + 1], decoded.pixels[i + 2]});
            if (top == 0) ++black;
            else if (top < 51) ++faint;
        }
        const std::size_t count = decoded.pixels.size() / 3;
        EXPECT_EQ(faint, 0u) << expected.file;
        EXPECT_GT(black, count / 4) << expected.file << " has too little background";
        EXPECT_LT(black, count - count / 50) << expected.file << " is nearly empty";
    }
}

bool cellHasInk(const Image& atlas, int code, int x0, int x1) {
    const int column = code % 16;
    const int rowFromTop = code / 16;
    for (int y = 0; y < 32; ++y)
        for (int x = x0; x < x1; ++x)
            if (brightest(pixel(atlas, column * 32 + x, atlas.height - 1 - (rowFromTop * 32 + y))) > 0.0f) return true;
    return false;
}

int inkRows(const Image& atlas, int code) {
    int rows = 0;
    for (int y = 0; y < 32; ++y) {
        bool ink = false;
        for (int x = 0; x < 32; ++x)
            ink = ink ||
                  brightest(pixel(atlas, (code % 16) * 32 + x, atlas.height - 1 - ((code / 16) * 32 + y))) > 0.0f;
        rows += ink ? 1 : 0;
    }
    return rows;
}

// Cells in code order from the top row; glyphs only in the middle half of a
// cell's width, because the overlay draws cells at half a cell's advance.
TEST_F(GeneratedImages, AlphabetHoldsEachPrintableCharacterInItsCell) {
    const Image& atlas = image("alphabet.tga");
    ASSERT_EQ(atlas.width, 512);
    for (int code = 0; code < 256; ++code) {
        EXPECT_FALSE(cellHasInk(atlas, code, 0, 8)) << "ink left of the middle half, code " << code;
        EXPECT_FALSE(cellHasInk(atlas, code, 24, 32)) << "ink right of the middle half, code " << code;
        const bool printable = code > 32 && code < 127;
        if (printable) {
            EXPECT_TRUE(cellHasInk(atlas, code, 8, 24)) << "no glyph for code " << code;
        }
        if (code <= 32) {
            EXPECT_FALSE(cellHasInk(atlas, code, 8, 24)) << "code " << code << " should be empty";
        }
    }
    // Capitals tall enough to read at 40 pixels a cell; descenders below the baseline.
    EXPECT_GE(inkRows(atlas, 'H'), 15);
    EXPECT_GT(inkRows(atlas, 'g'), inkRows(atlas, 'a'));
}

TEST_F(GeneratedImages, FigurePicturesFollowTheWrapLayout) {
    struct Probe {
        const char* file;
        float u;
        float v;
        bool (*check)(Rgb);
        const char* what;
    };
    const Probe probes[] = {
        {"mirelka_koerper2.tga", 0.25f, 0.02f, isDark, "shoes"},
        {"mirelka_koerper2.tga", 0.25f, 0.22f, isSkin, "legs"},
        {"mirelka_koerper2.tga", 0.3f, 0.42f, isRed, "dress at the side"},
        {"mirelka_koerper2.tga", 0.4f, 0.45f, isWhite, "apron in front"},
        {"mirelka_koerper2.tga", 0.5f, 0.74f, isSkin, "neck"},
        {"mirelka_koerper2.tga", 0.5f, 0.78f, isSkin, "chin in front"},
        {"mirelka_koerper2.tga", 0.05f, 0.84f, isBrown, "hair at the back of the head"},
        {"mirelka_koerper2.tga", 0.5f, 0.97f, isBrown, "hair on top"},
        {"mirelka_arm_l.tga", 0.25f, 0.07f, isSkin, "left hand"},
        {"mirelka_arm_l.tga", 0.25f, 0.165f, isWhite, "left cuff"},
        {"mirelka_arm_l.tga", 0.25f, 0.6f, isRed, "left sleeve"},
        {"mirelka_arm_r.tga", 0.75f, 0.07f, isSkin, "right hand"},
        {"mirelka_arm_r.tga", 0.75f, 0.6f, isRed, "right sleeve"},
        {"sunny.tga", 0.25f, 0.3f, isPale, "ghost sheet"},
        {"sunny.tga", 0.5f + 18.0f / 256.0f, 0.74f, isDark, "ghost eye"},
        {"sunny.tga", 0.0f, 0.74f, isPale, "back of the ghost"},
    };
    for (const Probe& probe : probes) {
        const Image& picture = image(probe.file);
        ASSERT_FALSE(picture.pixels.empty()) << probe.file;
        const Rgb c = sampleAt(picture, probe.u, probe.v);
        EXPECT_TRUE(probe.check(c)) << probe.what << " at (" << probe.u << ", " << probe.v << ") is " << c.r << ","
                                    << c.g << "," << c.b;
    }
}

// Mean difference between two rows (or columns) of a picture, over a range.
float lineDifference(const Image& picture, bool columns, int a, int b, int from, int to) {
    float sum = 0.0f;
    for (int i = from; i < to; ++i) {
        const Rgb p = columns ? pixel(picture, a, i) : pixel(picture, i, a);
        const Rgb q = columns ? pixel(picture, b, i) : pixel(picture, i, b);
        sum += std::fabs(p.r - q.r) + std::fabs(p.g - q.g) + std::fabs(p.b - q.b);
    }
    return sum / static_cast<float>(to - from);
}

// Across the wrap the step may be no larger than the largest step between
// neighbours inside the picture.
void expectSeamless(const Image& picture, bool columns, int from, int to, const char* what) {
    const int last = (columns ? picture.width : picture.height) - 1;
    float largest = 0.0f;
    for (int i = 0; i < last; ++i) largest = std::max(largest, lineDifference(picture, columns, i, i + 1, from, to));
    EXPECT_LE(lineDifference(picture, columns, last, 0, from, to), largest + 1.0f) << what;
}

TEST_F(GeneratedImages, GroundAndTorteRepeatWithoutSeams) {
    const Image& ground = image("ground14.tga");
    ASSERT_EQ(ground.width, 256);
    expectSeamless(ground, true, 0, 256, "ground left/right");
    expectSeamless(ground, false, 0, 256, "ground top/bottom");
    const Image& torte = image("torte_textur.tga");
    ASSERT_EQ(torte.width, 512);
    expectSeamless(torte, false, 0, 170, "snow strip along v");
    expectSeamless(torte, false, 171, 341, "icing strip along v");
    expectSeamless(torte, false, 342, 512, "sponge strip along v");
}

TEST_F(GeneratedImages, TorteStripsHoldSnowIcingAndSponge) {
    const Image& torte = image("torte_textur.tga");
    ASSERT_EQ(torte.width, 512);
    Rgb sums[3];
    for (int y = 0; y < 512; ++y) {
        for (int x = 0; x < 512; ++x) {
            const Rgb p = pixel(torte, x, y);
            const int strip = x * 3 / 512;
            sums[strip].r += p.r;
            sums[strip].g += p.g;
            sums[strip].b += p.b;
            // No sprinkle or crumb may stray into the snow strip.
            if (strip == 0 && !(darkest(p) > 150.0f && p.b >= p.r)) {
                ADD_FAILURE() << "snow strip pixel " << x << "," << y << " is not snow";
                return;
            }
        }
    }
    const float n = 512.0f * 512.0f / 3.0f;
    const Rgb snow{sums[0].r / n, sums[0].g / n, sums[0].b / n};
    const Rgb icing{sums[1].r / n, sums[1].g / n, sums[1].b / n};
    const Rgb sponge{sums[2].r / n, sums[2].g / n, sums[2].b / n};
    EXPECT_GT(darkest(snow), 215.0f);
    EXPECT_GT(icing.r, icing.g + 20.0f);  // pink
    EXPECT_GT(sponge.r, sponge.b + 50.0f);  // yellow-brown
    EXPECT_LT(brightest(sponge), brightest(icing));
}

float meanSaturation(const Image& icon) {
    float sum = 0.0f;
    int count = 0;
    for (int y = 0; y < icon.height; ++y)
        for (int x = 0; x < icon.width; ++x) {
            const Rgb p = pixel(icon, x, y);
            if (brightest(p) == 0.0f) continue;
            sum += (brightest(p) - darkest(p)) / brightest(p);
            ++count;
        }
    return count == 0 ? 0.0f : sum / static_cast<float>(count);
}

TEST_F(GeneratedImages, CakeIconsTellTheirStatesApart) {
    const Image& carried = image("cakeIcon.tga");
    const Image& lying = image("cakeIcon2.tga");
    const Image& lost = image("cakeIcon3.tga");
    ASSERT_EQ(carried.width, 256);
    // The lying cake is the same cake, paler; the lost one is greyed with a red cross.
    EXPECT_GT(meanSaturation(carried), meanSaturation(lying) + 0.15f);
    const Rgb lostCentre = sampleAt(lost, 0.5f, 0.5f, 3);
    EXPECT_TRUE(isRed(lostCentre)) << lostCentre.r << "," << lostCentre.g << "," << lostCentre.b;
    const Rgb lostPlateSide = sampleAt(lost, 0.5f, 1.0f - 190.0f / 256.0f, 3);
    EXPECT_LT(brightest(lostPlateSide) - darkest(lostPlateSide), 30.0f) << "the lost cake is grey";
}

}  // namespace

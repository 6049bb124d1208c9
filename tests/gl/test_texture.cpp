// Texture loading and sampling modes against a real GL: what lands in the
// texture object, its filters, and that failed loads leave nothing behind;
// and the game's images: their names, a name out of step, a missing image.
#include <GL/glew.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "render/game_textures.h"
#include "render/texture.h"
#include "tests/support/scratch_files.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes tgaFile(int imageType, int width, int height, int pixelBits, int descriptor, const Bytes& body,
              const Bytes& colourMap = {}, int mapBits = 0) {
    const int mapLength = mapBits == 0 ? 0 : static_cast<int>(colourMap.size()) / (mapBits / 8);
    Bytes file = {0,
                  static_cast<unsigned char>(mapBits == 0 ? 0 : 1),
                  static_cast<unsigned char>(imageType),
                  0,
                  0,
                  static_cast<unsigned char>(mapLength & 0xff),
                  static_cast<unsigned char>(mapLength >> 8),
                  static_cast<unsigned char>(mapBits),
                  0,
                  0,
                  0,
                  0,
                  static_cast<unsigned char>(width & 0xff),
                  static_cast<unsigned char>(width >> 8),
                  static_cast<unsigned char>(height & 0xff),
                  static_cast<unsigned char>(height >> 8),
                  static_cast<unsigned char>(pixelBits),
                  static_cast<unsigned char>(descriptor)};
    file.insert(file.end(), colourMap.begin(), colourMap.end());
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

void drainGlErrors() {
    while (glGetError() != GL_NO_ERROR) {
    }
}

GLint boundTexture() {
    GLint name = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &name);
    return name;
}

GLint levelParameter(GLint level, GLenum parameter) {
    GLint value = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, parameter, &value);
    return value;
}

GLint textureParameter(GLenum parameter) {
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, parameter, &value);
    return value;
}

// Level 0 of the bound texture as tightly packed RGBA bytes, bottom row first.
Bytes readBackRgba() {
    const GLint width = levelParameter(0, GL_TEXTURE_WIDTH);
    const GLint height = levelParameter(0, GL_TEXTURE_HEIGHT);
    Bytes pixels(static_cast<std::size_t>(width * height * 4), 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    return pixels;
}

Bytes rgbaOf(const Bytes& rgb) {
    Bytes rgba;
    for (std::size_t i = 0; i + 2 < rgb.size(); i += 3) rgba.insert(rgba.end(), {rgb[i], rgb[i + 1], rgb[i + 2], 255});
    return rgba;
}

class TextureLoad : public ::testing::Test {
protected:
    void SetUp() override {
        drainGlErrors();
        dir = std::filesystem::path(::testing::TempDir()) / ("varnelo_texture_test_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
    }
    void TearDown() override {
        GLuint name = static_cast<GLuint>(boundTexture());
        if (name != 0) glDeleteTextures(1, &name);
        std::filesystem::remove_all(dir);
    }
    std::string write(const std::string& name, const Bytes& bytes) {
        const std::string path = (dir / name).string();
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
        return path;
    }
    std::filesystem::path dir;
};

TEST_F(TextureLoad, ThirtyTwoBitFileUploadsAsRgbaIntoRgb8AndDropsAlpha) {
    // 2 x 2, B,G,R,A: red (alpha 0), green (alpha 128) / blue, grey.
    const Bytes body = {0, 0, 255, 0, 0, 255, 0, 128, 255, 0, 0, 255, 90, 90, 90, 30};
    const unsigned int name = loadTexture(write("rgba.tga", tgaFile(2, 2, 2, 32, 0, body)));
    ASSERT_NE(name, 0u);
    EXPECT_EQ(boundTexture(), static_cast<GLint>(name));
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_INTERNAL_FORMAT), GL_RGB8);
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_ALPHA_SIZE), 0);
    // Read as GL_RGB the four-byte pixels would be shifted; the alpha reads back as 1.
    EXPECT_EQ(readBackRgba(), (Bytes{255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 90, 90, 90, 255}));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(TextureLoad, LoaderSetsLinearMipmappedRepeatingSamplingWithAFullChain) {
    ASSERT_TRUE(loadTexture(write("grid.tga", tgaFile(2, 4, 4, 24, 0, Bytes(4 * 4 * 3, 200)))));
    EXPECT_EQ(textureParameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(textureParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(textureParameter(GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(textureParameter(GL_TEXTURE_WRAP_T), GL_REPEAT);
    EXPECT_EQ(levelParameter(1, GL_TEXTURE_WIDTH), 2);
    EXPECT_EQ(levelParameter(2, GL_TEXTURE_WIDTH), 1);
    // The chain is complete, so sampling the mip-mapped texture gives the image's colour.
    Bytes level2(4, 0);
    glGetTexImage(GL_TEXTURE_2D, 2, GL_RGBA, GL_UNSIGNED_BYTE, level2.data());
    EXPECT_EQ(level2, (Bytes{200, 200, 200, 255}));
}

TEST_F(TextureLoad, TopRowFirstFileArrivesBottomRowFirst) {
    // 1 x 2 stored top first: white on top, black below.
    ASSERT_TRUE(loadTexture(write("top.tga", tgaFile(2, 1, 2, 24, 0x20, {255, 255, 255, 0, 0, 0}))));
    EXPECT_EQ(readBackRgba(), (Bytes{0, 0, 0, 255, 255, 255, 255, 255}));
}

TEST_F(TextureLoad, OddSizedRowsLoadAtTheirSizeWithEveryPixelInPlace) {
    // 3 x 5 RGB: 9-byte rows, not a multiple of the unpack alignment.
    Bytes bgr;
    Bytes rgb;
    for (int i = 0; i < 15; ++i) {
        const auto v = static_cast<unsigned char>(i * 16);
        bgr.insert(bgr.end(), {static_cast<unsigned char>(255 - v), 7, v});
        rgb.insert(rgb.end(), {v, 7, static_cast<unsigned char>(255 - v)});
    }
    ASSERT_TRUE(loadTexture(write("odd.tga", tgaFile(2, 3, 5, 24, 0, bgr))));
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_WIDTH), 3);
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_HEIGHT), 5);
    EXPECT_EQ(readBackRgba(), rgbaOf(rgb));
}

TEST_F(TextureLoad, GreyFilesBecomeGreyRgb) {
    // 5 x 2 grey, run-length encoded: 5-byte rows again.
    const Bytes body = {0x84, 40, 0x04, 1, 2, 3, 4, 250};
    ASSERT_TRUE(loadTexture(write("grey.tga", tgaFile(11, 5, 2, 8, 0, body))));
    EXPECT_EQ(readBackRgba(), rgbaOf({40, 40, 40, 40, 40, 40, 40, 40, 40, 40, 40, 40, 40, 40, 40,
                                      1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 250, 250, 250}));
    GLuint name = static_cast<GLuint>(boundTexture());
    glDeleteTextures(1, &name);

    // Grey with alpha: the alpha byte must not be taken for the next pixel.
    ASSERT_TRUE(loadTexture(write("greyalpha.tga", tgaFile(3, 3, 1, 16, 0, {10, 0, 20, 255, 30, 9}))));
    EXPECT_EQ(readBackRgba(), rgbaOf({10, 10, 10, 20, 20, 20, 30, 30, 30}));
}

TEST_F(TextureLoad, ColourMappedFileLoadsItsPaletteColours) {
    const Bytes palette = {0, 0, 255, 255, 0, 0};  // red, blue
    ASSERT_TRUE(loadTexture(write("mapped.tga", tgaFile(9, 3, 1, 8, 0, {0x81, 1, 0x00, 0}, palette, 24))));
    EXPECT_EQ(readBackRgba(), rgbaOf({0, 0, 255, 0, 0, 255, 255, 0, 0}));
}

// Which texture names exist, so a failed load can be seen to leave none behind.
std::vector<bool> existingTextures() {
    std::vector<bool> exists;
    for (GLuint name = 1; name <= 512; ++name) exists.push_back(glIsTexture(name) == GL_TRUE);
    return exists;
}

TEST_F(TextureLoad, FailedLoadsReportThePathAndLeaveNoTexture) {
    const Bytes good = tgaFile(2, 2, 2, 24, 0, Bytes(12, 1));
    const std::vector<std::string> paths = {
        (dir / "missing.tga").string(),
        write("empty.tga", {}),
        write("truncated.tga", Bytes(good.begin(), good.end() - 1)),
        write("notatga.tga", Bytes{'P', '6', '\n', '2', ' ', '2', '\n', '2', '5', '5', '\n', 1, 2, 3, 4, 5, 6, 7, 8}),
        write("absurd.tga", tgaFile(10, 16000, 16000, 24, 0, {0xff, 1, 2, 3})),
        dir.string(),
    };
    for (const std::string& path : paths) {
        const std::vector<bool> before = existingTextures();
        ::testing::internal::CaptureStderr();
        const unsigned int name = loadTexture(path);
        const std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(name, 0u) << path;
        EXPECT_EQ(err, "Error loading texture " + path + "\n");
        EXPECT_EQ(existingTextures(), before) << path;
        EXPECT_EQ(boundTexture(), 0) << path;
    }
}

TEST_F(TextureLoad, PendingErrorIsReportedBeforeTheTextureIsCreated) {
    glEnable(0x1234);  // GL_INVALID_ENUM left pending
    ::testing::internal::CaptureStderr();
    const unsigned int name = loadTexture(write("ok.tga", tgaFile(3, 1, 1, 8, 0, {5})));
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(name, 0u);
    EXPECT_EQ(err, "Error at '13.0'\nGL: enum argument out of range.\n");
}

// The game's images in their load order; the i-th is texture 2 + i of the table.
struct GameImage {
    const char* file;
    unsigned int GameTextures::*name;
};
const GameImage kGameImages[] = {
    {"ground14.tga", &GameTextures::ground},
    {"won.tga", &GameTextures::won},
    {"leaf.tga", &GameTextures::leaf},
    {"mirelka_arm_l.tga", &GameTextures::leftArm},
    {"mirelka_arm_r.tga", &GameTextures::rightArm},
    {"mirelka_koerper2.tga", &GameTextures::body},
    {"sunny.tga", &GameTextures::ghost},
    {"cakeIcon.tga", &GameTextures::carriedCakeIcon},
    {"cakeIcon2.tga", &GameTextures::lyingCakeIcon},
    {"cakeIcon3.tga", &GameTextures::lostCakeIcon},
    {"torte_textur.tga", &GameTextures::torte},
    {"victory.tga", &GameTextures::victory},
    {"gameover.tga", &GameTextures::gameOver},
    {"alphabet.tga", &GameTextures::alphabet},
};
const std::string kTrailStart = "before load textures \nafter load textures 1 \n";
const std::string kTrailEnd = "after load textures \n";

// Takes the first names as textures, as the snow (and here an extra one)
// does before the images load. False when the context had handed out names.
bool takeFirstTextureNames(GLuint count) {
    for (GLuint expected = 1; expected <= count; ++expected) {
        GLuint name = 0;
        glGenTextures(1, &name);
        glBindTexture(GL_TEXTURE_1D, name);
        if (name != expected) return false;
    }
    glBindTexture(GL_TEXTURE_1D, 0);
    return true;
}

void expectEmpty(const GameTextures& textures) {
    for (const GameImage& image : kGameImages) EXPECT_EQ(textures.*image.name, 0u) << image.file;
}

// After the snow's texture 1 the images get 2 to 15, silently; unloading
// deletes every one of them.
TEST(GameTextures, LoadAsNumbersTwoToFifteenAndUnloadAll) {
    if (!takeFirstTextureNames(1)) GTEST_SKIP() << "needs a fresh context: run one test per process";
    GameTextures textures;
    ::testing::internal::CaptureStderr();
    ASSERT_TRUE(loadGameTextures(textures));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), kTrailStart + kTrailEnd);
    for (unsigned int i = 0; i < std::size(kGameImages); ++i)
        EXPECT_EQ(textures.*kGameImages[i].name, 2 + i) << kGameImages[i].file;
    unloadGameTextures(textures);
    for (GLuint name = 2; name <= 15; ++name) EXPECT_FALSE(glIsTexture(name)) << name;
    expectEmpty(textures);
}

// One texture too many before them: every image is a number late. Each is
// reported, and the game goes on with the names it really has.
TEST(GameTextures, NamesOutOfStepAreReportedAndUsed) {
    if (!takeFirstTextureNames(2)) GTEST_SKIP() << "needs a fresh context: run one test per process";
    GameTextures textures;
    ::testing::internal::CaptureStderr();
    ASSERT_TRUE(loadGameTextures(textures));
    const std::string err = ::testing::internal::GetCapturedStderr();
    std::string expected = kTrailStart;
    for (unsigned int i = 0; i < std::size(kGameImages); ++i) {
        const unsigned int name = textures.*kGameImages[i].name;
        EXPECT_EQ(name, 3 + i) << kGameImages[i].file;
        EXPECT_TRUE(glIsTexture(name)) << kGameImages[i].file;
        expected += "Texture Models/" + std::string(kGameImages[i].file) + " has name " + std::to_string(3 + i) +
                    " instead of " + std::to_string(2 + i) + "\n";
    }
    EXPECT_EQ(err, expected + kTrailEnd);
    unloadGameTextures(textures);
}

// A missing image (first, in the middle, last) stops the loading, reported
// with its path; the images loaded before it are deleted again.
TEST(GameTextures, MissingImageUnloadsTheOnesBefore) {
    ScratchDirectory scratch;
    ASSERT_NO_FATAL_FAILURE(scratch.enter(false));
    std::filesystem::create_directory("Models");
    auto link = [&](const char* file) {
        std::filesystem::create_symlink(scratch.home + "/Models/" + file, std::string("Models/") + file);
    };
    for (const GameImage& image : kGameImages) link(image.file);
    for (const char* missing : {"ground14.tga", "leaf.tga", "alphabet.tga"}) {
        std::filesystem::remove(std::string("Models/") + missing);
        const std::vector<bool> before = existingTextures();
        GameTextures textures;
        ::testing::internal::CaptureStderr();
        EXPECT_FALSE(loadGameTextures(textures)) << missing;
        const std::string err = ::testing::internal::GetCapturedStderr();
        const std::string report = "Error loading texture Models/" + std::string(missing) + "\n";
        const std::string lastLine = err.size() < report.size() ? err : err.substr(err.size() - report.size());
        EXPECT_EQ(lastLine, report) << missing;
        EXPECT_EQ(existingTextures(), before) << missing;
        expectEmpty(textures);
        link(missing);
    }
    scratch.leave();
}

struct SamplingRow {
    bool bilinear;
    int mipmapMode;
    GLint mag;
    GLint min;
};

void PrintTo(const SamplingRow& row, std::ostream* out) {
    *out << (row.bilinear ? "bilinear" : "nearest") << ", mip-map mode " << row.mipmapMode;
}

class TextureSampling : public ::testing::TestWithParam<SamplingRow> {};

TEST_P(TextureSampling, SetsExactlyTheTableFiltersOnTheBoundTexture) {
    const SamplingRow row = GetParam();
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    // Start from filters that differ from the row's, so both must be written.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, row.mag == GL_LINEAR ? GL_NEAREST : GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                    row.min == GL_NEAREST_MIPMAP_LINEAR ? GL_LINEAR : GL_NEAREST_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    drainGlErrors();

    applyTextureSampling(row.bilinear, row.mipmapMode);
    EXPECT_EQ(textureParameter(GL_TEXTURE_MAG_FILTER), row.mag);
    EXPECT_EQ(textureParameter(GL_TEXTURE_MIN_FILTER), row.min);
    EXPECT_EQ(textureParameter(GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    glDeleteTextures(1, &name);
}

INSTANTIATE_TEST_SUITE_P(Table, TextureSampling,
                         ::testing::Values(SamplingRow{false, 1, GL_NEAREST, GL_NEAREST_MIPMAP_NEAREST},
                                           SamplingRow{false, 2, GL_NEAREST, GL_NEAREST_MIPMAP_LINEAR},
                                           SamplingRow{false, 0, GL_NEAREST, GL_NEAREST},
                                           SamplingRow{false, 7, GL_NEAREST, GL_NEAREST},
                                           SamplingRow{true, 1, GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST},
                                           SamplingRow{true, 2, GL_LINEAR, GL_LINEAR_MIPMAP_LINEAR},
                                           SamplingRow{true, 0, GL_LINEAR, GL_LINEAR},
                                           SamplingRow{true, -1, GL_LINEAR, GL_LINEAR}),
                         [](const ::testing::TestParamInfo<SamplingRow>& info) {
                             const int mode = info.param.mipmapMode;
                             return std::string(info.param.bilinear ? "Bilinear" : "Nearest") + "Mode" +
                                    (mode < 0 ? "Minus" + std::to_string(-mode) : std::to_string(mode));
                         });

}  // namespace

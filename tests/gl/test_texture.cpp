// Texture loading against a real GL: a file's pixels land in place in a
// GL_RGB8 texture with a full mip chain; a broken or missing file is reported
// and leaves no texture behind.

#include <filesystem>

#include <glm/glm.hpp>

#include "render/texture.h"
#include "tests/gl/gl_test_support.h"
#include "tests/support/scratch_files.h"
#include "tests/support/tga_file.h"

namespace {

// Rows of 9 bytes (GL reads rows at 4-byte alignment) and four-byte pixels, whose alpha is dropped.
TEST(TextureLoad, PixelsLandInPlaceWithAFullMipChain) {
    const std::pair<std::string, Bytes> cases[] = {
        {tgaFile(3, 2, 24, {0, 0, 9, 0, 8, 0, 7, 0, 0, 6, 6, 6, 5, 5, 5, 4, 4, 4}),
         {9, 0, 0, 255, 0, 8, 0, 255, 0, 0, 7, 255, 6, 6, 6, 255, 5, 5, 5, 255, 4, 4, 4, 255}},
        {tgaFile(1, 2, 32, {0, 0, 255, 0, 90, 90, 90, 30}), {255, 0, 0, 255, 90, 90, 90, 255}},
    };
    for (const auto& [tga, rgba] : cases) {
        SCOPED_TRACE(testing::Message() << tga.size() << "-byte file");
        TempFile file(tga, ".tga");
        GLuint name = loadTexture(file.path());
        ASSERT_NE(name, 0u);
        GLint format = 0, levelOneWidth = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &levelOneWidth);
        EXPECT_EQ(format, GL_RGB8);
        EXPECT_EQ(levelOneWidth, 1) << "a mip level below the picture";
        Bytes pixels(rgba.size());
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        EXPECT_EQ(pixels, rgba);
        glDeleteTextures(1, &name);
    }
}

TEST(TextureLoad, FailedLoadsReportThePathAndLeaveNoTexture) {
    const auto textures = [] {  // which names are textures
        std::vector<bool> exist;
        for (GLuint name = 1; name <= 512; ++name) exist.push_back(glIsTexture(name) == GL_TRUE);
        return exist;
    };
    const std::string good = tgaFile(2, 2, 24, Bytes(12, 1));
    const TempFile empty("", ".tga");
    const TempFile oneByteShort(good.substr(0, good.size() - 1), ".tga");
    const TempFile notTga("P6\n2 2\n255\n12345678", ".tga");
    const TempFile absurd(tgaFile(250, 250, 24, {1, 2, 3}), ".tga");
    const std::string folder = std::filesystem::temp_directory_path().string();  // a folder, not a file
    for (const std::string path : {"/nonexistent/missing.tga", empty.path(), oneByteShort.path(), notTga.path(),
                                   absurd.path(), folder.c_str()}) {
        const std::vector<bool> before = textures();
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(loadTexture(path), 0u) << path;
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Error loading texture " + path + "\n");
        EXPECT_EQ(textures(), before) << path;
    }
}

}  // namespace

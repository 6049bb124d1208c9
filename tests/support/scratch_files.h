// Scratch places for tests that write files: a temporary file that removes itself, and a temporary working
// directory that the test enters and leaves. Both live in the system's temporary folder (TMPDIR, or TEMP on
// Windows), so the tests run the same on Linux and under Windows.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <system_error>

// A path in the temporary folder that nothing else uses yet: the name carries a random part, and a directory
// is made there when makeDirectory is set (taken only if it did not exist), like mkdtemp.
inline std::string freshScratchPath(const std::string& stem, const std::string& extension = "",
                                    bool makeDirectory = false) {
    static std::mt19937_64 random{std::random_device{}()};
    const std::filesystem::path folder = std::filesystem::temp_directory_path();
    for (;;) {
        const std::filesystem::path path = folder / (stem + std::to_string(random() % 1000000000) + extension);
        std::error_code error;
        if (makeDirectory ? std::filesystem::create_directory(path, error) : !std::filesystem::exists(path, error))
            return path.string();
        if (error) return {};
    }
}

class TempFile {
public:
    explicit TempFile(const std::string& content, const std::string& extension = ".dae")
        : path_(freshScratchPath("varnelo_", extension)) {
        std::ofstream(path_, std::ios::binary) << content;
    }
    ~TempFile() { std::remove(path_.c_str()); }
    const char* path() const { return path_.c_str(); }

private:
    std::string path_;
};

// With gameData the game's Shaders/ and Models/ are linked in (copied where links cannot be made, as on Windows
// without developer mode): its relative paths work, terrain.bmp lands here.
struct ScratchDirectory {
    std::string home;
    std::string path;

    void enter(bool gameData) {
        home = std::filesystem::current_path().string();
        path = freshScratchPath("varnelo_scratch_", "", true);
        ASSERT_FALSE(path.empty()) << "no scratch directory in " << std::filesystem::temp_directory_path();
        for (const char* data : {"Shaders", "Models"}) {
            if (!gameData) continue;
            const std::filesystem::path from = std::filesystem::path(home) / data;
            const std::filesystem::path to = std::filesystem::path(path) / data;
            std::error_code linkError;
            std::filesystem::create_directory_symlink(from, to, linkError);
            if (linkError) std::filesystem::copy(from, to, std::filesystem::copy_options::recursive);
        }
        std::filesystem::current_path(path);
    }

    void leave() {
        if (home.empty()) return;
        std::filesystem::current_path(home);
        std::filesystem::remove_all(path);
        home.clear();
    }
};

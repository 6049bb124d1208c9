// Scratch places for tests that write files: a temporary file that removes itself, and a temporary working
// directory that the test enters and leaves.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

class TempFile {
public:
    explicit TempFile(const std::string& content, const std::string& extension = ".dae") {
        static int counter = 0;
        path_ = "/tmp/varnelo_" + std::to_string(getpid()) + "_" + std::to_string(counter++) + extension;
        std::ofstream(path_, std::ios::binary) << content;
    }
    ~TempFile() { std::remove(path_.c_str()); }
    const char* path() const { return path_.c_str(); }

private:
    std::string path_;
};

// With gameData the game's Shaders/ and Models/ are linked in: its relative paths work, terrain.bmp lands here.
struct ScratchDirectory {
    std::string home;
    std::string path;

    void enter(bool gameData) {
        home = std::filesystem::current_path().string();
        char pattern[] = "/tmp/varnelo_scratch_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        path = pattern;
        for (std::string data : {"/Shaders", "/Models"}) {
            if (gameData) std::filesystem::create_symlink(home + data, path + data);
        }
        ASSERT_EQ(chdir(path.c_str()), 0);
    }

    void leave() {
        if (home.empty()) return;
        EXPECT_EQ(chdir(home.c_str()), 0);
        std::filesystem::remove_all(path);
        home.clear();
    }
};

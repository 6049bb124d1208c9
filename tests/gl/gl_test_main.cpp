// Entry point of the GL tests: one hidden 1200 x 1000 window with the game's
// context settings per test process, opened before the first test runs (so
// listing the tests needs no display).
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "app/window.h"

namespace {

class GlEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        // Many test processes share one Xvfb: a refused connection is retried.
        bool opened = false;
        for (int attempt = 0; attempt < 6 && !opened; ++attempt) {
            if (attempt > 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(200));
                terminateWindowSystem();
            }
            initWindowSystem();
            opened = openWindow(1200, 1000, false);
        }
        if (!opened) {
            std::fprintf(stderr, "GL tests need a display (run them through scripts/test.sh)\n");
            std::exit(1);
        }
        glewExperimental = GL_TRUE;
        glewInit();
        glGetError();  // GLEW may leave an enum error behind
        glViewport(0, 0, 1200, 1000);
    }
    void TearDown() override { terminateWindowSystem(); }
};

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new GlEnvironment);
    return RUN_ALL_TESTS();
}

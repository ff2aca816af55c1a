#pragma once

#include "app/Application.h"
#include "tests/support/ScopedWorkDir.h"

#include <gtest/gtest.h>

// A test suite sharing one real program: started once, before the suite's
// first test, in a private work folder with this window size and frame
// limit (0: none), its start-up lines swallowed; ended after the last test.
template <int Width, int Height, int FramerateLimit = 0>
class ProgramSuite : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        workDir = new ScopedWorkDir(Width, Height, FramerateLimit);
        testing::internal::CaptureStdout();
        app = new Application();
        testing::internal::GetCapturedStdout();
    }
    static void TearDownTestSuite() {
        delete app;
        app = nullptr;
        delete workDir;
        workDir = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(app && app->ok()); }

    inline static ScopedWorkDir* workDir = nullptr;
    inline static Application* app = nullptr;
};

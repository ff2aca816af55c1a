// The start screen is a contract: with the shipped window size and no user
// action, every pixel stays what the program drew before any addition was
// made. The reference was taken from that program and is kept beside the
// test data; a difference writes the frame that was drawn next to the build
// (in the temporary folder) so it can be looked at. KINEMORPH_UPDATE_START_SCREEN=1 rewrites the
// reference (only ever on purpose, after checking the new picture).
#include "app/Application.h"
#include "app/Scene.h"
#include "tests/support/ScopedWorkDir.h"

#include <GL/glew.h>
#include <SFML/Graphics/Image.hpp>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The shipped settings file asks for this window.
constexpr unsigned WIDTH = 1024, HEIGHT = 768;

std::string referencePath() {
    const char* source = std::getenv("KINEMORPH_SOURCE_DIR");
    return std::string(source ? source : ".") + "/tests/data/screens/start-1024x768.png";
}

// The back buffer as an image, top row first (as image files store it).
sf::Image readBack() {
    std::vector<uint8_t> rows(static_cast<size_t>(WIDTH) * HEIGHT * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, WIDTH, HEIGHT, GL_RGBA, GL_UNSIGNED_BYTE, rows.data());
    std::vector<uint8_t> flipped(rows.size());
    const size_t stride = static_cast<size_t>(WIDTH) * 4;
    for (unsigned y = 0; y < HEIGHT; ++y)
        std::copy_n(&rows[y * stride], stride, &flipped[(HEIGHT - 1 - y) * stride]);
    sf::Image image;
    image.create(WIDTH, HEIGHT, flipped.data());
    return image;
}

// "" when the images are equal in every channel but alpha, else where
// they first differ. Alpha is not shown on screen and the window's is
// whatever the blend left.
std::string firstDifference(const sf::Image& expected, const sf::Image& actual) {
    if (expected.getSize() != actual.getSize())
        return "the reference has another size";
    for (unsigned y = 0; y < HEIGHT; ++y)
        for (unsigned x = 0; x < WIDTH; ++x) {
            const sf::Color e = expected.getPixel(x, y), a = actual.getPixel(x, y);
            if (e.r != a.r || e.g != a.g || e.b != a.b) {
                std::ostringstream out;
                out << "pixel (" << x << ", " << y << ") from the top-left: expected " << int(e.r)
                    << " " << int(e.g) << " " << int(e.b) << ", drawn " << int(a.r) << " "
                    << int(a.g) << " " << int(a.b);
                return out.str();
            }
        }
    return "";
}

TEST(StartScreen, EveryPixelAsBeforeAnyAddition) {
    const std::string drawn =
        (std::filesystem::temp_directory_path() / "kinemorph-start-screen-drawn.png").string();
    ScopedWorkDir workDir(WIDTH, HEIGHT);
    testing::internal::CaptureStdout();
    Application app;
    testing::internal::GetCapturedStdout();
    ASSERT_TRUE(app.ok());

    // The first frame goes through the fonts, later ones through the text
    // cache: both must be the reference.
    std::vector<sf::Image> frames;
    for (int i = 0; i < 3; ++i) {
        app.update();
        app.drawFrame();
        glFinish();
        frames.push_back(readBack());
    }
    if (const char* update = std::getenv("KINEMORPH_UPDATE_START_SCREEN");
        update && std::string(update) == "1") {
        ASSERT_TRUE(frames[0].saveToFile(referencePath()));
        GTEST_SKIP() << "reference rewritten: " << referencePath();
    }
    sf::Image reference;
    ASSERT_TRUE(reference.loadFromFile(referencePath())) << referencePath();
    for (size_t i = 0; i < frames.size(); ++i) {
        const std::string difference = firstDifference(reference, frames[i]);
        if (!difference.empty())
            frames[i].saveToFile(drawn);
        EXPECT_EQ(difference, "") << "frame " << i + 1 << " (written to " << drawn << ")";
    }
}

} // namespace

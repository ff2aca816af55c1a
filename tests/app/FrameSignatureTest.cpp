// Two frames may be called the same only when every number and text they
// are drawn from is the same: texts never run together, and a title is not
// small text.
#include "app/FrameSignature.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

FrameSignature signatureOf(const std::function<void(Painter&)>& draw) {
    FrameSignature s;
    SignaturePainter painter(s);
    draw(painter);
    return s;
}

TEST(FrameSignature, TellsApartFramesThatDifferInAnyCall) {
    const Rgba white{1, 1, 1, 1};
    auto labels = [&](const std::string& a, const std::string& b) {
        return signatureOf([&](Painter& p) {
            p.text(a, 10, 10, white);
            p.text(b, 10, 30, white);
        });
    };
    auto quad = [](double x) {
        return signatureOf([x](Painter& p) {
            const Vertex2D corners[4] = {{x, 0, {}}, {10, 0, {}}, {10, 10, {}}, {x, 10, {}}};
            p.quads(corners, 4);
        });
    };
    EXPECT_EQ(labels("Play", "Stop"), labels("Play", "Stop"));
    EXPECT_NE(labels("Pla", "yStop"), labels("Play", "Stop"));
    EXPECT_NE(signatureOf([&](Painter& p) { p.text("Menu", 0, 0, white); }),
              signatureOf([&](Painter& p) { p.title("Menu", 0, 0, white); }));
    EXPECT_EQ(quad(0), quad(0));
    EXPECT_NE(quad(0), quad(0.5));
    // Bit for bit: -0 is another number.
    EXPECT_NE(quad(0.0), quad(-0.0));
}

} // namespace

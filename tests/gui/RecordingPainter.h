#pragma once

#include "gui/Painter.h"
#include "gui/TextMetrics.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Records every primitive the GUI draws, so tests can check geometry and
// colours without a window.
struct RecordingPainter : Painter {
    enum Kind { Quads, LineStrip, Lines, Text, Title };
    struct Call {
        Kind kind;
        std::vector<Vertex2D> vertices;
        std::string text;
        double x = 0, y = 0;
        Rgba color;
    };
    std::vector<Call> calls;

    void quads(const Vertex2D* v, int n) override { shape(Quads, v, n); }
    void lineStrip(const Vertex2D* v, int n) override { shape(LineStrip, v, n); }
    void lines(const Vertex2D* v, int n) override { shape(Lines, v, n); }
    void text(const std::string& t, double x, double y, const Rgba& c) override {
        calls.push_back({Text, {}, t, x, y, c});
    }
    void title(const std::string& t, double x, double y, const Rgba& c) override {
        calls.push_back({Title, {}, t, x, y, c});
    }
    void shape(Kind kind, const Vertex2D* v, int n) {
        Call call;
        call.kind = kind;
        call.vertices.assign(v, v + n);
        calls.push_back(call);
    }
    std::vector<const Call*> of(Kind kind) const {
        std::vector<const Call*> found;
        for (const Call& c : calls)
            if (c.kind == kind)
                found.push_back(&c);
        return found;
    }
};

inline void expectCorner(const Vertex2D& v, double x, double y) {
    EXPECT_DOUBLE_EQ(v.x, x);
    EXPECT_DOUBLE_EQ(v.y, y);
}

// Installs a fixed-width measurer for one test: 10 x 12 pixels a small-font
// character, 40 x 60 a title character.
class GuiTest : public ::testing::Test {
protected:
    FixedWidthMetrics metrics{10, 12, 40, 60};
    void SetUp() override { installTextMetrics(&metrics); }
    void TearDown() override { installTextMetrics(nullptr); }
};

#pragma once

#include "gui/Painter.h"

#include <cstddef>
#include <string>
#include <vector>

class Skeleton;

// Everything a frame is drawn from, as numbers and texts: the matrices and
// lights of the 3-D part, every drawn bone, and every call the GUI makes to
// its painter. Two frames with equal signatures are the same pixels, so the
// second need not be drawn again. Numbers compare bit for bit, which never
// calls two different frames equal. GL-free.
class FrameSignature {
public:
    void clear() {
        values.clear();
        texts.clear();
    }
    void add(double value) { values.push_back(value); }
    void add(const double* first, std::size_t count) {
        values.insert(values.end(), first, first + count);
    }
    void add(const std::string& text);
    // What drawing `skeleton` with this alpha shows: each bone's triangles
    // and highlight, and the origin marker of an opaque figure.
    void addSkeleton(const Skeleton& skeleton, double alpha);
    bool operator==(const FrameSignature& other) const;
    bool operator!=(const FrameSignature& other) const { return !(*this == other); }
    bool empty() const { return values.empty() && texts.empty(); }

private:
    std::vector<double> values;
    // Every text with its length before it, so two lists of texts never run
    // together into the same string.
    std::string texts;
};

// A painter that draws nothing and writes every call, with all it was
// given, into a signature.
class SignaturePainter : public Painter {
public:
    explicit SignaturePainter(FrameSignature& signature) : out(signature) {}
    void quads(const Vertex2D* vertices, int count) override { shape(1, vertices, count); }
    void lineStrip(const Vertex2D* vertices, int count) override { shape(2, vertices, count); }
    void lines(const Vertex2D* vertices, int count) override { shape(3, vertices, count); }
    void text(const std::string& text, double x, double y, const Rgba& color) override {
        label(4, text, x, y, color);
    }
    void title(const std::string& text, double x, double y, const Rgba& color) override {
        label(5, text, x, y, color);
    }

private:
    void shape(int kind, const Vertex2D* vertices, int count);
    void label(int kind, const std::string& text, double x, double y, const Rgba& color);

    FrameSignature& out;
};

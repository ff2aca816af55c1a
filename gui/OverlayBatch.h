#pragma once

#include <cstddef>
#include <vector>

// Collects one frame's 2-D primitives so they can be drawn in a few calls
// instead of one per rectangle, line or label, with the same pixels.
//
// Primitives are kept in runs of one kind (quads or lines, textured or not,
// blended or not), each run drawn in one call in the order its primitives came. A primitive
// joins the latest run of its kind when nothing that came after that run
// could touch the same pixels (their boxes, grown by a pixel, do not meet),
// so moving it earlier changes no pixel; otherwise it starts a new run at
// the end. GL-free: the painter draws the runs.
class OverlayBatch {
public:
    // Interleaved as the painter hands it to the GL: position, texture
    // coordinate, colour.
    struct Vertex {
        float x, y, s, t, r, g, b, a;
    };
    enum class Mode { Quads, Lines };
    // What decides how a run is drawn; runs of one kind share a call.
    struct Kind {
        Mode mode;
        bool textured;
        bool blended;
        bool operator==(const Kind& other) const {
            return mode == other.mode && textured == other.textured && blended == other.blended;
        }
    };
    struct Run {
        Kind kind;
        // Where the run's vertices start in vertices(), and how many.
        std::size_t first = 0, count = 0;
    };

    // Adds `count` vertices (a multiple of 4 for quads, of 2 for lines).
    void add(const Kind& kind, const Vertex* vertices, std::size_t count);
    bool empty() const { return pending.empty(); }
    // Puts every run's vertices one after the other and returns the runs in
    // drawing order; vertices() holds them until the next add or clear.
    const std::vector<Run>& finish();
    const std::vector<Vertex>& vertices() const { return packed; }
    // Forgets everything added; keeps the memory for the next frame.
    void clear();

private:
    struct Box {
        float left, bottom, right, top;
        bool meets(const Box& other) const {
            return left <= other.right && other.left <= right && bottom <= other.top &&
                   other.bottom <= top;
        }
    };
    struct Pending {
        Kind kind;
        std::vector<Vertex> vertices;
        std::vector<Box> boxes;
    };

    std::vector<Pending> pending;
    // Runs cleared for reuse keep their vectors' memory.
    std::vector<Pending> spare;
    std::vector<Run> runs;
    std::vector<Vertex> packed;
};

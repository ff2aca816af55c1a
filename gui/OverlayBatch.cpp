#include "gui/OverlayBatch.h"

#include <algorithm>

namespace {
// A primitive's pixels lie within its vertices' box; lines and the edges of
// quads may light the pixel beside it, so a box is grown by this much.
constexpr float GROW = 1.0f;
} // namespace

void OverlayBatch::add(const Kind& kind, const Vertex* vertices, std::size_t count) {
    if (count == 0)
        return;
    Box box{vertices[0].x, vertices[0].y, vertices[0].x, vertices[0].y};
    for (std::size_t i = 1; i < count; ++i) {
        box.left = std::min(box.left, vertices[i].x);
        box.right = std::max(box.right, vertices[i].x);
        box.bottom = std::min(box.bottom, vertices[i].y);
        box.top = std::max(box.top, vertices[i].y);
    }
    box = Box{box.left - GROW, box.bottom - GROW, box.right + GROW, box.top + GROW};

    // The latest run of this kind, if no later run touches the box.
    Pending* target = nullptr;
    for (auto run = pending.rbegin(); run != pending.rend(); ++run) {
        if (run->kind == kind) {
            target = &*run;
            break;
        }
        if (std::any_of(run->boxes.begin(), run->boxes.end(),
                        [&](const Box& other) { return other.meets(box); }))
            break;
    }
    if (!target) {
        if (spare.empty()) {
            pending.push_back(Pending{kind, {}, {}});
        } else {
            pending.push_back(std::move(spare.back()));
            spare.pop_back();
            pending.back().kind = kind;
        }
        target = &pending.back();
    }
    target->vertices.insert(target->vertices.end(), vertices, vertices + count);
    target->boxes.push_back(box);
}

const std::vector<OverlayBatch::Run>& OverlayBatch::finish() {
    runs.clear();
    packed.clear();
    for (const Pending& run : pending) {
        runs.push_back(Run{run.kind, packed.size(), run.vertices.size()});
        packed.insert(packed.end(), run.vertices.begin(), run.vertices.end());
    }
    return runs;
}

void OverlayBatch::clear() {
    for (Pending& run : pending) {
        run.vertices.clear();
        run.boxes.clear();
        spare.push_back(std::move(run));
    }
    pending.clear();
}

// The batch may draw a primitive earlier than it came only where nothing in
// between could touch its pixels, and the atlas must never hand out
// overlapping room.
#include "gui/OverlayBatch.h"
#include "gui/AtlasShelves.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

using Mode = OverlayBatch::Mode;
using Kind = OverlayBatch::Kind;
const Kind QUADS{Mode::Quads, false, false};
const Kind BLENDED{Mode::Quads, false, true};
const Kind LABELS{Mode::Quads, true, false};
const Kind LINES{Mode::Lines, false, true};

// A w x h rectangle at (x, y); its colour's red channel tags it.
std::vector<OverlayBatch::Vertex> rect(float x, float y, float w, float h, float tag) {
    return {{x, y, 0, 0, tag, 0, 0, 1},
            {x + w, y, 0, 0, tag, 0, 0, 1},
            {x + w, y + h, 0, 0, tag, 0, 0, 1},
            {x, y + h, 0, 0, tag, 0, 0, 1}};
}

void add(OverlayBatch& batch, const Kind& kind, const std::vector<OverlayBatch::Vertex>& v) {
    batch.add(kind, v.data(), v.size());
}

// The tags in drawing order.
std::vector<float> drawnOrder(OverlayBatch& batch) {
    std::vector<float> tags;
    batch.finish();
    for (std::size_t i = 0; i < batch.vertices().size(); i += 4)
        tags.push_back(batch.vertices()[i].r);
    return tags;
}

// A window's background, a label on it, a button beside the label and the
// button's label: the button joins the background's call. A quad one pixel
// from a label counts as touching it and waits for it; other kinds never
// share a call.
TEST(OverlayBatch, JoinsEarlierCallsOnlyPastWhatItCannotTouch) {
    OverlayBatch batch;
    add(batch, QUADS, rect(0, 0, 100, 100, 1));
    add(batch, LABELS, rect(10, 10, 30, 10, 2));
    add(batch, QUADS, rect(10, 50, 30, 10, 3));
    add(batch, LABELS, rect(12, 52, 20, 6, 4));
    add(batch, QUADS, rect(41, 10, 10, 10, 5));
    add(batch, BLENDED, rect(200, 200, 10, 10, 6));
    add(batch, LINES, {{300, 300, 0, 0, 7, 0, 0, 1}, {350, 350, 0, 0, 7, 0, 0, 1}});
    const std::vector<OverlayBatch::Run> runs = batch.finish();
    ASSERT_EQ(runs.size(), 5u);
    EXPECT_EQ(runs[0].kind, QUADS);
    EXPECT_EQ(runs[0].count, 8u);
    EXPECT_EQ((std::vector<float>{1, 3, 2, 4, 5, 6, 7}), drawnOrder(batch));
    batch.clear();
    EXPECT_TRUE(batch.empty());
}

// Random scenes: for every two primitives whose boxes meet, the one that
// came first is drawn first.
TEST(OverlayBatch, KeepsTheOrderOfEveryOverlappingPairInRandomScenes) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> place(0, 200), size(1, 60);
    const Kind kinds[] = {QUADS, BLENDED, LABELS};
    OverlayBatch batch;
    for (int scene = 0; scene < 200; ++scene) {
        batch.clear();
        struct Box {
            float x, y, w, h;
        };
        std::vector<Box> boxes;
        for (int i = 0; i < 40; ++i) {
            const Box b{place(random), place(random), size(random), size(random)};
            boxes.push_back(b);
            add(batch, kinds[random() % 3], rect(b.x, b.y, b.w, b.h, static_cast<float>(i)));
        }
        const std::vector<float> order = drawnOrder(batch);
        ASSERT_EQ(order.size(), boxes.size());
        std::vector<int> position(boxes.size());
        for (std::size_t p = 0; p < order.size(); ++p)
            position[static_cast<std::size_t>(order[p])] = static_cast<int>(p);
        for (std::size_t a = 0; a < boxes.size(); ++a)
            for (std::size_t b = a + 1; b < boxes.size(); ++b) {
                const Box& p = boxes[a];
                const Box& q = boxes[b];
                const bool meet = p.x <= q.x + q.w + 2 && q.x <= p.x + p.w + 2 &&
                                  p.y <= q.y + q.h + 2 && q.y <= p.y + p.h + 2;
                if (meet) {
                    ASSERT_LT(position[a], position[b]) << "scene " << scene;
                }
            }
    }
}

TEST(AtlasShelves, PlacesWithoutOverlapUntilFullThenStartsAgain) {
    AtlasShelves atlas(64);
    struct Placed {
        int x, y, w, h;
    };
    std::vector<Placed> placed;
    std::mt19937 random(3);
    AtlasShelves::Place at;
    for (int i = 0; i < 200; ++i) {
        const int w = 1 + static_cast<int>(random() % 20), h = 3 + static_cast<int>(random() % 6);
        if (!atlas.place(w, h, at))
            continue;
        EXPECT_LE(at.x + w, 64);
        EXPECT_LE(at.y + h, 64);
        for (const Placed& p : placed)
            ASSERT_TRUE(at.x >= p.x + p.w + 1 || p.x >= at.x + w + 1 || at.y >= p.y + p.h + 1 ||
                        p.y >= at.y + h + 1)
                << "overlaps an earlier rectangle";
        placed.push_back({at.x, at.y, w, h});
    }
    EXPECT_GT(placed.size(), 15u);
    EXPECT_FALSE(atlas.place(64, 1, at)) << "no room for the padding texel";
    EXPECT_FALSE(atlas.place(0, 5, at));
    atlas.reset();
    ASSERT_TRUE(atlas.place(63, 63, at));
    EXPECT_EQ(at.x, 0);
    EXPECT_EQ(at.y, 0);
}

} // namespace

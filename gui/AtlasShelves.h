#pragma once

#include <vector>

// Places rectangles in a square texture of fixed size, row by row on
// shelves: each shelf is as tall as the first rectangle put on it, and a
// rectangle goes on the first shelf tall enough with room left, else on a
// new shelf. Nothing is ever freed one by one; when the texture is full the
// owner starts it again with reset(). Labels are of a handful of heights, so
// the shelves waste little. GL-free.
class AtlasShelves {
public:
    struct Place {
        int x = 0, y = 0;
    };

    explicit AtlasShelves(int size) : side(size) {}

    // Finds room for a width x height rectangle with one empty texel around
    // it on the right and top (so nearest sampling of one never reads its
    // neighbour); false when it does not fit, and nothing changes.
    bool place(int width, int height, Place& at);
    // Whether a width x height rectangle fits the texture at all, that is
    // when it is empty.
    bool fitsEmpty(int width, int height) const {
        return width > 0 && height > 0 && width + 1 <= side && height + 1 <= side;
    }
    // Forgets every rectangle placed.
    void reset() { shelves.clear(); }
    int size() const { return side; }

private:
    struct Shelf {
        int y = 0, height = 0, used = 0;
    };
    int side;
    std::vector<Shelf> shelves;
};

#include "gui/AtlasShelves.h"

bool AtlasShelves::place(int width, int height, Place& at) {
    if (!fitsEmpty(width, height))
        return false;
    const int w = width + 1, h = height + 1;
    // The lowest shelf that takes it and is not much taller, so small text
    // does not fill the room kept for titles.
    for (Shelf& shelf : shelves) {
        if (shelf.height >= h && shelf.height <= h + h / 2 && side - shelf.used >= w) {
            at = Place{shelf.used, shelf.y};
            shelf.used += w;
            return true;
        }
    }
    const int top = shelves.empty() ? 0 : shelves.back().y + shelves.back().height;
    if (side - top < h)
        return false;
    shelves.push_back(Shelf{top, h, w});
    at = Place{0, top};
    return true;
}

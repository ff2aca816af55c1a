#pragma once

#include "skeleton/Vec3.h"

// Where a point lands in window pixels (x from the left, y from the bottom,
// each rounded to the nearest pixel) through the current modelview and
// projection matrices and viewport. Returns false, leaving x and y as they
// were, when the point cannot be projected.
bool projectToWindow(const Vec3& point, int& x, int& y);

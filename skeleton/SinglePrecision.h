#pragma once

#include <cfloat>
#include <cmath>

// v rounded to the nearest float, as the skeleton file stores lengths and
// the drawing constants are held. A value beyond the float range has no
// float to round to (the conversion would be undefined); it is kept as is.
inline double toSinglePrecision(double v) {
    if (std::fabs(v) <= FLT_MAX)
        return static_cast<float>(v);
    return v;
}

#pragma once

// The figure the program poses: the skeleton file it loads (relative to the
// working folder, where resources/ is) and the height of the origin the
// figure stands on in the scene. The editor, the exporter and the sample
// maker all place the figure this way.
inline const char* const SKELETON_PATH = "resources/config/skeleton/default.rgcf";
constexpr double SKELETON_ORIGIN_Y = 0.5;

#include "import/FootContact.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Shortest stand or step believed, seconds.
constexpr double SHORTEST_PHASE = 0.1;
// A standing foot is this close to the floor, in leg lengths...
constexpr double STAND_HEIGHT = 0.05;
// ...and slower than this, in leg lengths per second.
constexpr double STAND_SPEED = 0.5;
// Of every frame's lowest foot, the share that lies below the floor. Markers
// slip: a foot dips through the floor now and then, and the lowest point of
// a clip says more about that than about where the floor is.
constexpr double FLOOR_QUANTILE = 0.1;

// Runs of one value shorter than `shortest` frames take the value around
// them; the first and the last run are kept whatever their length.
void mergeShortRuns(std::vector<bool>& flags, int shortest) {
    const int n = static_cast<int>(flags.size());
    int start = 0;
    while (start < n) {
        int end = start;
        while (end < n && flags[end] == flags[start]) {
            ++end;
        }
        if (start > 0 && end < n && end - start < shortest) {
            std::fill(flags.begin() + start, flags.begin() + end, !flags[start]);
        }
        start = end;
    }
}

} // namespace

double clipFloor(const std::vector<FeetFrame>& frames) {
    if (frames.empty()) {
        return 0;
    }
    std::vector<double> lowest;
    lowest.reserve(frames.size());
    for (const FeetFrame& f : frames) {
        lowest.push_back(std::min(f.clipFoot[0].y, f.clipFoot[1].y));
    }
    const auto at = lowest.begin() + static_cast<long>(lowest.size() * FLOOR_QUANTILE);
    std::nth_element(lowest.begin(), at, lowest.end());
    return *at;
}

std::vector<std::array<bool, 2>> detectContacts(const std::vector<FeetFrame>& frames,
                                                double frameTime, double legLength, double floor) {
    const int n = static_cast<int>(frames.size());
    std::vector<std::array<bool, 2>> contact(n, {false, false});
    const int shortest = std::max(1, static_cast<int>(std::lround(SHORTEST_PHASE / frameTime)));
    for (int side = 0; side < 2; ++side) {
        std::vector<bool> on(n);
        for (int f = 0; f < n; ++f) {
            // Speed over the frames either side, so one frame of jitter does
            // not make a standing foot walk.
            const Vec3& a = frames[std::max(f - 1, 0)].clipFoot[side];
            const Vec3& b = frames[std::min(f + 1, n - 1)].clipFoot[side];
            const int steps = std::min(f + 1, n - 1) - std::max(f - 1, 0);
            const Vec3 move = b - a;
            const double speed = steps > 0 ? std::hypot(move.x, move.z) / (steps * frameTime) : 0;
            on[f] = frames[f].clipFoot[side].y - floor <= STAND_HEIGHT * legLength &&
                    speed <= STAND_SPEED * legLength;
        }
        mergeShortRuns(on, shortest);
        for (int f = 0; f < n; ++f) {
            contact[f][side] = on[f];
        }
    }
    return contact;
}

std::vector<double> rootHeights(const std::vector<FeetFrame>& frames,
                                const std::vector<std::array<bool, 2>>& contact, double scale,
                                double floor, double ground) {
    const int n = static_cast<int>(frames.size());
    std::vector<double> base(n), correction(n, 0);
    std::vector<int> stands;
    for (int f = 0; f < n; ++f) {
        base[f] = ground + scale * (frames[f].clipHips.y - floor);
        // Where the standing feet want the root, as a correction to base:
        // the higher of the two, so one stands on the floor and neither
        // goes through it (two feet seldom stand at one height when the
        // clip's legs are not the figure's).
        bool standing = false;
        for (int side = 0; side < 2; ++side) {
            if (contact[f][side]) {
                const double wanted = ground - frames[f].figureFoot[side] - base[f];
                correction[f] = standing ? std::max(correction[f], wanted) : wanted;
                standing = true;
            }
        }
        if (standing) {
            stands.push_back(f);
        }
    }
    // Between stands the correction moves in a straight line from one to
    // the next; before the first and after the last it stays.
    if (!stands.empty()) {
        for (int f = 0; f < stands.front(); ++f) {
            correction[f] = correction[stands.front()];
        }
        for (std::size_t k = 0; k + 1 < stands.size(); ++k) {
            const int a = stands[k], b = stands[k + 1];
            for (int f = a + 1; f < b; ++f) {
                const double t = static_cast<double>(f - a) / (b - a);
                correction[f] = correction[a] + t * (correction[b] - correction[a]);
            }
        }
        for (int f = stands.back() + 1; f < n; ++f) {
            correction[f] = correction[stands.back()];
        }
    }
    std::vector<double> heights(n);
    for (int f = 0; f < n; ++f) {
        const double lowest = std::min(frames[f].figureFoot[0], frames[f].figureFoot[1]);
        heights[f] = std::max(base[f] + correction[f], ground - lowest);
    }
    return heights;
}

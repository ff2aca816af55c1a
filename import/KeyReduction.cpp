#include "import/KeyReduction.h"

#include "animation/MotionType.h"
#include "import/KeyFit.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

// The easings tried on every segment, the plainest first: on equal errors
// the first stays.
constexpr int MOTIONS[] = {MotionType::Linear, MotionType::EaseInOut, MotionType::EaseIn,
                           MotionType::EaseOut};
// The longest move between two keys the search considers, seconds, and at
// most this many frames: walking needs keys every few hundredths of a
// second, and a still stretch is covered by a wait instead.
constexpr double LONGEST_MOVE = 0.5;
constexpr int LONGEST_MOVE_FRAMES = 120;
// The longest wait, seconds.
constexpr double LONGEST_WAIT = 10;
// A stretch counts as still while every frame stays within this share of
// the tolerance of its first pose.
constexpr double STILL_SHARE = 0.5;
// The share of the tolerance a reduction aims within, leaving the rest to
// the rounding of the file's six significant digits.
constexpr double TARGET = 0.98;
// Rounds of the first fit of every key, and the repairs after which the
// keys around what they changed are fitted again.
constexpr int FIT_ROUNDS = 8;
constexpr int REFITS = 4;
// A key is only tried for removal when the merged segment, before any
// fit, misses by at most this many tolerances; the local fit gets this
// many rounds; removal passes stop after this many.
constexpr double REMOVAL_REACH = 2;
constexpr int LOCAL_FIT_ROUNDS = 5;
constexpr int REMOVAL_PASSES = 3;

struct Option {
    KeyShape shape;
    double error = 1e300;
};

class Search {
public:
    Search(const DenseTrack& track, const std::vector<int>& forced)
        : track_(track), n_(track.frames()) {
        const double frameTime = track.frameTime();
        longest_ = std::max(1, std::min(LONGEST_MOVE_FRAMES,
                                        static_cast<int>(std::lround(LONGEST_MOVE / frameTime))));
        const int longestWait =
            std::max(1, static_cast<int>(std::lround(LONGEST_WAIT / frameTime)));
        nextForced_.assign(n_, n_ - 1);
        std::vector<bool> isForced(n_, false);
        for (int f : forced) {
            if (f > 0 && f < n_) {
                isForced[f] = true;
            }
        }
        for (int f = n_ - 2, next = n_ - 1; f >= 0; --f) {
            nextForced_[f] = next;
            if (isForced[f]) {
                next = f;
            }
        }
        still_.assign(n_, 0);
        for (int i = 0; i < n_; ++i) {
            int m = 0;
            while (i + m + 1 < n_ && m < longestWait &&
                   track.error(i + m + 1, track.pose(i), STILL_SHARE) <= STILL_SHARE) {
                ++m;
            }
            still_[i] = m;
        }
    }

    int nextForced(int i) const { return nextForced_[i]; }
    int still(int i) const { return still_[i]; }
    int longest() const { return longest_; }

    // The best shape for the segment from key frame i to key frame j with
    // poses a and b, or false when none keeps within `limit`. With
    // `copied`, a is frame i's own pose, and the frames of a wait within
    // the still stretch after i need no look.
    bool bestShape(int i, int j, const ImportPose& a, const ImportPose& b, double limit,
                   bool copied, Option& best, bool waitOnly = false) const {
        best = Option{};
        best.error = limit;
        bool found = false;
        // The still stretch may end a frame or two into the move (an
        // easing starts slowly), so the waits just short of it are tried
        // too.
        const int longest = std::min(still_[i], j - i - 1);
        int waits[4], count = 0;
        if (!waitOnly) {
            waits[count++] = 0;
        }
        for (int w = longest; w > 0 && w >= longest - 2; --w) {
            waits[count++] = w;
        }
        for (int k = 0; k < count; ++k) {
            for (int motion : MOTIONS) {
                const KeyShape shape{waits[k], motion};
                const int from = copied ? i + waits[k] + 1 : i + 1;
                const double e = track_.segmentError(i, j, a, b, shape, best.error, from);
                if (e <= best.error && (!found || e < best.error)) {
                    best.shape = shape;
                    best.error = e;
                    found = true;
                }
            }
        }
        return found;
    }

private:
    const DenseTrack& track_;
    int n_;
    int longest_;
    std::vector<int> nextForced_;
    std::vector<int> still_;
};

struct Reach {
    int keys = INT_MAX;
    double cost = 0;
    int from = -1;
    KeyShape shape;
};

std::vector<ReducedKey> searchKeys(const DenseTrack& track, const Search& search, double slack,
                                   const ImportProgress& progress) {
    const int n = track.frames();
    std::vector<Reach> reach(n);
    reach[0].keys = 1;
    auto relax = [&](int i, int j, const Option& o) {
        const int keys = reach[i].keys + 1;
        const double cost = reach[i].cost + o.error;
        if (keys < reach[j].keys || (keys == reach[j].keys && cost < reach[j].cost)) {
            reach[j] = Reach{keys, cost, i, o.shape};
        }
    };
    for (int i = 0; i + 1 < n; ++i) {
        if (progress && i % 32 == 0 && !progress(static_cast<double>(i) / n)) {
            return {};
        }
        const int last = search.nextForced(i);
        const ImportPose& a = track.pose(i);
        for (int j = i + 1; j <= std::min(last, i + search.longest()); ++j) {
            Option o;
            // Every length is tried: an eased move may fit only as a whole.
            if (search.bestShape(i, j, a, track.pose(j), slack, true, o)) {
                relax(i, j, o);
            }
        }
        // A still stretch waited out, then a move of its own length.
        const int wait = search.still(i);
        if (wait >= search.longest()) {
            for (int j = i + search.longest() + 1; j <= std::min(last, i + wait + search.longest());
                 ++j) {
                Option o;
                if (search.bestShape(i, j, a, track.pose(j), slack, true, o, true)) {
                    relax(i, j, o);
                }
            }
        }
    }
    std::vector<ReducedKey> keys;
    for (int f = n - 1; f >= 0; f = reach[f].from) {
        ReducedKey key;
        key.frame = f;
        key.pose = track.pose(f);
        keys.push_back(key);
        if (f == 0) {
            break;
        }
    }
    std::reverse(keys.begin(), keys.end());
    for (std::size_t k = 0; k + 1 < keys.size(); ++k) {
        keys[k].shape = reach[keys[k + 1].frame].shape;
    }
    return keys;
}

// The largest error over the frames from key k's frame up to (not
// including) the next key's, and where it is; the last key's own frame for
// the last key.
double segmentWorst(const DenseTrack& track, const std::vector<ReducedKey>& keys, std::size_t k,
                    int& worstFrame) {
    worstFrame = keys[k].frame;
    double worst = track.error(keys[k].frame, keys[k].pose);
    if (k + 1 == keys.size()) {
        return worst;
    }
    const int length = keys[k + 1].frame - keys[k].frame;
    for (int step = 1; step < length; ++step) {
        const int f = keys[k].frame + step;
        const double e = track.error(
            f, blendPoses(keys[k].pose, keys[k + 1].pose, keyBlend(step, length, keys[k].shape)));
        if (e > worst) {
            worst = e;
            worstFrame = f;
        }
    }
    return worst;
}

// Puts right every segment that misses TARGET: a key that misses on its own
// frame takes the track's pose there, any other miss gets a copied key on
// its worst frame. Returns the frames of the keys it set; none when nothing
// missed.
std::vector<int> repair(const DenseTrack& track, const Search& search,
                        std::vector<ReducedKey>& keys) {
    std::vector<int> splits, changed;
    for (std::size_t k = 0; k < keys.size(); ++k) {
        int frame = 0;
        if (segmentWorst(track, keys, k, frame) <= TARGET) {
            continue;
        }
        changed.push_back(frame);
        if (frame == keys[k].frame) {
            keys[k].pose = track.pose(frame);
            // The shapes around it were chosen for the old pose.
            for (std::size_t s : {k, k - 1}) {
                if (s < keys.size() - 1) {
                    Option o;
                    search.bestShape(keys[s].frame, keys[s + 1].frame, keys[s].pose,
                                     keys[s + 1].pose, 1e300, false, o);
                    keys[s].shape = o.shape;
                }
            }
        } else {
            splits.push_back(frame);
        }
    }
    for (int frame : splits) {
        splitAt(track, keys, frame);
    }
    return changed;
}

// The window of keys from two before key k to two after it, refitted to
// the frames they replay; the window's outer keys keep their poses where
// segments beyond the window depend on them.
void refitAround(const DenseTrack& track, const Skeleton& figure, std::vector<ReducedKey>& keys,
                 std::size_t k) {
    const std::size_t lo = k >= 2 ? k - 2 : 0, hi = std::min(keys.size() - 1, k + 2);
    std::vector<ReducedKey> window(keys.begin() + lo, keys.begin() + hi + 1);
    fitKeyPoses(track, figure, window, LOCAL_FIT_ROUNDS, lo > 0, hi + 1 < keys.size());
    std::copy(window.begin(), window.end(), keys.begin() + lo);
}

// The best shape for the segment from keys[s] to keys[s + 1] as they are
// posed, keeping at most `wait` frames of wait; its error.
double reshape(const DenseTrack& track, std::vector<ReducedKey>& keys, std::size_t s, int wait) {
    const int length = keys[s + 1].frame - keys[s].frame;
    wait = std::min(wait, length - 1);
    double bestError = 1e300;
    for (int w : {0, wait}) {
        for (int motion : MOTIONS) {
            const KeyShape shape{w, motion};
            const double e = track.segmentError(keys[s].frame, keys[s + 1].frame, keys[s].pose,
                                                keys[s + 1].pose, shape, bestError);
            if (e < bestError) {
                bestError = e;
                keys[s].shape = shape;
            }
        }
    }
    return bestError;
}

// Puts `window` in place of keys[lo..hi] when, its poses fitted to the
// frames it replays, every one of them is within TARGET. The window's outer
// keys keep their poses where segments beyond it depend on them. Returns
// whether it did.
bool tryWindow(const DenseTrack& track, const Skeleton& figure, std::vector<ReducedKey>& keys,
               std::size_t lo, std::size_t hi, std::vector<ReducedKey> window) {
    fitKeyPoses(track, figure, window, LOCAL_FIT_ROUNDS, lo > 0, hi + 1 < keys.size());
    for (std::size_t s = 0; s < window.size(); ++s) {
        int frame = 0;
        if (segmentWorst(track, window, s, frame) > TARGET) {
            return false;
        }
    }
    keys.erase(keys.begin() + lo, keys.begin() + hi + 1);
    keys.insert(keys.begin() + lo, window.begin(), window.end());
    return true;
}

// Does without key k when the keys around it, refitted, replay the frames
// from two keys before to two keys after within TARGET.
bool removeKey(const DenseTrack& track, const Skeleton& figure, std::vector<ReducedKey>& keys,
               std::size_t k) {
    const std::size_t lo = k >= 2 ? k - 2 : 0, hi = std::min(keys.size() - 1, k + 2);
    std::vector<ReducedKey> window(keys.begin() + lo, keys.begin() + hi + 1);
    window.erase(window.begin() + (k - lo));
    // A fit takes off about half a miss; a merge that misses by far more is
    // not worth a fit.
    if (reshape(track, window, k - lo - 1, keys[k - 1].shape.wait + keys[k].shape.wait) >
        REMOVAL_REACH) {
        return false;
    }
    return tryWindow(track, figure, keys, lo, hi, window);
}

// Puts one key, half way between keys k and k + 1, in place of both, when
// the keys around, refitted, still replay every frame within TARGET: where
// neither can go alone, one between them often can do for both.
bool mergeKeys(const DenseTrack& track, const Skeleton& figure, std::vector<ReducedKey>& keys,
               std::size_t k) {
    const std::size_t lo = k >= 2 ? k - 2 : 0, hi = std::min(keys.size() - 1, k + 3);
    std::vector<ReducedKey> window(keys.begin() + lo, keys.begin() + hi + 1);
    const std::size_t at = k - lo;
    ReducedKey between;
    between.frame = (keys[k].frame + keys[k + 1].frame) / 2;
    between.pose = track.pose(between.frame);
    window.erase(window.begin() + at, window.begin() + at + 2);
    window.insert(window.begin() + at, between);
    for (std::size_t segment : {at - 1, at}) {
        if (reshape(track, window, segment, segment == at - 1 ? keys[k - 1].shape.wait : 0) >
            REMOVAL_REACH) {
            return false;
        }
    }
    return tryWindow(track, figure, keys, lo, hi, window);
}

} // namespace

std::vector<int> contactChanges(const std::vector<std::array<bool, 2>>& contact) {
    std::vector<int> frames;
    for (std::size_t f = 1; f < contact.size(); ++f) {
        if (contact[f] != contact[f - 1]) {
            frames.push_back(static_cast<int>(f));
        }
    }
    return frames;
}

std::vector<ReducedKey> keyEveryFrame(const DenseTrack& track) {
    std::vector<ReducedKey> keys(track.frames());
    for (int f = 0; f < track.frames(); ++f) {
        keys[f].frame = f;
        keys[f].pose = track.pose(f);
    }
    return keys;
}

std::vector<ReducedKey> greedyKeys(const DenseTrack& track, const std::vector<int>& forced) {
    const Search search(track, forced);
    const KeyShape linear;
    std::vector<ReducedKey> keys;
    int i = 0;
    while (true) {
        ReducedKey key;
        key.frame = i;
        key.pose = track.pose(i);
        keys.push_back(key);
        if (i == track.frames() - 1) {
            return keys;
        }
        int j = i + 1;
        while (j < search.nextForced(i) &&
               track.segmentError(i, j + 1, track.pose(i), track.pose(j + 1), linear, 1) <= 1) {
            ++j;
        }
        i = j;
    }
}

std::vector<ReducedKey> reduceKeys(const DenseTrack& track, const Skeleton& figure,
                                   const std::vector<int>& forced, double slack,
                                   const ImportProgress& progress) {
    if (track.frames() <= 2) {
        return keyEveryFrame(track);
    }
    const Search search(track, forced);
    // The search takes most of the time; the fits and repairs the rest.
    auto searchProgress = [&](double fraction) { return !progress || progress(0.8 * fraction); };
    std::vector<ReducedKey> keys = searchKeys(track, search, slack * TARGET, searchProgress);
    if (keys.empty()) {
        return keys;
    }
    // One fit of every key, then repairs, each followed by a fit of the
    // keys around what it changed.
    fitKeyPoses(track, figure, keys, FIT_ROUNDS);
    for (int round = 0;; ++round) {
        const std::vector<int> changed = repair(track, search, keys);
        if (changed.empty()) {
            break;
        }
        if (round < REFITS) {
            for (int frame : changed) {
                const auto at =
                    std::lower_bound(keys.begin(), keys.end(), frame,
                                     [](const ReducedKey& key, int f) { return key.frame < f; });
                refitAround(track, figure, keys, static_cast<std::size_t>(at - keys.begin()));
            }
        }
        if (progress && !progress(0.8 + 0.1 * std::min(1.0, round / 10.0))) {
            return {};
        }
    }
    std::vector<bool> isForced(track.frames(), false);
    for (int f : forced) {
        if (f >= 0 && f < track.frames()) {
            isForced[f] = true;
        }
    }
    for (int pass = 0; pass < REMOVAL_PASSES; ++pass) {
        bool removed = false;
        for (std::size_t k = 1; k + 1 < keys.size();) {
            const bool free = !isForced[keys[k].frame];
            const bool nextFree = k + 2 < keys.size() && !isForced[keys[k + 1].frame] &&
                                  keys[k + 1].frame - keys[k].frame > 1;
            if ((free && removeKey(track, figure, keys, k)) ||
                (free && nextFree && mergeKeys(track, figure, keys, k))) {
                removed = true;
            } else {
                ++k;
            }
        }
        if (!removed) {
            break;
        }
        if (progress && !progress(0.9 + 0.1 * (pass + 1) / REMOVAL_PASSES)) {
            return {};
        }
    }
    return keys;
}

double keysError(const DenseTrack& track, const std::vector<ReducedKey>& keys, int* worstFrame) {
    double worst = -1;
    int where = 0;
    for (std::size_t k = 0; k < keys.size(); ++k) {
        int frame = 0;
        const double e = segmentWorst(track, keys, k, frame);
        if (e > worst) {
            worst = e;
            where = frame;
        }
    }
    if (worstFrame) {
        *worstFrame = where;
    }
    return std::max(worst, 0.0);
}

void splitAt(const DenseTrack& track, std::vector<ReducedKey>& keys, int frame) {
    auto after = std::upper_bound(keys.begin(), keys.end(), frame,
                                  [](int f, const ReducedKey& key) { return f < key.frame; });
    if (after == keys.begin() || after == keys.end() || (after - 1)->frame == frame) {
        return;
    }
    ReducedKey key;
    key.frame = frame;
    key.pose = track.pose(frame);
    const int oldWait = (after - 1)->shape.wait;
    after = keys.insert(after, key);
    const std::size_t k = after - keys.begin();
    // Both new segments get the shape that suits their poses best; the
    // first may keep what it can of the old wait.
    for (std::size_t s : {k - 1, k}) {
        const int length = keys[s + 1].frame - keys[s].frame;
        const int wait = s == k - 1 ? std::min(oldWait, length - 1) : 0;
        KeyShape bestShape;
        double bestError = 1e300;
        for (int motion : MOTIONS)
            for (int w : {0, wait}) {
                const KeyShape shape{w, motion};
                const double e = track.segmentError(keys[s].frame, keys[s + 1].frame, keys[s].pose,
                                                    keys[s + 1].pose, shape, bestError);
                if (e < bestError) {
                    bestError = e;
                    bestShape = shape;
                }
            }
        keys[s].shape = bestShape;
    }
}

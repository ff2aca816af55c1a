#include "import/KeyFit.h"

#include "import/TurnSolve.h"

#include <algorithm>
#include <cmath>

namespace {

// The tries a step gets, each more damped, before the fit gives up on it.
constexpr int TRIES = 4;
// Bones (and a root) whose miss stays within this share of the tolerance
// are left as they are.
constexpr double CLOSE_ENOUGH = 0.5;

// A 3 x 3 matrix acting on column vectors.
struct Mat3 {
    double m[3][3] = {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}};

    Vec3 operator*(const Vec3& v) const {
        return Vec3(m[0][0] * v.x + m[0][1] * v.y + m[0][2] * v.z,
                    m[1][0] * v.x + m[1][1] * v.y + m[1][2] * v.z,
                    m[2][0] * v.x + m[2][1] * v.y + m[2][2] * v.z);
    }
    Mat3 operator*(const Mat3& o) const {
        Mat3 r;
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                for (int k = 0; k < 3; ++k)
                    r.m[i][j] += m[i][k] * o.m[k][j];
        return r;
    }
    Mat3 operator-(const Mat3& o) const {
        Mat3 r;
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                r.m[i][j] = m[i][j] - o.m[i][j];
        return r;
    }
    void add(const Mat3& o, double scale) {
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                m[i][j] += scale * o.m[i][j];
    }
    Mat3 transposed() const {
        Mat3 r;
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                r.m[i][j] = m[j][i];
        return r;
    }
    // The inverse by cofactors; the damping keeps the matrices regular.
    Mat3 inverse() const {
        Mat3 r;
        r.m[0][0] = m[1][1] * m[2][2] - m[1][2] * m[2][1];
        r.m[0][1] = m[0][2] * m[2][1] - m[0][1] * m[2][2];
        r.m[0][2] = m[0][1] * m[1][2] - m[0][2] * m[1][1];
        r.m[1][0] = m[1][2] * m[2][0] - m[1][0] * m[2][2];
        r.m[1][1] = m[0][0] * m[2][2] - m[0][2] * m[2][0];
        r.m[1][2] = m[0][2] * m[1][0] - m[0][0] * m[1][2];
        r.m[2][0] = m[1][0] * m[2][1] - m[1][1] * m[2][0];
        r.m[2][1] = m[0][1] * m[2][0] - m[0][0] * m[2][1];
        r.m[2][2] = m[0][0] * m[1][1] - m[0][1] * m[1][0];
        const double det = m[0][0] * r.m[0][0] + m[0][1] * r.m[1][0] + m[0][2] * r.m[2][0];
        for (auto& row : r.m)
            for (double& v : row)
                v /= det;
        return r;
    }
};

// J^T J and J^T r for the columns of J.
Mat3 normalMatrix(const Vec3 (&columns)[3]) {
    Mat3 h;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            h.m[i][j] = columns[i].dot(columns[j]);
    return h;
}

// Lawson's step toward the smallest largest miss: every frame's weight
// times its miss (and a sliver of the largest, so no weight dies out),
// scaled back to a mean of 1.
void reweigh(std::vector<double>& weights, const std::vector<double>& misses, double largest) {
    double sum = 0;
    for (std::size_t i = 0; i < weights.size(); ++i) {
        weights[i] *= misses[i] + 1e-3 * largest;
        sum += weights[i];
    }
    for (double& w : weights) {
        w *= weights.size() / sum;
    }
}

// Where each frame between the first and the last key falls: the key before
// it and how far the replay has blended toward the next.
struct FramePlace {
    int key;
    double blend;
};

std::vector<FramePlace> framePlaces(const std::vector<ReducedKey>& keys) {
    std::vector<FramePlace> places;
    for (std::size_t k = 0; k + 1 < keys.size(); ++k) {
        const int length = keys[k + 1].frame - keys[k].frame;
        for (int step = 0; step < length; ++step) {
            places.push_back({static_cast<int>(k), keyBlend(step, length, keys[k].shape)});
        }
    }
    places.push_back({static_cast<int>(keys.size()) - 1, 0});
    return places;
}

// A block tridiagonal system of key unknowns: diagonal blocks, the blocks
// between neighbouring keys (the lower ones are their transposes) and the
// right-hand side.
struct KeySystem {
    std::vector<Mat3> diagonal, upper;
    std::vector<Vec3> rhs;

    explicit KeySystem(std::size_t keys) : diagonal(keys), upper(keys), rhs(keys, Vec3(0, 0, 0)) {}

    // Ties unknown k to `value` far more firmly than any frame pulls it.
    void fix(std::size_t k, const Vec3& value) {
        constexpr double FIRM = 1e12;
        for (int i = 0; i < 3; ++i) {
            diagonal[k].m[i][i] += FIRM;
        }
        rhs[k] += value * FIRM;
    }

    // Solves the system damped by `damping` times each diagonal block's
    // trace, by block elimination.
    std::vector<Vec3> solve(double damping) const {
        const std::size_t n = diagonal.size();
        std::vector<Mat3> d(n);
        std::vector<Vec3> b(n);
        for (std::size_t k = 0; k < n; ++k) {
            d[k] = diagonal[k];
            const double trace = d[k].m[0][0] + d[k].m[1][1] + d[k].m[2][2];
            for (int i = 0; i < 3; ++i)
                d[k].m[i][i] += damping * trace / 3 + 1e-9;
            b[k] = rhs[k];
            if (k > 0) {
                const Mat3 w = upper[k - 1].transposed() * d[k - 1].inverse();
                d[k] = d[k] - w * upper[k - 1];
                b[k] = b[k] - w * b[k - 1];
            }
        }
        std::vector<Vec3> x(n);
        for (std::size_t k = n; k-- > 0;) {
            Vec3 r = b[k];
            if (k + 1 < n) {
                r = r - upper[k] * x[k + 1];
            }
            x[k] = d[k].inverse() * r;
        }
        return x;
    }
};

class BoneFit {
public:
    BoneFit(const DenseTrack& track, const Bone& bone, int index,
            const std::vector<FramePlace>& places, int firstFrame, bool fixFirst, bool fixLast)
        : track_(track), bone_(bone), index_(index), places_(places), first_(firstFrame),
          axis_(bone.mainAxis()), fixFirst_(fixFirst), fixLast_(fixLast) {}

    // Fits the key angles `x`: a least-squares fit first, then Lawson's
    // reweighting (every frame's weight times its miss), which moves the
    // fit toward the smallest largest miss. Keeps the best fit seen by its
    // largest miss, and `x` itself when none beats it.
    void fit(std::vector<BonePose>& x, int rounds) const {
        std::vector<double> misses(places_.size());
        std::vector<double> weights(places_.size(), 1.0);
        evaluate(x, weights, misses);
        double best = *std::max_element(misses.begin(), misses.end());
        // A bone that misses by no more than this anywhere cannot be what
        // keeps the keys apart.
        if (best <= CLOSE_ENOUGH * track_.tolerance().degrees) {
            return;
        }
        std::vector<BonePose> fitted = x;
        for (int round = 0; round < rounds; ++round) {
            if (!stepOnce(fitted, weights, misses)) {
                break;
            }
            const double largest = *std::max_element(misses.begin(), misses.end());
            if (largest < best) {
                best = largest;
                x = fitted;
            }
            reweigh(weights, misses, largest);
        }
    }

private:
    BonePose at(const std::vector<BonePose>& x, std::size_t i) const {
        const FramePlace& p = places_[i];
        if (p.blend == 0) {
            return x[p.key];
        }
        return x[p.key] + (x[p.key + 1] - x[p.key]) * p.blend;
    }

    Quat wantedInverse(std::size_t i) const {
        return conjugate(track_.turn(first_ + static_cast<int>(i), index_));
    }

    // Every frame's miss for the key angles `x`, and their weighted sum of
    // squares.
    double evaluate(const std::vector<BonePose>& x, const std::vector<double>& weights,
                    std::vector<double>& misses) const {
        double sum = 0;
        for (std::size_t i = 0; i < places_.size(); ++i) {
            const Vec3 r = rotationVector(wantedInverse(i) * boneTurn(axis_, at(x, i)));
            misses[i] = r.length();
            sum += weights[i] * r.length2();
        }
        return sum;
    }

    // One damped Gauss-Newton step on `x`; on success `misses` holds the
    // new misses. False, `x` unchanged, when no damping lowered the sum.
    bool stepOnce(std::vector<BonePose>& x, const std::vector<double>& weights,
                  std::vector<double>& misses) const {
        KeySystem system(x.size());
        double before = 0;
        for (std::size_t i = 0; i < places_.size(); ++i) {
            const FramePlace& p = places_[i];
            Vec3 columns[3];
            const Vec3 r = turnMiss(axis_, wantedInverse(i), at(x, i), columns);
            before += weights[i] * r.length2();
            const Mat3 h = normalMatrix(columns);
            const Vec3 g(columns[0].dot(r), columns[1].dot(r), columns[2].dot(r));
            const double w = weights[i], c0 = 1 - p.blend, c1 = p.blend;
            system.diagonal[p.key].add(h, w * c0 * c0);
            system.rhs[p.key] -= g * (w * c0);
            if (c1 != 0) {
                system.diagonal[p.key + 1].add(h, w * c1 * c1);
                system.upper[p.key].add(h, w * c0 * c1);
                system.rhs[p.key + 1] -= g * (w * c1);
            }
        }
        if (fixFirst_) {
            system.fix(0, Vec3(0, 0, 0));
        }
        if (fixLast_) {
            system.fix(x.size() - 1, Vec3(0, 0, 0));
        }
        double damping = 1e-3;
        std::vector<BonePose> moved(x.size());
        std::vector<double> movedMisses(misses.size());
        for (int attempt = 0; attempt < TRIES; ++attempt, damping *= 10) {
            const std::vector<Vec3> delta = system.solve(damping);
            for (std::size_t k = 0; k < x.size(); ++k) {
                moved[k] = insideLimits(bone_, x[k] + delta[k]);
            }
            if (evaluate(moved, weights, movedMisses) < before) {
                x = moved;
                misses = movedMisses;
                return true;
            }
        }
        return false;
    }

    const DenseTrack& track_;
    const Bone& bone_;
    int index_;
    const std::vector<FramePlace>& places_;
    int first_;
    int axis_;
    bool fixFirst_, fixLast_;
};

// The root's joint point: linear in the key values, so each round is one
// weighted least-squares solve, reweighted as the bones are.
void fitRoot(const DenseTrack& track, const std::vector<FramePlace>& places, int first,
             std::vector<Vec3>& x, int rounds, bool fixFirst, bool fixLast) {
    auto misses = [&](const std::vector<Vec3>& keys) {
        std::vector<double> out(places.size());
        for (std::size_t i = 0; i < places.size(); ++i) {
            const FramePlace& p = places[i];
            const Vec3 v = keys[p.key] + (p.blend == 0 ? Vec3(0, 0, 0)
                                                       : (keys[p.key + 1] - keys[p.key]) * p.blend);
            out[i] = (v - track.pose(first + static_cast<int>(i)).root).length();
        }
        return out;
    };
    std::vector<double> miss = misses(x);
    double best = *std::max_element(miss.begin(), miss.end());
    if (best <= CLOSE_ENOUGH * track.tolerance().rootUnits) {
        return;
    }
    Mat3 identity;
    identity.m[0][0] = identity.m[1][1] = identity.m[2][2] = 1;
    std::vector<double> weights(places.size(), 1.0);
    for (int round = 0; round < rounds; ++round) {
        KeySystem system(x.size());
        for (std::size_t i = 0; i < places.size(); ++i) {
            const FramePlace& p = places[i];
            const double w = weights[i], c0 = 1 - p.blend, c1 = p.blend;
            const Vec3& target = track.pose(first + static_cast<int>(i)).root;
            system.diagonal[p.key].add(identity, w * c0 * c0);
            system.rhs[p.key] += target * (w * c0);
            if (c1 != 0) {
                system.diagonal[p.key + 1].add(identity, w * c1 * c1);
                system.upper[p.key].add(identity, w * c0 * c1);
                system.rhs[p.key + 1] += target * (w * c1);
            }
        }
        if (fixFirst) {
            system.fix(0, x.front());
        }
        if (fixLast) {
            system.fix(x.size() - 1, x.back());
        }
        const std::vector<Vec3> fitted = system.solve(0);
        miss = misses(fitted);
        const double largest = *std::max_element(miss.begin(), miss.end());
        if (largest < best) {
            best = largest;
            x = fitted;
        }
        reweigh(weights, miss, largest);
    }
}

} // namespace

void fitKeyPoses(const DenseTrack& track, const Skeleton& figure, std::vector<ReducedKey>& keys,
                 int rounds, bool fixFirst, bool fixLast) {
    if (keys.size() < 2) {
        return;
    }
    const std::vector<FramePlace> places = framePlaces(keys);
    const int first = keys.front().frame;
    for (int bone = 0; bone < POSE_BONE_COUNT; ++bone) {
        std::vector<BonePose> x(keys.size());
        for (std::size_t k = 0; k < keys.size(); ++k) {
            x[k] = keys[k].pose.angles[bone];
        }
        const BoneFit fit(track, *figure.boneAt(bone), bone, places, first, fixFirst, fixLast);
        fit.fit(x, rounds);
        for (std::size_t k = 0; k < keys.size(); ++k) {
            keys[k].pose.angles[bone] = x[k];
        }
    }
    std::vector<Vec3> roots(keys.size());
    for (std::size_t k = 0; k < keys.size(); ++k) {
        roots[k] = keys[k].pose.root;
    }
    fitRoot(track, places, first, roots, rounds, fixFirst, fixLast);
    for (std::size_t k = 0; k < keys.size(); ++k) {
        keys[k].pose.root = roots[k];
    }
}

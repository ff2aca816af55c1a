#include "import/MotionImport.h"

#include "animation/AnimationFile.h"
#include "animation/NumberText.h"
#include "animation/Timeline.h"
#include "import/Rotations.h"
#include "import/ShapeMapping.h"
#include "skeleton/SkeletonPose.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <mutex>
#include <sstream>
#include <thread>

namespace {

// Tolerances tried for the search before the fit: a search allowed to miss
// by more finds fewer, longer segments, which the fit then brings within
// the tolerance (or the repair splits). The fewest keys win.
constexpr double SLACKS[] = {1.4, 1.8};
// How far a root may miss, scene units.
constexpr double ROOT_TOLERANCE = 0.01;

// A value as the animation file stores it.
double stored(double v) {
    return readNumber(numberText(v));
}

ImportPose storedPose(const ImportPose& pose) {
    ImportPose out;
    out.root = Vec3(stored(pose.root.x), stored(pose.root.y), stored(pose.root.z));
    for (int bone = 0; bone < POSE_BONE_COUNT; ++bone) {
        const BonePose& a = pose.angles[bone];
        out.angles[bone] = BonePose(stored(a.x), stored(a.y), stored(a.z));
    }
    return out;
}

// The animation as it reads back from its file.
Animation asStored(const Animation& animation) {
    std::istringstream in(animationText(animation));
    return readAnimation(in);
}

} // namespace

std::string importSummary(const MotionImport& result, const std::string& name) {
    // Frame times are written rounded (1/120 s as 0.0083333), so the rate
    // is shown to four digits: 120, not 120.0005; 29.97 stays 29.97.
    char degrees[32], rate[32];
    std::snprintf(degrees, sizeof degrees, "%.2f", result.largestDegrees);
    std::snprintf(rate, sizeof rate, "%.4g", result.frameRate);
    return "Imported " + name + ": " + std::to_string(result.sourceFrames) + " frames at " + rate +
           " fps \xe2\x86\x92 " + std::to_string(result.animation.frameCount()) +
           " key frames, largest error " + degrees + "\xc2\xb0";
}

Animation keysAnimation(const std::vector<ReducedKey>& keys, double frameTime,
                        const std::string& name, bool loop) {
    Animation animation(name, loop);
    // Seconds since the first key, as the stored times add up.
    double reached = 0;
    for (std::size_t k = 0; k < keys.size(); ++k) {
        auto frame = std::make_unique<KeyFrame>(nullptr);
        frame->rootPosition = keys[k].pose.root;
        frame->boneAngles = keys[k].pose.angles;
        frame->motionType = keys[k].shape.motion;
        if (k + 1 < keys.size()) {
            frame->waitTime = stored(keys[k].shape.wait * frameTime);
            const double next = (keys[k + 1].frame - keys[0].frame) * frameTime;
            frame->transitionTime = stored(next - reached - frame->waitTime);
            reached += frame->waitTime + frame->transitionTime;
        } else {
            frame->waitTime = 0;
            frame->transitionTime = stored(frameTime);
        }
        animation.appendFrame(std::move(frame));
    }
    animation.setValid(true);
    return animation;
}

double timelineMiss(const Animation& animation, Skeleton& figure, const DenseTrack& track,
                    double& degrees, double& root, int& worstFrame) {
    const Timeline timeline(animation);
    const ReplayTolerance& tolerance = track.tolerance();
    degrees = 0;
    root = 0;
    worstFrame = 0;
    double worst = 0;
    for (int f = 0; f < track.frames(); ++f) {
        timeline.pose(figure, f * track.frameTime());
        double error = (figure.rootBone()->position() - track.pose(f).root).length();
        root = std::max(root, error);
        error /= tolerance.rootUnits;
        for (int bone = 0; bone < POSE_BONE_COUNT; ++bone) {
            const Bone& b = *figure.boneAt(bone);
            Quat turn = quatFromFrame(b.frame());
            if (b.parent()) {
                turn = conjugate(quatFromFrame(b.parent()->frame())) * turn;
            }
            const double missed = degreesBetween(track.turn(f, bone), turn);
            degrees = std::max(degrees, missed);
            error = std::max(error, missed / tolerance.degrees);
        }
        if (error > worst) {
            worst = error;
            worstFrame = f;
        }
    }
    return worst;
}

bool importMotion(const BvhClip& clip, Skeleton& figure, const MotionImportOptions& options,
                  MotionImport& result, std::string& error, const ImportProgress& progress) {
    MotionImport out;
    if (!mapBonesByShape(clip, out.map, error)) {
        return false;
    }
    if (!options.mapText.empty() && !applyMapText(options.mapText, clip, out.map, error)) {
        error = "map file, " + error;
        return false;
    }
    const SkeletonPose start = SkeletonPose::capture(figure);
    auto part = [&](double from, double to) -> ImportProgress {
        return [&, from, to](double fraction) {
            return !progress || progress(from + (to - from) * fraction);
        };
    };
    if (!retargetClip(clip, out.map, figure, out.retarget, error, part(0, 0.2))) {
        return false;
    }
    // The dense import is what the file would hold with a key per frame.
    std::vector<ImportPose> dense;
    dense.reserve(out.retarget.poses.size());
    for (const ImportPose& pose : out.retarget.poses) {
        dense.push_back(storedPose(pose));
    }
    const bool everyFrame = !(options.tolerance > 0);
    const ReplayTolerance tolerance{everyFrame ? 1 : options.tolerance, ROOT_TOLERANCE};
    const DenseTrack track(dense, clip.frameTime, figure, tolerance);

    std::vector<ReducedKey> keys;
    if (everyFrame) {
        keys = keyEveryFrame(track);
    } else {
        // Each search tolerance in a thread of its own; the fewest keys win.
        const std::vector<int> forced = contactChanges(out.retarget.contact);
        constexpr int TRIES = static_cast<int>(std::size(SLACKS));
        std::vector<ReducedKey> found[TRIES];
        std::atomic<bool> stopped{false};
        std::mutex reporting;
        std::vector<double> done(TRIES, 0);
        auto search = [&](int t) {
            found[t] = reduceKeys(track, figure, forced, SLACKS[t], [&](double fraction) {
                std::lock_guard<std::mutex> lock(reporting);
                done[t] = fraction;
                const double least = *std::min_element(done.begin(), done.end());
                if (stopped || (progress && !progress(0.2 + 0.75 * least))) {
                    stopped = true;
                }
                return !stopped.load();
            });
        };
        std::vector<std::thread> threads;
        for (int t = 1; t < TRIES; ++t) {
            threads.emplace_back(search, t);
        }
        search(0);
        for (std::thread& thread : threads) {
            thread.join();
        }
        if (stopped) {
            error = "stopped";
            return false;
        }
        for (std::vector<ReducedKey>& candidate : found) {
            if (keys.empty() || candidate.size() < keys.size()) {
                keys = std::move(candidate);
            }
        }
    }

    // The replay the file gives, checked on the exact timeline; a frame it
    // misses gets a key of its own.
    for (;;) {
        out.animation = asStored(keysAnimation(keys, clip.frameTime, options.name, options.loop));
        int worst = 0;
        const double missed =
            timelineMiss(out.animation, figure, track, out.largestDegrees, out.largestRoot, worst);
        if (everyFrame || missed <= 1) {
            break;
        }
        const std::size_t before = keys.size();
        splitAt(track, keys, worst);
        if (keys.size() == before) {
            // The miss is on a key's own frame: copy the pose there, unless
            // it is already the track's (then only rounding is left).
            auto key = std::find_if(keys.begin(), keys.end(),
                                    [&](const ReducedKey& k) { return k.frame == worst; });
            if (key == keys.end() || track.error(worst, key->pose) == 0) {
                break;
            }
            key->pose = track.pose(worst);
        }
    }
    start.restore(figure);
    out.sourceFrames = clip.frameCount;
    out.frameRate = 1 / clip.frameTime;
    if (progress) {
        progress(1);
    }
    result = std::move(out);
    return true;
}

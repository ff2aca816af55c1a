#include "tools/samples/SampleAnimations.h"

#include "motion/Ground.h"

#include "animation/AnimationFile.h"
#include "animation/Timeline.h"
#include "skeleton/DefaultFigure.h"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace {

// Steps of the check that no foot goes below the ground, in seconds.
constexpr double FLOOR_CHECK_STEP = 0.001;
// What the frames are raised by comes in these steps, so that the root's
// height stays a short number.
constexpr double LIFT_STEP = 1e-4;

LegPose leg(double swing, double knee, double foot) {
    LegPose l;
    l.swing = swing;
    l.knee = knee;
    l.foot = foot;
    return l;
}

ArmPose arm(double swing, double elbow, double drop = 80) {
    ArmPose a;
    a.swing = swing;
    a.elbow = elbow;
    a.drop = drop;
    return a;
}

// Standing upright on both feet, the arms hanging loosely.
BodyPose standing() {
    BodyPose p;
    p.leftLeg = p.rightLeg = leg(0, 3, -68);
    p.leftArm = p.rightArm = arm(0, 12);
    return p;
}

// The share of a transition's time at which `motion`'s curve has come
// `f` of the way: the inverse of the curve.
double timeAtFraction(int motion, double f) {
    switch (motion) {
    case MotionType::EaseIn:
        return std::sqrt(f);
    case MotionType::EaseOut:
        return 1 - std::sqrt(1 - f);
    case MotionType::EaseInOut:
        return f < 0.5 ? std::sqrt(f / 2) : 1 - std::sqrt((1 - f) / 2);
    }
    return f;
}

// Seconds from the start of a beat's move to the end of its step `step`,
// in whole milliseconds as the editor shows times.
double stepEnd(const Beat& beat, int step) {
    const double share = timeAtFraction(beat.motion, static_cast<double>(step) / beat.steps);
    return std::round(share * beat.transition * 1000) / 1000;
}

// The animation's text written and read back, so the frames hold what the
// shipped file will hold.
std::unique_ptr<Animation> asStored(const Animation& animation) {
    std::istringstream text(animationText(animation));
    return std::make_unique<Animation>(readAnimation(text));
}

} // namespace

// Four poses of a stride with the left foot in front, then the same with
// the right: contact (the front heel strikes), down (the weight sinks onto
// the front leg), passing (the back leg swings through) and up (the body
// rises over the standing foot). Each move lasts an eighth of a second,
// linearly, so the cycle takes one second. The arms swing against the legs
// and the chest turns against the hips.
std::vector<Beat> walkBeats() {
    BodyPose contact;
    contact.leftLeg = leg(24, 6, -86);
    contact.rightLeg = leg(-21, 35, -35);
    contact.leftArm = arm(-22, 12);
    contact.rightArm = arm(20, 28);
    contact.hipTurn = 5;
    contact.chestTurn = -8;
    contact.lean = 4;
    contact.nod = -3;

    BodyPose down = contact;
    down.leftLeg = leg(14, 20, -72);
    down.rightLeg = leg(-23, 24, -42);
    down.leftArm = arm(-26, 14);
    down.rightArm = arm(24, 32);
    down.hipTurn = 4;
    down.chestTurn = -9;
    down.lean = 5;

    BodyPose passing = contact;
    passing.leftLeg = leg(-4, 8, -68);
    passing.rightLeg = leg(8, 62, -82);
    passing.leftArm = arm(-4, 15);
    passing.rightArm = arm(4, 20);
    passing.hipTurn = 0;
    passing.chestTurn = 0;

    BodyPose up = contact;
    up.leftLeg = leg(-18, 4, -48);
    up.rightLeg = leg(24, 34, -86);
    up.leftArm = arm(12, 22);
    up.rightArm = arm(-14, 14);
    up.hipTurn = -3;
    up.chestTurn = 5;

    // The legs' reach changes most on the way down from up to contact, so
    // that move is written in the most steps.
    std::vector<Beat> beats;
    const int steps[] = {1, 2, 2, 3};
    for (const BodyPose& pose : {contact, down, passing, up}) {
        Beat beat;
        beat.pose = pose;
        beat.transition = 0.125;
        beat.steps = steps[beats.size()];
        beats.push_back(beat);
    }
    for (int i = 0; i < 4; ++i) {
        Beat beat = beats[i];
        beat.pose = mirrored(beats[i].pose);
        beats.push_back(beat);
    }
    return beats;
}

// Standing, the right arm rises until the forearm points up, waves out and
// in three times, and comes down again.
std::vector<Beat> waveBeats() {
    BodyPose rest = standing();
    rest.leftArm = arm(3, 12, 78);

    BodyPose out = rest;
    out.rightArm.drop = -10;
    out.rightArm.swing = 10;
    out.rightArm.twist = 85;
    out.rightArm.elbow = 70;
    out.rightArm.wrist = 10;
    out.headTurn = 12;
    out.nod = -4;
    out.hipTurn = -3;
    BodyPose in = out;
    in.rightArm.elbow = 110;
    in.rightArm.wrist = -15;

    auto beat = [](const BodyPose& pose, double wait, double transition) {
        Beat b;
        b.pose = pose;
        b.wait = wait;
        b.transition = transition;
        b.motion = MotionType::EaseInOut;
        return b;
    };
    return {beat(rest, 0.6, 0.7), beat(out, 0, 0.3), beat(in, 0, 0.3), beat(out, 0, 0.3),
            beat(in, 0, 0.3),     beat(out, 0, 0.3), beat(in, 0, 0.3), beat(out, 0.1, 0.8)};
}

// Standing, the figure sinks into a crouch with the arms swung back, pushes
// off with the arms swinging up, tucks its legs at the top of the jump,
// lands on bent legs, sinks to absorb the landing and stands up again.
// Moves on the floor are written in several steps; the flight rises eased
// out and falls eased in, as thrown things do.
std::vector<Beat> jumpBeats() {
    const BodyPose stand = standing();

    BodyPose crouch = stand;
    crouch.leftLeg = crouch.rightLeg = leg(50, 95, -42);
    crouch.leftArm = crouch.rightArm = arm(-45, 20);
    crouch.lean = 28;
    crouch.chestLean = 10;
    crouch.nod = -25;

    BodyPose takeOff = stand;
    takeOff.leftLeg = takeOff.rightLeg = leg(-5, 0, -32);
    takeOff.leftArm = takeOff.rightArm = arm(100, 15);
    takeOff.nod = -5;

    BodyPose top = stand;
    top.leftLeg = top.rightLeg = leg(35, 60, -70);
    top.leftArm = top.rightArm = arm(80, 25);
    top.lean = 5;
    top.clearance = 0.3;

    BodyPose land = stand;
    land.leftLeg = land.rightLeg = leg(15, 20, -60);
    land.leftArm = land.rightArm = arm(50, 20);
    land.lean = 8;

    BodyPose absorb = stand;
    absorb.leftLeg = absorb.rightLeg = leg(45, 85, -44);
    absorb.leftArm = absorb.rightArm = arm(30, 30);
    absorb.lean = 25;
    absorb.nod = -15;

    auto beat = [](const BodyPose& pose, double wait, double transition, int motion, int steps) {
        Beat b;
        b.pose = pose;
        b.wait = wait;
        b.transition = transition;
        b.motion = motion;
        b.steps = steps;
        return b;
    };
    return {beat(stand, 0.4, 0.5, MotionType::EaseInOut, 6),
            beat(crouch, 0.15, 0.2, MotionType::Linear, 6),
            beat(takeOff, 0, 0.3, MotionType::EaseOut, 1),
            beat(top, 0, 0.3, MotionType::EaseIn, 1),
            beat(land, 0, 0.2, MotionType::EaseOut, 4),
            beat(absorb, 0.2, 0.6, MotionType::EaseInOut, 6),
            beat(stand, 0.5, 1, MotionType::Linear, 1)};
}

std::unique_ptr<Animation> buildAnimation(Skeleton& skeleton, const std::string& name, bool looping,
                                          const std::vector<Beat>& beats, std::string& error) {
    const double ground = groundHeight(skeleton);
    PoseMaker maker(skeleton);
    std::vector<KeyFrame> keys(beats.size(), KeyFrame(static_cast<const Skeleton*>(nullptr)));
    for (std::size_t i = 0; i < beats.size(); ++i) {
        if (!maker.frame(beats[i].pose, keys[i], error)) {
            error = name + ", beat " + std::to_string(i) + ": " + error;
            return nullptr;
        }
    }
    auto animation = std::make_unique<Animation>(name, looping);
    for (std::size_t i = 0; i < beats.size(); ++i) {
        const Beat& beat = beats[i];
        const bool last = i + 1 == beats.size();
        KeyFrame* frame = animation->appendFrame(std::make_unique<KeyFrame>(keys[i]));
        frame->waitTime = beat.wait;
        frame->transitionTime = beat.steps > 1 ? stepEnd(beat, 1) : beat.transition;
        frame->motionType = beat.steps > 1 ? MotionType::Linear : beat.motion;
        if (last && !looping) {
            continue;
        }
        const std::size_t next = last ? 0 : i + 1;
        for (int step = 1; step < beat.steps; ++step) {
            const double f = static_cast<double>(step) / beat.steps;
            const double clearance =
                beat.pose.clearance + (beats[next].pose.clearance - beat.pose.clearance) * f;
            auto between = std::make_unique<KeyFrame>(keys[i]);
            if (!maker.between(keys[i], keys[next], f, clearance, *between, error)) {
                error = name + ", beat " + std::to_string(i) + ": " + error;
                return nullptr;
            }
            between->transitionTime = stepEnd(beat, step + 1) - stepEnd(beat, step);
            animation->appendFrame(std::move(between));
        }
    }
    animation = asStored(*animation);
    // What the steps leave of a dip, the whole animation is raised by.
    const double lowest = lowestFootOverTime(*animation, skeleton) - ground;
    if (lowest < LIFT_STEP) {
        const double lift = std::ceil((LIFT_STEP - lowest) / LIFT_STEP) * LIFT_STEP;
        for (int i = 0; i < animation->frameCount(); ++i) {
            animation->frameAt(i)->rootPosition.y += lift;
        }
        animation = asStored(*animation);
    }
    return animation;
}

double lowestFootOverTime(const Animation& animation, Skeleton& skeleton) {
    const Timeline timeline(animation);
    double lowest = INFINITY;
    const long steps = std::lround(timeline.duration() / FLOOR_CHECK_STEP);
    for (long i = 0; i <= steps; ++i) {
        timeline.pose(skeleton, i * FLOOR_CHECK_STEP);
        lowest = std::min(lowest, lowestFootPoint(skeleton));
    }
    return lowest;
}

std::vector<std::unique_ptr<Animation>> makeSampleAnimations(const std::string& skeletonPath,
                                                             std::string& error) {
    struct Sample {
        const char* name;
        bool looping;
        std::vector<Beat> beats;
    };
    const Sample samples[] = {
        {"walk", true, walkBeats()}, {"wave", true, waveBeats()}, {"jump", false, jumpBeats()}};
    std::vector<std::unique_ptr<Animation>> made;
    for (const Sample& sample : samples) {
        Skeleton skeleton(skeletonPath, 0, SKELETON_ORIGIN_Y, 0);
        if (!skeleton.complete()) {
            error = "cannot read the skeleton file '" + skeletonPath + "'";
            return {};
        }
        auto animation = buildAnimation(skeleton, sample.name, sample.looping, sample.beats, error);
        if (!animation) {
            return {};
        }
        made.push_back(std::move(animation));
    }
    return made;
}

bool writeSampleAnimations(const std::string& skeletonPath, const std::string& folder,
                           std::ostream& log, std::string& error) {
    std::vector<std::unique_ptr<Animation>> samples = makeSampleAnimations(skeletonPath, error);
    if (samples.empty()) {
        return false;
    }
    for (const auto& animation : samples) {
        if (!saveAnimation(folder, *animation)) {
            error = "cannot write '" + animationPath(folder, animation->name()) + "'";
            return false;
        }
        Skeleton skeleton(skeletonPath, 0, SKELETON_ORIGIN_Y, 0);
        const double ground = groundHeight(skeleton);
        log << animationPath(folder, animation->name()) << ": " << animation->frameCount()
            << " frames, " << timelineDuration(*animation) << " s"
            << (animation->looping() ? ", looping" : "") << ", feet at least "
            << lowestFootOverTime(*animation, skeleton) - ground << " above the ground\n";
    }
    return true;
}

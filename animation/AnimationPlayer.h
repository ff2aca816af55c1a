#pragma once

#include "animation/Animation.h"
#include "animation/KeyFrame.h"
#include "animation/PlayerClock.h"
#include "skeleton/Skeleton.h"

#include <memory>
#include <string>
#include <vector>

// Length in seconds of the linear move from the present pose into an
// animation when a play starts.
constexpr double SNAPSHOT_TRANSITION = 0.2;

// Moves a skeleton through an animation in real time: for each key frame it
// holds the pose for the frame's wait time, then eases every bone angle and
// the root position to the next frame's values over the frame's transition
// time. A play starts from a snapshot of the present pose.
//
// States: idle (not playing), starting (restart requested), waiting (holding
// currentFrame), in transition (currentFrame -> nextFrame). The editor calls
// update() once per main-loop pass whether or not the player is playing.
//
// Holds the skeleton and the animations without owning them; owns the
// snapshot frame and, unless given one, its clock.
class AnimationPlayer {
public:
    // Idle, no skeleton, no animations, on a real-time clock of its own.
    AnimationPlayer();
    // The same on `clock`, which must outlive the player (tests step it).
    explicit AnimationPlayer(PlayerClock& clock);
    ~AnimationPlayer();

    AnimationPlayer(const AnimationPlayer&) = delete;
    AnimationPlayer& operator=(const AnimationPlayer&) = delete;

    // The skeleton to pose (not owned), or nullptr.
    void setSkeleton(Skeleton* skeleton) { skeleton_ = skeleton; }
    Skeleton* skeleton() const { return skeleton_; }

    // Makes `animation` (not owned, not null) findable by play().
    void addAnimation(Animation* animation);
    // Forgets every registered animation named `name`; the animations
    // themselves are not deleted. When the one being played is among them,
    // the player also forgets its frames (forgetFrames), so the caller may
    // then delete it.
    void removeAnimation(const std::string& name);
    // Stops and lets go of the animation being played, its frames and the
    // snapshot, so none of them is touched again; call it before deleting
    // the animation. The next play still heads for frame 0 if one came
    // before.
    void forgetFrames();
    const std::vector<Animation*>& animations() const { return animations_; }

    // Starts the first registered animation named exactly `name`, from the
    // present pose. The first play after construction heads for frame 1,
    // later ones for frame 0. Does nothing when no animation has that name
    // or the skeleton is missing or has fewer than POSE_BONE_COUNT bones.
    void play(const std::string& name);
    // Stops playback where it is; the frame the player was on is kept.
    void stop() { playing_ = false; }
    // Advances playback by the time the clock shows. Does nothing while
    // stopped, or without a complete skeleton. At the end of a non-looping
    // (or empty) animation the player holds the last frame's pose: it stays
    // playing, with nextFrame() nullptr, until stopped or played again.
    void update();

    bool playing() const { return playing_; }
    bool waiting() const { return waiting_; }
    bool restartRequested() const { return restartRequested_; }
    // The animation being played, or nullptr.
    Animation* animation() const { return animation_; }
    // The frame the running wait or transition starts from: a frame of the
    // animation or the snapshot; nullptr before the first update of a play.
    const KeyFrame* currentFrame() const { return currentFrame_; }
    // The frame the running transition goes to; nullptr at the end of a
    // non-looping animation.
    const KeyFrame* nextFrame() const { return nextFrame_; }
    // Seconds the running wait or transition has lasted so far.
    double phaseElapsed() const { return clock_->elapsedSeconds(); }

private:
    Skeleton* skeleton_ = nullptr;
    std::vector<Animation*> animations_;
    Animation* animation_ = nullptr;
    std::unique_ptr<PlayerClock> ownClock_;
    PlayerClock* clock_;
    bool playing_ = false;
    bool restartRequested_ = false;
    bool waiting_ = false;
    // Only the very first play heads for frame 1; a flag rather than a null
    // currentFrame, which forgetFrames also leaves.
    bool hasPlayed_ = false;
    KeyFrame* currentFrame_ = nullptr;
    KeyFrame* nextFrame_ = nullptr;
    // The pose a play starts from; replaced at every start.
    std::unique_ptr<KeyFrame> snapshot_;
};

#include "animation/AnimationPlayer.h"

#include "animation/MotionType.h"
#include "animation/PoseBlend.h"

#include <algorithm>
#include <cassert>
#include <cmath>

namespace {

bool posable(const Skeleton* skeleton) {
    return skeleton != nullptr && skeleton->complete();
}

// The frame at `position` of `animation`, counting on from the start again
// when it loops; nullptr past the end otherwise, and always for an empty
// animation (which has no position to come round to).
KeyFrame* frameAtPosition(const Animation& animation, int position) {
    int count = animation.frameCount();
    if (position < count) {
        return animation.frameAt(position);
    }
    if (!animation.looping() || count == 0) {
        return nullptr;
    }
    return animation.frameAt(position % count);
}

} // namespace

AnimationPlayer::AnimationPlayer()
    : ownClock_(std::make_unique<SteadyPlayerClock>()), clock_(ownClock_.get()) {}

AnimationPlayer::AnimationPlayer(PlayerClock& clock) : clock_(&clock) {
    clock_->restart();
}

AnimationPlayer::~AnimationPlayer() = default;

void AnimationPlayer::addAnimation(Animation* animation) {
    assert(animation != nullptr);
    animations_.push_back(animation);
}

void AnimationPlayer::removeAnimation(const std::string& name) {
    bool playedOneRemoved = false;
    auto named = [&](Animation* a) {
        if (a->name() != name) {
            return false;
        }
        playedOneRemoved = playedOneRemoved || a == animation_;
        return true;
    };
    animations_.erase(std::remove_if(animations_.begin(), animations_.end(), named),
                      animations_.end());
    if (playedOneRemoved) {
        forgetFrames();
    }
}

void AnimationPlayer::forgetFrames() {
    animation_ = nullptr;
    playing_ = false;
    restartRequested_ = false;
    waiting_ = false;
    currentFrame_ = nullptr;
    nextFrame_ = nullptr;
    snapshot_.reset();
}

void AnimationPlayer::play(const std::string& name) {
    if (!posable(skeleton_)) {
        return;
    }
    auto found = std::find_if(animations_.begin(), animations_.end(),
                              [&](const Animation* a) { return a->name() == name; });
    if (found == animations_.end()) {
        return;
    }
    Animation& animation = **found;
    animation_ = &animation;
    playing_ = true;
    clock_->restart();
    if (!hasPlayed_) {
        hasPlayed_ = true;
        currentFrame_ = frameAtPosition(animation, 0);
        nextFrame_ = frameAtPosition(animation, 1);
    } else {
        nextFrame_ = frameAtPosition(animation, 0);
    }
    restartRequested_ = true;
}

void AnimationPlayer::update() {
    if (!posable(skeleton_)) {
        return;
    }
    if (restartRequested_) {
        restartRequested_ = false;
        snapshot_ = std::make_unique<KeyFrame>(skeleton_);
        snapshot_->motionType = MotionType::Linear;
        snapshot_->waitTime = 0.0;
        snapshot_->transitionTime = SNAPSHOT_TRANSITION;
        currentFrame_ = snapshot_.get();
        clock_->restart();
    }
    if (waiting_) {
        assert(currentFrame_ != nullptr);
        if (playing_ && phaseOver(clock_->elapsedSeconds(), currentFrame_->waitTime)) {
            waiting_ = false;
            clock_->restart();
        }
        if (waiting_) {
            return;
        }
    }
    if (!playing_) {
        return;
    }
    assert(currentFrame_ != nullptr && animation_ != nullptr);

    if (phaseOver(clock_->elapsedSeconds(), currentFrame_->transitionTime)) {
        if (nextFrame_ == nullptr) {
            // The end of a non-looping (or empty) animation: there is no
            // frame to wait on or move to, so the pose is held. `playing`
            // stays set, as the editor shows a playing animation until Stop.
            return;
        }
        bool moved = isMotionType(currentFrame_->motionType);
        currentFrame_ = nextFrame_;
        nextFrame_ = animation_->frameAfter(currentFrame_);
        clock_->restart();
        waiting_ = true;
        if (nextFrame_ == nullptr && moved) {
            // The last update of a transition stops short of its end pose;
            // the final pose of an animation should be exact.
            holdPose(*skeleton_, *currentFrame_);
        }
        return;
    }
    if (nextFrame_ == nullptr || !isMotionType(currentFrame_->motionType)) {
        return;
    }
    // A zero-length transition has no in-between poses (and t / d no value).
    if (!(currentFrame_->transitionTime > 0)) {
        return;
    }
    blendPose(*skeleton_, *currentFrame_, *nextFrame_, currentFrame_->motionType,
              clock_->elapsedSeconds(), currentFrame_->transitionTime);
}

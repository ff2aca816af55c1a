// Loading and saving the editor's animation_ by name.
#include "animation/Animation.h"
#include "animation/AnimationFile.h"
#include "animation/AnimationPlayer.h"
#include "editor/SkeletonEditor.h"
#include "gui/ComponentContainer.h"

bool SkeletonEditor::loadAnimation(const std::string& name) {
    auto loaded = std::make_unique<Animation>(std::string(ANIMATION_FOLDER) + name + ".rgaf");
    if (!loaded->valid())
        return false;
    // The player_ must never touch the frames about to be deleted: stop it
    // and let it forget the old animation_ before it goes.
    if (player_->playing())
        parts.frameSelection->visible = true;
    // Removing the animation_ stops the player_ and makes it let go of every
    // frame it pointed into.
    player_->removeAnimation(animation_->name());
    animation_ = std::move(loaded);
    currentFrame_ = animation_->frameCount() > 0 ? animation_->frameAt(0) : nullptr;
    player_->addAnimation(animation_.get());
    stepToNextFrame();
    return true;
}

bool SkeletonEditor::saveCurrentAnimation(const std::string& name) {
    animation_->setName(name);
    return saveAnimation(ANIMATION_FOLDER, *animation_);
}

// Loading and saving the editor's animation by name.
#include "animation/Animation.h"
#include "animation/AnimationFile.h"
#include "animation/AnimationPlayer.h"
#include "editor/SkeletonEditor.h"
#include "gui/ComponentContainer.h"

bool SkeletonEditor::loadAnimation(const std::string& name) {
    auto loaded = std::make_unique<Animation>(std::string(ANIMATION_FOLDER) + name + ".rgaf");
    if (!loaded->valid())
        return false;
    // The player must never touch the frames about to be deleted: stop it
    // and let it forget the old animation before it goes.
    if (player->playing())
        frameSelection->visible = true;
    // Removing the animation stops the player and makes it let go of every
    // frame it pointed into.
    player->removeAnimation(animation->name());
    animation = std::move(loaded);
    currentFrame = animation->frameCount() > 0 ? animation->frameAt(0) : nullptr;
    player->addAnimation(animation.get());
    stepToNextFrame();
    return true;
}

bool SkeletonEditor::saveCurrentAnimation(const std::string& name) {
    animation->setName(name);
    return saveAnimation(ANIMATION_FOLDER, *animation);
}

// Loading and saving the editor's animation: by name in the animations
// folder (the dialogs, quick save, name completion), or by path (a file
// named on the command line).
#include "animation/Animation.h"
#include "animation/AnimationFile.h"
#include "animation/AnimationPlayer.h"
#include "editor/AutosaveFiles.h"
#include "editor/SkeletonEditor.h"
#include "gui/ComponentContainer.h"
#include "gui/InterfaceManager.h"
#include "gui/StatusLine.h"
#include "gui/TextField.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>

namespace {

// The name the editor gives an animation nobody has named yet.
constexpr const char* UNNAMED = "temp";

// Whether `name` was written by an autosave: a slot's own file or a kept one.
bool isAutosaveName(const std::string& name) {
    const std::string slot = AutosaveFiles::LOAD_NAME;
    if (name == slot || AutosaveFiles::isKeptName(name))
        return true;
    return name.size() > slot.size() + 1 && name.compare(0, slot.size() + 1, slot + "-") == 0 &&
           name.find_first_not_of("0123456789", slot.size() + 1) == std::string::npos;
}

// Whether an animation's own name can be saved under as it is: one the user
// gave it, not the editor's placeholder.
bool savableName(const std::string& name) {
    return !name.empty() && name != UNNAMED && name != NEW_ANIMATION_NAME && !isAutosaveName(name) &&
           name.find_first_of(std::string("/\n\r\0", 4)) == std::string::npos;
}

} // namespace

bool SkeletonEditor::loadAnimation(const std::string& name, std::string* reason) {
    auto loaded = std::make_unique<Animation>("", false);
    std::string why;
    if (!readAnimationFile(animationFolder + name + ".rgaf", *loaded, &why)) {
        if (reason)
            *reason = why == std::strerror(ENOENT) ? "no animation named " + name : why;
        return false;
    }
    replaceAnimation(std::move(loaded));
    return true;
}

void SkeletonEditor::replaceAnimation(std::unique_ptr<Animation> replacement) {
    // The player must never touch the frames about to be deleted: stop it
    // and let it forget the old animation before it goes.
    if (player_->playing())
        parts.frameSelection->visible = true;
    // Removing the animation stops the player and makes it let go of every
    // frame it pointed into.
    player_->removeAnimation(animation_->name());
    animation_ = std::move(replacement);
    currentFrame_ = animation_->frameCount() > 0 ? animation_->frameAt(0) : nullptr;
    player_->addAnimation(animation_.get());
    stepToNextFrame();
}

bool SkeletonEditor::saveCurrentAnimation(const std::string& name, std::string* reason) {
    animation_->setName(name);
    return saveAnimation(animationFolder, *animation_, reason);
}

void SkeletonEditor::showDialog(ComponentContainer* dialog, TextField* nameField) {
    // The dialogs share one place: one at a time.
    for (ComponentContainer* other : {parts.loadWindow, parts.saveWindow, parts.importWindow})
        other->visible = false;
    dialog->visible = true;
    manager.raiseWindow(dialog);
    manager.focus(nameField);
    // What there is to type: Tab completes any of it.
    if (dialog == parts.loadWindow)
        status(namesListing(savedAnimationNames(animationFolder), "animation"));
    else if (dialog == parts.importWindow)
        status(namesListing(savedClipNames(animationFolder), "clip"));
}

void SkeletonEditor::confirmLoad() {
    const std::string typed = parts.loadNameField->getText();
    // "autosave" means the newest work an earlier session left unsaved.
    std::string name = typed;
    if (typed == AutosaveFiles::LOAD_NAME) {
        const std::vector<std::string> kept = autosaveFiles_->kept();
        if (!kept.empty())
            name = kept.front();
    }
    bool loaded = false;
    std::string why;
    edit("load " + typed, [&] { loaded = loadAnimation(name, &why); });
    if (!loaded) {
        parts.loadNameField->setText(typed + "Load Failed! Please verify name!");
        status("Load failed: " + why);
        return;
    }
    parts.loadWindow->visible = false;
    openedPath.clear();
    const std::string frames = std::to_string(animation_->frameCount()) + " frames";
    if (!isAutosaveName(name)) {
        animationChanged = false;
        fileName_ = name;
        status("Loaded " + name + ": " + frames);
        return;
    }
    // Work an autosave kept is still unsaved: it counts as changed, keeps
    // its own name for Ctrl+S, and the kept file goes once the work is safe
    // again (this session's autosave or a save).
    animationChanged = true;
    ++changeCount;
    fileName_ = savableName(animation_->name()) ? animation_->name() : "";
    if (AutosaveFiles::isKeptName(name))
        recoveredFile_ = name;
    status("Recovered " + animation_->name() + " from " + name + ": " + frames);
}

void SkeletonEditor::confirmSave() {
    saveUnder(parts.saveNameField->getText());
}

bool SkeletonEditor::saveUnder(const std::string& name) {
    // A save writes a file and changes no edit: no history step. The name
    // it gives the animation stays only when the file was written.
    const std::string previousName = animation_->name();
    std::string why;
    const bool saved = saveCurrentAnimation(name, &why);
    if (!saved) {
        animation_->setName(previousName);
        parts.saveWindow->setText(parts.saveWindow->getText() + "Save Failed!");
        status("Save failed: " + why);
        return false;
    }
    parts.saveWindow->visible = false;
    openedPath.clear();
    animationChanged = false;
    fileName_ = name;
    workIsSafe();
    status("Saved " + name);
    return true;
}

void SkeletonEditor::quickSave() {
    if (!openedPath.empty()) {
        // A failed write opens the dialog, to save into the animations
        // folder instead.
        if (!saveToOpenedFile())
            showDialog(parts.saveWindow, parts.saveNameField);
        return;
    }
    if (fileName_.empty()) {
        showDialog(parts.saveWindow, parts.saveNameField);
        return;
    }
    // A failed quick save opens the dialog, whose title then says so.
    if (!saveUnder(fileName_))
        showDialog(parts.saveWindow, parts.saveNameField);
}

void SkeletonEditor::completeName() {
    TextField* field = manager.focusedField;
    const bool importField = field == parts.importNameField && parts.importWindow->visible;
    const bool dialogField = (field == parts.loadNameField && parts.loadWindow->visible) ||
                             (field == parts.saveNameField && parts.saveWindow->visible) ||
                             importField;
    if (!dialogField)
        return;
    std::vector<std::string> names =
        importField ? savedClipNames(animationFolder) : savedAnimationNames(animationFolder);
    // Kept autosaves can be loaded by completing their names (a typed name
    // has letters only).
    if (field == parts.loadNameField)
        for (const std::string& kept : autosaveFiles_->kept())
            names.push_back(kept);
    const std::string shown = field->getText();
    const std::string completed = completion.complete(field->id, shown, names);
    if (completed != shown)
        field->setText(completed);
}

bool SkeletonEditor::openFile(const std::string& path) {
    const std::filesystem::path file(path);
    std::string extension = file.extension().string();
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (extension == ".bvh")
        return startImport(path, file.stem().string());
    const std::string shown = file.filename().string();
    auto loaded = std::make_unique<Animation>("", false);
    std::string why;
    if (!readAnimationFile(path, *loaded, &why)) {
        std::cout << "Could not open " << path << ": " << why << "\n";
        statusLine_->show("Could not open " + shown + ": " + why, StatusLine::NOTICE_SECONDS);
        return false;
    }
    commitEdit();
    replaceAnimation(std::move(loaded));
    // The file is where the editing starts: undo never goes back past it to
    // the empty animation nobody saw, which Ctrl+S would then write over it.
    history_ = std::make_unique<EditHistory>(*animation_);
    animationChanged = false;
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    openedPath = error ? path : absolute.string();
    status("Opened " + shown + ": " + std::to_string(animation_->frameCount()) + " frames");
    return true;
}

bool SkeletonEditor::saveToOpenedFile() {
    std::string why;
    if (!writeAnimationTo(openedPath, *animation_, true, &why)) {
        std::cout << "Error in saving animation data to file!\n";
        status("Save failed: " + why);
        return false;
    }
    animationChanged = false;
    workIsSafe();
    status("Saved " + std::filesystem::path(openedPath).filename().string());
    return true;
}

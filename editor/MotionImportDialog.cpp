// Importing a motion-capture clip from the Import dialog: the import runs
// off the main thread, and its animation takes the place of the present
// one on the main thread when it ends.
#include "animation/Animation.h"
#include "editor/SkeletonEditor.h"
#include "gui/ComponentContainer.h"
#include "gui/TextField.h"
#include "import/BvhReader.h"
#include "import/MotionImport.h"
#include "skeleton/Skeleton.h"

#include <memory>

namespace {

// What the work hands to the main thread: the import, or why there is none.
struct ImportOutcome {
    MotionImport result;
    std::string error;
    bool done = false;
};

// The whole import of the clip at `path` onto a freshly loaded figure, in
// its start pose, so nothing the editor holds is touched off its thread.
void importClip(const std::string& path, const std::string& skeletonFile, const std::string& name,
                TaskProgress& progress, ImportOutcome& outcome) {
    BvhClip clip;
    if (!readBvhFile(path, clip, outcome.error))
        return;
    Skeleton figure(skeletonFile, 0, SKELETON_ORIGIN_Y, 0);
    if (!figure.complete()) {
        outcome.error = "the figure's skeleton cannot be read";
        return;
    }
    MotionImportOptions options;
    options.name = name;
    outcome.done = importMotion(clip, figure, options, outcome.result, outcome.error,
                                [&progress](double fraction) {
                                    progress.set(fraction);
                                    return !progress.cancelled();
                                });
}

} // namespace

void SkeletonEditor::confirmImport() {
    const std::string name = parts.importNameField->getText();
    // A name from the animations folder, never a way out of it.
    if (name.empty() || name.find('/') != std::string::npos) {
        status("Import: type the name of a .bvh file in the animations folder");
        return;
    }
    if (startImport(animationFolder + name + ".bvh", name))
        parts.importWindow->visible = false;
}

bool SkeletonEditor::startImport(const std::string& path, const std::string& name) {
    return runInBackground(
        "Importing " + name, [this, path, skeleton = skeletonFile_, name](TaskProgress& progress) {
            auto outcome = std::make_shared<ImportOutcome>();
            importClip(path, skeleton, name, progress, *outcome);
            // Runs on the main thread once the work has ended.
            return [this, outcome, name] {
                if (!outcome->done) {
                    status("Import failed: " + outcome->error);
                    return;
                }
                const std::string summary = importSummary(outcome->result, name);
                auto animation = std::make_unique<Animation>(std::move(outcome->result.animation));
                edit("import " + name, [&] { replaceAnimation(std::move(animation)); });
                // Nothing of it is in an animation file yet.
                animationChanged = true;
                ++changeCount;
                fileName_.clear();
                openedPath.clear();
                status(summary);
            };
        });
}

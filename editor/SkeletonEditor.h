#pragma once

#include "editor/BackgroundTask.h"
#include "editor/EditHistory.h"
#include "editor/NameCompletion.h"
#include "platform/ProgramPaths.h"
#include "skeleton/DefaultFigure.h"
#include "skeleton/PoseMirror.h"
#include "skeleton/SkeletonPose.h"
#include "skeleton/Vec3.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

class Animation;
class Bone;
class AnimationPlayer;
class AutosaveFiles;
class ComponentContainer;
class InterfaceComponent;
class InterfaceManager;
class KeyFrame;
class PlayerClock;
class ShortcutsOverlay;
class Skeleton;
class StatusLine;
struct ScreenProjection;
class TextField;
class TimelineStrip;
enum class EditorAction;

// The name of an animation Ctrl+N starts; like the editor's first one
// ("temp"), it is no file's name, so Ctrl+S asks for one.
inline const char* const NEW_ANIMATION_NAME = "untitled";
// The longest wait or transition the properties window takes, in ms.
constexpr int MAX_FRAME_TIME_MS = 3600 * 1000;
// The bone readout with no bone selected.
inline const char* const NO_BONE_READOUT = "#.##,  #.##,  #.##";

// The working screen: the posed skeleton, a faint ghost showing the key frame
// before the current one, the animation being edited with its player, and
// nine floating windows of controls registered with the interface manager.
// Owns both skeletons, the animation and the player; the windows belong to
// the manager's lists once registered, and the editor keeps plain pointers
// to the components it reads or changes.
//
// Every user action that changes the animation or the pose is one step of
// an undo history (EditHistory); what the status line says about it, and the
// autosave that keeps unsaved work through an exit or a crash, live here too.
//
// Building it needs no GL context (only the text measurer), so the whole
// editor runs headless in tests.
class SkeletonEditor {
public:
    // Loads the skeleton twice, builds and registers the windows, makes the
    // "temp" animation (looping) with one frame of the loaded pose, the
    // player, and shows frame 0.
    // The player runs on its own real-time clock, or on `playerClock` (not
    // owned) when one is given, as tests do. The skeleton and the
    // animations folder come from `paths`.
    explicit SkeletonEditor(InterfaceManager& manager, PlayerClock* playerClock = nullptr,
                            const ProgramPaths& paths = workingDirectoryPaths());
    ~SkeletonEditor();

    SkeletonEditor(const SkeletonEditor&) = delete;
    SkeletonEditor& operator=(const SkeletonEditor&) = delete;

    // The command handler for every button hit, on press (state 6) and on
    // release (state 11). Ids that are not the editor's are ignored.
    void onCommand(InterfaceComponent* component);
    // Per frame: a held rotation or height change, then the player.
    void editorUpdate(double dt);
    // Ends any held rotation or height change. The left-button release
    // calls it wherever the pointer is, so a button released off its own
    // rectangle cannot leave a rotation running.
    void endHeldChanges();

    // Makes the next frame current (wrapping when the animation loops) and
    // shows it; the ghost takes the frame that was current.
    void stepToNextFrame();
    // Makes the previous frame current; the ghost shows the one before it.
    void stepToPreviousFrame();
    // Makes the frame at `position` current as stepping there does: its pose
    // on the figure, the frame before it (wrapping when looping) as the
    // ghost, the counter and the properties. Nothing for a position outside
    // the animation.
    void stepToFrame(int position);
    // The user asks for the frame at `position` (a click on the timeline):
    // stepToFrame, as one undo step when it throws away an unstored pose.
    void selectFrame(int position);

    // Rewrites the selected bone's angles into the readout (cut, not
    // rounded, to two decimals), or the placeholder without a selection.
    void refreshBoneReadout();
    // Copies the current frame's times (milliseconds) and motion type into
    // the properties window.
    void showFrameProperties();
    // Copies the properties window into the current frame.
    void applyFrameProperties();

    // Replaces the animation by the file name + ".rgaf" in the animations
    // folder.
    // False, with nothing changed and `reason` set ("no animation named
    // walk", "not a regular file"), when it cannot be read.
    bool loadAnimation(const std::string& name, std::string* reason = nullptr);
    // Puts `replacement` in place of the animation as a load does: the
    // player lets go of the old one, frame 0 is shown. Not a history step
    // by itself.
    void replaceAnimation(std::unique_ptr<Animation> replacement);
    // Names the animation `name` and saves it. False, with `reason` set,
    // when the file cannot be written; an earlier file of that name is then
    // left as it was.
    bool saveCurrentAnimation(const std::string& name, std::string* reason = nullptr);
    // Opens the animation file at `path`, in any folder (a file named on the
    // command line), as Load does, and starts the undo history afresh from
    // it; Ctrl+S then saves back to that path, keeping the animation's own
    // name. A file that cannot be read leaves the animation as it was and
    // says why on the status line; returns false. A ".bvh" file is imported
    // instead, as the Import dialog imports (then true once it started).
    bool openFile(const std::string& path);

    // Carries out one of the added actions of the input map (InputMap.h);
    // actions that are not the editor's (the camera's) are ignored here.
    void perform(EditorAction action);
    // Takes the last step back and says so on the status line ("Undo: turn
    // bone"), or says "Nothing to undo". Stops playback first.
    void undo();
    // Does the last undone step again, or says "Nothing to redo".
    void redo();
    // The editing state as the history records it.
    EditorSnapshot snapshot() const;
    // Puts a recorded state on screen: animation name and looping, current
    // frame and counter, pose, ghost, selection, frame properties, readout.
    void restore(const EditorSnapshot& state);

    // The frame tools. Each is one undo step, stops playback first, and says
    // what it did on the status line.
    // Removes the current frame; the one after it (the one before, for the
    // last) becomes current. Refuses the only frame.
    void deleteFrame();
    // A new frame of the figure's present pose, with a new frame's times,
    // right after the current one (first when there is none), made current.
    void insertFrame();
    // A copy of the current frame right after it, made current.
    void duplicateFrame();
    // Moves the current frame one place (-1 earlier, +1 later), never past
    // either end; it stays current and the figure keeps its pose.
    void moveFrame(int places);
    // The pose tools. Copy keeps the figure's present pose; paste puts it
    // back on the figure (kept in a frame only by the frame commands);
    // mirror turns the present pose, or the copied one, left to right.
    void copyPose();
    // A new animation of one frame of the present pose, one undo step; and
    // looping switched on or off, one undo step.
    void newAnimation();
    void toggleLooping();
    void pastePose(bool mirrored);
    void mirrorPose();

    // Posing by dragging. A left press in the 3-D view arms a drag on the
    // bone its pick chooses (`ik`: Ctrl was held, so a hand, foot or the head
    // brings the chain above it along).
    void armBoneDrag(bool ik);
    // A move of the pointer to window pixel (x, y), from the bottom-left,
    // `dx` pixels right of the last: once the pick has chosen a bone, turns
    // it so its tip follows the pointer (`twist`: Shift, about its own axis
    // by dx instead). Returns true when a bone is being dragged (nothing
    // else may then move); false while the pick is pending or missed.
    bool dragBoneTo(const ScreenProjection& view, double x, double y, double dx, bool twist);
    // The left release: a drag that turned something is one undo step.
    void endBoneDrag();
    // The modifiers held during the click being handled: Shift or Ctrl on a
    // rotation or height button turns or moves by one exact step instead of
    // starting a held change.
    void setClickModifiers(bool control, bool shift);

    // Runs `work` off the main thread (an import, a render) with its
    // progress on the status line; what it hands back runs on the main
    // thread at a later editorUpdate. Says "Busy: <label of the running
    // task>" and returns false while another task runs.
    bool runInBackground(const std::string& label, BackgroundTask::Work work);
    // The background work, for the exit to stop and tests to wait on.
    BackgroundTask& backgroundTask() { return background; }

    // Whether the animation has changed since it was last saved or loaded.
    bool unsavedChanges() const { return animationChanged; }
    // Writes the animation to autosave.rgaf in the animations folder when it
    // has unsaved changes. Returns false (with a status message, nothing on
    // standard output) when that write fails; true otherwise.
    bool autosave();
    // Counts time toward the next autosave, which happens at most once a
    // minute and only when something changed since the last one.
    void advanceAutosave(double seconds);
    // Asked when the user closes the window or picks Exit: autosaves, and
    // says true when the program may end. When the autosave fails it says
    // so on the status line and false, once; asked again, true.
    bool readyToQuit();

    // What the editor shows and edits; all exist once it is built.
    Skeleton& skeleton() { return *skeleton_; }
    const Skeleton& skeleton() const { return *skeleton_; }
    // The faint figure showing the frame before the current one, and
    // whether it is shown.
    Skeleton& ghostSkeleton() { return *ghostSkeleton_; }
    const Skeleton& ghostSkeleton() const { return *ghostSkeleton_; }
    bool ghostShown() const { return showGhost_; }
    void setGhostShown(bool shown) { showGhost_ = shown; }
    Animation& animation() { return *animation_; }
    const Animation& animation() const { return *animation_; }
    AnimationPlayer& player() { return *player_; }
    const AnimationPlayer& player() const { return *player_; }
    // The frame the editor stands on, or nullptr.
    KeyFrame* currentFrame() const { return currentFrame_; }
    EditHistory& history() { return *history_; }
    // Forgets every step: the history starts again from the animation as
    // it stands (for a caller that built frames directly, as benches do).
    void restartHistory() { history_ = std::make_unique<EditHistory>(*animation_); }
    // The line at the bottom of the screen that answers each action.
    StatusLine& statusLine() { return *statusLine_; }
    // The timeline strip (F2) and the shortcuts overlay (F1), hidden at start.
    TimelineStrip& timeline() { return *timeline_; }
    ShortcutsOverlay& shortcuts() { return *shortcuts_; }
    // Whether the figure shows a pose that no frame stores (turned or moved
    // since).
    bool poseUnstored() const { return poseUnstored_; }
    // Where dialog names, the autosave and the renders go (ends in "/"), and
    // the figure's skeleton file, as this run found them.
    const std::string& animationsFolder() const { return animationFolder; }
    const std::string& skeletonFile() const { return skeletonFile_; }
    // The file name the animation was loaded from or saved under this run
    // ("" for none yet): what Ctrl+S saves to.
    const std::string& fileName() const { return fileName_; }

    // A held rotation or height button: which runs, along which factor (per
    // axis for a rotation, in units per second for the height), and how
    // fast the rotation has become.
    struct HeldChange {
        bool rotating = false;
        bool movingSkeleton = false;
        Vec3 direction{0, 0, 0};
        double rotationSpeed = 0;
    };
    const HeldChange& heldChange() const { return held; }
    // The frame properties as last applied or shown: motion type code and
    // the two times in milliseconds.
    struct FrameTimes {
        int motionType = 3;
        int waitMs = 0;
        int transitionMs = 0;
    };
    const FrameTimes& frameTimes() const { return times; }

    // The components the editor reads or changes (owned by their windows).
    struct Components {
        TextField* boneReadout = nullptr;             // T_CBRD
        TextField* frameCounter = nullptr;            // TF_CFS
        ComponentContainer* frameSelection = nullptr; // CC_FSM
        TextField* motionLabel = nullptr;             // TF_FMD
        TextField* waitField = nullptr;               // TF_FWD
        TextField* transitionField = nullptr;         // TF_FTD
        ComponentContainer* saveWindow = nullptr;     // C_SAD
        TextField* saveNameField = nullptr;           // T_SFN
        ComponentContainer* loadWindow = nullptr;     // C_LAD
        TextField* loadNameField = nullptr;           // T_LFN
        ComponentContainer* importWindow = nullptr;   // C_IAD
        TextField* importNameField = nullptr;         // T_IFN
    };
    const Components& components() const { return parts; }

private:
    void buildWindows();
    void registerWindow(ComponentContainer* window);
    void cycleMotionLabel();
    KeyFrame* frameAtWrapped(int index) const;

    // One user action as one step of the history: begin takes the state
    // before (finishing any step still open), commit records it. A held
    // button opens a step at its press and commits it at its release.
    void beginEdit(const std::string& label);
    void commitEdit();
    // Commits the step a held button opened; a pose it changed is one no
    // frame stores yet.
    void finishHeldEdit();
    // One exact turn of the selected bone, or move of the figure, along
    // `factor` (a held button's direction) for a Shift or Ctrl click.
    void exactStep(bool rotation, const Vec3& factor);
    template <class Action> void edit(const std::string& label, Action action) {
        beginEdit(label);
        action();
        commitEdit();
    }
    // Stepping to another frame throws an unstored pose away: then it is a
    // step of its own, so undo brings the pose back.
    template <class Action> void stepAway(const std::string& label, Action action) {
        if (!poseUnstored_) {
            action();
            return;
        }
        const int left = currentPosition();
        edit(label, action);
        if (!poseUnstored_ && left >= 0)
            status("Pose of frame " + std::to_string(left) +
                   " not stored \xe2\x80\x94 Ctrl+Z brings it back");
    }
    // The current frame's position, -1 for none.
    int currentPosition() const;
    void status(const std::string& message);
    // Undo (backward) or redo (forward) one step, with its status message.
    void travel(bool forward);
    // Playback and the dialogs, as their buttons and keys do them.
    void startPlayback();
    void stopPlayback();
    // Ends playback before frames change under the player, without the
    // Stop button's step to the next frame.
    void haltPlayback();
    void confirmLoad();
    // Imports the clip the Import dialog names, off the main thread; the
    // animation it makes takes the place of the present one as a load does,
    // as one undo step, when the import ends.
    void confirmImport();
    // Imports the clip at `path` under the animation name `name`, off the
    // main thread. Returns false (said on the status line) when another
    // task is running.
    bool startImport(const std::string& path, const std::string& name);
    void confirmSave();
    // Saves under `name` as the Save button does, with its messages.
    bool saveUnder(const std::string& name);
    void quickSave();
    // Ctrl+S for a file from openFile: writes it back to its path, with a
    // backup of what it replaces.
    bool saveToOpenedFile();
    void showDialog(ComponentContainer* dialog, TextField* nameField);
    void completeName();
    // Says at start when an earlier session left unsaved work.
    void announceAutosave();
    // The animation is safe in a file: this session's autosave and a
    // recovered one are no longer needed.
    void workIsSafe();
    // Before a tool: playback stops (the frame selection and the ghost come
    // back, as with Stop) and the player lets go of every frame.
    void stopForTool();
    // The counter, the properties and the ghost for the current frame at its
    // (new) position, the figure's pose untouched.
    void showCurrentFrameInPlace();
    // Puts `pose` on the figure as one undo step named `label`.
    void putPose(const std::string& label, const SkeletonPose& pose);

    InterfaceManager& manager;
    // Where dialog names, the autosave and completion look; ends in "/".
    std::string animationFolder;
    std::string skeletonFile_;
    // The file openFile read, which Ctrl+S writes back to; "" once a dialog
    // loads or saves (their names mean the animations folder).
    std::string openedPath;
    std::unique_ptr<Skeleton> skeleton_;
    std::unique_ptr<Skeleton> ghostSkeleton_;
    bool showGhost_ = true;
    HeldChange held;
    std::unique_ptr<Animation> animation_;
    std::unique_ptr<AnimationPlayer> player_;
    KeyFrame* currentFrame_ = nullptr;
    FrameTimes times;
    std::unique_ptr<EditHistory> history_;
    std::unique_ptr<StatusLine> statusLine_;
    std::unique_ptr<TimelineStrip> timeline_;
    std::unique_ptr<ShortcutsOverlay> shortcuts_;
    bool poseUnstored_ = false;
    std::string fileName_;
    Components parts;
    // The bone the readout was last written for, and its angles then.
    const Bone* readoutBone = nullptr;
    Vec3 readoutAngles{0, 0, 0};
    // The bone whose name the status line gave last.
    const Bone* announcedBone = nullptr;
    std::vector<std::unique_ptr<ComponentContainer>> ownedWindows;
    // The step being made: its name and the state before it.
    std::optional<EditorSnapshot> editBefore;
    std::string editLabel;
    bool animationChanged = false;
    // Changes counted, and the count the last autosave wrote.
    long changeCount = 0;
    long autosavedCount = 0;
    double sinceAutosave = 0;
    // This session's autosave and the work earlier ones left.
    std::unique_ptr<AutosaveFiles> autosaveFiles_;
    // The kept autosave the animation was recovered from, until its work is
    // safe again.
    std::string recoveredFile_;
    // Why the last autosave failed; "" when it did not.
    std::string autosaveProblem;
    // The user was told once that quitting now loses work.
    bool quitWarned = false;
    // The history forgot its oldest steps to stay within its memory; said at
    // the next update, after what the action itself said.
    bool historyTrimmed = false;
    NameCompletion completion;
    // The pose Ctrl+C copied, if any.
    std::optional<SkeletonPose> copiedPose;
    // Left-right partners of the skeleton, found from its rest pose.
    PoseMirror mirror;
    // The drag armed by a press, and the bone it turns once the pick chose.
    bool dragArmed = false;
    bool dragIk = false;
    Bone* draggedBone = nullptr;
    bool clickControl = false;
    bool clickShift = false;
    // Declared last: destroyed first, so running work is stopped and
    // joined while everything it may refer to still exists.
    BackgroundTask background;
};

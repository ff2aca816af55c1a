#pragma once

#include "skeleton/Vec3.h"

#include <memory>
#include <string>
#include <vector>

class Animation;
class Bone;
class AnimationPlayer;
class ComponentContainer;
class InterfaceComponent;
class InterfaceManager;
class KeyFrame;
class PlayerClock;
class Skeleton;
class TextField;

// Where the editor loads its skeleton from, and the origin it stands on.
inline const char* const SKELETON_PATH = "resources/config/skeleton/default.rgcf";
constexpr double SKELETON_ORIGIN_Y = 0.5;
// The bone readout with no bone selected.
inline const char* const NO_BONE_READOUT = "#.##,  #.##,  #.##";

// The working screen: the posed skeleton, a faint ghost showing the key frame
// before the current one, the animation being edited with its player, and
// nine floating windows of controls registered with the interface manager.
// Owns both skeletons, the animation and the player; the windows belong to
// the manager's lists once registered, and the editor keeps plain pointers
// to the components it reads or changes.
//
// Building it needs no GL context (only the text measurer), so the whole
// editor runs headless in tests.
class SkeletonEditor {
public:
    // Loads the skeleton twice, builds and registers the windows, makes the
    // "temp" animation (looping) with one frame of the loaded pose, the
    // player, and shows frame 0.
    // The player runs on its own real-time clock, or on `playerClock` (not
    // owned) when one is given, as tests do.
    explicit SkeletonEditor(InterfaceManager& manager, PlayerClock* playerClock = nullptr);
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

    // Rewrites the selected bone's angles into the readout (cut, not
    // rounded, to two decimals), or the placeholder without a selection.
    void refreshBoneReadout();
    // Copies the current frame's times (milliseconds) and motion type into
    // the properties window.
    void showFrameProperties();
    // Copies the properties window into the current frame.
    void applyFrameProperties();

    // Replaces the animation by the file ANIMATION_FOLDER + name + ".rgaf".
    // False, with nothing changed, when it cannot be read.
    bool loadAnimation(const std::string& name);
    // Names the animation `name` and saves it. False when the file cannot be
    // written; an earlier file of that name is then left as it was.
    bool saveCurrentAnimation(const std::string& name);

    std::unique_ptr<Skeleton> skeleton;
    std::unique_ptr<Skeleton> ghostSkeleton;
    bool showGhost = true;
    bool rotating = false;
    bool movingSkeleton = false;
    Vec3 direction{0, 0, 0};
    double rotationSpeed = 0;
    std::unique_ptr<Animation> animation;
    std::unique_ptr<AnimationPlayer> player;
    KeyFrame* currentFrame = nullptr;
    int pendingMotionType = 3;
    int waitMs = 0;
    int transitionMs = 0;

    // The components the editor reads or changes (owned by their windows).
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

private:
    void buildWindows();
    void registerWindow(ComponentContainer* window);
    void cycleMotionLabel();
    KeyFrame* frameAtWrapped(int index) const;

    InterfaceManager& manager;
    // The bone the readout was last written for.
    const Bone* readoutBone = nullptr;
    std::vector<std::unique_ptr<ComponentContainer>> ownedWindows;
};

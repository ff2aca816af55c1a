// Builds the editor's nine floating windows: every container, button and
// field with its id, text, split and place, registered with the manager in
// the order the screen expects.
#include "animation/Animation.h"
#include "editor/SkeletonEditor.h"

#include "gui/Button.h"
#include "gui/ComponentContainer.h"
#include "gui/InterfaceManager.h"
#include "gui/TextField.h"

#include <climits>
#include <unistd.h>

namespace {
constexpr int32_t FILTER_DIGITS = 27;
constexpr int32_t FILTER_LETTERS = 37;

// A container with its split and up to two children.
ComponentContainer* split(const std::string& id, const std::string& title, bool vertical,
                          InterfaceComponent* first, InterfaceComponent* second,
                          double ratio = 0.5) {
    auto* c = new ComponentContainer(id, title, false);
    c->vertical = vertical;
    c->splitRatio = ratio;
    if (first)
        c->setFirst(first);
    if (second)
        c->setSecond(second);
    return c;
}

TextField* field(const std::string& id, const std::string& text, bool editable = false,
                 int32_t filter = 17) {
    auto* f = new TextField(id, text, editable);
    f->inputFilter = filter;
    return f;
}

Button* button(const std::string& id, const std::string& label) {
    return new Button(id, label);
}

// A caption above a pair of + and - buttons.
ComponentContainer* axisControl(const std::string& id, const std::string& captionId,
                                const std::string& caption, const std::string& buttonsId,
                                const std::string& command) {
    return split(id, "", true, field(captionId, caption),
                 split(buttonsId, "", false, button(command + "_INCR", "+"),
                       button(command + "_DECR", "-")));
}

void place(ComponentContainer* window, int32_t w, int32_t h, int32_t x, int32_t y) {
    window->setSize(w, h);
    window->setPosition(x, y);
}
} // namespace

void SkeletonEditor::registerWindow(ComponentContainer* window) {
    // The editor owns its windows; the manager only lists them.
    ownedWindows.emplace_back(window);
    manager.addWindow(window);
}

void SkeletonEditor::buildWindows() {
    // Selected bone editor, height adjustment and the bone readout.
    ComponentContainer* mainAxis =
        axisControl("C_MAC", "T_MAC", "Rotate Main Axis", "C_MABC", "MAIN_AXIS");
    ComponentContainer* secAxis =
        axisControl("C_SAC", "T_SAC", "Rotate Sec. Axis", "C_SABC", "SEC_AXIS");
    ComponentContainer* ownAxis =
        axisControl("C_SEAC", "T_SEAC", "Rotate Own Axis", "C_SEABC", "SELF_AXIS");
    ComponentContainer* lower = split("C_SOC2", "", true, secAxis, ownAxis);
    ComponentContainer* column = split("C_SOC1", "", true, mainAxis, lower, 0.33);
    ComponentContainer* boneEditor =
        split("SKEL_ED", "Selected Bone Editor", true, column, nullptr);
    ComponentContainer* height = split("C_MSC", "Height Adjustment", true, nullptr,
                                       split("C_MSBC", "", false, button("MOVE_SKELETON_UP", "+"),
                                             button("MOVE_SKELETON_DOWN", "-")));
    parts.boneReadout = field("T_CBRD", NO_BONE_READOUT);
    ComponentContainer* readout =
        split("C_CBRD", "Rotation of Selected Bone", true, nullptr, parts.boneReadout);
    registerWindow(readout);
    registerWindow(boneEditor);
    registerWindow(height);

    // Frame selection, player, frame and file manager, frame properties.
    parts.frameCounter = field("TF_CFS", "");
    parts.frameSelection = split("CC_FSM", "Select Frame (SAVE FIRST!)", true, parts.frameCounter,
                                 split("CC_FSBC", "", false, button("PREV_FRAME", "Previous"),
                                       button("NEXT_FRAME", "Next")));
    ComponentContainer* playerWindow =
        split("CC_APC", "Animation Player", false, button("PLAY_ANIMATION", "Play"),
              button("STOP_ANIMATION", "Stop"));
    ComponentContainer* manage =
        split("CC_ANF", "Frame/Animation Manager", true,
              split("C_FMC1", "", true, button("ADD_NEW_FRAME", "New Frame From Current Pose"),
                    button("SAVE_FRAME", "Save Pose to Current Frame")),
              split("C_FMC1", "", true, button("SHOW_LOAD", "Load Animation From File"),
                    button("SHOW_SAVE", "Save Animation To File")));
    parts.motionLabel = field("TF_FMD", "");
    parts.waitField = field("TF_FWD", "", true, FILTER_DIGITS);
    parts.transitionField = field("TF_FTD", "", true, FILTER_DIGITS);
    ComponentContainer* properties =
        split("CC_FP", "Current Frame Properties", true,
              split("CC_FPTMPA", "", true,
                    split("CC_CMT", "", false, parts.motionLabel,
                          button("CHANGE_MOTION", "Change Motion Type")),
                    split("C_FWTC", "", false, field("T_CFWTL", "Time to Wait on This Frame(ms):"),
                          parts.waitField, 0.75)),
              split("CC_FPTMPB", "", true,
                    split("C_FTTC", "", false, field("T_CFTTL", "Transition to Next Frame (ms):"),
                          parts.transitionField, 0.75),
                    button("APPLY_FRAME", "Apply to Current Frame")));
    registerWindow(parts.frameSelection);
    registerWindow(playerWindow);
    registerWindow(manage);
    registerWindow(properties);

    // The load and save dialogs share one place and start hidden.
    parts.loadNameField = field("T_LFN", "", true, FILTER_LETTERS);
    parts.loadWindow = split(
        "C_LAD", "Load an Animation", true, parts.loadNameField,
        split("C_LBH", "", false, button("LOAD_ANI", "Load"), button("CANCEL_LOAD", "Cancel")));
    parts.saveNameField = field("T_SFN", "", true, FILTER_LETTERS);
    // A typed name stops where the folder could no longer hold its file.
    const long nameMax = ::pathconf(ANIMATION_FOLDER, _PC_NAME_MAX);
    const std::size_t longest = static_cast<std::size_t>(nameMax > 5 ? nameMax : NAME_MAX) - 5;
    parts.loadNameField->maxLength = longest;
    parts.saveNameField->maxLength = longest;
    parts.saveWindow = split(
        "C_SAD", "Save current Animation", true, parts.saveNameField,
        split("C_SBH", "", false, button("SAVE_ANI", "Save"), button("CANCEL_SAVE", "Cancel")));
    // Any name a file can have: captured clips come as "cmu-131_02".
    parts.importNameField = field("T_IFN", "", true);
    parts.importWindow = split("C_IAD", "Import Motion Capture", true, parts.importNameField,
                               split("C_IBH", "", false, button("IMPORT_BVH", "Import"),
                                     button("CANCEL_IMPORT", "Cancel")));
    parts.loadWindow->visible = false;
    parts.saveWindow->visible = false;
    parts.importWindow->visible = false;
    registerWindow(parts.loadWindow);
    registerWindow(parts.saveWindow);
    registerWindow(parts.importWindow);

    place(parts.loadWindow, 280, 60, 470, 340);
    place(parts.saveWindow, 280, 60, 470, 340);
    place(parts.importWindow, 280, 60, 470, 340);
    place(properties, 340, 110, 650, 30);
    place(readout, 210, 50, 10, 370);
    place(height, 170, 30, 10, 320);
    place(boneEditor, 160, 150, 10, 150);
    place(manage, 220, 140, 220, 30);
    place(parts.frameSelection, 200, 50, 10, 80);
    place(playerWindow, 180, 30, 10, 30);
}

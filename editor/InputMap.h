#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What keys and mouse gestures ask of the editor beyond its buttons.
enum class EditorAction {
    Undo,
    Redo,
    QuickSave,
    NewAnimation,
    ToggleLooping,
    OpenLoad,
    OpenImport,
    ConfirmDialog,
    CompleteName,
    PlayOrStop,
    PreviousFrame,
    NextFrame,
    FirstFrame,
    LastFrame,
    InsertFrame,
    DeleteFrame,
    DuplicateFrame,
    MoveFrameEarlier,
    MoveFrameLater,
    CopyPose,
    PastePose,
    PasteMirrored,
    MirrorPose,
    FrameFigure,
    ToggleShortcuts,
    ToggleTimeline,
    RenderVideo,
    RenderGif,
    // Asked for by the editor's buttons only.
    Play,
    Stop,
    SavePose,
    AddFrame,
    CycleMotion,
    ApplyProperties,
    ConfirmLoad,
    CancelLoad,
    ConfirmSave,
    CancelSave,
    ConfirmImport,
    CancelImport,
};

// A key (the program's key codes, gui/KeyCodes.h) with the modifiers that
// must be held with it; a binding matches only its exact modifiers.
struct KeyChord {
    int32_t key = 0;
    bool ctrl = false;
    bool alt = false;
    bool shift = false;
};

// One row of the input map: a chord, the action it asks for, and how the
// help names both.
struct KeyBinding {
    KeyChord chord;
    EditorAction action;
    // As the help shows the keys: "Ctrl+Z".
    const char* keys;
    // As the help describes the action: "undo".
    const char* description;
};

// A mouse gesture, as the help lists it (the gestures themselves are
// recognised by the input dispatch).
struct GestureHelp {
    const char* input;
    const char* description;
};

// The one table from keys to the editor's added actions, in the order the
// help lists them. The shortcuts overlay and the README are made from it.
const std::vector<KeyBinding>& keyBindings();
// The added mouse gestures, in the order the help lists them.
const std::vector<GestureHelp>& gestureHelp();
// The binding of `chord`, or nullptr when the chord asks for nothing.
const KeyBinding* bindingFor(const KeyChord& chord);
// The action a press of the editor's button `id` asks for ("NEXT_FRAME":
// NextFrame), or nothing for a button that is not in the table (the held
// rotation and height buttons and the dialogs' openers act on press and
// release both, and the editor handles them itself).
std::optional<EditorAction> buttonAction(const std::string& id);
// Every key and gesture as help lines, one per action: the keys (several
// chords of one action joined with ", ") and the description.
std::vector<std::pair<std::string, std::string>> shortcutLines();
// The same lines as the rows of a Markdown table ("| keys | what |"),
// one a line, for the README.
std::string shortcutsMarkdown();

#include "editor/InputMap.h"

#include "gui/KeyCodes.h"

namespace {

using A = EditorAction;

KeyChord ctrl(int32_t key, bool shift = false) {
    return KeyChord{key, true, false, shift};
}
KeyChord alt(int32_t key, bool shift = false) {
    return KeyChord{key, false, true, shift};
}
KeyChord plain(int32_t key) {
    return KeyChord{key, false, false, false};
}

} // namespace

const std::vector<KeyBinding>& keyBindings() {
    static const std::vector<KeyBinding> table = {
        {ctrl('z'), A::Undo, "Ctrl+Z", "undo"},
        {ctrl('y'), A::Redo, "Ctrl+Y", "redo"},
        {ctrl('z', true), A::Redo, "Ctrl+Shift+Z", "redo"},
        {ctrl('s'), A::QuickSave, "Ctrl+S",
         "save under the file's name (the Save dialog for a new animation)"},
        {ctrl('n'), A::NewAnimation, "Ctrl+N",
         "new animation: one frame of the present pose (Ctrl+Z brings the last one back)"},
        {ctrl('l'), A::ToggleLooping, "Ctrl+L", "looping on or off"},
        {ctrl('o'), A::OpenLoad, "Ctrl+O", "open the Load dialog"},
        {ctrl('i'), A::OpenImport, "Ctrl+I",
         "import motion capture: a .bvh file in the animations folder"},
        {plain(Key::Return), A::ConfirmDialog, "Enter",
         "in a dialog's name field: Load, Save or Import"},
        {plain(Key::Tab), A::CompleteName, "Tab",
         "in a dialog's name field: complete the name (again: the next)"},
        {plain(Key::Space), A::PlayOrStop, "Space", "play, or stop when playing"},
        {alt(Key::Left), A::PreviousFrame, "Alt+Left", "previous frame"},
        {alt(Key::Right), A::NextFrame, "Alt+Right", "next frame"},
        {alt(Key::Home), A::FirstFrame, "Alt+Home", "first frame"},
        {alt(Key::End), A::LastFrame, "Alt+End", "last frame"},
        {plain(Key::Insert), A::InsertFrame, "Insert",
         "new frame from the pose, after the current one"},
        {plain(Key::Delete), A::DeleteFrame, "Delete", "delete the current frame"},
        {ctrl('d'), A::DuplicateFrame, "Ctrl+D", "duplicate the current frame"},
        {alt(Key::Left, true), A::MoveFrameEarlier, "Alt+Shift+Left",
         "move the current frame earlier"},
        {alt(Key::Right, true), A::MoveFrameLater, "Alt+Shift+Right",
         "move the current frame later"},
        {ctrl('c'), A::CopyPose, "Ctrl+C", "copy the pose"},
        {ctrl('v'), A::PastePose, "Ctrl+V", "paste the pose onto the figure"},
        {ctrl('v', true), A::PasteMirrored, "Ctrl+Shift+V", "paste the pose mirrored"},
        {ctrl('m'), A::MirrorPose, "Ctrl+M", "mirror the pose left to right"},
        {plain(Key::Home), A::FrameFigure, "Home", "camera back to its start view"},
        {plain(Key::F1), A::ToggleShortcuts, "F1", "show or hide this list of keys and gestures"},
        {plain(Key::F2), A::ToggleTimeline, "F2",
         "show or hide the timeline; click a block to go to its frame"},
        {ctrl('r'), A::RenderVideo, "Ctrl+R",
         "render the animation to renders/NAME.mp4 in the animations folder"},
        {ctrl('r', true), A::RenderGif, "Ctrl+Shift+R", "render it to renders/NAME.gif"},
    };
    return table;
}

const std::vector<GestureHelp>& gestureHelp() {
    static const std::vector<GestureHelp> gestures = {
        {"Left drag on a bone", "turn it so its tip follows the pointer"},
        {"Shift + left drag on a bone", "turn it about its own axis"},
        {"Ctrl + left drag on a hand, foot, head", "the chain above it follows (IK)"},
        {"Shift+click a rotate + or -", "turn by exactly 1 degree (height: 0.01)"},
        {"Ctrl+click a rotate + or -", "turn by exactly 10 degrees (height: 0.1)"},
        {"Click a panel", "bring it to the front"},
    };
    return gestures;
}

std::optional<EditorAction> buttonAction(const std::string& id) {
    static const std::pair<const char*, EditorAction> table[] = {
        {"NEXT_FRAME", A::NextFrame},      {"PREV_FRAME", A::PreviousFrame},
        {"PLAY_ANIMATION", A::Play},       {"STOP_ANIMATION", A::Stop},
        {"SAVE_FRAME", A::SavePose},       {"ADD_NEW_FRAME", A::AddFrame},
        {"CHANGE_MOTION", A::CycleMotion}, {"APPLY_FRAME", A::ApplyProperties},
        {"LOAD_ANI", A::ConfirmLoad},      {"CANCEL_LOAD", A::CancelLoad},
        {"SAVE_ANI", A::ConfirmSave},      {"CANCEL_SAVE", A::CancelSave},
        {"IMPORT_BVH", A::ConfirmImport},  {"CANCEL_IMPORT", A::CancelImport},
    };
    for (const auto& [button, action] : table)
        if (id == button)
            return action;
    return std::nullopt;
}

const KeyBinding* bindingFor(const KeyChord& chord) {
    for (const KeyBinding& b : keyBindings())
        if (b.chord.key == chord.key && b.chord.ctrl == chord.ctrl && b.chord.alt == chord.alt &&
            b.chord.shift == chord.shift)
            return &b;
    return nullptr;
}

std::vector<std::pair<std::string, std::string>> shortcutLines() {
    std::vector<std::pair<std::string, std::string>> lines;
    const std::vector<KeyBinding>& table = keyBindings();
    for (std::size_t i = 0; i < table.size(); ++i) {
        // Chords of one action sit next to each other in the table.
        if (i > 0 && table[i - 1].action == table[i].action)
            lines.back().first += std::string(", ") + table[i].keys;
        else
            lines.emplace_back(table[i].keys, table[i].description);
    }
    for (const GestureHelp& g : gestureHelp())
        lines.emplace_back(g.input, g.description);
    return lines;
}

std::string shortcutsMarkdown() {
    std::string rows;
    for (const auto& [keys, description] : shortcutLines())
        rows += "| " + keys + " | " + description + " |\n";
    return rows;
}

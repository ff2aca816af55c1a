#pragma once

#include <string>
#include <vector>

class Animation;

// Where one running session keeps its unsaved work, and the work earlier
// sessions left behind, in the animations folder.
//
// Each running session takes a slot of its own, held by a lock for as long
// as it runs: the first "autosave.rgaf", a second session at the same time
// "autosave-2.rgaf", and so on. A slot's file whose lock nobody holds was
// left by a session that ended with unsaved work (or was killed): it is
// kept, renamed to a name that says when it was written
// ("autosave-20261208-102300.rgaf"), and never overwritten, until the user
// loads it and that work is safe again. A session's own file is written by
// temporary file and rename, replacing whatever stands at its name (a link
// planted there is replaced, never followed), and removed once the session
// has nothing unsaved.
//
// GL-free; the editor owns one.
class AutosaveFiles {
public:
    // The name a session types to load the newest kept work.
    static constexpr const char* LOAD_NAME = "autosave";
    // Slots tried before a session goes without an autosave.
    static constexpr int MAX_SLOTS = 16;

    // Takes the first free slot in `folder` (ending in "/") and keeps every
    // unlocked slot's file found there. Without a free slot (a missing or
    // read-only folder) the session has no autosave: ready() is false and
    // reason() says why.
    explicit AutosaveFiles(std::string folder);
    // Lets go of the slot's lock; the file stays.
    ~AutosaveFiles();
    AutosaveFiles(const AutosaveFiles&) = delete;
    AutosaveFiles& operator=(const AutosaveFiles&) = delete;

    bool ready() const { return lockFd_ >= 0; }
    const std::string& reason() const { return reason_; }
    // This session's file, "" without a slot.
    const std::string& path() const { return path_; }

    // Writes `animation` to this session's file. Returns false with
    // `reason` set ("disk full", "it is a folder") when it cannot.
    bool write(const Animation& animation, std::string& reason);
    // Removes this session's file when it is a regular file: the session has
    // nothing unsaved.
    void discard();

    // The names (without ".rgaf") of the kept work of earlier sessions,
    // newest first.
    std::vector<std::string> kept() const;
    // Whether an earlier session's work was left in its slot because it
    // could not be moved aside ("autosave" then loads it from there).
    bool leftBehind() const { return leftBehind_; }
    // Whether `name` is one of the kept names this object deals with.
    static bool isKeptName(const std::string& name);
    // Removes the kept file `name` once its work is safe elsewhere.
    void forget(const std::string& name);

private:
    // Moves the unlocked slot file `file` to a kept name, never over
    // another file. False when it stays where it is (no free kept name, or
    // the folder allows neither a hard link nor a rename that refuses to
    // replace): the slot must then not be written.
    bool keep(const std::string& file);

    std::string folder_;
    std::string path_;
    std::string reason_;
    int lockFd_ = -1;
    bool leftBehind_ = false;
};

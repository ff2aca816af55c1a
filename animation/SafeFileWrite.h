#pragma once

#include <string>

// Replaces a file's contents so that no failure can damage what was there.
// The new text goes to a temporary file beside the file it replaces, is
// synced, and only then renamed over it:
//   - a path that is a symbolic link is written through to the file it
//     points at (the link stays a link);
//   - an existing file without write permission, or anything but a regular
//     file, is not replaced;
//   - with `keepBackup`, the replaced contents are first kept as
//     "<path>.bak" (one level; the backup's name is cut to fit the file
//     system's limit when the path's own name nearly fills it);
//   - the temporary file has a short name of its own, so every name that
//     fits the file system can be written.
// Returns false, with every existing file as it was and no temporary file
// left behind, when any step fails (a missing or read-only folder, a full
// disk); prints nothing.
// `reason` gets the cause in a few words, without the path ("the folder is
// read-only", "disk full", "it is a folder").
//
// With `links` set to AtLink::Replace, a link at `path` is not followed but
// replaced by the new file, its target untouched: for files the program
// writes on its own (the autosave), where a link planted by someone else
// must not aim the write at another file.
enum class AtLink { Follow, Replace };
bool writeFileSafely(const std::string& path, const std::string& text, bool keepBackup,
                     std::string* reason = nullptr, AtLink links = AtLink::Follow);

// The cause of a failed file operation with error number `error`, in the
// words writeFileSafely gives.
std::string writeFailureCause(int error);

// Makes a write past the process's file-size limit fail as a write error
// (which writeFileSafely reports and cleans up after) instead of killing the
// process. Every program that saves calls it once at start.
void ignoreFileSizeSignal();

// The name a backup of `path` is kept under: "<path>.bak", its last part
// cut so that it stays within `nameMax` characters.
std::string backupPathFor(const std::string& path, long nameMax);

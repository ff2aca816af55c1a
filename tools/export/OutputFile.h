#pragma once

#include <string>
#include <string_view>

// Writes `bytes` to `path` so that no reader ever sees half a file: they go
// to a temporary file in the same folder, which replaces `path` only once
// every byte is on disk. The new file gets the old one's permissions, or
// those a fresh file gets under the umask. Returns false with `error` set
// (the reason, without the path), leaving `path` as it was and no temporary
// file behind, on any failure.
bool writeFileReplacing(const std::string& path, std::string_view bytes, std::string& error);

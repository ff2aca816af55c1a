#pragma once

#include <cstddef>
#include <string>

// Reads the whole file at `path` into `text`, safely for a program that must
// never stall or run out of memory on a bad name: the file is opened without
// blocking, so a pipe or a device never holds the program up, and only a
// regular file of at most `maxBytes` is read (a link to one is fine).
// Otherwise `text` stays empty, `reason` says why in a few words ("not a
// regular file", "larger than 128 MB", "No such file or directory"), and the result
// tells a file that could not be opened at all from one refused.
enum class FileRead { Done, CannotOpen, Refused };
FileRead readRegularFile(const std::string& path, std::size_t maxBytes, std::string& text,
                         std::string& reason);

// `bytes` for people: "128 MB", "900 kB", "12 bytes".
std::string sizeText(std::size_t bytes);

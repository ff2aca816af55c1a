#pragma once

#include <string>

// True when `a` and `b` name one existing file (through links, other
// spellings, hard links): an output that would replace one of the tool's
// own inputs. False when either does not exist.
bool sameFile(const std::string& a, const std::string& b);

#pragma once

#include <string>
#include <string_view>

// `bytes` in the standard base64 alphabet with "=" padding (RFC 4648), as a
// data: URI carries an embedded buffer.
std::string base64Encode(std::string_view bytes);

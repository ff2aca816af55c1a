#include "tools/export/Base64.h"

std::string base64Encode(std::string_view bytes) {
    static const char ALPHABET[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const unsigned v = static_cast<unsigned char>(bytes[i]) << 16 |
                           static_cast<unsigned char>(bytes[i + 1]) << 8 |
                           static_cast<unsigned char>(bytes[i + 2]);
        out += ALPHABET[v >> 18 & 63];
        out += ALPHABET[v >> 12 & 63];
        out += ALPHABET[v >> 6 & 63];
        out += ALPHABET[v & 63];
    }
    const std::size_t left = bytes.size() - i;
    if (left > 0) {
        unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
        if (left == 2) {
            v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        }
        out += ALPHABET[v >> 18 & 63];
        out += ALPHABET[v >> 12 & 63];
        out += left == 2 ? ALPHABET[v >> 6 & 63] : '=';
        out += '=';
    }
    return out;
}

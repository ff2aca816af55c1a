#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

// Runs one check on a fuzzer input. A broken property is reported like a
// crash (abort), so libFuzzer saves the input and the run fails.
inline int runCheck(std::string (*check)(std::string_view), const uint8_t* data, size_t size) {
    const std::string broken = check(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!broken.empty()) {
        std::fprintf(stderr, "broken property: %s\n", broken.c_str());
        std::abort();
    }
    return 0;
}

// The program's side: finding and loading the encoders' module once.
#include "render/EncoderPlugin.h"

#include <cstdlib>
#include <dlfcn.h>
#include <mutex>
#include <unistd.h>
#include <vector>

namespace {

std::string programFolder() {
    std::string path(4096, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (n <= 0)
        return "";
    path.resize(static_cast<std::size_t>(n));
    return path.substr(0, path.rfind('/') + 1);
}

// The entry point, or nullptr with `error` set; tried once per process.
OpenFrameSinkEntry loadEntry(std::string& error) {
    static std::once_flag once;
    static OpenFrameSinkEntry entry = nullptr;
    static std::string failure;
    std::call_once(once, [] {
        std::vector<std::string> places;
        if (const char* given = std::getenv("KINEMORPH_ENCODERS"); given && *given)
            places.push_back(given);
        const std::string folder = programFolder();
        places.push_back(folder + ENCODER_MODULE);
        places.push_back(folder + "../lib/kinemorph/modules/" + ENCODER_MODULE);
        for (const std::string& place : places) {
            // Kept for the life of the process: sinks it made may outlive
            // any one render.
            if (void* module = ::dlopen(place.c_str(), RTLD_NOW | RTLD_LOCAL)) {
                entry = reinterpret_cast<OpenFrameSinkEntry>(::dlsym(module, ENCODER_ENTRY));
                if (entry)
                    return;
                failure = std::string(ENCODER_MODULE) + " has no " + ENCODER_ENTRY;
                return;
            }
            const char* why = ::dlerror();
            failure = why ? why : "not found";
        }
        failure = "the video encoders cannot be loaded: " + failure;
    });
    error = failure;
    return entry;
}

} // namespace

std::unique_ptr<FrameSink> openFrameSinkFromModule(OutputKind kind, const std::string& path,
                                                   const SinkSettings& settings,
                                                   std::string& error) {
    const OpenFrameSinkEntry entry = loadEntry(error);
    if (!entry)
        return nullptr;
    return std::unique_ptr<FrameSink>(entry(kind, path, settings, error));
}

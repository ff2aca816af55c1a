// The module's side: the one entry point, exported with C linkage so the
// loader finds it by name.
#include "render/EncoderPlugin.h"

extern "C" __attribute__((visibility("default"))) FrameSink*
kinemorphOpenFrameSink(OutputKind kind, const std::string& path, const SinkSettings& settings,
                       std::string& error) {
    return openFrameSink(kind, path, settings, error).release();
}

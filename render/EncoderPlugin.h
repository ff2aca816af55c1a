#pragma once

#include "render/FrameSink.h"

#include <memory>
#include <string>

// The encoders live in a module of their own, loaded the first time the
// editor renders: FFmpeg's libraries and the codecs they bring are many,
// and a program that links them all waits for every one at each start.
// kinemorph-render links the encoders directly and needs none of this.

// The file name of the module, and the one function it exports.
inline const char* const ENCODER_MODULE = "libkinemorph-encoders.so";
inline const char* const ENCODER_ENTRY = "kinemorphOpenFrameSink";
// The entry's type: openFrameSink (FrameSink.h), returning a sink the
// caller owns (nullptr with `error` set on failure).
using OpenFrameSinkEntry = FrameSink* (*)(OutputKind kind, const std::string& path,
                                          const SinkSettings& settings, std::string& error);

// openFrameSink through the module: looked for in $KINEMORPH_ENCODERS (a
// file), beside the running program, then in ../lib/kinemorph/modules/ from it (an
// install); loaded once and kept. Returns nullptr with a one-line `error`
// when the module cannot be found or loaded, or the sink cannot open.
std::unique_ptr<FrameSink> openFrameSinkFromModule(OutputKind kind, const std::string& path,
                                                   const SinkSettings& settings,
                                                   std::string& error);

#pragma once

#include <functional>
#include <string>

struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVIOContext;
struct AVPacket;
struct AVStream;

// Small pieces every encoder here shares on top of FFmpeg's libraries.

// FFmpeg's text for an error code ("Invalid argument").
std::string ffmpegError(int code);

// Keeps FFmpeg's own log quiet below errors of its own making: the tools
// say what went wrong in one line of their own. Process-wide, idempotent.
void quietFfmpegLog();

// Sends `frame` (nullptr: the end) to `codec` and writes every packet that
// comes out into `stream` of `muxer`, in the stream's time base, after
// `prepare` (may be empty) has seen it. `packet` is the scratch packet to
// use. False with a one-line `error` about the `what` ("video", "GIF").
bool encodeAndWrite(AVCodecContext* codec, const AVFrame* frame, AVFormatContext* muxer,
                    AVStream* stream, AVPacket* packet,
                    const std::function<void(AVPacket&)>& prepare, const std::string& what,
                    std::string& error);

class MemoryOutput;

// Writes `muxer`'s trailer and hands the whole file, held by `output`, to
// `bytes`. False with a one-line `error` about the `what`.
bool finishFile(AVFormatContext* muxer, MemoryOutput& output, const std::string& what,
                std::string& bytes, std::string& error);

// A seekable output that FFmpeg's muxers write into memory, so a finished
// file reaches the disk in one safe write and a failed or interrupted one
// never does. (An MP4 muxer seeks back to fill in its index.) Writes past
// 2 GB fail as a file too large would.
class MemoryOutput {
public:
    MemoryOutput();
    ~MemoryOutput();
    MemoryOutput(const MemoryOutput&) = delete;
    MemoryOutput& operator=(const MemoryOutput&) = delete;

    // The context to put into AVFormatContext::pb; nullptr when out of
    // memory. Stays owned by this object.
    AVIOContext* context() { return context_; }
    // Everything written so far, after flushing the context's buffer.
    const std::string& bytes();

private:
    static int write(void* opaque, const unsigned char* data, int size);
    static long long seek(void* opaque, long long offset, int whence);

    AVIOContext* context_ = nullptr;
    std::string data_;
    std::size_t position_ = 0;
};

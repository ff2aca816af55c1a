#include "render/FfmpegSupport.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavformat/avio.h>
#include <libavutil/error.h>
#include <libavutil/log.h>
#include <libavutil/mem.h>
}

#include <cstring>

namespace {
constexpr int IO_BUFFER_BYTES = 1 << 16;
// A file held in memory grows no further: far beyond any clip worth
// sharing, and short of what the machine can hold.
constexpr std::size_t MAX_MEMORY_FILE_BYTES = std::size_t{2} << 30;

// FFmpeg 6.1 made the written bytes const; older versions take them
// mutable. The adapter keeps one callback for both.
#if LIBAVFORMAT_VERSION_MAJOR >= 61
using WriteBytes = const uint8_t*;
#else
using WriteBytes = uint8_t*;
#endif
} // namespace

std::string ffmpegError(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

void quietFfmpegLog() {
    av_log_set_level(AV_LOG_QUIET);
}

bool encodeAndWrite(AVCodecContext* codec, const AVFrame* frame, AVFormatContext* muxer,
                    AVStream* stream, AVPacket* packet,
                    const std::function<void(AVPacket&)>& prepare, const std::string& what,
                    std::string& error) {
    int status = avcodec_send_frame(codec, frame);
    if (status < 0) {
        error = "the " + what + " encoder refused a frame: " + ffmpegError(status);
        return false;
    }
    for (;;) {
        status = avcodec_receive_packet(codec, packet);
        if (status == AVERROR(EAGAIN) || status == AVERROR_EOF) {
            return true;
        }
        if (status < 0) {
            error = "the " + what + " encoder failed: " + ffmpegError(status);
            return false;
        }
        if (prepare) {
            prepare(*packet);
        }
        av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
        packet->stream_index = stream->index;
        status = av_interleaved_write_frame(muxer, packet);
        if (status < 0) {
            error = "cannot write the " + what + ": " + ffmpegError(status);
            return false;
        }
    }
}

bool finishFile(AVFormatContext* muxer, MemoryOutput& output, const std::string& what,
                std::string& bytes, std::string& error) {
    const int status = av_write_trailer(muxer);
    if (status < 0) {
        error = "cannot finish the " + what + ": " + ffmpegError(status);
        return false;
    }
    bytes = output.bytes();
    return true;
}

MemoryOutput::MemoryOutput() {
    auto* buffer = static_cast<unsigned char*>(av_malloc(IO_BUFFER_BYTES));
    if (!buffer) {
        return;
    }
    auto writeAdapter = [](void* opaque, WriteBytes data, int size) {
        return write(opaque, data, size);
    };
    auto seekAdapter = [](void* opaque, int64_t offset, int whence) -> int64_t {
        return seek(opaque, offset, whence);
    };
    context_ =
        avio_alloc_context(buffer, IO_BUFFER_BYTES, 1, this, nullptr, writeAdapter, seekAdapter);
    if (!context_) {
        av_free(buffer);
    }
}

MemoryOutput::~MemoryOutput() {
    if (context_) {
        av_freep(&context_->buffer);
        avio_context_free(&context_);
    }
}

const std::string& MemoryOutput::bytes() {
    if (context_) {
        avio_flush(context_);
    }
    return data_;
}

int MemoryOutput::write(void* opaque, const unsigned char* data, int size) {
    auto* self = static_cast<MemoryOutput*>(opaque);
    if (size <= 0) {
        return 0;
    }
    const std::size_t end = self->position_ + static_cast<std::size_t>(size);
    if (end > MAX_MEMORY_FILE_BYTES) {
        return AVERROR(EFBIG);
    }
    if (end > self->data_.size()) {
        self->data_.resize(end);
    }
    std::memcpy(&self->data_[self->position_], data, static_cast<std::size_t>(size));
    self->position_ = end;
    return size;
}

long long MemoryOutput::seek(void* opaque, long long offset, int whence) {
    auto* self = static_cast<MemoryOutput*>(opaque);
    const long long size = static_cast<long long>(self->data_.size());
    long long target = 0;
    switch (whence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE:
        return size;
    case SEEK_SET:
        target = offset;
        break;
    case SEEK_CUR:
        target = static_cast<long long>(self->position_) + offset;
        break;
    case SEEK_END:
        target = size + offset;
        break;
    default:
        return AVERROR(EINVAL);
    }
    if (target < 0) {
        return AVERROR(EINVAL);
    }
    // Seeking past the end is allowed; the gap fills with zeros when
    // written, as a file's would.
    self->position_ = static_cast<std::size_t>(target);
    return target;
}

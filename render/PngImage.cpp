#include "render/PngImage.h"

#include "render/FfmpegSupport.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

#include <memory>

namespace {
struct CodecFree {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct FrameFree {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketFree {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
} // namespace

bool encodePng(const RgbaImage& image, std::string& bytes, std::string& error) {
    quietFfmpegLog();
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() != static_cast<std::size_t>(image.stride()) * image.height) {
        error = "an empty picture cannot be a PNG file";
        return false;
    }
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_PNG);
    if (!codec) {
        error = "this FFmpeg has no PNG encoder";
        return false;
    }
    std::unique_ptr<AVCodecContext, CodecFree> context(avcodec_alloc_context3(codec));
    std::unique_ptr<AVFrame, FrameFree> frame(av_frame_alloc());
    std::unique_ptr<AVPacket, PacketFree> packet(av_packet_alloc());
    if (!context || !frame || !packet) {
        error = "out of memory encoding a PNG file";
        return false;
    }
    context->width = image.width;
    context->height = image.height;
    context->pix_fmt = AV_PIX_FMT_RGBA;
    context->time_base = AVRational{1, 1};
    int status = avcodec_open2(context.get(), codec, nullptr);
    if (status < 0) {
        error = "cannot open the PNG encoder: " + ffmpegError(status);
        return false;
    }
    frame->format = AV_PIX_FMT_RGBA;
    frame->width = image.width;
    frame->height = image.height;
    frame->data[0] = const_cast<uint8_t*>(image.pixels.data());
    frame->linesize[0] = image.stride();
    if ((status = avcodec_send_frame(context.get(), frame.get())) < 0 ||
        (status = avcodec_receive_packet(context.get(), packet.get())) < 0) {
        error = "cannot encode the PNG file: " + ffmpegError(status);
        return false;
    }
    bytes.assign(reinterpret_cast<const char*>(packet->data),
                 static_cast<std::size_t>(packet->size));
    return true;
}

#include "MediaReader.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

// A decoded frame as RGBA, through the colour matrix and range it is
// tagged with (BT.601 when untagged, as players assume).
RgbaImage toRgba(const AVFrame* frame) {
    RgbaImage image(frame->width, frame->height);
    SwsContext* scaler = sws_getContext(
        frame->width, frame->height, static_cast<AVPixelFormat>(frame->format), frame->width,
        frame->height, AV_PIX_FMT_RGBA, SWS_BILINEAR | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INT,
        nullptr, nullptr, nullptr);
    const int space = frame->colorspace == AVCOL_SPC_BT709 ? SWS_CS_ITU709 : SWS_CS_DEFAULT;
    const int* table = sws_getCoefficients(space);
    sws_setColorspaceDetails(scaler, table, frame->color_range == AVCOL_RANGE_JPEG, table, 1, 0,
                             1 << 16, 1 << 16);
    uint8_t* target[1] = {image.pixels.data()};
    const int stride[1] = {image.stride()};
    sws_scale(scaler, frame->data, frame->linesize, 0, frame->height, target, stride);
    sws_freeContext(scaler);
    return image;
}

} // namespace

bool readMedia(const std::string& path, bool decode, MediaInfo& info, std::string& error) {
    info = MediaInfo();
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0) {
        error = "cannot open " + path;
        return false;
    }
    bool ok = false;
    AVCodecContext* decoder = nullptr;
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    do {
        if (avformat_find_stream_info(format, nullptr) < 0 || format->nb_streams < 1) {
            error = "no stream in " + path;
            break;
        }
        const AVStream* stream = format->streams[0];
        const AVCodecParameters* par = stream->codecpar;
        info.codec = avcodec_get_name(par->codec_id);
        info.width = par->width;
        info.height = par->height;
        const char* pixelFormat = av_get_pix_fmt_name(static_cast<AVPixelFormat>(par->format));
        info.pixelFormat = pixelFormat ? pixelFormat : "";
        info.colourRange = par->color_range;
        info.colourSpace = par->color_space;
        info.primaries = par->color_primaries;
        info.transfer = par->color_trc;
        for (const AVDictionaryEntry* tag = nullptr;
             (tag = av_dict_get(stream->metadata, "", tag, AV_DICT_IGNORE_SUFFIX));) {
            info.streamTags[tag->key] = tag->value;
        }
        if (decode) {
            const AVCodec* codec = avcodec_find_decoder(par->codec_id);
            decoder = codec ? avcodec_alloc_context3(codec) : nullptr;
            if (!decoder || avcodec_parameters_to_context(decoder, par) < 0 ||
                avcodec_open2(decoder, codec, nullptr) < 0) {
                error = "cannot decode " + path;
                break;
            }
        }
        const double tick = av_q2d(stream->time_base);
        std::vector<std::pair<double, double>> timing;
        auto receive = [&] {
            while (avcodec_receive_frame(decoder, frame) >= 0) {
                info.frames.push_back(toRgba(frame));
                av_frame_unref(frame);
            }
        };
        ok = true;
        while (av_read_frame(format, packet) >= 0) {
            if (packet->stream_index == 0) {
                timing.emplace_back(packet->pts * tick, packet->duration * tick);
                if (decoder && avcodec_send_packet(decoder, packet) >= 0) {
                    receive();
                }
            }
            av_packet_unref(packet);
        }
        if (decoder) {
            avcodec_send_packet(decoder, nullptr);
            receive();
        }
        std::sort(timing.begin(), timing.end());
        for (const auto& [time, duration] : timing) {
            info.times.push_back(time);
            info.durations.push_back(duration);
        }
    } while (false);
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&decoder);
    avformat_close_input(&format);
    return ok;
}

namespace {
// No channel of a pixel within two of (x, y) differs from its own by more
// than a smooth gradient's step.
bool smoothAround(const RgbaImage& image, int x, int y) {
    constexpr int SHARP = 16;
    const uint8_t* centre = &image.pixels[(static_cast<std::size_t>(y) * image.width + x) * 4];
    for (int v = std::max(0, y - 2); v <= std::min(image.height - 1, y + 2); ++v) {
        for (int u = std::max(0, x - 2); u <= std::min(image.width - 1, x + 2); ++u) {
            const uint8_t* p = &image.pixels[(static_cast<std::size_t>(v) * image.width + u) * 4];
            for (int c = 0; c < 3; ++c) {
                if (std::abs(int(p[c]) - int(centre[c])) > SHARP) {
                    return false;
                }
            }
        }
    }
    return true;
}
} // namespace

double psnr(const RgbaImage& a, const RgbaImage& b, bool awayFromEdges) {
    if (a.width != b.width || a.height != b.height || a.pixels.size() != b.pixels.size()) {
        return 0;
    }
    double squares = 0;
    std::size_t count = 0;
    for (int y = 0; y < a.height; ++y) {
        for (int x = 0; x < a.width; ++x) {
            if (awayFromEdges && !smoothAround(a, x, y)) {
                continue;
            }
            const std::size_t at = (static_cast<std::size_t>(y) * a.width + x) * 4;
            for (int c = 0; c < 3; ++c) {
                const double d = double(a.pixels[at + c]) - double(b.pixels[at + c]);
                squares += d * d;
                ++count;
            }
        }
    }
    if (squares == 0) {
        return std::numeric_limits<double>::infinity();
    }
    return 10 * std::log10(255.0 * 255.0 / (squares / count));
}

#include "render/VideoEncoder.h"

#include "render/FfmpegSupport.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

namespace {

// Ticks per second the frame rate is expressed in: 29.97 becomes
// 30000/1001 exactly, any rate a command line gives stays within a tick.
constexpr int FRAME_RATE_PRECISION = 1001000;

struct FormatTraits {
    const char* muxer;
    const char* codec;
};

FormatTraits traitsOf(VideoFormat format) {
    return format == VideoFormat::Mp4 ? FormatTraits{"mp4", "libx264"}
                                      : FormatTraits{"webm", "libvpx-vp9"};
}

// Settings the renders were tuned with. H.264: the quickest preset that
// still codes with CABAC; it takes about 3 ms a 1280 x 720 frame on two
// cores (twice as fast as the next preset, for files about 2.5 times as
// large, some 70 KB a second), and the frames keep about 39 dB of PSNR at
// that size, most of the loss at the thin fins' edges, where 4:2:0 halves
// the colour.
void tuneCodec(VideoFormat format, AVCodecContext* codec, bool alpha) {
    if (format == VideoFormat::Mp4) {
        av_opt_set(codec->priv_data, "preset", "superfast", 0);
        av_opt_set(codec->priv_data, "tune", "animation", 0);
        av_opt_set(codec->priv_data, "crf", "20", 0);
    } else {
        av_opt_set(codec->priv_data, "deadline", "realtime", 0);
        av_opt_set(codec->priv_data, "cpu-used", "8", 0);
        av_opt_set(codec->priv_data, "row-mt", "1", 0);
        av_opt_set(codec->priv_data, "crf", "30", 0);
        codec->bit_rate = 0;
        // The alpha plane is encoded as a second stream of its own, which
        // alternate reference frames would put out of step.
        if (alpha) {
            av_opt_set(codec->priv_data, "auto-alt-ref", "0", 0);
        }
    }
}

} // namespace

struct VideoEncoder::Parts {
    VideoFormat format = VideoFormat::Mp4;
    VideoSettings settings;
    MemoryOutput output;
    AVFormatContext* muxer = nullptr;
    AVCodecContext* codec = nullptr;
    AVStream* stream = nullptr;
    SwsContext* scaler = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    int64_t nextPts = 0;

    ~Parts() {
        av_packet_free(&packet);
        av_frame_free(&frame);
        sws_freeContext(scaler);
        avcodec_free_context(&codec);
        if (muxer) {
            muxer->pb = nullptr; // owned by `output`
            avformat_free_context(muxer);
        }
    }
};

VideoEncoder::VideoEncoder(std::unique_ptr<Parts> parts) : parts_(std::move(parts)) {}
VideoEncoder::~VideoEncoder() = default;

std::unique_ptr<VideoEncoder> VideoEncoder::open(VideoFormat format, const VideoSettings& settings,
                                                 std::string& error) {
    quietFfmpegLog();
    const FormatTraits traits = traitsOf(format);
    if (settings.width <= 0 || settings.height <= 0) {
        error = "the video needs a size of at least 1 x 1";
        return nullptr;
    }
    // H.264 in 4:2:0 halves both sides for colour; it has no alpha.
    if (format == VideoFormat::Mp4 &&
        (settings.width % 2 || settings.height % 2 || settings.alpha)) {
        error = "an MP4 video needs an even width and height and no alpha";
        return nullptr;
    }
    auto p = std::make_unique<Parts>();
    p->format = format;
    p->settings = settings;
    const AVCodec* codec = avcodec_find_encoder_by_name(traits.codec);
    if (!codec) {
        error = std::string("this FFmpeg has no ") + traits.codec + " encoder";
        return nullptr;
    }
    int status = avformat_alloc_output_context2(&p->muxer, nullptr, traits.muxer, nullptr);
    if (status < 0 || !p->output.context()) {
        error = std::string("cannot set up the ") + traits.muxer + " writer";
        return nullptr;
    }
    p->muxer->pb = p->output.context();
    p->stream = avformat_new_stream(p->muxer, nullptr);
    p->codec = avcodec_alloc_context3(codec);
    p->frame = av_frame_alloc();
    p->packet = av_packet_alloc();
    if (!p->stream || !p->codec || !p->frame || !p->packet) {
        error = "out of memory setting up the video encoder";
        return nullptr;
    }

    const AVRational rate = av_d2q(settings.fps, FRAME_RATE_PRECISION);
    AVCodecContext* c = p->codec;
    c->width = settings.width;
    c->height = settings.height;
    c->time_base = av_inv_q(rate);
    c->framerate = rate;
    c->sample_aspect_ratio = AVRational{1, 1};
    c->pix_fmt = settings.alpha ? AV_PIX_FMT_YUVA420P : AV_PIX_FMT_YUV420P;
    c->color_range = AVCOL_RANGE_MPEG;
    c->colorspace = AVCOL_SPC_BT709;
    c->color_primaries = AVCOL_PRI_BT709;
    c->color_trc = AVCOL_TRC_BT709;
    if (p->muxer->oformat->flags & AVFMT_GLOBALHEADER) {
        c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    tuneCodec(format, c, settings.alpha);
    if ((status = avcodec_open2(c, codec, nullptr)) < 0) {
        error = std::string("cannot open the ") + traits.codec + " encoder: " + ffmpegError(status);
        return nullptr;
    }
    if ((status = avcodec_parameters_from_context(p->stream->codecpar, c)) < 0) {
        error = "cannot describe the video stream: " + ffmpegError(status);
        return nullptr;
    }
    p->stream->time_base = c->time_base;
    p->stream->avg_frame_rate = rate;

    // Colour is averaged over each 2 x 2 block (area filter): the thin
    // fins of the bones keep more of their colour than with a bilinear one.
    p->scaler = sws_getContext(
        settings.width, settings.height, AV_PIX_FMT_RGBA, settings.width, settings.height,
        c->pix_fmt, SWS_AREA | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INP, nullptr, nullptr, nullptr);
    if (!p->scaler) {
        error = "cannot set up the colour conversion";
        return nullptr;
    }
    // RGB in full range to BT.709 limited range: the matrix the stream is
    // tagged with, so players show the colours that were drawn.
    const int* bt709 = sws_getCoefficients(SWS_CS_ITU709);
    sws_setColorspaceDetails(p->scaler, bt709, 1, bt709, 0, 0, 1 << 16, 1 << 16);

    p->frame->format = c->pix_fmt;
    p->frame->width = c->width;
    p->frame->height = c->height;
    p->frame->color_range = c->color_range;
    p->frame->colorspace = c->colorspace;
    p->frame->color_primaries = c->color_primaries;
    p->frame->color_trc = c->color_trc;
    if ((status = av_frame_get_buffer(p->frame, 0)) < 0) {
        error = "out of memory for a video frame";
        return nullptr;
    }

    AVDictionary* options = nullptr;
    // The container's own colour box, beside the stream's tags.
    if (format == VideoFormat::Mp4) {
        av_dict_set(&options, "movflags", "+write_colr", 0);
    }
    status = avformat_write_header(p->muxer, &options);
    av_dict_free(&options);
    if (status < 0) {
        error = std::string("cannot start the ") + traits.muxer + " file: " + ffmpegError(status);
        return nullptr;
    }
    return std::unique_ptr<VideoEncoder>(new VideoEncoder(std::move(p)));
}

bool VideoEncoder::addFrame(const RgbaImage& image, std::string& error) {
    Parts& p = *parts_;
    if (image.width != p.settings.width || image.height != p.settings.height ||
        image.pixels.size() != static_cast<std::size_t>(image.stride()) * image.height) {
        error = "a frame of the wrong size reached the video encoder";
        return false;
    }
    // The codec may still hold the last frame's buffer for reference.
    int status = av_frame_make_writable(p.frame);
    if (status < 0) {
        error = "out of memory for a video frame";
        return false;
    }
    const uint8_t* source[1] = {image.pixels.data()};
    const int sourceStride[1] = {image.stride()};
    sws_scale(p.scaler, source, sourceStride, 0, image.height, p.frame->data, p.frame->linesize);
    p.frame->pts = p.nextPts++;
    return encode(false, error);
}

bool VideoEncoder::encode(bool end, std::string& error) {
    Parts& p = *parts_;
    return encodeAndWrite(p.codec, end ? nullptr : p.frame, p.muxer, p.stream, p.packet, {},
                          "video", error);
}

bool VideoEncoder::finish(std::string& bytes, std::string& error) {
    Parts& p = *parts_;
    return encode(true, error) && finishFile(p.muxer, p.output, "video", bytes, error);
}

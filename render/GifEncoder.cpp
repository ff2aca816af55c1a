#include "render/GifEncoder.h"

#include "render/FfmpegSupport.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavformat/avformat.h>
}

#include <numeric>

namespace {

// The frames' times count centiseconds, as a GIF's delays do.
const AVRational GIF_TIME_BASE{1, 100};
// The palette leaves one entry transparent even for an opaque clip: the
// encoder then codes the pixels a frame leaves unchanged as that entry,
// which keeps the file small.
const char* const PALETTE_OPTIONS = "max_colors=256:reserve_transparent=1:stats_mode=full";
// Ordered dithering stays put where a frame does not change, so unchanged
// pixels stay unchanged codes; error diffusion would stir them.
const char* const MAPPING_OPTIONS = "dither=bayer:bayer_scale=3:alpha_threshold=128";

AVFilterContext* addFilter(AVFilterGraph* graph, const char* filter, const char* name,
                           const std::string& options) {
    AVFilterContext* context = nullptr;
    const AVFilter* kind = avfilter_get_by_name(filter);
    if (!kind ||
        avfilter_graph_create_filter(&context, kind, name, options.c_str(), nullptr, graph) < 0) {
        return nullptr;
    }
    return context;
}

std::string sourceOptions(int width, int height, AVPixelFormat format) {
    return "video_size=" + std::to_string(width) + "x" + std::to_string(height) +
           ":pix_fmt=" + std::to_string(format) + ":time_base=1/100:pixel_aspect=1/1";
}

} // namespace

struct GifEncoder::Parts {
    int width = 0, height = 0;
    std::vector<int> delays;
    AVFilterGraph* paletteGraph = nullptr;
    AVFilterContext* paletteSource = nullptr;
    AVFilterContext* paletteSink = nullptr;
    AVFrame* palette = nullptr;
    AVFilterGraph* mapGraph = nullptr;
    AVFilterContext* frameSource = nullptr;
    AVFilterContext* mapSink = nullptr;
    MemoryOutput output;
    AVFormatContext* muxer = nullptr;
    AVStream* stream = nullptr;
    AVCodecContext* codec = nullptr;
    AVFrame* input = nullptr;
    AVFrame* mapped = nullptr;
    AVPacket* packet = nullptr;
    std::size_t paletteFrames = 0, frames = 0, packets = 0;
    bool started = false, finished = false;

    int64_t ptsOf(std::size_t k) const {
        return std::accumulate(delays.begin(), delays.begin() + static_cast<long>(k), int64_t{0});
    }

    ~Parts() {
        av_packet_free(&packet);
        av_frame_free(&mapped);
        av_frame_free(&input);
        av_frame_free(&palette);
        avcodec_free_context(&codec);
        if (muxer) {
            // This FFmpeg's GIF muxer frees the packet it holds back only in
            // its trailer: a render dropped midway closes the file into the
            // memory that is thrown away, or that packet stays behind.
            if (started && !finished) {
                av_write_trailer(muxer);
            }
            muxer->pb = nullptr; // owned by `output`
            avformat_free_context(muxer);
        }
        avfilter_graph_free(&mapGraph);
        avfilter_graph_free(&paletteGraph);
    }
};

GifEncoder::GifEncoder(std::unique_ptr<Parts> parts) : parts_(std::move(parts)) {}
GifEncoder::~GifEncoder() = default;

std::unique_ptr<GifEncoder> GifEncoder::open(int width, int height, const std::vector<int>& delays,
                                             std::string& error) {
    quietFfmpegLog();
    if (width <= 0 || height <= 0 || width > MAX_GIF_SIDE || height > MAX_GIF_SIDE ||
        delays.empty()) {
        error = "a GIF needs a size from 1 x 1 to 65535 x 65535 and at least one frame";
        return nullptr;
    }
    auto p = std::make_unique<Parts>();
    p->width = width;
    p->height = height;
    p->delays = delays;
    p->paletteGraph = avfilter_graph_alloc();
    p->input = av_frame_alloc();
    p->mapped = av_frame_alloc();
    p->palette = av_frame_alloc();
    p->packet = av_packet_alloc();
    if (!p->paletteGraph || !p->input || !p->mapped || !p->palette || !p->packet) {
        error = "out of memory setting up the GIF encoder";
        return nullptr;
    }
    p->paletteSource = addFilter(p->paletteGraph, "buffer", "frames",
                                 sourceOptions(width, height, AV_PIX_FMT_RGBA));
    AVFilterContext* generator =
        addFilter(p->paletteGraph, "palettegen", "palette", PALETTE_OPTIONS);
    p->paletteSink = addFilter(p->paletteGraph, "buffersink", "out", "");
    if (!p->paletteSource || !generator || !p->paletteSink ||
        avfilter_link(p->paletteSource, 0, generator, 0) < 0 ||
        avfilter_link(generator, 0, p->paletteSink, 0) < 0 ||
        avfilter_graph_config(p->paletteGraph, nullptr) < 0) {
        error = "this FFmpeg cannot make GIF palettes (libavfilter's palettegen)";
        return nullptr;
    }

    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_GIF);
    if (!codec || avformat_alloc_output_context2(&p->muxer, nullptr, "gif", nullptr) < 0 ||
        !p->output.context()) {
        error = "this FFmpeg cannot write GIF files";
        return nullptr;
    }
    p->muxer->pb = p->output.context();
    p->stream = avformat_new_stream(p->muxer, nullptr);
    p->codec = avcodec_alloc_context3(codec);
    if (!p->stream || !p->codec) {
        error = "out of memory setting up the GIF encoder";
        return nullptr;
    }
    p->codec->width = width;
    p->codec->height = height;
    p->codec->pix_fmt = AV_PIX_FMT_PAL8;
    p->codec->time_base = GIF_TIME_BASE;
    p->codec->sample_aspect_ratio = AVRational{1, 1};
    int status = avcodec_open2(p->codec, codec, nullptr);
    if (status < 0 || avcodec_parameters_from_context(p->stream->codecpar, p->codec) < 0) {
        error = "cannot open the GIF encoder: " + ffmpegError(status);
        return nullptr;
    }
    p->stream->time_base = GIF_TIME_BASE;
    return std::unique_ptr<GifEncoder>(new GifEncoder(std::move(p)));
}

bool GifEncoder::addPaletteFrame(const RgbaImage& image, std::string& error) {
    Parts& p = *parts_;
    return push(p.paletteSource, image, p.ptsOf(p.paletteFrames++), error);
}

bool GifEncoder::beginFrames(std::string& error) {
    Parts& p = *parts_;
    if (av_buffersrc_add_frame(p.paletteSource, nullptr) < 0 ||
        av_buffersink_get_frame(p.paletteSink, p.palette) < 0) {
        error = "cannot make the GIF's palette";
        return false;
    }
    avfilter_graph_free(&p.paletteGraph);

    p.mapGraph = avfilter_graph_alloc();
    if (!p.mapGraph) {
        error = "out of memory setting up the GIF encoder";
        return false;
    }
    p.frameSource = addFilter(p.mapGraph, "buffer", "frames",
                              sourceOptions(p.width, p.height, AV_PIX_FMT_RGBA));
    AVFilterContext* paletteInput =
        addFilter(p.mapGraph, "buffer", "palette",
                  sourceOptions(p.palette->width, p.palette->height,
                                static_cast<AVPixelFormat>(p.palette->format)));
    AVFilterContext* mapping = addFilter(p.mapGraph, "paletteuse", "mapping", MAPPING_OPTIONS);
    p.mapSink = addFilter(p.mapGraph, "buffersink", "out", "");
    if (!p.frameSource || !paletteInput || !mapping || !p.mapSink ||
        avfilter_link(p.frameSource, 0, mapping, 0) < 0 ||
        avfilter_link(paletteInput, 0, mapping, 1) < 0 ||
        avfilter_link(mapping, 0, p.mapSink, 0) < 0 ||
        avfilter_graph_config(p.mapGraph, nullptr) < 0) {
        error = "this FFmpeg cannot map frames onto a palette (libavfilter's paletteuse)";
        return false;
    }
    // The one palette serves every frame: it comes first and its input ends
    // at once, so no frame waits for a later palette.
    p.palette->pts = 0;
    if (av_buffersrc_add_frame(paletteInput, p.palette) < 0 ||
        av_buffersrc_add_frame(paletteInput, nullptr) < 0) {
        error = "the GIF mapping refused the palette";
        return false;
    }

    AVDictionary* options = nullptr;
    av_dict_set(&options, "loop", "0", 0); // forever
    av_dict_set(&options, "final_delay", std::to_string(p.delays.back()).c_str(), 0);
    const int status = avformat_write_header(p.muxer, &options);
    av_dict_free(&options);
    if (status < 0) {
        error = "cannot start the GIF file: " + ffmpegError(status);
        return false;
    }
    p.started = true;
    return true;
}

bool GifEncoder::addFrame(const RgbaImage& image, std::string& error) {
    Parts& p = *parts_;
    if (p.frames >= p.delays.size()) {
        error = "more frames reached the GIF encoder than it has delays for";
        return false;
    }
    return push(p.frameSource, image, p.ptsOf(p.frames++), error) && drainMapped(error);
}

bool GifEncoder::push(AVFilterContext* source, const RgbaImage& image, int64_t pts,
                      std::string& error) {
    Parts& p = *parts_;
    if (image.width != p.width || image.height != p.height) {
        error = "a frame of the wrong size reached the GIF encoder";
        return false;
    }
    // The buffer source copies the pixels of a frame it does not own.
    p.input->format = AV_PIX_FMT_RGBA;
    p.input->width = image.width;
    p.input->height = image.height;
    p.input->data[0] = const_cast<uint8_t*>(image.pixels.data());
    p.input->linesize[0] = image.stride();
    p.input->pts = pts;
    if (av_buffersrc_add_frame(source, p.input) < 0) {
        error = "libavfilter refused a frame of the GIF";
        return false;
    }
    return true;
}

bool GifEncoder::drainMapped(std::string& error) {
    Parts& p = *parts_;
    for (;;) {
        const int status = av_buffersink_get_frame(p.mapSink, p.mapped);
        if (status == AVERROR(EAGAIN) || status == AVERROR_EOF) {
            return true;
        }
        if (status < 0) {
            error = "the GIF mapping failed: " + ffmpegError(status);
            return false;
        }
        const bool encoded = encode(p.mapped, error);
        av_frame_unref(p.mapped);
        if (!encoded) {
            return false;
        }
    }
}

bool GifEncoder::encode(const AVFrame* frame, std::string& error) {
    Parts& p = *parts_;
    // One packet per frame, in order: the delay is that frame's.
    return encodeAndWrite(
        p.codec, frame, p.muxer, p.stream, p.packet,
        [&p](AVPacket& packet) {
            if (p.packets < p.delays.size()) {
                packet.duration = p.delays[p.packets];
            }
            ++p.packets;
        },
        "GIF", error);
}

bool GifEncoder::finish(std::string& bytes, std::string& error) {
    Parts& p = *parts_;
    if (p.frames != p.delays.size()) {
        error = "the GIF encoder got " + std::to_string(p.frames) + " frames for " +
                std::to_string(p.delays.size()) + " delays";
        return false;
    }
    if (av_buffersrc_add_frame(p.frameSource, nullptr) < 0 || !drainMapped(error) ||
        !encode(nullptr, error)) {
        if (error.empty()) {
            error = "the GIF mapping failed at the end";
        }
        return false;
    }
    if (p.packets != p.delays.size()) {
        error = "the GIF encoder wrote " + std::to_string(p.packets) + " frames of " +
                std::to_string(p.delays.size());
        return false;
    }
    p.finished = true; // the trailer is tried once, whatever it returns
    return finishFile(p.muxer, p.output, "GIF", bytes, error);
}

// The part of the stream muxer that needs FFmpeg's libavformat, built as a
// module of its own: the program loads it (and the hundred-odd libraries
// libavformat brings) only when a recording is joined, not at every start.

#include "engine/muxermodule.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/error.h>
#include <libavutil/mathematics.h>
#include <libavutil/mem.h>
}

#include <fcntl.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <limits>
#include <memory>

namespace dromo {
namespace {

constexpr int kIoBuffer = 64 * 1024;

std::string AvError(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

// A track's pieces read as one stream of bytes, seekable.
class SpanReader {
public:
    SpanReader(const std::string& path, const std::vector<StreamStore::Span>& spans)
        : m_fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC)), m_spans(spans)
    {
        for (const StreamStore::Span& s : m_spans) {
            m_starts.push_back(m_total);
            m_total += s.length;
        }
    }
    ~SpanReader()
    {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    SpanReader(const SpanReader&) = delete;
    SpanReader& operator=(const SpanReader&) = delete;
    bool Ok() const { return m_fd >= 0; }

    static int Read(void* opaque, std::uint8_t* into, int size)
    {
        auto* r = static_cast<SpanReader*>(opaque);
        if (r->m_position >= r->m_total) {
            return AVERROR_EOF;
        }
        // The span that holds the position: the last that starts at or before it.
        const auto next = std::upper_bound(r->m_starts.begin(), r->m_starts.end(), r->m_position);
        const std::size_t i = static_cast<std::size_t>(next - r->m_starts.begin()) - 1;
        const std::int64_t into_span = r->m_position - r->m_starts[i];
        const std::int64_t wanted = std::min<std::int64_t>(size, r->m_spans[i].length - into_span);
        const ssize_t n = ::pread(r->m_fd, into, static_cast<std::size_t>(wanted),
                                  static_cast<off_t>(r->m_spans[i].offset + into_span));
        if (n <= 0) {
            return n == 0 ? AVERROR_EOF : AVERROR(errno);
        }
        r->m_position += n;
        return static_cast<int>(n);
    }

    static std::int64_t Seek(void* opaque, std::int64_t offset, int whence)
    {
        auto* r = static_cast<SpanReader*>(opaque);
        switch (whence & ~AVSEEK_FORCE) {
        case AVSEEK_SIZE: return r->m_total;
        case SEEK_SET: break;
        case SEEK_CUR: offset += r->m_position; break;
        case SEEK_END: offset += r->m_total; break;
        default: return AVERROR(EINVAL);
        }
        if (offset < 0) {
            return AVERROR(EINVAL);
        }
        r->m_position = offset;
        return offset;
    }

private:
    int m_fd;
    std::vector<StreamStore::Span> m_spans;
    std::vector<std::int64_t> m_starts;
    std::int64_t m_total = 0;
    std::int64_t m_position = 0;
};

// One track opened for demuxing, and where its streams go.
struct Input {
    std::unique_ptr<SpanReader> reader;
    AVIOContext* io = nullptr;
    AVFormatContext* format = nullptr;
    std::vector<int> outputOf;  // per input stream; -1: left out
    AVPacket* next = nullptr;   // read ahead, to write in time order
    bool ended = false;

    Input() = default;
    Input(const Input&) = delete;
    Input& operator=(const Input&) = delete;
    ~Input()
    {
        av_packet_free(&next);
        avformat_close_input(&format);  // leaves our own I/O context alone
        if (io != nullptr) {
            av_freep(&io->buffer);
            avio_context_free(&io);
        }
    }

    std::string Open(const std::string& path, const std::vector<StreamStore::Span>& spans)
    {
        reader = std::make_unique<SpanReader>(path, spans);
        auto* buffer = static_cast<unsigned char*>(av_malloc(kIoBuffer));
        if (!reader->Ok() || buffer == nullptr) {
            av_free(buffer);
            return std::string("the recording cannot be read: ") + std::strerror(errno);
        }
        io = avio_alloc_context(buffer, kIoBuffer, 0, reader.get(), SpanReader::Read, nullptr, SpanReader::Seek);
        format = avformat_alloc_context();
        next = av_packet_alloc();
        if (io == nullptr || format == nullptr || next == nullptr) {
            av_free(io == nullptr ? buffer : nullptr);
            return "out of memory";
        }
        format->pb = io;
        int code = avformat_open_input(&format, nullptr, nullptr, nullptr);
        if (code >= 0) {
            code = avformat_find_stream_info(format, nullptr);
        }
        if (code < 0) {
            return "the recorded media cannot be read: " + AvError(code);
        }
        return {};
    }

    // Reads the next packet of a stream that goes out; false at the end.
    bool Advance(std::string& error)
    {
        while (!ended) {
            av_packet_unref(next);
            const int code = av_read_frame(format, next);
            if (code == AVERROR_EOF) {
                ended = true;
            } else if (code < 0) {
                error = "the recorded media cannot be read: " + AvError(code);
                ended = true;
            } else if (next->stream_index < static_cast<int>(outputOf.size()) &&
                       outputOf[static_cast<std::size_t>(next->stream_index)] >= 0) {
                return true;
            }
        }
        return false;
    }

    // The next packet's time, in microseconds, for the order of writing.
    std::int64_t NextTime() const
    {
        const AVStream* s = format->streams[next->stream_index];
        const std::int64_t t = next->dts != AV_NOPTS_VALUE ? next->dts : next->pts;
        return t == AV_NOPTS_VALUE ? std::numeric_limits<std::int64_t>::min()
                                   : av_rescale_q(t, s->time_base, AV_TIME_BASE_Q);
    }
};

bool TakenStream(const AVStream* s)
{
    return s->codecpar->codec_type == AVMEDIA_TYPE_VIDEO || s->codecpar->codec_type == AVMEDIA_TYPE_AUDIO;
}

std::string OpenInputs(const std::string& storePath, const std::vector<std::vector<StreamStore::Span>>& tracks,
                       std::vector<std::unique_ptr<Input>>& inputs)
{
    for (const auto& spans : tracks) {
        inputs.push_back(std::make_unique<Input>());
        std::string error = inputs.back()->Open(storePath, spans);
        if (!error.empty()) {
            return error;
        }
    }
    return {};
}

// The output's muxer and its streams, copied from the inputs' video and audio.
class Output {
public:
    ~Output()
    {
        if (m_format != nullptr) {
            if (m_opened) {
                avio_closep(&m_format->pb);
            }
            avformat_free_context(m_format);
        }
    }

    std::string Open(const std::string& path, const std::string& format, std::vector<std::unique_ptr<Input>>& inputs)
    {
        int code = avformat_alloc_output_context2(&m_format, nullptr, format.c_str(), path.c_str());
        if (code < 0 || m_format == nullptr) {
            return "the file format \"" + format + "\" cannot be written: " + AvError(code);
        }
        for (auto& input : inputs) {
            for (unsigned i = 0; i < input->format->nb_streams; ++i) {
                const AVStream* in = input->format->streams[i];
                if (!TakenStream(in)) {
                    input->outputOf.push_back(-1);
                    continue;
                }
                AVStream* out = avformat_new_stream(m_format, nullptr);
                if (out == nullptr || avcodec_parameters_copy(out->codecpar, in->codecpar) < 0) {
                    return "out of memory";
                }
                out->codecpar->codec_tag = 0;  // the container's own tag
                out->time_base = in->time_base;
                input->outputOf.push_back(out->index);
                m_lastDts.push_back(AV_NOPTS_VALUE);
                m_shift.push_back(0);
            }
        }
        if (m_format->nb_streams == 0) {
            return "the recording holds neither video nor sound";
        }
        code = avio_open(&m_format->pb, path.c_str(), AVIO_FLAG_WRITE);
        if (code < 0) {
            return "the file cannot be written: " + AvError(code);
        }
        m_opened = true;
        code = avformat_write_header(m_format, nullptr);
        return code < 0 ? "the file cannot be written: " + AvError(code) : std::string();
    }

    // Writes a packet of `input`, its time moved by `start` (microseconds).
    std::string Write(Input& input, std::int64_t start)
    {
        AVPacket* p = input.next;
        const AVStream* in = input.format->streams[p->stream_index];
        const int index = input.outputOf[static_cast<std::size_t>(p->stream_index)];
        const AVStream* out = m_format->streams[index];
        const std::int64_t offset = av_rescale_q(start, AV_TIME_BASE_Q, in->time_base);
        if (p->pts != AV_NOPTS_VALUE) {
            p->pts -= offset;
        }
        if (p->dts != AV_NOPTS_VALUE) {
            p->dts -= offset;
        }
        av_packet_rescale_ts(p, in->time_base, out->time_base);
        KeepRising(p, static_cast<std::size_t>(index));
        p->stream_index = index;
        p->pos = -1;
        const int code = av_interleaved_write_frame(m_format, p);
        return code < 0 ? "the file cannot be written: " + AvError(code) : std::string();
    }

    std::string Finish()
    {
        const int code = av_write_trailer(m_format);
        return code < 0 ? "the file cannot be written: " + AvError(code) : std::string();
    }

private:
    // A segment whose clock went back (a discontinuity, or pieces missing
    // from a live recording) is moved on after the last one: a container
    // takes rising times only.
    void KeepRising(AVPacket* p, std::size_t stream)
    {
        if (p->dts == AV_NOPTS_VALUE) {
            return;
        }
        p->dts += m_shift[stream];
        if (p->pts != AV_NOPTS_VALUE) {
            p->pts += m_shift[stream];
        }
        if (m_lastDts[stream] != AV_NOPTS_VALUE && p->dts <= m_lastDts[stream]) {
            const std::int64_t by = m_lastDts[stream] + 1 - p->dts;
            m_shift[stream] += by;
            p->dts += by;
            if (p->pts != AV_NOPTS_VALUE) {
                p->pts += by;
            }
        }
        m_lastDts[stream] = p->dts;
    }

    AVFormatContext* m_format = nullptr;
    bool m_opened = false;
    std::vector<std::int64_t> m_lastDts;
    std::vector<std::int64_t> m_shift;
};

// The earliest start among the tracks, in microseconds: the file starts at
// zero and the tracks keep their places against one another.
std::int64_t CommonStart(const std::vector<std::unique_ptr<Input>>& inputs)
{
    std::int64_t start = std::numeric_limits<std::int64_t>::max();
    for (const auto& input : inputs) {
        if (input->format->start_time != AV_NOPTS_VALUE) {
            start = std::min(start, input->format->start_time);
        }
    }
    return start == std::numeric_limits<std::int64_t>::max() ? 0 : start;
}

bool Fits(const std::string& storePath, const std::vector<std::vector<StreamStore::Span>>& tracks,
          const std::string& format)
{
    const AVOutputFormat* muxer = av_guess_format(format.c_str(), nullptr, nullptr);
    std::vector<std::unique_ptr<Input>> inputs;
    if (muxer == nullptr || !OpenInputs(storePath, tracks, inputs).empty()) {
        return false;
    }
    for (const auto& input : inputs) {
        for (unsigned i = 0; i < input->format->nb_streams; ++i) {
            const AVStream* s = input->format->streams[i];
            // 0: it cannot; 1: it can; below 0: the muxer does not say (MPEG-TS), and is tried.
            if (TakenStream(s) && avformat_query_codec(muxer, s->codecpar->codec_id, FF_COMPLIANCE_NORMAL) == 0) {
                return false;
            }
        }
    }
    return true;
}

std::string Mux(const std::string& storePath, const std::vector<std::vector<StreamStore::Span>>& tracks,
                const std::string& output, const std::string& format, const std::atomic<bool>& abort)
{
    av_log_set_level(AV_LOG_QUIET);  // what goes wrong comes back as the error text
    std::vector<std::unique_ptr<Input>> inputs;
    std::string error = OpenInputs(storePath, tracks, inputs);
    Output out;
    if (error.empty()) {
        error = out.Open(output, format, inputs);
    }
    if (!error.empty()) {
        return error;
    }
    const std::int64_t start = CommonStart(inputs);
    for (auto& input : inputs) {
        input->Advance(error);
    }
    while (error.empty()) {
        if (abort) {
            return "cancelled";
        }
        Input* earliest = nullptr;
        for (auto& input : inputs) {
            if (!input->ended && (earliest == nullptr || input->NextTime() < earliest->NextTime())) {
                earliest = input.get();
            }
        }
        if (earliest == nullptr) {
            break;
        }
        error = out.Write(*earliest, start);
        if (error.empty()) {
            earliest->Advance(error);
        }
    }
    return error.empty() ? out.Finish() : error;
}

constexpr MuxerModule kModule{kMuxerModuleVersion, &Fits, &Mux};

}  // namespace
}  // namespace dromo

extern "C" __attribute__((visibility("default"))) const dromo::MuxerModule* dromo_muxer_module()
{
    return &dromo::kModule;
}

#pragma once

// The splitter's view of an MPEG program stream (or MPEG-1 system stream) read
// through IAsyncReader: libavformat's MPEG-PS demultiplexer over an
// AsyncReaderIo. Open probes the stream and picks the first MPEG-1/MPEG-2 video
// stream and the first audio stream the audio decoder takes (MPEG audio, AC-3
// or 16-bit LPCM); every other stream is discarded. Packets come out whole (one
// picture or one audio frame each) with their presentation times.

#include "AsyncReaderIo.h"

#include "streams.h"

extern "C"
{
#include <libavcodec/packet.h>
#include <libavformat/avformat.h>
}

class ProgramStreamDemuxer
{
public:
    // The time of a packet without a presentation time.
    static constexpr REFERENCE_TIME kNoTime = INT64_MIN;

    ProgramStreamDemuxer() = default;
    ~ProgramStreamDemuxer();
    ProgramStreamDemuxer(const ProgramStreamDemuxer&) = delete;
    ProgramStreamDemuxer& operator=(const ProgramStreamDemuxer&) = delete;

    // VFW_E_INVALID_FILE_FORMAT when the source holds no stream to offer.
    HRESULT Open(IAsyncReader* pReader);
    void Close();

    // The chosen streams; null when the source has none of that kind.
    const AVStream* VideoStream() const { return m_pVideo; }
    const AVStream* AudioStream() const { return m_pAudio; }

    // Back to the first byte, forgetting whatever was read ahead.
    HRESULT Rewind();
    // The next packet of a chosen stream: 0, AVERROR_EOF at the end, or another
    // negative error.
    int ReadPacket(AVPacket* pPacket);

    // Presentation time of ts (in the stream's time base) from the start of the
    // source, in 100-ns units; kNoTime for AV_NOPTS_VALUE.
    REFERENCE_TIME TimeOf(const AVStream* pStream, int64_t ts) const;
    // Duration in 100-ns units; 0 when unknown.
    REFERENCE_TIME Duration() const { return m_rtDuration; }
    // Bits per second of the whole stream, 0 when unknown.
    int64_t BitRate() const;

    LONGLONG BytesRead() const { return m_Io.Position(); }
    LONGLONG ByteLength() const { return m_Io.Length(); }

private:
    void ChooseStreams();

    AsyncReaderIo m_Io;
    AVFormatContext* m_pFormat = nullptr;
    const AVStream* m_pVideo = nullptr;
    const AVStream* m_pAudio = nullptr;
    REFERENCE_TIME m_rtDuration = 0;
    int64_t m_StartTime = 0; // in AV_TIME_BASE units
};

#pragma once

// The splitter's view of an MPEG program stream (or MPEG-1 system stream) read
// through IAsyncReader. Open probes it with libavformat's MPEG-PS demultiplexer
// and picks the first MPEG-1/MPEG-2 video stream and the first audio stream the
// audio decoder takes (MPEG audio, AC-3 or 16-bit LPCM). Streaming does not go
// through libavformat: the source's bytes are read front to back and their PES
// packets picked by the identity each chosen stream has in the packet headers.

#include "AsyncReaderIo.h"

#include "streams.h"

#include <cstdint>
#include <optional>

extern "C"
{
#include <libavformat/avformat.h>
}

class ProgramStreamDemuxer
{
public:
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

    // How a chosen stream's packets are told apart in the program stream.
    struct PesIdentity
    {
        uint8_t streamId = 0;
        // Private stream 1: the first payload byte names the substream, and this
        // many bytes after it belong to the packet's own header.
        std::optional<uint8_t> substream;
        size_t cbSubstreamHeader = 0;
        // AC-3 may also fill private stream 1 without a substream header.
        bool bRawAc3 = false;
    };
    static PesIdentity IdentityOf(const AVStream& stream);

    // Sequential reading of the source, for streaming (AsyncReaderIo::ReadNext).
    void Rewind() { m_Io.Rewind(); }
    HRESULT ReadNext(uint8_t* pBuffer, LONG cbMax, LONG* pcbRead)
    {
        return m_Io.ReadNext(pBuffer, cbMax, pcbRead);
    }

    // Time of a PES time stamp (33-bit, 90 kHz) from the start of the source, in
    // 100-ns units. A stamp is taken as the nearer of its two readings across
    // the 33-bit wrap, so a source running through the wrap keeps counting up.
    REFERENCE_TIME TimeOfStamp(int64_t stamp) const;
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
    int64_t m_StartStamp = 0; // the source's first time stamp, 90 kHz
};

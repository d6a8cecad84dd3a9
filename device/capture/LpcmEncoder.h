#pragma once
// The device's audio: 16-bit stereo LPCM, big-endian as a DVD program stream carries
// it, or little-endian (PCM byte order) when byteSwap asks for it. Both byte orders
// are libavcodec's PCM encoders; the stream is declared LPCM either way.

#include "CaptureSource.h"
#include "StreamEncoder.h"

class LpcmEncoder
{
public:
    explicit LpcmEncoder(std::uint32_t sampleRate);

    bool Open(std::string* pError);
    // The big-endian encoder, which describes the stream.
    const AVCodecContext& Context() const { return m_BigEndian.Context(); }
    AVRational TimeBase() const { return {1, m_SampleRate}; }

    void SetByteSwap(bool bByteSwap) { m_bByteSwap = bByteSwap; }
    // Encodes pSound, whose pts counts samples.
    bool Encode(const AVFrame* pSound, ProgramStreamMuxer& muxer, std::string* pError);

private:
    const int m_SampleRate;
    StreamEncoder m_BigEndian;
    StreamEncoder m_LittleEndian;
    bool m_bByteSwap = false;
};

#pragma once

// Converts decoded or plain PCM audio to interleaved 16-bit PCM at a given rate
// and channel count, with libswresample. Mono becomes stereo by copying the one
// channel to both sides at full level; other layouts use the library's mix.
//
// The output goes into a buffer the converter keeps and reuses, so steady
// streaming allocates nothing once the buffer has grown to the largest block.

#include "PcmFormat.h"

#include <cstdint>
#include <span>
#include <vector>

extern "C"
{
#include <libavutil/channel_layout.h>
#include <libavutil/samplefmt.h>
}

struct SwrContext;

class PcmConverter
{
public:
    PcmConverter() = default;
    ~PcmConverter();
    PcmConverter(const PcmConverter&) = delete;
    PcmConverter& operator=(const PcmConverter&) = delete;

    // Sets up a conversion from the source samples (FFmpeg's description) to the
    // target (16-bit only); E_INVALIDARG when the library refuses it.
    HRESULT Configure(const AVChannelLayout& layout, AVSampleFormat sampleFormat, int nRate,
                      const PcmFormat& target);
    HRESULT Configure(const PcmFormat& source, const PcmFormat& target);
    // True when configured for exactly this source.
    bool IsConfiguredFor(const AVChannelLayout& layout, AVSampleFormat sampleFormat,
                         int nRate) const;
    bool IsConfigured() const { return m_pSwr != nullptr; }
    void Close();

    // Converts cSamples per channel at ppIn (one pointer per plane, or one for
    // interleaved input). *pOut is valid until the next call.
    HRESULT Convert(const uint8_t* const* ppIn, int cSamples, std::span<const BYTE>* pOut);
    // Returns what the resampler still holds at the end of the stream.
    HRESULT Drain(std::span<const BYTE>* pOut);
    // Drops what the resampler holds (after a flush), keeping the configuration.
    HRESULT Reset();

private:
    HRESULT Run(const uint8_t* const* ppIn, int cSamples, std::span<const BYTE>* pOut);

    SwrContext* m_pSwr = nullptr;
    AVChannelLayout m_SourceLayout{};
    AVSampleFormat m_SourceFormat = AV_SAMPLE_FMT_NONE;
    int m_nSourceRate = 0;
    PcmFormat m_Target;
    std::vector<BYTE> m_Output;
};

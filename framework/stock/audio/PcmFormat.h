#pragma once

// Plain PCM as the media framework describes it (MEDIASUBTYPE_PCM with a
// WAVEFORMATEX): rate, channel count and bits per sample, little-endian and
// interleaved.

#include "streams.h"

struct PcmFormat
{
    int nSamplesPerSec = 0;
    int nChannels = 0;
    int nBitsPerSample = 0;

    int BlockAlign() const { return nChannels * nBitsPerSample / 8; }
    int BytesPerSecond() const { return nSamplesPerSec * BlockAlign(); }
    bool operator==(const PcmFormat&) const = default;

    // Reads a MEDIATYPE_Audio / MEDIASUBTYPE_PCM / FORMAT_WaveFormatEx type; false
    // for any other type or a format block that is too short or inconsistent.
    static bool FromMediaType(const CMediaType& mt, PcmFormat* pFormat);
    // Writes this format as a complete PCM media type.
    HRESULT ToMediaType(CMediaType* pmt) const;
};

// The WAVEFORMATEX of an audio type with a FORMAT_WaveFormatEx block of at least
// 18 bytes, else null.
const WAVEFORMATEX* WaveFormatOf(const CMediaType& mt);

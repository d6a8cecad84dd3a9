#pragma once

// Plays interleaved PCM on an ALSA device (libasound). The device is opened
// non-blocking, so a write waits for room in short steps and can give up as
// soon as the caller's stop condition holds; an underrun is recovered from.

#include "PcmFormat.h"

#include <span>

struct _snd_pcm;

class AlsaPlayback
{
public:
    AlsaPlayback() = default;
    ~AlsaPlayback();
    AlsaPlayback(const AlsaPlayback&) = delete;
    AlsaPlayback& operator=(const AlsaPlayback&) = delete;

    // False when the device cannot be had or does not take the format.
    bool Open(const char* pszDevice, const PcmFormat& format);
    void Close();
    bool IsOpen() const { return m_pPcm != nullptr; }

    // Writes whole sample frames until they are all taken, the device fails
    // (it is then closed) or stopRequested() returns true.
    template <class StopRequested>
    void Write(std::span<const BYTE> bytes, StopRequested stopRequested)
    {
        while (IsOpen() && bytes.size() >= m_cbFrame && !stopRequested())
            bytes = bytes.subspan(WriteSome(bytes));
    }

private:
    // Bytes taken by the device, after waiting a little for room when it has none.
    size_t WriteSome(std::span<const BYTE> bytes);

    _snd_pcm* m_pPcm = nullptr;
    size_t m_cbFrame = 0;
};

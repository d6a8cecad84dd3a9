#include "AlsaPlayback.h"

#include <alsa/asoundlib.h>

#include <cerrno>
#include <mutex>

namespace
{
constexpr unsigned kLatencyMicroseconds = 100000;
constexpr int kRoomWaitMilliseconds = 20;

// The library reports failures (such as a machine without a sound card) on
// standard error as well as in its results; the results are enough here.
void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...)
{
}

void SilenceAlsaErrors()
{
    static std::once_flag once;
    std::call_once(once, [] { snd_lib_error_set_handler(IgnoreAlsaError); });
}

snd_pcm_format_t AlsaFormatOfBits(int nBits)
{
    switch (nBits)
    {
    case 8:
        return SND_PCM_FORMAT_U8;
    case 16:
        return SND_PCM_FORMAT_S16_LE;
    case 32:
        return SND_PCM_FORMAT_S32_LE;
    default:
        return SND_PCM_FORMAT_UNKNOWN;
    }
}
} // namespace

AlsaPlayback::~AlsaPlayback()
{
    Close();
}

bool AlsaPlayback::Open(const char* pszDevice, const PcmFormat& format)
{
    Close();
    SilenceAlsaErrors();
    if (snd_pcm_open(&m_pPcm, pszDevice, SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0)
    {
        m_pPcm = nullptr;
        return false;
    }
    if (snd_pcm_set_params(m_pPcm, AlsaFormatOfBits(format.nBitsPerSample),
                           SND_PCM_ACCESS_RW_INTERLEAVED, unsigned(format.nChannels),
                           unsigned(format.nSamplesPerSec), 1, kLatencyMicroseconds) < 0)
    {
        Close();
        return false;
    }
    m_cbFrame = size_t(format.BlockAlign());
    return true;
}

void AlsaPlayback::Close()
{
    if (!m_pPcm)
        return;
    snd_pcm_drop(m_pPcm);
    snd_pcm_close(m_pPcm);
    m_pPcm = nullptr;
}

size_t AlsaPlayback::WriteSome(std::span<const BYTE> bytes)
{
    const auto cFrames = snd_pcm_uframes_t(bytes.size() / m_cbFrame);
    const snd_pcm_sframes_t cWritten = snd_pcm_writei(m_pPcm, bytes.data(), cFrames);
    if (cWritten >= 0)
        return size_t(cWritten) * m_cbFrame;
    if (cWritten == -EAGAIN)
        snd_pcm_wait(m_pPcm, kRoomWaitMilliseconds);
    else if (snd_pcm_recover(m_pPcm, int(cWritten), 1) < 0)
        Close(); // the device is gone: the samples are consumed without sound
    return 0;
}

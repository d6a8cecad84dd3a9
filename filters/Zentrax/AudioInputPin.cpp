#include "AudioInputPin.h"

#include "AudioOutputPin.h"
#include "ZentraxFilter.h"

#include <cstddef>
#include <cstring>

namespace
{
constexpr DWORD kSamplesPerSecond = 48000;

// The sample rate of a wave format block, or 0 when the block is too short to hold it.
DWORD SampleRateOf(const CMediaType& mt)
{
    constexpr std::size_t kRateOffset = offsetof(WAVEFORMATEX, nSamplesPerSec);
    DWORD dwRate = 0;
    if (mt.Format() && mt.FormatLength() >= kRateOffset + sizeof(dwRate))
        std::memcpy(&dwRate, mt.Format() + kRateOffset, sizeof(dwRate));
    return dwRate;
}
} // namespace

AudioInputPin::AudioInputPin(ZentraxFilter* pFilter, CCritSec* pLock, HRESULT* phr)
    : ZentraxInputPin(pFilter, pLock, pFilter->AudioReceiveLock(), phr, L"Audio In")
{
}

HRESULT AudioInputPin::CheckMediaType(const CMediaType* pmt)
{
    const bool bAccepted = *pmt->Type() == MEDIATYPE_Audio && *pmt->Subtype() == MEDIASUBTYPE_PCM &&
                           *pmt->FormatType() == FORMAT_WaveFormatEx &&
                           SampleRateOf(*pmt) == kSamplesPerSecond;
    return bAccepted ? S_OK : S_FALSE;
}

HRESULT AudioInputPin::Receive(IMediaSample* pSample)
{
    if (!m_pZentrax->Gate().Wait())
    {
        const HRESULT hr = m_pZentrax->StreamResult();
        return hr != S_OK ? hr : S_FALSE;
    }
    CAutoLock lock(m_pReceiveLock);
    const HRESULT hr = AcceptSample(pSample);
    if (hr != S_OK)
        return hr;
    return m_pZentrax->AudioPath().Transform(pSample, *SampleProps());
}

HRESULT AudioInputPin::EndOfStream()
{
    CAutoLock lock(m_pReceiveLock);
    const HRESULT hr = CheckStreaming();
    if (hr != S_OK)
        return hr;
    return MatchingOutput()->DeliverEndOfStream();
}

// Units of the old segment still open would carry times from before the restart: dropped.
HRESULT AudioInputPin::NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate)
{
    ZentraxInputPin::NewSegment(tStart, tStop, dRate);
    {
        CAutoLock lock(m_pReceiveLock);
        m_pZentrax->AudioPath().Restart();
        m_pZentrax->AudioPath().Flush();
    }
    ZentraxOutputPin* pOutput = MatchingOutput();
    return pOutput ? pOutput->DeliverNewSegment(tStart, tStop, dRate) : S_OK;
}

ZentraxOutputPin* AudioInputPin::MatchingOutput() const
{
    return m_pZentrax->AudioOutput();
}

void AudioInputPin::FlushPath()
{
    m_pZentrax->AudioPath().Flush();
}

void AudioInputPin::OnBeginFlush()
{
    m_pZentrax->Gate().SetFlushing(true);
}

void AudioInputPin::OnEndFlush()
{
    m_pZentrax->Gate().SetFlushing(false);
}

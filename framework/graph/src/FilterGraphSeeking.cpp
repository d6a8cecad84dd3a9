// FilterGraph: position and rate (IMediaSeeking, IMediaPosition), answered by the
// filters that expose IMediaSeeking, renderers first. The graph itself works in
// TIME_FORMAT_MEDIA_TIME only.

#include "FilterGraph.h"
#include "SystemClock.h"
#include "dshow/Errors.h"

namespace graph
{

namespace
{

constexpr double kUnitsPerSecond = 10'000'000.0;

std::vector<ComPtr<IMediaSeeking>> SeekersOf(const FilterList& filters, bool renderersOnly)
{
    std::vector<ComPtr<IMediaSeeking>> seekers;
    for (const ComPtr<IBaseFilter>& filter : filters)
    {
        ComPtr<IMediaSeeking> seeking;
        if ((!renderersOnly || IsRenderer(filter.Get())) &&
            SUCCEEDED(filter->QueryInterface(IID_PPV_ARGS(&seeking))))
            seekers.push_back(std::move(seeking));
    }
    return seekers;
}

bool IsMediaTime(const GUID* format)
{
    return !format || *format == TIME_FORMAT_MEDIA_TIME || *format == TIME_FORMAT_NONE;
}

} // namespace

HRESULT FilterGraph::AskSeekers(const SeekingCall& call)
{
    std::vector<ComPtr<IMediaSeeking>> seekers;
    {
        std::lock_guard lock(m_lock);
        seekers = SeekersOf(DownstreamFirst(FiltersLocked()), false);
    }
    HRESULT result = E_NOTIMPL;
    for (const ComPtr<IMediaSeeking>& seeker : seekers)
        if (SUCCEEDED(result = call(seeker.Get())))
            return result;
    return result;
}

HRESULT FilterGraph::TellSeekers(const SeekingCall& call)
{
    std::lock_guard lock(m_lock);
    FilterList filters = DownstreamFirst(FiltersLocked());
    std::vector<ComPtr<IMediaSeeking>> seekers = SeekersOf(filters, true);
    if (seekers.empty())
        seekers = SeekersOf(filters, false);
    if (seekers.empty())
        return E_NOTIMPL;
    // Every seekable renderer is told; their seeks reach the same source upstream.
    HRESULT result = S_OK;
    for (const ComPtr<IMediaSeeking>& seeker : seekers)
        if (HRESULT hr = call(seeker.Get()); FAILED(hr) && SUCCEEDED(result))
            result = hr;
    return result;
}

HRESULT FilterGraph::GetCapabilities(DWORD* pCapabilities)
{
    if (!pCapabilities)
        return E_POINTER;
    *pCapabilities = 0;
    return AskSeekers([&](IMediaSeeking* s) { return s->GetCapabilities(pCapabilities); });
}

HRESULT FilterGraph::CheckCapabilities(DWORD* pCapabilities)
{
    if (!pCapabilities)
        return E_POINTER;
    DWORD available = 0;
    GetCapabilities(&available);
    DWORD asked = *pCapabilities;
    *pCapabilities = asked & available;
    if (*pCapabilities == asked)
        return S_OK;
    return *pCapabilities ? S_FALSE : E_FAIL;
}

HRESULT FilterGraph::IsFormatSupported(const GUID* pFormat)
{
    if (!pFormat)
        return E_POINTER;
    return *pFormat == TIME_FORMAT_MEDIA_TIME ? S_OK : S_FALSE;
}

HRESULT FilterGraph::QueryPreferredFormat(GUID* pFormat)
{
    return GetTimeFormat(pFormat);
}

HRESULT FilterGraph::GetTimeFormat(GUID* pFormat)
{
    if (!pFormat)
        return E_POINTER;
    *pFormat = TIME_FORMAT_MEDIA_TIME;
    return S_OK;
}

HRESULT FilterGraph::IsUsingTimeFormat(const GUID* pFormat)
{
    if (!pFormat)
        return E_POINTER;
    return *pFormat == TIME_FORMAT_MEDIA_TIME ? S_OK : S_FALSE;
}

HRESULT FilterGraph::SetTimeFormat(const GUID* pFormat)
{
    if (!pFormat)
        return E_POINTER;
    return *pFormat == TIME_FORMAT_MEDIA_TIME ? S_OK : E_INVALIDARG;
}

HRESULT FilterGraph::ConvertTimeFormat(LONGLONG* pTarget, const GUID* pTargetFormat,
                                       LONGLONG Source, const GUID* pSourceFormat)
{
    if (!pTarget)
        return E_POINTER;
    if (!IsMediaTime(pTargetFormat) || !IsMediaTime(pSourceFormat))
        return E_INVALIDARG;
    *pTarget = Source;
    return S_OK;
}

HRESULT FilterGraph::GetDuration(LONGLONG* pDuration)
{
    if (!pDuration)
        return E_POINTER;
    return AskSeekers([&](IMediaSeeking* s) { return s->GetDuration(pDuration); });
}

HRESULT FilterGraph::GetStopPosition(LONGLONG* pStop)
{
    if (!pStop)
        return E_POINTER;
    return AskSeekers([&](IMediaSeeking* s) { return s->GetStopPosition(pStop); });
}

HRESULT FilterGraph::GetCurrentPosition(LONGLONG* pCurrent)
{
    if (!pCurrent)
        return E_POINTER;
    if (SUCCEEDED(AskSeekers([&](IMediaSeeking* s) { return s->GetCurrentPosition(pCurrent); })))
        return S_OK;
    // No filter knows: the stream time elapsed since the graph started.
    std::lock_guard lock(m_lock);
    *pCurrent = StreamTimeLocked();
    return S_OK;
}

HRESULT FilterGraph::SetPositions(LONGLONG* pCurrent, DWORD dwCurrentFlags, LONGLONG* pStop,
                                  DWORD dwStopFlags)
{
    HRESULT hr =
        TellSeekers([&](IMediaSeeking* s)
                    { return s->SetPositions(pCurrent, dwCurrentFlags, pStop, dwStopFlags); });
    if (SUCCEEDED(hr) && (dwCurrentFlags & AM_SEEKING_PositioningBitsMask))
    {
        // New data will flow to the renderers: they report completion again.
        std::lock_guard lock(m_lock);
        if (m_state != State_Stopped)
            m_completion.Reset(RenderersLocked());
    }
    return hr;
}

HRESULT FilterGraph::GetPositions(LONGLONG* pCurrent, LONGLONG* pStop)
{
    if (pCurrent)
        if (HRESULT hr = GetCurrentPosition(pCurrent); FAILED(hr))
            return hr;
    return pStop ? GetStopPosition(pStop) : S_OK;
}

HRESULT FilterGraph::GetAvailable(LONGLONG* pEarliest, LONGLONG* pLatest)
{
    return AskSeekers([&](IMediaSeeking* s) { return s->GetAvailable(pEarliest, pLatest); });
}

HRESULT FilterGraph::SetRate(double dRate)
{
    if (dRate == 0.0)
        return E_INVALIDARG;
    return TellSeekers([&](IMediaSeeking* s) { return s->SetRate(dRate); });
}

HRESULT FilterGraph::GetRate(double* pdRate)
{
    if (!pdRate)
        return E_POINTER;
    if (FAILED(AskSeekers([&](IMediaSeeking* s) { return s->GetRate(pdRate); })))
        *pdRate = 1.0;
    return S_OK;
}

HRESULT FilterGraph::GetPreroll(LONGLONG* pllPreroll)
{
    if (!pllPreroll)
        return E_POINTER;
    if (FAILED(AskSeekers([&](IMediaSeeking* s) { return s->GetPreroll(pllPreroll); })))
        *pllPreroll = 0;
    return S_OK;
}

// IMediaPosition: the same, in seconds.

HRESULT FilterGraph::InSeconds(HRESULT (FilterGraph::*get)(LONGLONG*), REFTIME* seconds)
{
    if (!seconds)
        return E_POINTER;
    LONGLONG units = 0;
    HRESULT hr = (this->*get)(&units);
    *seconds = units / kUnitsPerSecond;
    return hr;
}

HRESULT FilterGraph::get_Duration(REFTIME* plength)
{
    return InSeconds(&FilterGraph::GetDuration, plength);
}

HRESULT FilterGraph::put_CurrentPosition(REFTIME llTime)
{
    LONGLONG position = LONGLONG(llTime * kUnitsPerSecond);
    return SetPositions(&position, AM_SEEKING_AbsolutePositioning, nullptr,
                        AM_SEEKING_NoPositioning);
}

HRESULT FilterGraph::get_CurrentPosition(REFTIME* pllTime)
{
    return InSeconds(&FilterGraph::GetCurrentPosition, pllTime);
}

HRESULT FilterGraph::get_StopTime(REFTIME* pllTime)
{
    return InSeconds(&FilterGraph::GetStopPosition, pllTime);
}

HRESULT FilterGraph::put_StopTime(REFTIME llTime)
{
    LONGLONG stop = LONGLONG(llTime * kUnitsPerSecond);
    return SetPositions(nullptr, AM_SEEKING_NoPositioning, &stop, AM_SEEKING_AbsolutePositioning);
}

HRESULT FilterGraph::get_PrerollTime(REFTIME* pllTime)
{
    return InSeconds(&FilterGraph::GetPreroll, pllTime);
}

HRESULT FilterGraph::put_PrerollTime(REFTIME)
{
    return E_NOTIMPL;
}

HRESULT FilterGraph::put_Rate(double dRate)
{
    return SetRate(dRate);
}

HRESULT FilterGraph::get_Rate(double* pdRate)
{
    return GetRate(pdRate);
}

HRESULT FilterGraph::CanSeekForward(LONG* pCanSeekForward)
{
    if (!pCanSeekForward)
        return E_POINTER;
    DWORD capabilities = AM_SEEKING_CanSeekForwards;
    *pCanSeekForward = CheckCapabilities(&capabilities) == S_OK ? -1 : 0; // OATRUE / OAFALSE
    return S_OK;
}

HRESULT FilterGraph::CanSeekBackward(LONG* pCanSeekBackward)
{
    if (!pCanSeekBackward)
        return E_POINTER;
    DWORD capabilities = AM_SEEKING_CanSeekBackwards;
    *pCanSeekBackward = CheckCapabilities(&capabilities) == S_OK ? -1 : 0;
    return S_OK;
}

} // namespace graph

#include "GraphOperation.h"

#include "DeploymentClasses.h"

#include <com/StringConvert.h>

StartResult StartFailure(HRESULT hr, std::string step)
{
    return StartResult{FAILED(hr) ? hr : E_FAIL, std::move(step)};
}

StartResult GraphOperation::AddFilters(std::span<const NewFilter> filters)
{
    for (const NewFilter& filter : filters)
    {
        const HRESULT hr = m_Context.AddNewFilter(filter.clsid, filter.pName, filter.slot);
        if (FAILED(hr))
            return StartFailure(hr, "creating " + WideToUtf8(filter.pName));
    }
    return {};
}

StartResult GraphOperation::AddPreviewFilters(bool bVideo, bool bAudio, LPCWSTR pAudioDecoderName,
                                              ComPtr<IBaseFilter>& audioDecoderSlot)
{
    FilterSlots& slots = m_Context.Slots();
    StartResult result;
    if (bVideo)
    {
        const NewFilter video[] = {
            {kClsidVideoDecoder, L"Video Decoder", slots.pVideoDecoder},
            {CLSID_VideoRenderer, L"Video Renderer", slots.pVideoRenderer},
        };
        result = AddFilters(video);
    }
    if (result.Succeeded() && bAudio)
    {
        const NewFilter audio[] = {
            {kClsidAudioDecoder, pAudioDecoderName, audioDecoderSlot},
            {CLSID_DSoundRender, L"Audio Renderer", slots.pAudioRenderer},
        };
        result = AddFilters(audio);
    }
    return result;
}

StartResult GraphOperation::ConnectAll(std::span<const Connection> connections)
{
    for (const Connection& c : connections)
    {
        const HRESULT hr = m_Context.ConnectFilters(c.pUpstream, c.pDownstream);
        if (FAILED(hr))
            return StartFailure(hr, std::string("connecting ") + c.pszUpstream + " to " +
                                        c.pszDownstream);
    }
    return {};
}

HRESULT GraphOperation::SetupVideoWindow(Sizing sizing)
{
    ComPtr<IVideoWindow>& pWindow = m_Context.VideoWindow();
    if (FAILED(m_Context.Graph()->QueryInterface(IID_PPV_ARGS(&pWindow))))
    {
        m_Host.DebugOutput("QueryInterface IVideoWindow Failed");
        return E_NOINTERFACE;
    }
    HRESULT hr = pWindow->put_Owner(m_Host.VideoOwner());
    if (FAILED(hr))
    {
        m_Host.DebugOutput("Unable to set video window");
        return hr;
    }
    hr = pWindow->put_WindowStyle(WS_CHILD);
    const ClientRect rect = m_Host.BannerRect();
    LONG width = 0;
    LONG height = 0;
    if (sizing == Sizing::Capture && m_Settings.width > 0 && m_Settings.height > 0)
    {
        width = LONG(720.0 / m_Settings.width * rect.right + 2.0);
        height = LONG(576.0 / m_Settings.height * rect.bottom + 2.0);
    }
    else if (sizing == Sizing::Playback)
    {
        width = rect.right - rect.left + 2;
        height = rect.bottom - rect.top + 2;
    }
    pWindow->SetWindowPosition(rect.left, rect.top, width, height);
    pWindow->put_Visible(OATRUE);
    return hr;
}

StartResult GraphOperation::RunGraph(bool bVideoPreview, int timerId)
{
    IMediaControl* pControl = m_Context.TakeMediaControl();
    if (!pControl)
        return StartFailure(E_NOINTERFACE, "taking the graph's control");
    m_Host.PumpMessages();
    const HRESULT hr = pControl->Run();
    if (!bVideoPreview)
        m_Host.ShowBanner("");
    if (m_Settings.timeLimitMinutes != 0)
        m_Host.SetTimer(timerId, unsigned(m_Settings.timeLimitMinutes) * 60000u);
    if (m_Host.PumpMessages() == kPumpQuit)
    {
        m_Context.StopGraph();
        m_Context.VideoWindow().Reset();
    }
    if (hr == S_OK || hr == S_FALSE)
        return {};
    return StartFailure(hr, "running the graph");
}

// The timer is killed even when the limit is now 0: the settings dialog may have
// cleared it while the operation ran, and a timer left behind would later stop
// another operation.
void GraphOperation::StopGraphAndWindow(int timerId)
{
    m_Host.KillTimer(timerId);
    m_Context.StopGraph();
    m_Host.ShowBanner("");
    m_Context.VideoWindow().Reset();
    m_Context.WaitForCompletion();
}

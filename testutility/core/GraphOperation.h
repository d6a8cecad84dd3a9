#pragma once

// What the capture and playback operations share: creating their filters into the
// graph context's slots, joining them, placing the video window, and the common
// run tail of every start.

#include "AppSettings.h"
#include "GraphContext.h"
#include "OperationHost.h"

#include <span>
#include <string>

// What went wrong in a start: the step and its result.
struct StartResult
{
    HRESULT hr = S_OK;
    std::string failedStep;

    bool Succeeded() const { return SUCCEEDED(hr); }
};

StartResult StartFailure(HRESULT hr, std::string step);

class GraphOperation
{
public:
    // How the video window is sized over the banner.
    enum class Sizing
    {
        Capture = 1,  // scaled by 720 x 576 over the frame size
        Playback = 2, // the banner's rectangle plus 2 pixels each way
    };

protected:
    GraphOperation(GraphContext& context, AppSettings& settings, OperationHost& host)
        : m_Context(context), m_Settings(settings), m_Host(host)
    {
    }

    // One filter to create by class identifier and add under its graph name.
    struct NewFilter
    {
        const GUID& clsid;
        LPCWSTR pName;
        ComPtr<IBaseFilter>& slot;
    };
    StartResult AddFilters(std::span<const NewFilter> filters);
    // A preview's filters: "Video Decoder" and "Video Renderer" for the video, and for the
    // sound the audio decoder under the name and into the slot the operation gives it,
    // then "Audio Renderer".
    StartResult AddPreviewFilters(bool bVideo, bool bAudio, LPCWSTR pAudioDecoderName,
                                  ComPtr<IBaseFilter>& audioDecoderSlot);

    // One ConnectFilters call, by the slots' graph names for the failure's words.
    struct Connection
    {
        IBaseFilter* pUpstream;
        IBaseFilter* pDownstream;
        const char* pszUpstream;
        const char* pszDownstream;
    };
    StartResult ConnectAll(std::span<const Connection> connections);

    // Queries the graph's video window and places it over the banner; the result is
    // that of put_WindowStyle. Without a renderer it fails quietly.
    HRESULT SetupVideoWindow(Sizing sizing);
    // The common tail of a start: takes the graph's control, pumps messages, runs,
    // clears the banner without a video preview, arms the time limit, pumps again.
    StartResult RunGraph(bool bVideoPreview, int timerId);
    // The common head of a stop: the timer, the graph, the banner, the video window,
    // waiting for the stopped graph.
    void StopGraphAndWindow(int timerId);

    GraphContext& m_Context;
    AppSettings& m_Settings;
    OperationHost& m_Host;
};

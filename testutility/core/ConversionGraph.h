#pragma once

// "Convert Mpeg to C3S": the MPEG graph that turns the source file into a C3
// stream file, and its teardown (StopC3Stream).
//
//   File Reader -> Mpeg Splitter -> Infinite Tee -> Zentrax Filter
//                  Mpeg Splitter -> Infinite 2 Tee -> Audio Decoder -> ACM Wrapper
//                                                  -> Zentrax Filter
//   Zentrax Filter -> Ostrel Muxer -> Dump File
//
// Filters are created by class identifier, named, and connected in exactly the
// order the conversion has always used. A failure along the way is reported
// with the user's message ("Unable to Open file", "Error occurred during
// Playback") and takes the graph down again.

#include "AppSettings.h"
#include "GraphContext.h"
#include "UserReport.h"

#include <string>

// What went wrong in a start: the step and its result.
struct StartResult
{
    HRESULT hr = S_OK;
    std::string failedStep;

    bool Succeeded() const { return SUCCEEDED(hr); }
};

class ConversionGraph
{
public:
    ConversionGraph(GraphContext& context, AppSettings& settings, UserReport& report)
        : m_Context(context), m_Settings(settings), m_Report(report)
    {
    }

    // Builds and runs the graph for settings.convertSource and convertTarget.
    StartResult Start();
    // StopC3Stream: stops the graph, waits for it to settle, and removes and
    // releases every filter of the operation.
    void Stop();

    // What naming the target to the writer reported. The start goes on whatever
    // it says (the writer drops what it cannot write), so a caller that must
    // know the file is being written asks here.
    HRESULT OutputFileResult() const { return m_hrOutputFile; }

private:
    StartResult Build();
    StartResult AddFilters();
    StartResult ConnectAll();

    GraphContext& m_Context;
    AppSettings& m_Settings;
    UserReport& m_Report;
    HRESULT m_hrOutputFile = S_OK;
};

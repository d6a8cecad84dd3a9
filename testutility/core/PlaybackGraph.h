#pragma once

// The Playback commands, "Playback C3S" and "Convert Mpeg to C3S": a file read by
// the multi-file reader goes to the device's input as a C3 stream, or, for the
// conversion, into a C3 stream file.
//
// An MPEG file (the Mpeg kind) is turned into a C3 stream on the way:
//
//   File Reader -> Mpeg Splitter -> Infinite Tee -> Zentrax Filter
//                  Mpeg Splitter -> Infinite 2 Tee -> Audio Decoder -> ACM Wrapper
//                                                  -> Zentrax Filter
//   Zentrax Filter -> Ostrel Muxer -> the device (Dump File for the conversion)
//   previews: Infinite Tee -> Video Decoder -> Video Renderer
//             Infinite 2 Tee -> Audio Decoder 2 -> Audio Renderer
//
// A C3 stream file (the C3S kind) is sent unchanged:
//
//   File Reader -> Async Puller -> Infinite Tee -> the device
//
// Filters are created by class identifier, named, and connected in exactly the
// order the utility has always used. A failure along the way is reported with the
// user's message ("Unable to Open file", "Error occurred during Playback") and
// takes the operation down again.

#include "GraphOperation.h"

class PlaybackGraph : public GraphOperation
{
public:
    static constexpr const char* kDownloadBanner =
        "\n\n\tConnecting Filters\n\n \t\tand \n\n\tDownloading Microcode...";
    static constexpr const char* kConvertBanner =
        "\n\n\tConnecting Filters\n\n \t\tand \n\n\tConverting Mpeg to C3S...";

    PlaybackGraph(GraphContext& context, AppSettings& settings, OperationHost& host)
        : GraphOperation(context, settings, host)
    {
    }

    // StartPlayback: the kind and the file come from the settings record
    // (playbackKind and playbackFile, or convertSource and convertTarget while
    // convertMode is 1).
    StartResult Start(bool bVideoPreview, bool bAudioPreview);
    // StopPlayback and StopC3Stream: they differ only in the Stop item they grey.
    void StopPlayback() { Stop(kPlaybackStopCommand); }
    void StopC3Stream() { Stop(kC3StreamStopCommand); }

    // What naming the conversion's target to the writer reported. The start goes on
    // whatever it says (the writer reports when it runs), so a caller that must
    // know the file is being written asks here.
    HRESULT OutputFileResult() const { return m_hrOutputFile; }

private:
    bool IsC3Operation() const;
    bool IsMpegGraph() const;
    StartResult Build(bool bVideoPreview, bool bAudioPreview);
    StartResult AddMpegFilters(bool bVideoPreview, bool bAudioPreview);
    StartResult ConnectMpegGraph(bool bVideoPreview, bool bAudioPreview);
    StartResult BuildC3StreamGraph();
    void Stop(int stopCommand);

    HRESULT m_hrOutputFile = S_OK;
};

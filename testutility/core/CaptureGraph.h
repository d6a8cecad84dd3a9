#pragma once

// The Capture commands: the device's MPEG program stream goes through an Infinite
// Tee into the multi-file writer ("Dump File"); with a preview the tee also feeds
// the MPEG-2 demultiplexer, whose video goes to a decoder and renderer and whose
// LPCM audio, with a video preview, to a second decoder and renderer.
//
//   device -> Infinite Tee -> Dump File
//             Infinite Tee -> Demux -> Video Decoder -> Video Renderer
//                             Demux -> Aduio Decoder -> Audio Renderer
//
// A failed creation or connection shows "Error occurred during Capture" and takes
// the capture down again (StopCapture).

#include "GraphOperation.h"

#include <optional>

// A demultiplexer pin's media type with its format block held inline.
struct DemuxPinType
{
    AM_MEDIA_TYPE mt{};
    union
    {
        MPEG2VIDEOINFO video;
        WAVEFORMATEX audio;
    } format{};

    // The type with its format pointer set; valid while this object lives.
    AM_MEDIA_TYPE* Get();
};

class CaptureGraph : public GraphOperation
{
public:
    static constexpr const char* kBanner =
        "\n\n\tConnecting Filters\n\n \t\tand \n\n\tDownloading Microcode...";

    CaptureGraph(GraphContext& context, AppSettings& settings, OperationHost& host)
        : GraphOperation(context, settings, host)
    {
    }

    // StartCapture. An audio preview is only built with a video preview.
    StartResult Start(bool bVideoPreview, bool bAudioPreview);
    // StopCapture: the Stop item, the time limit and capture-ending graph events.
    void Stop();

    // The demultiplexer pins' media types for the settings; no video type for a
    // standard other than NTSC M, PAL B and PAL G.
    static std::optional<DemuxPinType> VideoOutType(const AppSettings& settings);
    static DemuxPinType AudioOutType(const AppSettings& settings);

private:
    StartResult Build(bool bVideoPreview, bool bAudioPreview);
    StartResult AddCaptureFilters(bool bVideoPreview, bool bAudioPreview);
    void SetSegmentSize();
    void CreateDemuxVideoPin();
    void CreateDemuxAudioPin();
    void CreateDemuxPin(DemuxPinType type, const wchar_t* pszName, ULONG streamId,
                        ULONG substream, int dataOffset);
};

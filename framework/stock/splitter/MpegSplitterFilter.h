#pragma once

// The stock MPEG program stream splitter. Its input pulls an MPEG-2 program
// stream or MPEG-1 system stream from an asynchronous source ("File Reader");
// once connected it offers the video output first, then the audio output, for
// the streams the source holds (SplitterMediaTypes.h).
//
// Threads: while active, one demultiplexing thread reads the source and fills a
// packet queue per connected output, and each output delivers from its queue on
// its own thread. The queues hold several seconds of their stream, so a file
// whose audio runs ahead of (or behind) its video by up to about five seconds
// still streams while downstream filters take strict turns between the outputs.
// Memory stays bounded by the queue sizes.
//
// Stop ends the demultiplexing thread first, then the outputs (their queues
// close and their allocators decommit), holding the filter lock throughout.

#include "DemuxThread.h"
#include "ProgramStreamDemuxer.h"
#include "SplitterInputPin.h"
#include "SplitterOutputPin.h"
#include "SplitterSeeking.h"

#include "streams.h"

#include <memory>
#include <vector>

class CMpegSplitterFilter : public CBaseFilter
{
public:
    CMpegSplitterFilter(LPUNKNOWN pUnk, HRESULT* phr);
    ~CMpegSplitterFilter() override;

    // Answers IMediaSeeking too.
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    int GetPinCount() override;
    CBasePin* GetPin(int n) override;

    HRESULT Stop() override;
    HRESULT Pause() override;

    // Input pin: opens the connected source and makes the outputs, or undoes it.
    HRESULT OpenSource(IAsyncReader* pReader);
    void CloseSource();

    // The outputs' IMediaSeeking.
    HRESULT QuerySeeking(void** ppv);

    // Positions for CSplitterSeeking.
    REFERENCE_TIME Duration() const { return m_Demuxer.Duration(); }
    REFERENCE_TIME CurrentTime() const;
    LONGLONG ByteLength() const { return m_Demuxer.ByteLength(); }
    LONGLONG BytePosition() const { return m_Demuxer.BytesRead(); }

private:
    static constexpr int kMaxOutputs = 2;

    HRESULT AddOutput(LPCWSTR pName, const AVStream* pStream, const CMediaType& mt,
                      const CSplitterOutputPin::Buffering& buffering);
    HRESULT CreateOutputs();
    // False when the demultiplexing thread could not start.
    bool StartDemuxing();
    void StopOutputs();
    // A failure of reading the source, reported by the demultiplexing thread.
    void ReportStreamError(HRESULT hr);

    CCritSec m_csFilter;
    ProgramStreamDemuxer m_Demuxer;
    CSplitterInputPin m_InputPin;
    std::unique_ptr<CSplitterOutputPin> m_Outputs[kMaxOutputs];
    const AVStream* m_OutputStreams[kMaxOutputs] = {};
    int m_cOutputs = 0;
    // Outputs of an earlier source: no longer offered, but kept alive because
    // an application may still hold them.
    std::vector<std::unique_ptr<CSplitterOutputPin>> m_RetiredOutputs;
    DemuxThread m_DemuxThread;
    CSplitterSeeking m_Seeking;
};

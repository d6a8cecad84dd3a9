// The preview filters on a clip shaped like the capture device's stream
// (720x480 MPEG-2 at 6 Mbit/s with 48 kHz LPCM, 10 s): how fast the
// demultiplexer splits it, how fast the video decoder turns it into RGB32
// pictures, and how much CPU the whole preview graph takes in real time.

#include "MediaFiles.h"
#include "PreviewPins.h"
#include "TestFilters.h"
#include "audio/AudioDecoderFilter.h"
#include "audio/AudioRendererFilter.h"
#include "demux/Mpeg2DemuxFilter.h"
#include "video/VideoDecoderFilter.h"
#include "video/VideoRendererFilter.h"

#include <benchmark/benchmark.h>
#include <com/ComPtr.h>
#include <com/ComRuntime.h>

#include <sys/resource.h>

#include <atomic>

namespace
{
constexpr double kClipSeconds = 10.0;

const std::vector<uint8_t>& CaptureLikeClip()
{
    static const std::vector<uint8_t> bytes = media::ReadFile(media::Clip(
        "bench-capture.mpg", "-f lavfi -i testsrc2=size=720x480:rate=30000/1001:duration=10 "
                             "-f lavfi -i sine=frequency=440:sample_rate=48000:duration=10 "
                             "-c:v mpeg2video -b:v 6000k -maxrate 6000k -bufsize 1835k -g 15 -bf 2 "
                             "-c:a pcm_s16be -ac 2 -f vob"));
    return bytes;
}

// A renderer stand-in that takes any type and keeps nothing.
class CDiscardSink : public CBaseFilter
{
public:
    CDiscardSink() : CBaseFilter(NAME("Discard"), nullptr, &m_csFilter, GUID_NULL), m_Pin(this) {}
    int GetPinCount() override { return 1; }
    CBasePin* GetPin(int n) override { return n == 0 ? &m_Pin : nullptr; }
    IPin* Pin() { return &m_Pin; }
    bool WaitForEnd() { return m_evEnded.Wait(60000); }

private:
    class CPin : public CBaseInputPin
    {
    public:
        explicit CPin(CDiscardSink* pSink)
            : CBaseInputPin(NAME("Discard pin"), pSink, &pSink->m_csFilter, &m_hr, L"In"),
              m_pSink(pSink)
        {
        }
        HRESULT CheckMediaType(const CMediaType*) override { return S_OK; }
        HRESULT EndOfStream() override
        {
            m_pSink->m_evEnded.Set();
            return S_OK;
        }

    private:
        HRESULT m_hr = S_OK;
        CDiscardSink* m_pSink;
    };

    CCritSec m_csFilter;
    CAMEvent m_evEnded{TRUE};
    CPin m_Pin;
};

void PushAll(CTestPushSource* pSource, const std::vector<uint8_t>& bytes)
{
    constexpr size_t kPiece = 65536; // about what a capture driver hands over at once
    for (size_t offset = 0; offset < bytes.size(); offset += kPiece)
        pSource->Push(bytes.data() + offset, std::min(kPiece, bytes.size() - offset));
    pSource->PushEndOfStream();
}

void PauseAll(std::initializer_list<IBaseFilter*> downstreamFirst)
{
    for (IBaseFilter* pFilter : downstreamFirst)
        pFilter->Pause();
}

void StopAndDisconnect(std::initializer_list<IBaseFilter*> downstreamFirst)
{
    for (IBaseFilter* pFilter : downstreamFirst)
        pFilter->Stop();
    for (IBaseFilter* pFilter : downstreamFirst)
        DisconnectAll(pFilter);
}

// Bytes per second through the demultiplexer into its two preview pins.
void Demultiplex(benchmark::State& state)
{
    const std::vector<uint8_t>& clip = CaptureLikeClip();
    for (auto _ : state)
    {
        HRESULT hr = S_OK;
        ComPtr<CTestPushSource> pSource(new CTestPushSource(ProgramStreamType(), 65536, &hr));
        ComPtr<CMpeg2DemuxFilter> pDemux(new CMpeg2DemuxFilter(nullptr, &hr));
        ComPtr<CDiscardSink> pVideo(new CDiscardSink);
        ComPtr<CDiscardSink> pAudio(new CDiscardSink);
        ConnectPins(pSource->Pin(), pDemux->InputPin());
        ConnectPins(CreateVideoOut(pDemux.Get(), 720, 480), pVideo->Pin());
        ConnectPins(CreateAudioOut(pDemux.Get()), pAudio->Pin());
        PauseAll({pVideo.Get(), pAudio.Get(), pDemux.Get(), pSource.Get()});
        PushAll(pSource.Get(), clip);
        pVideo->WaitForEnd();
        pAudio->WaitForEnd();
        StopAndDisconnect({pVideo.Get(), pAudio.Get(), pDemux.Get(), pSource.Get()});
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(clip.size()));
}

// Pictures per second from the demultiplexer's video pin through the decoder.
void DecodeVideo(benchmark::State& state)
{
    const std::vector<uint8_t>& clip = CaptureLikeClip();
    for (auto _ : state)
    {
        HRESULT hr = S_OK;
        ComPtr<CTestPushSource> pSource(new CTestPushSource(ProgramStreamType(), 65536, &hr));
        ComPtr<CMpeg2DemuxFilter> pDemux(new CMpeg2DemuxFilter(nullptr, &hr));
        ComPtr<CVideoDecoderFilter> pDecoder(new CVideoDecoderFilter(nullptr, &hr));
        ComPtr<CDiscardSink> pSink(new CDiscardSink);
        ConnectPins(pSource->Pin(), pDemux->InputPin());
        ConnectPins(CreateVideoOut(pDemux.Get(), 720, 480), pDecoder->InputPin());
        ConnectPins(pDecoder->OutputPin(), pSink->Pin());
        PauseAll({pSink.Get(), pDecoder.Get(), pDemux.Get(), pSource.Get()});
        PushAll(pSource.Get(), clip);
        pSink->WaitForEnd();
        StopAndDisconnect({pSink.Get(), pDecoder.Get(), pDemux.Get(), pSource.Get()});
    }
    state.counters["pictures/s"] = benchmark::Counter(
        double(state.iterations()) * kClipSeconds * 30000.0 / 1001.0, benchmark::Counter::kIsRate);
}

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The whole preview in the graph manager's graph on its clock, as a capture
// with audio and video preview runs it: CPU share and the renderer's counts.
void RealTimePreview(benchmark::State& state)
{
    const std::vector<uint8_t>& clip = CaptureLikeClip();
    CoInitialize(nullptr);
    for (auto _ : state)
    {
        ComPtr<IGraphBuilder> pGraph;
        CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&pGraph));
        HRESULT hr = S_OK;
        ComPtr<CTestPushSource> pSource(new CTestPushSource(ProgramStreamType(), 65536, &hr));
        ComPtr<CMpeg2DemuxFilter> pDemux(new CMpeg2DemuxFilter(nullptr, &hr));
        ComPtr<CVideoDecoderFilter> pVideoDecoder(new CVideoDecoderFilter(nullptr, &hr));
        ComPtr<CVideoRendererFilter> pVideoRenderer(new CVideoRendererFilter(nullptr, &hr));
        ComPtr<CAudioDecoderFilter> pAudioDecoder(new CAudioDecoderFilter(nullptr, &hr));
        ComPtr<CAudioRendererFilter> pAudioRenderer(new CAudioRendererFilter(nullptr, &hr));
        for (IBaseFilter* pFilter : std::initializer_list<IBaseFilter*>{
                 pSource.Get(), pDemux.Get(), pVideoDecoder.Get(), pVideoRenderer.Get(),
                 pAudioDecoder.Get(), pAudioRenderer.Get()})
            pGraph->AddFilter(pFilter, nullptr);
        pGraph->ConnectDirect(pSource->Pin(), pDemux->InputPin(), nullptr);
        pGraph->ConnectDirect(CreateVideoOut(pDemux.Get(), 720, 480), pVideoDecoder->InputPin(),
                              nullptr);
        pGraph->ConnectDirect(pVideoDecoder->OutputPin(), pVideoRenderer->InputPin(), nullptr);
        pGraph->ConnectDirect(CreateAudioOut(pDemux.Get()), pAudioDecoder->InputPin(), nullptr);
        pGraph->ConnectDirect(pAudioDecoder->OutputPin(), pAudioRenderer->InputPin(), nullptr);
        ComPtr<IMediaControl> pControl;
        ComPtr<IMediaEventEx> pEvents;
        pGraph.As(&pControl);
        pGraph.As(&pEvents);

        const double cpuBefore = CpuSeconds();
        pControl->Run();
        PushAll(pSource.Get(), clip);
        LONG code = 0;
        pEvents->WaitForCompletion(60000, &code);
        const double cpu = CpuSeconds() - cpuBefore;
        int drawn = 0, dropped = 0, syncOffset = 0;
        pVideoRenderer->get_FramesDrawn(&drawn);
        pVideoRenderer->get_FramesDroppedInRenderer(&dropped);
        pVideoRenderer->get_AvgSyncOffset(&syncOffset);
        pControl->Stop();
        state.counters["cpu%"] = 100.0 * cpu / kClipSeconds;
        state.counters["drawn"] = drawn;
        state.counters["dropped"] = dropped;
        state.counters["syncOffsetMs"] = syncOffset;
        state.counters["completed"] = code == EC_COMPLETE;
    }
    CoUninitialize();
}
} // namespace

BENCHMARK(Demultiplex)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(DecodeVideo)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(RealTimePreview)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

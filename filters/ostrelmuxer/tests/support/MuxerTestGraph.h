#pragma once

#include "C3TestData.h"
#include "OstrelMuxerFilter.h"
#include "TestPushSource.h"
#include "TestSink.h"

// The muxer between a video source, an audio source and a sink, wired and driven as the
// graph manager would: pins joined directly, state changes downstream first.
class MuxerTestGraph
{
public:
    struct Setup
    {
        MuxInput input;
        bool bConnectVideo = true;
        bool bConnectAudio = true;
        unsigned nMaxVideoDelayMicros = 0;
        unsigned nMaxAudioDelayMicros = 0;
        unsigned nSeed = 1;
        int nRounds = 1;
        bool bPrebuilt = false;
        bool bVideoEndOfStream = true;
        bool bAudioEndOfStream = true;
        bool bStopOnRefusal = true; // sources stop delivering at the first result not S_OK
        TestSink::Options sink;
    };

    explicit MuxerTestGraph(Setup setup);
    ~MuxerTestGraph();

    // Pauses and runs every filter, downstream first, then starts the sources' threads.
    HRESULT Run();
    // Waits for both sources to finish pushing.
    void JoinSources();
    // Stops every filter, downstream first (this also ends the sources' threads).
    void Stop();
    // Stops the sources and the sink, lets go of their side of each connection, then drops
    // the last reference to the muxer, which is still running.
    void DestroyMuxerWithoutStopping();

    OstrelMuxerFilter* Muxer() const { return m_pMuxer.Get(); }
    TestSink* Sink() const { return m_pSink.Get(); }
    TestPushSource* Video() const { return m_pVideo.Get(); }
    TestPushSource* Audio() const { return m_pAudio.Get(); }
    HRESULT ConnectResult() const { return m_hrConnect; }

private:
    void Disconnect(IPin* pOutput, IPin* pInput);

    ComPtr<OstrelMuxerFilter> m_pMuxer;
    ComPtr<TestPushSource> m_pVideo;
    ComPtr<TestPushSource> m_pAudio;
    ComPtr<TestSink> m_pSink;
    HRESULT m_hrConnect = S_OK;
    bool m_bVideoConnected = false;
    bool m_bAudioConnected = false;
};

CMediaType VideoInputType();
CMediaType AudioInputType();

#pragma once

#include "RecordingSink.h"
#include "TestPushSource.h"
#include "ZentraxFilter.h"

#include <com/ComPtr.h>

#include <cstdint>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// The transformation filter between a video source, an audio source and a sink on each
// output, wired and driven as the graph manager would: pins joined directly, state changes
// downstream first.
class ZentraxTestGraph
{
public:
    struct Setup
    {
        std::vector<Bytes> video;
        std::vector<Bytes> audio;
        bool bConnectVideo = true;
        bool bConnectAudio = true;
        // Outputs in the system's own formats, or as the input's type / PCM.
        bool bOwnVideo = true;
        bool bOwnAudio = true;
        bool bVideoEndOfStream = true;
        bool bAudioEndOfStream = true;
        unsigned nMaxDelayMicros = 0;
    };

    explicit ZentraxTestGraph(Setup setup);
    ~ZentraxTestGraph();

    HRESULT ConnectResult() const { return m_hrConnect; }
    // Pauses and runs every filter, downstream first, then starts the sources' threads.
    HRESULT Run();
    // Starts one source only (the filters must run).
    void StartVideo() { m_pVideo->StartPushing(); }
    void StartAudio() { m_pAudio->StartPushing(); }
    void JoinSources();
    // Stops every filter, downstream first; this also ends the sources' threads.
    void Stop();

    ZentraxFilter* Filter() const { return m_pFilter.Get(); }
    TestPushSource* Video() const { return m_pVideo.Get(); }
    TestPushSource* Audio() const { return m_pAudio.Get(); }
    RecordingSink* VideoSink() const { return m_pVideoSink.Get(); }
    RecordingSink* AudioSink() const { return m_pAudioSink.Get(); }
    IPin* Pin(int n) const { return m_pFilter->GetPin(n); }

private:
    HRESULT Connect(IPin* pOutput, IPin* pInput);

    ComPtr<ZentraxFilter> m_pFilter;
    ComPtr<TestPushSource> m_pVideo;
    ComPtr<TestPushSource> m_pAudio;
    ComPtr<RecordingSink> m_pVideoSink;
    ComPtr<RecordingSink> m_pAudioSink;
    std::vector<std::pair<IPin*, IPin*>> m_connections;
    HRESULT m_hrConnect = S_OK;
    bool m_bVideoConnected = false;
    bool m_bAudioConnected = false;
};

// The bytes cut into samples of cbChunk bytes (the last one shorter), as a splitter delivers.
std::vector<Bytes> Chunks(const Bytes& bytes, std::size_t cbChunk);

// Input types as an MPEG splitter and a PCM converter offer them.
CMediaType Mpeg2VideoType();
CMediaType PcmType(DWORD nSamplesPerSec = 48000, WORD nChannels = 2);

// Pin numbers of the filter.
enum ZentraxPin
{
    kAudioIn = 0,
    kAudioOut = 1,
    kVideoIn = 2,
    kVideoOut = 3,
};

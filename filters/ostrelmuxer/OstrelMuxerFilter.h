#pragma once

#include "InternQueue.h"
#include "LockedCounter.h"
#include "streams.h"

#include <atomic>
#include <cstdint>

class AudioInputPin;
class MuxerInputPin;
class OutputPin;
class VideoInputPin;

// The "Ostrel Muxer" filter: interleaves the video stream (one C3 packet per sample,
// header and video, no audio) and the audio stream (one audio unit per sample) into one
// C3 stream. It has no thread of its own: the two upstream threads take turns at their
// pins' gates, one video sample, then its 2 or 4 audio samples, and mux under one lock
// into large output samples that the output pin delivers through its output queue.
// End of stream goes downstream once, behind every packet: when the video input has
// ended and its last packet has its audio, or the audio input has ended too.
//
// A failed delivery (or a failure of the muxing itself, which is reported to the graph)
// ends the stream: both inputs refuse every later sample with it and a thread waiting at
// a gate is let go, until the filter leaves Stopped again or a flush ends.
class OstrelMuxerFilter : public CBaseFilter
{
public:
    static CUnknown* CreateInstance(LPUNKNOWN pUnk, HRESULT* phr);

    OstrelMuxerFilter(LPUNKNOWN pUnk, HRESULT* phr);
    ~OstrelMuxerFilter() override;

    int GetPinCount() override;
    CBasePin* GetPin(int n) override;
    HRESULT Stop() override;
    HRESULT Pause() override;

    // Called by the input pins. The gates are called without any lock held; the
    // sample and end-of-stream calls with the receive lock held.
    bool CanReceiveVideo();
    bool CanReceiveAudio();
    HRESULT OnVideoSample(IMediaSample* pSample);
    HRESULT OnAudioSample(IMediaSample* pSample);
    // After a sample call, with the receive lock released: wakes the input whose turn
    // the sample began.
    void PassTurn() { m_AudioCounter.WakePassingWaiters(); }
    HRESULT OnEndOfStream();
    HRESULT OnBeginFlush();
    HRESULT OnEndFlush();
    HRESULT OnNewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate);
    CCritSec* ReceiveLock() { return &m_csReceive; }
    // S_OK while the stream goes on, else the result that ended it.
    HRESULT StreamResult() const { return m_Failure.Result(); }
    bool IsOutputConnected() const;

    // Called by the output pin.
    HRESULT CheckOutputType(const CMediaType* pmt) const;
    HRESULT SetOutputType(const CMediaType* pmt);
    HRESULT GetOutputType(int iPosition, CMediaType* pmt);
    HRESULT DecideOutputBuffers(IMemAllocator* pAllocator, ALLOCATOR_PROPERTIES* pRequest);
    VideoInputPin* VideoPin() const { return m_pVideoPin; }

private:
    HRESULT CreatePins();
    bool IsAnyInputConnected() const;
    bool IsInputDone(const MuxerInputPin* pPin) const;
    bool IsAudioStillComing() const;
    HRESULT EndStream();
    void ReleaseQueued();

    // The muxing engine (Transform.cpp).
    HRESULT MuxVideo(IMediaSample* pVideo);
    HRESULT MuxAudio(IMediaSample* pAudio);
    HRESULT GetOutputSample(IMediaSample** ppSample);
    HRESULT NewOutputSample(IMediaSample** ppSample);
    HRESULT MovePacketToNewSample(IMediaSample** ppSample, LONG cbAudio);
    HRESULT KeepOpen(IMediaSample* pSample);
    void CloseSample(IMediaSample* pSample);
    HRESULT DeliverMuxed(HRESULT hrMux);
    HRESULT DeliverReady();
    void DeliverOpenSample();
    uint32_t PreviousPacketLength(uint32_t cbUpstreamValue) const;

    CCritSec m_csFilter;
    CCritSec m_csReceive;
    VideoInputPin* m_pVideoPin = nullptr;
    AudioInputPin* m_pAudioPin = nullptr;
    OutputPin* m_pOutputPin = nullptr;
    // End of stream went downstream; it goes once until the next Stop or BeginFlush.
    std::atomic<bool> m_bEosSent{false};
    // Audio units the last packet still waits for before end of stream goes downstream.
    uint32_t m_nAudioDueBeforeEnd = 0;
    InternQueue m_ReadyQueue;
    InternQueue m_OpenQueue;
    LockedCounter m_AudioCounter{0};
    CStreamFailure m_Failure{this, [this] { m_AudioCounter.CancelWait(); }};
    bool m_bBeginFlushSent = false;
    bool m_bEndFlushSent = false;
    std::atomic<uint32_t> m_nAudioPerVideo{4};
    CMediaType m_mtOut;
    BYTE m_bFormatByte = 0x41;

    // Where the packet most recently muxed stands. While m_bPacketOpen its header lies
    // at m_cbHeaderOffset in the open sample and the packet may still take audio.
    bool m_bPacketOpen = false;
    LONG m_cbHeaderOffset = 0;
    uint32_t m_cbLastPacketHead = 0;  // header and video bytes of that packet
    uint32_t m_cbLastAudioLength = 0; // audio bytes muxed behind it
};

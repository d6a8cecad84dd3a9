#pragma once

#include "AudioGate.h"
#include "AudioTransform.h"
#include "VideoTransform.h"

#include "streams.h"

class AudioInputPin;
class AudioOutputPin;
class VideoInputPin;
class VideoOutputPin;

// The "Ostrel ZENTRAX" transformation filter: turns 48 kHz PCM on "Audio In" into the
// system's own audio units (or PCM) on "DeadCafe Out", and MPEG video on "Video In" into C3
// video packets (or time-stamped pictures) on "Xform Out", ready for the muxer. The two paths
// run in parallel under their own receive locks; they meet only at the audio gate, because
// the audio unit length depends on the video frame rate.
//
// A failed delivery on either output, or a failure of the filter's own work (reported to the
// graph), ends the stream of both paths: both inputs refuse every later sample with it and an
// audio thread waiting at the gate is let go, until the filter leaves Stopped or a flush ends.
//
// Lock order: the filter lock, then the audio receive lock, then the video receive lock; the
// locks of queues, the gate and allocators are innermost.
class ZentraxFilter : public CBaseFilter
{
public:
    static CUnknown* CreateInstance(LPUNKNOWN pUnk, HRESULT* phr);

    ZentraxFilter(LPUNKNOWN pUnk, HRESULT* phr);
    ~ZentraxFilter() override;

    // Pins in the order "Audio In", "DeadCafe Out", "Video In", "Xform Out".
    int GetPinCount() override;
    CBasePin* GetPin(int n) override;
    HRESULT Stop() override;
    HRESULT Pause() override;

    // Used by the pins.
    AudioInputPin* AudioInput() const { return m_pAudioInPin; }
    AudioOutputPin* AudioOutput() const { return m_pAudioOutPin; }
    VideoInputPin* VideoInput() const { return m_pVideoInPin; }
    VideoOutputPin* VideoOutput() const { return m_pVideoOutPin; }
    CCritSec* AudioReceiveLock() { return &m_csAudioReceive; }
    CCritSec* VideoReceiveLock() { return &m_csVideoReceive; }
    AudioTransform& AudioPath() { return m_AudioPath; }
    VideoTransform& VideoPath() { return m_VideoPath; }
    AudioGate& Gate() { return m_Gate; }
    // S_OK while the stream goes on, else the result that ended it.
    HRESULT StreamResult() const { return m_Failure.Result(); }
    // A flush ended: the stream goes on again.
    void RestartStream();

private:
    HRESULT CreatePins();
    bool IsAudioConnected() const;
    bool IsVideoConnected() const;
    // Pause with an input unconnected: its output hears at once that its stream has ended.
    void SendEndOfStreamForUnconnected();

    CCritSec m_csFilter;
    CCritSec m_csAudioReceive;
    CCritSec m_csVideoReceive;
    AudioInputPin* m_pAudioInPin = nullptr;
    AudioOutputPin* m_pAudioOutPin = nullptr;
    VideoInputPin* m_pVideoInPin = nullptr;
    VideoOutputPin* m_pVideoOutPin = nullptr;
    bool m_bAudioEosSent = false;
    bool m_bVideoEosSent = false;
    AudioGate m_Gate;
    CStreamFailure m_Failure{this, [this] { m_Gate.SetFailed(true); }};
    VideoTransform m_VideoPath{m_Gate, m_Failure};
    AudioTransform m_AudioPath{m_VideoPath.GetScanner(), m_Failure};
};

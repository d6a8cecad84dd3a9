#pragma once

#include <condition_variable>
#include <mutex>

// Holds the audio input until the video path has queued its first unit, because the audio
// unit length depends on the video frame rate. Stop, an audio flush, the end of the video
// stream and a failure that ended the filter's stream release a waiting audio thread without
// opening the gate, so that a graph can always stop.
class AudioGate
{
public:
    // Waits until the gate opens or a release comes. True when the audio may go on: the gate
    // is open and the filter is neither stopped, nor flushing the audio, nor failed.
    bool Wait();

    // The video path queued a unit (true), or starts a new segment (false).
    void SetVideoReady(bool bReady);
    // The filter left the stopped state: closed, waiting again.
    void Start();
    // The filter stopped: closed, and every wait is released until Start.
    void Stop();
    // The audio input flushes: waits are released until the flush ends.
    void SetFlushing(bool bFlushing);
    // The video stream ended, or starts again after a flush.
    void SetVideoEnded(bool bEnded);
    // The filter's stream ended on a failure, or starts again after a flush.
    void SetFailed(bool bFailed);

private:
    bool IsReleased() const { return m_bStopped || m_bFlushing || m_bVideoEnded || m_bFailed; }
    void Change(bool& bFlag, bool bValue);

    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_bReady = false;
    bool m_bStopped = true;
    bool m_bFlushing = false;
    bool m_bVideoEnded = false;
    bool m_bFailed = false;
};

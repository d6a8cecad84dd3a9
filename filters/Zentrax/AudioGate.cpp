#include "AudioGate.h"

bool AudioGate::Wait()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return m_bReady || IsReleased(); });
    return m_bReady && !m_bStopped && !m_bFlushing && !m_bFailed;
}

void AudioGate::SetVideoReady(bool bReady)
{
    Change(m_bReady, bReady);
}

void AudioGate::Start()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_bReady = false;
    m_bStopped = false;
    m_bVideoEnded = false;
    m_bFailed = false;
}

void AudioGate::Stop()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_bReady = false;
    m_bStopped = true;
    m_bFlushing = false;
    m_changed.notify_all();
}

void AudioGate::SetFlushing(bool bFlushing)
{
    Change(m_bFlushing, bFlushing);
}

void AudioGate::SetVideoEnded(bool bEnded)
{
    Change(m_bVideoEnded, bEnded);
}

void AudioGate::SetFailed(bool bFailed)
{
    Change(m_bFailed, bFailed);
}

void AudioGate::Change(bool& bFlag, bool bValue)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    bFlag = bValue;
    m_changed.notify_all();
}

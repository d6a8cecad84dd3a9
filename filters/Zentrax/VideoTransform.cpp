#include "VideoTransform.h"

#include "AudioGate.h"
#include "OstrelMediaTypesUUIDS.h"
#include "OutputSampleStore.h"
#include "SampleData.h"

// A sample whose data cannot be read is passed over.
HRESULT VideoTransform::Transform(IMediaSample* pSample, const AM_SAMPLE2_PROPERTIES& props)
{
    const BYTE* pData = nullptr;
    std::size_t cbData = 0;
    if (!GetSampleData(pSample, &pData, &cbData))
        return S_OK;
    OutputSampleStore store(*m_pOutput, m_openQueue, m_readyQueue, m_failure, pSample, props,
                            VideoCutter::kBufferSize, &m_gate);
    if (!m_cutter.Cut(pData, cbData, Format(), store))
        return store.Result();
    return store.DeliverReady();
}

void VideoTransform::FinishStream()
{
    const AM_SAMPLE2_PROPERTIES noInput{};
    OutputSampleStore store(*m_pOutput, m_openQueue, m_readyQueue, m_failure, nullptr, noInput,
                            VideoCutter::kBufferSize, &m_gate);
    m_cutter.FinishOpenUnit(Format(), store);
    store.DeliverReady();
}

void VideoTransform::Flush()
{
    m_openQueue.Flush();
    m_readyQueue.Flush();
}

void VideoTransform::Restart()
{
    m_cutter.RestartClock();
    m_scanner.Reset();
}

void VideoTransform::NewSegment()
{
    m_cutter.Restart();
    m_scanner.Reset();
}

VideoCutter::Format VideoTransform::Format() const
{
    return *m_mtOut.Subtype() == MEDIASUBTYPE_OstrelVideo ? VideoCutter::Format::C3Packets
                                                          : VideoCutter::Format::PassThrough;
}

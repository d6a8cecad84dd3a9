#include "AudioTransform.h"

#include "OstrelMediaTypesUUIDS.h"
#include "OutputSampleStore.h"
#include "SampleData.h"
#include "Scanner.h"

// A sample whose data cannot be read is passed over.
HRESULT AudioTransform::Transform(IMediaSample* pSample, const AM_SAMPLE2_PROPERTIES& props)
{
    AudioCutter::Format format;
    if (*m_mtOut.Subtype() == MEDIASUBTYPE_OstrelAudio)
        format = AudioCutter::Format::OwnUnits;
    else if (*m_mtOut.Subtype() == MEDIASUBTYPE_PCM)
        format = AudioCutter::Format::Pcm;
    else
        return S_FALSE;
    if (!m_cutter.HasUnit())
        m_cutter.ChooseUnit(m_scanner.FrameRate(), format);

    const BYTE* pData = nullptr;
    std::size_t cbData = 0;
    if (!GetSampleData(pSample, &pData, &cbData))
        return S_OK;
    OutputSampleStore store(*m_pOutput, m_openQueue, m_readyQueue, m_failure, pSample, props,
                            m_cutter.UnitLength());
    if (!m_cutter.Cut(pData, cbData, store))
        return store.Result();
    return store.DeliverReady();
}

void AudioTransform::Flush()
{
    m_openQueue.Flush();
    m_readyQueue.Flush();
}

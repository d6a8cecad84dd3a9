#include "PcmSampleWriter.h"

#include <algorithm>
#include <cstring>

void PcmSampleWriter::Restart()
{
    m_bAnchored = false;
    m_bDiscontinuity = true;
    m_tAnchor = 0;
    m_nFramesWritten = 0;
}

void PcmSampleWriter::AnchorTime(REFERENCE_TIME tStart)
{
    if (m_bAnchored)
        return;
    m_bAnchored = true;
    m_tAnchor = tStart;
    m_nFramesWritten = 0;
}

REFERENCE_TIME PcmSampleWriter::TimeOfFrame(LONGLONG nFrame) const
{
    return m_tAnchor + nFrame * UNITS / m_Format.nSamplesPerSec;
}

HRESULT PcmSampleWriter::Write(std::span<const BYTE> bytes)
{
    m_bAnchored = true; // a run without any input time starts at 0
    while (!bytes.empty() && m_Failure.Result() == S_OK)
        DeliverOne(bytes);
    return m_Failure.Result();
}

HRESULT PcmSampleWriter::DeliverOne(std::span<const BYTE>& bytes)
{
    IMediaSample* pSample = nullptr;
    HRESULT hr = m_pPin->GetDeliveryBuffer(&pSample, nullptr, nullptr, 0);
    if (FAILED(hr))
        return m_Failure.FromOwnWork(hr);
    BYTE* pBuffer = nullptr;
    pSample->GetPointer(&pBuffer);
    const size_t cbBlock = size_t(m_Format.BlockAlign());
    const size_t cbRoom = size_t(pSample->GetSize()) / cbBlock * cbBlock;
    const size_t cbCopy = std::min(cbRoom, bytes.size());
    if (cbCopy == 0)
    {
        pSample->Release();
        return m_Failure.FromOwnWork(VFW_E_BUFFER_OVERFLOW); // smaller than one sample frame
    }
    std::memcpy(pBuffer, bytes.data(), cbCopy);
    pSample->SetActualDataLength(LONG(cbCopy));

    const LONGLONG nFrames = LONGLONG(cbCopy / cbBlock);
    REFERENCE_TIME tStart = TimeOfFrame(m_nFramesWritten);
    REFERENCE_TIME tStop = TimeOfFrame(m_nFramesWritten + nFrames);
    pSample->SetTime(&tStart, &tStop);
    pSample->SetSyncPoint(TRUE);
    pSample->SetDiscontinuity(m_bDiscontinuity);
    m_bDiscontinuity = false;
    m_nFramesWritten += nFrames;
    bytes = bytes.subspan(cbCopy);

    hr = m_Failure.FromDelivery(m_pPin->Deliver(pSample));
    pSample->Release();
    return hr;
}

#include "SampleData.h"

bool GetSampleData(IMediaSample* pSample, const BYTE** ppData, std::size_t* pcbData)
{
    BYTE* pData = nullptr;
    if (FAILED(pSample->GetPointer(&pData)))
        return false;
    const LONG cbActual = pSample->GetActualDataLength();
    if (cbActual < 0 || cbActual > pSample->GetSize() || (cbActual > 0 && !pData))
        return false;
    *ppData = pData;
    *pcbData = static_cast<std::size_t>(cbActual);
    return true;
}

#include "MemAllocator.h"

#include "MediaSample.h"

#include <cstdint>
#include <new>

namespace
{
// Upper bound of one allocator's memory; larger requests fail cleanly instead
// of exhausting the process.
constexpr std::uint64_t kMaxTotalBytes = std::uint64_t(1) << 30;
} // namespace

CMemAllocator::CMemAllocator(LPCTSTR pName, LPUNKNOWN pUnk, HRESULT* phr)
    : CBaseAllocator(pName, pUnk, phr)
{
}

CMemAllocator::~CMemAllocator()
{
    std::lock_guard<std::mutex> lock(m_csAllocator);
    ReallyFree();
}

CUnknown* CMemAllocator::CreateInstance(LPUNKNOWN pUnk, HRESULT* phr)
{
    CUnknown* pObject = new (std::nothrow) CMemAllocator(NAME("Memory allocator"), pUnk, phr);
    if (!pObject && phr)
        *phr = E_OUTOFMEMORY;
    return pObject;
}

HRESULT CMemAllocator::Alloc()
{
    if (m_ppSamples && !m_bChanged)
        return S_OK;
    ReallyFree();

    // Each buffer takes its prefix and data, rounded up to the alignment; the
    // first data start is aligned within the block.
    const std::uint64_t align = static_cast<std::uint64_t>(m_lAlignment);
    const std::uint64_t stride =
        (static_cast<std::uint64_t>(m_lPrefix) + m_lSize + align - 1) / align * align;
    const std::uint64_t firstData =
        (static_cast<std::uint64_t>(m_lPrefix) + align - 1) / align * align;
    const std::uint64_t total =
        firstData - m_lPrefix + stride * static_cast<std::uint64_t>(m_lCount) + align;
    if (total > kMaxTotalBytes)
        return E_OUTOFMEMORY;

    m_pBuffer = new (std::nothrow) BYTE[total];
    m_ppSamples = new (std::nothrow) CMediaSample*[m_lCount]();
    if (!m_pBuffer || !m_ppSamples)
    {
        ReallyFree();
        return E_OUTOFMEMORY;
    }

    // Align the first data start in absolute terms.
    const std::uintptr_t base = reinterpret_cast<std::uintptr_t>(m_pBuffer) + m_lPrefix;
    BYTE* pData = m_pBuffer + m_lPrefix + ((align - base % align) % align);
    for (LONG i = 0; i < m_lCount; ++i, pData += stride)
    {
        HRESULT hr = S_OK;
        CMediaSample* pSample =
            new (std::nothrow) CMediaSample(NAME("Memory sample"), this, &hr, pData, m_lSize);
        if (!pSample)
        {
            ReallyFree();
            return E_OUTOFMEMORY;
        }
        m_ppSamples[i] = pSample;
        ++m_lAllocated;
        AddFree(pSample);
    }
    return S_OK;
}

void CMemAllocator::ReallyFree()
{
    while (RemoveFree())
    {
    }
    if (m_ppSamples)
    {
        for (LONG i = 0; i < m_lAllocated; ++i)
            delete m_ppSamples[i];
        delete[] m_ppSamples;
        m_ppSamples = nullptr;
    }
    m_lAllocated = 0;
    delete[] m_pBuffer;
    m_pBuffer = nullptr;
}

HRESULT CreateMemoryAllocator(IMemAllocator** ppAllocator)
{
    if (!ppAllocator)
        return E_POINTER;
    HRESULT hr = S_OK;
    CMemAllocator* pAllocator =
        new (std::nothrow) CMemAllocator(NAME("Memory allocator"), nullptr, &hr);
    *ppAllocator = pAllocator;
    if (!pAllocator)
        return E_OUTOFMEMORY;
    pAllocator->AddRef();
    return S_OK;
}

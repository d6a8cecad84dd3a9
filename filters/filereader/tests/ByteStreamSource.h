#pragma once

#include "streams.h"

#include <cstdint>
#include <span>
#include <thread>
#include <vector>

// A push source for tests: on a streaming thread of its own it delivers a byte stream
// cut into samples of the given sizes, then end of stream. It offers MEDIATYPE_Stream.
class CByteStreamSource : public CBaseFilter
{
public:
    static constexpr LONG kMaxSampleBytes = 64 * 1024;

    class COutputPin : public CBaseOutputPin
    {
    public:
        COutputPin(CByteStreamSource* pFilter, HRESULT* phr);
        HRESULT CheckMediaType(const CMediaType* pmt) override;
        HRESULT GetMediaType(int iPosition, CMediaType* pmt) override;
        HRESULT DecideBufferSize(IMemAllocator* pAlloc, ALLOCATOR_PROPERTIES* pRequest) override;
    };

    explicit CByteStreamSource(HRESULT* phr);
    ~CByteStreamSource() override;

    int GetPinCount() override { return 1; }
    CBasePin* GetPin(int n) override { return n == 0 ? &m_Pin : nullptr; }

    // Sample sizes must not exceed kMaxSampleBytes; the stream must outlive the streaming.
    void StartStreaming(std::span<const std::uint8_t> stream, std::vector<std::size_t> sampleSizes);
    // Waits for the streaming thread; returns the first failed delivery, else S_OK.
    HRESULT FinishStreaming();

    COutputPin m_Pin;

private:
    HRESULT Deliver(std::span<const std::uint8_t> bytes);

    CCritSec m_csFilter;
    std::thread m_thread;
    HRESULT m_hrDelivery = S_OK;
};

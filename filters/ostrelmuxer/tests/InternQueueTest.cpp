#include "InternQueue.h"

#include "streams.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
// An allocator of a few small buffers; whether all of them can be had again without
// waiting shows whether the queue released what it held.
class SampleSource
{
public:
    static constexpr LONG kBuffers = 3;

    SampleSource()
    {
        EXPECT_EQ(CreateMemoryAllocator(&m_pAllocator), S_OK);
        ALLOCATOR_PROPERTIES request{kBuffers, 16, 1, 0}, actual{};
        EXPECT_EQ(m_pAllocator->SetProperties(&request, &actual), S_OK);
        EXPECT_EQ(m_pAllocator->Commit(), S_OK);
    }
    ~SampleSource() { m_pAllocator->Decommit(); }

    IMediaSample* Take()
    {
        IMediaSample* pSample = nullptr;
        return m_pAllocator->GetBuffer(&pSample, nullptr, nullptr, AM_GBF_NOWAIT) == S_OK ? pSample
                                                                                          : nullptr;
    }

    bool AllBuffersFree()
    {
        std::vector<IMediaSample*> taken;
        while (IMediaSample* pSample = Take())
            taken.push_back(pSample);
        for (IMediaSample* pSample : taken)
            pSample->Release();
        return taken.size() == size_t{kBuffers};
    }

private:
    ComPtr<IMemAllocator> m_pAllocator;
};

TEST(InternQueue, HandsSamplesBackOldestFirstThenNull)
{
    SampleSource source;
    InternQueue queue;
    IMediaSample* samples[] = {source.Take(), source.Take(), source.Take()};
    for (IMediaSample* pSample : samples)
        ASSERT_EQ(queue.Put(pSample), S_OK);
    for (IMediaSample* pSample : samples)
    {
        IMediaSample* pOut = queue.Get();
        EXPECT_EQ(pOut, pSample);
        pOut->Release();
    }
    EXPECT_EQ(queue.Get(), nullptr);
    EXPECT_TRUE(source.AllBuffersFree());
}

TEST(InternQueue, FlushAndDestructionReleaseWhatIsQueued)
{
    SampleSource source;
    {
        InternQueue queue;
        queue.Put(source.Take());
        queue.Put(source.Take());
        queue.Flush();
        EXPECT_EQ(queue.Get(), nullptr);
        EXPECT_TRUE(source.AllBuffersFree());
        queue.Put(source.Take());
        queue.Put(source.Take());
    }
    EXPECT_TRUE(source.AllBuffersFree());
}
} // namespace

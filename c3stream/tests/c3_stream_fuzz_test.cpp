// Random and mutated streams into CC3Stream::Read. Each input lives in a heap block of exactly
// its size, so the sanitizers catch any access outside it.
#include "c3stream/c3stream_headers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

namespace
{
using Bytes = std::vector<std::uint8_t>;

Bytes ValidStream(std::mt19937& rng)
{
    std::uniform_int_distribution<std::uint32_t> length(0, 300);
    const std::uint32_t nPackets = rng() % 6;
    Bytes bytes;
    std::uint64_t cbPrevious = 0;
    for (std::uint32_t i = 0; i < nPackets; ++i)
    {
        CC3Header header;
        header.m_cbHeaderLength = kC3HeaderLength;
        header.m_cbVideoLength = length(rng);
        header.m_cbAudioLength = rng() % 3 == 0 ? 0 : length(rng);
        header.m_nFlags = 1 + rng() % 3;
        header.m_cbPreviousLength = static_cast<std::uint32_t>(cbPrevious);
        header.m_timestamp.m_dSeconds = i / 25.0;
        cbPrevious = header.TotalLength();
        const std::size_t cbStart = bytes.size();
        bytes.resize(cbStart + cbPrevious, static_cast<std::uint8_t>(rng()));
        CBufferWriter writer(bytes.data() + cbStart, kC3HeaderLength);
        header.Write(writer);
    }
    return bytes;
}

void Mutate(Bytes& bytes, std::mt19937& rng)
{
    switch (rng() % 4)
    {
    case 0: // flip a few bytes, often in a header's length fields
        for (std::uint32_t i = 0, n = 1 + rng() % 4; i < n && !bytes.empty(); ++i)
            bytes[rng() % bytes.size()] = static_cast<std::uint8_t>(rng());
        break;
    case 1: // cut anywhere
        bytes.resize(bytes.empty() ? 0 : rng() % bytes.size());
        break;
    case 2: // a large length in the first header
        if (bytes.size() >= 16)
            std::memset(bytes.data() + 8 + 4 * (rng() % 2), 0xFF, 4);
        break;
    default: // pure noise, sometimes with a marker in front
        bytes.assign(rng() % 64, 0);
        std::generate(bytes.begin(), bytes.end(), [&] { return rng(); });
        if (bytes.size() >= 4 && rng() % 2)
            std::memcpy(bytes.data(), "\x88\x88\xCA\xFE", 4);
        break;
    }
}

// Payloads must lie inside the input.
class CBoundsProcessor : public IProcessor
{
public:
    CBoundsProcessor(const std::uint8_t* pBegin, const std::uint8_t* pEnd)
        : m_pBegin(pBegin), m_pEnd(pEnd)
    {
    }
    bool ProcessAudioData(CC3AudioData& audio) override { return Check(audio); }
    bool ProcessVideoData(CC3VideoData& video) override { return Check(video); }

    bool m_bComplete = true;

private:
    bool Check(const CC3Payload& payload)
    {
        EXPECT_GE(payload.Data(), m_pBegin);
        EXPECT_LE(payload.Length(), static_cast<std::size_t>(m_pEnd - payload.Data()));
        return true;
    }
    const std::uint8_t* m_pBegin;
    const std::uint8_t* m_pEnd;
};

bool HasAllPayloads(const CC3Packet& packet)
{
    const CC3Header& header = *packet.C3Header();
    return (header.m_cbVideoLength == 0 || packet.VideoData()) &&
           (header.m_cbAudioLength == 0 || packet.AudioData());
}

void ReadWriteAndCheck(const Bytes& input)
{
    const std::size_t cb = input.size();
    const std::unique_ptr<std::uint8_t[]> pExact(new std::uint8_t[cb]);
    std::copy(input.begin(), input.end(), pExact.get());
    CBufferReader reader(pExact.get(), cb);
    CC3Stream stream;
    bool bThrew = false;
    try
    {
        stream.Read(reader);
    }
    catch (const CReaderException&)
    {
        bThrew = true;
    }
    CBoundsProcessor bounds(pExact.get(), pExact.get() + cb);
    EXPECT_TRUE(stream.Accept(bounds));

    bool bComplete = !bThrew;
    for (const auto& pChild : stream.Children())
        bComplete = bComplete && HasAllPayloads(dynamic_cast<const CC3Packet&>(*pChild));
    const std::unique_ptr<std::uint8_t[]> pOut(new std::uint8_t[cb]);
    CBufferWriter writer(pOut.get(), cb);
    try
    {
        stream.Write(writer);
    }
    catch (const CWriterException&)
    {
        bComplete = false;
    }
    // A stream read without loss writes back exactly the bytes it consumed.
    if (bComplete)
    {
        ASSERT_EQ(writer.Position() - writer.Begin(), reader.Position() - reader.Begin());
        EXPECT_TRUE(std::equal(writer.Begin(), writer.Position(), reader.Begin()));
    }
}

TEST(C3StreamFuzz, RandomAndMutatedStreamsNeverCrash)
{
    std::mt19937 rng(20240601);
    for (int i = 0; i < 4000; ++i)
    {
        Bytes bytes = ValidStream(rng);
        if (i % 5 != 0)
            Mutate(bytes, rng);
        ReadWriteAndCheck(bytes);
        if (HasFailure())
        {
            ADD_FAILURE() << "iteration " << i;
            return;
        }
    }
}
} // namespace

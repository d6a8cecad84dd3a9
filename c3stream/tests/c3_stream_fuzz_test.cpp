// Random and mutated streams into CC3Stream::Read, each in a heap block of exactly its size so
// the sanitizers catch any access outside it.
#include "c3_test_support.h"

#include "c3stream/c3stream_headers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace
{
Bytes ValidStream(std::mt19937& rng)
{
    Bytes bytes;
    std::uint64_t cbPrevious = 0;
    for (std::uint32_t i = 0, nPackets = rng() % 6; i < nPackets; ++i)
    {
        const std::uint32_t cbVideo = rng() % 300;
        const std::uint32_t cbAudio = rng() % 3 ? rng() % 300 : 0;
        const Bytes header = HeaderBytes(cbVideo, cbAudio, cbPrevious, i / 25.0);
        bytes.insert(bytes.end(), header.begin(), header.end());
        bytes.resize(bytes.size() + cbVideo + cbAudio, static_cast<std::uint8_t>(rng()));
        cbPrevious = kC3HeaderLength + cbVideo + cbAudio;
    }
    return bytes;
}

void Mutate(Bytes& bytes, std::mt19937& rng)
{
    switch (rng() % 4)
    {
    case 0: // a few random bytes
        for (std::uint32_t i = 0, n = 1 + rng() % 4; i < n && !bytes.empty(); ++i)
            bytes[rng() % bytes.size()] = static_cast<std::uint8_t>(rng());
        break;
    case 1: // cut anywhere
        bytes.resize(bytes.empty() ? 0 : rng() % bytes.size());
        break;
    case 2: // a huge length in the first header
        if (bytes.size() >= 16)
            std::memset(bytes.data() + 8 + 4 * (rng() % 2), 0xFF, 4);
        break;
    default: // noise, sometimes behind a marker
        bytes.resize(rng() % 64);
        for (auto& by : bytes)
            by = static_cast<std::uint8_t>(rng());
        if (bytes.size() >= 4 && rng() % 2)
            std::memcpy(bytes.data(), "\x88\x88\xCA\xFE", 4);
        break;
    }
}

// Whether the packet holds every payload its header declares; each one must lie inside the
// input.
bool CheckPayloads(const CSyntaxElement& element, const CBufferReader& input)
{
    const auto& packet = dynamic_cast<const CC3Packet&>(element);
    for (const CC3Payload* pPayload : {static_cast<const CC3Payload*>(packet.VideoData()),
                                       static_cast<const CC3Payload*>(packet.AudioData())})
    {
        if (pPayload)
        {
            EXPECT_GE(pPayload->Data(), input.Begin());
            EXPECT_LE(pPayload->Length(), std::size_t(input.End() - pPayload->Data()));
        }
    }
    const CC3Header& header = *packet.C3Header();
    return (header.m_cbVideoLength == 0 || packet.VideoData()) &&
           (header.m_cbAudioLength == 0 || packet.AudioData());
}

void ReadWriteAndCheck(const Bytes& input)
{
    const CExactBuffer exact(input);
    CBufferReader reader = exact.Reader();
    CC3Stream stream;
    bool bComplete = true;
    try
    {
        stream.Read(reader);
    }
    catch (const CReaderException&)
    {
        bComplete = false;
    }
    IProcessor walkAll;
    EXPECT_TRUE(stream.Accept(walkAll));
    for (const auto& pPacket : stream.Children())
        bComplete = CheckPayloads(*pPacket, reader) && bComplete;

    Bytes out(input.size());
    CBufferWriter writer(out.data(), out.size());
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
    for (int i = 0; i < 4000 && !HasFailure(); ++i)
    {
        Bytes bytes = ValidStream(rng);
        if (i % 5 != 0)
            Mutate(bytes, rng);
        ReadWriteAndCheck(bytes);
        if (HasFailure())
            ADD_FAILURE() << "iteration " << i;
    }
}
} // namespace

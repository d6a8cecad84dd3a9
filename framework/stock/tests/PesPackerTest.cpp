// The splitter's streaming input: the packing of PES payload into queue records, over
// program streams written here byte by byte (where records begin and end, which times
// they carry, which private stream 1 bytes count, that no record stays open while the
// producer waits), and the sequential reads of the source.

#include "splitter/PesPacker.h"
#include "TestFilters.h"
#include "splitter/AsyncReaderIo.h"

#include <com/ComPtr.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <optional>
#include <vector>

namespace
{
using namespace std::chrono_literals;
using Bytes = std::vector<uint8_t>;

constexpr uint8_t kVideo = 0xE0;
constexpr uint8_t kAudio = 0xC0;
constexpr uint8_t kPrivate1 = 0xBD;

void Append(Bytes& out, const Bytes& more)
{
    out.insert(out.end(), more.begin(), more.end());
}

Bytes Filler(size_t cb, uint8_t seed)
{
    Bytes bytes(cb);
    for (size_t i = 0; i < cb; ++i)
        bytes[i] = uint8_t(seed + i * 7); // never three bytes of a start code
    return bytes;
}

// An MPEG-2 pack header without stuffing.
Bytes PackHeader()
{
    return {0x00, 0x00, 0x01, 0xBA, 0x44, 0x00, 0x04, 0x00, 0x04, 0x01, 0x01, 0x89, 0xC3, 0xF8};
}

// An MPEG-2 PES packet, with a PTS when one is given. Built at its final size: growing
// a vector made from a brace list trips a false -Warray-bounds in GCC 12 at -O3.
Bytes PesPacket(uint8_t streamId, const Bytes& payload, std::optional<int64_t> pts = {})
{
    const size_t cbHeader = pts ? 8 : 3;
    const size_t cbPacket = cbHeader + payload.size();
    Bytes packet(6 + cbPacket);
    const uint8_t start[] = {0x00, 0x00, 0x01, streamId, uint8_t(cbPacket >> 8), uint8_t(cbPacket),
                             0x80, uint8_t(pts ? 0x80 : 0x00), uint8_t(pts ? 5 : 0)};
    auto out = std::copy(std::begin(start), std::end(start), packet.begin());
    if (pts)
    {
        const int64_t t = *pts;
        const uint8_t stamp[] = {uint8_t(0x21 | ((t >> 29) & 0x0E)), uint8_t(t >> 22),
                                 uint8_t(((t >> 14) & 0xFE) | 1), uint8_t(t >> 7),
                                 uint8_t((t << 1) | 1)};
        out = std::copy(std::begin(stamp), std::end(stamp), out);
    }
    std::copy(payload.begin(), payload.end(), out);
    return packet;
}

struct Record
{
    PacketInfo info;
    Bytes bytes;
};

std::vector<Record> Drain(PacketQueue& queue)
{
    queue.EndOfStream();
    std::vector<Record> records;
    PacketInfo info;
    const BYTE* pData = nullptr;
    size_t cbData = 0;
    while (queue.Front(&info, &pData, &cbData))
    {
        records.push_back({info, Bytes(pData, pData + cbData)});
        queue.Pop();
    }
    return records;
}

ProgramStreamDemuxer::PesIdentity Identity(uint8_t streamId, std::optional<uint8_t> substream = {},
                                           size_t cbSubstreamHeader = 0, bool bRawAc3 = false)
{
    return {streamId, substream, cbSubstreamHeader, bRawAc3};
}

REFERENCE_TIME TimeOfTicks(int64_t ticks)
{
    return ticks * 1000 / 9;
}

// A packer with a video route and an audio route over queues of their own; a wait
// for room gives up.
struct Packing
{
    ProgramStreamDemuxer demuxer; // not opened: stamps count from 0
    PacketQueue video;
    PacketQueue audio;
    int waits = 0;
    PesPacker packer{[this](const PesPacker::Route&, const PacketInfo&)
                     {
                         ++waits;
                         return PacketQueue::PutResult::Closed;
                     }};
    ProgramStreamParser parser{packer};

    Packing(ProgramStreamDemuxer::PesIdentity audioIdentity, size_t cbVideoRecord = 4096,
            size_t cbAudioQueue = 64 * 1024)
    {
        EXPECT_TRUE(video.Allocate(64 * 1024));
        EXPECT_TRUE(audio.Allocate(cbAudioQueue));
        const PesPacker::Route routes[] = {{Identity(kVideo), &video, cbVideoRecord},
                                           {audioIdentity, &audio, 4096}};
        packer.Start(demuxer, routes);
    }
    void Push(const Bytes& stream, size_t cbPiece)
    {
        for (size_t i = 0; i < stream.size(); i += cbPiece)
            parser.Push({stream.data() + i, std::min(cbPiece, stream.size() - i)});
        packer.EndRecords();
    }
};
} // namespace

// Any piece size gives the same records: a record begins at each stamped packet and
// gathers the unstamped ones after it, whatever other streams come between.
TEST(PesPacker, StampedPacketsBeginRecordsThatGatherTheRest)
{
    const Bytes a = Filler(100, 1), b = Filler(50, 2), c = Filler(30, 3), tone = Filler(40, 4);
    Bytes stream = PackHeader();
    Append(stream, PesPacket(kVideo, a, 9000));
    Append(stream, PesPacket(kAudio, tone, 9000));
    Append(stream, PesPacket(kVideo, b));
    Append(stream, PackHeader());
    Append(stream, PesPacket(0xE1, Filler(20, 5), 9000)); // another video stream
    Append(stream, PesPacket(kVideo, c, 12000));

    for (const size_t cbPiece : {stream.size(), size_t(1), size_t(7)})
    {
        Packing p(Identity(kAudio));
        p.Push(stream, cbPiece);
        const std::vector<Record> video = Drain(p.video);
        ASSERT_EQ(2u, video.size()) << "pieces of " << cbPiece;
        Bytes first = a;
        Append(first, b);
        EXPECT_EQ(first, video[0].bytes);
        EXPECT_EQ(TimeOfTicks(9000), video[0].info.tStart);
        EXPECT_EQ(PacketInfo::kHasTime | PacketInfo::kSyncPoint, video[0].info.dwFlags);
        EXPECT_EQ(c, video[1].bytes);
        EXPECT_EQ(TimeOfTicks(12000), video[1].info.tStart);
        const std::vector<Record> audio = Drain(p.audio);
        ASSERT_EQ(1u, audio.size());
        EXPECT_EQ(tone, audio[0].bytes);
    }
}

TEST(PesPacker, RecordsNeverExceedTheSampleSizeAndOnlyTheFirstIsStamped)
{
    const Bytes picture = Filler(5000, 9);
    Bytes stream = PackHeader();
    Append(stream, PesPacket(kVideo, picture, 3000));
    Packing p(Identity(kAudio), 2048);
    p.Push(stream, stream.size());
    const std::vector<Record> video = Drain(p.video);
    ASSERT_EQ(3u, video.size());
    EXPECT_EQ(2048u, video[0].bytes.size());
    EXPECT_EQ(2048u, video[1].bytes.size());
    EXPECT_EQ(904u, video[2].bytes.size());
    EXPECT_TRUE(video[0].info.dwFlags & PacketInfo::kHasTime);
    EXPECT_EQ(0u, video[1].info.dwFlags | video[2].info.dwFlags);
    Bytes joined;
    for (const Record& record : video)
        Append(joined, record.bytes);
    EXPECT_EQ(picture, joined);
}

// LPCM loses the substream byte, the 3-byte substream header and its own 3-byte header;
// AC-3 either its substream header or nothing, when it fills the packet without one.
// Packets of other substreams are not the stream's.
TEST(PesPacker, PrivateStream1KeepsOnlyItsSubstreamsPayload)
{
    const Bytes samples = Filler(60, 11);
    Bytes lpcm{0xA0, 0x01, 0x00, 0x04, 0x00, 0x10, 0x80};
    Append(lpcm, samples);
    Bytes otherLpcm{0xA1, 0x01, 0x00, 0x04, 0x00, 0x10, 0x80};
    Append(otherLpcm, Filler(60, 12));
    Bytes stream = PackHeader();
    Append(stream, PesPacket(kPrivate1, lpcm, 100));
    Append(stream, PesPacket(kPrivate1, otherLpcm, 100));
    Append(stream, PesPacket(kPrivate1, Bytes{0x80, 0x01, 0x00, 0x01, 0x0B, 0x77, 0x10}, 100));
    Packing lpcmPacking(Identity(kPrivate1, 0xA0, 6));
    lpcmPacking.Push(stream, 5);
    const std::vector<Record> lpcmRecords = Drain(lpcmPacking.audio);
    ASSERT_EQ(1u, lpcmRecords.size());
    EXPECT_EQ(samples, lpcmRecords[0].bytes);

    const Bytes frame{0x0B, 0x77, 0x12, 0x34, 0x56};
    Bytes ac3{0x80, 0x01, 0x00, 0x01};
    Append(ac3, frame);
    Bytes ac3Stream = PackHeader();
    Append(ac3Stream, PesPacket(kPrivate1, ac3, 100));
    Append(ac3Stream, PesPacket(kPrivate1, frame, 200)); // no substream header
    Append(ac3Stream, PesPacket(kPrivate1, lpcm, 300));
    Packing ac3Packing(Identity(kPrivate1, 0x80, 3, true));
    ac3Packing.Push(ac3Stream, ac3Stream.size());
    const std::vector<Record> ac3Records = Drain(ac3Packing.audio);
    ASSERT_EQ(2u, ac3Records.size());
    EXPECT_EQ(frame, ac3Records[0].bytes);
    EXPECT_EQ(frame, ac3Records[1].bytes);
}

// When the audio queue is full, the video bytes packed so far are published before the
// packer waits, and a wait that gives up halts the packing.
TEST(PesPacker, WaitingPublishesOpenRecordsFirst)
{
    Packing p(Identity(kAudio), 4096, 4096);
    Bytes stream = PackHeader();
    Append(stream, PesPacket(kVideo, Filler(300, 1), 0));
    for (int i = 0; i < 20; ++i) // more than the 4 KiB ring holds
        Append(stream, PesPacket(kAudio, Filler(200, 2), i * 100));
    p.parser.Push(stream);
    EXPECT_EQ(1, p.waits);
    EXPECT_TRUE(p.packer.IsHalted());
    EXPECT_FALSE(p.video.HasOpenRecord());
    const std::vector<Record> video = Drain(p.video);
    ASSERT_EQ(1u, video.size());
    EXPECT_EQ(300u, video[0].bytes.size());
}

namespace
{
// A source whose reads fail from a given offset on, as a failing disk's do.
class CFailingStream : public CAsyncStream
{
public:
    CFailingStream(LONGLONG cbSize, LONGLONG cbReadable)
        : m_cbSize(cbSize), m_cbReadable(cbReadable)
    {
    }
    HRESULT SetPointer(LONGLONG llPos) override
    {
        m_llPosition = llPos;
        return S_OK;
    }
    HRESULT Read(BYTE* pbBuffer, DWORD dwBytesToRead, BOOL, DWORD* pdwBytesRead) override
    {
        *pdwBytesRead = 0;
        if (m_llPosition + dwBytesToRead > m_cbReadable)
            return kReadError;
        std::memset(pbBuffer, 0, dwBytesToRead);
        m_llPosition += dwBytesToRead;
        *pdwBytesRead = dwBytesToRead;
        return S_OK;
    }
    LONGLONG Size(LONGLONG* pSizeAvailable) override
    {
        if (pSizeAvailable)
            *pSizeAvailable = m_cbSize;
        return m_cbSize;
    }
    DWORD Alignment() override { return 1; }
    void Lock() override {}
    void Unlock() override {}

    static constexpr HRESULT kReadError = HRESULT_FROM_WIN32(ERROR_READ_FAULT);

private:
    const LONGLONG m_cbSize;
    const LONGLONG m_cbReadable;
    LONGLONG m_llPosition = 0;
};
} // namespace

// Streaming reads the source front to back: a failed read is the reader's error, never
// the end of the data, and the end is S_FALSE.
TEST(AsyncReaderIo, SequentialReadsTellAFailureFromTheEnd)
{
    for (const LONGLONG cbReadable : {LONGLONG(1000), LONGLONG(2500)})
    {
        CFailingStream stream(2500, cbReadable);
        HRESULT hr = S_OK;
        ComPtr<IBaseFilter> pSource(new CAsyncReader(NAME("failing"), nullptr, &stream, &hr));
        ComPtr<IAsyncReader> pReader;
        ASSERT_EQ(S_OK, FindPin(pSource.Get(), PINDIR_OUTPUT)
                            ->QueryInterface(IID_IAsyncReader,
                                             reinterpret_cast<void**>(pReader.GetAddressOf())));
        AsyncReaderIo io;
        ASSERT_EQ(S_OK, io.Open(pReader.Get()));
        uint8_t buffer[1000];
        LONG cbRead = 0;
        for (int i = 0; i < 2; ++i)
        {
            hr = io.ReadNext(buffer, sizeof buffer, &cbRead);
            if (cbReadable < 2500 && i == 1)
            {
                EXPECT_EQ(CFailingStream::kReadError, hr);
                EXPECT_EQ(0, cbRead);
            }
            else
            {
                EXPECT_EQ(S_OK, hr);
                EXPECT_EQ(1000, cbRead);
            }
        }
        if (cbReadable == 2500)
        {
            EXPECT_EQ(S_OK, io.ReadNext(buffer, sizeof buffer, &cbRead));
            EXPECT_EQ(500, cbRead);
            EXPECT_EQ(S_FALSE, io.ReadNext(buffer, sizeof buffer, &cbRead));
        }
    }
}

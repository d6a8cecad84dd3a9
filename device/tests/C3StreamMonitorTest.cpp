// The playback pin's stream check: what it counts on sound streams however they are
// cut into pieces, and how it counts and gets over each kind of damage.

#include "C3StreamMonitor.h"
#include "C3StreamBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace
{
using Bytes = std::vector<std::uint8_t>;

PlaybackCounts Check(const Bytes& bytes, std::size_t cbPiece = 4096)
{
    C3StreamMonitor monitor;
    for (std::size_t offset = 0; offset < bytes.size(); offset += cbPiece)
        monitor.Feed(bytes.data() + offset, std::min(cbPiece, bytes.size() - offset));
    monitor.EndOfStream();
    return monitor.Counts();
}

// Packets with and without video or audio, one with an empty audio frame.
C3StreamBuilder MixedStream()
{
    C3StreamBuilder stream;
    stream.Packet(500, 2, 100, 0.0)
        .Packet(0, 4, 60, 0.03)
        .Packet(300, 0, 0, 0.06)
        .Packet(200, 1, 0, 0.1)
        .Packets(3, 0.13);
    return stream;
}
} // namespace

TEST(C3StreamMonitor, CountsASoundStreamWhateverPiecesItComesIn)
{
    C3StreamBuilder stream = MixedStream();
    for (std::size_t cbPiece : {std::size_t(1), std::size_t(3), std::size_t(27), std::size_t(29),
                                std::size_t(1000), stream.Bytes().size()})
    {
        const PlaybackCounts counts = Check(stream.Bytes(), cbPiece);
        EXPECT_EQ(stream.PacketCount(), counts.packets) << "pieces of " << cbPiece;
        EXPECT_EQ(stream.PictureCount(), counts.pictures) << "pieces of " << cbPiece;
        EXPECT_EQ(stream.AudioFrameCount(), counts.audioFrames) << "pieces of " << cbPiece;
        EXPECT_EQ(0u, counts.violations) << "pieces of " << cbPiece;
        EXPECT_EQ(stream.Bytes().size(), counts.bytes);
    }
}

TEST(C3StreamMonitor, CountsEachDamageOnceAndFindsTheNextPacket)
{
    struct Damage
    {
        const char* what;
        void (*apply)(C3StreamBuilder& stream);
        std::size_t packets; // of the 7 still counted
    };
    const Damage damages[] = {
        {"bytes between two packets",
         [](C3StreamBuilder& s) {
             s.Bytes().insert(s.Bytes().begin() + long(s.PacketOffset(3)), {1, 2, 3, 4, 5});
         },
         7},
        {"a wrong header length", [](C3StreamBuilder& s) { s.SetHeaderWord(2, 4, 27); }, 6},
        {"a broken previous-length chain", [](C3StreamBuilder& s) { s.SetHeaderWord(4, 20, 9); },
         7},
        {"a damaged audio frame marker",
         [](C3StreamBuilder& s) { s.Bytes()[s.PacketOffset(1) + 28] = 0; }, 7},
        {"an audio frame longer than its packet",
         [](C3StreamBuilder& s) { s.SetHeaderWord(1, 28 + 20, 5000); }, 7},
        {"audio too short for a frame header",
         [](C3StreamBuilder& s) { s.SetHeaderWord(0, 12, 10); }, 7},
        {"a video length past any picture",
         [](C3StreamBuilder& s) { s.SetHeaderWord(5, 8, C3StreamMonitor::kMaxPayload + 1); }, 6},
        {"a stream cut inside its last packet",
         [](C3StreamBuilder& s) { s.Bytes().resize(s.Bytes().size() - 10); }, 7},
        {"a marker and a cut-off header right before a packet",
         [](C3StreamBuilder& s)
         {
             s.Bytes().insert(s.Bytes().begin() + long(s.PacketOffset(3)),
                              {0x88, 0x88, 0xCA, 0xFE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE});
         },
         7},
    };
    for (const Damage& damage : damages)
    {
        C3StreamBuilder stream = MixedStream();
        damage.apply(stream);
        for (std::size_t cbPiece : {std::size_t(7), std::size_t(100000)})
        {
            const PlaybackCounts counts = Check(stream.Bytes(), cbPiece);
            EXPECT_EQ(1u, counts.violations) << damage.what << ", pieces of " << cbPiece;
            EXPECT_EQ(damage.packets, counts.packets) << damage.what << ", pieces of " << cbPiece;
        }
    }
}

TEST(C3StreamMonitor, BytesThatAreNoC3StreamAreOneViolation)
{
    Bytes bytes(50000);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7);
    const PlaybackCounts counts = Check(bytes);
    EXPECT_EQ(0u, counts.packets);
    EXPECT_EQ(1u, counts.violations);
}

TEST(C3StreamMonitor, AStreamJoinedAfterAFlushOrStartedAgainIsNotAViolation)
{
    C3StreamBuilder stream = MixedStream();
    const Bytes& bytes = stream.Bytes();
    C3StreamMonitor monitor;
    monitor.Feed(bytes.data(), stream.PacketOffset(2) + 10);
    monitor.Restart(); // flushed: the stream goes on from the middle of packet 4
    const std::size_t resume = stream.PacketOffset(4) + 40;
    monitor.Feed(bytes.data() + resume, bytes.size() - resume);
    monitor.EndOfStream();
    EXPECT_EQ(0u, monitor.Counts().violations);
    EXPECT_EQ(4u, monitor.Counts().packets);  // 0 and 1, then 5 and 6
    monitor.Feed(bytes.data(), bytes.size()); // a new stream whose chain starts again
    monitor.EndOfStream();
    EXPECT_EQ(0u, monitor.Counts().violations);
}

TEST(C3StreamMonitor, ThePacketListenerSeesEverySoundHeaderInOrder)
{
    C3StreamBuilder stream = MixedStream();
    std::vector<double> times;
    C3StreamMonitor monitor(
        [&](const CC3Header& header)
        {
            times.push_back(header.m_timestamp.m_dSeconds);
            return true;
        });
    monitor.Feed(stream.Bytes().data(), stream.Bytes().size());
    ASSERT_EQ(stream.PacketCount(), times.size());
    EXPECT_TRUE(std::is_sorted(times.begin(), times.end()));
    EXPECT_NEAR(0.1, times[3], 1e-4);
}

TEST(C3StreamMonitor, AHaltingListenerStopsTheCheckUntilItRestarts)
{
    C3StreamBuilder stream = MixedStream();
    std::size_t cCalls = 0;
    C3StreamMonitor monitor([&](const CC3Header&) { return ++cCalls != 3; });
    EXPECT_FALSE(monitor.Feed(stream.Bytes().data(), stream.Bytes().size()));
    EXPECT_EQ(2u, monitor.Counts().packets);
    EXPECT_EQ(stream.PacketOffset(2) + kC3HeaderLength, monitor.Counts().bytes);
    monitor.Restart();
    EXPECT_TRUE(monitor.Feed(stream.Bytes().data(), stream.Bytes().size()));
    EXPECT_EQ(2u + stream.PacketCount(), monitor.Counts().packets);
}

#pragma once
// Checks a C3 stream as it arrives, in pieces of any size: every packet's marker,
// header length, previous-length chain and payload lengths, and the 0xDEADCAFE
// header of every audio frame behind it. It counts packets, pictures (packets with
// video), audio frames, violations and bytes.
//
// After a broken packet it looks for the next marker, starting just after the
// broken header's first byte; the bytes it passes over belong to the violation
// already counted. Bytes where a packet should start count as one violation. A
// packet may declare at most kMaxPayload bytes, so a damaged length cannot swallow
// the rest of the stream. Nothing is allocated while streaming and the C3 stream
// library's exceptions never leave Feed.

#include "c3stream/c3_stream.h"
#include "c3stream/c3_stream_checker.h"
#include "c3stream/es_audio.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>

struct PlaybackCounts
{
    std::uint64_t packets = 0;
    std::uint64_t pictures = 0;
    std::uint64_t audioFrames = 0;
    std::uint64_t violations = 0;
    std::uint64_t bytes = 0;
};

class C3StreamMonitor
{
public:
    static constexpr std::uint32_t kMaxPayload = 4 * 1024 * 1024;

    // Called with each sound packet header before the packet is counted and its
    // payload read; may block (the playback pin paces the stream there). False
    // halts the check: Feed returns at once, and the packet is not counted.
    using PacketListener = std::function<bool(const CC3Header& header)>;

    explicit C3StreamMonitor(PacketListener onPacket = {}) : m_onPacket(std::move(onPacket)) {}

    // False when the listener halted the check; the rest of the bytes is not looked at.
    bool Feed(const std::uint8_t* pData, std::size_t cbData);
    // The stream has ended: a packet it cuts short, or bytes after the last packet,
    // count as a violation. The monitor is then ready for a new stream.
    void EndOfStream();
    // A new stream starts without its beginning (after a flush or a halt): the next
    // marker is looked for without counting what comes before it.
    void Restart();

    const PlaybackCounts& Counts() const { return m_counts; }

private:
    enum class Stage
    {
        SeekMarker,
        PacketHeader,
        Video,
        AudioHeader,
        AudioPayload,
    };

    // Each stage takes what it needs from the front of the bytes and returns how many
    // it took.
    std::size_t SeekMarker(const std::uint8_t* pData, std::size_t cbData);
    std::size_t CollectPacketHeader(const std::uint8_t* pData, std::size_t cbData);
    std::size_t SkipPayload(std::size_t cbData);
    std::size_t CollectAudioHeader(const std::uint8_t* pData, std::size_t cbData);

    void OnPacketHeader();
    void OnAudioHeader();
    void StartAudio();
    void EndPacket();
    // Counts a violation and looks for a marker in the bytes that followed the start
    // of the broken header.
    void Resync(const std::uint8_t* pAfterStart, std::size_t cbAfterStart);
    void CountViolation();
    void SeekFresh(bool bResyncing);

    PacketListener m_onPacket;
    CStreamChecker m_checker;
    PlaybackCounts m_counts;
    Stage m_stage = Stage::SeekMarker;
    std::uint64_t m_nOffset = 0; // stream offset of the next byte fed

    // SeekMarker
    std::uint32_t m_window = 0;
    std::size_t m_cbSeen = 0; // bytes the current search has passed
    bool m_bResyncing = false;
    bool m_bHalted = false;

    std::array<std::uint8_t, kC3HeaderLength> m_packetHeader{};
    std::array<std::uint8_t, kAudioFrameHeaderLength> m_audioHeader{};
    std::size_t m_cbCollected = 0;
    std::uint64_t m_nPacketOffset = 0;
    std::uint32_t m_cbSkip = 0;      // payload bytes left to pass in this stage
    std::uint32_t m_cbAudioLeft = 0; // audio bytes of the packet not yet taken
};

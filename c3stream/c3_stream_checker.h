#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

class CC3Header;
class CC3Packet;

// A place where a stream breaks the rules of a C3 stream.
struct CViolation
{
    std::uint64_t nOffset = 0;
    std::string strReason;
    // True when the packets after it cannot be found any more.
    bool bEndsWalk = false;
};

// Checks the packets of a stream in stream order: header length, the previous-length chain and
// payloads that lie inside the stream.
class CStreamChecker
{
public:
    // The payload check, then CheckHeader.
    std::optional<CViolation> CheckPacket(std::uint64_t nOffset, const CC3Packet& packet);
    // The header length and the previous-length chain; the header becomes the chain's last link.
    std::optional<CViolation> CheckHeader(std::uint64_t nOffset, const CC3Header& header);
    // The next header's previous length is taken as it comes: the packet before it was lost.
    void ForgetPrevious() { m_bPreviousKnown = false; }

    // Bytes at nOffset that do not start with a packet marker.
    static CViolation NotAPacket(std::uint64_t nOffset, std::size_t cbLeft);
    // A header that the end of the stream cuts short.
    static CViolation CutHeader(std::uint64_t nOffset);

private:
    std::uint64_t m_cbPreviousTotal = 0;
    bool m_bPreviousKnown = true;
};

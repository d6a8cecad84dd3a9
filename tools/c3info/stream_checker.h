#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

class CC3Packet;

// A place where a file breaks the rules of a C3 stream.
struct CViolation
{
    std::uint64_t nOffset = 0;
    std::string strReason;
    // True when the packets after it cannot be found any more.
    bool bEndsWalk = false;
};

// Checks the packets of a stream in file order: header length, the previous-length chain and
// payloads that lie inside the file.
class CStreamChecker
{
public:
    std::optional<CViolation> CheckPacket(std::uint64_t nOffset, const CC3Packet& packet);

    // Bytes at nOffset that do not start with a packet marker.
    static CViolation NotAPacket(std::uint64_t nOffset, std::size_t cbLeft);
    // A header that the end of the file cuts short.
    static CViolation CutHeader(std::uint64_t nOffset);

private:
    std::uint64_t m_cbPreviousTotal = 0;
};

#pragma once

#include "c3stream/buffer_rw.h"
#include "c3stream/c3_stream.h"

#include <algorithm>
#include <memory>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// A heap copy of exactly the bytes given, so ASan reports any access past the end.
class CExactBuffer
{
public:
    explicit CExactBuffer(const Bytes& bytes)
        : m_cb(bytes.size()), m_pBytes(new std::uint8_t[bytes.size()])
    {
        std::copy(bytes.begin(), bytes.end(), m_pBytes.get());
    }
    CBufferReader Reader() const { return CBufferReader(m_pBytes.get(), m_cb); }
    const std::uint8_t* At(std::size_t i) const { return m_pBytes.get() + i; }

private:
    std::size_t m_cb;
    std::unique_ptr<std::uint8_t[]> m_pBytes;
};

// A C3 packet header of a P picture, written with the library.
inline Bytes HeaderBytes(std::uint32_t cbVideo, std::uint32_t cbAudio, std::uint64_t cbPrevious = 0,
                         double dSeconds = 0.0)
{
    CC3Header header;
    header.m_cbHeaderLength = kC3HeaderLength;
    header.m_cbVideoLength = cbVideo;
    header.m_cbAudioLength = cbAudio;
    header.m_nFlags = kPictureP;
    header.m_cbPreviousLength = static_cast<std::uint32_t>(cbPrevious);
    header.m_timestamp.m_dSeconds = dSeconds;
    Bytes bytes(kC3HeaderLength);
    CBufferWriter writer(bytes.data(), bytes.size());
    header.Write(writer);
    return bytes;
}

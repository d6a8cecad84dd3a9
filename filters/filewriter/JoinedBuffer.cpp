#include "JoinedBuffer.h"

#include <algorithm>

namespace
{
constexpr std::array<std::uint8_t, 4> kPackStartCode{0x00, 0x00, 0x01, 0xBA};
// The withheld bytes are rebuilt from here: they are always a beginning of it.
constexpr std::array<std::uint8_t, 3> kStartCodePrefix{0x00, 0x00, 0x01};
} // namespace

CJoinedBuffer::CJoinedBuffer(std::size_t cbWithheld, std::span<const std::uint8_t> sample)
    : m_cbWithheld(std::min(cbWithheld, kMaxWithheld)), m_sample(sample)
{
}

std::uint8_t CJoinedBuffer::At(std::size_t offset) const
{
    return offset < m_cbWithheld ? kStartCodePrefix[offset] : m_sample[offset - m_cbWithheld];
}

bool CJoinedBuffer::MatchesAt(std::size_t offset, std::span<const std::uint8_t> pattern) const
{
    if (offset + pattern.size() > Size())
        return false;
    for (std::size_t i = 0; i < pattern.size(); ++i)
        if (At(offset + i) != pattern[i])
            return false;
    return true;
}

std::optional<std::size_t> CJoinedBuffer::FindLastPackStartCode() const
{
    // Inside the sample: the last occurrence among its own bytes.
    const auto found = std::find_end(m_sample.begin(), m_sample.end(), kPackStartCode.begin(),
                                     kPackStartCode.end());
    if (found != m_sample.end())
        return m_cbWithheld + static_cast<std::size_t>(found - m_sample.begin());

    // Across the join: a start code that begins in the withheld bytes.
    for (std::size_t offset = m_cbWithheld; offset-- > 0;)
        if (MatchesAt(offset, kPackStartCode))
            return offset;
    return std::nullopt;
}

std::size_t CJoinedBuffer::StartCodePrefixAtEnd() const
{
    for (std::size_t cb = kStartCodePrefix.size(); cb > 0; --cb)
        if (cb <= Size() && MatchesAt(Size() - cb, std::span(kStartCodePrefix).first(cb)))
            return cb;
    return 0;
}

std::size_t CJoinedBuffer::Slices(std::size_t begin, std::size_t end,
                                  std::array<iovec, 2>& slices) const
{
    std::size_t nSlices = 0;
    if (begin < m_cbWithheld)
    {
        const std::size_t withheldEnd = std::min(end, m_cbWithheld);
        slices[nSlices++] = {const_cast<std::uint8_t*>(kStartCodePrefix.data() + begin),
                             withheldEnd - begin};
        begin = withheldEnd;
    }
    if (begin < end)
        slices[nSlices++] = {const_cast<std::uint8_t*>(m_sample.data() + begin - m_cbWithheld),
                             end - begin};
    return nSlices;
}

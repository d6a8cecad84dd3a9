#include "SegmentTable.h"

#include <algorithm>

namespace
{
constexpr std::string_view kSeparators = "/\\:";
} // namespace

void CSegmentTable::SetListDirectory(std::string_view listPath)
{
    const std::size_t separator = listPath.find_last_of(kSeparators);
    m_szListDir = separator == std::string_view::npos
                      ? std::string()
                      : std::string(listPath.substr(0, separator + 1));
}

void CSegmentTable::Open(std::span<const std::string> names)
{
    m_aSegments.clear();
    m_llPosition = 0;
    m_llTotal = 0;
    names = names.first(std::min(names.size(), kMaxSegments));
    m_aSegments.reserve(names.size());
    for (const std::string& name : names)
    {
        SegmentEntry entry;
        entry.szPath = ResolvePath(name);
        if (entry.szPath.empty() || !entry.hFile.Open(entry.szPath))
            continue;
        entry.llSize = entry.hFile.Size();
        entry.llStart = m_llTotal;
        m_llTotal += entry.llSize;
        m_aSegments.push_back(std::move(entry));
    }
}

std::string CSegmentTable::ResolvePath(std::string_view name) const
{
    if (name.empty())
        return {};
    // A bare file name lies beside the list; a name with any directory part is used as is.
    std::string path = name.find_first_of(kSeparators) == std::string_view::npos
                           ? m_szListDir + std::string(name)
                           : std::string(name);
    return path.size() <= kMaxPathBytes ? path : std::string();
}

CSegmentTable::Location CSegmentTable::Locate(std::int64_t position) const
{
    if (m_aSegments.empty() || position < 0)
        return {};
    if (position >= m_llTotal)
    {
        const std::size_t last = m_aSegments.size() - 1;
        return {last, m_aSegments[last].llSize, 0};
    }
    for (std::size_t i = 0; i < m_aSegments.size(); ++i)
    {
        const SegmentEntry& segment = m_aSegments[i];
        if (position >= segment.llStart && position < segment.llStart + segment.llSize)
        {
            const std::int64_t offset = position - segment.llStart;
            return {i, offset, segment.llSize - offset};
        }
    }
    return {};
}

bool CSegmentTable::Read(std::span<std::uint8_t> buffer, std::size_t& cbRead)
{
    cbRead = 0;
    const Location start = Locate(m_llPosition);
    if (start.remaining == 0)
        return false;
    const std::size_t cbWanted =
        static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), Available()));
    const bool bComplete = ReadFrom(start, buffer.first(cbWanted), cbRead);
    m_llPosition += static_cast<std::int64_t>(cbRead);
    return bComplete;
}

bool CSegmentTable::ReadFrom(const Location& start, std::span<std::uint8_t> buffer,
                             std::size_t& cbRead)
{
    std::int64_t offset = start.offset;
    for (std::size_t i = start.index; i < m_aSegments.size() && cbRead < buffer.size(); ++i)
    {
        const SegmentEntry& segment = m_aSegments[i];
        const std::size_t cbFromSegment = static_cast<std::size_t>(
            std::min<std::uint64_t>(buffer.size() - cbRead, segment.llSize - offset));
        const std::size_t cb = segment.hFile.ReadAt(offset, buffer.subspan(cbRead, cbFromSegment));
        cbRead += cb;
        // A segment that delivers less than its recorded size ends the read here: what
        // follows in the stream would not line up with the positions.
        if (cb < cbFromSegment)
            return false;
        offset = 0;
    }
    return true;
}

bool CSegmentTable::Seek(std::int64_t position)
{
    if (position < 0)
        return false;
    m_llPosition = Locate(position).remaining != 0 ? position : m_llTotal;
    return true;
}

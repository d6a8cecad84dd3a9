#include "SegmentListWriter.h"

#include <array>
#include <charconv>

namespace
{
constexpr std::string_view kFirstLine = "LMMP\r\n";
} // namespace

FileStatus CSegmentListWriter::Create(const std::string& path)
{
    FileStatus status = m_file.Create(path);
    if (status.Succeeded())
        status = WriteFirstLine();
    return status;
}

FileStatus CSegmentListWriter::Reopen(const std::string& path)
{
    FileStatus status = m_file.OpenForAppend(path);
    if (status.Succeeded() && m_file.IsEmpty())
        status = WriteFirstLine();
    return status;
}

FileStatus CSegmentListWriter::WriteFirstLine()
{
    FileStatus status = m_file.Write(kFirstLine);
    if (!status.Succeeded())
        m_file.Close();
    return status;
}

FileStatus CSegmentListWriter::AppendSegment(std::string_view fileName, std::uint64_t cbSegment)
{
    // ";" + at most 20 digits + CR LF
    std::array<char, 24> tail{';'};
    char* end = std::to_chars(tail.data() + 1, tail.data() + tail.size() - 2, cbSegment).ptr;
    *end++ = '\r';
    *end++ = '\n';

    // The name and the count go out in one gathered write.
    const std::array<iovec, 2> slices{
        iovec{const_cast<char*>(fileName.data()), fileName.size()},
        iovec{tail.data(), static_cast<std::size_t>(end - tail.data())}};
    std::uint64_t cbWritten = 0;
    return m_file.Write(slices, cbWritten);
}

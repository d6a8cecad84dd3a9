#include "SegmentWriter.h"

#include <cerrno>
#include <limits>

FileStatus CSegmentWriter::SetFileName(std::string_view name)
{
    std::lock_guard lock(m_mutex);
    std::optional<CSegmentNames> names = CSegmentNames::FromTargetName(name);
    if (!names)
        return FileStatus::InvalidName();

    CloseFile();
    m_listFile.Close();

    // A new name starts a new recording: its segments count from 0 again. The total
    // and its limit run over the writer's whole life.
    m_names = std::move(names);
    m_nSegment = 0;
    m_strFileName = m_names->SegmentName(0);
    m_cbSegment = 0;
    m_bDataWritten = false;
    m_bSegmentKept = false;
    m_failure = FileStatus::Success();

    const FileStatus status = OpenFile();
    CloseFile();
    return status;
}

std::string CSegmentWriter::CurrentFileName() const
{
    std::lock_guard lock(m_mutex);
    return m_strFileName;
}

void CSegmentWriter::SetSegmentSizeKB(std::uint32_t kilobytes)
{
    std::lock_guard lock(m_mutex);
    if (kilobytes >= 1)
        m_cbSegmentLimit = std::uint64_t{kilobytes} * 1024;
}

void CSegmentWriter::SetTotalSizeLimit(std::uint64_t cbLimit)
{
    std::lock_guard lock(m_mutex);
    m_cbTotalLimit = cbLimit;
    m_bTotalLimit = true;
}

void CSegmentWriter::SetPackAlignedCut(bool bEnable)
{
    std::lock_guard lock(m_mutex);
    m_bPackAligned = bEnable;
}

FileStatus CSegmentWriter::Pause()
{
    std::lock_guard lock(m_mutex);
    return m_bFinished ? FileStatus::Success() : OpenForStreaming();
}

FileStatus CSegmentWriter::Run()
{
    std::lock_guard lock(m_mutex);
    m_bFinished = false;
    return OpenForStreaming();
}

void CSegmentWriter::Stop()
{
    std::lock_guard lock(m_mutex);
    CloseFile();
    m_listFile.Close();
    m_failure = FileStatus::Success();
}

std::uint64_t CSegmentWriter::TotalBytes() const
{
    std::lock_guard lock(m_mutex);
    return m_cbTotal;
}

FileStatus CSegmentWriter::StreamFailure() const
{
    std::lock_guard lock(m_mutex);
    return m_failure;
}

FileStatus CSegmentWriter::OpenForStreaming()
{
    // A writer without a name has nowhere to write and drops what it gets; one with a
    // name whose segment cannot be opened refuses the stream, so no recording is lost
    // unnoticed.
    const FileStatus status = OpenFile();
    if (!status.Succeeded() && m_names)
        m_failure = status;
    return status;
}

FileStatus CSegmentWriter::OpenFile()
{
    if (m_file.IsOpen())
        return FileStatus::Success();
    if (!m_names)
        return FileStatus::InvalidName();
    if (m_bSegmentKept)
        MoveToNextSegment();
    if (m_nSegment < 0 || m_strFileName.size() > CSegmentNames::kMaxPathBytes)
        return FileStatus::InvalidName();

    FileStatus status = m_file.Create(m_strFileName);
    if (status.Succeeded())
        m_file.ReserveAheadInSteps(kReserveStep);
    if (!status.Succeeded() || m_listFile.IsOpen())
        return status;

    const std::string listName = m_names->ListName();
    if (listName.size() > CSegmentNames::kMaxPathBytes)
        status = FileStatus::InvalidName();
    else if (m_nSegment == 0)
        status = m_listFile.Create(listName);
    else
        status = m_listFile.Reopen(listName);
    if (!status.Succeeded())
        m_file.Close();
    return status;
}

FileStatus CSegmentWriter::CloseFile()
{
    if (!m_file.IsOpen())
        return FileStatus::Success();
    FileStatus status = FlushWithheld();
    const FileStatus closeStatus = m_file.Close();
    if (status.Succeeded())
        status = closeStatus;

    if (m_bDataWritten)
    {
        m_bSegmentKept = true;
        if (m_listFile.IsOpen())
        {
            const FileStatus listStatus =
                m_listFile.AppendSegment(CSegmentNames::FileNamePart(m_strFileName), m_cbSegment);
            if (status.Succeeded())
                status = listStatus;
        }
    }
    return status;
}

void CSegmentWriter::MoveToNextSegment()
{
    // The numbers run out only after two billion segments; past that the name is refused.
    m_nSegment = m_nSegment == std::numeric_limits<std::int32_t>::max() ? -1 : m_nSegment + 1;
    m_strFileName = m_names->SegmentName(m_nSegment);
    m_cbSegment = 0;
    m_bSegmentKept = false;
}

FileStatus CSegmentWriter::CutSegment()
{
    FileStatus status = CloseFile();
    if (!status.Succeeded())
        return Fail(status);
    MoveToNextSegment();
    status = OpenFile();
    return status.Succeeded() ? status : Fail(status);
}

FileStatus CSegmentWriter::Write(std::span<const std::uint8_t> sample)
{
    std::lock_guard lock(m_mutex);
    if (!m_failure.Succeeded())
        return m_failure;
    if (!m_file.IsOpen() || m_bFinished)
        return FileStatus::Success();

    const std::size_t cbSample = ClampToTotalLimit(sample.size());
    if (m_bFinished && cbSample == 0)
        return FileStatus::Success();

    const CJoinedBuffer buffer(m_cbWithheld, sample.first(cbSample));
    m_cbEarlierSamplesEnd = WholeSamplesEnd();
    m_cbPreviousSampleEnd = m_cbTotal + m_cbWithheld;
    m_cbWithheld = 0;
    return m_bPackAligned ? WritePackAligned(buffer) : WritePlain(buffer);
}

std::size_t CSegmentWriter::ClampToTotalLimit(std::size_t cbSample)
{
    if (!m_bTotalLimit)
        return cbSample;
    // Withheld bytes are already accepted, though not yet written.
    const std::uint64_t cbAccepted = m_cbTotal + m_cbWithheld;
    const std::uint64_t cbLeft = cbAccepted < m_cbTotalLimit ? m_cbTotalLimit - cbAccepted : 0;
    if (cbSample < cbLeft)
        return cbSample;
    m_bFinished = true;
    return static_cast<std::size_t>(cbLeft);
}

FileStatus CSegmentWriter::WritePlain(const CJoinedBuffer& buffer)
{
    // An empty segment takes the buffer whatever its size, so a sample larger than the
    // limit goes whole into a segment of its own and no segment stays empty.
    if (m_cbSegment > 0 && m_cbSegment + buffer.Size() > m_cbSegmentLimit)
    {
        const FileStatus status = CutSegment();
        if (!status.Succeeded())
            return status;
    }
    return WriteRange(buffer, 0, buffer.Size());
}

FileStatus CSegmentWriter::WritePackAligned(const CJoinedBuffer& buffer)
{
    const bool bInCutZone = m_cbSegment + buffer.Size() + kCutZone >= m_cbSegmentLimit;
    if (!bInCutZone)
        return WriteRange(buffer, 0, buffer.Size());

    const std::optional<std::size_t> packStart = buffer.FindLastPackStartCode();
    if (packStart && (*packStart > 0 || m_cbSegment > 0))
    {
        FileStatus status = WriteRange(buffer, 0, *packStart);
        if (status.Succeeded())
            status = CutSegment();
        if (status.Succeeded())
            status = WriteRange(buffer, *packStart, buffer.Size());
        return status;
    }

    const std::size_t cbHold = buffer.StartCodePrefixAtEnd();
    const FileStatus status = WriteRange(buffer, 0, buffer.Size() - cbHold);
    if (status.Succeeded())
        m_cbWithheld = cbHold;
    return status;
}

FileStatus CSegmentWriter::WriteRange(const CJoinedBuffer& buffer, std::size_t begin,
                                      std::size_t end)
{
    if (begin == end)
        return FileStatus::Success();
    std::array<iovec, 2> slices{};
    const std::size_t nSlices = buffer.Slices(begin, end, slices);
    std::uint64_t cbWritten = 0;
    const FileStatus status = m_file.Write(std::span(slices.data(), nSlices), cbWritten);
    m_cbSegment += cbWritten;
    m_cbTotal += cbWritten;
    if (cbWritten > 0)
        m_bDataWritten = true;
    if (status.Succeeded())
        return status;
    CutBackToWholeSamples();
    return Fail(status);
}

FileStatus CSegmentWriter::FlushWithheld()
{
    const CJoinedBuffer withheld(m_cbWithheld, {});
    m_cbWithheld = 0;
    return WriteRange(withheld, 0, withheld.Size());
}

FileStatus CSegmentWriter::Fail(FileStatus status)
{
    // Bytes held back behind a failed write would land after a gap: drop them with it.
    m_cbWithheld = 0;
    m_failure = status;
    return status;
}

// The previous sample is whole once the bytes withheld from its end have been written.
std::uint64_t CSegmentWriter::WholeSamplesEnd() const
{
    return m_cbTotal >= m_cbPreviousSampleEnd ? m_cbPreviousSampleEnd : m_cbEarlierSamplesEnd;
}

// Only the open segment can be cut back: a sample that began in a closed segment (before a
// pack-aligned cut) keeps its part there, and the open segment is emptied. Should the cut
// fail, the segment keeps every byte written, and the counts say so.
void CSegmentWriter::CutBackToWholeSamples()
{
    const std::uint64_t cbSegmentStart = m_cbTotal - m_cbSegment;
    const std::uint64_t cbWholeEnd = WholeSamplesEnd();
    const std::uint64_t cbKeep = cbWholeEnd > cbSegmentStart ? cbWholeEnd - cbSegmentStart : 0;
    if (cbKeep >= m_cbSegment || !m_file.Truncate(cbKeep).Succeeded())
        return;
    m_cbTotal -= m_cbSegment - cbKeep;
    m_cbSegment = cbKeep;
}

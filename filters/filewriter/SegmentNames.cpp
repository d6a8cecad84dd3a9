#include "SegmentNames.h"

#include <algorithm>
#include <cctype>

namespace
{
constexpr std::string_view kSeparators = "/\\:";
constexpr std::string_view kListExtension = ".kvx";
constexpr std::string_view kRecordingExtension = ".mpg";

bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
    return std::ranges::equal(
        a, b, [](unsigned char x, unsigned char y) { return std::tolower(x) == std::tolower(y); });
}

std::size_t FileNameStart(std::string_view path)
{
    const std::size_t separator = path.find_last_of(kSeparators);
    return separator == std::string_view::npos ? 0 : separator + 1;
}
} // namespace

CSegmentNames::CSegmentNames(std::string_view baseName, std::string_view extension)
    : m_strBaseName(baseName), m_strExtension(extension)
{
    if (EqualsIgnoringCase(m_strExtension, kListExtension))
        m_strExtension = kRecordingExtension;
}

std::optional<CSegmentNames> CSegmentNames::FromTargetName(std::string_view name)
{
    const std::size_t fileStart = FileNameStart(name);
    if (name.find_first_of(";\r\n", fileStart) != std::string_view::npos)
        return std::nullopt;

    // Only a dot inside the file name starts an extension: a dot in a directory name
    // must not move the segments into another directory.
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot < fileStart)
        return CSegmentNames(name, {});
    return CSegmentNames(name.substr(0, dot), name.substr(dot));
}

std::string CSegmentNames::SegmentName(int nSegment) const
{
    if (nSegment == 0)
        return m_strBaseName + m_strExtension;
    return m_strBaseName + "_" + std::to_string(nSegment) + m_strExtension;
}

std::string CSegmentNames::ListName() const
{
    return m_strBaseName + std::string(kListExtension);
}

std::string_view CSegmentNames::FileNamePart(std::string_view path)
{
    return path.substr(FileNameStart(path));
}

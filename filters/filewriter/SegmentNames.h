#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The names of a recording's files, made from its target name: "take.mpg" gives the
// segments take.mpg, take_1.mpg, take_2.mpg, ... and the segment list take.kvx. A target
// named *.kvx (any letter case) records into *.mpg. Names are UTF-8, the system's ANSI
// code page.
class CSegmentNames
{
public:
    // Longest path, in bytes, that a segment or list file may have (MAX_PATH less the
    // terminating zero).
    static constexpr std::size_t kMaxPathBytes = 259;

    // Empty when the name's file part holds ";", CR or LF: its list line could not be
    // read back.
    static std::optional<CSegmentNames> FromTargetName(std::string_view name);

    // Segment 0 is base name plus extension; segment n is "%s_%d%s" of the two and n.
    std::string SegmentName(int nSegment) const;
    std::string ListName() const;

    // The part of a path after its last "/", "\" or ":", which is what a list line names.
    static std::string_view FileNamePart(std::string_view path);

private:
    CSegmentNames(std::string_view baseName, std::string_view extension);

    std::string m_strBaseName;
    std::string m_strExtension;
};

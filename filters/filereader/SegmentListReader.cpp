#include "SegmentListReader.h"

#include <array>
#include <cstdio>
#include <memory>
#include <string_view>

namespace
{
// One line as read: at most 259 characters, like a path.
constexpr std::size_t kLineBytes = 260;

using FilePtr = std::unique_ptr<std::FILE, decltype(&std::fclose)>;

struct Line
{
    std::string_view text; // what fitted in the buffer
    bool bCut = false;     // characters other than the line end did not fit
};

// Reads the next line into buffer and skips whatever of it does not fit. False at the
// end of the file or on a read error.
bool ReadLine(std::FILE* file, std::array<char, kLineBytes>& buffer, Line& line)
{
    if (!std::fgets(buffer.data(), static_cast<int>(buffer.size()), file))
        return false;
    line.text = buffer.data();
    line.bCut = false;
    if (line.text.ends_with('\n'))
        return true;
    for (int c = std::getc(file); c != EOF && c != '\n'; c = std::getc(file))
        line.bCut = line.bCut || c != '\r';
    return true;
}
} // namespace

SegmentListStatus ReadSegmentList(const std::string& listPath, std::size_t maxNames,
                                  std::vector<std::string>& names)
{
    names.clear();
    const FilePtr file(std::fopen(listPath.c_str(), "r"), &std::fclose);
    if (!file)
        return SegmentListStatus::CannotOpen;

    std::array<char, kLineBytes> buffer{};
    Line line;
    if (!ReadLine(file.get(), buffer, line))
        return std::ferror(file.get()) ? SegmentListStatus::ReadError : SegmentListStatus::Empty;
    if (!line.text.starts_with("LMMP"))
        return SegmentListStatus::NotASegmentList;

    while (names.size() < maxNames && ReadLine(file.get(), buffer, line))
    {
        const std::size_t nameEnd = line.text.find_first_of(";\r\n");
        if (nameEnd == std::string_view::npos && line.bCut)
            continue; // the name itself is too long for a path
        const std::string_view name = line.text.substr(0, nameEnd);
        if (!name.empty())
            names.emplace_back(name);
    }
    return std::ferror(file.get()) ? SegmentListStatus::ReadError : SegmentListStatus::Ok;
}

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

// Reads the next line into buffer and skips whatever of it does not fit. Bytes are taken
// one by one, so a zero byte inside a line cannot hide where the line ends. False at the
// end of the file or on a read error.
bool ReadLine(std::FILE* file, std::array<char, kLineBytes>& buffer, Line& line)
{
    std::size_t cbLine = 0;
    bool bCut = false;
    int c = std::getc(file);
    if (c == EOF)
        return false;
    for (; c != EOF; c = std::getc(file))
    {
        if (cbLine < buffer.size() - 1)
            buffer[cbLine++] = static_cast<char>(c);
        else
            bCut = bCut || (c != '\r' && c != '\n');
        if (c == '\n')
            break;
    }
    line.text = std::string_view(buffer.data(), cbLine);
    line.bCut = bCut;
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
    return ReadSegmentList(file.get(), maxNames, names);
}

SegmentListStatus ReadSegmentList(std::FILE* list, std::size_t maxNames,
                                  std::vector<std::string>& names)
{
    names.clear();
    std::array<char, kLineBytes> buffer{};
    Line line;
    if (!ReadLine(list, buffer, line))
        return std::ferror(list) ? SegmentListStatus::ReadError : SegmentListStatus::Empty;
    if (!line.text.starts_with("LMMP"))
        return SegmentListStatus::NotASegmentList;

    // Every line is one entry, an empty one included: an entry that names no file still
    // counts towards the limit, and the segment table skips it.
    while (names.size() < maxNames && ReadLine(list, buffer, line))
    {
        // A zero byte ends the name as it would end any path.
        const std::size_t nameEnd = line.text.find_first_of(std::string_view(";\r\n\0", 4));
        const bool bNameTooLong = nameEnd == std::string_view::npos && line.bCut;
        names.emplace_back(bNameTooLong ? std::string_view() : line.text.substr(0, nameEnd));
    }
    return std::ferror(list) ? SegmentListStatus::ReadError : SegmentListStatus::Ok;
}

// The segment list reader and the segment table it feeds: a ".kvx" list read from the input,
// its names opened beside it in a folder of three small segment files, and the joined stream
// read through across every boundary and sought past its end.
#include "SegmentListReader.h"
#include "SegmentTable.h"
#include "fuzz_support.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <stdlib.h>

namespace
{
using namespace std::string_view_literals;

// The folder "a" (5 bytes), "b" (empty) and "c" (9 bytes) lie in, with the list's path.
class SegmentFolder
{
public:
    SegmentFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "kvx-XXXXXX").string();
        m_folder = ::mkdtemp(pattern.data()) ? pattern + "/" : std::string();
        for (const auto& [pszName, cb] : {std::pair{"a", 5}, {"b", 0}, {"c", 9}})
            std::ofstream(m_folder + pszName, std::ios::binary) << std::string(cb, *pszName);
    }
    ~SegmentFolder() { std::filesystem::remove_all(m_folder); }

    const std::string& Path() const { return m_folder; }
    std::string ListPath() const { return m_folder + "take.kvx"; }

private:
    std::string m_folder;
};

const SegmentFolder& Folder()
{
    static const SegmentFolder folder;
    return folder;
}

FuzzBytes ListOf(const std::vector<std::string>& lines, const char* pszEnd = "\n")
{
    std::string text = "LMMP\n";
    for (const std::string& line : lines)
        text += line + pszEnd;
    return TextBytes(text);
}

void CheckNames(SegmentListStatus status, const std::vector<std::string>& names)
{
    FuzzCheck(status == SegmentListStatus::Ok || names.empty(), "names only from a list");
    FuzzCheck(names.size() <= CSegmentTable::kMaxSegments, "at most 99 names");
    for (const std::string& name : names)
    {
        FuzzCheck(name.size() <= CSegmentTable::kMaxPathBytes, "a name fits a path");
        FuzzCheck(name.find_first_of(std::string_view(";\r\n\0", 4)) == std::string::npos,
                  "a name stops at the first separator");
    }
}

// Segments lie end to end; the stream reads through whole when they are the folder's files.
void CheckTable(CSegmentTable& table)
{
    FuzzCheck(table.SegmentCount() <= CSegmentTable::kMaxSegments, "at most 99 segments");
    std::int64_t llStart = 0;
    bool bAllInFolder = true;
    for (std::size_t i = 0; i < table.SegmentCount(); ++i)
    {
        const SegmentEntry& segment = table.Segment(i);
        FuzzCheck(segment.llStart == llStart, "each segment starts where the last ends");
        FuzzCheck(segment.szPath.size() <= CSegmentTable::kMaxPathBytes, "paths fit");
        bAllInFolder = bAllInFolder && segment.szPath.starts_with(Folder().Path());
        llStart += segment.llSize;
    }
    FuzzCheck(table.Total() == llStart, "the total is the sum of the sizes");
    if (bAllInFolder)
    {
        std::array<std::uint8_t, 7> buffer;
        std::size_t cbRead = 0;
        std::int64_t llRead = 0;
        while (table.Read(buffer, cbRead) && cbRead != 0)
            llRead += static_cast<std::int64_t>(cbRead);
        FuzzCheck(llRead == table.Total(), "the stream reads through whole");
    }
    table.Seek(table.Total() + 3);
    FuzzCheck(table.Available() == 0, "a seek past the end stops at the end");
}
} // namespace

std::vector<FuzzBytes> FuzzSeeds()
{
    std::vector<std::string> hundredTwenty;
    for (int i = 0; i < 120; ++i)
        hundredTwenty.push_back(i % 3 == 0 ? "a;5" : i % 3 == 1 ? "missing;12" : "c");
    const std::string longName(259 - Folder().Path().size(), 'a');
    return {
        ListOf({"a;5", "b;0", "c;9"}),
        ListOf({"a;5", "", "c;9", "a"}, "\r\n"),
        ListOf(hundredTwenty),
        ListOf({longName, longName + "a", std::string(300, 'x') + ";1", Folder().Path() + "c"}),
        TextBytes("LMMP\r\na\0c\nc\r;\n\xFF\xFE;1\n;a\na\0\rc"sv),
        TextBytes("LMMQ\na\n"),
    };
}

std::vector<FuzzBytes> FuzzTokens()
{
    return {TextBytes("LMMP"), TextBytes("\n"), TextBytes("\r\n"), TextBytes(";"),
            TextBytes("/"),    TextBytes("\\"), TextBytes(":"),    {0}};
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t cbSize)
{
    // The list is read through stdio, as from a file.
    std::FILE* pList = ::fmemopen(const_cast<std::uint8_t*>(pData), cbSize, "r");
    if (!pList)
        return 0;
    std::vector<std::string> names;
    const SegmentListStatus status = ReadSegmentList(pList, CSegmentTable::kMaxSegments, names);
    std::fclose(pList);
    CheckNames(status, names);

    CSegmentTable table;
    table.SetListDirectory(Folder().ListPath());
    table.Open(names);
    CheckTable(table);
    return 0;
}

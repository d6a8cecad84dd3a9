#pragma once

#include "SegmentWriter.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// A writer recording into a temporary directory, with helpers that read back what it
// wrote.
class WriterFixture : public ::testing::Test
{
protected:
    void StartRecording(const std::string& name = "take.mpg")
    {
        ASSERT_TRUE(writer.SetFileName(dir / name).Succeeded());
        ASSERT_TRUE(writer.Pause().Succeeded());
        ASSERT_TRUE(writer.Run().Succeeded());
    }

    void Send(const std::vector<std::uint8_t>& sample)
    {
        ASSERT_TRUE(writer.Write(sample).Succeeded());
        sent.insert(sent.end(), sample.begin(), sample.end());
    }

    std::vector<std::uint8_t> Segment(const std::string& name) const
    {
        return ReadWholeFile(dir / name);
    }

    // The segments that the list names, joined in list order.
    std::vector<std::uint8_t> JoinedSegments(const std::string& listName = "take.kvx") const
    {
        std::vector<std::uint8_t> joined;
        for (const auto& [name, cb] : ListEntries(listName))
        {
            const std::vector<std::uint8_t> bytes = Segment(name);
            EXPECT_EQ(bytes.size(), cb) << name;
            joined.insert(joined.end(), bytes.begin(), bytes.end());
        }
        return joined;
    }

    // The "name;bytes" lines of a list, after checking its first line.
    std::vector<std::pair<std::string, std::uint64_t>>
    ListEntries(const std::string& listName = "take.kvx") const
    {
        const std::string text = ReadWholeText(dir / listName);
        EXPECT_EQ(text.substr(0, 6), "LMMP\r\n");
        std::vector<std::pair<std::string, std::uint64_t>> entries;
        for (std::size_t at = 6; at < text.size();)
        {
            const std::size_t end = text.find("\r\n", at);
            const std::size_t semicolon = text.find(';', at);
            EXPECT_NE(end, std::string::npos);
            EXPECT_LT(semicolon, end);
            entries.emplace_back(text.substr(at, semicolon - at),
                                 std::stoull(text.substr(semicolon + 1, end - semicolon - 1)));
            at = end + 2;
        }
        return entries;
    }

    CTempDirectory dir;
    CSegmentWriter writer;
    std::vector<std::uint8_t> sent;
};

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

    std::vector<std::uint8_t> JoinedSegments(const std::string& listName = "take.kvx") const
    {
        return ReadListedSegments(dir / listName);
    }

    std::vector<std::pair<std::string, std::uint64_t>>
    ListEntries(const std::string& listName = "take.kvx") const
    {
        return ReadListEntries(dir / listName);
    }

    CTempDirectory dir;
    CSegmentWriter writer;
    std::vector<std::uint8_t> sent;
};

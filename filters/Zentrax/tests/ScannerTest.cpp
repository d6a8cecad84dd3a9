// The scanner over hand-built elementary streams: where units begin, how the counters and
// the frame rate follow the headers, and what a window's end hides.
#include "Scanner.h"
#include "ElementaryStream.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
constexpr std::uint8_t kI = 1;
constexpr std::uint8_t kP = 2;
constexpr std::uint8_t kB = 3;

// Every boundary in the stream, found as the video path finds them: each search starts
// behind the start code of the boundary before.
std::vector<std::size_t> Boundaries(Scanner& scanner, const Bytes& bytes)
{
    std::vector<std::size_t> boundaries;
    std::size_t nOffset = 0;
    for (;;)
    {
        const std::ptrdiff_t nFound = scanner.FindBoundary(bytes.data(), nOffset, bytes.size());
        if (nFound == Scanner::kNoBoundary)
            return boundaries;
        boundaries.push_back(static_cast<std::size_t>(nFound));
        nOffset = static_cast<std::size_t>(nFound) + 4;
    }
}

// Parses each unit between the boundaries; the results of ParseUnit in order.
std::vector<bool> ParseUnits(Scanner& scanner, const Bytes& bytes,
                             const std::vector<std::size_t>& boundaries)
{
    std::vector<bool> results;
    for (std::size_t i = 0; i < boundaries.size(); ++i)
    {
        const std::size_t nEnd = i + 1 < boundaries.size() ? boundaries[i + 1] : bytes.size();
        results.push_back(scanner.ParseUnit(bytes.data() + boundaries[i], nEnd - boundaries[i]));
    }
    return results;
}
} // namespace

TEST(Scanner, UnitsBeginAtSequenceHeaderPicturesAndLaterGroupsButNotAtTheirIPictures)
{
    ElementaryStream es;
    es.Sequence()
        .Gop()
        .Picture(kI, 2)
        .Picture(kP, 5)
        .Picture(kB, 0)
        .Gop()
        .Picture(kI, 2)
        .Picture(kB, 0)
        .SequenceEnd();
    const auto& at = es.Offsets();
    Scanner scanner;
    EXPECT_EQ(Boundaries(scanner, es.Data()),
              (std::vector<std::size_t>{at[0], at[3], at[4], at[5], at[7]}));
}

TEST(Scanner, GroupWithoutSequenceHeaderBeginsAUnitAndThePictureAfterItDoesNot)
{
    ElementaryStream es;
    es.Picture(kP, 0).Gop().Picture(kI, 0).Picture(kP, 3);
    const auto& at = es.Offsets();
    Scanner scanner;
    EXPECT_EQ(Boundaries(scanner, es.Data()), (std::vector<std::size_t>{at[0], at[1], at[3]}));
}

TEST(Scanner, StartCodeInTheLastFourBytesOfAWindowIsLeftForTheNextWindow)
{
    ElementaryStream es;
    es.Sequence().Gop().Picture(kI, 0).Picture(kP, 3);
    const Bytes& bytes = es.Data();
    const std::size_t nP = es.Offsets()[3];
    for (std::size_t cbWindow = nP; cbWindow <= nP + 5; ++cbWindow)
    {
        Scanner scanner;
        ASSERT_EQ(scanner.FindBoundary(bytes.data(), 0, bytes.size()), 0);
        const std::ptrdiff_t nExpected =
            cbWindow == nP + 5 ? static_cast<std::ptrdiff_t>(nP) : Scanner::kNoBoundary;
        EXPECT_EQ(scanner.FindBoundary(bytes.data(), 4, cbWindow), nExpected) << cbWindow;
    }
    Scanner scanner;
    EXPECT_EQ(scanner.FindBoundary(bytes.data(), bytes.size(), bytes.size()), Scanner::kNoBoundary);
}

TEST(Scanner, CountersAndTimesFollowTheHeadersInDecodeOrder)
{
    ElementaryStream es;
    es.Sequence(3).Gop().Picture(kI, 2).Picture(kB, 0).Picture(kB, 1).Picture(kP, 5);
    es.Gop().Picture(kI, 2).Picture(kB, 0);
    Scanner scanner;
    const std::vector<std::size_t> boundaries = Boundaries(scanner, es.Data());
    ASSERT_EQ(boundaries.size(), 6u);

    // (temporal_reference + GOP base + 1) / 25 and decode count / 25, unit by unit.
    const struct
    {
        std::uint32_t nType, nDecode;
        double dDisplay;
    } expected[] = {{kI, 1, 4.0 / 25}, {kB, 2, 2.0 / 25}, {kB, 3, 3.0 / 25},
                    {kP, 4, 7.0 / 25}, {kI, 5, 8.0 / 25}, {kB, 6, 6.0 / 25}};
    for (std::size_t i = 0; i < boundaries.size(); ++i)
    {
        const std::size_t nEnd = i + 1 < boundaries.size() ? boundaries[i + 1] : es.Data().size();
        EXPECT_FALSE(scanner.ParseUnit(es.Data().data() + boundaries[i], nEnd - boundaries[i]));
        EXPECT_EQ(scanner.PictureType(), expected[i].nType) << i;
        EXPECT_EQ(scanner.DecodeCount(), expected[i].nDecode) << i;
        EXPECT_DOUBLE_EQ(scanner.DisplayTime(), expected[i].dDisplay) << i;
        EXPECT_DOUBLE_EQ(scanner.DecodeTime(), expected[i].nDecode / 25.0) << i;
    }
    EXPECT_DOUBLE_EQ(scanner.FrameRate(), 25.0);

    scanner.Reset();
    EXPECT_EQ(scanner.DecodeCount(), 0u);
    EXPECT_EQ(scanner.PictureType(), 0u);
    EXPECT_EQ(scanner.FrameRate(), 0.0);
}

TEST(Scanner, PicturesBeforeTheFirstIPictureAreReportedAndNotCounted)
{
    ElementaryStream es;
    es.Picture(kP, 3).Picture(kB, 1).Sequence().Gop().Picture(kI, 0).Picture(kP, 3);
    Scanner scanner;
    const std::vector<std::size_t> boundaries = Boundaries(scanner, es.Data());
    EXPECT_EQ(ParseUnits(scanner, es.Data(), boundaries),
              (std::vector<bool>{true, true, false, false}));
    EXPECT_EQ(scanner.DecodeCount(), 2u);
}

TEST(Scanner, FrameRateCodesGiveTheirRatesAndUnknownCodesKeepTheLastOne)
{
    const double kRates[] = {24000.0 / 1001, 24, 25, 30000.0 / 1001, 30, 50, 60000.0 / 1001, 60};
    Scanner scanner;
    for (std::uint8_t byCode = 1; byCode <= 8; ++byCode)
    {
        ElementaryStream es;
        es.Sequence(byCode);
        scanner.ParseUnit(es.Data().data(), es.Data().size());
        EXPECT_DOUBLE_EQ(scanner.FrameRate(), kRates[byCode - 1]) << int{byCode};
    }
    for (std::uint8_t byCode : {0, 9, 15})
    {
        ElementaryStream es;
        es.Sequence(byCode);
        scanner.ParseUnit(es.Data().data(), es.Data().size());
        EXPECT_DOUBLE_EQ(scanner.FrameRate(), 60.0) << int{byCode};
    }
}

TEST(Scanner, HeaderCutOffByTheEndOfTheUnitIsIgnored)
{
    ElementaryStream es;
    es.Sequence(3).Gop().Picture(kI, 7);
    Scanner scanner;
    scanner.ParseUnit(es.Data().data(), es.Data().size());
    ASSERT_EQ(scanner.TemporalReference(), 7u);

    ElementaryStream cut;
    cut.Sequence(4);
    for (std::size_t cbCut = 5; cbCut < 11; ++cbCut)
    {
        EXPECT_NO_THROW(scanner.ParseUnit(cut.Data().data(), cbCut));
        EXPECT_DOUBLE_EQ(scanner.FrameRate(), 25.0) << cbCut;
    }
    ElementaryStream picture;
    picture.Picture(kP, 9);
    EXPECT_FALSE(scanner.ParseUnit(picture.Data().data(), 6));
    EXPECT_EQ(scanner.TemporalReference(), 7u);
    EXPECT_EQ(scanner.DecodeCount(), 1u);
}

// c3info: lists the packets of a C3 stream file and checks the stream's invariants.
#include "mapped_file.h"
#include "stream_summary.h"

#include "c3stream/buffer_rw.h"
#include "c3stream/c3_stream.h"
#include "c3stream/c3_stream_checker.h"
#include "c3stream/exceptions.h"

#include <cstring>
#include <exception>
#include <iostream>
#include <optional>
#include <string>

namespace
{
constexpr int kExitOk = 0;
constexpr int kExitCheckFailed = 1;
constexpr int kExitUsage = 2;

struct COptions
{
    bool bCheck = false;
    bool bQuiet = false;
    std::string strPath;
};

std::optional<COptions> ParseOptions(int argc, char** argv)
{
    COptions options;
    for (int i = 1; i < argc; ++i)
    {
        const std::string strArg = argv[i];
        if (strArg == "--check")
            options.bCheck = true;
        else if (strArg == "--quiet")
            options.bQuiet = true;
        else if (options.strPath.empty() && !strArg.starts_with("--"))
            options.strPath = strArg;
        else
            return std::nullopt;
    }
    if (options.strPath.empty())
        return std::nullopt;
    return options;
}

// Reads and walks one packet at a time, so only the current packet's elements exist. Returns
// the first violation; without bCheck only those after which no packet can be found.
std::optional<CViolation> WalkPackets(const CMappedFile& file, CStreamSummary& summary, bool bCheck)
{
    CStreamChecker checker;
    CBufferReader reader(file.Data(), file.Size());
    while (reader.HasData())
    {
        const auto nOffset = static_cast<std::uint64_t>(reader.Position() - reader.Begin());
        if (reader.Remaining() < 4 || reader.PeekBytes(4) != kC3Marker)
            return CStreamChecker::NotAPacket(nOffset, reader.Remaining());
        CC3Packet packet;
        try
        {
            packet.Read(reader);
        }
        catch (const CReaderException&)
        {
            return CStreamChecker::CutHeader(nOffset);
        }
        summary.BeginPacket(nOffset);
        packet.Accept(summary);
        std::optional<CViolation> violation = checker.CheckPacket(nOffset, packet);
        if (violation && (bCheck || violation->bEndsWalk))
            return violation;
    }
    return std::nullopt;
}

int Run(const COptions& options)
{
    const CMappedFile file(options.strPath);
    CStreamSummary summary(options.bQuiet ? nullptr : &std::cout);
    summary.PrintHeading();
    const std::optional<CViolation> violation = WalkPackets(file, summary, options.bCheck);
    summary.PrintTotals(std::cout);
    if (!violation)
    {
        if (options.bCheck)
            std::cout << "check        OK\n";
        return kExitOk;
    }
    if (!options.bCheck)
    {
        std::cerr << "c3info: stopped at offset " << violation->nOffset << ": "
                  << violation->strReason << "\n";
        return kExitOk;
    }
    std::cout << "check        FAILED at offset " << violation->nOffset << ": "
              << violation->strReason << "\n";
    return kExitCheckFailed;
}
} // namespace

int main(int argc, char** argv)
{
    const std::optional<COptions> options = ParseOptions(argc, argv);
    if (!options)
    {
        std::cerr << "usage: c3info [--check] [--quiet] FILE.c3s\n"
                     "  --check  verify the stream; exit 1 at the first violation\n"
                     "  --quiet  print the summary only\n";
        return kExitUsage;
    }
    try
    {
        return Run(*options);
    }
    catch (const std::exception& error)
    {
        std::cerr << "c3info: " << error.what() << "\n";
        return kExitUsage;
    }
}

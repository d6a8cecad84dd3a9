// Runs a fuzz target without libFuzzer: its seeds, every truncation of them, deterministic
// mutations and random bytes, each in a heap block of exactly its size so that the sanitizers
// catch any access outside it.
#include "fuzz_support.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>

namespace
{
constexpr int kMutationsPerSeed = 2000;
constexpr int kRandomInputs = 1000;

void RunExactlySized(const FuzzBytes& input)
{
    const auto pCopy = std::make_unique<std::uint8_t[]>(input.size());
    if (!input.empty())
        std::memcpy(pCopy.get(), input.data(), input.size());
    LLVMFuzzerTestOneInput(pCopy.get(), input.size());
}

// One to three edits of the kinds that upset parsers: changed bytes, inserted start codes and
// tokens of the target, runs of 0x00 or 0xFF, cuts and repeated ranges.
FuzzBytes Mutate(FuzzBytes bytes, const std::vector<FuzzBytes>& tokens, std::mt19937& rng)
{
    for (std::uint32_t nEdits = 1 + rng() % 3; nEdits > 0; --nEdits)
    {
        const std::size_t cb = bytes.size();
        const std::size_t at = cb == 0 ? 0 : rng() % cb;
        switch (rng() % 6)
        {
        case 0:
            if (cb != 0)
                bytes[at] = static_cast<std::uint8_t>(rng());
            break;
        case 1:
        {
            const std::uint8_t byCode = rng() % 2 ? static_cast<std::uint8_t>(rng())
                                                  : static_cast<std::uint8_t>(0xB0 + rng() % 16);
            bytes.insert(bytes.begin() + at, {0x00, 0x00, 0x01, byCode});
            break;
        }
        case 2:
            if (!tokens.empty())
            {
                const FuzzBytes& token = tokens[rng() % tokens.size()];
                bytes.insert(bytes.begin() + at, token.begin(), token.end());
            }
            break;
        case 3:
            std::fill_n(bytes.begin() + at, std::min<std::size_t>(cb - at, 1 + rng() % 4),
                        rng() % 2 ? 0x00 : 0xFF);
            break;
        case 4:
            bytes.resize(at);
            break;
        default:
            if (cb != 0)
            {
                const std::size_t cbRun = std::min<std::size_t>(cb - at, 1 + rng() % 16);
                const FuzzBytes run(bytes.begin() + at, bytes.begin() + at + cbRun);
                bytes.insert(bytes.begin() + rng() % (cb + 1), run.begin(), run.end());
            }
            break;
        }
    }
    return bytes;
}

} // namespace

int main()
{
    const std::vector<FuzzBytes> tokens = FuzzTokens();
    std::mt19937 rng(20261206);
    std::size_t nInputs = 0;
    for (const FuzzBytes& seed : FuzzSeeds())
    {
        for (std::size_t cb = 0; cb <= seed.size(); ++cb, ++nInputs)
            RunExactlySized(FuzzBytes(seed.begin(), seed.begin() + cb));
        for (int i = 0; i < kMutationsPerSeed; ++i, ++nInputs)
            RunExactlySized(Mutate(seed, tokens, rng));
    }
    for (int i = 0; i < kRandomInputs; ++i, ++nInputs)
    {
        FuzzBytes noise(rng() % 300);
        std::generate(noise.begin(), noise.end(), [&] { return rng() % 4 ? rng() : 0; });
        RunExactlySized(noise);
    }
    std::printf("%zu inputs replayed without a fault\n", nInputs);
    return 0;
}

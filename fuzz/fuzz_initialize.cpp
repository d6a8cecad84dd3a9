// Lets a libFuzzer program write its seeds and tokens, as the starting corpus and dictionary
// of a fuzzing run (scripts/fuzz.sh):
//
//   NAME_fuzzer --write-seeds DIR --write-dictionary FILE
//
// libFuzzer calls LLVMFuzzerInitialize before it reads its own options.
#include "fuzz_support.h"

#include <cstring>
#include <filesystem>
#include <fstream>

namespace
{
void WriteSeeds(const std::string& directory)
{
    std::filesystem::create_directories(directory);
    int nSeed = 0;
    for (const FuzzBytes& seed : FuzzSeeds())
    {
        std::ofstream file(directory + "/seed" + std::to_string(nSeed++), std::ios::binary);
        file.write(reinterpret_cast<const char*>(seed.data()),
                   static_cast<std::streamsize>(seed.size()));
    }
}

// One quoted token a line, every byte outside printable ASCII (and quote and backslash) as
// \xHH, which is libFuzzer's dictionary syntax.
void WriteDictionary(const std::string& path)
{
    std::ofstream file(path);
    for (const FuzzBytes& token : FuzzTokens())
    {
        file << '"';
        for (const std::uint8_t by : token)
        {
            if (by >= 0x20 && by < 0x7F && by != '"' && by != '\\')
            {
                file << static_cast<char>(by);
                continue;
            }
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", by);
            file << escaped;
        }
        file << "\"\n";
    }
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int* pArgc, char*** pArgv)
{
    bool bWrote = false;
    for (int i = 1; i + 1 < *pArgc; ++i)
    {
        const char* pszOption = (*pArgv)[i];
        if (std::strcmp(pszOption, "--write-seeds") == 0)
            WriteSeeds((*pArgv)[i + 1]);
        else if (std::strcmp(pszOption, "--write-dictionary") == 0)
            WriteDictionary((*pArgv)[i + 1]);
        else
            continue;
        bWrote = true;
    }
    if (bWrote)
        std::exit(0);
    return 0;
}

// kstest: the command-line front end of the device test utility.
//
//   kstest convert IN.mpg OUT.c3s
//
// Converts an MPEG file (MPEG-2 program stream or MPEG-1 system stream, or a
// .kvx segment list) into a C3 stream file through the registered filter
// modules (the registry named by MARVEK_REGISTRY, else the user's).

#include "ConvertCommand.h"

#include <csignal>
#include <cstring>
#include <iostream>

namespace
{
constexpr int kExitUsage = 2;

int Usage()
{
    std::cerr << "usage: kstest convert IN.mpg OUT.c3s\n";
    return kExitUsage;
}
} // namespace

int main(int argc, char** argv)
{
    // A file-size limit then fails the write that would pass it, which the writer reports,
    // instead of killing the program.
    std::signal(SIGXFSZ, SIG_IGN);
    if (argc == 4 && std::strcmp(argv[1], "convert") == 0)
        return RunConvertCommand(argv[2], argv[3]);
    return Usage();
}

// regsvr: registers or unregisters filter modules, in the role of regsvr32.
//
//   regsvr [-u] [-s] MODULE.so...
//
// Loads each module, calls its DllRegisterServer (or DllUnregisterServer with -u)
// and unloads it. -s prints nothing on success; failures are always reported on
// standard error. The exit status is that of the first failure, with regsvr32's
// numbers: 1 bad arguments, 2 COM could not be initialised, 3 the module could
// not be loaded, 4 the entry point is missing, 5 the entry point failed.

#include "com/ComRuntime.h"

#include <csignal>
#include <cstdio>
#include <dlfcn.h>
#include <filesystem>
#include <string>
#include <vector>

namespace
{

enum ExitStatus
{
    kSuccess = 0,
    kBadArguments = 1,
    kComFailed = 2,
    kLoadFailed = 3,
    kEntryPointMissing = 4,
    kEntryPointFailed = 5,
};

struct Options
{
    bool unregister = false;
    bool silent = false;
    std::vector<std::string> modules;
};

void PrintUsage()
{
    std::fprintf(stderr, "usage: regsvr [-u] [-s] MODULE.so...\n"
                         "  -u  unregister (call DllUnregisterServer)\n"
                         "  -s  silent: report failures only\n"
                         "The registry is $MARVEK_REGISTRY, else the per-user registry file.\n");
}

bool ParseArguments(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i)
    {
        std::string argument = argv[i];
        if (argument == "-u" || argument == "/u")
            options.unregister = true;
        else if (argument == "-s" || argument == "/s")
            options.silent = true;
        else if (!argument.empty() && argument[0] == '-')
            return false;
        else
            options.modules.push_back(argument);
    }
    return !options.modules.empty();
}

/// Loads one module and calls its entry point; returns the exit status.
ExitStatus ProcessModule(const std::string& module, const Options& options)
{
    // An absolute path, so that the module registers where it really is.
    std::error_code ignored;
    std::string path = std::filesystem::absolute(module, ignored).string();
    const char* entryName = options.unregister ? "DllUnregisterServer" : "DllRegisterServer";

    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
    {
        std::fprintf(stderr, "regsvr: cannot load %s: %s\n", path.c_str(), ::dlerror());
        return kLoadFailed;
    }
    auto entry = reinterpret_cast<DllRegisterServerFn>(::dlsym(handle, entryName));
    if (!entry)
    {
        std::fprintf(stderr, "regsvr: %s has no %s entry point\n", path.c_str(), entryName);
        ::dlclose(handle);
        return kEntryPointMissing;
    }
    HRESULT hr = entry();
    ::dlclose(handle);
    if (FAILED(hr))
    {
        std::fprintf(stderr, "regsvr: %s in %s failed: 0x%08X\n", entryName, path.c_str(),
                     unsigned(hr));
        return kEntryPointFailed;
    }
    if (!options.silent)
        std::printf("regsvr: %s in %s succeeded\n", entryName, path.c_str());
    return kSuccess;
}

} // namespace

int main(int argc, char** argv)
{
    // Under a file-size limit a registry write fails and is reported, rather than killing us.
    std::signal(SIGXFSZ, SIG_IGN);
    Options options;
    if (!ParseArguments(argc, argv, options))
    {
        PrintUsage();
        return kBadArguments;
    }
    if (FAILED(CoInitialize(nullptr)))
    {
        std::fprintf(stderr, "regsvr: COM could not be initialised\n");
        return kComFailed;
    }
    ExitStatus status = kSuccess;
    for (const std::string& module : options.modules)
    {
        ExitStatus moduleStatus = ProcessModule(module, options);
        if (status == kSuccess)
            status = moduleStatus;
    }
    CoUninitialize();
    return status;
}

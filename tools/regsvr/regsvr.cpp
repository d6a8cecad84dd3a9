// regsvr: registers or unregisters filter modules, in the role of regsvr32.
//
//   regsvr [-u] [-s] [-n] [-i[:CMDLINE]] MODULE.so...
//
// Loads each module, calls its DllRegisterServer (or DllUnregisterServer with -u)
// and unloads it. -i also calls the module's DllInstall with CMDLINE (none: a null
// command line): DllInstall(TRUE, CMDLINE) after DllRegisterServer, or, with -u,
// DllInstall(FALSE, CMDLINE) before DllUnregisterServer. -n (only with -i) calls
// DllInstall alone. -s prints nothing on success; failures are always reported on
// standard error. The exit status is that of the first failure, with regsvr32's
// numbers: 1 bad arguments, 2 COM could not be initialised, 3 the module could
// not be loaded, 4 an entry point is missing, 5 an entry point failed.

#include "com/ComRuntime.h"
#include "com/StringConvert.h"

#include <csignal>
#include <cstdio>
#include <dlfcn.h>
#include <filesystem>
#include <optional>
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
    bool install = false;
    bool installOnly = false;
    std::optional<std::wstring> installCommandLine; // none: DllInstall gets null
    std::vector<std::string> modules;
};

void PrintUsage()
{
    std::fprintf(stderr, "usage: regsvr [-u] [-s] [-n] [-i[:CMDLINE]] MODULE.so...\n"
                         "  -u  unregister (call DllUnregisterServer)\n"
                         "  -s  silent: report failures only\n"
                         "  -i  also call DllInstall with CMDLINE (uninstall with -u)\n"
                         "  -n  call DllInstall only (needs -i)\n"
                         "The registry is $MARVEK_REGISTRY, else the per-user registry file.\n");
}

// regsvr32 takes its switches with '-' or '/'; the install switch carries its
// command line after a colon.
bool ParseSwitch(const std::string& argument, Options& options)
{
    const std::string name = argument.substr(1);
    if (name == "u")
        options.unregister = true;
    else if (name == "s")
        options.silent = true;
    else if (name == "n")
        options.installOnly = true;
    else if (name == "i" || name.starts_with("i:"))
        options.install = true;
    else
        return false;
    if (name.starts_with("i:"))
        options.installCommandLine = Utf8ToWide(name.substr(2));
    return true;
}

bool ParseArguments(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i)
    {
        std::string argument = argv[i];
        const bool bSwitchLike = argument.size() > 1 && (argument[0] == '-' || argument[0] == '/');
        if (bSwitchLike && ParseSwitch(argument, options))
            continue;
        if (argument[0] == '-') // an unknown switch; a '/' may start a module's path
            return false;
        options.modules.push_back(argument);
    }
    return !options.modules.empty() && (!options.installOnly || options.install);
}

/// Calls one entry point of a loaded module; returns the exit status.
template <class Call>
ExitStatus CallEntry(void* handle, const std::string& path, const char* entryName,
                     const Options& options, Call call)
{
    void* entry = ::dlsym(handle, entryName);
    if (!entry)
    {
        std::fprintf(stderr, "regsvr: %s has no %s entry point\n", path.c_str(), entryName);
        return kEntryPointMissing;
    }
    const HRESULT hr = call(entry);
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

ExitStatus CallServerEntry(void* handle, const std::string& path, const Options& options)
{
    const char* entryName = options.unregister ? "DllUnregisterServer" : "DllRegisterServer";
    return CallEntry(handle, path, entryName, options,
                     [](void* entry) { return reinterpret_cast<DllRegisterServerFn>(entry)(); });
}

ExitStatus CallInstallEntry(void* handle, const std::string& path, const Options& options)
{
    const std::optional<std::wstring>& commandLine = options.installCommandLine;
    return CallEntry(handle, path, "DllInstall", options,
                     [&](void* entry)
                     {
                         return reinterpret_cast<DllInstallFn>(entry)(
                             options.unregister ? FALSE : TRUE,
                             commandLine ? commandLine->c_str() : nullptr);
                     });
}

/// Loads one module and calls its entry points in regsvr32's order; returns the
/// exit status of the first that fails.
ExitStatus ProcessModule(const std::string& module, const Options& options)
{
    // An absolute path, so that the module registers where it really is.
    std::error_code ignored;
    std::string path = std::filesystem::absolute(module, ignored).string();

    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
    {
        std::fprintf(stderr, "regsvr: cannot load %s: %s\n", path.c_str(), ::dlerror());
        return kLoadFailed;
    }
    ExitStatus status = kSuccess;
    if (options.install && options.unregister)
        status = CallInstallEntry(handle, path, options);
    if (status == kSuccess && !options.installOnly)
        status = CallServerEntry(handle, path, options);
    if (status == kSuccess && options.install && !options.unregister)
        status = CallInstallEntry(handle, path, options);
    ::dlclose(handle);
    return status;
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

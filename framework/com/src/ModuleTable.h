#pragma once
// Modules loaded by CoGetClassObject, kept until their DllCanUnloadNow says S_OK.

#include "com/Unknown.h"

#include <map>
#include <mutex>
#include <string>

namespace com
{

class ModuleTable
{
public:
    static ModuleTable& Instance();

    /// Loads the module (once) and asks its DllGetClassObject for a class object.
    HRESULT GetClassObject(const std::string& path, REFCLSID clsid, REFIID riid, void** ppv);
    /// Unloads every module whose DllCanUnloadNow answers S_OK.
    void FreeUnused();
    std::size_t LoadedCount();

private:
    struct Module
    {
        void* handle = nullptr;
        DllGetClassObjectFn getClassObject = nullptr;
        DllCanUnloadNowFn canUnloadNow = nullptr;
    };

    HRESULT Load(const std::string& path, Module*& module);

    // Held while calling into a module, so that it cannot be unloaded between
    // handing out a class object and the caller's first reference to it.
    std::recursive_mutex m_mutex;
    std::map<std::string, Module> m_modules;
};

} // namespace com

#include "ModuleTable.h"

#include <dlfcn.h>

namespace com
{

ModuleTable& ModuleTable::Instance()
{
    // Never destroyed: modules are not unloaded during static destruction.
    static auto* table = new ModuleTable;
    return *table;
}

HRESULT ModuleTable::Load(const std::string& path, Module*& module)
{
    if (auto it = m_modules.find(path); it != m_modules.end())
    {
        module = &it->second;
        return S_OK;
    }
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        return HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND);
    auto getClassObject =
        reinterpret_cast<DllGetClassObjectFn>(::dlsym(handle, "DllGetClassObject"));
    if (!getClassObject)
    {
        ::dlclose(handle);
        return CO_E_ERRORINDLL;
    }
    auto canUnloadNow = reinterpret_cast<DllCanUnloadNowFn>(::dlsym(handle, "DllCanUnloadNow"));
    module = &m_modules[path];
    *module = {handle, getClassObject, canUnloadNow};
    return S_OK;
}

HRESULT ModuleTable::GetClassObject(const std::string& path, REFCLSID clsid, REFIID riid,
                                    void** ppv)
{
    std::lock_guard lock(m_mutex);
    Module* module = nullptr;
    if (HRESULT hr = Load(path, module); FAILED(hr))
        return hr;
    return module->getClassObject(clsid, riid, ppv);
}

void ModuleTable::FreeUnused()
{
    std::lock_guard lock(m_mutex);
    for (auto it = m_modules.begin(); it != m_modules.end();)
    {
        // A module without DllCanUnloadNow stays loaded, as COM does.
        if (it->second.canUnloadNow && it->second.canUnloadNow() == S_OK)
        {
            ::dlclose(it->second.handle);
            it = m_modules.erase(it);
        }
        else
        {
            ++it;
        }
    }
}

std::size_t ModuleTable::LoadedCount()
{
    std::lock_guard lock(m_mutex);
    return m_modules.size();
}

} // namespace com

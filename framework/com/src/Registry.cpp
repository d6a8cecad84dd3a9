// The Win32-style registry functions over RegistryStore. An open key handle
// remembers the key's root and path; every call looks the key up again, so a
// handle to a key deleted meanwhile gives ERROR_KEY_DELETED.

#include "com/Registry.h"

#include "RegistryFileFormat.h"
#include "RegistryStore.h"
#include "com/HResult.h"

#include <cstring>
#include <cwchar>
#include <mutex>
#include <unordered_set>

struct HKEY__
{
    registry::Root root;
    registry::Path path;
};

namespace
{

using registry::Key;
using registry::Path;
using registry::RegistryStore;
using registry::Root;
using registry::Tree;
using registry::Value;

/// Handles returned by RegCreateKey/RegOpenKey that are not closed yet.
class OpenHandles
{
public:
    HKEY Open(Root root, Path path)
    {
        auto* handle = new HKEY__{root, std::move(path)};
        std::lock_guard lock(m_mutex);
        m_handles.insert(handle);
        return handle;
    }

    bool Close(HKEY handle)
    {
        std::lock_guard lock(m_mutex);
        if (m_handles.erase(handle) == 0)
            return false;
        delete handle;
        return true;
    }

    /// Copies the location a handle names; false for an unknown handle.
    bool Location(HKEY handle, HKEY__& location)
    {
        for (Root root : {Root::ClassesRoot, Root::CurrentUser, Root::LocalMachine})
        {
            if (handle == PredefinedHandle(root))
            {
                location = {root, {}};
                return true;
            }
        }
        std::lock_guard lock(m_mutex);
        if (!m_handles.contains(handle))
            return false;
        location = *handle;
        return true;
    }

    static HKEY PredefinedHandle(Root root)
    {
        switch (root)
        {
        case Root::ClassesRoot:
            return HKEY_CLASSES_ROOT;
        case Root::CurrentUser:
            return HKEY_CURRENT_USER;
        case Root::LocalMachine:
            return HKEY_LOCAL_MACHINE;
        }
        return nullptr;
    }

private:
    std::mutex m_mutex;
    std::unordered_set<HKEY> m_handles;
};

OpenHandles& Handles()
{
    static OpenHandles handles;
    return handles;
}

/// The location of hKey\subKey; ERROR_INVALID_HANDLE / ERROR_INVALID_PARAMETER.
LONG ResolveLocation(HKEY hKey, LPCWSTR subKey, HKEY__& location)
{
    if (!Handles().Location(hKey, location))
        return ERROR_INVALID_HANDLE;
    if (subKey)
    {
        for (std::wstring& name : registry::SplitPath(subKey))
        {
            if (!registry::IsWritableKeyName(name))
                return ERROR_INVALID_PARAMETER;
            location.path.push_back(std::move(name));
        }
    }
    return location.path.size() <= registry::kMaxKeyDepth ? ERROR_SUCCESS : ERROR_INVALID_PARAMETER;
}

/// The key a handle names inside the tree; ERROR_KEY_DELETED when it went away.
LONG FindHandleKey(Tree& tree, const HKEY__& location, Key*& key)
{
    key = tree.Find(location.root, location.path);
    return key ? ERROR_SUCCESS : ERROR_KEY_DELETED;
}

bool IsVisible(Tree& own, Tree& fallback, const HKEY__& location)
{
    return own.Find(location.root, location.path) || fallback.Find(location.root, location.path);
}

/// The key a handle names, for a change to the own file: a key that only the
/// system file holds is first made in the own file, which then holds the change.
LONG FindKeyToChange(Tree& own, Tree& fallback, const HKEY__& location, Key*& key, bool& changed)
{
    if (!IsVisible(own, fallback, location))
        return ERROR_KEY_DELETED;
    bool created = false;
    key = &own.FindOrCreate(location.root, location.path, &created);
    changed = changed || created;
    return ERROR_SUCCESS;
}

std::wstring ValueName(LPCWSTR name)
{
    return name ? std::wstring(name) : std::wstring();
}

/// Copies value data with the Win32 size conventions.
LONG CopyValueData(const Value& value, DWORD* type, BYTE* data, DWORD* size)
{
    if (type)
        *type = value.type;
    if (!size)
        return data ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
    DWORD needed = DWORD(value.data.size());
    DWORD capacity = *size;
    *size = needed;
    if (!data)
        return ERROR_SUCCESS;
    if (capacity < needed)
        return ERROR_MORE_DATA;
    if (needed != 0) // empty data may have no buffer at all
        std::memcpy(data, value.data.data(), needed);
    return ERROR_SUCCESS;
}

/// Validates and normalises data given to RegSetValueEx.
LONG MakeValue(DWORD type, const BYTE* data, DWORD size, Value& value)
{
    if (!data && size != 0)
        return ERROR_INVALID_PARAMETER;
    if (type == REG_DWORD && size != sizeof(DWORD))
        return ERROR_INVALID_PARAMETER;
    value.type = type;
    if (type == REG_SZ)
    {
        std::wstring text(size / sizeof(wchar_t), L'\0');
        if (!text.empty())
            std::memcpy(text.data(), data, text.size() * sizeof(wchar_t));
        text.resize(std::min(text.size(), text.find(L'\0')));
        value.data = registry::StringData(text);
        return ERROR_SUCCESS;
    }
    value.data.assign(data, data + size);
    return ERROR_SUCCESS;
}

bool TypeAllowed(DWORD type, DWORD flags)
{
    if ((flags & RRF_RT_ANY) == RRF_RT_ANY)
        return true;
    switch (type)
    {
    case REG_SZ:
        return flags & RRF_RT_REG_SZ;
    case REG_DWORD:
        return flags & RRF_RT_REG_DWORD;
    case REG_BINARY:
        return flags & RRF_RT_REG_BINARY;
    default:
        return false;
    }
}

} // namespace

LONG RegCreateKeyExW(HKEY hKey, LPCWSTR lpSubKey, PHKEY phkResult, DWORD* lpdwDisposition)
{
    if (!phkResult)
        return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    HKEY__ base;
    HKEY__ location;
    if (LONG error = ResolveLocation(hKey, nullptr, base); error != ERROR_SUCCESS)
        return error;
    if (LONG error = ResolveLocation(hKey, lpSubKey, location); error != ERROR_SUCCESS)
        return error;
    bool created = false;
    LONG result = RegistryStore::Instance().Modify(
        [&](Tree& own, Tree& fallback, bool& changed)
        {
            if (!IsVisible(own, fallback, base))
                return ERROR_KEY_DELETED;
            created = !IsVisible(own, fallback, location);
            if (created)
                own.FindOrCreate(location.root, location.path, &changed);
            return ERROR_SUCCESS;
        });
    if (result != ERROR_SUCCESS)
        return result;
    if (lpdwDisposition)
        *lpdwDisposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    *phkResult = Handles().Open(location.root, std::move(location.path));
    return ERROR_SUCCESS;
}

LONG RegCreateKeyW(HKEY hKey, LPCWSTR lpSubKey, PHKEY phkResult)
{
    return RegCreateKeyExW(hKey, lpSubKey, phkResult, nullptr);
}

LONG RegOpenKeyW(HKEY hKey, LPCWSTR lpSubKey, PHKEY phkResult)
{
    if (!phkResult)
        return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    HKEY__ location;
    if (LONG error = ResolveLocation(hKey, lpSubKey, location); error != ERROR_SUCCESS)
        return error;
    LONG result = RegistryStore::Instance().Read(
        [&](Tree& tree)
        { return tree.Find(location.root, location.path) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND; });
    if (result == ERROR_SUCCESS)
        *phkResult = Handles().Open(location.root, std::move(location.path));
    return result;
}

LONG RegCloseKey(HKEY hKey)
{
    HKEY__ location;
    if (!Handles().Location(hKey, location))
        return ERROR_INVALID_HANDLE;
    if (location.path.empty() && hKey == OpenHandles::PredefinedHandle(location.root))
        return ERROR_SUCCESS;
    return Handles().Close(hKey) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG RegSetValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD, DWORD dwType, const BYTE* lpData,
                    DWORD cbData)
{
    HKEY__ location;
    if (LONG error = ResolveLocation(hKey, nullptr, location); error != ERROR_SUCCESS)
        return error;
    Value value;
    if (LONG error = MakeValue(dwType, lpData, cbData, value); error != ERROR_SUCCESS)
        return error;
    return RegistryStore::Instance().Modify(
        [&](Tree& own, Tree& fallback, bool& changed)
        {
            Key* key = nullptr;
            if (LONG error = FindKeyToChange(own, fallback, location, key, changed);
                error != ERROR_SUCCESS)
                return error;
            key->values[ValueName(lpValueName)] = std::move(value);
            changed = true;
            return ERROR_SUCCESS;
        });
}

LONG RegSetValueW(HKEY hKey, LPCWSTR lpSubKey, DWORD dwType, LPCWSTR lpData, DWORD)
{
    if (dwType != REG_SZ || !lpData)
        return ERROR_INVALID_PARAMETER;
    HKEY subKey = nullptr;
    if (LONG error = RegCreateKeyW(hKey, lpSubKey, &subKey); error != ERROR_SUCCESS)
        return error;
    DWORD size = DWORD((std::wcslen(lpData) + 1) * sizeof(wchar_t));
    LONG result =
        RegSetValueExW(subKey, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(lpData), size);
    RegCloseKey(subKey);
    return result;
}

LONG RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD*, DWORD* lpType, BYTE* lpData,
                      DWORD* lpcbData)
{
    HKEY__ location;
    if (LONG error = ResolveLocation(hKey, nullptr, location); error != ERROR_SUCCESS)
        return error;
    return RegistryStore::Instance().Read(
        [&](Tree& tree)
        {
            Key* key = nullptr;
            if (LONG error = FindHandleKey(tree, location, key); error != ERROR_SUCCESS)
                return error;
            auto it = key->values.find(ValueName(lpValueName));
            if (it == key->values.end())
                return ERROR_FILE_NOT_FOUND;
            return CopyValueData(it->second, lpType, lpData, lpcbData);
        });
}

LONG RegGetValueW(HKEY hKey, LPCWSTR lpSubKey, LPCWSTR lpValue, DWORD dwFlags, DWORD* pdwType,
                  void* pvData, DWORD* pcbData)
{
    HKEY__ location;
    if (LONG error = ResolveLocation(hKey, lpSubKey, location); error != ERROR_SUCCESS)
        return error;
    return RegistryStore::Instance().Read(
        [&](Tree& tree)
        {
            Key* key = tree.Find(location.root, location.path);
            if (!key)
                return ERROR_FILE_NOT_FOUND;
            auto it = key->values.find(ValueName(lpValue));
            if (it == key->values.end())
                return ERROR_FILE_NOT_FOUND;
            if (!TypeAllowed(it->second.type, dwFlags))
                return ERROR_UNSUPPORTED_TYPE;
            return CopyValueData(it->second, pdwType, static_cast<BYTE*>(pvData), pcbData);
        });
}

LONG RegDeleteValueW(HKEY hKey, LPCWSTR lpValueName)
{
    HKEY__ location;
    if (LONG error = ResolveLocation(hKey, nullptr, location); error != ERROR_SUCCESS)
        return error;
    return RegistryStore::Instance().Modify(
        [&](Tree& own, Tree& fallback, bool& changed)
        {
            Key* key = nullptr;
            if (LONG error = FindKeyToChange(own, fallback, location, key, changed);
                error != ERROR_SUCCESS)
                return error;
            bool erased = key->values.erase(ValueName(lpValueName)) > 0;
            changed = changed || erased;
            return erased ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
        });
}

namespace
{

/// Deletes the key at location (not a root) from the own file. With mustBeLeaf, a
/// key that has subkeys is refused with ERROR_ACCESS_DENIED. What the system file
/// holds stays visible.
LONG DeleteKeyAt(const HKEY__& location, bool mustBeLeaf)
{
    if (location.path.empty())
        return ERROR_ACCESS_DENIED;
    return RegistryStore::Instance().Modify(
        [&](Tree& tree, Tree&, bool& changed)
        {
            Path parentPath(location.path.begin(), location.path.end() - 1);
            Key* parent = tree.Find(location.root, parentPath);
            Key* key = parent ? parent->FindSubkey(location.path.back()) : nullptr;
            if (!key)
                return ERROR_FILE_NOT_FOUND;
            if (mustBeLeaf && !key->subkeys.empty())
                return ERROR_ACCESS_DENIED;
            parent->subkeys.erase(parent->subkeys.find(location.path.back()));
            changed = true;
            return ERROR_SUCCESS;
        });
}

} // namespace

LONG RegDeleteKeyW(HKEY hKey, LPCWSTR lpSubKey)
{
    HKEY__ location;
    if (LONG error = ResolveLocation(hKey, lpSubKey, location); error != ERROR_SUCCESS)
        return error;
    return DeleteKeyAt(location, true);
}

LONG RegDeleteTreeW(HKEY hKey, LPCWSTR lpSubKey)
{
    HKEY__ location;
    if (LONG error = ResolveLocation(hKey, lpSubKey, location); error != ERROR_SUCCESS)
        return error;
    if (lpSubKey && *lpSubKey)
        return DeleteKeyAt(location, false);
    // No subkey: empty the key itself.
    return RegistryStore::Instance().Modify(
        [&](Tree& own, Tree& fallback, bool& changed)
        {
            Key* key = nullptr;
            if (LONG error = FindKeyToChange(own, fallback, location, key, changed);
                error != ERROR_SUCCESS)
                return error;
            changed = changed || !key->subkeys.empty() || !key->values.empty();
            key->subkeys.clear();
            key->values.clear();
            return ERROR_SUCCESS;
        });
}

LONG RegEnumKeyW(HKEY hKey, DWORD dwIndex, LPWSTR lpName, DWORD cchName)
{
    HKEY__ location;
    if (LONG error = ResolveLocation(hKey, nullptr, location); error != ERROR_SUCCESS)
        return error;
    return RegistryStore::Instance().Read(
        [&](Tree& tree)
        {
            Key* key = nullptr;
            if (LONG error = FindHandleKey(tree, location, key); error != ERROR_SUCCESS)
                return error;
            if (dwIndex >= key->subkeys.size())
                return ERROR_NO_MORE_ITEMS;
            const std::wstring& name = std::next(key->subkeys.begin(), dwIndex)->first;
            if (!lpName || cchName < name.size() + 1)
                return ERROR_MORE_DATA;
            std::wmemcpy(lpName, name.c_str(), name.size() + 1);
            return ERROR_SUCCESS;
        });
}

LONG RegEnumValueW(HKEY hKey, DWORD dwIndex, LPWSTR lpValueName, DWORD* lpcchValueName, DWORD*,
                   DWORD* lpType, BYTE* lpData, DWORD* lpcbData)
{
    if (!lpValueName || !lpcchValueName)
        return ERROR_INVALID_PARAMETER;
    HKEY__ location;
    if (LONG error = ResolveLocation(hKey, nullptr, location); error != ERROR_SUCCESS)
        return error;
    return RegistryStore::Instance().Read(
        [&](Tree& tree)
        {
            Key* key = nullptr;
            if (LONG error = FindHandleKey(tree, location, key); error != ERROR_SUCCESS)
                return error;
            if (dwIndex >= key->values.size())
                return ERROR_NO_MORE_ITEMS;
            const auto& [name, value] = *std::next(key->values.begin(), dwIndex);
            if (*lpcchValueName < name.size() + 1)
                return ERROR_MORE_DATA;
            std::wmemcpy(lpValueName, name.c_str(), name.size() + 1);
            *lpcchValueName = DWORD(name.size());
            return CopyValueData(value, lpType, lpData, lpcbData);
        });
}

LONG RegReadString(HKEY hKey, LPCWSTR lpSubKey, LPCWSTR lpValue, std::wstring& value)
{
    value.clear();
    DWORD size = 0;
    LONG result = RegGetValueW(hKey, lpSubKey, lpValue, RRF_RT_REG_SZ, nullptr, nullptr, &size);
    // Another thread may change the value between the two calls; retry on growth.
    std::vector<BYTE> data;
    while (result == ERROR_SUCCESS || result == ERROR_MORE_DATA)
    {
        data.resize(size);
        result = RegGetValueW(hKey, lpSubKey, lpValue, RRF_RT_REG_SZ, nullptr, data.data(), &size);
        if (result == ERROR_SUCCESS)
        {
            data.resize(size);
            value = registry::StringFromData(data);
            return ERROR_SUCCESS;
        }
    }
    return result;
}

LONG RegWriteString(HKEY hKey, LPCWSTR lpSubKey, LPCWSTR lpValue, const std::wstring& value)
{
    HKEY__ base;
    HKEY__ location;
    if (LONG error = ResolveLocation(hKey, nullptr, base); error != ERROR_SUCCESS)
        return error;
    if (LONG error = ResolveLocation(hKey, lpSubKey, location); error != ERROR_SUCCESS)
        return error;
    // One change: no other writer can delete the key between its creation and the value.
    return RegistryStore::Instance().Modify(
        [&](Tree& own, Tree& fallback, bool& changed)
        {
            if (!IsVisible(own, fallback, base))
                return ERROR_KEY_DELETED;
            Key& key = own.FindOrCreate(location.root, location.path);
            key.values[ValueName(lpValue)] = Value{REG_SZ, registry::StringData(value)};
            changed = true;
            return ERROR_SUCCESS;
        });
}

std::string RegistryFilePath()
{
    return RegistryStore::OwnPath();
}

#pragma once
// The registry: a persistent tree of keys and values under the predefined roots,
// with the Win32 registry functions' names and results (Win32 error numbers).
//
// Changes go to one text file: $MARVEK_REGISTRY when set, else
// $XDG_CONFIG_HOME/marvek/registry.txt, else ~/.config/marvek/registry.txt. Keys and
// values missing there are looked up in the system-wide file,
// $MARVEK_SYSTEM_REGISTRY when set (empty: none), else /etc/marvek/registry.txt,
// which changes never touch. The own file is rewritten atomically (temporary file,
// then rename) after every change, under a lock that serialises writers across
// processes. Key and value names compare without regard to ASCII letter case, as on
// Windows. All functions are thread-safe.
//
// Differences from Win32: no security attributes, access masks or classes; byte
// counts of REG_SZ data are in bytes of wchar_t (4 on Linux), terminator included.
// Deleting removes only what the own file holds: a key or value of the system file
// stays visible, and deleting one that only it holds gives ERROR_FILE_NOT_FOUND.

#include "com/HResult.h"
#include "com/Types.h"

#include <string>

struct HKEY__;
using HKEY = HKEY__*;
using PHKEY = HKEY*;

inline HKEY const HKEY_CLASSES_ROOT = reinterpret_cast<HKEY>(std::uintptr_t(0x80000000));
inline HKEY const HKEY_CURRENT_USER = reinterpret_cast<HKEY>(std::uintptr_t(0x80000001));
inline HKEY const HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(std::uintptr_t(0x80000002));

// Value types.
inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_BINARY = 3;
inline constexpr DWORD REG_DWORD = 4;

// Type filter flags of RegGetValueW.
inline constexpr DWORD RRF_RT_REG_SZ = 0x00000002;
inline constexpr DWORD RRF_RT_REG_BINARY = 0x00000008;
inline constexpr DWORD RRF_RT_REG_DWORD = 0x00000010;
inline constexpr DWORD RRF_RT_ANY = 0x0000FFFF;

// Dispositions reported by RegCreateKeyExW.
inline constexpr DWORD REG_CREATED_NEW_KEY = 1;
inline constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

/// Opens or creates hKey\lpSubKey (with any missing parents). Null or empty
/// lpSubKey opens hKey itself again.
LONG RegCreateKeyW(HKEY hKey, LPCWSTR lpSubKey, PHKEY phkResult);
/// As RegCreateKeyW, and reports whether the key was new.
LONG RegCreateKeyExW(HKEY hKey, LPCWSTR lpSubKey, PHKEY phkResult, DWORD* lpdwDisposition);
/// Opens an existing key; ERROR_FILE_NOT_FOUND when it does not exist.
LONG RegOpenKeyW(HKEY hKey, LPCWSTR lpSubKey, PHKEY phkResult);
LONG RegCloseKey(HKEY hKey);

/// Sets a named value (null or empty name: the default value). REG_SZ data are
/// wide characters; a missing terminator is tolerated.
LONG RegSetValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD Reserved, DWORD dwType,
                    const BYTE* lpData, DWORD cbData);
/// Sets the default value of hKey\lpSubKey to a string, creating the key.
LONG RegSetValueW(HKEY hKey, LPCWSTR lpSubKey, DWORD dwType, LPCWSTR lpData, DWORD cbData);

/// Reads a value. lpData null: reports the size in *lpcbData. Too small a buffer:
/// ERROR_MORE_DATA with the needed size in *lpcbData.
LONG RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD* lpReserved, DWORD* lpType,
                      BYTE* lpData, DWORD* lpcbData);
/// Reads a value of hKey\lpSubKey filtered by type (RRF_RT_*); a type outside the
/// filter gives ERROR_UNSUPPORTED_TYPE.
LONG RegGetValueW(HKEY hKey, LPCWSTR lpSubKey, LPCWSTR lpValue, DWORD dwFlags, DWORD* pdwType,
                  void* pvData, DWORD* pcbData);

LONG RegDeleteValueW(HKEY hKey, LPCWSTR lpValueName);
/// Deletes a key that has no subkeys (ERROR_ACCESS_DENIED otherwise).
LONG RegDeleteKeyW(HKEY hKey, LPCWSTR lpSubKey);
/// Deletes hKey\lpSubKey with all its subkeys; null lpSubKey empties hKey itself.
LONG RegDeleteTreeW(HKEY hKey, LPCWSTR lpSubKey);

/// Name of the dwIndex-th subkey (ordered by name); ERROR_NO_MORE_ITEMS past the
/// last; ERROR_MORE_DATA when cchName cannot hold it with its terminator.
LONG RegEnumKeyW(HKEY hKey, DWORD dwIndex, LPWSTR lpName, DWORD cchName);
/// Name, type and data of the dwIndex-th value (ordered by name). *lpcchValueName
/// holds the buffer size in characters and receives the name length.
LONG RegEnumValueW(HKEY hKey, DWORD dwIndex, LPWSTR lpValueName, DWORD* lpcchValueName,
                   DWORD* lpReserved, DWORD* lpType, BYTE* lpData, DWORD* lpcbData);

inline constexpr LONG ERROR_UNSUPPORTED_TYPE = 1630;

/// Convenience: the REG_SZ value lpValue of hKey\lpSubKey (null names the default
/// value) as a string.
LONG RegReadString(HKEY hKey, LPCWSTR lpSubKey, LPCWSTR lpValue, std::wstring& value);
/// Convenience: sets the REG_SZ value lpValue of hKey\lpSubKey (created when
/// missing; null lpSubKey names hKey itself), as one change.
LONG RegWriteString(HKEY hKey, LPCWSTR lpSubKey, LPCWSTR lpValue, const std::wstring& value);

/// The file that changes are written to (empty when no location can be found).
std::string RegistryFilePath();

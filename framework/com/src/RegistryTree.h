#pragma once
// In-memory form of the registry: three root keys, each a tree of keys holding
// named values. Names compare without regard to ASCII letter case and keep the
// spelling they were created with. Not thread-safe; RegistryStore guards it.

#include "com/Types.h"

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace registry
{

struct CaseInsensitiveLess
{
    using is_transparent = void;
    bool operator()(std::wstring_view a, std::wstring_view b) const;
};

struct Value
{
    DWORD type = 0;
    /// Raw data; REG_SZ data are wchar_t characters ending with one terminator.
    std::vector<BYTE> data;
};

struct Key
{
    std::map<std::wstring, std::unique_ptr<Key>, CaseInsensitiveLess> subkeys;
    /// The default value has the empty name.
    std::map<std::wstring, Value, CaseInsensitiveLess> values;

    Key* FindSubkey(std::wstring_view name) const;
    Key& SubkeyOrCreate(std::wstring_view name, bool* created = nullptr);
    /// Copies other's values and subkeys into this key; where both hold a value,
    /// other's wins.
    void Overlay(const Key& other);
};

enum class Root
{
    ClassesRoot,
    CurrentUser,
    LocalMachine,
};
inline constexpr int kRootCount = 3;

/// Key path below a root, one name per level.
using Path = std::vector<std::wstring>;

/// Deepest key path below a root, as on Windows. It also bounds the recursion
/// that writing and destroying a tree take.
inline constexpr std::size_t kMaxKeyDepth = 512;

/// Splits "a\\b\\c" into names; empty names are skipped.
Path SplitPath(std::wstring_view text);

std::wstring_view RootName(Root root);
/// Root for "HKEY_CLASSES_ROOT" and the other root names (any letter case).
bool RootFromName(std::wstring_view name, Root& root);

struct Tree
{
    Key roots[kRootCount];

    Key& RootKey(Root root) { return roots[int(root)]; }
    const Key& RootKey(Root root) const { return roots[int(root)]; }
    /// The key at path, or null when some level does not exist.
    Key* Find(Root root, const Path& path);
    Key& FindOrCreate(Root root, const Path& path, bool* created = nullptr);
    /// Key::Overlay for every root.
    void Overlay(const Tree& other);
    bool Empty() const;
};

/// REG_SZ data for a text: its characters and one terminator.
std::vector<BYTE> StringData(std::wstring_view text);
/// The text of REG_SZ data, up to the first terminator.
std::wstring StringFromData(const std::vector<BYTE>& data);

} // namespace registry

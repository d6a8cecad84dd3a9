#include "RegistryTree.h"

#include <algorithm>
#include <cstring>

namespace registry
{

namespace
{

wchar_t FoldAscii(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') ? wchar_t(c - L'A' + L'a') : c;
}

constexpr std::wstring_view kRootNames[kRootCount] = {
    L"HKEY_CLASSES_ROOT",
    L"HKEY_CURRENT_USER",
    L"HKEY_LOCAL_MACHINE",
};

} // namespace

bool CaseInsensitiveLess::operator()(std::wstring_view a, std::wstring_view b) const
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](wchar_t x, wchar_t y)
                                        { return FoldAscii(x) < FoldAscii(y); });
}

Key* Key::FindSubkey(std::wstring_view name) const
{
    auto it = subkeys.find(name);
    return it == subkeys.end() ? nullptr : it->second.get();
}

Key& Key::SubkeyOrCreate(std::wstring_view name, bool* created)
{
    if (Key* existing = FindSubkey(name))
    {
        if (created)
            *created = false;
        return *existing;
    }
    if (created)
        *created = true;
    auto& slot = subkeys[std::wstring(name)];
    slot = std::make_unique<Key>();
    return *slot;
}

void Key::Overlay(const Key& other)
{
    for (const auto& [name, value] : other.values)
        values[name] = value;
    for (const auto& [name, subkey] : other.subkeys)
        SubkeyOrCreate(name).Overlay(*subkey);
}

Path SplitPath(std::wstring_view text)
{
    Path path;
    while (!text.empty())
    {
        std::size_t end = text.find(L'\\');
        std::wstring_view name = text.substr(0, end);
        if (!name.empty())
            path.emplace_back(name);
        if (end == std::wstring_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return path;
}

std::wstring_view RootName(Root root)
{
    return kRootNames[int(root)];
}

bool RootFromName(std::wstring_view name, Root& root)
{
    CaseInsensitiveLess less;
    for (int i = 0; i < kRootCount; ++i)
    {
        if (!less(name, kRootNames[i]) && !less(kRootNames[i], name))
        {
            root = Root(i);
            return true;
        }
    }
    return false;
}

Key* Tree::Find(Root root, const Path& path)
{
    Key* key = &RootKey(root);
    for (const std::wstring& name : path)
    {
        key = key->FindSubkey(name);
        if (!key)
            return nullptr;
    }
    return key;
}

Key& Tree::FindOrCreate(Root root, const Path& path, bool* created)
{
    Key* key = &RootKey(root);
    bool createdAny = false;
    for (const std::wstring& name : path)
    {
        bool createdHere = false;
        key = &key->SubkeyOrCreate(name, &createdHere);
        createdAny = createdAny || createdHere;
    }
    if (created)
        *created = createdAny;
    return *key;
}

void Tree::Overlay(const Tree& other)
{
    for (int i = 0; i < kRootCount; ++i)
        roots[i].Overlay(other.roots[i]);
}

bool Tree::Empty() const
{
    for (const Key& root : roots)
        if (!root.values.empty() || !root.subkeys.empty())
            return false;
    return true;
}

std::vector<BYTE> StringData(std::wstring_view text)
{
    std::vector<BYTE> data((text.size() + 1) * sizeof(wchar_t), 0);
    std::memcpy(data.data(), text.data(), text.size() * sizeof(wchar_t));
    return data;
}

std::wstring StringFromData(const std::vector<BYTE>& data)
{
    std::wstring text(data.size() / sizeof(wchar_t), L'\0');
    if (!text.empty()) // empty data may have no buffer at all
        std::memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
    text.resize(std::min(text.size(), text.find(L'\0')));
    return text;
}

} // namespace registry

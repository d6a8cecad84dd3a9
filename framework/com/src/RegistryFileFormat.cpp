#include "RegistryFileFormat.h"

#include "com/Registry.h"
#include "com/StringConvert.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

namespace registry
{

namespace
{

constexpr std::string_view kHeader = "; Marvek registry, format 1\n";

bool IsControl(wchar_t c)
{
    const char32_t code = char32_t(c); // wchar_t is signed: no negative value is a control
    return code < 0x20 || code == 0x7F;
}

// Whether a string value can be written as quoted text and read back the same: every
// character a Unicode scalar value. Any other data keeps its bytes in the hex(1) form.
bool IsWritableText(std::wstring_view text)
{
    return std::all_of(text.begin(), text.end(),
                       [](wchar_t c) { return IsValidCodePoint(char32_t(c)); });
}

std::string QuoteString(std::wstring_view text)
{
    std::string out = "\"";
    for (wchar_t c : text)
    {
        switch (c)
        {
        case L'\\':
            out += "\\\\";
            break;
        case L'"':
            out += "\\\"";
            break;
        case L'\n':
            out += "\\n";
            break;
        case L'\r':
            out += "\\r";
            break;
        case L'\t':
            out += "\\t";
            break;
        default:
            if (IsControl(c))
            {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\x%02X", unsigned(c));
                out += escaped;
            }
            else
            {
                out += WideToUtf8(std::wstring_view(&c, 1));
            }
        }
    }
    return out + "\"";
}

std::string HexBytes(const std::vector<BYTE>& data)
{
    std::string out;
    char byte[4];
    for (std::size_t i = 0; i < data.size(); ++i)
    {
        std::snprintf(byte, sizeof byte, i == 0 ? "%02x" : ",%02x", data[i]);
        out += byte;
    }
    return out;
}

std::string FormatData(const Value& value)
{
    char prefix[32];
    switch (value.type)
    {
    case REG_SZ:
    {
        const std::wstring text = StringFromData(value.data);
        if (IsWritableText(text))
            return QuoteString(text);
        break;
    }
    case REG_DWORD:
    {
        DWORD number = 0;
        std::copy_n(value.data.begin(), std::min(sizeof number, value.data.size()),
                    reinterpret_cast<BYTE*>(&number));
        std::snprintf(prefix, sizeof prefix, "dword:%08x", unsigned(number));
        return prefix;
    }
    case REG_BINARY:
        return "hex:" + HexBytes(value.data);
    default:
        break;
    }
    std::snprintf(prefix, sizeof prefix, "hex(%x):", unsigned(value.type));
    return prefix + HexBytes(value.data);
}

void SerializeKey(const Key& key, const std::string& path, std::string& out)
{
    // A key with subkeys but no values is implied by its subkeys' lines.
    if (!key.values.empty() || key.subkeys.empty())
        out += "\n[" + path + "]\n";
    for (const auto& [name, value] : key.values)
        out +=
            (name.empty() ? std::string("@") : QuoteString(name)) + "=" + FormatData(value) + "\n";
    for (const auto& [name, subkey] : key.subkeys)
        SerializeKey(*subkey, path + "\\" + WideToUtf8(name), out);
}

/// Cursor over one line for the value parser.
struct LineReader
{
    std::string_view rest;

    bool Consume(std::string_view token)
    {
        if (!rest.starts_with(token))
            return false;
        rest.remove_prefix(token.size());
        return true;
    }

    bool ReadQuoted(std::wstring& out)
    {
        if (!Consume("\""))
            return false;
        std::string utf8;
        while (!rest.empty())
        {
            char c = rest.front();
            rest.remove_prefix(1);
            if (c == '"')
            {
                out = Utf8ToWide(utf8);
                return true;
            }
            if (c != '\\')
            {
                utf8 += c;
                continue;
            }
            if (rest.empty())
                return false;
            char escape = rest.front();
            rest.remove_prefix(1);
            switch (escape)
            {
            case '\\':
                utf8 += '\\';
                break;
            case '"':
                utf8 += '"';
                break;
            case 'n':
                utf8 += '\n';
                break;
            case 'r':
                utf8 += '\r';
                break;
            case 't':
                utf8 += '\t';
                break;
            case 'x':
            {
                unsigned code = 0;
                if (!ReadHexNumber(2, code))
                    return false;
                utf8 += char(code);
                break;
            }
            default:
                return false;
            }
        }
        return false;
    }

    /// Exactly `digits` hex digits (0: one or more).
    bool ReadHexNumber(int digits, unsigned& value)
    {
        value = 0;
        int count = 0;
        while (!rest.empty() && (digits == 0 || count < digits) &&
               std::isxdigit(static_cast<unsigned char>(rest.front())))
        {
            char c = rest.front();
            value = value * 16 + unsigned(c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10);
            rest.remove_prefix(1);
            if (++count > 8)
                return false;
        }
        return digits == 0 ? count > 0 : count == digits;
    }

    bool ReadHexList(std::vector<BYTE>& data)
    {
        while (!rest.empty())
        {
            unsigned byte = 0;
            if (!ReadHexNumber(2, byte))
                return false;
            data.push_back(BYTE(byte));
            if (!rest.empty() && !Consume(","))
                return false;
        }
        return true;
    }
};

bool ParseData(LineReader& line, Value& value)
{
    if (line.rest.starts_with("\""))
    {
        std::wstring text;
        if (!line.ReadQuoted(text) || !line.rest.empty())
            return false;
        value = {REG_SZ, StringData(text)};
        return true;
    }
    if (line.Consume("dword:"))
    {
        unsigned number = 0;
        if (!line.ReadHexNumber(8, number) || !line.rest.empty())
            return false;
        value.type = REG_DWORD;
        value.data.resize(sizeof(DWORD));
        DWORD dword = number;
        std::memcpy(value.data.data(), &dword, sizeof dword);
        return true;
    }
    if (line.Consume("hex:"))
    {
        value.type = REG_BINARY;
        return line.ReadHexList(value.data);
    }
    unsigned type = 0;
    if (line.Consume("hex(") && line.ReadHexNumber(0, type) && line.Consume("):"))
    {
        value.type = type;
        return line.ReadHexList(value.data);
    }
    return false;
}

bool ParseValueLine(std::string_view text, Key& key)
{
    LineReader line{text};
    std::wstring name;
    if (!line.Consume("@") && !line.ReadQuoted(name))
        return false;
    if (!line.Consume("="))
        return false;
    Value value;
    if (!ParseData(line, value))
        return false;
    key.values[name] = std::move(value);
    return true;
}

Key* ParseKeyLine(std::string_view text, Tree& tree)
{
    Path path = SplitPath(Utf8ToWide(text.substr(1, text.size() - 2)));
    Root root;
    if (path.empty() || path.size() > kMaxKeyDepth + 1 || !RootFromName(path.front(), root))
        return nullptr;
    path.erase(path.begin());
    return &tree.FindOrCreate(root, path);
}

} // namespace

bool IsWritableKeyName(std::wstring_view name)
{
    for (wchar_t c : name)
        if (IsControl(c))
            return false;
    return true;
}

std::string SerializeTree(const Tree& tree)
{
    std::string out(kHeader);
    for (int i = 0; i < kRootCount; ++i)
    {
        const Key& root = tree.roots[i];
        if (root.values.empty() && root.subkeys.empty())
            continue;
        SerializeKey(root, WideToUtf8(RootName(Root(i))), out);
    }
    return out;
}

std::optional<Tree> ParseTree(std::string_view text)
{
    Tree tree;
    Key* current = nullptr;
    while (!text.empty())
    {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        if (line.empty() || line.front() == ';' || line.front() == '#')
            continue;
        if (line.front() == '[')
        {
            if (line.size() < 2 || line.back() != ']' || !(current = ParseKeyLine(line, tree)))
                return std::nullopt;
            continue;
        }
        if (!current || !ParseValueLine(line, *current))
            return std::nullopt;
    }
    return tree;
}

} // namespace registry

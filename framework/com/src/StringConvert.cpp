#include "com/StringConvert.h"

#include <cstring>
#include <cwchar>

namespace
{

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t c)
{
    if (!IsValidCodePoint(c))
        c = kReplacement;
    if (c < 0x80)
    {
        out += char(c);
    }
    else if (c < 0x800)
    {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    }
    else if (c < 0x10000)
    {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
    else
    {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

/// Decodes one UTF-8 sequence at text[pos], advancing pos; malformed input yields
/// U+FFFD and consumes one byte.
char32_t DecodeUtf8(std::string_view text, std::size_t& pos)
{
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    unsigned char lead = byte(pos);
    int length = lead < 0x80           ? 1
                 : (lead >> 5) == 0x6  ? 2
                 : (lead >> 4) == 0xE  ? 3
                 : (lead >> 3) == 0x1E ? 4
                                       : 0;
    if (length == 0 || pos + length > text.size())
    {
        ++pos;
        return kReplacement;
    }
    char32_t c = length == 1 ? lead : lead & (0x7F >> length);
    for (int i = 1; i < length; ++i)
    {
        unsigned char next = byte(pos + i);
        if ((next & 0xC0) != 0x80)
        {
            ++pos;
            return kReplacement;
        }
        c = (c << 6) | (next & 0x3F);
    }
    constexpr char32_t kSmallest[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kSmallest[length] || !IsValidCodePoint(c))
    {
        ++pos;
        return kReplacement;
    }
    pos += length;
    return c;
}

/// Copies converted text (plus terminator when asked) into a caller buffer with
/// the Win32 conventions: size 0 asks for the size, too small a buffer gives 0.
template <class Char>
int CopyOut(const std::basic_string<Char>& converted, Char* buffer, int capacity)
{
    int needed = int(converted.size());
    if (capacity == 0)
        return needed;
    if (!buffer || capacity < needed)
        return 0;
    std::memcpy(buffer, converted.data(), converted.size() * sizeof(Char));
    return needed;
}

} // namespace

bool IsValidCodePoint(char32_t c)
{
    return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
}

std::string WideToUtf8(std::wstring_view text)
{
    std::string out;
    out.reserve(text.size());
    for (wchar_t c : text)
        AppendUtf8(out, char32_t(c));
    return out;
}

std::wstring Utf8ToWide(std::string_view text)
{
    std::wstring out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();)
        out += wchar_t(DecodeUtf8(text, pos));
    return out;
}

int WideCharToMultiByte(UINT CodePage, DWORD, LPCWSTR lpWideCharStr, int cchWideChar,
                        LPSTR lpMultiByteStr, int cbMultiByte, LPCSTR, BOOL* lpUsedDefaultChar)
{
    if ((CodePage != CP_ACP && CodePage != CP_UTF8) || !lpWideCharStr || cchWideChar == 0 ||
        cchWideChar < -1 || cbMultiByte < 0)
        return 0;
    if (lpUsedDefaultChar)
        *lpUsedDefaultChar = FALSE;
    std::size_t length =
        cchWideChar == -1 ? std::wcslen(lpWideCharStr) + 1 : std::size_t(cchWideChar);
    return CopyOut(WideToUtf8(std::wstring_view(lpWideCharStr, length)), lpMultiByteStr,
                   cbMultiByte);
}

int MultiByteToWideChar(UINT CodePage, DWORD, LPCSTR lpMultiByteStr, int cbMultiByte,
                        LPWSTR lpWideCharStr, int cchWideChar)
{
    if ((CodePage != CP_ACP && CodePage != CP_UTF8) || !lpMultiByteStr || cbMultiByte == 0 ||
        cbMultiByte < -1 || cchWideChar < 0)
        return 0;
    std::size_t length =
        cbMultiByte == -1 ? std::strlen(lpMultiByteStr) + 1 : std::size_t(cbMultiByte);
    return CopyOut(Utf8ToWide(std::string_view(lpMultiByteStr, length)), lpWideCharStr,
                   cchWideChar);
}

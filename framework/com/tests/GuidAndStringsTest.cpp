#include "com/Guid.h"
#include "com/StringConvert.h"
#include "com/TaskMem.h"
#include "com/Unknown.h"
#include "com/Variant.h"

#include <gtest/gtest.h>

#include <unordered_set>

DEFINE_GUID(kSample, 0x0123ABCD, 0x4567, 0x89EF, 0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF);

TEST(Guid, TextFormRoundTripsAndIgnoresLetterCase)
{
    EXPECT_EQ(GuidToString(kSample), L"{0123ABCD-4567-89EF-0123-456789ABCDEF}");
    EXPECT_EQ(GuidToString(IID_IClassFactory), L"{00000001-0000-0000-C000-000000000046}");
    EXPECT_EQ(GuidFromString(L"{0123abcd-4567-89ef-0123-456789abcdef}"), kSample);
    EXPECT_EQ(GuidFromString(GuidToString(IID_IUnknown)), IID_IUnknown);
}

TEST(Guid, MalformedTextIsRejected)
{
    for (const wchar_t* text :
         {L"", L"0123ABCD-4567-89EF-0123-456789ABCDEF", L"{0123ABCD-4567-89EF-0123-456789ABCDEF",
          L"{0123ABCD-4567-89EF-0123-456789ABCDEG}", L"{0123ABCD+4567-89EF-0123-456789ABCDEF}",
          L"{0123ABCD-4567-89EF-0123-456789ABCDEF}x"})
        EXPECT_FALSE(GuidFromString(text).has_value()) << text;

    CLSID clsid{};
    EXPECT_EQ(CLSIDFromString(L"{nonsense}", &clsid), CO_E_CLASSSTRING);
}

TEST(Guid, ComStringFunctionsRespectBufferSize)
{
    wchar_t buffer[39];
    EXPECT_EQ(StringFromGUID2(kSample, buffer, 38), 0);
    EXPECT_EQ(StringFromGUID2(kSample, buffer, 39), 39);
    LPOLESTR allocated = nullptr;
    ASSERT_EQ(StringFromCLSID(kSample, &allocated), S_OK);
    EXPECT_STREQ(allocated, buffer);
    CoTaskMemFree(allocated);
}

TEST(Guid, OrderingAndHashDistinguishEveryField)
{
    GUID a = kSample;
    GUID b = kSample;
    b.Data4[7] ^= 1;
    EXPECT_NE(a, b);
    EXPECT_TRUE((a < b) != (b < a));
    std::unordered_set<GUID> set{a, b, a};
    EXPECT_EQ(set.size(), 2u);
}

TEST(StringConvert, Utf8RoundTripAndReplacementOfMalformedInput)
{
    std::wstring text = L"Caf\u00e9 \u4e2d \U0001F3A5";
    EXPECT_EQ(Utf8ToWide(WideToUtf8(text)), text);
    EXPECT_EQ(Utf8ToWide("a\xff"
                         "b"),
              L"a\uFFFD"
              L"b");
    EXPECT_EQ(Utf8ToWide("\xe4\xb8"), L"\uFFFD\uFFFD"); // truncated sequence
    EXPECT_EQ(Utf8ToWide("\xc0\xaf"), L"\uFFFD\uFFFD"); // overlong form
}

TEST(StringConvert, Win32StyleBufferConventions)
{
    const wchar_t* wide = L"K\u00f6ln";
    int needed = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    EXPECT_EQ(needed, 6); // 5 bytes and the terminator
    char small[3];
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, wide, -1, small, sizeof small, nullptr, nullptr), 0);
    char narrow[8];
    ASSERT_EQ(WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, sizeof narrow, nullptr, nullptr), 6);
    wchar_t back[8];
    ASSERT_EQ(MultiByteToWideChar(CP_ACP, 0, narrow, -1, back, 8), 5);
    EXPECT_STREQ(back, wide);
}

TEST(Variant, BstrKeepsLengthAndVariantCopiesDeeply)
{
    BSTR name = SysAllocStringLen(L"ab\0cd", 5);
    EXPECT_EQ(SysStringLen(name), 5u);
    EXPECT_EQ(SysStringLen(nullptr), 0u);

    VARIANT source;
    VariantInit(&source);
    source.vt = VT_BSTR;
    source.bstrVal = name;
    VARIANT copy;
    VariantInit(&copy);
    ASSERT_EQ(VariantCopy(&copy, &source), S_OK);
    EXPECT_NE(copy.bstrVal, name);
    EXPECT_EQ(SysStringLen(copy.bstrVal), 5u);
    VariantClear(&source);
    VariantClear(&copy);
    EXPECT_EQ(copy.vt, VT_EMPTY);
}

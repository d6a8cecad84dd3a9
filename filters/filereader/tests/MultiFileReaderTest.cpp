#include "MultiFileReader.h"
#include "TestFiles.h"

#include "com/ComPtr.h"
#include "com/StringConvert.h"
#include "com/TaskMem.h"

#include <gtest/gtest.h>

// A reader made by its create function, used through its interfaces alone, over three
// segments of 100, 50 and 200 bytes listed in Take.KVX.
class MultiFileReaderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        HRESULT hr = S_OK;
        CUnknown* pObject = CMultiFileReader::CreateInstance(nullptr, &hr);
        ASSERT_EQ(hr, S_OK);
        ASSERT_EQ(pObject->NonDelegatingQueryInterface(IID_IBaseFilter,
                                                       reinterpret_cast<void**>(&filter)),
                  S_OK);
        ASSERT_EQ(filter->QueryInterface(IID_PPV_ARGS(&source)), S_OK);

        for (const auto& [name, cb] :
             {std::pair{"take.mpg", 100}, {"take_1.mpg", 50}, {"take_2.mpg", 200}})
        {
            const std::vector<std::uint8_t> bytes = CountingBytes(cb, joined.size());
            WriteWholeFile(dir / name, bytes);
            joined.insert(joined.end(), bytes.begin(), bytes.end());
        }
        WriteWholeText(dir / "Take.KVX",
                       "LMMP\r\ntake.mpg;100\r\ntake_1.mpg;50\r\ntake_2.mpg;200\r\n");
    }

    HRESULT Load(const std::string& path)
    {
        return source->Load(Utf8ToWide(path).c_str(), nullptr);
    }

    int PinCount()
    {
        ComPtr<IEnumPins> pins;
        EXPECT_EQ(filter->EnumPins(&pins), S_OK);
        int nPins = 0;
        for (ComPtr<IPin> pin; pins->Next(1, &pin, nullptr) == S_OK;)
            ++nPins;
        return nPins;
    }

    LONGLONG Length()
    {
        LONGLONG llTotal = -1, llAvailable = -1;
        EXPECT_EQ(Reader()->Length(&llTotal, &llAvailable), S_OK);
        return llTotal;
    }

    ComPtr<IAsyncReader> Reader()
    {
        ComPtr<IPin> pin;
        EXPECT_EQ(filter->FindPin(L"Output", &pin), S_OK);
        ComPtr<IAsyncReader> reader;
        if (pin)
        {
            EXPECT_EQ(pin->QueryInterface(IID_PPV_ARGS(&reader)), S_OK);
        }
        return reader;
    }

    CTempDirectory dir;
    ComPtr<IBaseFilter> filter;
    ComPtr<IFileSourceFilter> source;
    std::vector<std::uint8_t> joined;
};

TEST_F(MultiFileReaderTest, ListLoadsAsOneMpegProgramStream)
{
    EXPECT_EQ(PinCount(), 0);
    ASSERT_EQ(Load(dir / "Take.KVX"), S_OK);
    ASSERT_EQ(PinCount(), 1);

    LPOLESTR pszName = nullptr;
    AM_MEDIA_TYPE mt{};
    ASSERT_EQ(source->GetCurFile(&pszName, &mt), S_OK);
    EXPECT_EQ(WideToUtf8(pszName).substr(dir.Path().string().size()), "/take.kvx");
    EXPECT_EQ(mt.majortype, MEDIATYPE_Stream);
    EXPECT_EQ(mt.subtype, MEDIASUBTYPE_MPEG2_PROGRAM);
    EXPECT_TRUE(mt.bFixedSizeSamples);
    EXPECT_EQ(mt.lSampleSize, 1u);
    CoTaskMemFree(pszName);
    FreeMediaType(mt);

    EXPECT_EQ(Length(), 350);
    CLSID clsid{};
    EXPECT_EQ(filter->GetClassID(&clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_AsyncReader);
}

TEST_F(MultiFileReaderTest, AnyNameHoldingKvxIsAListAnyOtherOneFile)
{
    WriteWholeText(dir / "a.kvx.mpg", "LMMP\r\ntake_1.mpg;50\r\n");
    ASSERT_EQ(Load(dir / "a.kvx.mpg"), S_OK);
    EXPECT_EQ(Length(), 50);
    ASSERT_EQ(Load(dir / "take_2.mpg"), S_OK);
    EXPECT_EQ(Length(), 200);
    WriteWholeText(dir / "gone.kvx", "LMMP\r\ngone.mpg;100\r\n");
    ASSERT_EQ(Load(dir / "gone.kvx"), S_OK);
    EXPECT_EQ(Length(), 0);
}

TEST_F(MultiFileReaderTest, RefusedListsLeaveNoPinOrTheOldOne)
{
    EXPECT_EQ(source->Load(nullptr, nullptr), E_POINTER);
    EXPECT_EQ(Load(dir / std::string(260, 'n')), MakeHResult(0x800700CE));
    ASSERT_EQ(Load(dir / "Take.KVX"), S_OK);

    EXPECT_EQ(Load(dir / "missing.kvx"), E_INVALIDARG);
    WriteWholeText(dir / "empty.kvx", "");
    EXPECT_EQ(Load(dir / "empty.kvx"), E_INVALIDARG);
    EXPECT_EQ(PinCount(), 1) << "the table loaded before stays";

    WriteWholeText(dir / "lower.kvx", "lmmp\r\ntake.mpg;100\r\n");
    EXPECT_EQ(Load(dir / "lower.kvx"), E_INVALIDARG);
    EXPECT_EQ(PinCount(), 0);
}

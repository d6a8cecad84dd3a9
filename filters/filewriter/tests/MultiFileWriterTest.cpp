#include "MultiFileWriter.h"
#include "TestFiles.h"

#include "com/ComPtr.h"
#include "com/TaskMem.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;

// A writer made by its create function, used through its interfaces alone.
class MultiFileWriterTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        HRESULT hr = S_OK;
        CUnknown* pObject = CMultiFileWriter::CreateInstance(nullptr, &hr);
        ASSERT_EQ(hr, S_OK);
        ASSERT_EQ(pObject->NonDelegatingQueryInterface(IID_IBaseFilter,
                                                       reinterpret_cast<void**>(&filter)),
                  S_OK);
        ASSERT_EQ(filter->QueryInterface(IID_PPV_ARGS(&sink)), S_OK);
        ASSERT_EQ(filter->QueryInterface(IID_PPV_ARGS(&control)), S_OK);
        ComPtr<IPin> pin;
        ASSERT_EQ(filter->FindPin(L"Input", &pin), S_OK);
        ASSERT_EQ(pin->QueryInterface(IID_PPV_ARGS(&input)), S_OK);
    }

    HRESULT SetFileName(const std::string& path)
    {
        return sink->SetFileName(Utf8ToWide(path).c_str(), nullptr);
    }

    // Hands bytes to the input pin as one sample of a memory allocator's.
    HRESULT Receive(const std::vector<std::uint8_t>& bytes)
    {
        if (!allocator)
        {
            EXPECT_EQ(CreateMemoryAllocator(&allocator), S_OK);
            ALLOCATOR_PROPERTIES want{1, 4096, 1, 0}, actual{};
            EXPECT_EQ(allocator->SetProperties(&want, &actual), S_OK);
            EXPECT_EQ(allocator->Commit(), S_OK);
        }
        ComPtr<IMediaSample> sample;
        EXPECT_EQ(allocator->GetBuffer(&sample, nullptr, nullptr, 0), S_OK);
        BYTE* pbData = nullptr;
        sample->GetPointer(&pbData);
        std::memcpy(pbData, bytes.data(), bytes.size());
        sample->SetActualDataLength(static_cast<LONG>(bytes.size()));
        return input->Receive(sample.Get());
    }

    std::wstring CurrentFile()
    {
        LPOLESTR pszName = nullptr;
        EXPECT_EQ(sink->GetCurFile(&pszName, nullptr), S_OK);
        std::wstring name = pszName ? pszName : L"";
        CoTaskMemFree(pszName);
        return name;
    }

    CTempDirectory dir;
    ComPtr<IBaseFilter> filter;
    ComPtr<IFileSinkFilter> sink;
    ComPtr<IMultiFileWriterControl> control;
    ComPtr<IMemInputPin> input;
    ComPtr<IMemAllocator> allocator;
};

TEST_F(MultiFileWriterTest, AllInterfacesAreOneObject)
{
    ComPtr<IUnknown> fromFilter, fromSink, fromControl;
    ASSERT_EQ(filter->QueryInterface(IID_PPV_ARGS(&fromFilter)), S_OK);
    ASSERT_EQ(sink->QueryInterface(IID_PPV_ARGS(&fromSink)), S_OK);
    ASSERT_EQ(control->QueryInterface(IID_PPV_ARGS(&fromControl)), S_OK);
    EXPECT_EQ(fromFilter.Get(), fromSink.Get());
    EXPECT_EQ(fromFilter.Get(), fromControl.Get());

    ComPtr<IMediaSeeking> seeking;
    EXPECT_EQ(filter->QueryInterface(IID_PPV_ARGS(&seeking)), S_OK);
    CLSID clsid{};
    EXPECT_EQ(filter->GetClassID(&clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_LmrFileWriter);
    EXPECT_EQ(filter->QueryInterface(IID_IFileSinkFilter, nullptr), E_POINTER);

    ComPtr<IEnumPins> pins;
    ASSERT_EQ(filter->EnumPins(&pins), S_OK);
    IPin* pPins[2] = {};
    ULONG nPins = 0;
    pins->Next(2, pPins, &nPins);
    EXPECT_EQ(nPins, 1u);
    for (ULONG i = 0; i < nPins; ++i)
        pPins[i]->Release();
}

TEST_F(MultiFileWriterTest, SetFileNameRefusesBadNamesAndReportsBadDirectories)
{
    EXPECT_EQ(sink->SetFileName(nullptr, nullptr), E_POINTER);
    const std::wstring tooLong = L"/tmp/" + std::wstring(256, L'n');
    EXPECT_EQ(sink->SetFileName(tooLong.c_str(), nullptr), MakeHResult(0x800700CE));
    EXPECT_EQ(SetFileName(dir / "missing/take.mpg"), HResultFromErrno(ENOENT));
    EXPECT_TRUE(fs::is_empty(dir.Path()));
}

TEST_F(MultiFileWriterTest, GetCurFileGivesTheCurrentSegment)
{
    EXPECT_EQ(sink->GetCurFile(nullptr, nullptr), E_POINTER);
    EXPECT_EQ(CurrentFile(), L"");

    ASSERT_EQ(SetFileName(dir / "take.KVX"), S_OK);
    AM_MEDIA_TYPE mt{};
    mt.majortype = MEDIATYPE_Stream;
    LPOLESTR pszName = nullptr;
    ASSERT_EQ(sink->GetCurFile(&pszName, &mt), S_OK);
    EXPECT_EQ(std::wstring(pszName), Utf8ToWide(dir / "take.mpg"));
    EXPECT_EQ(mt.majortype, GUID_NULL);
    CoTaskMemFree(pszName);

    EXPECT_EQ(control->SetSegmentSizeKB(1), S_OK);
    ASSERT_EQ(filter->Pause(), S_OK);
    EXPECT_EQ(Receive(CountingBytes(600)), S_OK);
    EXPECT_EQ(Receive(CountingBytes(600)), S_OK);
    EXPECT_EQ(CurrentFile(), Utf8ToWide(dir / "take_1.mpg"));
    EXPECT_EQ(filter->Stop(), S_OK);
    EXPECT_EQ(ReadWholeText(dir / "take.kvx"), "LMMP\r\ntake.mpg;600\r\ntake_1.mpg;600\r\n");
}

TEST_F(MultiFileWriterTest, ReceiveReportsASegmentThatCannotBeWritten)
{
    fs::create_directory(dir / "sub");
    ASSERT_EQ(SetFileName(dir / "sub/take.mpg"), S_OK);
    fs::remove_all(dir / "sub");
    ASSERT_EQ(filter->Pause(), S_OK);
    EXPECT_EQ(Receive(CountingBytes(10)), HResultFromErrno(ENOENT));
    ASSERT_EQ(filter->Stop(), S_OK);
}

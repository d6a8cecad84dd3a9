#include "MultiFileWriter.h"
#include "TestFiles.h"

#include "com/ComPtr.h"
#include "com/TaskMem.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

// A writer made by its create function, used through its interfaces alone. Its samples
// are covered by the round trip through a graph.
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
    }

    HRESULT SetFileName(const std::string& path)
    {
        return sink->SetFileName(Utf8ToWide(path).c_str(), nullptr);
    }

    CTempDirectory dir;
    ComPtr<IBaseFilter> filter;
    ComPtr<IFileSinkFilter> sink;
    ComPtr<IMultiFileWriterControl> control;
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

    ComPtr<IPin> pin;
    EXPECT_EQ(filter->FindPin(L"Input", &pin), S_OK);
}

TEST_F(MultiFileWriterTest, SetFileNameRefusesBadNamesAndReportsBadDirectories)
{
    EXPECT_EQ(sink->SetFileName(nullptr, nullptr), E_POINTER);
    const std::wstring tooLong = L"/tmp/" + std::wstring(256, L'n');
    EXPECT_EQ(sink->SetFileName(tooLong.c_str(), nullptr), MakeHResult(0x800700CE));
    EXPECT_EQ(SetFileName(dir / "missing/take.mpg"), HResultFromErrno(ENOENT));
    EXPECT_TRUE(fs::is_empty(dir.Path()));
}

TEST_F(MultiFileWriterTest, GetCurFileGivesTheSegmentAKvxNameRecordsInto)
{
    LPOLESTR pszName = nullptr;
    EXPECT_EQ(sink->GetCurFile(nullptr, nullptr), E_POINTER);
    EXPECT_EQ(sink->GetCurFile(&pszName, nullptr), S_OK);
    EXPECT_EQ(pszName, nullptr);

    ASSERT_EQ(SetFileName(dir / "take.KVX"), S_OK);
    AM_MEDIA_TYPE mt{};
    mt.majortype = MEDIATYPE_Stream;
    ASSERT_EQ(sink->GetCurFile(&pszName, &mt), S_OK);
    EXPECT_EQ(std::wstring(pszName), Utf8ToWide(dir / "take.mpg"));
    EXPECT_EQ(mt.majortype, GUID_NULL);
    CoTaskMemFree(pszName);
    EXPECT_EQ(ReadWholeText(dir / "take.kvx"), "LMMP\r\n");
}

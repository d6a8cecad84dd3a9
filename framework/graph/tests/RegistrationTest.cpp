// Filter mapper and system device enumerator over a temporary registry.

#include "GraphFixture.h"

using namespace graphtest;

namespace
{

DEFINE_GUID(CLSID_FakeDevice, 0x5e0c7c21, 0x0b6d, 0x4a55, 0x9d, 0x8e, 0x3f, 0x11, 0x20, 0x6a, 0x77,
            0x01);
DEFINE_GUID(CLSID_OtherDevice, 0x5e0c7c21, 0x0b6d, 0x4a55, 0x9d, 0x8e, 0x3f, 0x11, 0x20, 0x6a, 0x77,
            0x02);
DEFINE_GUID(CLSID_EmptyCategory, 0x5e0c7c21, 0x0b6d, 0x4a55, 0x9d, 0x8e, 0x3f, 0x11, 0x20, 0x6a,
            0x77, 0x03);

/// Creates TestFilters for a CLSID registered in-process.
class TestFilterFactory final : public ComObject<IClassFactory>
{
public:
    HRESULT CreateInstance(IUnknown*, REFIID riid, void** ppv) override
    {
        return MakeComObject<TestFilter>("device", 0, 1)->QueryInterface(riid, ppv);
    }
    HRESULT LockServer(BOOL) override { return S_OK; }
};

class RegistrationTest : public GraphFixture
{
protected:
    void SetUp() override
    {
        GraphFixture::SetUp();
        ASSERT_EQ(CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_PPV_ARGS(&m_mapper)),
                  S_OK);
        ASSERT_EQ(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_PPV_ARGS(&m_devices)),
                  S_OK);
    }

    void TearDown() override
    {
        m_mapper.Reset();
        m_devices.Reset();
        GraphFixture::TearDown();
    }

    HRESULT RegisterDevice(REFCLSID clsid, const wchar_t* name)
    {
        return m_mapper->RegisterFilter(clsid, name, nullptr, &CLSID_VideoInputDeviceCategory,
                                        nullptr, &m_data);
    }

    std::vector<std::wstring> FriendlyNames(REFCLSID category)
    {
        std::vector<std::wstring> names;
        ComPtr<IEnumMoniker> monikers;
        if (m_devices->CreateClassEnumerator(category, &monikers, 0) != S_OK)
            return names;
        ComPtr<IMoniker> moniker;
        while (monikers->Next(1, &moniker, nullptr) == S_OK)
        {
            ComPtr<IPropertyBag> bag;
            EXPECT_EQ(moniker->BindToStorage(nullptr, nullptr, IID_PPV_ARGS(&bag)), S_OK);
            VARIANT name;
            VariantInit(&name);
            name.vt = VT_BSTR;
            EXPECT_EQ(bag->Read(L"FriendlyName", &name, nullptr), S_OK);
            names.emplace_back(name.bstrVal);
            VariantClear(&name);
        }
        return names;
    }

    const REGPINTYPES m_types[1] = {{&MEDIATYPE_Stream, &MEDIASUBTYPE_MPEG2_PROGRAM}};
    const REGFILTERPINS m_pins[1] = {{const_cast<LPWSTR>(L"Capture \"A\""), FALSE, TRUE, FALSE,
                                      FALSE, &CLSID_NULL, nullptr, 1, m_types}};
    REGFILTER2 m_data{1, MERIT_DO_NOT_USE, {{1, m_pins}}};
    ComPtr<IFilterMapper2> m_mapper;
    ComPtr<ICreateDevEnum> m_devices;
};

} // namespace

TEST_F(RegistrationTest, RegisteringTwiceLeavesOneEntry)
{
    ASSERT_EQ(RegisterDevice(CLSID_FakeDevice, L"Old Name"), S_OK);
    ASSERT_EQ(RegisterDevice(CLSID_FakeDevice, L"Orvastation"), S_OK);
    EXPECT_EQ(FriendlyNames(CLSID_VideoInputDeviceCategory),
              std::vector<std::wstring>{L"Orvastation"});

    std::wstring key = L"CLSID\\" + GuidToString(CLSID_VideoInputDeviceCategory) + L"\\Instance\\" +
                       GuidToString(CLSID_FakeDevice);
    std::wstring filterData;
    ASSERT_EQ(RegReadString(HKEY_CLASSES_ROOT, key.c_str(), L"FilterData", filterData),
              ERROR_SUCCESS);
    EXPECT_NE(filterData.find(L"merit=0x00200000"), std::wstring::npos);
    EXPECT_NE(filterData.find(L"pin \"Capture \\\"A\\\"\" output"), std::wstring::npos);
    EXPECT_NE(filterData.find(GuidToString(MEDIASUBTYPE_MPEG2_PROGRAM)), std::wstring::npos);
}

TEST_F(RegistrationTest, UnregisteringWhatIsNotThereSaysFileNotFound)
{
    ASSERT_EQ(RegisterDevice(CLSID_FakeDevice, L"Orvastation"), S_OK);
    EXPECT_EQ(
        m_mapper->UnregisterFilter(&CLSID_VideoInputDeviceCategory, nullptr, CLSID_FakeDevice),
        S_OK);
    EXPECT_EQ(
        m_mapper->UnregisterFilter(&CLSID_VideoInputDeviceCategory, nullptr, CLSID_FakeDevice),
        MakeHResult(0x80070002));
    REGFILTER2 badVersion{3, 0, {{0, nullptr}}};
    EXPECT_EQ(
        m_mapper->RegisterFilter(CLSID_FakeDevice, L"x", nullptr, nullptr, nullptr, &badVersion),
        E_INVALIDARG);
}

TEST_F(RegistrationTest, EnumeratorListsACategoryInOrderAndBindsItsFilters)
{
    EXPECT_EQ(FriendlyNames(CLSID_VideoInputDeviceCategory), std::vector<std::wstring>{});
    ComPtr<IEnumMoniker> none;
    EXPECT_EQ(m_devices->CreateClassEnumerator(CLSID_EmptyCategory, &none, 0), S_FALSE);
    EXPECT_EQ(none, nullptr);

    ASSERT_EQ(RegisterDevice(CLSID_OtherDevice, L"Quillbox"), S_OK);
    ASSERT_EQ(RegisterDevice(CLSID_FakeDevice, L"Orvastation"), S_OK);
    EXPECT_EQ(FriendlyNames(CLSID_VideoInputDeviceCategory),
              (std::vector<std::wstring>{L"Orvastation", L"Quillbox"})); // by instance name

    ComPtr<TestFilterFactory> factory = MakeComObject<TestFilterFactory>();
    DWORD cookie = 0;
    ASSERT_EQ(CoRegisterClassObject(CLSID_FakeDevice, factory.Get(), CLSCTX_INPROC_SERVER,
                                    REGCLS_MULTIPLEUSE, &cookie),
              S_OK);
    ComPtr<IEnumMoniker> monikers;
    ASSERT_EQ(m_devices->CreateClassEnumerator(CLSID_VideoInputDeviceCategory, &monikers, 0), S_OK);
    ComPtr<IMoniker> fake;
    ComPtr<IMoniker> other;
    ASSERT_EQ(monikers->Next(1, &fake, nullptr), S_OK);
    ASSERT_EQ(monikers->Next(1, &other, nullptr), S_OK);

    ComPtr<IBaseFilter> filter;
    EXPECT_EQ(fake->BindToObject(nullptr, nullptr, IID_PPV_ARGS(&filter)), S_OK);
    EXPECT_EQ(other->BindToObject(nullptr, nullptr, IID_PPV_ARGS(&filter)), REGDB_E_CLASSNOTREG);
    CoRevokeClassObject(cookie);

    ComPtr<IPropertyBag> bag;
    ASSERT_EQ(fake->BindToStorage(nullptr, nullptr, IID_PPV_ARGS(&bag)), S_OK);
    VARIANT value;
    VariantInit(&value);
    ASSERT_EQ(bag->Read(L"CLSID", &value, nullptr), S_OK);
    EXPECT_EQ(value.vt, VT_BSTR);
    EXPECT_EQ(GuidFromString(value.bstrVal), CLSID_FakeDevice);
    VariantClear(&value);
    EXPECT_EQ(bag->Read(L"Missing", &value, nullptr), E_INVALIDARG);
    value.vt = VT_I4;
    EXPECT_EQ(bag->Read(L"FriendlyName", &value, nullptr), DISP_E_TYPEMISMATCH);

    // Once unregistered, the moniker no longer binds.
    ASSERT_EQ(
        m_mapper->UnregisterFilter(&CLSID_VideoInputDeviceCategory, nullptr, CLSID_FakeDevice),
        S_OK);
    EXPECT_EQ(fake->BindToObject(nullptr, nullptr, IID_PPV_ARGS(&filter)), MK_E_NOOBJECT);
    EXPECT_EQ(fake->BindToStorage(nullptr, nullptr, IID_PPV_ARGS(&bag)), MK_E_NOSTORAGE);
}

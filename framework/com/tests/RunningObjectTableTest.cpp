#include "com/ComObject.h"
#include "com/Moniker.h"
#include "com/TaskMem.h"

#include <gtest/gtest.h>

namespace
{

class Thing final : public ComObject<IPersist>
{
public:
    HRESULT GetClassID(CLSID* id) override
    {
        *id = GUID_NULL;
        return S_OK;
    }
};

ComPtr<IMoniker> Item(const wchar_t* name)
{
    ComPtr<IMoniker> moniker;
    EXPECT_EQ(CreateItemMoniker(L"!", name, &moniker), S_OK);
    return moniker;
}

} // namespace

TEST(RunningObjectTable, RegisterLookUpAndRevoke)
{
    ComPtr<IRunningObjectTable> table;
    ASSERT_EQ(GetRunningObjectTable(0, &table), S_OK);
    ComPtr<Thing> thing = MakeComObject<Thing>();
    ComPtr<IMoniker> name = Item(L"FilterGraph 0000beef pid 00000042");

    LPOLESTR display = nullptr;
    ASSERT_EQ(name->GetDisplayName(nullptr, nullptr, &display), S_OK);
    EXPECT_STREQ(display, L"!FilterGraph 0000beef pid 00000042");
    CoTaskMemFree(display);

    DWORD cookie = 0;
    ASSERT_EQ(table->Register(0, thing.Get(), name.Get(), &cookie), S_OK);
    EXPECT_NE(cookie, 0u);

    // An equal name, spelled in another letter case, finds the same object.
    ComPtr<IMoniker> sameName = Item(L"FILTERGRAPH 0000BEEF PID 00000042");
    EXPECT_EQ(table->IsRunning(sameName.Get()), S_OK);
    ComPtr<IUnknown> found;
    ASSERT_EQ(table->GetObject(sameName.Get(), &found), S_OK);
    ComPtr<IPersist> persist;
    ASSERT_EQ(sameName->BindToObject(nullptr, nullptr, IID_PPV_ARGS(&persist)), S_OK);
    EXPECT_EQ(persist.Get(), static_cast<IPersist*>(thing.Get()));

    DWORD second = 0;
    EXPECT_EQ(table->Register(0, thing.Get(), sameName.Get(), &second),
              MK_S_MONIKERALREADYREGISTERED);
    EXPECT_EQ(table->Revoke(second), S_OK);

    ComPtr<IEnumMoniker> running;
    ASSERT_EQ(table->EnumRunning(&running), S_OK);
    ComPtr<IMoniker> first;
    EXPECT_EQ(running->Next(1, &first, nullptr), S_OK);

    EXPECT_EQ(table->Revoke(cookie), S_OK);
    EXPECT_EQ(table->Revoke(cookie), E_INVALIDARG);
    EXPECT_EQ(table->IsRunning(name.Get()), S_FALSE);
    EXPECT_EQ(table->GetObject(name.Get(), &found), MK_E_UNAVAILABLE);
    EXPECT_EQ(name->BindToObject(nullptr, nullptr, IID_PPV_ARGS(&persist)), MK_E_NOOBJECT);
}

TEST(RunningObjectTable, TableHoldsAReferenceUntilRevoked)
{
    ComPtr<IRunningObjectTable> table;
    ASSERT_EQ(GetRunningObjectTable(0, &table), S_OK);
    ComPtr<Thing> thing = MakeComObject<Thing>();
    DWORD cookie = 0;
    ASSERT_EQ(table->Register(0, thing.Get(), Item(L"held").Get(), &cookie), S_OK);
    EXPECT_EQ(thing->AddRef(), 3u);
    thing->Release();
    table->Revoke(cookie);
    EXPECT_EQ(thing->AddRef(), 2u);
    thing->Release();
}

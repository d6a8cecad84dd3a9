#pragma once
// The system device enumerator: the registered filters of a category, as monikers
// in the order of their instance names.

#include "com/ComObject.h"
#include "dshow/Registration.h"

namespace graph
{

class DeviceEnumerator final : public ComObject<ICreateDevEnum>
{
public:
    HRESULT CreateClassEnumerator(REFCLSID clsidDeviceClass, IEnumMoniker** ppEnumMoniker,
                                  DWORD dwFlags) override;
};

} // namespace graph

// Bind contexts carry nothing but access to the running object table.

#include "com/ComObject.h"
#include "com/Moniker.h"

namespace
{

class BindContext final : public ComObject<IBindCtx>
{
public:
    HRESULT GetRunningObjectTable(IRunningObjectTable** pprot) override
    {
        return ::GetRunningObjectTable(0, pprot);
    }
};

} // namespace

HRESULT CreateBindCtx(DWORD, IBindCtx** ppbc)
{
    if (!ppbc)
        return E_POINTER;
    *ppbc = new BindContext;
    return S_OK;
}

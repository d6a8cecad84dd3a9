#pragma once
// IEnumMoniker over a fixed list of monikers.

#include "com/ComObject.h"
#include "com/Moniker.h"

#include <vector>

namespace com
{

class MonikerEnumerator final : public ComObject<IEnumMoniker>
{
public:
    explicit MonikerEnumerator(std::vector<ComPtr<IMoniker>> monikers, std::size_t position = 0);

    HRESULT Next(ULONG celt, IMoniker** rgelt, ULONG* pceltFetched) override;
    HRESULT Skip(ULONG celt) override;
    HRESULT Reset() override;
    HRESULT Clone(IEnumMoniker** ppenum) override;

private:
    std::vector<ComPtr<IMoniker>> m_monikers;
    std::size_t m_position;
};

} // namespace com

#pragma once
// Helpers shared by the runtime's monikers, which are all compared by display
// name without regard to letter case.

#include "com/Moniker.h"

#include <string>
#include <string_view>

namespace com
{

/// Copies text into task memory for an out parameter.
HRESULT CopyToTaskMemString(std::wstring_view text, LPOLESTR* out);
/// S_OK when other's display name equals displayName ignoring case, else S_FALSE.
HRESULT CompareDisplayName(IMoniker* other, const std::wstring& displayName);
DWORD HashDisplayName(const std::wstring& displayName);

} // namespace com

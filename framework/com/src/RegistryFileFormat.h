#pragma once
// Text form of the registry file, in the spirit of .reg files (UTF-8):
//
//   ; Marvek registry, format 1
//
//   [HKEY_CLASSES_ROOT\CLSID\{E436EBB3-524F-11CE-9F53-0020AF0BA770}]
//   @="Filter Graph"
//   "ThreadingModel"="Both"
//   "Merit"=dword:00200000
//   "Blob"=hex:01,ff
//   "Other"=hex(7):41,00
//
// Strings escape \\, \", \n, \r, \t and other control characters as \xHH. Lines
// starting with ';' or '#' and blank lines are ignored.

#include "RegistryTree.h"

#include <optional>
#include <string>
#include <string_view>

namespace registry
{

std::string SerializeTree(const Tree& tree);
/// nullopt when any line is malformed.
std::optional<Tree> ParseTree(std::string_view text);

/// Key names must not hold control characters (they could not be written).
bool IsWritableKeyName(std::wstring_view name);

} // namespace registry

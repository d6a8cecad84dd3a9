#pragma once

// Where a program of this system finds the command that registers the filter modules:
// the marvek-register script installed beside it, or, in a build tree, the one at the
// tree's top, a folder above the program.

#include <filesystem>

// The script for the running program; empty if there is none.
std::filesystem::path FindRegistrationScript();

#pragma once
// The process's registry: the file changes are written to, the system-wide file it
// falls back to, and the view that reads see.
//
// The own file is $MARVEK_REGISTRY when set, else $XDG_CONFIG_HOME/marvek/registry.txt,
// else $HOME/.config/marvek/registry.txt. The system file is $MARVEK_SYSTEM_REGISTRY
// when set (empty: none), else the build's MARVEK_SYSTEM_REGISTRY_FILE
// (/etc/marvek/registry.txt by default). Both paths are looked up at every call, so
// pointing the variables elsewhere switches registries.
//
// Reads see the system file's keys and values with the own file's laid over them, as
// HKEY_CLASSES_ROOT merges the machine's classes with the user's. They take no lock:
// a file is reread whenever it changed on disk (so a registration done by another
// process is seen) and is only ever replaced whole. Changes go to the own file alone,
// under its cross-process lock: it is read again, changed and written back
// atomically before the lock is released, so concurrent writers never lose each
// other's changes.

#include "RegistryFile.h"
#include "RegistryTree.h"

#include <functional>
#include <mutex>
#include <string>

namespace registry
{

class RegistryStore
{
public:
    static RegistryStore& Instance();

    /// Runs action on the merged view under the lock; returns its result, or the
    /// Win32 error that kept a file from being read.
    LONG Read(const std::function<LONG(Tree& view)>& action);

    /// Runs action on the own file's tree, freshly read under the cross-process
    /// lock; when it succeeds and sets `changed`, writes the file. `fallback` holds
    /// what the system file adds to the view (empty when there is none). A failed
    /// write drops the change and returns the error.
    LONG Modify(const std::function<LONG(Tree& own, Tree& fallback, bool& changed)>& action);

    /// The own file the next call will use; empty when no location can be found.
    static std::string OwnPath();
    /// The system file the next call will fall back to; empty for none.
    static std::string SystemPath();

private:
    /// Reads each file again when it changed on disk (the own file always with
    /// forceOwn).
    LONG RefreshFiles(const std::string& ownPath, bool forceOwn);
    Tree& View();

    std::mutex m_mutex;
    RegistryFile m_own;
    RegistryFile m_system;
    /// The system tree with the own tree laid over it, when the system file has
    /// anything; valid while m_viewCurrent.
    Tree m_view;
    bool m_viewCurrent = false;
};

} // namespace registry

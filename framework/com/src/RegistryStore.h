#pragma once
// The process's registry: the tree, the file it persists to, and the lock.
//
// The file is $MARVEK_REGISTRY when set, else $XDG_CONFIG_HOME/marvek/registry.txt,
// else $HOME/.config/marvek/registry.txt. The path is looked up at every call, so
// pointing MARVEK_REGISTRY elsewhere switches registries. The tree is reloaded
// whenever the file changed on disk since this process last read or wrote it (so
// a registration done by another process is seen), and every change is written
// back at once, atomically: a temporary file in the same folder, then rename.

#include "RegistryTree.h"

#include <functional>
#include <mutex>
#include <string>
#include <sys/types.h>

namespace registry
{

class RegistryStore
{
public:
    static RegistryStore& Instance();

    /// Runs action on the current tree under the lock; returns its result, or the
    /// Win32 error that kept the tree from being loaded.
    LONG Read(const std::function<LONG(Tree&)>& action);

    /// As Read; when the action succeeds and sets `changed`, writes the file. A
    /// failed write drops the change (the tree is read again) and returns the error.
    LONG Modify(const std::function<LONG(Tree&, bool& changed)>& action);

    /// The file the next call will use; empty when no location can be found.
    static std::string ResolvePath();

private:
    struct FileIdentity
    {
        bool exists = false;
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        long long modifiedNs = 0;
        bool operator==(const FileIdentity&) const = default;
    };

    static FileIdentity IdentityOf(const std::string& path);
    LONG Refresh();
    LONG Load(const std::string& path);
    LONG Save();

    std::mutex m_mutex;
    Tree m_tree;
    bool m_loaded = false;
    std::string m_path;
    FileIdentity m_identity;
};

} // namespace registry

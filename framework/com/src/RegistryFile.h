#pragma once
// One registry file on disk and the tree it held when last read.
//
// The file last read (or written) is kept open. That pins its inode, so no other
// file can be given the same one: a different inode, size or modification time at
// the path then always means the file was replaced or edited, and IsCurrent() can
// tell without reading it. Writes replace the file whole and atomically: a
// temporary file beside it, flushed to disk, then renamed over it.

#include "RegistryTree.h"

#include <string>
#include <sys/types.h>

namespace registry
{

class RegistryFile
{
public:
    RegistryFile() = default;
    ~RegistryFile();
    RegistryFile(const RegistryFile&) = delete;
    RegistryFile& operator=(const RegistryFile&) = delete;

    /// Reads the file at path; a missing file gives an empty tree. ERROR_BADDB when
    /// the text is malformed; on any error the file counts as not loaded.
    LONG Load(const std::string& path);
    /// Whether Load(path) would read what is already loaded.
    bool IsCurrent(const std::string& path) const;
    bool IsLoaded() const { return m_loaded; }
    const std::string& Path() const { return m_path; }

    Tree& Contents() { return m_tree; }

    /// Writes Contents() to the file. When that fails the file is left as it was
    /// and read again, dropping the change.
    LONG Save();

private:
    struct Identity
    {
        bool exists = false;
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        long long modifiedNs = 0;
        bool operator==(const Identity&) const = default;
    };

    static Identity IdentityOf(const std::string& path);
    static Identity IdentityOf(int fd);
    /// Keeps fd as the open file, and its identity.
    void Pin(int fd);

    Tree m_tree;
    std::string m_path;
    bool m_loaded = false;
    int m_fd = -1;
    Identity m_identity;
};

} // namespace registry

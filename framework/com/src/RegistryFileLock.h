#pragma once
// The advisory lock that serialises changes to one registry file across processes:
// an exclusive flock on the companion file "<registry>.lock", held from reading the
// file to renaming its new version over it. Readers take no lock, since the file is
// only ever replaced whole. The kernel drops the lock when its holder exits or is
// killed, so a writer that dies half way never leaves it stuck.

#include "com/Types.h"

#include <string>

namespace registry
{

class RegistryFileLock
{
public:
    /// Waits for the lock (creating the registry's folder and the lock file when
    /// missing); Result() tells whether it is held.
    explicit RegistryFileLock(const std::string& registryPath);
    ~RegistryFileLock();

    RegistryFileLock(const RegistryFileLock&) = delete;
    RegistryFileLock& operator=(const RegistryFileLock&) = delete;

    /// ERROR_SUCCESS while held; ERROR_TIMEOUT when another writer kept it for
    /// longer than any change takes; else the error that kept the file from opening.
    LONG Result() const { return m_result; }

private:
    LONG Acquire(const std::string& registryPath);

    int m_fd = -1;
    LONG m_result;
};

} // namespace registry

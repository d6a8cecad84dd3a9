#include "RegistryStore.h"

#include "RegistryFileLock.h"
#include "com/HResult.h"

#include <cstdlib>

namespace registry
{

namespace
{

std::string EnvironmentValue(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

/// The system file for an own file: none when both are the same file, as when the
/// system file itself is being written.
std::string SystemPathFor(const std::string& ownPath)
{
    std::string system = RegistryStore::SystemPath();
    return system == ownPath ? std::string() : system;
}

/// Reads file again when it changed; an empty path reads as an empty tree.
LONG Refresh(RegistryFile& file, const std::string& path, bool& reloaded)
{
    if (file.IsCurrent(path))
        return ERROR_SUCCESS;
    reloaded = true;
    return file.Load(path);
}

} // namespace

RegistryStore& RegistryStore::Instance()
{
    static RegistryStore store;
    return store;
}

std::string RegistryStore::OwnPath()
{
    if (std::string path = EnvironmentValue("MARVEK_REGISTRY"); !path.empty())
        return path;
    if (std::string config = EnvironmentValue("XDG_CONFIG_HOME");
        !config.empty() && config.front() == '/')
        return config + "/marvek/registry.txt";
    if (std::string home = EnvironmentValue("HOME"); !home.empty())
        return home + "/.config/marvek/registry.txt";
    return {};
}

std::string RegistryStore::SystemPath()
{
    const char* path = std::getenv("MARVEK_SYSTEM_REGISTRY");
    return path ? path : MARVEK_SYSTEM_REGISTRY_FILE;
}

LONG RegistryStore::RefreshFiles(const std::string& ownPath, bool forceOwn)
{
    bool reloaded = forceOwn;
    LONG error = forceOwn ? m_own.Load(ownPath) : Refresh(m_own, ownPath, reloaded);
    if (error == ERROR_SUCCESS)
        error = Refresh(m_system, SystemPathFor(ownPath), reloaded);
    if (reloaded)
        m_viewCurrent = false;
    return error;
}

Tree& RegistryStore::View()
{
    if (m_system.Contents().Empty())
        return m_own.Contents();
    if (!m_viewCurrent)
    {
        m_view = Tree();
        m_view.Overlay(m_system.Contents());
        m_view.Overlay(m_own.Contents());
        m_viewCurrent = true;
    }
    return m_view;
}

LONG RegistryStore::Read(const std::function<LONG(Tree& view)>& action)
{
    std::lock_guard lock(m_mutex);
    std::string ownPath = OwnPath();
    if (ownPath.empty())
        return ERROR_PATH_NOT_FOUND;
    if (LONG error = RefreshFiles(ownPath, false); error != ERROR_SUCCESS)
        return error;
    return action(View());
}

LONG RegistryStore::Modify(
    const std::function<LONG(Tree& own, Tree& fallback, bool& changed)>& action)
{
    std::string ownPath = OwnPath();
    if (ownPath.empty())
        return ERROR_PATH_NOT_FOUND;
    // The file lock first: threads of this process queue for it like other processes,
    // and readers never wait for a writer that waits for another process.
    RegistryFileLock fileLock(ownPath);
    if (fileLock.Result() != ERROR_SUCCESS)
        return fileLock.Result();
    std::lock_guard lock(m_mutex);
    // Another process may have written since; the change starts from its file.
    if (LONG error = RefreshFiles(ownPath, true); error != ERROR_SUCCESS)
        return error;
    bool changed = false;
    LONG result = action(m_own.Contents(), m_system.Contents(), changed);
    if (!changed)
        return result;
    m_viewCurrent = false;
    if (result != ERROR_SUCCESS)
    {
        m_own.Load(ownPath); // drop the half-made change
        return result;
    }
    return m_own.Save();
}

} // namespace registry

#include "RegistrationScript.h"

std::filesystem::path FindRegistrationScript()
{
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return {};
    for (std::filesystem::path folder = program.parent_path(); folder != folder.root_path();
         folder = folder.parent_path())
    {
        std::filesystem::path script = folder / "marvek-register";
        if (std::filesystem::is_regular_file(script, error))
            return script;
    }
    return {};
}

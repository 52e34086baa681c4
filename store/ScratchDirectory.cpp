#include "store/ScratchDirectory.h"

#include <cstdlib>
#include <pwd.h>
#include <system_error>
#include <unistd.h>

namespace bingo::store {

std::filesystem::path homeDirectory() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0')
        return home;
    if (const passwd* user = getpwuid(getuid()); user != nullptr && user->pw_dir != nullptr)
        return user->pw_dir;
    return "/";
}

std::filesystem::path scratchDirectory() {
    if (const char* temp = std::getenv("TEMP"); temp != nullptr && *temp != '\0')
        return temp;
    // A relative XDG_CACHE_HOME is invalid by the XDG rules and is ignored.
    const char* xdgCache = std::getenv("XDG_CACHE_HOME");
    const std::filesystem::path cache = xdgCache != nullptr && *xdgCache == '/'
                                            ? std::filesystem::path(xdgCache)
                                            : homeDirectory() / ".cache";
    const std::filesystem::path directory = cache / "bingo";
    std::error_code ignored;
    std::filesystem::create_directories(directory, ignored);
    return directory;
}

} // namespace bingo::store

#include "temporary_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>

namespace nimbel {

namespace {

constexpr std::string_view kSuffix = ".saving";

}  // namespace

std::string temporaryFileName(const std::string& target, const ProcessIdentity& writer, int attempt)
{
    std::string name = target + "." + identityText(writer) + std::string(kSuffix);
    if (attempt > 0) name += std::to_string(attempt);
    return name;
}

std::optional<ProcessIdentity> writerOfTemporaryFile(std::string_view name)
{
    const std::size_t suffix = name.rfind(kSuffix);
    if (suffix == std::string_view::npos || suffix == 0) return std::nullopt;
    const std::string_view attempt = name.substr(suffix + kSuffix.size());
    if (attempt.find_first_not_of("0123456789") != std::string_view::npos) return std::nullopt;
    const std::size_t dot = name.rfind('.', suffix - 1);
    if (dot == std::string_view::npos) return std::nullopt;
    return parseIdentityText(name.substr(dot + 1, suffix - dot - 1));
}

void removeLeftoverTemporaryFiles(const std::string& folder)
{
    const std::unique_ptr<DIR, int (*)(DIR*)> entries(::opendir(folder.c_str()), ::closedir);
    if (!entries) return;
    const int folderFd = ::dirfd(entries.get());
    while (const dirent* entry = ::readdir(entries.get())) {
        const auto writer = writerOfTemporaryFile(entry->d_name);
        if (!writer || stillRuns(*writer)) continue;
        struct stat info {};
        if (::fstatat(folderFd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode))
            ::unlinkat(folderFd, entry->d_name, 0);
    }
}

}  // namespace nimbel

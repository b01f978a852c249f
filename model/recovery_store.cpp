#include "recovery_store.h"

#include "file_replacement.h"
#include "temporary_files.h"
#include "text_file.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <system_error>

namespace nimbel {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kPrefix = "recovery-";
constexpr std::string_view kExtension = ".nmd";
constexpr std::size_t kDiscardedKept = 10;

std::string recoveryFileName(const ProcessIdentity& copy)
{
    return std::string(kPrefix) + identityText(copy) + std::string(kExtension);
}

// The copy that wrote a recovery file, from its name; nullopt for other names.
std::optional<ProcessIdentity> writerOf(std::string_view name)
{
    if (!name.starts_with(kPrefix) || !name.ends_with(kExtension)) return std::nullopt;
    return parseIdentityText(name.substr(kPrefix.size(), name.size() - kPrefix.size() - kExtension.size()));
}

struct FolderFile {
    std::string name;
    fs::file_time_type modified;
};

// The regular files of a folder (none when it is missing).
std::vector<FolderFile> regularFilesIn(const std::string& folder)
{
    std::vector<FolderFile> files;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::error_code unreadable;
        if (it->symlink_status(unreadable).type() != fs::file_type::regular) continue;
        files.push_back({it->path().filename().string(), it->last_write_time(unreadable)});
    }
    return files;
}

// Moves `file` into `subfolder`, made when missing, under a name no file
// there has: nothing set aside earlier is replaced. Where the file is now.
std::string moveInto(const std::string& file, const std::string& subfolder)
{
    std::error_code error;
    fs::create_directories(subfolder, error);
    const fs::path name = fs::path(file).filename();
    for (int n = 0; n < 1000; ++n) {
        const fs::path to =
            fs::path(subfolder) /
            (n == 0 ? name.string() : name.stem().string() + "." + std::to_string(n) + name.extension().string());
        if (fs::exists(fs::symlink_status(to, error))) continue;
        fs::rename(file, to, error);
        return error ? file : to.string();
    }
    return file;
}

}  // namespace

RecoveryStore::RecoveryStore(std::string folder, ProcessIdentity self)
    : folder_(std::move(folder)), ownFile_(folder_ + recoveryFileName(self))
{}

bool RecoveryStore::write(std::string_view songText, const RecoveryFacts& facts) const
{
    std::error_code ignored;  // a folder that cannot be made fails the write itself
    fs::create_directories(folder_, ignored);
    return replaceFileContents(ownFile_, recoveryFileText(facts, songText));
}

void RecoveryStore::removeOwnFile() const { std::remove(ownFile_.c_str()); }

RecoveryLeftovers RecoveryStore::leftovers() const
{
    // A copy killed between naming its complete temporary file and the
    // rename (a millisecond, while the rename frees the replaced file) left it.
    removeLeftoverTemporaryFiles(folder_);
    RecoveryLeftovers found;
    for (const FolderFile& file : regularFilesIn(folder_)) {
        const auto writer = writerOf(file.name);
        if (!writer || stillRuns(*writer)) continue;  // this copy's own file too
        const std::string path = folder_ + file.name;
        std::string text;
        auto contents = readTextFile(path, text) ? parseRecoveryFileText(text) : std::nullopt;
        if (contents) found.songs.push_back({path, std::move(contents->facts), std::move(contents->songText)});
        else found.setAside.push_back(moveInto(path, folder_ + "unreadable/"));
    }
    std::sort(found.songs.begin(), found.songs.end(), [](const RecoveredSong& a, const RecoveredSong& b) {
        return a.facts.time != b.facts.time ? a.facts.time > b.facts.time : a.file < b.file;
    });
    return found;
}

bool RecoveryStore::restore(const RecoveredSong& song) const
{
    return std::rename(song.file.c_str(), ownFile_.c_str()) == 0;
}

bool RecoveryStore::discard(const RecoveredSong& song) const
{
    const std::string discarded = folder_ + "discarded/";
    if (moveInto(song.file, discarded) == song.file) return false;
    std::vector<FolderFile> kept = regularFilesIn(discarded);
    if (kept.size() <= kDiscardedKept) return true;
    std::sort(kept.begin(), kept.end(), [](const FolderFile& a, const FolderFile& b) {
        return a.modified != b.modified ? a.modified > b.modified : a.name > b.name;
    });
    for (std::size_t i = kDiscardedKept; i < kept.size(); ++i) std::remove((discarded + kept[i].name).c_str());
    return true;
}

}  // namespace nimbel

// Files for tests: a fresh temporary folder removed with its contents, a
// file's whole contents, the golden files of tests/data/, and text lines.
#pragma once

#include <QTemporaryDir>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace nimbel::testing_support {

std::string fileText(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, std::string_view text);
// The names of the files in a folder, sorted.
std::vector<std::string> fileNames(const std::filesystem::path& folder);

// The path of tests/data/<name>, and its contents.
std::string dataPath(const std::string& name);
std::string dataFile(const std::string& name);

// A golden project file (written on 2001/02/03) as it is written on `date`.
std::string withDate(std::string file, std::string_view date);

// The lines of a text, without their line ends (LF or CR LF).
std::vector<std::string> lines(const std::string& text);

// A new, private folder under the system's temporary folder, removed with
// everything in it when the test ends.
class ScratchFolder {
    QTemporaryDir folder_;  // its owner's alone

public:
    explicit ScratchFolder(const std::string& name = "nimbel-test");

    // The folder as the program names its own: with a closing separator.
    std::string directory() const { return path.string() + "/"; }
    std::string file(const std::string& name) const { return (path / name).string(); }

    const std::filesystem::path path;
};

}  // namespace nimbel::testing_support

#include "files.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace nimbel::testing_support {

namespace fs = std::filesystem;

std::string fileText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeFile(const fs::path& path, std::string_view text)
{
    std::ofstream(path, std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));
}

std::vector<std::string> fileNames(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string dataPath(const std::string& name) { return std::string(NIMBEL_SOURCE_DIR) + "/tests/data/" + name; }

std::string dataFile(const std::string& name) { return fileText(dataPath(name)); }

std::string withDate(std::string file, std::string_view date)
{
    const std::size_t at = file.find("2001/02/03");
    if (at != std::string::npos) file.replace(at, date.size(), date);
    return file;
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        out.push_back(line);
    }
    return out;
}

ScratchFolder::ScratchFolder(const std::string& name)
    : folder_(QString::fromStdString((fs::temp_directory_path() / (name + "-XXXXXX")).string())),
      path(folder_.path().toStdString())
{
    if (!folder_.isValid()) throw std::runtime_error("cannot make a temporary folder");
}

}  // namespace nimbel::testing_support

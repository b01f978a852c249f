// Running the built nimbel-export as a user would, from a private folder
// that each test gets afresh, and reading what it printed.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace nimbel::testing {

// The argument as one word for the shell.
inline std::string quoted(const std::string& argument)
{
    std::string word = "'";
    for (const char c : argument) word += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return word + "'";
}

inline std::string fileText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

inline std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        out.push_back(line);
    }
    return out;
}

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs a shell command, keeping its standard output.
inline ToolRun shell(const std::string& command)
{
    ToolRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    std::array<char, 4096> buffer{};
    while (const std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe)) run.out.append(buffer.data(), n);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

inline bool onPath(const std::string& program)
{
    return shell("command -v " + quoted(program) + " >/dev/null 2>&1").status == 0;
}

inline std::string dataPath(const std::string& name) { return std::string(NIMBEL_SOURCE_DIR) + "/tests/data/" + name; }

class ExportToolTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "nimbel-export-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    ToolRun run(const std::vector<std::string>& arguments) const
    {
        std::string command = quoted(NIMBEL_EXPORT_PROGRAM);
        for (const std::string& argument : arguments) command += " " + quoted(argument);
        ToolRun result = shell(command + " 2>" + quoted(path("err")));
        result.err = fileText(path("err"));
        return result;
    }

    std::string path(const std::string& name) const { return (folder / name).string(); }

    std::filesystem::path folder;
};

}  // namespace nimbel::testing

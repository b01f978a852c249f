// Replays saved inputs through a fuzz target without libFuzzer, so that every
// build (with or without sanitizers) checks every seed in seconds: each file
// named on the command line, and each file of a folder named there, goes to
// LLVMFuzzerTestOneInput once, in name order, in a buffer of exactly its
// size. A target that finds a fault aborts; the input's name is printed first.
#include "text_file.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv)
{
    namespace fs = std::filesystem;
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        if (!fs::is_directory(argv[i])) {
            inputs.emplace_back(argv[i]);
            continue;
        }
        for (const fs::directory_entry& entry : fs::directory_iterator(argv[i]))
            if (entry.is_regular_file()) inputs.push_back(entry.path());
    }
    std::sort(inputs.begin(), inputs.end());
    for (const fs::path& input : inputs) {
        std::string contents;
        if (!nimbel::readTextFile(input.string(), contents)) {
            std::fprintf(stderr, "cannot read %s\n", input.c_str());
            return 1;
        }
        std::fprintf(stderr, "%s\n", input.c_str());  // unbuffered: shown before a fault aborts
        const std::vector<std::uint8_t> bytes(contents.begin(), contents.end());
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
    std::printf("%zu inputs replayed\n", inputs.size());
    return inputs.empty() ? 1 : 0;
}

// What the program's benchmarks share: an offscreen toolkit with a private
// runtime folder, a fresh program folder, and waiting for the next paint.
#pragma once

#include "desktop.h"
#include "gui_application.h"
#include "program_ids.h"

#include <cstdlib>
#include <filesystem>
#include <string>

namespace nimbel {

// A private runtime folder for the toolkit, removed when the program ends.
struct RuntimeFolder {
    RuntimeFolder()
    {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        path = (std::filesystem::temp_directory_path() / "nimbel-bench-XXXXXX").string();
        if (mkdtemp(path.data())) setenv("XDG_RUNTIME_DIR", path.c_str(), 1);
    }
    ~RuntimeFolder() { std::filesystem::remove_all(path); }
    std::string path;
};

inline std::string programFolder()
{
    std::string made = (std::filesystem::temp_directory_path() / "nimbel-bench-program-XXXXXX").string();
    if (!mkdtemp(made.data())) return "/tmp/";
    return made + "/";
}

// Lets the toolkit work until the window has been drawn `count` times.
inline void waitForPaints(Desktop& desktop, int count)
{
    for (int i = 0; i < 1000 && desktop.paintCount(kMainWindow) < count; ++i) desktop.pollEvent();
}

// The editing benchmarks of bench/app_editing.cpp.
void registerEditingBenchmarks(GuiApplication& application);
// The Channel Window's of bench/app_channel_window.cpp.
void registerChannelWindowBenchmarks(GuiApplication& application);

}  // namespace nimbel

// What the program's benchmarks share: an offscreen toolkit with a private
// runtime folder, and waiting for a window's next paint. The program itself
// is the tests' fixture (tests/support/test_program.h).
#pragma once

#include "support/test_program.h"

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

// Lets the toolkit work until `window` has been drawn `count` times.
inline void waitForPaints(testing_support::TestProgram& p, int count, int window = kMainWindow)
{
    for (int i = 0; i < 1000 && p.driver.paintCount(window) < count; ++i) p.desktop.pollEvent();
}

// The editing benchmarks of bench/app_editing.cpp.
void registerEditingBenchmarks(GuiApplication& application);
// The Channel Window's of bench/app_channel_window.cpp.
void registerChannelWindowBenchmarks(GuiApplication& application);
// Composing from the keyboard, bench/app_keyboard.cpp.
void registerKeyboardBenchmarks(GuiApplication& application);
// The real program's start-up, bench/app_real_start.cpp.
void registerRealStartBenchmarks();

}  // namespace nimbel

// A whole program in a fresh temporary program folder, drawn offscreen, with
// a recording MIDI output, simulated time and a dialog script.
#pragma once

#include "../support/offscreen_application.h"

#include "desktop.h"
#include "main_loop.h"
#include "program.h"
#include "recording_midi.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace nimbel::testing_support {

inline std::string fileText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class ProgramTest : public ::testing::Test {
protected:
    ProgramTest() { desktop.setDialogScript(&script); }
    ~ProgramTest() override { std::filesystem::remove_all(folder); }

    static std::filesystem::path freshFolder()
    {
        const auto made = std::filesystem::temp_directory_path() / ("nimbel-program-" + std::to_string(::getpid()));
        std::filesystem::remove_all(made);
        std::filesystem::create_directories(made);
        return made;
    }

    // Runs passes until the loop would leave or `passes` have run.
    Pass run(int passes)
    {
        for (int i = 0; i < passes; ++i) {
            if (runPass(program) == Pass::leave) return Pass::leave;
        }
        return Pass::goOn;
    }

    std::filesystem::path folder = freshFolder();
    QueuedDialogScript script;
    Desktop desktop{OffscreenApplication::application()};
    SimulatedClock clock;
    MessageLog sent;
    RecordingMidiDevices devices{clock, sent};
    Program program{desktop, devices, clock, folder.string() + "/"};
};

}  // namespace nimbel::testing_support

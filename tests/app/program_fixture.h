// A whole program in a fresh temporary program folder, drawn offscreen, with
// a recording MIDI output, simulated time and a dialog script.
#pragma once

#include "support/files.h"
#include "support/offscreen_application.h"

#include "desktop.h"
#include "main_loop.h"
#include "program.h"
#include "program_ids.h"
#include "recording_midi.h"

#include <gtest/gtest.h>

namespace nimbel::testing_support {

struct TestProgram {
    TestProgram() { desktop.setDialogScript(&script); }

    // Runs passes until the loop would leave or `passes` have run.
    Pass run(int passes)
    {
        for (int i = 0; i < passes; ++i)
            if (runPass(program) == Pass::leave) return Pass::leave;
        return Pass::goOn;
    }

    ScratchFolder scratch{"nimbel-program"};
    const std::filesystem::path& folder = scratch.path;
    QueuedDialogScript script;
    Desktop desktop{OffscreenApplication::application()};
    SimulatedClock clock;
    MessageLog sent;
    RecordingMidiDevices devices{clock, sent};
    Program program{desktop, devices, clock, {scratch.directory(), scratch.directory()}};
};

class ProgramTest : public ::testing::Test, public TestProgram {};

}  // namespace nimbel::testing_support

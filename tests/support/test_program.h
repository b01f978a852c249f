// A whole program in a fresh temporary program folder and recovery folder,
// with a recording MIDI output, simulated time, a dialog script answering
// its message boxes and requesters, and a driver acting as its user. Tests and benchmarks build
// the program this way; the toolkit application is theirs.
#pragma once

#include "desktop_driver.h"
#include "dialog_script.h"
#include "files.h"

#include "desktop.h"
#include "gadgets.h"
#include "main_loop.h"
#include "program.h"
#include "recording_midi.h"

namespace nimbel::testing_support {

struct TestProgram {
    explicit TestProgram(GuiApplication& application) : desktop(application) {}

    // Runs passes until the loop would leave or `passes` have run.
    Pass run(int passes)
    {
        for (int i = 0; i < passes; ++i)
            if (runPass(program) == Pass::leave) return Pass::leave;
        return Pass::goOn;
    }

    ScratchFolder scratch{"nimbel-program"};
    const std::filesystem::path& folder = scratch.path;
    ScratchFolder recoveryFolder{"nimbel-recovery"};
    Desktop desktop;
    Gadgets gadgets{desktop};
    DesktopDriver driver{desktop};
    QueuedDialogScript script{desktop};
    SimulatedClock clock;
    MessageLog sent;
    RecordingMidiDevices devices{clock, sent};
    Program program{desktop, devices, clock, {scratch.directory(), scratch.directory(), recoveryFolder.directory()}};
};

}  // namespace nimbel::testing_support

// The program's entry: no arguments are read. Without a display it says so
// in one sentence instead of a toolkit error.
#include "clock.h"
#include "desktop.h"
#include "gui_application.h"
#include "program.h"
#include "system_midi_devices.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (const std::string problem = nimbel::displayProblem(); !problem.empty()) {
        std::fprintf(stderr, "%s\n", problem.c_str());
        return 1;
    }
    nimbel::GuiApplication application(argc, argv);
    nimbel::Desktop desktop(application);
    nimbel::SystemMidiDevices devices;
    nimbel::SteadyClock clock;
    return nimbel::runProgram(desktop, devices, clock, desktop.programDirectory());
}

// The program's entry: the command line is read first, so --help,
// --version and mistakes are answered without a display. Without a display
// the program says so in one sentence instead of a toolkit error.
#include "clock.h"
#include "command_line.h"
#include "desktop.h"
#include "gui_application.h"
#include "program.h"
#include "program_folders.h"
#include "system_midi_devices.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace {

// A full path, as the file requester gives, so that the title and later
// saves do not depend on the working folder.
std::string fullPath(const std::string& file)
{
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(file, error);
    return error ? file : full.string();
}

}  // namespace

int main(int argc, char** argv)
{
    using nimbel::ProgramCommandLine;
    const ProgramCommandLine line = nimbel::parseProgramArguments(std::vector<std::string>(argv + 1, argv + argc));
    switch (line.action) {
    case ProgramCommandLine::Action::help: std::fputs(nimbel::programUsage().c_str(), stdout); return 0;
    case ProgramCommandLine::Action::version: std::fputs(nimbel::programVersionLine().c_str(), stdout); return 0;
    case ProgramCommandLine::Action::bad:
        std::fprintf(stderr, "nimbel-midi: %s\n%s", line.problem.c_str(), nimbel::programUsage().c_str());
        return 2;
    case ProgramCommandLine::Action::run: break;
    }
    if (const std::string problem = nimbel::displayProblem(); !problem.empty()) {
        std::fprintf(stderr, "%s\n", problem.c_str());
        return 1;
    }
    // The toolkit sees only the program name: the arguments are the program's own.
    int toolkitArgc = 1;
    nimbel::GuiApplication application(toolkitArgc, argv);
    nimbel::Desktop desktop(application);
    nimbel::SystemMidiDevices devices;
    nimbel::SteadyClock clock;
    return nimbel::runProgram(desktop, devices, clock, nimbel::programFolders(nimbel::programDirectory()),
                              line.file.empty() ? std::string() : fullPath(line.file));
}

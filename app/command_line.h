// The command line of nimbel-midi: at most one song file, opened after
// start-up as File Open would open it, or a request for the usage or the
// version. Read before anything of the toolkit starts, so that these
// answers need no display.
#pragma once

#include <string>
#include <vector>

namespace nimbel {

struct ProgramCommandLine {
    enum class Action { run, help, version, bad };
    Action action = Action::run;
    std::string file;     // "" when none was given
    std::string problem;  // what is wrong, for Action::bad
};

// Reads the arguments after the program name; "--" ends the options.
ProgramCommandLine parseProgramArguments(const std::vector<std::string>& arguments);

std::string programUsage();
// "nimbel-midi" and the version of the build.
std::string programVersionLine();

}  // namespace nimbel

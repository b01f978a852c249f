#include "command_line.h"

#include "nimbel_version.h"

namespace nimbel {

ProgramCommandLine parseProgramArguments(const std::vector<std::string>& arguments)
{
    ProgramCommandLine line;
    const auto bad = [&line](std::string problem) {
        line.action = ProgramCommandLine::Action::bad;
        line.problem = std::move(problem);
        return line;
    };
    bool optionsEnded = false;
    for (const std::string& argument : arguments) {
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && argument == "--help") {
            line.action = ProgramCommandLine::Action::help;
        } else if (!optionsEnded && argument == "--version") {
            if (line.action == ProgramCommandLine::Action::run) line.action = ProgramCommandLine::Action::version;
        } else if (!optionsEnded && argument.starts_with('-') && argument != "-") {
            return bad("unknown option '" + argument + "'");
        } else if (!line.file.empty()) {
            return bad("only one FILE may be given ('" + argument + "' is a second one)");
        } else {
            line.file = argument;
        }
    }
    return line;
}

std::string programUsage()
{
    return "Usage: nimbel-midi [OPTION] [FILE]\n"
           "Starts Nimbel MIDI with its demonstration song, then opens FILE (a project\n"
           "file or a hand-written song) as File > Open would.\n"
           "\n"
           "Options:\n"
           "  --help     show this help and exit\n"
           "  --version  show the version and exit\n";
}

std::string programVersionLine() { return std::string("nimbel-midi ") + kNimbelVersion + "\n"; }

}  // namespace nimbel

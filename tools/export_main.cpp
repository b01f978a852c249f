// nimbel-export: loads a song with the program's own model code and writes
// the outputs the command line asks for.
#include "export_options.h"
#include "export_song.h"

#include <iostream>

namespace {

constexpr int kBadArguments = 2;

}  // namespace

int main(int argc, char** argv)
{
    using namespace nimbel;
    ExportRequest request;
    const std::string error = parseExportArguments(std::vector<std::string>(argv + 1, argv + argc), request);
    if (!error.empty()) {
        std::cerr << "nimbel-export: " << error << "\nTry 'nimbel-export --help'.\n";
        return kBadArguments;
    }
    if (request.help) {
        std::cout << exportUsage();
        return 0;
    }

    Song song;
    PlainPositionDisplay position;
    if (!openSongAsAfterStartUp(song, position, request.songPath)) {
        std::cerr << "nimbel-export: cannot read '" << request.songPath << "'\n";
        return kBadArguments;
    }
    ExportContext context{song, request.settings, std::cout, std::cerr};
    for (const ExportStep& step : request.steps)
        if (const int status = step.output(context, step.argument); status != 0) return status;
    return 0;
}

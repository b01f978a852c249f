// nimbel-export: loads a song with the program's own model code and writes
// the outputs the command line asks for.
#include "export_options.h"
#include "song_file.h"

#include <iostream>

int main(int argc, char** argv)
{
    using namespace nimbel;
    ExportRequest request;
    const std::string error = parseExportArguments(std::vector<std::string>(argv + 1, argv + argc), request);
    if (!error.empty()) {
        std::cerr << "nimbel-export: " << error << "\nTry 'nimbel-export --help'.\n";
        return kExportBadArguments;
    }
    if (request.help) {
        std::cout << exportUsage();
        return kExportDone;
    }

    Song song;
    {
        // The file's text is let go once the song holds it.
        std::string contents;
        if (!readSongFile(request.songPath, contents)) {
            std::cerr << "nimbel-export: cannot read '" << request.songPath << "'\n";
            return kExportBadArguments;
        }
        PlainPositionDisplay position;
        openSongAfterStartUp(song, position, contents);
    }
    ExportContext context{song, request.settings, std::cout, std::cerr};
    for (const ExportStep& step : request.steps)
        if (const int status = step.output(context, step.argument); status != kExportDone) return status;
    return kExportDone;
}

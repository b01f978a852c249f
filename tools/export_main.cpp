// nimbel-export: loads a song (or imports a MIDI file) with the program's
// own model code and writes the outputs the command line asks for.
#include "audio_module.h"
#include "export_options.h"
#include "project_state.h"
#include "song_columns.h"
#include "song_opening.h"

#include <iostream>

namespace {

// The notes the song file holds that the song has no place for, in one line;
// they are left out as the program leaves them out, so the exit status stays 0.
void warnOfDroppedNotes(const nimbel::DroppedNotes& dropped, std::ostream& err)
{
    if (dropped.total() == 0) return;
    err << "nimbel-export: warning: " << dropped.total() << (dropped.total() == 1 ? " note" : " notes")
        << " dropped: " << dropped.outsideColumns << " outside note columns 1 to " << nimbel::kMaxNoteColumns << ", "
        << dropped.outsideChannels << " outside channels 1 to " << nimbel::kChannelCount << "\n";
}

}  // namespace

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
        std::cout << exportUsage(writableAudioFormats());
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
        const OpenedSongFile opened = openSongFileAfterStartUp(song, position, std::move(contents));
        if (!opened.refusal.empty()) {
            std::cerr << "nimbel-export: " << unableToOpenText(request.songPath, opened.refusal) << "\n";
            return kExportBadArguments;
        }
        warnOfDroppedNotes(opened.dropped, std::cerr);
        if (!opened.approximations.empty())
            std::cerr << "nimbel-export: warning: " << importReportLine(opened.approximations) << "\n";
    }
    ExportContext context{song, request.settings, std::cout, std::cerr};
    for (const ExportStep& step : request.steps)
        if (const int status = step.output(context, step.argument); status != kExportDone) return status;
    return kExportDone;
}

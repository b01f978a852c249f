#include "export_playback.h"

#include "audio_module.h"
#include "event_export.h"
#include "midi_file.h"
#include "song_columns.h"
#include "sound_fonts.h"

namespace nimbel {

namespace {

// Every playback output writes the messages of one Play of the song as
// loaded. The song itself is played, once: playing leaves its running values
// in the channel state and off-times in the records, which only another Play
// would read, and another Play comes only after --save has rebuilt the note
// list (a new version), which sets them up anew.
const MessageLog& songEvents(ExportContext& context)
{
    Song& song = context.song;
    if (!context.played || context.played->noteListVersion != song.noteListVersion) {
        PlainPositionDisplay position;
        position.setMaximum(findEndColumn(song.grid) - kFirstNoteColumn + 1);  // as loading left the track bar
        context.played = {song.noteListVersion, playSongToEvents(song, position)};
    }
    return context.played->messages;
}

bool endsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

int renderAudio(ExportContext& context, const std::string& path, const MessageLog& events)
{
    const auto chosen = context.settings.find("--soundfont");
    const auto soundFont =
        chosen != context.settings.end() ? findSoundFont({chosen->second}) : findSoundFont(defaultSoundFontPaths());
    if (!soundFont) {
        context.err << "nimbel-export: no SoundFont found"
                    << (chosen != context.settings.end() ? " at '" + chosen->second + "'" : std::string()) << "\n";
        return kExportNotWritten;
    }
    const RenderResult result = renderAudioFileThroughModule(events, *soundFont, path);
    if (result.ok) return kExportDone;
    context.err << "nimbel-export: " << result.error << "\n";
    return kExportNotWritten;
}

}  // namespace

int printEvents(ExportContext& context, const std::string&)
{
    for (const TimedMessage& message : songEvents(context)) context.out << formatEventLine(message) << '\n';
    context.out.flush();
    if (context.out) return kExportDone;
    context.err << "nimbel-export: cannot write the events to standard output\n";
    return kExportNotWritten;
}

int writePlaybackFile(ExportContext& context, const std::string& argument)
{
    const bool midi = endsWith(argument, ".mid");
    if (!midi && !audioFormatOfPath(argument)) {
        context.err << "nimbel-export: '" << argument << "' must end in .mid, .wav, .flac, .ogg or .mp3\n";
        return kExportBadArguments;
    }
    const MessageLog& events = songEvents(context);
    if (!midi) return renderAudio(context, argument, events);
    if (writeStandardMidiFile(argument, events, context.song.tempo)) return kExportDone;
    context.err << "nimbel-export: cannot write '" << argument << "'\n";
    return kExportNotWritten;
}

}  // namespace nimbel

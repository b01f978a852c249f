#include "export_options.h"

#include "export_playback.h"

#include <algorithm>
#include <array>

namespace nimbel {

namespace {

constexpr std::array kOptions = {
    ExportOption{"--grid", "",
                 "print the song grid: the column titles, then the 15 channel rows, cells separated by TAB", printGrid},
    ExportOption{"--save", "OUT", "write the project file that File Save would write to OUT", saveProjectFile},
    ExportOption{"--events", "", "print every MIDI message of a Play from column 1: milliseconds, then three hex bytes",
                 printEvents},
    ExportOption{"-o", "OUT",
                 "write those messages to OUT.mid as a MIDI file, or render them to an audio file:\n"
                 "                OUT.wav (16-bit), OUT.flac, OUT.ogg (Vorbis) or OUT.mp3",
                 writePlaybackFile},
    ExportOption{"--soundfont", "PATH", "render audio files with the SoundFont at PATH", nullptr},
};

const ExportOption* findOption(std::string_view name)
{
    const auto it =
        std::find_if(kOptions.begin(), kOptions.end(), [&](const ExportOption& o) { return o.name == name; });
    return it == kOptions.end() ? nullptr : &*it;
}

}  // namespace

std::string parseExportArguments(const std::vector<std::string>& arguments, ExportRequest& request)
{
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || !argument.starts_with('-') || argument == "-") {
            if (!request.songPath.empty()) return "only one SONG may be given ('" + argument + "' is a second one)";
            request.songPath = argument;
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (argument == "--help" || argument == "-h") {
            request.help = true;
            continue;
        }
        const std::size_t equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        const ExportOption* option = findOption(name);
        if (option == nullptr) return "unknown option '" + name + "'";

        std::string value;
        if (option->valueName.empty()) {
            if (equals != std::string::npos) return "option '" + name + "' takes no value";
        } else if (equals != std::string::npos) {
            value = argument.substr(equals + 1);
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            return "option '" + name + "' needs " + std::string(option->valueName);
        }
        if (option->output) request.steps.push_back({option->output, std::move(value)});
        else request.settings[name] = std::move(value);
    }
    if (request.help) return {};
    if (request.songPath.empty()) return "no SONG given";
    if (request.steps.empty()) return "nothing to write: give at least one output option";
    return {};
}

std::string exportUsage(const std::optional<std::vector<AudioFormat>>& writable)
{
    std::string usage =
        "Usage: nimbel-export SONG OPTION...\n"
        "Loads SONG (a project file, a hand-written song or a MIDI file) as Nimbel MIDI\n"
        "does after start-up followed by File Open, then writes each output in the order\n"
        "given.\n"
        "\n"
        "Options:\n";
    for (const ExportOption& option : kOptions) {
        std::string left = "  " + std::string(option.name);
        if (!option.valueName.empty()) left += " " + std::string(option.valueName);
        left.resize(std::max<std::size_t>(left.size() + 2, 16), ' ');
        usage += left + std::string(option.help) + "\n";
    }
    usage += "  --help        show this help and exit\n\n";
    if (!writable) {
        usage += "Audio files cannot be written: the audio module is missing.\n\n";
    } else {
        for (const AudioFormat format : kAudioFormats) {
            if (std::find(writable->begin(), writable->end(), format) == writable->end())
                usage +=
                    "This system's libsndfile cannot write " + std::string(audioFormatExtension(format)) + " files.\n";
        }
        if (writable->size() < kAudioFormats.size()) usage += "\n";
    }
    usage += "Exit status: " + std::to_string(kExportDone) + " done, " + std::to_string(kExportNotWritten) +
             " an output could not be written, " + std::to_string(kExportBadArguments) +
             " bad arguments or\nSONG cannot be read.\n";
    return usage;
}

}  // namespace nimbel

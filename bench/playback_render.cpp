// Offline rendering speed: the demonstration song and a 10,000-note song
// (1,000 columns of ten channels at tempo 240, about four minutes), each
// rendered to a WAV file by the export's renderer and, side by side, by
// Debian's `fluidsynth -F` from the MIDI file the export writes, with the
// same SoundFont. Reports seconds taken (SoundFont loading included) and
// how many times faster than real time.
#include "event_export.h"
#include "midi_file.h"
#include "notation.h"
#include "offline_render.h"
#include "song.h"
#include "song_columns.h"
#include "song_file.h"
#include "sound_fonts.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace nimbel {
namespace {

namespace fs = std::filesystem;

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::string quoted(const std::string& text) { return "'" + text + "'"; }

MessageLog demoSongEvents(std::int32_t& tempo)
{
    Song song;
    PlainPositionDisplay position;
    std::string contents;
    readSongFile((fs::path(__FILE__).parent_path().parent_path() / "tests/data/demo_song.txt").string(), contents);
    openSongAfterStartUp(song, position, contents);
    tempo = song.tempo;
    return playSongToEvents(song, position);
}

MessageLog tenThousandNoteEvents(std::int32_t& tempo)
{
    constexpr const char* kNotes[] = {"C5Q,1",  "E5E,41", "G4Q,74", "A3S,33", "D5Q,20",
                                      "F4E,57", "B4Q,12", "G3H,49", "C6S,81", "E4Q,25"};
    Song song;
    const int columns = 1000;
    setNoteColumnCount(song.grid, gridColumnOf(columns));
    song.grid.setCellText(0, kChannelColumn, "1 T240");
    for (int column = 1; column <= columns; ++column)
        for (int row = 0; row < 10; ++row)
            song.grid.setCellText(row, gridColumnOf(column), kNotes[(row + column) % 10]);
    rebuildNoteList(song);
    tempo = song.tempo;
    PlainPositionDisplay position;
    position.setMaximum(columns);
    return playSongToEvents(song, position);
}

void renderSideBySide(benchmark::State& state, MessageLog (*songEvents)(std::int32_t&))
{
    const auto soundFont = findSoundFont(defaultSoundFontPaths());
    if (!soundFont) {
        state.SkipWithError("no General MIDI SoundFont (package fluid-soundfont-gm)");
        return;
    }
    const fs::path folder = fs::temp_directory_path() / ("nimbel-render-bench-" + std::to_string(getpid()));
    fs::create_directories(folder);
    const std::string wav = (folder / "ours.wav").string();
    const std::string theirs = (folder / "fluidsynth.wav").string();
    const std::string mid = (folder / "song.mid").string();

    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        std::int32_t tempo = 0;
        const MessageLog events = songEvents(tempo);
        state.counters["events_s"] = secondsSince(start);

        start = std::chrono::steady_clock::now();
        const RenderResult result = renderAudioFile(events, *soundFont, wav);
        const double ours = secondsSince(start);
        if (!result.ok) {
            state.SkipWithError(result.error.c_str());
            break;
        }
        const double audioSeconds = static_cast<double>(result.frames) / 44100.0;
        state.counters["audio_s"] = audioSeconds;
        state.counters["render_s"] = ours;
        state.counters["x_realtime"] = audioSeconds / ours;

        writeStandardMidiFile(mid, events, tempo);
        const auto fluidsynth = [&](const std::string& options) {
            return std::system(("fluidsynth -ni -q -g 0.5 -R 0 -C 0 -r 44100 -O s16 -T wav " + options + " -F " +
                                quoted(theirs) + " " + quoted(*soundFont) + " " + quoted(mid) + " >/dev/null 2>&1")
                                   .c_str());
        };
        start = std::chrono::steady_clock::now();
        const int status = fluidsynth("");
        const double plain = secondsSince(start);
        start = std::chrono::steady_clock::now();
        fluidsynth("-o synth.dynamic-sample-loading=1");
        const double onDemand = secondsSince(start);
        if (status == 0) {
            state.counters["fluidsynth_F_s"] = plain;
            state.counters["fluidsynth_F_ondemand_s"] = onDemand;
            state.counters["speed_vs_F"] = plain / ours;
        }
    }
    fs::remove_all(folder);
}

void BM_RenderDemonstrationSong(benchmark::State& state) { renderSideBySide(state, demoSongEvents); }
void BM_RenderTenThousandNotes(benchmark::State& state) { renderSideBySide(state, tenThousandNoteEvents); }
BENCHMARK(BM_RenderDemonstrationSong)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RenderTenThousandNotes)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
}  // namespace nimbel

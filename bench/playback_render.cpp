// Offline rendering speed: the demonstration song and a 10,000-note song
// (1,000 columns of ten channels at tempo 240, about four minutes), each
// rendered to a WAV file by the export's renderer (its channels split among
// as many synthesizers as there are cores, and in one for comparison) and,
// side by side, by Debian's `fluidsynth -F` from the MIDI file the export
// writes, with the same SoundFont. Reports seconds taken (SoundFont loading
// included), how many times faster than real time and than `fluidsynth -F`
// (target 1.6), and whether every render of the song gave the same bytes.
#include "audio_file.h"
#include "event_export.h"
#include "midi_file.h"
#include "notation.h"
#include "offline_render.h"
#include "song.h"
#include "song_columns.h"
#include "song_file.h"
#include "sound_fonts.h"
#include "text_file.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace nimbel {
namespace {

namespace fs = std::filesystem;

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::string quoted(const std::string& text) { return "'" + text + "'"; }

std::string fileBytes(const std::string& path)
{
    std::string bytes;
    readTextFile(path, bytes);
    return bytes;
}

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

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

RenderResult renderWav(const MessageLog& events, const std::string& soundFont, const std::string& path, int groups)
{
    AudioFileWriter file(path, AudioFormat::wav);
    RenderResult result = renderMessages(events, soundFont, file, groups);
    if (result.ok && !file.finish()) return renderFailure(file.error());
    return result;
}

void renderSideBySide(benchmark::State& state, MessageLog (*songEvents)(std::int32_t&))
{
    constexpr int kRounds = 3;
    const auto soundFont = findSoundFont(defaultSoundFontPaths());
    if (!soundFont) {
        state.SkipWithError("no General MIDI SoundFont (package fluid-soundfont-gm)");
        return;
    }
    const fs::path folder = fs::temp_directory_path() / ("nimbel-render-bench-" + std::to_string(getpid()));
    fs::create_directories(folder);
    const std::string mid = (folder / "song.mid").string();
    const auto wav = [&](const std::string& name) { return (folder / (name + ".wav")).string(); };

    for (auto _ : state) {
        std::int32_t tempo = 0;
        const MessageLog events = songEvents(tempo);
        writeStandardMidiFile(mid, events, tempo);
        const int groups = defaultRenderGroups(events);
        // Taken in turn, round after round, so that other work on the machine
        // weighs on all three alike; the medians are reported.
        std::vector<double> ours, oneGroup, theirs;
        std::int64_t frames = 0;
        bool identical = true;
        for (int round = 0; round < kRounds; ++round) {
            auto start = std::chrono::steady_clock::now();
            const RenderResult result = renderWav(events, *soundFont, wav("ours" + std::to_string(round)), groups);
            ours.push_back(secondsSince(start));
            if (!result.ok) {
                state.SkipWithError(result.error.c_str());
                break;
            }
            frames = result.frames;
            identical = identical && fileBytes(wav("ours0")) == fileBytes(wav("ours" + std::to_string(round)));

            start = std::chrono::steady_clock::now();
            renderWav(events, *soundFont, wav("one"), 1);
            oneGroup.push_back(secondsSince(start));

            start = std::chrono::steady_clock::now();
            const int status = std::system(("fluidsynth -ni -q -g 0.5 -R 0 -C 0 -r 44100 -O s16 -T wav -F " +
                                            quoted(wav("fluidsynth")) + " " + quoted(*soundFont) + " " + quoted(mid) +
                                            " >/dev/null 2>&1")
                                               .c_str());
            theirs.push_back(secondsSince(start));
            if (status != 0) theirs.clear();
        }
        if (ours.size() != kRounds) break;
        const double audioSeconds = static_cast<double>(frames) / 44100.0;
        state.counters["audio_s"] = audioSeconds;
        state.counters["groups"] = groups;
        state.counters["render_s"] = median(ours);
        state.counters["render_1group_s"] = median(oneGroup);
        state.counters["x_realtime"] = audioSeconds / median(ours);
        state.counters["byte_identical"] = identical ? 1 : 0;
        if (theirs.size() == kRounds) {
            state.counters["fluidsynth_F_s"] = median(theirs);
            state.counters["speed_vs_F(>=1.6)"] = median(theirs) / median(ours);
        }
    }
    fs::remove_all(folder);
}

void BM_RenderDemonstrationSong(benchmark::State& state) { renderSideBySide(state, demoSongEvents); }
void BM_RenderTenThousandNotes(benchmark::State& state) { renderSideBySide(state, tenThousandNoteEvents); }
BENCHMARK(BM_RenderDemonstrationSong)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_RenderTenThousandNotes)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
}  // namespace nimbel

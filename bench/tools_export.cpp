// nimbel-export as a user runs it, one process per run, its wall time the
// median of several runs and its peak memory as /usr/bin/time reports it. The
// files are written to the temporary folder (TMPDIR), and flushed to its disk
// as every file the tool writes is:
//  - export time against song length: --events and -o .mid of 4-voice songs
//    of 10,000, 30,000 and 100,000 notes, and the growth exponent between
//    10,000 and 100,000 (target 1.15 at most);
//  - a hand-written melody to a MIDI file beside Debian's abc2midi on the
//    same melody written as ABC, at 10,000 and 50,000 notes, runs taken in
//    turn (target: within 2x), and a melody of the full 65,535 columns,
//    which abc2midi does not finish;
//  - peak memory of -o .mid on the 50,000-note melody's project file against
//    the file's size (target 30x), and four outputs of one command against one;
//  - -o .wav of a 10,000-note song (ten channels, 1,000 columns at tempo 240,
//    about four minutes) beside Debian's `fluidsynth -F` rendering the MIDI
//    file the tool writes, with the same SoundFont and gain, runs taken in
//    turn (target: 1.6 times faster), and whether two exports of the song
//    are the same bytes.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr int kRuns = 9;

class Folder {
public:
    Folder() : path_(fs::temp_directory_path() / ("nimbel-export-bench-" + std::to_string(getpid())))
    {
        fs::create_directories(path_);
    }
    ~Folder() { fs::remove_all(path_); }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

    std::string write(const std::string& name, const std::string& text) const
    {
        std::ofstream(file(name), std::ios::binary) << text;
        return file(name);
    }

private:
    fs::path path_;
};

struct Run {
    int status = -1;  // the exit status; -1 when it did not start or was killed
    double seconds = 0;
    double cpuSeconds = 0;  // user and system
};

// Runs a program with its standard output and error going to `output`.
Run runProgram(const std::vector<std::string>& arguments, const std::string& output = "/dev/null")
{
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    Run run;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int failed = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed) return run;
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    return run;
}

// The peak resident memory of a run in MiB, as /usr/bin/time reports it (a
// process started from the benchmark itself would be charged the
// benchmark's own memory until it replaces its image); 0 when it failed.
double peakMb(const Folder& folder, std::vector<std::string> arguments)
{
    const std::string report = folder.file("time.txt");
    arguments.insert(arguments.begin(), {"/usr/bin/time", "-f", "%M", "-o", report});
    if (runProgram(arguments).status != 0) return 0;
    double kb = 0;
    std::ifstream(report) >> kb;
    return kb / 1024.0;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The median wall time of kRuns runs, in milliseconds; 0 when a run failed.
double medianMs(const std::vector<std::string>& arguments)
{
    std::vector<double> ms;
    for (int i = 0; i < kRuns; ++i) {
        const Run run = runProgram(arguments);
        if (run.status != 0) return 0;
        ms.push_back(run.seconds * 1000);
    }
    return median(ms);
}

// A project file of four channels playing together: `notes` / 4 columns of
// quarter, half and whole notes with changing voices. No note ends inside
// its column, so playing it makes no step between two columns.
std::string fourVoiceSong(int notes)
{
    constexpr const char* kTexts[] = {"C5Q,1", "E5H", "G4Q", "A3Q,33", "D5Q", "F4H,41", "B4Q", "G3W"};
    std::ostringstream text;
    text << ";Nimbel MIDI Format\r\n;Created 2024/01/01\r\nSTART\r\nT240\r\n";
    for (int i = 0; i < notes; ++i)
        text << 'N' << (1 + i % 4) << 'X' << (1 + i / 4) << kTexts[(i + i / 4) % std::size(kTexts)] << "\r\n";
    text << "END\r\n";
    return text.str();
}

// One melody line of quarter notes, every third an eighth followed by an
// eighth's silence, at tempo 240: as a hand-written song and as ABC.
std::string melodySong(int notes)
{
    std::string text = "Start\nT240\n";
    for (int i = 0; i < notes; ++i) {
        text += "cdefgab"[i % 7];
        text += i % 3 ? "q " : "e ";
        if (i % 4 == 3) text += "|\n";
    }
    return text + "\nEnd\n";
}

std::string melodyAbc(int notes)
{
    std::string text = "X:1\nT:Melody\nM:4/4\nL:1/4\nQ:1/4=240\nK:C\n";
    for (int i = 0; i < notes; ++i) {
        text += "CDEFGAB"[i % 7];
        text += i % 3 ? " " : "/ z/ ";
        if (i % 4 == 3) text += "|\n";
    }
    return text + "\n";
}

void BM_ExportTimeAgainstSongLength(benchmark::State& state, const std::vector<std::string>& output)
{
    const Folder folder;
    const std::vector<int> sizes = {10'000, 30'000, 100'000};
    for (auto _ : state) {
        std::vector<double> ms;
        for (const int notes : sizes) {
            std::vector<std::string> arguments = {NIMBEL_EXPORT_PROGRAM,
                                                  folder.write("song.nmd", fourVoiceSong(notes))};
            for (const std::string& argument : output)
                arguments.push_back(argument.ends_with(".mid") ? folder.file(argument) : argument);
            ms.push_back(medianMs(arguments));
            state.counters["ms_" + std::to_string(notes / 1000) + "k"] = ms.back();
        }
        if (ms.front() <= 0 || ms.back() <= 0) {
            state.SkipWithError("nimbel-export failed");
            break;
        }
        state.counters["growth_exponent(<=1.15)"] = std::log(ms.back() / ms.front()) / std::log(10.0);
    }
}
BENCHMARK_CAPTURE(BM_ExportTimeAgainstSongLength, events, std::vector<std::string>{"--events"})
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_ExportTimeAgainstSongLength, midi_file, std::vector<std::string>{"-o", "song.mid"})
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

void BM_MelodyToMidiFileBesideAbc2midi(benchmark::State& state)
{
    const int notes = static_cast<int>(state.range(0));
    if (runProgram({"abc2midi", "-ver"}).status < 0) {
        state.SkipWithError("abc2midi is not installed (package abcmidi)");
        return;
    }
    const Folder folder;
    const std::string song = folder.write("melody.txt", melodySong(notes));
    const std::string abc = folder.write("melody.abc", melodyAbc(notes));
    for (auto _ : state) {
        std::vector<double> ours, theirs, oursCpu, theirsCpu;
        for (int i = 0; i < kRuns; ++i) {
            const Run our = runProgram({NIMBEL_EXPORT_PROGRAM, song, "-o", folder.file("ours.mid")});
            const Run their = runProgram({"abc2midi", abc, "-o", folder.file("abc2midi.mid")});
            if (our.status != 0 || their.status != 0) {
                state.SkipWithError("a run failed");
                return;
            }
            ours.push_back(our.seconds * 1000);
            theirs.push_back(their.seconds * 1000);
            oursCpu.push_back(our.cpuSeconds * 1000);
            theirsCpu.push_back(their.cpuSeconds * 1000);
        }
        state.counters["ours_ms"] = median(ours);
        state.counters["abc2midi_ms"] = median(theirs);
        state.counters["ours_per_abc2midi(<=2)"] = median(ours) / median(theirs);
        // Processor time is less swayed by other work on the machine.
        state.counters["ours_cpu_ms"] = median(oursCpu);
        state.counters["abc2midi_cpu_ms"] = median(theirsCpu);
    }
}
BENCHMARK(BM_MelodyToMidiFileBesideAbc2midi)
    ->Arg(10'000)
    ->Arg(50'000)
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

// The longest song: 65,535 columns. Reports the last column our export plays
// (from its last note-on) and abc2midi's exit status on the same melody.
void BM_MelodyOfEveryColumn(benchmark::State& state)
{
    constexpr int kColumns = 65'535;
    constexpr int kColumnMs = 250;  // tempo 240
    const Folder folder;
    const std::string song = folder.write("melody.txt", melodySong(kColumns));
    const std::string abc = folder.write("melody.abc", melodyAbc(kColumns));
    for (auto _ : state) {
        const Run ours = runProgram({NIMBEL_EXPORT_PROGRAM, song, "--events"}, folder.file("events.txt"));
        std::ifstream events(folder.file("events.txt"));
        long long lastNoteOn = -1;
        for (std::string line; std::getline(events, line);) {
            long long ms = 0;
            unsigned status = 0, note = 0, velocity = 0;
            if (std::sscanf(line.c_str(), "%lld %x %x %x", &ms, &status, &note, &velocity) == 4 &&
                (status & 0xF0) == 0x90 && velocity != 0)
                lastNoteOn = ms;
        }
        state.counters["ours_exit_status"] = ours.status;
        state.counters["ours_last_column(=65535)"] = static_cast<double>(lastNoteOn / kColumnMs + 1);
        state.counters["abc2midi_exit_status"] = runProgram({"abc2midi", abc, "-o", folder.file("abc.mid")}).status;
    }
}
BENCHMARK(BM_MelodyOfEveryColumn)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// Peak memory of -o .mid on the project file of the 50,000-note melody
// (as the program saves it), against the song file's and the MIDI file's
// sizes; and a three-note song for what starting the program costs.
void BM_PeakMemoryOfMidiExport(benchmark::State& state)
{
    const Folder folder;
    const std::string text = folder.write("melody.txt", melodySong(50'000));
    const std::string song = folder.file("melody.nmd");
    const std::string tiny = folder.write("tiny.txt", melodySong(3));
    const std::string mid = folder.file("melody.mid");
    for (auto _ : state) {
        if (runProgram({NIMBEL_EXPORT_PROGRAM, text, "--save", song}).status != 0) {
            state.SkipWithError("nimbel-export failed");
            break;
        }
        std::vector<double> peaks;
        for (int i = 0; i < kRuns; ++i) peaks.push_back(peakMb(folder, {NIMBEL_EXPORT_PROGRAM, song, "-o", mid}));
        const double songMb = static_cast<double>(fs::file_size(song)) / (1024.0 * 1024.0);
        const double midMb = static_cast<double>(fs::file_size(mid)) / (1024.0 * 1024.0);
        state.counters["peak_MB"] = median(peaks);
        state.counters["song_file_MB"] = songMb;
        state.counters["mid_file_MB"] = midMb;
        state.counters["peak_per_song_file(<=30)"] = median(peaks) / songMb;
        state.counters["peak_per_mid_file"] = median(peaks) / midMb;
        state.counters["three_notes_peak_MB"] = peakMb(folder, {NIMBEL_EXPORT_PROGRAM, tiny, "-o", mid});
    }
}
BENCHMARK(BM_PeakMemoryOfMidiExport)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// One Play serves every output of a command: four MIDI files of the
// 100,000-note song take little more than one.
void BM_FourOutputsOfOneCommand(benchmark::State& state)
{
    const Folder folder;
    const std::string song = folder.write("song.nmd", fourVoiceSong(100'000));
    for (auto _ : state) {
        const double one = medianMs({NIMBEL_EXPORT_PROGRAM, song, "-o", folder.file("a.mid")});
        const double four = medianMs({NIMBEL_EXPORT_PROGRAM, song, "-o", folder.file("a.mid"), "-o",
                                      folder.file("b.mid"), "-o", folder.file("c.mid"), "-o", folder.file("d.mid")});
        state.counters["one_output_ms"] = one;
        state.counters["four_outputs_ms"] = four;
    }
}
BENCHMARK(BM_FourOutputsOfOneCommand)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// Ten channels of changing voices and lengths, every column filled.
std::string tenChannelSong(int columns)
{
    constexpr const char* kTexts[] = {"C5Q,1",  "E5E,41", "G4Q,74", "A3S,33", "D5Q,20",
                                      "F4E,57", "B4Q,12", "G3H,49", "C6S,81", "E4Q,25"};
    std::ostringstream text;
    text << ";Nimbel MIDI Format\r\n;Created 2024/01/01\r\nSTART\r\nT240\r\n";
    for (int column = 1; column <= columns; ++column)
        for (int channel = 1; channel <= 10; ++channel)
            text << 'N' << channel << 'X' << column << kTexts[(channel - 1 + column) % 10] << "\r\n";
    text << "END\r\n";
    return text.str();
}

void BM_AudioExportBesideFluidsynth(benchmark::State& state)
{
    constexpr const char* kSoundFont = "/usr/share/sounds/sf2/FluidR3_GM.sf2";
    constexpr int kRounds = 3;
    if (runProgram({"fluidsynth", "--version"}).status != 0 || !fs::exists(kSoundFont)) {
        state.SkipWithError("needs fluidsynth and fluid-soundfont-gm");
        return;
    }
    const Folder folder;
    const std::string song = folder.write("song.nmd", tenChannelSong(1000));
    const std::string mid = folder.file("song.mid");
    for (auto _ : state) {
        if (runProgram({NIMBEL_EXPORT_PROGRAM, song, "-o", mid}).status != 0) {
            state.SkipWithError("nimbel-export failed");
            break;
        }
        std::vector<double> ours, theirs;
        for (int i = 0; i < kRounds; ++i) {
            const std::string wav = folder.file("ours" + std::to_string(i) + ".wav");
            const Run our = runProgram({NIMBEL_EXPORT_PROGRAM, song, "--soundfont", kSoundFont, "-o", wav});
            const Run their =
                runProgram({"fluidsynth", "-ni", "-q", "-g", "0.5", "-R", "0", "-C", "0", "-r", "44100", "-O", "s16",
                            "-T", "wav", "-F", folder.file("fluidsynth.wav"), kSoundFont, mid});
            if (our.status != 0 || their.status != 0) {
                state.SkipWithError("a run failed");
                return;
            }
            ours.push_back(our.seconds);
            theirs.push_back(their.seconds);
        }
        const auto bytes = [&](int i) {
            std::ifstream in(folder.file("ours" + std::to_string(i) + ".wav"), std::ios::binary);
            return std::string(std::istreambuf_iterator<char>(in), {});
        };
        state.counters["ours_s"] = median(ours);
        state.counters["fluidsynth_F_s"] = median(theirs);
        state.counters["faster_than_F(>=1.6)"] = median(theirs) / median(ours);
        state.counters["byte_identical"] = bytes(0) == bytes(1) && bytes(1) == bytes(2) ? 1 : 0;
    }
}
BENCHMARK(BM_AudioExportBesideFluidsynth)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

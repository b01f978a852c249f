// nimbel-export end to end, run as a user would run it: its command line,
// the golden grid, events and project file of the demonstration song, the
// audio as sox hears it, and outputs that cannot be written, also when the
// disk fills up half way.
#include "import/midi_bytes.h"
#include "support/files.h"
#include "support/full_disk.h"
#include "support/processes.h"
#include "support/random_song.h"

#include "song_file.h"

#include <sndfile.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace nimbel {
namespace {

namespace fs = std::filesystem;
using namespace testing_support;

CommandResult exportTool(std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), NIMBEL_EXPORT_PROGRAM);
    return runCommand(arguments);
}

// A project file with the given note lines, as File Save writes them.
std::string songFile(const fs::path& path, const std::vector<std::string>& notes, const std::string& tempo = "T120")
{
    std::string text = ";Nimbel MIDI Format\r\n;Created 2001/02/03\r\nSTART\r\n" + tempo + "\r\n";
    for (const std::string& note : notes) text += note + "\r\n";
    writeFile(path, text + "END\r\n");
    return path.string();
}

TEST(ExportTool, BadArgumentsAndUnreadableSongsExitWithTwoAndSayWhy)
{
    const ScratchFolder folder;
    const std::string demo = dataPath("demo_song.txt");
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{}, "no SONG given\nTry 'nimbel-export --help'."},
        {{demo, "--frobnicate"}, "unknown option '--frobnicate'\nTry"},
        {{demo, "--save"}, "option '--save' needs OUT\nTry"},
        {{demo, "--grid=yes"}, "option '--grid' takes no value\nTry"},
        {{demo, demo, "--grid"}, "only one SONG may be given"},
        {{demo}, "nothing to write"},
        {{demo, "-o", folder.file("song.aiff")},
         "'" + folder.file("song.aiff") + "' must end in .mid, .wav, .flac, .ogg or .mp3\n"},
        {{folder.file("missing.nmd"), "--grid"}, "cannot read '" + folder.file("missing.nmd") + "'\n"},
        {{folder.path.string(), "--grid"}, "cannot read '" + folder.path.string() + "'\n"},
        {{"/bin/ls", "--grid"}, "Unable to open ls: it is not a Nimbel MIDI song\n"},
    };
    for (const auto& [arguments, message] : cases) {
        const auto bad = exportTool(arguments);
        EXPECT_EQ(bad.exitCode, 2) << message;
        EXPECT_EQ(bad.out, "") << message;
        EXPECT_EQ(bad.err.rfind("nimbel-export: " + message, 0), 0u) << bad.err;
    }
}

TEST(ExportTool, NotesTheSongHasNoPlaceForAndAMidiFilesChangesAreOneWarningLine)
{
    const ScratchFolder folder;
    // A chord on the percussion channel, a controller and a tempo change.
    const std::string drums =
        midiFile(0, 96, {bytes({0x00, 0x99, 0x24, 0x64, 0x00, 0x2A, 0x64, 0x00, 0xB9, 0x07, 0x64, 0x60, 0xFF,
                                0x51, 0x03, 0x07, 0xA1, 0x20, 0x00, 0xFF, 0x51, 0x03, 0x06, 0x1A, 0x80})});
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"START\r\nN16X1C N1X0C 99D N2X2E\r\nEND\r\n",
         "3 notes dropped: 1 outside note columns 1 to 65535, 2 outside channels 1 to 15"},
        {drums,
         "the MIDI file was changed to fit the song: 1 note dropped (1 with no free channel), 1 tempo change "
         "ignored, 1 controller message ignored"}};
    for (const auto& [song, warning] : cases) {
        writeFile(folder.path / "song.txt", song);
        const auto result = exportTool({folder.file("song.txt"), "--save", folder.file("saved.nmd")});
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(result.err, "nimbel-export: warning: " + warning + "\n");
    }
}

TEST(ExportTool, DemonstrationSongGivesTheGoldenGridEventsAndProjectFileWhichLoadsBackTheSame)
{
    const ScratchFolder folder;
    const std::string before = localDateText();
    const auto first = exportTool({dataPath("demo_song.txt"), "--grid", "--events", "--save", folder.file("demo.nmd")});
    const std::string after = localDateText();
    ASSERT_EQ(first.exitCode, 0) << first.err;
    EXPECT_EQ(first.err, "") << "nothing dropped, nothing to warn of";
    EXPECT_EQ(first.out, dataFile("demo_song_grid.tsv") + dataFile("demo_song_events.txt"));  // in the order given
    const std::string golden = dataFile("demo_song_saved.nmd");
    const std::string written = fileText(folder.file("demo.nmd"));
    EXPECT_TRUE(written == withDate(golden, before) || written == withDate(golden, after)) << written;

    // Saving rebuilds the note list, as File Save does, so events after --save would play the rebuilt list.
    const auto again = exportTool({folder.file("demo.nmd"), "--grid", "--save=" + folder.file("again.nmd")});
    EXPECT_EQ(again.exitCode, 0) << again.err;
    EXPECT_EQ(again.out, dataFile("demo_song_grid.tsv"));
    EXPECT_EQ(fileText(folder.file("again.nmd")), written);
}

TEST(ExportTool, ASongPlaysAsItWillAfterSavingAndOpeningIt)
{
    const ScratchFolder folder;
    std::vector<std::string> songs = {dataPath("demo_song.txt"), dataPath("demo_song_saved.nmd")};
    std::mt19937 random(20261207);
    for (int i = 0; i < 40; ++i) {
        songs.push_back(folder.file("random" + std::to_string(i) + ".txt"));
        writeFile(songs.back(), randomSong(random));
    }
    const std::string saved = folder.file("saved.nmd");
    for (const std::string& song : songs) {
        const auto loadedThenSaved = exportTool({song, "--events", "--save", saved, "--events"});
        ASSERT_EQ(loadedThenSaved.exitCode, 0) << loadedThenSaved.err;
        const std::string reopened = exportTool({saved, "--events"}).out;
        EXPECT_EQ(loadedThenSaved.out, reopened + reopened) << fileText(song);
    }
}

// sox's "Maximum amplitude" of a stretch of a sound file, from -1 to 1: the
// command is completed around the effects that choose the stretch.
double maximumAmplitude(const std::string& file, std::vector<std::string> command)
{
    command.insert(command.begin(), {"sox", file, "-n"});
    command.push_back("stat");
    const std::string label = "Maximum amplitude:";
    for (const std::string& text : lines(runCommand(command).err))
        if (text.starts_with(label)) return std::stod(text.substr(label.size()));
    return -1.0;
}

// The audio file read back by libsndfile, written out again as 16-bit WAV
// for sox; false when libsndfile cannot read it as 44.1 kHz stereo.
bool decodeToWav(const std::string& from, const std::string& wav)
{
    SF_INFO info{};
    SNDFILE* in = sf_open(from.c_str(), SFM_READ, &info);
    if (!in) return false;
    const bool stereo = info.samplerate == 44100 && info.channels == 2 && info.frames > 0;
    SF_INFO out = info;
    out.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* written = sf_open(wav.c_str(), SFM_WRITE, &out);
    std::vector<short> samples(static_cast<std::size_t>(info.frames) * 2);
    const bool copied = written && sf_readf_short(in, samples.data(), info.frames) == info.frames &&
                        sf_writef_short(written, samples.data(), info.frames) == info.frames;
    sf_close(in);
    if (written) sf_close(written);
    return stereo && copied;
}

// The strongest line between 50 Hz and 2 kHz while the note sounds, as sox hears it.
double strongestFrequency(const std::string& wav)
{
    const auto spectrum =
        runCommand({"sox", wav, "-n", "remix", "1", "trim", "0.55", "0.4", "rate", "11025", "stat", "-freq"});
    double strongest = 0, power = -1;
    for (const std::string& text : lines(spectrum.err)) {
        std::istringstream in(text);
        double f = 0, p = 0;
        std::string rest;
        if (!(in >> f >> p) || (in >> rest) || f < 50 || f > 2000) continue;
        if (p > power) power = p, strongest = f;
    }
    return strongest;
}

TEST(ExportTool, AudioOfAnOcarinaQuarterNoteIsMiddleCAtHalfASecondInEveryFormat)
{
    if (!onPath("sox")) GTEST_SKIP() << "sox is not installed (package sox)";
    if (!fs::exists("/usr/share/sounds/sf2/default-GM.sf2"))
        GTEST_SKIP() << "no SoundFont (package fluid-soundfont-gm)";
    const ScratchFolder folder;
    // Column 1 is empty: the note starts at 500 ms.
    const std::string song = songFile(folder.path / "ocarina.nmd", {"N1X2C5Q,80"});
    // Lossy encoders add a little silence and noise of their own.
    for (const auto& [extension, lossless] :
         {std::pair{".wav", true}, {".flac", true}, {".ogg", false}, {".mp3", false}}) {
        SCOPED_TRACE(extension);
        const std::string file = folder.file(std::string("ocarina") + extension);
        ASSERT_EQ(exportTool({song, "-o", file}).exitCode, 0);
        if (extension != std::string(".mp3")) {  // which sox does not read
            for (const auto& [option, value] : {std::pair{"-r", "44100\n"}, {"-c", "2\n"}})
                EXPECT_EQ(runCommand({"soxi", option, file}).out, value) << option;
        }
        const std::string wav = file + ".decoded.wav";
        ASSERT_TRUE(decodeToWav(file, wav)) << "libsndfile cannot read it back as 44.1 kHz stereo";
        ASSERT_EQ(exportTool({song, "-o", file}).exitCode, 0);
        ASSERT_TRUE(decodeToWav(file, wav + ".again"));
        EXPECT_TRUE(fileText(wav) == fileText(wav + ".again")) << "the same song sounds different when exported again";
        constexpr double kMiddleC = 261.63;
        EXPECT_NEAR(strongestFrequency(wav), kMiddleC, kMiddleC * 0.03);
        if (!lossless) continue;
        constexpr double kDither = 3.0 / 32768;
        EXPECT_LE(maximumAmplitude(wav, {"trim", "0", "0.495"}), kDither);            // silent before the note
        EXPECT_GT(maximumAmplitude(wav, {"trim", "0.5", "0.02"}), 0.02);              // sounding within 20 ms of it
        EXPECT_LE(maximumAmplitude(wav, {"reverse", "trim", "0", "0.05"}), kDither);  // quiet once the release is over
    }
}

TEST(ExportTool, AnOutputThatCannotBeWrittenExitsWithOneAndLeavesTheOldFile)
{
    FullDisk disk;
    const ScratchFolder folder;
    // About 14 kB of project file, 12 kB of MIDI file and 13 MB of WAV file.
    std::vector<std::string> notes;
    for (int column = 1; column <= 1200; ++column) notes.push_back("N1X" + std::to_string(column) + "C5S");
    const std::string song = songFile(folder.path / "long.nmd", notes, "T960");
    // The arguments after the song, the last of them naming the output; the output's name; the error's start.
    const std::vector<std::tuple<std::vector<std::string>, std::string, std::string>> cases = {
        {{"--save"}, "song.nmd", "nimbel-export: cannot write '"},
        {{"-o"}, "song.mid", "nimbel-export: cannot write '"},
        {{"-o"}, "song.wav", "nimbel-export: cannot write '"},
        {{"--soundfont", folder.file("missing.sf2"), "-o"}, "song.wav", "nimbel-export: no SoundFont found at"},
    };
    for (const auto& [options, name, message] : cases) {
        SCOPED_TRACE(options.back() + " " + name);
        std::vector<std::string> arguments = {song};
        arguments.insert(arguments.end(), options.begin(), options.end());
        arguments.push_back(folder.file("no/such/folder/" + name));
        const auto missing = exportTool(arguments);
        EXPECT_EQ(missing.exitCode, 1);
        EXPECT_EQ(missing.err.rfind(message, 0), 0u) << missing.err;
        if (!disk.available() || options.size() > 1) continue;

        const fs::path target = disk.folder() / name;
        writeFile(target, "old");
        disk.leaveFree(8192);
        arguments.back() = target.string();
        const auto full = exportTool(arguments);
        EXPECT_EQ(full.exitCode, 1);
        EXPECT_EQ(full.err.rfind(message + target.string() + "'", 0), 0u) << full.err;
        EXPECT_EQ(fileText(target), "old");
        EXPECT_EQ(fileNames(disk.folder()), std::vector<std::string>{name});
        fs::remove(target);
    }
    if (!disk.available()) GTEST_SKIP() << "the full-disk cases: " << disk.reason();
}

}  // namespace
}  // namespace nimbel

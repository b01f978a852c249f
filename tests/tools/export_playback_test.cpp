// nimbel-export's playback outputs end to end: the event lines of a Play,
// the MIDI file as Debian's readers see it, and the rendered audio as sox
// hears it.
#include "export_run.h"

#include <cctype>
#include <map>

namespace nimbel {
namespace {

using CommandRun = testing::ToolRun;
namespace fs = std::filesystem;
using testing::lines;
using testing::onPath;
using testing::quoted;
using testing::shell;

constexpr double kMiddleC = 261.63;
constexpr double kDither = 3.0 / 32768;  // sox's amplitudes run from -1 to 1

class ExportPlayback : public testing::ExportToolTest {
protected:
    // A project file with the given note lines, as File Save writes them.
    std::string song(const std::string& name, const std::vector<std::string>& notes, const std::string& tempo = "T120")
    {
        std::ofstream out(path(name), std::ios::binary);
        out << ";Nimbel MIDI Format\r\n;Created 2001/02/03\r\nSTART\r\n" << tempo << "\r\n";
        for (const std::string& note : notes) out << note << "\r\n";
        out << "END\r\n";
        return path(name);
    }

    // sox's "Maximum amplitude" of a stretch of a sound file.
    double maximumAmplitude(const std::string& file, const std::string& effects)
    {
        const std::string label = "Maximum amplitude:";
        for (const std::string& text : lines(shell("sox " + quoted(file) + " -n " + effects + " stat 2>&1").out))
            if (text.starts_with(label)) return std::stod(text.substr(label.size()));
        return -1.0;
    }
};

TEST_F(ExportPlayback, EventsOfAQuarterNoteSong)
{
    // The rest on channel 2 only makes the song two columns long.
    const std::string file = song("quarter.nmd", {"N1X1C5Q", "N2X2R"});
    const CommandRun events = run({file, "--events"});
    ASSERT_EQ(events.status, 0);
    std::vector<std::string> expected;
    for (const char* channel : {"1", "2", "3", "4", "5", "6", "7", "8", "9", "A", "B", "C", "D", "E", "F"})
        expected.push_back(std::string("0 C") + channel + " 00 00");
    expected.insert(expected.end(), {"0 91 3C 46", "500 91 3C 00", "500 91 3C 00"});
    EXPECT_EQ(lines(events.out), expected);
}

// "<ms> <b0> <b1> <b2>": decimal milliseconds, then three upper-case hex bytes.
bool isEventLine(const std::string& text)
{
    const std::size_t digits = text.find_first_not_of("0123456789");
    if (digits == 0 || digits == std::string::npos || text.size() != digits + 9) return false;
    for (std::size_t at = digits; at < text.size(); at += 3)
        if (text[at] != ' ' || !std::isxdigit(static_cast<unsigned char>(text[at + 1])) ||
            !std::isxdigit(static_cast<unsigned char>(text[at + 2])) ||
            std::islower(static_cast<unsigned char>(text[at + 1])) ||
            std::islower(static_cast<unsigned char>(text[at + 2])))
            return false;
    return true;
}

TEST_F(ExportPlayback, EveryNoteOfTheDemonstrationSongIsEnded)
{
    const CommandRun events = run({testing::dataPath("demo_song.txt"), "--events"});
    ASSERT_EQ(events.status, 0);
    long last = 0;
    std::map<std::string, int> sounding;  // "<status> <note>" -> note-ons not yet ended
    int notes = 0;
    for (const std::string& text : lines(events.out)) {
        ASSERT_TRUE(isEventLine(text)) << text;
        std::istringstream in(text);
        std::string ms, status, note, velocity;
        in >> ms >> status >> note >> velocity;
        EXPECT_GE(std::stol(ms), last) << text;
        last = std::stol(ms);
        if (status[0] != '9') continue;
        const std::string key = status + " " + note;
        if (velocity != "00") {
            ++sounding[key];
            ++notes;
        } else {
            sounding[key] = 0;
        }
    }
    EXPECT_GT(notes, 15);
    for (const auto& [key, count] : sounding) EXPECT_EQ(count, 0) << key << " is left sounding";
}

TEST_F(ExportPlayback, MidiFileMatchesTheEventsForMidicsvAndMido)
{
    if (!onPath("midicsv")) GTEST_SKIP() << "midicsv is not installed (package midicsv)";
    const std::string file = song("tune.nmd", {"N1X1C5Q,74", "N2X1G4E", "N1X2D5H", "N10X3V9C3S", "N1X4R"}, "T70");
    const CommandRun events = run({file, "--events"});
    const CommandRun written = run({file, "-o", path("tune.mid")});
    ASSERT_EQ(events.status, 0);
    ASSERT_EQ(written.status, 0);

    // Each event line as midicsv writes that event: ticks are milliseconds.
    std::vector<std::string> expected = {"0, 0, Header, 0, 1, 857", "1, 0, Start_track", "1, 0, Tempo, 857000"};
    std::string lastMs = "0";
    for (const std::string& text : lines(events.out)) {
        std::istringstream in(text);
        std::string ms;
        unsigned status = 0, data1 = 0, data2 = 0;
        in >> ms >> std::hex >> status >> data1 >> data2;
        const std::string channel = std::to_string(status & 0x0F);
        if ((status & 0xF0) == 0xC0)
            expected.push_back("1, " + ms + ", Program_c, " + channel + ", " + std::to_string(data1));
        else
            expected.push_back("1, " + ms + ", Note_on_c, " + channel + ", " + std::to_string(data1) + ", " +
                               std::to_string(data2));
        lastMs = ms;
    }
    expected.push_back("1, " + lastMs + ", End_track");
    expected.push_back("0, 0, End_of_file");
    EXPECT_EQ(lines(shell("midicsv " + quoted(path("tune.mid"))).out), expected);

    const std::string python = "/usr/bin/python3";
    if (shell(python + " -c 'import mido' 2>/dev/null").status != 0) GTEST_SKIP() << "python3-mido is not installed";
    const CommandRun mido = shell(python + " -c \"import mido; m = mido.MidiFile('" + path("tune.mid") +
                                  "'); print(m.type, m.ticks_per_beat, round(m.length * 1000))\"");
    EXPECT_EQ(mido.out, "0 857 " + lastMs + "\n");
}

TEST_F(ExportPlayback, WavOfAnOcarinaQuarterNoteIsMiddleCAtHalfASecondAndEndsQuiet)
{
    if (!onPath("sox")) GTEST_SKIP() << "sox is not installed (package sox)";
    if (!fs::exists("/usr/share/sounds/sf2/default-GM.sf2"))
        GTEST_SKIP() << "no SoundFont (package fluid-soundfont-gm)";
    const std::string file = song("ocarina.nmd", {"N1X2C5Q,80"});  // column 1 empty: the note starts at 500 ms
    const CommandRun events = run({file, "--events"});
    ASSERT_EQ(lines(events.out).at(16), "500 91 3C 46");
    const std::string wav = path("ocarina.wav");
    ASSERT_EQ(run({file, "-o", wav}).status, 0);

    EXPECT_EQ(shell("soxi -r " + quoted(wav)).out, "44100\n");
    EXPECT_EQ(shell("soxi -c " + quoted(wav)).out, "2\n");
    EXPECT_EQ(shell("soxi -b " + quoted(wav)).out, "16\n");

    // Strongest line between 50 Hz and 2 kHz during the note (the recipe's
    // stat -freq listing: frequency and power per line).
    const CommandRun spectrum = shell("sox " + quoted(wav) + " -n remix 1 trim 0.55 0.4 rate 11025 stat -freq 2>&1");
    double strongest = 0, power = -1;
    for (const std::string& text : lines(spectrum.out)) {
        std::istringstream in(text);
        double f = 0, p = 0;
        std::string rest;
        if (!(in >> f >> p) || (in >> rest) || f < 50 || f > 2000) continue;
        if (p > power) {
            power = p;
            strongest = f;
        }
    }
    EXPECT_NEAR(strongest, kMiddleC, kMiddleC * 0.03);

    EXPECT_LE(maximumAmplitude(wav, "trim 0 0.495"), kDither);         // silent before the note
    EXPECT_GT(maximumAmplitude(wav, "trim 0.5 0.02"), 0.02);           // sounding within 20 ms of it
    EXPECT_LE(maximumAmplitude(wav, "reverse trim 0 0.05"), kDither);  // quiet once the release is over
}

TEST_F(ExportPlayback, SoundFontOptionPicksTheSoundFont)
{
    const std::string small = "/usr/share/sounds/sf2/TimGM6mb.sf2";
    if (!fs::exists(small)) GTEST_SKIP() << "no small SoundFont (package timgm6mb-soundfont)";
    EXPECT_EQ(run({song("one.nmd", {"N1X1C5Q"}), "--soundfont", small, "-o", path("small.wav")}).status, 0);
    EXPECT_GT(fs::file_size(path("small.wav")), 44u);
}

TEST_F(ExportPlayback, OutputsThatCannotBeMadeFailWithTheirReason)
{
    const std::string file = song("one.nmd", {"N1X1C5Q"});
    const std::vector<std::pair<std::vector<std::string>, std::pair<int, std::string>>> cases = {
        {{file, "-o", path("none.wav"), "--soundfont", path("missing.sf2")}, {1, "no SoundFont found at"}},
        {{file, "-o", path("song.mp3")}, {2, "must end in .mid or .wav"}},
        {{file, "-o", path("no/such/folder/song.mid")}, {1, "cannot write"}},
    };
    for (const auto& [arguments, expected] : cases) {
        const CommandRun failed = run(arguments);
        EXPECT_EQ(failed.status, expected.first) << expected.second;
        EXPECT_NE(failed.err.find(expected.second), std::string::npos) << failed.err;
    }
}

}  // namespace
}  // namespace nimbel

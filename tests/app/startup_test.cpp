// Start-up and shutdown of the whole program in a temporary program folder.
#include "program_fixture.h"

#include "demo_song.h"
#include "main_loop.h"
#include "program_ids.h"
#include "song_columns.h"

namespace nimbel {
namespace {

using testing_support::fileText;
using testing_support::ProgramTest;
namespace fs = std::filesystem;

using StartUp = ProgramTest;

TEST_F(StartUp, FirstRunInAnEmptyFolderWritesAndShowsTheDemonstrationSong)
{
    ASSERT_TRUE(startUp(program));
    EXPECT_EQ(fileText(folder / "MIDI.txt"), demoSongText());
    EXPECT_FALSE(fs::exists(folder / "NimbelMIDI.ini")) << "start-up never writes the settings file";
    EXPECT_EQ(desktop.windowTitle(kMainWindow), "Nimbel MIDI - MIDI.txt");
    EXPECT_EQ(program.project.currentPath, folder.string() + "/MIDI.txt");
    EXPECT_FALSE(program.project.changed);
    EXPECT_FALSE(program.project.isNew);
    EXPECT_EQ(program.song.grid.cellText(0, 0), "1 T120");
    EXPECT_EQ(program.song.grid.cellText(0, gridColumnOf(1)), "C8Q,10");
    EXPECT_EQ(program.song.grid.cellText(1, kVoiceColumn), "Flute");
    EXPECT_EQ(program.song.tempo, 120);
    EXPECT_EQ(desktop.trackBarMaximum(kMainWindow, kPositionTrackBar), noteColumnOf(findEndColumn(program.song.grid)));
    EXPECT_EQ(desktop.gadgetText(kMainWindow, kNoteCounter), "1");
    EXPECT_EQ(program.sequencer.state().playColumn, 0);
    EXPECT_FALSE(program.song.noteListStale);
    EXPECT_EQ(program.selectionColor, 991984u);
    EXPECT_TRUE(program.output.isOpen());
    EXPECT_TRUE(sent.empty()) << "nothing is sent when the output opens";
    EXPECT_EQ(script.messages().size(), 0u);
}

TEST_F(StartUp, SecondRunLoadsTheExistingSongUnchangedAndTheSettingsFilesColour)
{
    const std::string saved = "START\r\nT90\r\nN3X2E4H\r\nEND\r\n";
    std::ofstream(folder / "MIDI.txt", std::ios::binary) << saved;
    std::ofstream(folder / "NimbelMIDI.ini", std::ios::binary)
        << "; colours\r\nOther = 7\r\nselcolor = 255\r\n[Group]\r\n";
    ASSERT_TRUE(startUp(program));
    EXPECT_EQ(fileText(folder / "MIDI.txt"), saved);
    EXPECT_EQ(program.song.grid.cellText(2, gridColumnOf(2)), "E4H");
    EXPECT_EQ(program.song.tempo, 90);
    EXPECT_EQ(desktop.windowTitle(kMainWindow), "Nimbel MIDI - MIDI.txt");
    EXPECT_EQ(program.selectionColor, 255u);
}

TEST_F(StartUp, AFolderWhereTheSongWouldBeIsLeftAloneAndAnEmptySongShown)
{
    fs::create_directories(folder / "MIDI.txt");
    ASSERT_TRUE(startUp(program));
    EXPECT_TRUE(fs::is_directory(folder / "MIDI.txt"));
    EXPECT_EQ(program.song.grid.cellText(0, gridColumnOf(1)), "");
    EXPECT_EQ(desktop.windowTitle(kMainWindow), "Nimbel MIDI - MIDI.txt");
}

// Opens through another device list and notes whether a window existed then.
class WatchedDevices final : public MidiDevices {
public:
    WatchedDevices(MidiDevices& inner, Desktop& desktop) : inner_(inner), desktop_(desktop) {}
    int count() override { return inner_.count(); }
    std::optional<MidiDeviceCaps> capabilities(int index) override { return inner_.capabilities(index); }
    std::unique_ptr<MidiPort> open(int index) override
    {
        windowAtOpen = desktop_.windowExists(kMainWindow);
        return inner_.open(index);
    }
    bool windowAtOpen = true;

private:
    MidiDevices& inner_;
    Desktop& desktop_;
};

TEST_F(StartUp, OpensTheMidiOutputBeforeTheMainWindowExists)
{
    WatchedDevices watched(devices, desktop);
    Program watchedProgram(desktop, watched, clock, folder.string() + "/");
    ASSERT_TRUE(startUp(watchedProgram));
    EXPECT_FALSE(watched.windowAtOpen);
    EXPECT_EQ(devices.opened(), std::vector<int>{-1});
    shutDown(watchedProgram);
}

TEST_F(StartUp, WithoutAUsableOutputShowsTheErrorAndEndsWithCodeZeroBeforeAnyWindow)
{
    RecordingMidiDevices none(clock, sent, {RecordingDevice{MidiDeviceCaps{"mapper", 0}, false}});
    script.expectMessage(MessageReply::ok);
    EXPECT_EQ(runProgram(desktop, none, clock, folder.string() + "/"), 0);
    ASSERT_EQ(script.messages().size(), 1u);
    const ShownMessage& error = script.messages()[0];
    EXPECT_EQ(error.title, "Error");
    EXPECT_EQ(error.text, "Unable to open MIDI output");
    EXPECT_EQ(error.icon, MessageIcon::error);
    EXPECT_EQ(error.buttons, MessageButtons::ok);
    EXPECT_FALSE(desktop.windowExists(kMainWindow));
    EXPECT_TRUE(fs::exists(folder / "MIDI.txt")) << "the song is written before the output is tried";
}

TEST_F(StartUp, ShutdownEndsSoundingNotesClosesTheOutputAndEveryWindow)
{
    ASSERT_TRUE(startUp(program));
    program.output.noteOn(1, 60, 70);
    shutDown(program);
    EXPECT_FALSE(program.output.isOpen());
    EXPECT_FALSE(desktop.windowExists(kMainWindow));
    EXPECT_EQ(sent.back().packed, 0x003C91u);
    EXPECT_FALSE(fs::exists(folder / "NimbelMIDI.ini"));
}

TEST_F(StartUp, RunProgramEndsWithCodeZeroAfterFileExit)
{
    desktop.postEvent(menuEvent(kMainWindow, kFileExit));
    EXPECT_EQ(runProgram(desktop, devices, clock, folder.string() + "/"), 0);
    EXPECT_FALSE(desktop.windowExists(kMainWindow));
}

}  // namespace
}  // namespace nimbel

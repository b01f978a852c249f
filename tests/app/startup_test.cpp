// Start-up and shutdown of the whole program in a temporary program folder:
// the demonstration song and the settings file beside the program, also on
// a disk that is full, the start-up error, the song a killed copy left
// offered at start, and what shutdown ends; where the settings text keeps
// the selection colour (its numbers read as the decimal reader's table says).
#include "program_fixture.h"

#include "support/ended_process.h"
#include "support/full_disk.h"

#include "demo_song.h"
#include "recovery_store.h"
#include "settings_file.h"
#include "song_columns.h"

namespace nimbel {
namespace {

using namespace testing_support;

using StartUp = ProgramTest;

TEST_F(StartUp, FirstRunShowsTheDemonstrationSongAndShutdownEndsItsNotesTheOutputAndTheWindows)
{
    ASSERT_TRUE(startUp(program));
    EXPECT_EQ(program.song.grid.cellText(0, gridColumnOf(1)), "C8Q,10");
    EXPECT_EQ(program.song.grid.cellText(1, kVoiceColumn), "Flute");
    EXPECT_TRUE(sent.empty()) << "nothing is sent when the output opens";
    program.output.noteOn(1, 60, 70);
    shutDown(program);
    EXPECT_FALSE(program.output.isOpen());
    EXPECT_FALSE(desktop.windowExists(kMainWindow));
    EXPECT_EQ(sent.back().packed, 0x003C91u);
    EXPECT_EQ(fileNames(folder), std::vector<std::string>{"MIDI.txt"}) << "neither writes the settings file";
}

TEST_F(StartUp, SecondRunLoadsTheExistingSongAndTheSettingsFilesColour)
{
    writeFile(folder / "MIDI.txt", "START\r\nT90\r\nN3X2E4H\r\nEND\r\n");
    writeFile(folder / "NimbelMIDI.ini", "; colours\r\nOther = 7\r\nselcolor = 255\r\n[Group]\r\nSelColor = 7\r\n");
    ASSERT_TRUE(startUp(program));
    EXPECT_EQ(program.song.grid.cellText(2, gridColumnOf(2)), "E4H");
    EXPECT_EQ(program.song.tempo, 90);
    EXPECT_EQ(program.selectionColor, 255u);
}

TEST_F(StartUp, WithoutAUsableOutputShowsTheErrorAndEndsWithCodeZeroBeforeAnyWindow)
{
    RecordingMidiDevices none(clock, sent, {RecordingDevice{MidiDeviceCaps{"mapper", 0}, false}});
    script.expectMessage(MessageReply::ok);
    EXPECT_EQ(runProgram(desktop, none, clock, program.folders, ""), 0);
    ASSERT_EQ(script.messages().size(), 1u);
    EXPECT_EQ(shownBox(script.messages()[0]),
              std::tuple("Error", "Unable to open MIDI output", MessageIcon::error, MessageButtons::ok));
    EXPECT_FALSE(desktop.windowExists(kMainWindow));
    EXPECT_TRUE(std::filesystem::exists(folder / "MIDI.txt")) << "the song is written before the output is tried";
}

TEST_F(StartUp, TheProgramOffersTheSongAKilledCopyLeftAndItsChangesAreAskedAboutOnLeaving)
{
    const RecoveryStore killed(recoveryFolder.directory(), endedProcess());
    ASSERT_TRUE(killed.write(";Nimbel MIDI Format\r\nSTART\r\nN1X1E\r\nEND\r\n", {"", true, {}}));
    for (const MessageReply answer : {MessageReply::yes, MessageReply::no}) script.expectMessage(answer);
    driver.act([&] { EXPECT_EQ(driver.windowTitle(kMainWindow), "Nimbel MIDI - New Project *"); });
    driver.post(menuEvent(kMainWindow, kFileExit));
    EXPECT_EQ(runProgram(desktop, devices, clock, program.folders, ""), 0);
    ASSERT_EQ(script.messages().size(), 2u);
    EXPECT_TRUE(script.messages()[0].text.starts_with("Unsaved changes to a new song from "));
    EXPECT_EQ(script.messages()[1].text, "Your new music file has changed.\nDo you wish to save changes?");
    EXPECT_TRUE(fileNames(recoveryFolder.path).empty()) << "the restored file goes with the changes";
}

TEST(FilesBesideTheProgram, AFullDiskLeavesNoHalfWrittenDemonstrationSongOrSettingsFile)
{
    testing_support::FullDisk disk;
    if (!disk.available()) GTEST_SKIP() << disk.reason();
    const std::string folder = disk.folder().string() + "/";
    // Settings the rewrite keeps, longer than the space left.
    std::string settings = "SelColor = 255\r\n";
    for (int i = 0; i < 500; ++i) settings += "; a comment the rewrite keeps, line " + std::to_string(i) + "\r\n";
    writeFile(folder + "NimbelMIDI.ini", settings);
    disk.leaveFree(0);

    ensureDemoSong(folder);
    EXPECT_FALSE(saveSetting(folder + "NimbelMIDI.ini", kSelectionColorKey, 7));
    EXPECT_EQ(fileNames(disk.folder()), std::vector<std::string>{"NimbelMIDI.ini"}) << "the next start writes the song";
    EXPECT_EQ(fileText(folder + "NimbelMIDI.ini"), settings);

    disk.leaveFree(8192);
    EXPECT_FALSE(saveSetting(folder + "NimbelMIDI.ini", kSelectionColorKey, 7));  // fails half way
    EXPECT_EQ(fileText(folder + "NimbelMIDI.ini"), settings);
    ensureDemoSong(folder);
    EXPECT_EQ(fileText(folder + "MIDI.txt"), demoSongText());
}

TEST(SettingsFile, ReadsTheKeyBeforeTheFirstGroupInAnyCaseInDecimalDigitsOnly)
{
    const std::pair<const char*, std::optional<std::int32_t>> cases[] = {
        {"[Window]\r\nSelColor = 255\r\n", std::nullopt}, {"SELCOLOR=  42xyz\n", 42}, {"SelColor = $FF\r\n", 0}};
    for (const auto& [text, value] : cases) EXPECT_EQ(settingFromText(text, kSelectionColorKey), value) << text;
}

}  // namespace
}  // namespace nimbel

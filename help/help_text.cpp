#include "help_text.h"

#include "help_topics.h"

namespace nimbel {

namespace help_topics {

namespace {

// The outline of the other topics. It ends without a line break.
constexpr std::string_view kContents =
    "Contents:\r\n"
    "\r\n"
    "These areas are available from the Help Menu\r\n"
    "\r\n"
    "The Help Window's own Help menu opens each of them: Note Settings opens area 3 and Channel View area 4. The Help "
    "buttons of the Note Window and the Channel Window open their areas too.\r\n"
    "\r\n"
    "1 - Overview\r\n"
    "\tNimbel MIDI is a small composer for MIDI music. A song is a grid of 15 channels (the rows) by numbered note "
    "columns, one column to a beat. Each cell holds one note, written as a short text such as C, F#, V7G4Q or R.\r\n"
    "\tYou write notes in the main window's grid, in the Note Window or in the Channel Window; you play the whole "
    "song, or one channel of it, through the built-in synthesizer or a MIDI port; and you keep the song in a plain "
    "text file (.nmd).\r\n"
    "\tThe Quick Start Guide in the Help menu walks through a first song.\r\n"
    "2 - Main Window\r\n"
    "\t2.1 File Menu\r\n"
    "\t2.2 Edit Menu\r\n"
    "\t2.3 Selection Menu\r\n"
    "\t2.4 Music Menu\r\n"
    "\t2.5 View Menu\r\n"
    "\t2.6 Help Menu\r\n"
    "\t2.7 Tool Bar\r\n"
    "\t2.8 Work Area Special Features\r\n"
    "\t2.9 Keyboard\r\n"
    "3 - Note Window\r\n"
    "\t3.1 Volume\r\n"
    "\t3.2 Octave\r\n"
    "\t3.3 Note\r\n"
    "\t3.4 Voice\r\n"
    "\t3.5 Duration\r\n"
    "\t3.6 Flags\r\n"
    "\t3.7 Text\r\n"
    "4 - Channel Window\r\n"
    "\t4.1 Placing Notes\r\n"
    "\t4.2 Note Duration\r\n"
    "\t4.3 Playing Music\r\n"
    "\t4.4 Known Issues\r\n"
    "5 - Credits\r\n"
    "6 - About Nimbel MIDI\r\n"
    "7 - File Format";

constexpr std::string_view kQuickStart =
    "Quick Start Guide\r\n"
    "\r\n"
    "1. Start Nimbel MIDI. It opens its demonstration song, a short tune. Press Play (the triangle on the tool bar) to "
    "hear it and Stop (the square) to end it.\r\n"
    "2. Choose File > New. If the song has changes that are not saved, you are asked whether to save them first. The "
    "grid empties and keeps its columns; the new song plays at 120 beats a minute.\r\n"
    "3. Double-click the first note cell of channel 1: row 1, in the column titled 1. The Note Window opens.\r\n"
    "4. Type several notes into the Full Text field, separated by single spaces, for example:\r\n"
    "\tC D E F G G A A G\r\n"
    "\tWrite a sharp as # after the letter (F#) and a flat as b after the letter (Eb, Bb). Capital letters are "
    "clearest; OK turns small letters into capitals anyway.\r\n"
    "5. Press OK. The notes fill the row from left to right, one note to a column, and every column is one beat. The "
    "song grows by the columns the notes need.\r\n"
    "6. Double-click the first note again. Empty the Full Text field, then choose Note C, Volume 7, Octave 4 and a "
    "Voice, for example Flute. Press Add to see the text these settings make (V74C,74), then press OK. The later notes "
    "of the channel take over the new volume, octave and voice, and the channel's Voice, Volume and Octave cells show "
    "them.\r\n"
    "7. Press Play. The song plays from the column the track bar shows, and the note counter and the track bar follow "
    "the music. Pause holds it; Stop takes it back to the first column.\r\n"
    "8. Choose File > Save As and type a name ending in .nmd. The program adds no extension of its own, and asks "
    "before replacing a file of the same name.\r\n"
    "\r\n"
    "The same from the keyboard: Ctrl+N for a new song; the framed cell is the cursor, at channel 1, column 1. Type "
    "C D E F G and Return: the notes go in and the cursor moves past them. Down and Home go to channel 2, column 1, "
    "for a bass line: C3H G3H and Return. Space plays and pauses, Ctrl+Z undoes, Ctrl+Y redoes, Ctrl+S saves.\r\n"
    "\r\n"
    "Next steps:\r\n"
    "\tClick a note cell to select it; the Edit menu then cuts, copies, pastes and deletes. Undo takes back one change "
    "at a time.\r\n"
    "\tView > Channel 1 shows channel 1 as a one-octave chart, where a click places a note and a right click changes "
    "its length.\r\n"
    "\tMusic > Tempo sets the tempo in beats a minute (120 at first); a song that plays takes it from its next "
    "column on. The saved file keeps it after T (T120), as the File Format topic explains.\r\n";

}  // namespace

std::string_view contents() { return kContents; }
std::string_view quickStart() { return kQuickStart; }

}  // namespace help_topics

std::string_view helpTopicText(HelpTopic topic)
{
    switch (topic) {
    case HelpTopic::contents: return help_topics::contents();
    case HelpTopic::mainWindow: return help_topics::mainWindow();
    case HelpTopic::quickStart: return help_topics::quickStart();
    case HelpTopic::fileFormat: return help_topics::fileFormat();
    case HelpTopic::credits: return help_topics::credits();
    case HelpTopic::about: return help_topics::about();
    case HelpTopic::noteWindow: return help_topics::noteWindow();
    case HelpTopic::channelWindow: return help_topics::channelWindow();
    }
    return {};
}

std::string_view helpTitle(std::string_view topicText) { return topicText.substr(0, topicText.find_first_of("\r\n")); }

}  // namespace nimbel

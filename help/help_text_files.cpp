// The topics about the program itself: its song files, the work it stands
// on, and its version.
#include "help_topics.h"

#include "nimbel_version.h"

#include <array>
#include <cstddef>
#include <initializer_list>

namespace nimbel::help_topics {

namespace {

// The example files here are loaded and played by the help tests, which hold the
// notes the line-by-line explanation describes: change the three together.
constexpr std::string_view kFileFormat =
    "File Format:\r\n"
    "\r\n"
    "Nimbel MIDI keeps a song in a plain text file, as a rule with the extension .nmd. Any text editor can read and "
    "change it. Open also reads songs written by hand in an older, shorter form, such as the demonstration song; the "
    "end of this topic shows that form.\r\n"
    "\r\n"
    "Keywords and letters (small letters read as capitals):\r\n"
    "\tSTART - the music begins on the next line; the lines before it are not read.\r\n"
    "\t; or ' - a line beginning with one of them is a comment, anywhere in the file.\r\n"
    "\tEND - the music ends; nothing after it is read. A file without END is read to its last line.\r\n"
    "\tspaces and | - notes on a line are separated by spaces. | is a bar line: it separates notes like a space and "
    "takes no time.\r\n"
    "\tT and a number - the tempo in beats a minute (a note column is one beat): T120. A tempo below 1 is not used; of "
    "several, the last one counts.\r\n"
    "\tN and a number - the channel, 1 to 15; it must be the first letter of the note.\r\n"
    "\tX and a number - the note column, 1 to 65535, directly after the channel number.\r\n"
    "\tV and a digit - the volume, 1 (soft) to 9 (loud). A channel starts at 5; V0 counts as no volume.\r\n"
    "\t+ and - - one volume step louder or softer.\r\n"
    "\t0 to 9 - the octave; C5 is middle C (MIDI note 60). 0 counts as no octave.\r\n"
    "\t> and < - one octave higher or lower.\r\n"
    "\tA C D E F G - the note letter. B alone is the note B.\r\n"
    "\tR - a rest: the channel is silent for that beat.\r\n"
    "\t# and b - sharp and flat, after the note letter: F#, Eb. Bb is B flat, B# is B sharp.\r\n"
    "\tW H Q E S T F - the duration: whole note (4 beats), half (2), quarter (1), eighth (1/2), sixteenth (1/4), "
    "thirty-second (1/8), sixty-fourth (1/16).\r\n"
    "\t. and D - the note lasts half as long again (times 1.5); both together times 2.25.\r\n"
    "\t, and a number - the voice: the General MIDI instrument 1 to 128, for example 1 Acoustic Grand Piano, 41 "
    "Violin, 74 Flute.\r\n"
    "\r\n"
    "How notes carry on:\r\n"
    "\tA note that gives no volume, octave, duration or voice keeps the channel's last one, and + - > < change the "
    "channel's volume or octave for its later notes too. Give each channel's first note a duration.\r\n"
    "\tIn a file each of + - > < counts once in a note, however often it is repeated; in a grid cell every repeat "
    "counts.\r\n"
    "\tA note column lasts one beat. A note shorter than a beat ends within its column; a longer one is ended when the "
    "next column begins, except in the song's last column. A channel sounds one note at a time.\r\n"
    "\tA note holds one note letter. Where a note holds several of A C D E F G, the one latest in that order is the "
    "note: CE is the note E, not an eighth C. So E and F count as durations only after a later letter (E after F or G, "
    "F after G), and D lengthens only after E, F or G; after other letters write a dot. An eighth A, C or D takes its "
    "duration from the note before it: GE C plays two eighth notes.\r\n"
    "\r\n"
    "An example: a short tune for flute over a bass.\r\n"
    "\r\n"
    ";Nimbel MIDI Format\r\n"
    ";Created 2026/03/01\r\n"
    "START\r\n"
    "T100\r\n"
    "N1X1V6C5Q,74\r\n"
    "N2X1V4C3H,33\r\n"
    "N1X2D\r\n"
    "N1X3E\r\n"
    "N2X3G\r\n"
    "N1X4GE.\r\n"
    "N1X5R\r\n"
    "N1X6F#\r\n"
    "N2X6D>\r\n"
    "N1X7G<S\r\n"
    "N1X8EB+\r\n"
    "END\r\n"
    "\r\n"
    "Line by line:\r\n"
    "\t;Nimbel MIDI Format - a comment; the program writes it first, to mark its files.\r\n"
    "\t;Created 2026/03/01 - a comment with the date the file was saved.\r\n"
    "\tSTART - the music begins.\r\n"
    "\tT100 - tempo 100: each note column lasts 0.6 seconds.\r\n"
    "\tN1X1V6C5Q,74 - channel 1, note column 1: volume 6, octave 5, the note C, a quarter note, voice 74 (Flute).\r\n"
    "\tN2X1V4C3H,33 - channel 2, column 1: volume 4, octave 3, C, a half note, voice 33 (Acoustic Bass). It starts "
    "together with the flute's C and, being longer than a beat, ends when column 2 begins.\r\n"
    "\tN1X2D - channel 1, column 2: D. Volume, octave, duration and voice carry on from the note before.\r\n"
    "\tN1X3E - channel 1, column 3: E.\r\n"
    "\tN2X3G - channel 2, column 3: G, still in octave 3 at volume 4. Channel 2 was silent in column 2.\r\n"
    "\tN1X4GE. - G, an eighth note lengthened by half: it sounds for three quarters of the beat.\r\n"
    "\tN1X5R - a rest: channel 1 is silent in column 5.\r\n"
    "\tN1X6F# - F sharp, an eighth note again (the dot lengthened only the G): it sounds for half the beat.\r\n"
    "\tN2X6D> - channel 2, column 6: D one octave higher, so channel 2 is in octave 4 from here on.\r\n"
    "\tN1X7G<S - G one octave lower, so channel 1 is in octave 4 from here on; a sixteenth note.\r\n"
    "\tN1X8EB+ - E flat, one step louder: volume 7 from here on, still a sixteenth. Column 8 is the song's last.\r\n"
    "\tEND - the end of the music.\r\n"
    "\r\n"
    "The program writes one note to a line, column by column and within a column channel by channel. A note text that "
    "begins with a digit is kept apart from the column number by a \";\": N1X3;5C is a C in octave 5.\r\n"
    "\r\n"
    "The same tune without the bass, written by hand in the shorter form:\r\n"
    "\r\n"
    "START\r\n"
    "t100 v6c5q,74 d e | ge. r f# | g<s eb+\r\n"
    "END\r\n"
    "\r\n"
    "\tIn this form the notes simply follow each other: each note takes the next note column, and the tempo takes "
    "none.\r\n"
    "\tA number at the start of a note names its channel: 2C plays C on channel 2, in the next column. So do not begin "
    "a note with its octave here: write C5, not 5C.\r\n"
    "\tA note with several voices, such as C,41,74, plays on channels 1, 2 and so on with those voices, and the notes "
    "after it play on all those channels too, up to the next note with a comma.\r\n";

constexpr std::string_view kCredits =
    "Credits\r\n"
    "\r\n"
    "The note notation of Nimbel MIDI grew out of an older plain-text way of writing music, in which a tune is typed "
    "as a line of short words made of note letters, octave digits, length letters and marks. The hand-written song "
    "form that Open still reads comes from it. Our thanks go to everyone who shaped that notation and kept it in "
    "use.\r\n"
    "\r\n"
    "Nimbel MIDI stands on these libraries and sounds, each under its own licence:\r\n"
    "\tQt 6 - windows, menus and controls. GNU Lesser General Public License version 3 (Qt is also offered under the "
    "GNU General Public License version 2).\r\n"
    "\tFluidSynth - the built-in synthesizer. GNU Lesser General Public License version 2.1 or later.\r\n"
    "\tALSA library - MIDI output to the ports of the ALSA sequencer. GNU Lesser General Public License version 2.1 or "
    "later.\r\n"
    "\tPulseAudio client library - sound output to the desktop's sound server. GNU Lesser General Public License "
    "version 2.1 or later.\r\n"
    "\tlibsndfile - the WAV, FLAC, Ogg Vorbis and MP3 files of nimbel-export. GNU Lesser General Public License "
    "version 2.1 or later; the encoders it uses (FLAC, Vorbis, LAME, mpg123) each under their own free licence.\r\n"
    "\tFluidR3_GM General MIDI SoundFont, as Debian packs it (fluid-soundfont-gm) - the instrument sounds. MIT "
    "licence.\r\n"
    "\tTimGM6mb General MIDI SoundFont, as Debian packs it (timgm6mb-soundfont) - a smaller set of instrument sounds, "
    "used when the larger one is not installed. GNU General Public License version 2.\r\n"
    "\tOn Debian each package's licence is in /usr/share/doc/<package>/copyright.\r\n"
    "\r\n"
    "Thanks to the people who write and look after these libraries and sounds, and to everyone who tries Nimbel MIDI "
    "and says what goes wrong.\r\n";

// The About text is joined with the version at compile time, so that it is
// one constant text like the others.
constexpr std::string_view kAboutUpToVersion =
    "About Nimbel MIDI\r\n"
    "\r\n"
    "Nimbel MIDI, version ";
constexpr std::string_view kVersion = kNimbelVersion;
constexpr std::string_view kAboutAfterVersion =
    "\r\n"
    "Copyright (C) 2026 the Nimbel MIDI developers\r\n"
    "\r\n"
    "Nimbel MIDI came about as a quick way to write music the way one writes text: every note a short word in a grid "
    "of channels and beats, heard at once, and kept in a plain file that any text editor can open.\r\n"
    "\r\n"
    "Licence: Nimbel MIDI is free to use, copy, change and share. It comes with no warranty of any kind; use it at "
    "your own risk. The libraries and sounds it uses keep their own licences (see Credits).\r\n"
    "\r\n"
    "Mended in this version:\r\n"
    "\tA song sounds the same whether it was just opened, edited, or saved and opened again.\r\n"
    "\tThe Note Window offers only the durations that can follow the chosen note, takes the keyboard in Full "
    "Text, and answers Return and Escape.\r\n"
    "\tFiles that are not songs are refused, never overwritten, and Save As asks before replacing a file.\r\n"
    "\tNew and Open start Play at the first column.\r\n"
    "\tUnsaved changes survive a crash or a killed program: the next start offers them back. The title marks them "
    "with \" *\".\r\n"
    "\tThe first column's notes show their channel's voice, volume and octave as they play.\r\n"
    "\r\n"
    "The changes of every version are listed in the file NEWS, installed with the program (for example in "
    "/usr/local/share/doc/nimbel-midi/).\r\n";

template <std::size_t Size>
consteval std::array<char, Size> joinedText(std::initializer_list<std::string_view> parts)
{
    std::array<char, Size> text{};
    std::size_t at = 0;
    for (const std::string_view part : parts)
        for (const char c : part) text[at++] = c;
    return text;
}

constexpr auto kAbout = joinedText<kAboutUpToVersion.size() + kVersion.size() + kAboutAfterVersion.size()>(
    {kAboutUpToVersion, kVersion, kAboutAfterVersion});

}  // namespace

std::string_view fileFormat() { return kFileFormat; }
std::string_view credits() { return kCredits; }
std::string_view about() { return {kAbout.data(), kAbout.size()}; }

}  // namespace nimbel::help_topics

// What importing a MIDI file changed to fit the song, counted, and how the
// program and the export tool say it. Nothing is said when nothing changed.
#pragma once

#include <cstddef>
#include <string>

namespace nimbel {

struct ImportReport {
    std::size_t notesMoved = 0;           // started farther than a twentieth of a column from their column
    std::size_t chordNotesMoved = 0;      // put on a channel the file leaves unused
    std::size_t droppedNoChannel = 0;     // chord notes, or notes of MIDI channel 0, with no channel left
    std::size_t droppedTooLow = 0;        // below the lowest note a song can play (11)
    std::size_t droppedPastEnd = 0;       // past the song's last possible note column
    std::size_t tempoChangesIgnored = 0;  // the song keeps the file's first tempo
    std::size_t controllersIgnored = 0;   // controllers, pitch bends and pressure

    std::size_t notesDropped() const { return droppedNoChannel + droppedTooLow + droppedPastEnd; }
    bool empty() const;
};

// For a message box: a first line, then one line per kind of change, with
// its count; lines separated by single line feeds.
std::string importReportMessage(const ImportReport& report);

// The same in one line without a line end, for a warning on standard error.
std::string importReportLine(const ImportReport& report);

}  // namespace nimbel

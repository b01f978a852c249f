#include "import_report.h"

#include "song_columns.h"

#include <vector>

namespace nimbel {

namespace {

constexpr const char* kLead = "The MIDI file was changed to fit the song:";

std::string counted(std::size_t count, const std::string& one, const std::string& many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::vector<std::string> changes(const ImportReport& report)
{
    std::vector<std::string> lines;
    if (report.notesMoved > 0)
        lines.push_back(counted(report.notesMoved, "note moved", "notes moved") + " to the nearest note column");
    if (report.chordNotesMoved > 0)
        lines.push_back(counted(report.chordNotesMoved, "chord note", "chord notes") + " put on other channels");
    if (report.notesDropped() > 0) {
        std::string why;
        const auto reason = [&why](std::size_t count, const char* text) {
            if (count == 0) return;
            why += (why.empty() ? "" : ", ") + std::to_string(count) + " " + text;
        };
        reason(report.droppedNoChannel, "with no free channel");
        reason(report.droppedTooLow, "below the lowest note a song can play");
        reason(report.droppedPastEnd, ("past note column " + std::to_string(kMaxNoteColumns)).c_str());
        lines.push_back(counted(report.notesDropped(), "note dropped", "notes dropped") + " (" + why + ")");
    }
    if (report.tempoChangesIgnored > 0)
        lines.push_back(counted(report.tempoChangesIgnored, "tempo change", "tempo changes") + " ignored");
    if (report.controllersIgnored > 0)
        lines.push_back(counted(report.controllersIgnored, "controller message", "controller messages") + " ignored");
    return lines;
}

}  // namespace

bool ImportReport::empty() const
{
    return notesMoved == 0 && chordNotesMoved == 0 && notesDropped() == 0 && tempoChangesIgnored == 0 &&
           controllersIgnored == 0;
}

std::string importReportMessage(const ImportReport& report)
{
    std::string message = kLead;
    for (const std::string& line : changes(report)) message += "\n" + line;
    return message;
}

std::string importReportLine(const ImportReport& report)
{
    std::string line = kLead;
    line.front() = 't';  // inside a sentence
    line += ' ';
    const std::vector<std::string> parts = changes(report);
    for (std::size_t i = 0; i < parts.size(); ++i) line += (i == 0 ? "" : ", ") + parts[i];
    return line;
}

}  // namespace nimbel

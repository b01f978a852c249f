#include "song_file.h"

#include "decimal_reader.h"
#include "file_replacement.h"
#include "grid_display.h"
#include "notation.h"
#include "song_columns.h"
#include "song_file_phases.h"
#include "text_file.h"

#include <ctime>

namespace nimbel {

bool readSongFile(const std::string& path, std::string& contents) { return readTextFile(path, contents); }

DroppedNotes loadSongText(Song& song, PositionDisplay& position, std::string_view contents)
{
    const std::size_t firstRead = song.noteList.size();
    DroppedNotes dropped = song_file::readMusicTokens(contents, song.noteList);
    const int maxColumn = song_file::placeRecords(song, firstRead, dropped);
    ++song.noteListVersion;

    MemoryGrid::BatchUpdate batch(song.grid);
    song.grid.reserveColumns(gridColumnOf(maxColumn) + 1);
    setNoteColumnCount(song.grid, gridColumnOf(maxColumn));
    showNoteList(song, position);
    rebuildNoteList(song);
    return dropped;
}

bool holdsSong(std::string_view contents)
{
    bool start = contents.empty();
    forEachLine(contents, [&start](std::string_view line) { start = start || song_file::isStartLine(line); });
    return start;
}

bool loadSong(Song& song, PositionDisplay& position, const std::string& path)
{
    std::string contents;
    if (!readSongFile(path, contents)) return false;
    loadSongText(song, position, contents);
    return true;
}

DroppedNotes openSongAfterStartUp(Song& song, PositionDisplay& position, std::string_view contents)
{
    newSong(song, position);
    return loadSongText(song, position, contents);
}

namespace {

// A project file's text: the header, the tempo record and note lines added
// in order, END. Every line ends with CR LF.
class ProjectText {
public:
    ProjectText(std::string_view date, std::size_t noteBytes)
    {
        text_.reserve(noteBytes + 64);
        line(";Nimbel MIDI Format");
        text_.append(";Created ");
        line(date);
        line("START");
    }
    void line(std::string_view content) { text_.append(content).append("\r\n"); }
    // Appends a line to which `write` appends its content.
    template <typename Write>
    void lineOf(Write&& write)
    {
        write(text_);
        text_.append("\r\n");
    }
    std::string finish()
    {
        line("END");
        return std::move(text_);
    }

private:
    std::string text_;
};

}  // namespace

std::string songFileText(Song& song, std::string_view date)
{
    rebuildNoteList(song);
    std::size_t size = 0;
    for (const NoteRecord& record : song.noteList) size += record.text.size() + 2;
    ProjectText text(date, size);
    for (const NoteRecord& record : song.noteList) text.line(record.text);
    return text.finish();
}

std::string songFileTextFromGrid(const MemoryGrid& grid, std::string_view date)
{
    // Measured first: a text of megabytes grown as it is written would be
    // copied again and again, which costs more than walking the grid twice.
    const std::string tempo = tempoRecordText(grid);
    std::size_t size = tempo.size() + 2;
    forEachNoteCell(grid, [&size](int channel, int noteColumn, std::string_view cell) {
        // "N", "X", a ";" at most, CR LF
        size += 5 + static_cast<std::size_t>(decimalLength(channel) + decimalLength(noteColumn)) + cell.size();
    });
    ProjectText text(date, size);
    text.line(tempo);
    forEachNoteCell(grid, [&text](int channel, int noteColumn, std::string_view cell) {
        text.lineOf([&](std::string& out) { appendPlacedNoteText(out, channel, noteColumn, cell); });
    });
    return text.finish();
}

bool saveSong(Song& song, const std::string& path)
{
    return replaceFileContents(path, songFileText(song, localDateText()));
}

std::string localDateText()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[16];
    const std::size_t length = std::strftime(text, sizeof text, "%Y/%m/%d", &local);
    return std::string(text, length);
}

}  // namespace nimbel

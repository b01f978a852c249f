#include "song_file.h"

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

std::string songFileText(Song& song, std::string_view date)
{
    rebuildNoteList(song);
    std::string text;
    std::size_t size = 64;
    for (const NoteRecord& record : song.noteList) size += record.text.size() + 2;
    text.reserve(size);
    const auto line = [&text](std::string_view content) { text.append(content).append("\r\n"); };
    line(";Nimbel MIDI Format");
    text.append(";Created ");
    line(date);
    line("START");
    for (const NoteRecord& record : song.noteList) line(record.text);
    line("END");
    return text;
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

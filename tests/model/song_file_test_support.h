// Helpers shared by the model tests: loading a text as File Open does,
// reading the note cells back, the test data folder, and a view that
// records what the grid tells it.
#pragma once

#include "grid_display.h"
#include "grid_observer.h"
#include "song.h"
#include "song_columns.h"
#include "song_file.h"

#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace nimbel::testing {

// A song as File Open leaves it: a new song, then the text loaded.
struct LoadedSong {
    Song song;
    PlainPositionDisplay position;

    explicit LoadedSong(std::string_view text, std::int32_t tempoBefore = kDefaultTempo)
    {
        song.tempo = tempoBefore;
        newSong(song, position);
        loadSongText(song, position, text);
    }
};

// The texts of one channel's note cells, note column 1 to the End column.
inline std::vector<std::string> noteCells(const Song& song, int channel)
{
    std::vector<std::string> cells;
    const int end = findEndColumn(song.grid);
    for (int c = kFirstNoteColumn; c <= end; ++c) cells.push_back(song.grid.cellText(channel - 1, c));
    return cells;
}

inline int noteColumnCount(const Song& song) { return noteColumnOf(findEndColumn(song.grid)); }

// The records of the note list placed in one cell, in list order.
inline std::vector<const NoteRecord*> recordsAt(const Song& song, int channel, int column)
{
    std::vector<const NoteRecord*> found;
    for (const NoteRecord& r : song.noteList)
        if (!r.isTempo() && r.channel == channel && r.column == column) found.push_back(&r);
    return found;
}

// A golden project file (written on 2001/02/03) as written on `date`.
inline std::string withDate(std::string file, std::string_view date)
{
    const std::size_t at = file.find("2001/02/03");
    if (at != std::string::npos) file.replace(at, date.size(), date);
    return file;
}

inline std::string dataFile(const std::string& name)
{
    std::ifstream in(std::string(NIMBEL_SOURCE_DIR) + "/tests/data/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every notice a view gets, in order, as "before insert 3", "cell 0,4" ….
struct RecordingObserver : GridObserver {
    std::vector<std::string> calls;
    void log(const std::string& what, int at) { calls.push_back(what + std::to_string(at)); }
    void cellChanged(int r, int c) override { log("cell " + std::to_string(r) + ",", c); }
    void headerChanged(int c) override { log("header ", c); }
    void beforeColumnInserted(int c) override { log("before insert ", c); }
    void afterColumnInserted(int c) override { log("after insert ", c); }
    void beforeColumnRemoved(int c) override { log("before remove ", c); }
    void afterColumnRemoved(int c) override { log("after remove ", c); }
    void beforeRowAppended(int r) override { log("before row ", r); }
    void afterRowAppended(int r) override { log("after row ", r); }
    void beforeReset() override { calls.push_back("before reset"); }
    void afterReset() override { calls.push_back("after reset"); }
};

}  // namespace nimbel::testing

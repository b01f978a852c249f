// What the edit tests share: the edit commands, a song with a fresh grid, a
// session over it whose messages are recorded, the grid's whole content as
// one value, and the number of groups in an undo or redo history.
#pragma once

#include "cell_commands.h"
#include "clipboard_commands.h"
#include "column_commands.h"
#include "edit_session.h"
#include "note_entry.h"
#include "project_state.h"
#include "selection.h"
#include "song.h"
#include "song_columns.h"
#include "undo_history.h"

#include <algorithm>
#include <string>
#include <vector>

namespace nimbel::testing_support {

class RecordedMessages final : public EditMessages {
public:
    void showError(std::string_view text) override { shown.emplace_back(text); }
    std::vector<std::string> shown;
};

inline constexpr std::uint32_t kSelected = 0x0F22F0;

struct EditRig {
    Song song;
    ProjectState project;
    RecordedMessages messages;
    EditSession session{song, project, messages, kSelected};

    // Grid column index of note column n.
    static int at(int noteColumn) { return gridColumnOf(noteColumn); }
    void select(int row, int noteColumn) { toggleSelection(song, row, at(noteColumn), kSelected); }
    const std::string& text(int row, int noteColumn) const { return song.grid.cellText(row, at(noteColumn)); }
    void write(int row, int noteColumn, std::string text) { song.grid.setCellText(row, at(noteColumn), text); }
};

// How many undo or redo groups a history holds: each is framed by two markers.
inline int undoGroups(const std::vector<CellRecord>& history)
{
    return static_cast<int>(std::count_if(history.begin(), history.end(), [](auto& r) { return r.marker; })) / 2;
}

// Every title and every cell text, column by column.
inline std::vector<std::string> gridContent(const MemoryGrid& grid)
{
    std::vector<std::string> content;
    for (int c = 0; c < grid.columnCount(); ++c) {
        content.push_back("[" + grid.headerTitle(c) + "]");
        for (int r = 0; r < grid.rowCount(); ++r) content.push_back(grid.cellText(r, c));
    }
    return content;
}

}  // namespace nimbel::testing_support

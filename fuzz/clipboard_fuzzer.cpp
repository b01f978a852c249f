// Any bytes as the system clipboard's text, pasted with Paste From at a cell
// chosen by the first two bytes: no cell outside the song is written, the
// song never grows past its last possible note column, no pasted text holds
// a space or a control character, and undoing the paste gives back the grid.
#include "clipboard_commands.h"
#include "clipboard_text.h"
#include "edit/edit_test_support.h"
#include "edit_session.h"
#include "fuzz_check.h"
#include "selection.h"
#include "song.h"
#include "song_columns.h"
#include "undo_history.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace nimbel;

bool isCleanText(std::string_view text)
{
    return std::ranges::all_of(text, [](unsigned char c) { return c > ' ' && c != 0x7f; });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const CellRecord& cell : readClipboardText(text)) check(isCleanText(cell.text));

    Song song;
    ProjectState project;
    testing_support::RecordedMessages messages;
    EditSession session{song, project, messages, 0x0000FF};
    song.grid.setCellText(3, gridColumnOf(2), "C");
    const std::vector<std::string> before = testing_support::gridContent(song.grid);
    const int row = size > 0 ? data[0] % kSongRows : 0;
    const int column = size > 1 ? gridColumnOf(1 + data[1] % 21) : kFirstNoteColumn;
    toggleSelection(song, row, column, 0x0000FF);

    pasteFromClipboard(session, text);
    check(song.selectionList.empty());
    check(song.grid.rowCount() == kSongRows);
    check(song.grid.columnCount() <= kLastSongColumn + 1);
    check(findEndColumn(song.grid) < song.grid.columnCount());
    for (int c = kFirstNoteColumn; c < song.grid.columnCount(); ++c)
        for (int r = 0; r < kSongRows; ++r) check(isCleanText(song.grid.cellText(r, c)));
    check(messages.shown.size() <= 2);

    undoLastGroup(song);
    check(testing_support::gridContent(song.grid) == before);
    return 0;
}

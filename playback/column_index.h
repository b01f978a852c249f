// Which records of the note list a column step visits. Only a record that
// starts in the column or still holds an off-time can act in a column step,
// so visiting just those, in list order, sends exactly what a walk over the
// whole list would send, and a step costs what its column plays instead of
// the length of the song.
#pragma once

#include "song.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace nimbel {

class RecordVisits {
public:
    virtual ~RecordVisits() = default;
    // Indexes into song.noteList in ascending order, at least every record
    // of a song channel whose column is `column` or whose offTime is not 0.
    // Valid until the next call.
    virtual std::span<const std::size_t> recordsToVisit(const Song& song, std::int32_t column) = 0;
};

// The note list sorted by column, and the records that held an off-time
// after the previous step. Off-times are given only to the records a step
// starts, so the records of the previous visit that still hold one are all
// there are, unless the list changed in between. A change (another version,
// size or storage of the list) costs one sort of the list, O(n log n) and 16
// bytes a record; a step otherwise costs the records returned, plus O(log n)
// when it does not play the column after the previous step's.
class ColumnIndex final : public RecordVisits {
public:
    std::span<const std::size_t> recordsToVisit(const Song& song, std::int32_t column) override;

private:
    struct Entry {
        std::int32_t column = 0;
        std::size_t record = 0;
    };

    bool isCurrent(const std::vector<NoteRecord>& notes, std::uint64_t version) const;
    void rebuild(const std::vector<NoteRecord>& notes, std::uint64_t version);

    std::vector<Entry> byColumn_;       // the song channels' records, by column, then in list order
    std::vector<std::size_t> holders_;  // records holding an off-time, ascending
    std::vector<std::size_t> visits_;   // what the last call returned
    std::size_t searchFrom_ = 0;        // in byColumn_: past the records of the last column asked for
    bool built_ = false;
    std::uint64_t version_ = 0;
    const NoteRecord* storage_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace nimbel

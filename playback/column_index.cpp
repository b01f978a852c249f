#include "column_index.h"

#include <algorithm>
#include <iterator>

namespace nimbel {

bool ColumnIndex::isCurrent(const std::vector<NoteRecord>& notes, std::uint64_t version) const
{
    // Storage and size are compared as well, so that a list changed without
    // a new version is never read past its end.
    return built_ && version_ == version && storage_ == notes.data() && size_ == notes.size();
}

void ColumnIndex::rebuild(const std::vector<NoteRecord>& notes, std::uint64_t version)
{
    byColumn_.clear();
    byColumn_.reserve(notes.size());
    holders_.clear();
    for (std::size_t i = 0; i < notes.size(); ++i) {
        if (!isSongChannel(notes[i].channel)) continue;
        byColumn_.push_back({notes[i].column, i});
        if (notes[i].offTime != 0) holders_.push_back(i);
    }
    // Entries are made in list order, so a list in column order (a rebuilt
    // one, most loaded ones) needs no sort.
    const auto byColumn = [](const Entry& a, const Entry& b) { return a.column < b.column; };
    if (!std::is_sorted(byColumn_.begin(), byColumn_.end(), byColumn))
        std::stable_sort(byColumn_.begin(), byColumn_.end(), byColumn);
    built_ = true;
    version_ = version;
    storage_ = notes.data();
    size_ = notes.size();
}

std::span<const std::size_t> ColumnIndex::recordsToVisit(const Song& song, std::int32_t column)
{
    const std::vector<NoteRecord>& notes = song.noteList;
    if (isCurrent(notes, song.noteListVersion)) {
        holders_.clear();
        for (const std::size_t i : visits_)
            if (notes[i].offTime != 0) holders_.push_back(i);
    } else {
        rebuild(notes, song.noteListVersion);
    }

    // Columns mostly play one after the other, so the search for a column's
    // records starts where the previous column's ended.
    auto first = byColumn_.begin() + static_cast<std::ptrdiff_t>(std::min(searchFrom_, byColumn_.size()));
    const bool fromHere = (first == byColumn_.begin() || std::prev(first)->column < column) &&
                          (first == byColumn_.end() || first->column >= column);
    if (!fromHere)
        first = std::lower_bound(byColumn_.begin(), byColumn_.end(), column,
                                 [](const Entry& e, std::int32_t c) { return e.column < c; });
    auto last = first;
    while (last != byColumn_.end() && last->column == column) ++last;
    searchFrom_ = static_cast<std::size_t>(last - byColumn_.begin());

    // Both in list order: merged, a record that is in both visited once.
    visits_.clear();
    auto holder = holders_.begin();
    for (auto entry = first; entry != last; ++entry) {
        for (; holder != holders_.end() && *holder <= entry->record; ++holder)
            if (*holder != entry->record) visits_.push_back(*holder);
        visits_.push_back(entry->record);
    }
    visits_.insert(visits_.end(), holder, holders_.end());
    return visits_;
}

}  // namespace nimbel

#include "column_index.h"

#include <algorithm>
#include <iterator>
#include <ranges>

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
    std::ranges::sort(byColumn_, [](const Entry& a, const Entry& b) {
        return a.column != b.column ? a.column < b.column : a.record < b.record;
    });
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

    const auto starting = std::ranges::equal_range(byColumn_, column, {}, &Entry::column);
    visits_.clear();
    std::ranges::set_union(starting | std::views::transform(&Entry::record), holders_, std::back_inserter(visits_));
    return visits_;
}

}  // namespace nimbel

// The plain walk the sequencer's column index stands in for: column steps
// that visit every record of the note list. The playback tests and the
// playback fuzzer play songs both ways and compare what is sent.
#pragma once

#include "column_index.h"

#include <numeric>
#include <vector>

namespace nimbel::testing_support {

class WholeListWalk final : public RecordVisits {
public:
    std::span<const std::size_t> recordsToVisit(const Song& song, std::int32_t) override
    {
        all_.resize(song.noteList.size());
        std::iota(all_.begin(), all_.end(), std::size_t{0});
        return all_;
    }

private:
    std::vector<std::size_t> all_;
};

}  // namespace nimbel::testing_support

// Reading Standard MIDI Files from memory: the header, the track chunks and
// their events, merged over all tracks into one stream in time order.
//
// Formats 0 and 1 timed in ticks per beat are read; format 2, time-code
// timing and damaged files are refused with a reason a person can act on.
// Events are decoded as the stream is read, so memory stays one cursor per
// track however long the file; time is linear in the file's size, times
// the logarithm of its track count. Running status is kept across meta and
// system-exclusive events, as most programs that write files expect.
// Any thread; the bytes must outlive the stream.
#pragma once

#include <cstdint>
#include <queue>
#include <string>
#include <string_view>
#include <vector>

namespace nimbel {

// What the import needs of an event: channel messages (note, program,
// controller, pressure, pitch bend) and tempo changes. Other meta and
// system-exclusive events are checked and passed over.
struct MidiEvent {
    enum class Kind { channelMessage, tempo };
    Kind kind = Kind::channelMessage;
    std::int64_t tick = 0;                  // from the start of the file
    std::uint8_t status = 0;                // channel messages: kind (high 4 bits) and channel (low 4 bits)
    std::uint8_t data1 = 0;                 // note number, program or controller
    std::uint8_t data2 = 0;                 // velocity or value; 0 for messages with one data byte
    std::uint32_t microsecondsPerBeat = 0;  // tempo events
};

// Whether `bytes` begin as a Standard MIDI File does ("MThd").
bool isStandardMidiFile(std::string_view bytes);

class MidiEventStream {
public:
    // Reads the header and finds the track chunks. When the file cannot be
    // read, error() says why and next() gives nothing.
    explicit MidiEventStream(std::string_view bytes);
    MidiEventStream(const MidiEventStream&) = delete;  // the queue's order refers to this stream's tracks
    MidiEventStream& operator=(const MidiEventStream&) = delete;

    // Why the file cannot be read, for "Unable to open NAME: " to go before;
    // empty while nothing is wrong.
    const std::string& error() const { return error_; }
    int ticksPerBeat() const { return ticksPerBeat_; }
    // The latest time any track has reached; once next() has given
    // everything, the end of the longest track (its end event included).
    std::int64_t endTick() const { return endTick_; }

    // The next event of all tracks in time order (events of one moment in
    // track order). False at the end, and when an event is damaged: then
    // error() says why.
    bool next(MidiEvent& event);

private:
    struct Track {
        std::string_view bytes;
        std::size_t at = 0;
        std::int64_t tick = 0;
        std::uint8_t runningStatus = 0;
        MidiEvent pending;  // the next event of this track, decoded ahead
    };
    // Tracks by their pending event's tick, then by track number.
    struct Later {
        const std::vector<Track>* tracks;
        bool operator()(std::size_t a, std::size_t b) const;
    };

    void readChunks(std::string_view bytes);
    bool advance(std::size_t track);  // decodes the track's next event; false at its end or on damage
    void fail(std::size_t track, std::string_view what);

    std::string error_;
    int ticksPerBeat_ = 0;
    std::int64_t endTick_ = 0;
    std::vector<Track> tracks_;
    std::priority_queue<std::size_t, std::vector<std::size_t>, Later> waiting_;
};

}  // namespace nimbel

#include "column_timing.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <utility>

namespace nimbel {

namespace {

constexpr std::int64_t kQuarters = 4;                         // quarter ticks per tick
constexpr std::int64_t kToleranceParts = 20;                  // a start may lie a twentieth of a column off
constexpr std::int64_t kDefaultMicrosecondsPerBeat = 500000;  // 120 beats per minute
constexpr double kMinuteMicroseconds = 60'000'000.0;
constexpr std::int32_t kFastestTempo = 60000;  // one column a millisecond
constexpr double kMinuteMs = 60000.0;

std::int64_t distanceToColumnStart(std::int64_t quarterTicks, std::int64_t length)
{
    const std::int64_t past = quarterTicks % length;
    return std::min(past, length - past);
}

bool allStartsNearColumns(const MidiMusic& music, std::int64_t length)
{
    return std::all_of(music.notes.begin(), music.notes.end(), [length](const MidiNote& note) {
        return distanceToColumnStart(note.start * kQuarters, length) * kToleranceParts <= length;
    });
}

}  // namespace

ColumnTiming::ColumnTiming(const MidiMusic& music)
{
    const std::int64_t beat = std::max(music.ticksPerBeat, 1) * kQuarters;
    columnsPerBeat_ = 4;
    for (const int perBeat : {1, 2}) {
        if (allStartsNearColumns(music, beat / perBeat)) {
            columnsPerBeat_ = perBeat;
            break;
        }
    }
    length_ = beat / columnsPerBeat_;
}

std::int64_t ColumnTiming::columnOf(std::int64_t tick) const
{
    return (2 * tick * kQuarters + length_) / (2 * length_) + 1;
}

bool ColumnTiming::isNearColumnStart(std::int64_t tick) const
{
    return distanceToColumnStart(tick * kQuarters, length_) * kToleranceParts <= length_;
}

double ColumnTiming::columnsOf(std::int64_t ticks) const
{
    return static_cast<double>(ticks * kQuarters) / static_cast<double>(length_);
}

std::int32_t ColumnTiming::tempoFor(const MidiMusic& music) const
{
    const std::int64_t beatMicroseconds =
        music.firstTempo ? std::max<std::int64_t>(*music.firstTempo, 1) : kDefaultMicrosecondsPerBeat;
    // Programs write a whole tempo's beat to the nearest microsecond or
    // below; a beat that close to a whole tempo's is taken as that tempo.
    const double perMinute = kMinuteMicroseconds * columnsPerBeat_;
    const double whole = std::round(perMinute / static_cast<double>(beatMicroseconds));
    if (whole >= 1 && whole <= kFastestTempo && std::abs(perMinute / whole - static_cast<double>(beatMicroseconds)) < 1)
        return static_cast<std::int32_t>(whole);
    return songTempo(static_cast<double>(beatMicroseconds) / 1000.0 / columnsPerBeat_);
}

std::int32_t songTempo(double columnMs)
{
    const auto clampTempo = [](double tempo) {
        return static_cast<std::int64_t>(std::clamp(tempo, 1.0, static_cast<double>(kFastestTempo)));
    };
    // How far a tempo's columns lie from columnMs: first its step, then its exact beat.
    const auto miss = [columnMs](std::int64_t tempo) {
        return std::pair{std::abs(static_cast<double>(kFastestTempo / tempo) - columnMs),
                         std::abs(kMinuteMs / static_cast<double>(tempo) - columnMs)};
    };
    // The tempos whose step is the whole millisecond nearest columnMs, if any.
    const double nearestStep = std::clamp(std::round(columnMs), 1.0, kMinuteMs);
    const std::int64_t slowest = clampTempo(std::floor(kMinuteMs / (nearestStep + 1)) + 1);
    const std::int64_t fastest = clampTempo(std::floor(kMinuteMs / nearestStep));
    const double exact = kMinuteMs / std::max(columnMs, 1.0 / kMinuteMs);

    std::int64_t best = clampTempo(exact);
    for (const double near : {std::floor(exact), std::ceil(exact)}) {
        for (std::int64_t tempo : {clampTempo(near), std::clamp(clampTempo(near), slowest, std::max(slowest, fastest))})
            if (miss(tempo) < miss(best)) best = tempo;
    }
    return static_cast<std::int32_t>(best);
}

}  // namespace nimbel

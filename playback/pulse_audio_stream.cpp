#include "audio_stream.h"
#include "realtime_thread.h"

#include <pulse/pulseaudio.h>

#include <atomic>

namespace nimbel {

namespace {

constexpr int kChannels = 2;
constexpr int kFrameBytes = kChannels * static_cast<int>(sizeof(float));

std::uint32_t bytesOf(int frames) { return static_cast<std::uint32_t>(frames * kFrameBytes); }

// A playback stream on PulseAudio's threaded main loop, which, unlike the
// simple API, reports underruns and lets the queue grow while playing. The
// server is asked for a short queue that is the whole latency, and for no
// prebuffering: a queue that runs dry keeps its clock, and frames written
// too late are left out rather than played late, so every later frame is
// heard when the steady clock placed it. The stream starts corked and plays
// once the first writes have filled the queue.
//
// The queue is asked for in early requests of one write step: the server
// then sets the sink's own buffer to one step and keeps the rest in the
// stream's buffer, asking for each step as soon as it is played. A sink
// thread that wakes late takes what it missed at once from the stream's
// buffer, and a writer held up lets that buffer run down; with one step in
// the sink, either may be held up for all but about three steps of the queue.
// (Latency adjustment, the other way to ask for a short queue, keeps
// (queue − 2 × request) / 2 in the sink and asks for larger steps: a quarter
// of the queue at a time, it bridges only that quarter when the sink is late.)
class PulseAudioStream final : public AudioStream {
public:
    ~PulseAudioStream() override
    {
        if (!loop_) return;
        pa_threaded_mainloop_lock(loop_);
        if (stream_) {
            pa_stream_disconnect(stream_);
            pa_stream_unref(stream_);
        }
        if (context_) {
            pa_context_disconnect(context_);
            pa_context_unref(context_);
        }
        pa_threaded_mainloop_unlock(loop_);
        pa_threaded_mainloop_stop(loop_);
        pa_threaded_mainloop_free(loop_);
    }

    bool open(const StreamBuffering& buffering)
    {
        loop_ = pa_threaded_mainloop_new();
        if (!loop_) return false;
        context_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), "Nimbel MIDI");
        if (!context_) return false;
        pa_context_set_state_callback(context_, &PulseAudioStream::signal, this);
        if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) return false;
        Locked locked(loop_);
        if (pa_threaded_mainloop_start(loop_) < 0) return false;
        // The main loop's thread passes the server's requests on to the writer.
        pa_mainloop_api_once(
            pa_threaded_mainloop_get_api(loop_), [](pa_mainloop_api*, void*) { preferRealTimeScheduling(); }, nullptr);
        while (!contextSettled()) pa_threaded_mainloop_wait(loop_);
        if (pa_context_get_state(context_) != PA_CONTEXT_READY) return false;

        const pa_sample_spec format{PA_SAMPLE_FLOAT32LE, static_cast<std::uint32_t>(buffering.rate), kChannels};
        stream_ = pa_stream_new(context_, "Built-in synthesizer", &format, nullptr);
        if (!stream_) return false;
        pa_stream_set_state_callback(stream_, &PulseAudioStream::signal, this);
        pa_stream_set_write_callback(stream_, &PulseAudioStream::signalWritable, this);
        pa_stream_set_underflow_callback(stream_, &PulseAudioStream::countUnderrun, this);
        requestFrames_ = buffering.stepFrames;
        const pa_buffer_attr asked = attributes(buffering.queuedFrames, static_cast<std::uint32_t>(-1));
        const auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_EARLY_REQUESTS | PA_STREAM_INTERPOLATE_TIMING |
                                                          PA_STREAM_AUTO_TIMING_UPDATE | PA_STREAM_START_CORKED);
        if (pa_stream_connect_playback(stream_, nullptr, &asked, flags, nullptr, nullptr) < 0) return false;
        while (pa_stream_get_state(stream_) == PA_STREAM_CREATING) pa_threaded_mainloop_wait(loop_);
        return pa_stream_get_state(stream_) == PA_STREAM_READY;
    }

    int room(int frames) override
    {
        Locked locked(loop_);
        waitForRoom(bytesOf(frames));
        return playable() ? static_cast<int>(pa_stream_writable_size(stream_) / kFrameBytes) : 0;
    }

    bool write(const float* frames, int count) override
    {
        Locked locked(loop_);
        const std::size_t bytes = bytesOf(count);
        waitForRoom(bytes);
        return playable() && pa_stream_write(stream_, frames, bytes, nullptr, 0, PA_SEEK_RELATIVE) == 0;
    }

    std::optional<std::int64_t> latencyNs() override
    {
        Locked locked(loop_);
        if (!timingSincePlaying_) return std::nullopt;
        pa_usec_t latency = 0;
        int negative = 0;
        if (pa_stream_get_latency(stream_, &latency, &negative) < 0) return std::nullopt;
        const auto ns = static_cast<std::int64_t>(latency) * 1000;
        return negative ? -ns : ns;
    }

    void drain() override
    {
        Locked locked(loop_);
        if (playable()) await(pa_stream_drain(stream_, &PulseAudioStream::done, this));
    }

    int underruns() override { return underruns_; }

    bool requestQueue(int frames) override
    {
        Locked locked(loop_);
        const pa_buffer_attr* granted = pa_stream_get_buffer_attr(stream_);
        if (!granted || !playable()) return false;
        const pa_buffer_attr asked = attributes(frames, granted->maxlength);
        return await(pa_stream_set_buffer_attr(stream_, &asked, &PulseAudioStream::done, this));
    }

private:
    // Holds the main loop's lock for a scope.
    struct Locked {
        explicit Locked(pa_threaded_mainloop* mainLoop) : loop(mainLoop) { pa_threaded_mainloop_lock(loop); }
        ~Locked() { pa_threaded_mainloop_unlock(loop); }
        Locked(const Locked&) = delete;
        Locked& operator=(const Locked&) = delete;
        pa_threaded_mainloop* loop;
    };

    static void signal(pa_context*, void* self) { signalLoop(self); }
    static void signal(pa_stream*, void* self) { signalLoop(self); }
    static void signalWritable(pa_stream*, std::size_t, void* self) { signalLoop(self); }
    static void done(pa_stream*, int, void* self) { signalLoop(self); }
    static void countUnderrun(pa_stream*, void* self)
    {
        ++static_cast<PulseAudioStream*>(self)->underruns_;
        signalLoop(self);
    }
    static void signalLoop(void* self) { pa_threaded_mainloop_signal(static_cast<PulseAudioStream*>(self)->loop_, 0); }

    // A queue of `frames` in all: one request in the sink, the rest in the stream's buffer.
    pa_buffer_attr attributes(int frames, std::uint32_t maxlength) const
    {
        return {maxlength, bytesOf(frames - requestFrames_), 0, bytesOf(requestFrames_),
                static_cast<std::uint32_t>(-1)};
    }

    void waitForRoom(std::size_t bytes)
    {
        while (playable() && pa_stream_writable_size(stream_) < bytes) {
            if (pa_stream_is_corked(stream_) == 1) startPlaying();
            else pa_threaded_mainloop_wait(loop_);
        }
    }

    // The queue is full the first time: it starts playing. The server's
    // account of the stream's timing is asked for at once, and until it
    // comes the stream cannot tell its latency (what it would say is
    // interpolated from the time it was corked).
    void startPlaying()
    {
        await(pa_stream_cork(stream_, 0, &PulseAudioStream::done, this));
        if (pa_operation* update = pa_stream_update_timing_info(stream_, &PulseAudioStream::timingUpdated, this))
            pa_operation_unref(update);
    }
    static void timingUpdated(pa_stream*, int success, void* self)
    {
        if (success) static_cast<PulseAudioStream*>(self)->timingSincePlaying_ = true;
    }

    bool contextSettled() const
    {
        const pa_context_state_t state = pa_context_get_state(context_);
        return state == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(state);
    }
    bool playable() const { return pa_stream_get_state(stream_) == PA_STREAM_READY; }

    // Waits, with the lock held, until the operation has run; false when it could not.
    bool await(pa_operation* operation)
    {
        if (!operation) return false;
        while (pa_operation_get_state(operation) == PA_OPERATION_RUNNING && playable())
            pa_threaded_mainloop_wait(loop_);
        const bool done = pa_operation_get_state(operation) == PA_OPERATION_DONE;
        pa_operation_unref(operation);
        return done;
    }

    pa_threaded_mainloop* loop_ = nullptr;
    pa_context* context_ = nullptr;
    pa_stream* stream_ = nullptr;
    int requestFrames_ = 0;
    std::atomic<int> underruns_ = 0;
    bool timingSincePlaying_ = false;  // under the main loop's lock
};

}  // namespace

std::unique_ptr<AudioStream> openPulseAudioStream(const StreamBuffering& buffering)
{
    auto stream = std::make_unique<PulseAudioStream>();
    if (!stream->open(buffering)) return nullptr;
    return stream;
}

}  // namespace nimbel

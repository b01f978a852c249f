#include "alsa_sequencer_ports.h"

#include "short_message.h"

#include <alsa/asoundlib.h>

namespace nimbel {

namespace {

constexpr const char* kClientName = "Nimbel MIDI";
constexpr unsigned kSynthesizerTypes = SND_SEQ_PORT_TYPE_SYNTH | SND_SEQ_PORT_TYPE_DIRECT_SAMPLE |
                                       SND_SEQ_PORT_TYPE_SAMPLE | SND_SEQ_PORT_TYPE_SYNTHESIZER;
constexpr unsigned kWritable = SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE;

void ignoreLibraryError(const char*, int, const char*, int, const char*, ...) {}

// Opens a sequencer client; on a machine without the sequencer libasound
// would print its failure, which is no error here.
snd_seq_t* openClient()
{
    snd_lib_error_set_handler(ignoreLibraryError);
    snd_seq_t* seq = nullptr;
    const int result = snd_seq_open(&seq, "default", SND_SEQ_OPEN_OUTPUT, 0);
    snd_lib_error_set_handler(nullptr);
    if (result < 0) return nullptr;
    snd_seq_set_client_name(seq, kClientName);
    return seq;
}

struct SeqCloser {
    void operator()(snd_seq_t* seq) const { snd_seq_close(seq); }
};
using SeqPtr = std::unique_ptr<snd_seq_t, SeqCloser>;

struct EncoderFree {
    void operator()(snd_midi_event_t* encoder) const { snd_midi_event_free(encoder); }
};
using EncoderPtr = std::unique_ptr<snd_midi_event_t, EncoderFree>;

class SequencerOutput final : public MidiPort {
public:
    SequencerOutput(SeqPtr seq, int ownPort, EncoderPtr encoder)
        : seq_(std::move(seq)), ownPort_(ownPort), encoder_(std::move(encoder))
    {}

    void send(std::uint32_t packed) override
    {
        const auto bytes = shortMessageBytes(packed);
        snd_seq_event_t event;
        snd_seq_ev_clear(&event);
        snd_midi_event_reset_encode(encoder_.get());
        if (snd_midi_event_encode(encoder_.get(), bytes.data(), shortMessageLength(bytes[0]), &event) <= 0) return;
        if (event.type == SND_SEQ_EVENT_NONE) return;
        snd_seq_ev_set_source(&event, ownPort_);
        snd_seq_ev_set_subs(&event);
        snd_seq_ev_set_direct(&event);
        snd_seq_event_output_direct(seq_.get(), &event);
    }

private:
    SeqPtr seq_;
    int ownPort_;
    EncoderPtr encoder_;
};

}  // namespace

bool isOutputPort(const SequencerPort& port, int ownClient)
{
    if (port.client == SND_SEQ_CLIENT_SYSTEM || port.client == ownClient) return false;
    return (port.capability & kWritable) == kWritable && (port.capability & SND_SEQ_PORT_CAP_NO_EXPORT) == 0;
}

int sequencerPortVoices(const SequencerPort& port)
{
    if ((port.type & kSynthesizerTypes) == 0) return 0;
    if (port.synthVoices > 0) return port.synthVoices;
    return port.midiVoices > 0 ? port.midiVoices : 1;
}

std::vector<SequencerPort> listSequencerOutputPorts()
{
    std::vector<SequencerPort> ports;
    SeqPtr seq(openClient());
    if (!seq) return ports;
    const int ownClient = snd_seq_client_id(seq.get());

    snd_seq_client_info_t* client = nullptr;
    snd_seq_port_info_t* info = nullptr;
    snd_seq_client_info_alloca(&client);
    snd_seq_port_info_alloca(&info);
    snd_seq_client_info_set_client(client, -1);
    while (snd_seq_query_next_client(seq.get(), client) >= 0) {
        snd_seq_port_info_set_client(info, snd_seq_client_info_get_client(client));
        snd_seq_port_info_set_port(info, -1);
        while (snd_seq_query_next_port(seq.get(), info) >= 0) {
            SequencerPort port;
            port.client = snd_seq_port_info_get_client(info);
            port.port = snd_seq_port_info_get_port(info);
            port.name = snd_seq_port_info_get_name(info);
            port.capability = snd_seq_port_info_get_capability(info);
            port.type = snd_seq_port_info_get_type(info);
            port.synthVoices = snd_seq_port_info_get_synth_voices(info);
            port.midiVoices = snd_seq_port_info_get_midi_voices(info);
            if (isOutputPort(port, ownClient)) ports.push_back(std::move(port));
        }
    }
    return ports;
}

std::unique_ptr<MidiPort> openSequencerPort(const SequencerPort& port)
{
    SeqPtr seq(openClient());
    if (!seq) return nullptr;
    const int ownPort =
        snd_seq_create_simple_port(seq.get(), kClientName, SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ,
                                   SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
    if (ownPort < 0) return nullptr;
    if (snd_seq_connect_to(seq.get(), ownPort, port.client, port.port) < 0) return nullptr;
    snd_midi_event_t* encoder = nullptr;
    if (snd_midi_event_new(16, &encoder) < 0) return nullptr;
    return std::make_unique<SequencerOutput>(std::move(seq), ownPort, EncoderPtr(encoder));
}

}  // namespace nimbel

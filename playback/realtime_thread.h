// Internal to playback/: real-time scheduling for the threads that keep the
// sound going, as sound servers and FluidSynth's own audio drivers ask for
// it. Where the system allows it (a real-time limit, or a privileged user),
// the calling thread is scheduled first-in first-out at a priority just below
// PulseAudio's default (5), so the server is served first and busy
// processes cannot hold the sound up; elsewhere the thread keeps its normal
// scheduling and nothing is said.
#pragma once

namespace nimbel {

void preferRealTimeScheduling();

}  // namespace nimbel

#include "realtime_thread.h"

#include <pthread.h>
#include <sched.h>

namespace nimbel {

namespace {

constexpr int kPriority = 4;

}  // namespace

void preferRealTimeScheduling()
{
    sched_param parameters{};
    parameters.sched_priority = kPriority;
    pthread_setschedparam(pthread_self(), SCHED_FIFO, &parameters);
}

}  // namespace nimbel

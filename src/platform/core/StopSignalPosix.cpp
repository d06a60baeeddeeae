#include "platform/core/StopSignal.h"

#include <signal.h>

void StopSignal_Install(void (*onStop)(int)) {
    struct sigaction sa {};
    sa.sa_handler = onStop;
    sigemptyset(&sa.sa_mask);
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGTERM, &sa, nullptr);
}

// Built against the bottom floor: the start-up sequence is above it, and must not be found.
#include "shell/core/Startup.h"

int ProbeHigherFloor() {
    return 0;
}

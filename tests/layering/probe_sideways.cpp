// Built against the speech room: the catalogue is beside it, and must not be found.
#include "catalogue/core/Records.h"

int ProbeSideways() {
    return 0;
}

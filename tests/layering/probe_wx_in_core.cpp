// Built against the update worker: no core sees the wx headers.
#include <wx/string.h>

int ProbeWxInCore() {
    return 0;
}

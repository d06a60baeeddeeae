// Built against the catalogue room: a header of the main window is above it, and must not
// be found.
#include "shell/gui/MainWindow.h"

int ProbeGuiHeaderInCore() {
    return 0;
}

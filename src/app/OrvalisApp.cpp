// The program's entry point: the wx application object hands over to the shell.
#include <wx/wx.h>

#include "shell/gui/Application.h"

wxIMPLEMENT_APP(OrvalisApplication);

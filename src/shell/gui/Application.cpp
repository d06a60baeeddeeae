#include "shell/gui/Application.h"

#include <wx/frame.h>

bool OrvalisApplication::OnInit() {
    auto* frame = new wxFrame(nullptr, wxID_ANY, "Orvalis", wxDefaultPosition, wxSize(600, 400));
    frame->Show();
    return true;
}

int OrvalisApplication::OnExit() {
    return 0;
}

// The wx application: runs the start-up sequence, the event loop and the exit sequence.
#pragma once
#include <wx/app.h>

class OrvalisApplication : public wxApp {
  public:
    bool OnInit() override;
    int OnExit() override;
};

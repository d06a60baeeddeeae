// The wx application: runs the start-up sequence, the event loop and the exit sequence.
#pragma once
#include <wx/app.h>
#include <wx/timer.h>

class wxFrame;

class OrvalisApplication : public wxApp {
  public:
    bool OnInit() override;
    int OnExit() override;
    // The exit sequence (once): writes back what must be kept, stops the workers,
    // flushes the log and releases the single-instance lock.
    void ExitSequence();

  private:
    void OnHandOverTimer(wxTimerEvent&);
    void OnDeviceTimer(wxTimerEvent&);
    wxFrame* m_frame = nullptr;
    wxTimer m_handOverTimer;
    wxTimer m_deviceTimer;
    bool m_catalogueOpened = false;
    bool m_exited = false;
};

// Shows the main window again, restoring its last state.
void RestoreMainWindow();
// Hides the main window to the notification area.
void HideToTray();
// Checks that the program file still exists (drive-removal watch); when it vanished, sets
// the ending-by-removal state and leaves the event loop for the last exit steps.
void OnDeviceChange();

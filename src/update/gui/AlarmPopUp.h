// The alarm pop-up: a small window above the others at the bottom right of the desktop,
// whose read-only text has the focus so the screen reader reads it, closed after about
// 2 seconds. And the timers that drive the update: 100 ms (queue) and 1 s (countdown,
// alarms), which the main window owns.
#pragma once
#include <functional>
#include <string>

#include <wx/event.h>
#include <wx/timer.h>

// Shows the pop-up on the interface thread (it may be asked from any thread: the request
// is posted to the application). `closed` is called once it has gone.
void AlarmPopUp(const std::string& title, const std::string& text, std::function<void()> closed);
// Installs AlarmPopUp into Alarm_Hooks() (and the alarm sound, when it can play).
void AlarmPopUp_Install();

// Calls ExtractFeedByThread every 100 ms, FeedCountdown and ProcessNotifications every
// second, while it lives.
class UpdateTimers : public wxEvtHandler {
  public:
    UpdateTimers();
    ~UpdateTimers() override;
    UpdateTimers(const UpdateTimers&) = delete;
    UpdateTimers& operator=(const UpdateTimers&) = delete;

  private:
    void OnQueue(wxTimerEvent&);
    void OnSecond(wxTimerEvent&);
    wxTimer m_queue;
    wxTimer m_second;
};

#include "update/gui/AlarmPopUp.h"

#include <wx/app.h>
#include <wx/display.h>
#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/textctrl.h>
#include <wx/thread.h>

#include "update/worker/AlarmSound.h"
#include "update/worker/FeedThread.h"
#include "update/worker/Notifications.h"

namespace {
// 200 polls of 10 ms in the original loop: the window lives about 2 seconds.
constexpr int POPUP_MS = 2000;

class AlarmFrame : public wxFrame {
  public:
    AlarmFrame(const wxString& title, const wxString& text, std::function<void()> closed)
        : wxFrame(nullptr, wxID_ANY, title, wxDefaultPosition, wxSize(200, 100),
                  wxCAPTION | wxCLOSE_BOX | wxSTAY_ON_TOP | wxFRAME_TOOL_WINDOW),
          m_closed(std::move(closed)), m_timer(this) {
        const wxRect area = wxDisplay(0u).GetClientArea();
        SetPosition(wxPoint(area.GetRight() + 1 - 200, area.GetBottom() + 1 - 100));
        // A frame stretches a lone child over its whole area: the panel takes that part.
        auto* panel = new wxPanel(this);
        m_text = new wxTextCtrl(panel, wxID_ANY, text, wxPoint(10, 10), wxSize(180, 80),
                                wxTE_MULTILINE | wxTE_READONLY);
        m_text->SetName(title);
        SetName(title);
        Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Close(true); });
        Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) {
            m_timer.Stop();
            if (m_closed) m_closed();
            m_closed = nullptr;
            Destroy();
        });
        m_timer.StartOnce(POPUP_MS);
    }
    void ShowWithFocus() {
        Show();
        Raise();
        m_text->SetFocus();
    }

  private:
    std::function<void()> m_closed;
    wxTimer m_timer;
    wxTextCtrl* m_text = nullptr;
};
} // namespace

void AlarmPopUp(const std::string& title, const std::string& text, std::function<void()> closed) {
    auto show = [title, text, closed = std::move(closed)]() mutable {
        auto* frame =
            new AlarmFrame(wxString::FromUTF8(title), wxString::FromUTF8(text), std::move(closed));
        frame->ShowWithFocus();
    };
    if (wxTheApp && !wxThread::IsMain())
        wxTheApp->CallAfter(std::move(show));
    else
        show();
}

void AlarmPopUp_Install() {
    Alarm_Hooks().PopUp = &AlarmPopUp;
    AlarmSound_Install();
}

UpdateTimers::UpdateTimers() : m_queue(this), m_second(this) {
    FeedThread_Init();
    Bind(wxEVT_TIMER, &UpdateTimers::OnQueue, this, m_queue.GetId());
    Bind(wxEVT_TIMER, &UpdateTimers::OnSecond, this, m_second.GetId());
    m_queue.Start(100);
    m_second.Start(1000);
}

UpdateTimers::~UpdateTimers() {
    m_queue.Stop();
    m_second.Stop();
}

void UpdateTimers::OnQueue(wxTimerEvent&) {
    ExtractFeedByThread();
}

void UpdateTimers::OnSecond(wxTimerEvent&) {
    FeedCountdown();
    ProcessNotifications();
}

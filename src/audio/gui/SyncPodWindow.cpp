#include "audio/gui/SyncPodWindow.h"

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include <wx/button.h>
#include <wx/dataview.h>
#include <wx/dialog.h>
#include <wx/gauge.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/timer.h>

#include "access/gui/AccessibleName.h"
#include "access/gui/RequestMessage.h"
#include "audio/core/SyncPod.h"
#include "shell/base/Lng.h"
#include "shell/base/Log.h"
#include "shell/base/Prefs.h"

static wxString W(const std::string& s) {
    return wxString::FromUTF8(s);
}

SyncPodUi& SyncPod_Ui() {
    static SyncPodUi ui;
    return ui;
}

static int Message(const std::string& title, const std::string& text, int kind, wxWindow* owner) {
    if (SyncPod_Ui().Message) return SyncPod_Ui().Message(title, text, kind, owner);
    return RequestMessage(title, text, kind, owner);
}

namespace {
// The progress window. The worker only touches the job, the stop bit and the counter; the
// window reads the counters once the worker has ended.
class SyncPodDialog : public wxDialog {
  public:
    SyncPodDialog(wxWindow* parent, SyncJob& job, SyncPodDrives& drives,
                  const std::vector<std::string>& lines)
        : wxDialog(
              parent, wxID_ANY,
              W("Orvalis - " + Lng(job.CopyOnly ? L_SyncPod_Button_Copy : L_SyncPod_Button_Sync)),
              wxDefaultPosition, wxSize(500, 400), wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
          m_job(job), m_drives(drives), m_timer(this) {
        SetName("SyncPodWindow");
        const std::string progress = Lng(L_SyncPod_Progress);
        auto* label = new wxStaticText(this, wxID_ANY, W(progress));
        m_list = new wxDataViewListCtrl(this, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                        wxDV_SINGLE | wxDV_NO_HEADER);
        m_list->AppendTextColumn(W("Destination"), wxDATAVIEW_CELL_INERT, 460);
        for (const std::string& l : lines) {
            wxVector<wxVariant> row;
            row.push_back(wxVariant(W(l)));
            m_list->AppendItem(row);
        }
        Accessible_SetName(m_list, "Destination");
        m_list->SetName("SyncPodDestinations"); // after the spoken name, which sets it too
        m_gauge = new wxGauge(this, wxID_ANY, std::max<int>(1, static_cast<int>(job.Files.size())));
        Accessible_SetName(m_gauge, progress);
        m_gauge->SetName("SyncPodProgress");
        const std::string start = Lng(job.CopyOnly ? L_SyncPod_Button_Copy : L_SyncPod_Button_Sync);
        m_start = new wxButton(this, wxID_OK, W(start));
        Accessible_SetName(m_start, start);
        m_start->SetName("SyncPodStart");
        m_quit = new wxButton(this, wxID_CANCEL, W(Lng(L_Button_Quit)));
        Accessible_SetName(m_quit, Lng(L_Button_Quit));
        m_quit->SetName("SyncPodQuit");
        SetEscapeId(wxID_CANCEL);
        m_start->SetDefault();

        auto* top = new wxBoxSizer(wxVERTICAL);
        top->Add(label, 0, wxALL, 6);
        top->Add(m_list, 1, wxEXPAND | wxLEFT | wxRIGHT, 6);
        top->Add(m_gauge, 0, wxEXPAND | wxALL, 6);
        auto* buttons = new wxBoxSizer(wxHORIZONTAL);
        buttons->Add(m_start, 0, wxALL, 6);
        buttons->Add(m_quit, 0, wxALL, 6);
        top->Add(buttons, 0, wxALIGN_RIGHT);
        SetSizer(top);
        if (!lines.empty()) {
            m_list->SelectRow(0);
            m_list->SetCurrentItem(m_list->RowToItem(0));
        }
        m_list->SetFocus();

        m_start->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Start(); });
        m_quit->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Quit(); });
        Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent& e) {
            if (e.CanVeto() && Running()) {
                e.Veto();
                Quit();
                return;
            }
            Stop();
            EndModal(wxID_CANCEL);
        });
        m_list->Bind(wxEVT_DATAVIEW_ITEM_ACTIVATED, [this](wxDataViewEvent&) { Start(); });
        Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Poll(); });
    }

    ~SyncPodDialog() override { Stop(); }

    bool Ran() const { return m_ran; }

  private:
    bool Running() const { return m_thread.joinable(); }

    void Start() {
        if (Running() || m_ran) return;
        const int row = m_list->GetSelectedRow();
        if (row == wxNOT_FOUND) return;
        const std::string line = std::string(m_list->GetTextValue(row, 0).ToUTF8());
        m_job.Destination = m_drives.PathOf(line);
        if (!m_job.Destination.empty() && m_job.Destination.back() != '/') m_job.Destination += '/';
        Log("- SyncPod to " + m_job.Destination);
        m_ran = true;
        m_list->Enable(false);
        m_start->Enable(false);
        m_quit->SetFocus();
        m_done = false;
        m_thread = std::thread([this] {
            try {
                SyncPod_Work(m_job, &m_stop, &m_progress);
            } catch (const std::exception& e) {
                Log(std::string("! SyncPod worker failed: ") + e.what());
            } catch (...) {
                Log("! SyncPod worker failed");
            }
            m_done = true;
        });
        m_timer.Start(100);
    }

    void Poll() {
        m_gauge->SetValue(std::min(m_gauge->GetRange(), m_progress.load()));
        if (!m_done) return;
        Finish();
    }

    void Finish() {
        m_timer.Stop();
        if (m_thread.joinable()) m_thread.join();
        m_gauge->SetValue(std::min(m_gauge->GetRange(), m_progress.load()));
        SyncPod_LogResult(m_job);
        Message(SyncPod_ReportTitle(m_job), SyncPod_Report(m_job), REQUEST_OK, this);
        EndModal(wxID_OK);
    }

    void Quit() {
        if (!Running()) {
            EndModal(wxID_CANCEL);
            return;
        }
        if (Message(Lng(L_Request_Info), Lng(L_Request_KillThread), REQUEST_YESNO, this) !=
            REQUEST_RESULT_YES)
            return;
        // The worker may have ended meanwhile: either way the report follows.
        m_stop = true;
        m_timer.Stop();
        if (m_thread.joinable()) m_thread.join();
        m_done = true;
        Finish();
    }

    void Stop() {
        m_stop = true;
        m_timer.Stop();
        if (m_thread.joinable()) m_thread.join();
    }

    SyncJob& m_job;
    SyncPodDrives& m_drives;
    wxDataViewListCtrl* m_list = nullptr;
    wxGauge* m_gauge = nullptr;
    wxButton* m_start = nullptr;
    wxButton* m_quit = nullptr;
    wxTimer m_timer;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_done{false};
    std::atomic<int> m_progress{0};
    bool m_ran = false;
};
} // namespace

bool SyncPod_Run(wxWindow* parent, int copyOnly, SyncPodDrives& drives) {
    Log("* Synchronize Podcast");
    const std::vector<std::string> lines = drives.List();
    if (lines.empty()) {
        Log("! No amovible disk found !");
        Message(Lng(L_Request_Info), Lng(L_SyncPod_Msg_NoDrive), REQUEST_OK, parent);
        return false;
    }
    SyncJob job;
    job.CopyOnly = copyOnly ? 1 : 0;
    job.Files = SyncPod_CollectFiles();
    if (job.Files.empty()) {
        Log("! No podcast file found !");
        Message(Lng(L_Request_Info), Lng(L_SyncPod_Msg_NoPodCast), REQUEST_OK, parent);
        return false;
    }
    if (!job.CopyOnly && !(PrefFlags & PREF_NOWARNINGSYNCPOD) &&
        Message(Lng(L_Request_Warning), Lng(L_Msg_WarningSyncPod), REQUEST_YESNO, parent) !=
            REQUEST_RESULT_YES)
        return false;
    std::unique_ptr<SyncPodDialog> dlg;
    try {
        dlg = std::make_unique<SyncPodDialog>(parent, job, drives, lines);
    } catch (...) {
        dlg.reset();
    }
    if (!dlg) {
        Log("! Can't create syncpod window");
        Message(Lng(L_Request_Error), Lng(L_SyncPod_Error_NoWindow), REQUEST_OK, parent);
        return false;
    }
    dlg->ShowModal();
    return dlg->Ran();
}

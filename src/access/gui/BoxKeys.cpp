#include "access/gui/BoxKeys.h"

#include <wx/event.h>
#include <wx/timer.h>
#include <wx/toplevel.h>

BoxKey BoxKeys_Classify(const wxKeyEvent& e, bool onText) {
    int mods = e.GetModifiers();
    switch (e.GetKeyCode()) {
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER:
        return mods == wxMOD_NONE ? BOXKEY_ACTIVATE : BOXKEY_NONE;
    case WXK_ESCAPE:
        return mods == wxMOD_NONE ? BOXKEY_CANCEL : BOXKEY_NONE;
    case WXK_TAB:
        if (mods == wxMOD_NONE) return BOXKEY_NEXT;
        return mods == wxMOD_SHIFT ? BOXKEY_PREVIOUS : BOXKEY_NONE;
    case WXK_DOWN:
    case WXK_RIGHT:
        return (mods == wxMOD_NONE && !onText) ? BOXKEY_NEXT : BOXKEY_NONE;
    case WXK_UP:
    case WXK_LEFT:
        return (mods == wxMOD_NONE && !onText) ? BOXKEY_PREVIOUS : BOXKEY_NONE;
    default:
        return BOXKEY_NONE;
    }
}

int BoxKeys_IndexOf(const std::vector<wxWindow*>& cycle, wxWindow* w) {
    for (size_t i = 0; i < cycle.size(); ++i)
        if (cycle[i] == w) return static_cast<int>(i);
    return -1;
}

void BoxKeys_Move(const std::vector<wxWindow*>& cycle, int from, int step) {
    int n = static_cast<int>(cycle.size());
    if (n == 0) return;
    int to = from < 0 ? 0 : ((from + step) % n + n) % n;
    cycle[to]->SetFocus();
}

void BoxKeys_RefocusLater(wxTopLevelWindow* box, wxWindow* target) {
    auto* timer = new wxTimer(box);
    box->Bind(
        wxEVT_TIMER, [target](wxTimerEvent&) { target->SetFocus(); }, timer->GetId());
    box->Bind(wxEVT_SHOW, [target, timer](wxShowEvent& e) {
        if (e.IsShown()) {
            target->SetFocus();
            timer->StartOnce(300);
        }
        e.Skip();
    });
    box->Bind(wxEVT_ACTIVATE, [timer](wxActivateEvent& e) {
        if (e.GetActive()) timer->StartOnce(300);
        e.Skip();
    });
    box->Bind(wxEVT_DESTROY, [box, timer](wxWindowDestroyEvent& e) {
        if (e.GetEventObject() == box) {
            timer->Stop();
            delete timer;
        }
        e.Skip();
    });
}

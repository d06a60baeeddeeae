#include "audio/gui/PurePlayerWx.h"

#include <wx/mediactrl.h>
#include <wx/window.h>

#include "audio/core/Audio.h"
#include "shell/base/Log.h"

namespace {
class WxPurePlayer : public PurePlayer {
  public:
    explicit WxPurePlayer(wxWindow* parent) : m_parent(parent) {}
    ~WxPurePlayer() override {
        if (m_ctrl) m_ctrl->Destroy();
    }
    bool Init() override {
        if (m_ctrl) return true;
        auto* ctrl = new wxMediaCtrl();
        if (!ctrl->Create(m_parent, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(1, 1))) {
            delete ctrl;
            return false;
        }
        ctrl->Hide();
        // The file is ready only once loaded: playing waits for it.
        ctrl->Bind(wxEVT_MEDIA_LOADED, [this](wxMediaEvent&) {
            m_loaded = true;
            if (m_wantPlay) m_ctrl->Play();
        });
        m_ctrl = ctrl;
        return true;
    }
    bool Load(const std::string& file) override {
        if (!m_ctrl) return false;
        m_loaded = m_wantPlay = false;
        return m_ctrl->Load(wxString::FromUTF8(file));
    }
    bool Play() override {
        m_wantPlay = true;
        return m_ctrl && (!m_loaded || m_ctrl->Play());
    }
    bool Pause() override {
        m_wantPlay = false;
        return m_ctrl && m_ctrl->Pause();
    }
    void Stop() override {
        m_wantPlay = m_loaded = false;
        if (m_ctrl) m_ctrl->Stop();
    }
    void SetVolume(int percent) override {
        if (m_ctrl) m_ctrl->SetVolume(percent / 100.0);
    }
    int64_t Position() override { return m_ctrl && m_loaded ? m_ctrl->Tell() : -1; }
    int64_t Length() override { return m_ctrl && m_loaded ? m_ctrl->Length() : -1; }

  private:
    wxWindow* m_parent;
    wxMediaCtrl* m_ctrl = nullptr;
    bool m_loaded = false;
    bool m_wantPlay = false;
};

WxPurePlayer* s_player = nullptr;
} // namespace

void PurePlayer_Register(wxWindow* parent) {
    Audio_SetPurePlayer(nullptr);
    delete s_player;
    s_player = nullptr;
    if (!parent) return;
    s_player = new WxPurePlayer(parent);
    Audio_SetPurePlayer(s_player);
}

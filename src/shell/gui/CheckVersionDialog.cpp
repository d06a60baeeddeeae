#include "shell/gui/CheckVersionDialog.h"

#include <wx/utils.h>

#include "access/gui/RequestMessage.h"
#include "shell/base/Lng.h"
#include "shell/base/Prefs.h"
#include "shell/core/UpdateCheck.h"

void CheckNewVersion(wxWindow* parent) {
    const std::string url = Pref.CheckVersionURL.empty() ? std::string(PREF_CHECKVERSIONURL_DEFAULT)
                                                         : Pref.CheckVersionURL;
    CheckVersionResult r;
    {
        wxBusyCursor busy;
        r = CheckNewVersion_Run(url);
    }
    const std::string info = Lng(L_Request_Info);
    switch (r.Status) {
    case CHECKVERSION_NO_NETWORK:
        RequestMessage(info, Lng(L_Msg_NoNetwork), REQUEST_OK, parent);
        return;
    case CHECKVERSION_NOT_REACHED:
        RequestMessage(info, Lng(L_Msg_Update_NoFileVersion), REQUEST_OK, parent);
        return;
    case CHECKVERSION_NO_TEMP:
        RequestMessage(info, Lng(L_Msg_Update_NoTempVersion), REQUEST_OK, parent);
        return;
    case CHECKVERSION_NEWER:
        if (RequestMessage(info, Lng(L_Msg_Update_NewVersion, r.Remote), REQUEST_YESNO, parent) ==
            REQUEST_RESULT_YES)
            wxLaunchDefaultBrowser(wxString::FromUTF8(url));
        return;
    default:
        RequestMessage(info, Lng(L_Msg_Update_NoNewVersion), REQUEST_OK, parent);
        return;
    }
}

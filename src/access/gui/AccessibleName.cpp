#include "access/gui/AccessibleName.h"

#include <wx/window.h>

#ifdef __WXGTK__
#include <gtk/gtk.h>
#endif

void Accessible_SetName(wxWindow* control, const std::string& name) {
    if (!control) return;
    control->SetName(wxString::FromUTF8(name));
#ifdef __WXGTK__
    // Both the outer widget and the one that takes the focus (a multi-line text sits in a
    // scrolled window) carry the name, so it is heard whichever the screen reader reads.
    for (GtkWidget* w : {control->GetHandle(), control->GetConnectWidget()}) {
        if (!w) continue;
        if (AtkObject* acc = gtk_widget_get_accessible(w)) atk_object_set_name(acc, name.c_str());
    }
#endif
}

#include "shell/gui/ZoneAccess.h"

#include <wx/window.h>

#ifdef __WXGTK__
#include <gtk/gtk.h>
#endif

#ifdef __WXGTK__
// The first descendant of `w` that can take the focus (depth first), or w itself.
static GtkWidget* FocusableIn(GtkWidget* w) {
    if (!w) return nullptr;
    if (GTK_IS_TREE_VIEW(w) || GTK_IS_TEXT_VIEW(w)) return w;
    if (GTK_IS_CONTAINER(w)) {
        GList* children = gtk_container_get_children(GTK_CONTAINER(w));
        GtkWidget* found = nullptr;
        for (GList* c = children; c && !found; c = c->next)
            found = FocusableIn(GTK_WIDGET(c->data));
        g_list_free(children);
        if (found) return found;
    }
    return nullptr;
}
#endif

void* Zone_FocusWidget(wxWindow* control) {
#ifdef __WXGTK__
    if (!control) return nullptr;
    GtkWidget* w = FocusableIn(control->GetHandle());
    return w ? w : control->GetConnectWidget();
#else
    return nullptr;
#endif
}

void Zone_SetAccessibleName(wxWindow* control, const std::string& name) {
    if (!control) return;
    control->SetName(wxString::FromUTF8(name));
#ifdef __WXGTK__
    for (GtkWidget* w :
         {control->GetHandle(), static_cast<GtkWidget*>(Zone_FocusWidget(control))}) {
        if (!w) continue;
        if (AtkObject* acc = gtk_widget_get_accessible(w)) atk_object_set_name(acc, name.c_str());
    }
#endif
}

void Zone_SetStatusBar(wxWindow* control, const std::string& text) {
    if (!control) return;
#ifdef __WXGTK__
    if (GtkWidget* w = control->GetHandle()) {
        if (AtkObject* acc = gtk_widget_get_accessible(w)) {
            atk_object_set_role(acc, ATK_ROLE_STATUSBAR);
            atk_object_set_name(acc, text.c_str());
        }
    }
#endif
}

void Zone_DisableTypeAhead(wxWindow* control) {
#ifdef __WXGTK__
    GtkWidget* w = static_cast<GtkWidget*>(Zone_FocusWidget(control));
    if (w && GTK_IS_TREE_VIEW(w)) gtk_tree_view_set_enable_search(GTK_TREE_VIEW(w), FALSE);
#endif
}

void Zone_RowChanged(wxWindow* control, const std::vector<int>& path) {
#ifdef __WXGTK__
    GtkWidget* w = static_cast<GtkWidget*>(Zone_FocusWidget(control));
    if (!w || !GTK_IS_TREE_VIEW(w) || path.empty()) return;
    GtkTreeModel* model = gtk_tree_view_get_model(GTK_TREE_VIEW(w));
    if (!model) return;
    GtkTreePath* p = gtk_tree_path_new_from_indicesv(const_cast<gint*>(path.data()), path.size());
    GtkTreeIter iter;
    if (gtk_tree_model_get_iter(model, &iter, p)) gtk_tree_model_row_changed(model, p, &iter);
    gtk_tree_path_free(p);
#endif
}

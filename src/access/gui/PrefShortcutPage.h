// The page "Raccourcis clavier" of the preferences dialog belongs to the shortcut editor.
// The dialog (shell/gui/PrefsDialog) sits above the editor, so the editor cannot name it:
// the editor's owner installs here a builder that fills the page, and the dialog asks for
// it when it builds its pages.
#pragma once
#include <functional>

class wxPanel;

// Fills `page` and returns what "Valider" must run (may be empty).
using PrefShortcutPageBuilder = std::function<std::function<void()>(wxPanel* page)>;
// Replaces the builder; an empty one leaves the page with its explanatory text.
void Pref_SetShortcutPageBuilder(PrefShortcutPageBuilder builder);
// The builder installed last (may be empty).
const PrefShortcutPageBuilder& Pref_ShortcutPageBuilder();

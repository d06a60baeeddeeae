"""The preferences dialog as a screen reader user meets it: every control is named, the
seven pages are reached with the arrow keys, the controls with Tab, and "Valider" saves."""
import os
import sys
import tempfile

sys.path.insert(0, os.path.dirname(__file__))
import atspi_util as u  # noqa: E402
import pyatspi  # noqa: E402
import time  # noqa: E402
from gi.repository import GLib  # noqa: E402

PAGES = ["Général", "Article", "Alerte", "Audio", "Podcast", "Proxy", "Raccourcis clavier"]
NAMED_ROLES = {"check box", "push button", "text", "password text", "spin button", "combo box",
               "page tab", "menu item", "label", "panel"}
GENERAL = ["Langue", "Mise à jour langue", "Nb max de flux actifs", "Réduire au démarrage",
           "Echap réduit l'application", "Alt+F4 réduit l'application", "Avertissement à la fermeture",
           "Se lancer au démarrage de windows",
           "Pas de message d'avertissement pour la synchronisation des Podcasts",
           "Navigateur externe", "Parcourir", "Police", "Valider", "Annuler"]

THREADS = "Nombre de flux actualisés en même temps"

passed = 0
failed = 0


def check(cond, what):
    global passed, failed
    if cond:
        passed += 1
    else:
        failed += 1
        print("FAILED: " + what)


def has_state(node, state):
    try:
        return node.getState().contains(state)
    except Exception:
        return False


class FocusWatch:
    """Follows the focus as a screen reader does, through the focus events."""

    def __init__(self):
        self.last = None
        pyatspi.Registry.registerEventListener(self._on_focus, "object:state-changed:focused")

    def _on_focus(self, event):
        if event.detail1 == 1:
            try:
                self.last = (u.role(event.source), event.source.name)
            except Exception:
                pass

    def name(self):
        """The name of the control that has the focus, after the pending events."""
        context = GLib.MainContext.default()
        deadline = time.time() + 0.4
        while time.time() < deadline:
            while context.iteration(False):
                pass
            time.sleep(0.02)
        return self.last[1] if self.last else None


def selected_page(app):
    for node, _ in u.walk(app):
        if u.role(node) == "page tab" and has_state(node, pyatspi.STATE_SELECTED):
            return node.name
    return None


def main():
    tests = os.path.join(os.environ["ORVALIS_BIN"], "..", "tests")
    binary = os.path.join(tests, "gui_test_prefs_dialog")
    with tempfile.TemporaryDirectory() as data:
        proc = u.start([binary, "--show", data], {"XDG_CONFIG_HOME": os.path.join(data, "config")})
        try:
            app = u.find_app("gui_test_prefs_dialog")
            watch = FocusWatch()
            dialog = u.find(app, lambda n: n.name == "Préférences")
            check(dialog is not None, "the dialog is titled Préférences\n" + u.dump(app))

            unnamed = [u.role(n) for n, _ in u.walk(dialog)
                       if u.role(n) in NAMED_ROLES and not u.name(n) and u.role(n) != "panel"]
            check(not unnamed, "every control has a name, unnamed: %r" % unnamed)
            tabs = [u.name(n) for n, _ in u.walk(dialog) if u.role(n) == "page tab"]
            check(tabs == PAGES, "the seven pages in order: %r" % tabs)

            # The tab list has the focus first; the arrow keys walk the pages.
            check(selected_page(app) == "Général", "the first page is shown first")
            seen = [selected_page(app)]
            for _ in range(6):
                u.press("Right")
                seen.append(selected_page(app))
            check(seen == PAGES, "Right walks the pages: %r" % seen)
            for _ in range(6):
                u.press("Left")
            check(selected_page(app) == "Général", "Left comes back to the first page")

            # The page "Article": Tab reaches the number of feeds updated at the same time,
            # Up raises it; Shift+Tab (ISO_Left_Tab) goes back to the tab list.
            u.press("Right")
            for _ in range(20):
                u.press("Tab")
                if watch.name() == THREADS:
                    break
            check(watch.name() == THREADS, "Tab reaches %s on the page Article" % THREADS)
            u.press("Up")
            for _ in range(20):
                u.press("ISO_Left_Tab")
                watch.name()
                if watch.last and watch.last[0] in ("page tab", "page tab list"):
                    break
            check(watch.last and watch.last[0] in ("page tab", "page tab list"),
                  "Shift+Tab comes back to the tab list: %r" % (watch.last,))
            u.press("Left")
            check(selected_page(app) == "Général", "Left comes back to the first page")

            # Tab reaches every control of the page, then the buttons.
            reached = []
            for _ in range(40):
                u.press("Tab")
                name = watch.name()
                if name and name not in reached:
                    reached.append(name)
                if name == "Annuler":
                    break
            missing = [n for n in GENERAL if n not in reached]
            check(not missing, "Tab reaches every control, missing %r of %r" % (missing, reached))

            # Space ticks a check box reached with Tab; Valider saves.
            for _ in range(40):
                if watch.name() == "Réduire au démarrage":
                    break
                u.press("Tab")
            u.press("space")
            for _ in range(40):
                if watch.name() == "Valider":
                    break
                u.press("Tab")
            check(watch.name() == "Valider", "Tab reaches Valider")
            u.press("Return")
            rc = proc.wait(20)
            check(rc == 0, "Valider closes the dialog as confirmed (rc=%r)" % rc)
            with open(os.path.join(data, "Orvalis.ini"), encoding="utf-8-sig") as f:
                text = f.read()
            check("MinimizeOnStart = On" in text, "the ticked box is saved")
            threads = int(os.environ.get("ORVALIS_UPDATE_THREADS", "4")) + 1
            check("UpdateThreads = %d" % threads in text,
                  "the raised number of feeds updated at the same time is saved")
        finally:
            if proc.poll() is None:
                proc.terminate()
                proc.wait(10)
    print("%d passed, %d failed" % (passed, failed))
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()

"""Helpers for end-to-end tests: start a program under the accessibility bus and read
its windows as a screen reader does."""
import os
import subprocess
import time

import pyatspi


def find_app(name, timeout=20.0):
    """The accessible application whose name is `name`, waiting for it to appear."""
    deadline = time.time() + timeout
    while time.time() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.name == name:
                return app
        time.sleep(0.2)
    raise AssertionError("application %r never appeared on the accessibility bus" % name)


def walk(acc, depth=0):
    """Every accessible under `acc`, depth first, with its depth."""
    yield acc, depth
    for i in range(acc.childCount):
        child = acc.getChildAtIndex(i)
        if child is not None:
            yield from walk(child, depth + 1)


def find(acc, pred, timeout=10.0):
    deadline = time.time() + timeout
    while True:
        for node, _ in walk(acc):
            try:
                if pred(node):
                    return node
            except Exception:
                pass
        if time.time() > deadline:
            return None
        time.sleep(0.2)


def role(node):
    return node.getRoleName()


def dump(acc):
    lines = []
    for node, depth in walk(acc):
        lines.append("  " * depth + "%s %r" % (node.getRoleName(), node.name))
    return "\n".join(lines)


def press(keysym_name):
    """Sends one key press and release by its X key symbol name (e.g. "Tab", "Down")."""
    import gi
    gi.require_version("Gdk", "3.0")
    from gi.repository import Gdk
    keyval = Gdk.keyval_from_name(keysym_name)
    pyatspi.Registry.generateKeyboardEvent(keyval, None, pyatspi.KEY_SYM)
    time.sleep(0.15)


def start(argv, env=None):
    e = dict(os.environ)
    if env:
        e.update(env)
    return subprocess.Popen(argv, env=e)

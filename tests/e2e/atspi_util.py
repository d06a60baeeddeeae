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


def read(fn, default=None, tries=3):
    """`fn()`, read again when the object answered with an error (an object that is being
    rebuilt can vanish between two reads); `default` when it kept failing."""
    for attempt in range(tries):
        try:
            return fn()
        except Exception:
            if attempt + 1 < tries:
                time.sleep(0.05)
    return default


def walk(acc, depth=0):
    """Every accessible under `acc`, depth first, with its depth. Objects that vanish while
    they are walked (a list refilled, a menu closed) are left out instead of failing."""
    yield acc, depth
    count = read(lambda: acc.childCount, 0) or 0
    for i in range(count):
        child = read(lambda: acc.getChildAtIndex(i))
        if child is None or read(lambda: child.getRoleName()) is None:
            continue
        yield from walk(child, depth + 1)


def children(acc):
    """The direct children of `acc` that are still there."""
    count = read(lambda: acc.childCount, 0) or 0
    kids = [read(lambda: acc.getChildAtIndex(i)) for i in range(count)]
    return [k for k in kids if k is not None]


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
    """The role name of `node`; "" when it has vanished."""
    return read(lambda: node.getRoleName(), "") or ""


def name(node):
    """The accessible name of `node`; "" when it has vanished."""
    return read(lambda: node.name, "") or ""


def dump(acc):
    lines = []
    for node, depth in walk(acc):
        lines.append("  " * depth + "%s %r" % (role(node), name(node)))
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

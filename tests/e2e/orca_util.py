"""Listening to the real screen reader: a private speech-dispatcher whose only voice writes
every utterance as one line of a file, Orca started on it, and the program under test.
Keys go through xdotool as a user's would; what Orca said is read back from the file.

Run under run-under-x.sh (Xvfb, a private D-Bus session and the accessibility bus)."""
import os
import re
import shutil
import subprocess
import tempfile
import time

SCREEN_READER_ON = "Screen reader on."


def _write(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)


def _wait(pred, timeout):
    deadline = time.time() + timeout
    while True:
        value = pred()
        if value or time.time() > deadline:
            return value
        time.sleep(0.1)


class Listener:
    """speech-dispatcher, a window manager and Orca, each private to this run.
    Use as a context manager; everything started is stopped, by its own process id."""

    def __init__(self):
        self.dir = tempfile.mkdtemp(prefix="orvalis-orca-")
        self.spoken = os.path.join(self.dir, "spoken.txt")
        self.procs = []
        self.app = None

    # -- start and stop -----------------------------------------------------------------
    def __enter__(self):
        try:
            self._start_speech()
            self._start_window_manager()
            self._start_orca()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()

    def _spawn(self, argv, env, log):
        out = open(os.path.join(self.dir, log), "w")
        proc = subprocess.Popen(argv, env=env, stdout=out, stderr=subprocess.STDOUT)
        self.procs.append(proc)
        return proc

    def _start_speech(self):
        conf = os.path.join(self.dir, "speechd")
        home = os.path.join(self.dir, "speechd-home")
        os.makedirs(os.path.join(conf, "modules"))
        os.makedirs(os.path.join(self.dir, "speechd-log"))
        _write(os.path.join(conf, "speechd.conf"),
               'LogLevel 3\nAudioOutputMethod "libao"\n'
               'AddModule "recorder" "sd_generic" "recorder.conf"\nDefaultModule recorder\n')
        # One line per utterance: the text is handed to printf as an argument, never run.
        _write(os.path.join(conf, "modules", "recorder.conf"),
               "GenericExecuteSynth \"printf '%%s\\\\n' \\'$DATA\\' >> %s\"\n"
               'GenericCmdDependency "printf"\n'
               'GenericLanguage "en" "en" "utf-8"\nGenericLanguage "fr" "fr" "utf-8"\n'
               'AddVoice "en" "MALE1" "x"\nAddVoice "fr" "MALE1" "x"\n' % self.spoken)
        _write(os.path.join(home, ".libao"), "default_driver=null\n")
        socket = os.path.join(self.dir, "speechd.sock")
        env = dict(os.environ, HOME=home)
        self._spawn(["speech-dispatcher", "-s", "-t", "0", "-c", "unix_socket", "-S", socket,
                     "-C", conf, "-L", os.path.join(self.dir, "speechd-log"), "-l", "3"],
                    env, "speechd.out")
        if not _wait(lambda: os.path.exists(socket), 20):
            raise AssertionError("speech-dispatcher never opened its socket")
        os.environ["SPEECHD_ADDRESS"] = "unix_socket:" + socket

    def _start_window_manager(self):
        # A window manager gives the new window the focus and makes it active, which is
        # what tells Orca which window to follow.
        if shutil.which("openbox"):
            env = dict(os.environ, HOME=os.path.join(self.dir, "wm-home"))
            os.makedirs(env["HOME"], exist_ok=True)
            self._spawn(["openbox", "--sm-disable"], env, "openbox.out")
            time.sleep(0.5)

    def _start_orca(self):
        home = os.path.join(self.dir, "orca-home")
        env = dict(os.environ, HOME=home, XDG_DATA_HOME=os.path.join(home, "data"),
                   XDG_CONFIG_HOME=os.path.join(home, "config"), LANG="C.UTF-8")
        os.makedirs(env["XDG_DATA_HOME"])
        os.makedirs(env["XDG_CONFIG_HOME"])
        self.orca_debug = os.path.join(self.dir, "orca-debug.txt")
        # Never "--replace": it kills every Orca of this user on the machine, by name. An
        # Orca already running makes this one refuse to start: it is tried again until the
        # other has gone.
        deadline = time.time() + 120
        while True:
            proc = self._spawn(["orca", "--debug-file=" + self.orca_debug], env, "orca.out")
            if _wait(lambda: SCREEN_READER_ON in self.lines() or proc.poll() is not None, 60) \
                    and SCREEN_READER_ON in self.lines():
                break
            if proc.poll() is None or time.time() > deadline:
                raise AssertionError("Orca never said it was on; it said %r\n%s"
                                     % (self.lines(), self._tail("orca.out")))
            self.procs.remove(proc)
            time.sleep(2)
        self.settle()

    def start_program(self, argv, env=None):
        """Starts the program under test (stopped by close())."""
        e = dict(os.environ)
        if env:
            e.update(env)
        proc = subprocess.Popen(argv, env=e)
        self.procs.append(proc)
        self.app = proc
        return proc

    def close(self):
        # The program first, then Orca, the window manager and the speech server.
        for proc in reversed(self.procs):
            if proc.poll() is None:
                proc.terminate()
                try:
                    proc.wait(10)
                except subprocess.TimeoutExpired:
                    proc.kill()
                    proc.wait(10)
        self.procs = []
        if os.environ.get("ORVALIS_KEEP_ORCA_LOGS"):
            print("orca logs kept in " + self.dir)
        else:
            shutil.rmtree(self.dir, ignore_errors=True)

    def _tail(self, name, n=3000):
        try:
            with open(os.path.join(self.dir, name), encoding="utf-8", errors="replace") as f:
                return f.read()[-n:]
        except OSError:
            return ""

    # -- listening ----------------------------------------------------------------------
    def lines(self):
        """Every utterance so far, in order."""
        try:
            with open(self.spoken, encoding="utf-8", errors="replace") as f:
                return [line.rstrip("\n") for line in f if line.strip()]
        except OSError:
            return []

    def mark(self):
        """A mark to pass to since()."""
        return len(self.lines())

    def since(self, mark):
        return self.lines()[mark:]

    def settle(self, quiet=2.0, timeout=20.0):
        """Waits until no new utterance came for `quiet` seconds (at most `timeout`)."""
        deadline = time.time() + timeout
        count, last = len(self.lines()), time.time()
        while time.time() < deadline:
            time.sleep(0.1)
            now = len(self.lines())
            if now != count:
                count, last = now, time.time()
            elif time.time() - last >= quiet:
                break

    def wait_for(self, mark, want=None, timeout=20.0, quiet=2.0):
        """The utterances after `mark` once speech came (containing `want` when given,
        a text or a predicate on the joined lines) and then settled."""
        def heard():
            got = self.since(mark)
            if not got:
                return False
            if want is None:
                return True
            text = "\n".join(got)
            return want(text) if callable(want) else want in text
        _wait(heard, timeout)
        self.settle(quiet, timeout)
        return self.since(mark)

    def key(self, keys, want=None, timeout=20.0, quiet=2.0):
        """Sends keys (xdotool names, e.g. "Tab", "shift+Tab", "Insert+KP_Enter") one after
        the other, and returns what was said after them once speech settled."""
        mark = self.mark()
        if isinstance(keys, str):
            keys = [keys]
        subprocess.run(["xdotool", "key", "--clearmodifiers", "--delay", "150"] + keys,
                       check=False)
        return self.wait_for(mark, want, timeout, quiet)

    def title(self, want=None, timeout=20.0):
        """Orca's "read title" command (Orca+KP_Enter once): what a user asks when the
        window's title was not announced as it opened. Returns what was said."""
        mark = self.mark()
        subprocess.run(["xdotool", "key", "Insert+KP_Enter"], check=False)
        return self.wait_for(mark, want, timeout)

    def status_bar(self, want=None, timeout=20.0):
        """Orca's "read status bar" command: Orca+KP_Enter pressed twice (desktop layout;
        once reads the title). Returns what was said."""
        mark = self.mark()
        for _ in range(2):
            subprocess.run(["xdotool", "key", "--delay", "80", "Insert+KP_Enter",
                            "Insert+KP_Enter"], check=False)
            heard = self.wait_for(mark, want, timeout)
            # Two presses taken as one apart (a stalled machine) read the title only: the
            # user would press again.
            if want is None or want in "\n".join(heard):
                break
        return heard


# -- what a listener must never hear ------------------------------------------------------
RAW_MASK = re.compile(r"%[-+ #0-9.]*[a-zA-Z]")


def raw_masks(lines):
    """The utterances holding a printf-like mask ("%d", "%s"...)."""
    return [line for line in lines if RAW_MASK.search(line) or "%" in line]


UNNAMED_BUTTON = re.compile(r"(^|[.,:] *)(push )?button\b", re.IGNORECASE)


def unnamed_buttons(lines):
    """The utterances where a button is announced without a name before its role."""
    return [line for line in lines if UNNAMED_BUTTON.search(line.strip())]

"""The main window as a blind user hears it: Orca runs beside the program on a prepared data
folder, keys are sent as a user types them, and what Orca said is checked: zone names, feed
names with their unread counts and levels, rows with their marks and cells, the article
text, the status line, and never a raw mask, a bare number or silence after a key that
moves the focus or the selection."""
import os
import re
import shutil
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import orca_util as o  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
DATA = os.path.join(HERE, "..", "data", "listener")

# The "Durée" column of a podcast row is read aloud as its raw mask ("%dt%dmm%dss") today;
# the check below is reported but not counted until the column speaks a real duration.
DURATION_MASK_FIXED = True
# Left on a feed selects its group, but Orca says nothing: the move is not announced to the
# accessibility bus as a focus change. Reported, not counted until mended.
LEFT_TO_GROUP_SPOKEN = False

results = []


def check(name, cond, heard=None, counted=True):
    ok = bool(cond)
    if counted:
        results.append(ok)
        print(("ok   " if ok else "FAIL ") + name + ("" if ok else "  -- heard %r" % (heard,)))
    else:
        print(("XPASS (count it now) " if ok else "XFAIL ") + name + "  -- heard %r" % (heard,))


def words(lines):
    """What the program made Orca say: Orca's echo of the key typed ("tab ", "2 ") left out."""
    return [line.strip() for line in lines
            if not (line.endswith(" ") and len(line.split()) <= 2) and line.strip()]


def in_order(lines, *wanted):
    """Each wanted text is in a line after the line holding the previous one."""
    at = 0
    for want in wanted:
        while at < len(lines) and want not in lines[at]:
            at += 1
        if at == len(lines):
            return False
        at += 1
    return True


DATE = re.compile(r"\b\w{3} \d{2} \d{2} \d{4} \d{2}:\d{2}\b")  # "Lun 01 12 2025 08:06"
UNIT = r"(Mo|Ko|Go|octets?|Non lu|articles?|sur|min|s|h)\b"


def bare_numbers(lines):
    """Numbers the program made Orca say without a unit (dates and Orca's own "tree level 2",
    "3 rows 4 columns" aside)."""
    found = []
    for line in words(lines):
        text = DATE.sub("", line)
        text = re.sub(r"tree level \d+|with \d+ rows? \d+ columns?|\d+ items?", "", text)
        for m in re.finditer(r"\d+(?:[.,]\d+)?", text):
            rest = text[m.end():]
            if not re.match(r"\]?\s*" + UNIT, rest):
                found.append(line)
    return found


def listen(L, key, want, what):
    """Sends `key`, checks Orca said something of the program's and that `want` was said."""
    heard = L.key(key, want=want)
    check(what, want in "\n".join(words(heard)), heard)
    check("no silence after " + key, words(heard), heard)
    check("nothing raw after " + key, not o.raw_masks(heard) and not bare_numbers(heard), heard)
    return words(heard)


def main():
    binary = os.path.join(os.environ["ORVALIS_BIN"], "Orvalis")
    with o.Listener() as L, tempfile.TemporaryDirectory() as data:
        shutil.copytree(DATA, os.path.join(data, "QuenbelS", "Orvalis"))
        mark = L.mark()
        L.start_program([binary], {"XDG_DATA_HOME": data})
        run(L, mark)
    failed = results.count(False)
    print("%d passed, %d failed" % (len(results) - failed, failed))
    sys.exit(1 if failed else 0)


def run(L, mark):
    heard = words(L.wait_for(mark, "tree level 1", timeout=60))
    check("start-up speaks the first group with its unread count, then its level",
          in_order(heard, "Actualités [3 Non lu]", "tree level 1"), heard)
    check("start-up says the first group is open with its two feeds",
          "expanded 2 items" in "\n".join(heard), heard)
    check("nothing raw at start-up", not o.raw_masks(heard) and not bare_numbers(heard), heard)

    # The tree: feeds one level down, each with its unread count.
    heard = listen(L, "Down", "France Info [1 Non lu]", "Down speaks the first feed")
    check("a feed is announced one level down", in_order(heard, "France Info", "tree level 2"),
          heard)
    heard = listen(L, "Down", "Le Monde [2 Non lu]", "Down speaks the second feed")

    # Tab to the list: the zone's name first, then the selected row.
    heard = listen(L, "Tab", "Premier article du Monde", "Tab speaks the list and its first row")
    check("the list's name comes before its row",
          in_order(heard, "Liste des articles", "Premier article du Monde"), heard)
    check("the row's date is spoken", any(DATE.search(line) for line in heard), heard)
    heard = listen(L, "Down", "Lu Deuxième article du Monde", "a read row is spoken with its mark")
    heard = listen(L, "Down", "Troisième article du Monde", "Down speaks the third row")
    # An article shown is marked read at once ("AutoSetReadedFeed", on by default), so its
    # row may already carry the mark when it is spoken.

    # Tab to the text: its name, then the article (its description first).
    heard = listen(L, "Tab", "Encore un", "Tab speaks the article text")
    check("the text zone's name comes before the article",
          in_order(heard, "Texte de l'article", "Encore un"), heard)

    # Back to the tree: every article shown was marked read, the feed's count is gone.
    heard = listen(L, "Tab", "Le Monde",
                   "Tab back to the tree speaks the feed with its unread count gone")
    check("the feed whose articles were all read carries no unread count",
          not any(line.startswith("Le Monde [") for line in heard), heard)

    # The focus keys.
    heard = listen(L, "2", "Liste des articles", "the digit 2 speaks the list")
    check("the list row just read now carries the read mark",
          "Lu Troisième article du Monde" in "\n".join(heard), heard)
    listen(L, "1", "Le Monde", "the digit 1 speaks the tree and its feed")
    listen(L, "3", "Texte de l'article", "the digit 3 speaks the article text")

    # Orca's "read status bar" command.
    heard = L.status_bar(want="statusbar")
    check("Orca reads the status line: the feed and its articles",
          in_order(words(heard), "Le Monde", "3 articles"), heard)
    check("nothing raw in the status line", not o.raw_masks(heard) and not bare_numbers(heard),
          heard)

    # Left and Right in the tree: up to the group, close it, open it.
    listen(L, "1", "Le Monde", "the digit 1 comes back to the tree")
    heard = L.key("Left", want="Actualités", timeout=8)
    check("Left on a feed speaks its group, one level up",
          in_order(words(heard), "Actualités [2 Non lu]", "tree level 1"), heard,
          counted=LEFT_TO_GROUP_SPOKEN)
    listen(L, "Left", "collapsed", "Left on an open group says it closed")
    listen(L, "Right", "expanded", "Right on a closed group says it opened")

    # A podcast row: its size with its unit, its duration without a raw mask.
    listen(L, "Down", "France Info", "Down goes into the open group")
    listen(L, "Down", "Le Monde", "Down speaks its second feed")
    listen(L, "Down", "Podcasts [1 Non lu]", "Down speaks the next group")
    listen(L, "Down", "Radio Culture [1 Non lu]", "Down speaks the podcast feed")
    heard = L.key("Tab", want="Mo")
    said = words(heard)
    check("a podcast row speaks its title, then its size with its unit",
          in_order(said, "Entretien du matin", "2.0 Mo"), heard)
    check("the podcast row's duration is spoken as a duration, not as its mask",
          not o.raw_masks(said) and re.search(r"\b0?2\D{1,6}0?5\b", "\n".join(said)), heard,
          counted=DURATION_MASK_FIXED)


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Writes large article-like pages for the html2text benchmark: a head with styles and
scripts, navigation lists, nested tables, lists, definition lists, comments (some nested),
inline scripts, images, links, named and numeric character references, and text in
several scripts. Deterministic for a given size and seed.
usage: generate_pages.py OUTDIR [SIZE_KB ...]   (default sizes 200 1000 5000)"""
import os
import random
import sys

WORDS = ("le la les un une des et est dans pour avec sur par pas plus tout faire "
         "article texte lecteur flux nouvelles écran clavier synthèse vocale journal "
         "année été élève Ελληνικά Русский текст 日本語 ニュース 中文 😀").split()
REFS = ["&amp;", "&lt;", "&gt;", "&quot;", "&nbsp;", "&eacute;", "&Eacute;", "&agrave;",
        "&euro;", "&hellip;", "&rsquo;", "&laquo;", "&raquo;", "&#8217;", "&#233;",
        "&#x2014;", "&#160;", "&#128512;", "&#150;", "&copy;", "&mdash;", "&ccedil;"]


def words(rng, n):
    out = []
    for _ in range(n):
        out.append(rng.choice(REFS) if rng.random() < 0.08 else rng.choice(WORDS))
    return " ".join(out)


def inline(rng):
    r = rng.random()
    w = words(rng, rng.randint(1, 4))
    if r < 0.15:
        return '<a href="https://example.org/%d">%s</a>' % (rng.randint(0, 10**6), w)
    if r < 0.25:
        return "<strong>%s</strong>" % w
    if r < 0.32:
        return "<em>%s</em>" % w
    if r < 0.36:
        return '<img src="/i/%d.jpg" alt="%s">' % (rng.randint(0, 999), w)
    if r < 0.40:
        return '<span class="c%d">%s</span>' % (rng.randint(0, 9), w)
    return w


def paragraph(rng):
    return "<p>" + " ".join(inline(rng) for _ in range(rng.randint(5, 25))) + "</p>\n"


def table(rng, depth):
    rows = []
    for _ in range(rng.randint(2, 6)):
        cells = []
        for _ in range(rng.randint(2, 5)):
            if depth < 3 and rng.random() < 0.2:
                cells.append("<td>" + table(rng, depth + 1) + "</td>")
            else:
                cells.append("<td>" + inline(rng) + "</td>")
        rows.append("<tr>" + "".join(cells) + "</tr>")
    return '<table class="t%d"><tbody>' % depth + "\n".join(rows) + "</tbody></table>\n"


def lists(rng, depth=0):
    tag = rng.choice(["ul", "ol"])
    items = []
    for _ in range(rng.randint(2, 8)):
        inner = inline(rng)
        if depth < 2 and rng.random() < 0.2:
            inner += lists(rng, depth + 1)
        items.append("<li>" + inner + "</li>")
    return "<%s>%s</%s>\n" % (tag, "".join(items), tag)


def deflist(rng):
    return "<dl>" + "".join("<dt>%s</dt><dd>%s</dd>" % (words(rng, 2), words(rng, 6))
                            for _ in range(rng.randint(2, 6))) + "</dl>\n"


def script(rng):
    body = "var x%d = '<div>' + a < b && c > d; // %s" % (rng.randint(0, 999), words(rng, 5))
    return "<script type=\"text/javascript\">%s</script>\n" % body


def comment(rng):
    if rng.random() < 0.3:
        return "<!-- outer %s <!-- inner --> tail -->\n" % words(rng, 3)
    return "<!-- %s -->\n" % words(rng, 6)


BLOCKS = [(paragraph, 40), (lambda r: table(r, 0), 12), (lists, 12), (deflist, 6),
          (script, 8), (comment, 8),
          (lambda r: "<h2>%s</h2>\n" % words(r, 5), 6),
          (lambda r: "<div class=\"box\">%s</div>\n" % paragraph(r), 8)]


def page(size, seed):
    rng = random.Random(seed)
    head = ("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Page</title>\n"
            "<style>body{font:1em sans-serif} td>p{margin:0}</style>\n" + script(rng) +
            "</head>\n<body>\n<ul class=\"nav\">" +
            "".join('<li><a href="/%d">Menu %d</a></li>' % (i, i) for i in range(12)) +
            "</ul>\n<h1>Titre de l'article</h1>\n")
    parts = [head]
    total = len(head.encode())
    fns = [f for f, w in BLOCKS for _ in range(w)]
    while total < size:
        b = rng.choice(fns)(rng)
        parts.append(b)
        total += len(b.encode())
    parts.append("</body>\n</html>\n")
    return "".join(parts)


def main():
    out = sys.argv[1]
    sizes = [int(s) for s in sys.argv[2:]] or [200, 1000, 5000]
    os.makedirs(out, exist_ok=True)
    for kb in sizes:
        path = os.path.join(out, "page-%dk.html" % kb)
        with open(path, "w", encoding="utf-8") as f:
            f.write(page(kb * 1024, kb))
        print(path)


if __name__ == "__main__":
    main()

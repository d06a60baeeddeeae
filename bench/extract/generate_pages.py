#!/usr/bin/env python3
"""Writes the pages of the extraction benchmark: 100 pages shaped like news sites (head
with styles and scripts, navigation menus, breadcrumb, the article with its title,
paragraphs, images and links, related articles, a long comment section, a footer with link
lists), from 50 KB to 2 MB on a geometric scale. Deterministic.
usage: generate_pages.py OUTDIR [COUNT]   (default 100); writes OUTDIR/page-NNN.html and
OUTDIR/titles.txt (one "NNN<TAB>title" a line)."""
import os
import random
import sys

WORDS = ("le la les un une des et est dans pour avec sur par pas plus tout faire gouvernement "
         "ministre réforme budget élection député sénat économie climat énergie santé école "
         "université sport match équipe victoire défaite culture cinéma musique festival été "
         "hiver année semaine jeudi vendredi Paris Lyon Marseille Bruxelles Genève").split()
REFS = ["&amp;", "&nbsp;", "&eacute;", "&agrave;", "&rsquo;", "&laquo;", "&raquo;", "&#8217;",
        "&hellip;", "&euro;"]


def words(rng, n):
    return " ".join(rng.choice(REFS) if rng.random() < 0.05 else rng.choice(WORDS)
                    for _ in range(n))


def menu(rng, n):
    items = "".join('<li><a href="/rubrique/%d">%s</a></li>' % (i, words(rng, 1).capitalize())
                    for i in range(n))
    return '<nav class="menu"><ul>%s</ul></nav>\n' % items


def paragraph(rng):
    parts = []
    for _ in range(rng.randint(4, 12)):
        r = rng.random()
        w = words(rng, rng.randint(3, 9))
        if r < 0.1:
            parts.append('<a href="https://example.org/%d">%s</a>' % (rng.randint(0, 10**6), w))
        elif r < 0.15:
            parts.append("<strong>%s</strong>" % w)
        else:
            parts.append(w)
    return "<p>" + " ".join(parts) + ".</p>\n"


def comment(rng, i):
    return ('<div class="comment" id="c%d"><div class="author">%s</div><div class="date">%d '
            'mai</div><p>%s.</p><a href="#reply%d">Répondre</a> <span>%d</span></div>\n'
            % (i, words(rng, 2).title(), rng.randint(1, 28), words(rng, rng.randint(8, 40)),
               i, rng.randint(0, 99)))


def page(rng, size, title):
    head = ("<!DOCTYPE html><html lang=\"fr\"><head><meta charset=\"utf-8\"><title>%s - Le "
            "Quotidien</title><style>body{font:14px sans-serif}.menu li{display:inline}</style>"
            "<script>window.dataLayer=[];function gtag(){dataLayer.push(arguments)}</script>"
            "</head><body>\n" % title)
    top = (menu(rng, rng.randint(10, 30)) + '<div class="banner">Le Quotidien : toute '
           "l'actualité</div>\n" + menu(rng, 8) +
           '<div class="breadcrumb"><a href="/">Accueil</a> &gt; <a href="/p">Politique</a></div>\n')
    article = ['<article><h1>%s</h1><div class="chapo">%s.</div>\n' % (title, words(rng, 20)),
               '<img src="/img/%d.jpg" alt="%s">\n' % (rng.randint(0, 999), words(rng, 4))]
    for _ in range(rng.randint(6, 20)):
        article.append(paragraph(rng))
    article.append("</article>\n")
    related = ('<aside><h2>Sur le même sujet</h2><ul>' +
               "".join('<li><a href="/a/%d">%s</a></li>' % (i, words(rng, 6)) for i in range(8)) +
               "</ul></aside>\n")
    footer = ('<footer>' + menu(rng, 40) + "<p>© Le Quotidien. Tous droits réservés.</p>"
              "<script>(function(){var s=document.createElement('script');})();</script>"
              "</footer></body></html>\n")
    body = [head, top] + article + [related, '<section class="comments"><h2>Commentaires</h2>\n']
    current = sum(len(x.encode("utf-8")) for x in body) + len(footer.encode("utf-8"))
    i = 0
    while current < size:
        c = comment(rng, i)
        body.append(c)
        current += len(c.encode("utf-8"))
        i += 1
    body.append("</section>\n")
    body.append(footer)
    return "".join(body)


def main():
    out = sys.argv[1]
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 100
    os.makedirs(out, exist_ok=True)
    rng = random.Random(4242)
    titles = []
    low, high = 50 * 1024, 2 * 1024 * 1024
    for n in range(count):
        size = int(low * (high / low) ** (n / max(1, count - 1)))
        title = words(rng, rng.randint(4, 9)).replace("&", "et").capitalize()
        with open(os.path.join(out, "page-%03d.html" % n), "w", encoding="utf-8") as f:
            f.write(page(rng, size, title))
        titles.append("%03d\t%s" % (n, title))
    with open(os.path.join(out, "titles.txt"), "w", encoding="utf-8") as f:
        f.write("\n".join(titles) + "\n")


if __name__ == "__main__":
    main()

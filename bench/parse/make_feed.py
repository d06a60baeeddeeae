"""Writes RSS 2.0 documents of growing size with realistic items into the given folder."""
import os
import random
import sys

WORDS = ("feed reader article podcast radio station news update archive summary episode "
         "voyage été château crème société économie culture sport météo").split()


def para(rng, n):
    return " ".join(rng.choice(WORDS) for _ in range(n))


def item(rng, i):
    desc = "<p>%s</p><p>%s <a href=\"http://example.org/%d\">lien</a> &amp; <b>%s</b></p>" % (
        para(rng, 80), para(rng, 60), i, para(rng, 5))
    return ("<item><title>%s &amp; %d</title><link>http://example.org/article/%d</link>"
            "<description><![CDATA[%s]]></description><pubDate>Mon, 02 Mar 2026 10:%02d:00 GMT</pubDate>"
            "<guid isPermaLink=\"false\">id-%d</guid>"
            "<enclosure url=\"http://cdn.example.org/ep%d.mp3\" length=\"%d\" type=\"audio/mpeg\"/>"
            "<itunes:duration>0:%02d:%02d</itunes:duration></item>\n") % (
        para(rng, 8), i, i, desc, i % 60, i, i, 1000 * i, i % 60, i % 60)


HTML_WORDS = ("l'&eacute;t&eacute; au ch&acirc;teau, cr&egrave;me &amp; soci&eacute;t&eacute; "
              "&laquo;&nbsp;culture&nbsp;&raquo; &#233;conomie &#x2014; m&eacute;t&eacute;o "
              "news update archive summary episode voyage podcast radio").split()


def html_para(rng, n):
    return " ".join(rng.choice(HTML_WORDS) for _ in range(n))


def html_item(rng, i):
    # A description written as escaped HTML, as most news feeds do: every tag and every
    # reference goes through the entity decoder and the tag filter.
    desc = ("<div class=\"article\"><h2>%s</h2><p>%s</p><p><img src=\"http://img.example.org/%d.jpg\" "
            "alt=\"%s\"/><br/>%s <a href=\"http://example.org/%d?a=1&amp;b=2\">la suite</a></p>"
            "<ul><li>%s</li><li>%s</li></ul><p><em>%s</em> <strong>%s</strong></p></div>") % (
        html_para(rng, 6), html_para(rng, 64), i, html_para(rng, 4), html_para(rng, 50), i,
        html_para(rng, 10), html_para(rng, 10), html_para(rng, 14), html_para(rng, 6))
    esc = desc.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")
    return ("<item><title>%s &amp;amp; &lt;b&gt;%d&lt;/b&gt;</title><link>http://example.org/article/%d</link>"
            "<description>%s</description><pubDate>Mon, 02 Mar 2026 10:%02d:00 +0100</pubDate>"
            "<guid>http://example.org/article/%d</guid><author>r&amp;eacute;daction@example.org</author></item>\n") % (
        html_para(rng, 8).replace("&", "&amp;"), i, i, esc, i % 60, i)


def html_feed(out, rng):
    """12 MB of 4,000 items whose descriptions are escaped HTML pages."""
    parts = ['<?xml version="1.0" encoding="UTF-8"?>\n<rss version="2.0"><channel>'
             '<title>Bench HTML</title><link>http://example.org/</link>\n']
    for i in range(4000):
        parts.append(html_item(rng, i))
    parts.append("</channel></rss>\n")
    with open(os.path.join(out, "html-4000.xml"), "w", encoding="utf-8") as f:
        f.write("".join(parts))


def main():
    out = sys.argv[1]
    rng = random.Random(7)
    for target in (100_000, 1_000_000, 5_000_000, 20_000_000):
        parts = ['<?xml version="1.0" encoding="UTF-8"?>\n<rss version="2.0" '
                 'xmlns:itunes="http://www.itunes.com/dtds/podcast-1.0.dtd"><channel>'
                 '<title>Bench</title><link>http://example.org/</link>\n']
        size = len(parts[0])
        i = 0
        while size < target:
            s = item(rng, i)
            parts.append(s)
            size += len(s.encode())
            i += 1
        parts.append("</channel></rss>\n")
        with open(os.path.join(out, "feed-%08d.xml" % target), "w", encoding="utf-8") as f:
            f.write("".join(parts))
    html_feed(out, rng)


if __name__ == "__main__":
    main()

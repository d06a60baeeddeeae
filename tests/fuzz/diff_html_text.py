#!/usr/bin/env python3
"""Differential check: random pages through orvalis-tool html2text and through the literal
model html_text_reference.py; prints the first differing page and exits 1.
usage: diff_html_text.py [COUNT] [SEED]   (ORVALIS_TOOL overrides the tool's path)"""
import os
import random
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import html_text_reference as ref  # noqa: E402

TOOL = os.environ.get("ORVALIS_TOOL", os.path.join(
    os.path.dirname(os.path.abspath(__file__)), "..", "..", "build", "bin", "orvalis-tool"))

TAGS = ["a", "a href='x'", "/a", "b", "/b", "i", "em", "br", "br/", "br /", "div", "/div",
        "dl", "/dl", "dt", "/dt", "dd", "/dd", "h1", "/h1", "h3", "/h6", "img src=x alt=Logo",
        "img title=\" T \"", "img alt=''", "IMG ALT=Big>", "li", "/li", "ol", "/ol", "ul",
        "/ul", "p", "/p", "P class=x", "span", "/span", "script", "/script", "style", "/style",
        "noscript", "/noscript", "table", "/table", "tr", "/tr", "td", "/td", "th", "/th",
        "body", "/body", "o:p", "/o:p", "abbr", "x-y", "![CDATA[", "!doctype html", "a <b> c"]
BITS = ["x", "y", " ", "  ", "\t", "\r\n", "\n", "é", "Ж", "日本", "😀", "\u0096", "\u00a0",
        "<", ">", "< b", "<<", ">>", "&", "&#", ";", "#", "<!--", "-->", "<!-->", "]]>",
        "&amp;", "&AMP;", "&lt;", "&Eacute;", "&EACUTE;", "&eacute;", "&nbsp;", "&hibar;",
        "&macr;", "&euro;", "&Yuml;", "&yuml;", "&YUML;", "&prime;", "&PRIME;", "&thinsp;",
        "&#65;", "&#x41;", "&#X41;", "&#10;", "&#150;", "&#38;", "&#35;", "&#128512;",
        "&#xD800;", "&#x110000;", "&# 66;", "&#+67;", "&#-1;", "&#00000065;", "&#0000065;",
        "&#6", "&#1&#65;", "&#65&#66;", "&amp;#65;", "&#59;", "'", "\"", "=", "alt=z", "/"]


DENSE = ["&", "#", ";", "&#", "1", "6", "5", "3", "8", "x", "A", " ", "-", "+", "amp;", "lt;",
         "<", ">", "", "é"]


def fragment(rng):
    if MODE == "refs":
        return rng.choice(DENSE)
    r = rng.random()
    if r < 0.45:
        return "<" + rng.choice(TAGS) + ">"
    return rng.choice(BITS)


def page(rng):
    if MODE == "long":  # long unbalanced stretches: the converter's bracket table
        return "".join(fragment(rng) for _ in range(rng.randint(800, 1500)))
    return "".join(fragment(rng) for _ in range(rng.randint(0, 40)))


MODE = os.environ.get("MODE", "mixed")  # mixed, refs (dense references) or long


def main():
    count = int(sys.argv[1]) if len(sys.argv) > 1 else 500
    rng = random.Random(int(sys.argv[2]) if len(sys.argv) > 2 else 1)
    with tempfile.TemporaryDirectory() as d:
        path = os.path.join(d, "p.html")
        for k in range(count):
            text = page(rng)
            flags = rng.choice([None, 0x20000, 0x3F000, 0x21000, 0x2A000, 0x34000, 0x38000])
            with open(path, "wb") as f:
                f.write(text.encode("utf-8"))
            args = [TOOL, "html2text", path] + ([str(flags)] if flags is not None else [])
            got = subprocess.run(args, capture_output=True).stdout
            st = ref.init(text)
            if flags is not None:
                ref.apply_flags(st, flags)
            want = ref.convert(st).encode("utf-8")
            if got != want:
                print("DIFFERENCE on case", k, "flags", flags)
                print("page:", repr(text))
                print("tool:", repr(got.decode("utf-8", "replace")))
                print("want:", repr(want.decode("utf-8", "replace")))
                return 1
    print(count, "pages identical")
    return 0


if __name__ == "__main__":
    sys.exit(main())

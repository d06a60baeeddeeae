#!/usr/bin/env python3
"""Slow, literal model of the HTML-to-text converter, written step by step on Python
strings (one element per character, 1-based positions as the algorithms are stated).
The C++ converter takes shortcuts for speed (one-pass reference decoding, a bracket
table, bounded searches); diff_html_text.py runs both on generated pages and reports any
difference. Not run by ctest.

usage: html_text_reference.py FILE [FLAGS]   (prints the result like orvalis-tool html2text)
"""
import sys


def ulower(c):
    o = ord(c)
    if o < 0x80:
        return chr(o + 32) if 65 <= o <= 90 else c
    if 0xC0 <= o <= 0xDE and o != 0xD7:
        return chr(o + 32)
    if 0x100 <= o <= 0x137:
        return chr(o | 1)
    if 0x139 <= o <= 0x148:
        return chr(o + 1) if o & 1 else c
    if 0x14A <= o <= 0x177:
        return chr(o | 1)
    if o == 0x178:
        return chr(0xFF)
    if 0x179 <= o <= 0x17E:
        return chr(o + 1) if o & 1 else c
    if 0x391 <= o <= 0x3AB and o != 0x3A2:
        return chr(o + 32)
    if 0x410 <= o <= 0x42F:
        return chr(o + 32)
    if 0x400 <= o <= 0x40F:
        return chr(o + 80)
    return c


def alower(s):
    return "".join(chr(ord(c) + 32) if "A" <= c <= "Z" else c for c in s)


def find(s, sub, frm):
    """1-based InStr: position of sub in s at or after frm, 0 when absent."""
    p = s.find(sub, max(frm, 1) - 1)
    return p + 1 if p >= 0 else 0


def replace_nocase(s, a, b):
    low = alower(s)
    la = alower(a)
    out = []
    i = 0
    while True:
        p = low.find(la, i)
        if p < 0:
            break
        out.append(s[i:p])
        out.append(b)
        i = p + len(a)
    out.append(s[i:])
    return "".join(out)


CP1252 = [0x20AC, 0x81, 0x201A, 0x192, 0x201E, 0x2026, 0x2020, 0x2021, 0x2C6, 0x2030, 0x160,
          0x2039, 0x152, 0x8D, 0x17D, 0x8F, 0x90, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
          0x2013, 0x2014, 0x2DC, 0x2122, 0x161, 0x203A, 0x153, 0x9D, 0x17E, 0x178]

LATIN1 = ("iexcl cent pound curren yen brvbar sect uml copy ordf laquo not shy reg hibar deg "
          "plusmn sup2 sup3 acute micro para middot cedil sup1 ordm raquo frac14 frac12 frac34 "
          "iquest Agrave Aacute Acirc Atilde Auml Aring AElig Ccedil Egrave Eacute Ecirc Euml "
          "Igrave Iacute Icirc Iuml ETH Ntilde Ograve Oacute Ocirc Otilde Ouml times Oslash "
          "Ugrave Uacute Ucirc Uuml Yacute THORN szlig agrave aacute acirc atilde auml aring "
          "aelig ccedil egrave eacute ecirc euml igrave iacute icirc iuml eth ntilde ograve "
          "oacute ocirc otilde ouml divide oslash ugrave uacute ucirc uuml yacute thorn yuml").split()

STEPS = [
    [("quot", '"'), ("lt", "<"), ("gt", ">")],
    [(n, chr(c)) for n, c in [
        ("euro", 0x80), ("sbquo", 0x82), ("fnof", 0x83), ("bdquo", 0x84), ("hellip", 0x85),
        ("Dagger", 0x87), ("dagger", 0x86), ("circ", 0x88), ("permil", 0x89),
        ("Scaron", 0x8A), ("lsaquo", 0x8B), ("OElig", 0x8C), ("lsquo", 0x91),
        ("rsquo", 0x92), ("ldquo", 0x93), ("rdquo", 0x94), ("bull", 0x95), ("ndash", 0x96),
        ("mdash", 0x97), ("tilde", 0x98), ("trade", 0x99), ("scaron", 0x9A),
        ("rsaquo", 0x9B), ("oelig", 0x9C), ("Yuml", 0x9F)]],
    [("nbsp", " ")],
    [(n, chr(0xA1 + i)) for i, n in enumerate(LATIN1)],
    [("thinsp", " "), ("prime", "\u2032"), ("Prime", "\u2033")],
    [("amp", "&")],
]
_lows = {}
for step in STEPS:
    for n, _ in step:
        _lows[alower(n)] = _lows.get(alower(n), 0) + 1


def fix_cp1252(s):
    return "".join(chr(CP1252[ord(c) - 0x80]) if 0x80 <= ord(c) <= 0x9F else c for c in s)


def ref_value(body):
    i = 0
    while i < len(body) and body[i] == " ":
        i += 1
    neg = False
    if i < len(body) and body[i] in "+-":
        neg = body[i] == "-"
        i += 1
    base = 10
    if i < len(body) and body[i] in "xX":
        base = 16
        i += 1
    digits = "0123456789abcdefABCDEF" if base == 16 else "0123456789"
    v = 0
    while i < len(body) and body[i] in digits:
        v = v * base + int(body[i], 16)
        i += 1
    if neg:
        v = -v
    if v < 32 or v > 0x10FFFF or 0xD800 <= v <= 0xDFFF:
        return -1
    return v


def decode_entities(t):
    for step in STEPS:
        for n, ch in step:
            pat = "&" + n + ";"
            if _lows[alower(n)] > 1:
                t = t.replace(pat, ch)
            else:
                t = replace_nocase(t, pat, ch)
    pos = 1
    while True:
        a = find(t, "&#", pos)
        if a == 0:
            break
        s = find(t, ";", a)
        if s and s - a < 10:
            v = ref_value(t[a + 1:s - 1])
            if v >= 0:
                t = t.replace(t[a - 1:s], chr(v))
        pos = a + 1
    return fix_cp1252(t)


def clean_lines(t):
    t = t.replace("\t", " ")
    while "  " in t:
        t = t.replace("  ", " ")
    t = t.replace("\r", "\n").replace("\n ", "\n")
    while "\n\n" in t:
        t = t.replace("\n\n", "\n")
    t = t.strip(" ")
    if t.startswith("\n"):
        t = t[1:]
    return t


class State:
    pass


def init(page):
    st = State()
    st.Div = ("\n", "\n"); st.Dl = ("\n", "\n"); st.Dd = (" = ", "\n"); st.Dt = ("\n", "")
    st.H = ("\n", "\n"); st.Ol = ("\n", "\n"); st.Ul = ("\n", "\n"); st.Li = ("\n", "")
    st.Table = ("\n", "\n"); st.Cell = ("", "; "); st.Tr = ("\n", ""); st.P = ("\n", "\n")
    st.KeepLinks = st.KeepDefinitionLists = st.KeepImages = st.KeepLists = st.KeepTables = 1
    st.WaitForText = 0
    t = page.replace("\r", " ").replace("\n", " ").replace("\t", " ")
    t = "".join(c for c in t if ord(c) >= 32)
    st.Text = t
    st.LowerText = "".join(ulower(c) for c in t).replace("<!-->", "     ")
    st.TextLength = len(t)
    st.TagStart = st.TagEnd = 0
    st.TagText = st.TagName = ""
    return st


def next_tag(st, frm):
    T, L, n = st.Text, st.LowerText, st.TextLength
    p = find(T, "<", frm)
    while True:
        while p and p < n and T[p] == " ":
            p = find(T, "<", p + 1)
        if p == 0:
            return 0
        st.TagStart = p
        if L[p - 1] == " ":
            st.TagEnd = p + 4
            st.TagText = st.TagName = "!--"
            return st.TagEnd + 1
        if L[p:p + 3] == "!--":
            closings = openings = 0
            cursor = p
            c = p
            while True:
                c = find(T, "-->", c)
                if c == 0:
                    return 0
                closings += 1
                while cursor and cursor < c:
                    cursor = find(L, "<!--", cursor + 1)
                    openings += 1
                if openings == closings:
                    st.TagEnd = c + 2
                    st.TagText = T[p:c + 1]
                    st.TagName = "!--"
                    return st.TagEnd + 1
                c += 1
        lt = gt = 0
        end = 0
        for i in range(p, n + 1):
            ch = L[i - 1]
            if ch == "<":
                lt += 1
            elif ch == ">":
                gt += 1
            if lt == gt:
                end = i
                break
        if end == 0:
            p = find(T, "<", p + 1)
            continue
        st.TagEnd = end
        st.TagText = T[p:end - 1]
        tt = st.TagText
        if " " in tt:
            name = tt[:tt.index(" ")]
        elif tt.endswith("/"):
            name = tt[:-1]
        else:
            name = tt
        st.TagName = "".join(ulower(c) for c in name)
        return end + 1


def find_tag(st, name, frm):
    pat = "<" + "".join(ulower(c) for c in name)
    L = st.LowerText
    while True:
        h = find(L, pat, frm)
        if h == 0:
            return 0
        after = h + len(pat)  # 1-based position of the character after the name
        if find(L, ">", after) and after <= len(L) and L[after - 1] in " >/":
            st.TagStart = h
            st.TagEnd = find(L, ">", h + 1)
            if st.TagEnd > h + 1:
                st.TagText = st.Text[h:st.TagEnd - 1]
            return st.TagEnd + 1
        frm = h + 1


def get_attribute_bounds(s, name, frm, to):
    h = find(s, name + "=", frm)
    if h == 0 or h >= to:
        return None
    b = h + len(name) + 1
    if b <= len(s) and s[b - 1] in "\"'":
        b += 1
        e = find(s, s[b - 2], b)
    else:
        e = find(s, " ", b)
        if e == 0:
            e = find(s, ">", b)
    if e == 0 or e > to:
        e = to
    return (b, e)


def convert(st):
    started = st.WaitForText == 0
    out = []
    position = find_tag(st, "body", 1) or 1
    nxt = next_tag(st, position)
    rest = True
    while nxt:
        out.append(st.Text[position - 1:st.TagStart - 1])
        full = st.TagName
        name = full.split(":")[0]
        skip = False
        if name == "/body":
            rest = False
            break
        elif name == "a":
            skip = not (started and st.KeepLinks)
        elif name in ("/a", "blockquote", "/blockquote", "em", "i", "/em", "/i", "pre", "/pre",
                      "stricked", "del", "/stricked", "/del", "strong", "b", "/strong", "/b",
                      "u", "/u"):
            pass
        elif name == "br":
            out.append("\n")
        elif name in ("div", "/div"):
            out.append(st.Div[name[0] == "/"])
        elif name == "dl":
            if started and st.KeepDefinitionLists:
                out.append(st.Dl[0])
            else:
                skip = True
        elif name == "/dl":
            if started and st.KeepDefinitionLists:
                out.append(st.Dl[1])
        elif name in ("dt", "/dt"):
            out.append(st.Dt[name[0] == "/"])
        elif name in ("dd", "/dd"):
            out.append(st.Dd[name[0] == "/"])
        elif name in ("h1", "h2", "h3", "h4", "h5", "h6"):
            out.append(st.H[0])
            started = True
        elif name in ("/h1", "/h2", "/h3", "/h4", "/h5", "/h6"):
            out.append(st.H[1])
        elif name == "img":
            if started and st.KeepImages:
                d = ""
                for attr in ("alt", "title"):
                    bd = get_attribute_bounds(st.LowerText, attr, st.TagStart, st.TagEnd)
                    if bd and bd[1] > bd[0]:
                        d = st.Text[bd[0] - 1:bd[1] - 1]
                    if d:
                        break
                d = d.strip(" ")
                if d:
                    out.append(" (Image= " + d + ") ")
            else:
                skip = True
        elif name in ("li", "/li"):
            out.append(st.Li[name[0] == "/"])
        elif name in ("ol", "ul"):
            if started and st.KeepLists:
                out.append((st.Ol if name == "ol" else st.Ul)[0])
            else:
                skip = True
        elif name in ("/ol", "/ul"):
            out.append((st.Ol if name == "/ol" else st.Ul)[1])
        elif name == "p":
            out.append(st.P[0])
            started = True
        elif name == "/p":
            out.append(st.P[1])
        elif name == "span":
            started = True
        elif name in ("script", "noscript", "style"):
            skip = True
        elif name == "table":
            if st.KeepTables:
                out.append(st.Table[0])
            else:
                skip = True
        elif name == "/table":
            if st.KeepTables:
                out.append(st.Table[1])
        elif name in ("tr", "/tr"):
            out.append(st.Tr[name[0] == "/"])
        elif name in ("td", "th", "/td", "/th"):
            out.append(st.Cell[name[0] == "/"])
        else:
            if full.startswith("!--") or full.endswith("--"):
                pass
            elif full.startswith("![cdata["):
                if not st.TagText.endswith("]]"):
                    c = find(st.LowerText, "]]>", nxt)
                    if c:
                        nxt = c + 3
        if skip:
            after = find_tag(st, "/" + st.TagName, nxt)
            if after:
                nxt = after
        position = nxt
        nxt = next_tag(st, nxt)
    if rest and nxt == 0:
        out.append(st.Text[position - 1:])
    return clean_lines(decode_entities("".join(out)))


def apply_flags(st, flags):
    if flags & 0x20000:
        st.KeepLinks = flags & 0x1000
        st.KeepImages = flags & 0x8000
        st.KeepDefinitionLists = st.KeepLists = flags & 0x2000
        st.KeepTables = flags & 0x4000
        st.WaitForText = flags & 0x10000


def main():
    data = open(sys.argv[1], "rb").read()
    if data.startswith(b"\xef\xbb\xbf"):
        data = data[3:]
    st = init(data.decode("utf-8", errors="replace"))
    if len(sys.argv) > 2:
        apply_flags(st, int(sys.argv[2], 0))
    sys.stdout.buffer.write(convert(st).encode("utf-8", errors="surrogatepass"))


if __name__ == "__main__":
    main()

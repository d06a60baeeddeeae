#!/usr/bin/env python3
"""Writes configuration archives with Python's zipfile, independently of the program.

usage: make_archives.py SOURCE_DIR OUT_DIR ABSOLUTE_TARGET
SOURCE_DIR holds Orvalis.ini, ListRSSU.Ini and Feeds/*.Txt. Writes into OUT_DIR:
  python.OVCZ            the source under other spellings ("LISTRSSU.INI", "Feeds\\x.Txt")
  zip-slip.OVCZ          a "../" entry and a "Feeds/../../" entry beside the real files
  backslash-slip.OVCZ    a "..\\..\\" entry
  absolute.OVCZ          an entry named by the absolute path ABSOLUTE_TARGET
  symlink.OVCZ           a symbolic-link entry "Feeds/link.Txt" pointing at /etc/passwd
  bomb.OVCZ              "Feeds/bomb.Txt": 100 MB of zeros deflated to about 100 KB
  small-bomb.OVCZ        an "Orvalis.ini" of 8 MB (under its own limit) deflated to about 8 KB
  truncated.OVCZ         a sound archive cut in the middle
  corrupt-last.OVCZ      sound entries, then an article entry whose deflated data is damaged
"""
import os
import stat
import sys
import zipfile

src, out, target = sys.argv[1], sys.argv[2], sys.argv[3]
os.makedirs(out, exist_ok=True)


def read(name):
    with open(os.path.join(src, name), "rb") as f:
        return f.read()


feeds = sorted(os.listdir(os.path.join(src, "Feeds")))
D = zipfile.ZIP_DEFLATED


def base(z):
    z.writestr("Orvalis.ini", read("Orvalis.ini"), D)
    z.writestr("ListRSSU.Ini", read("ListRSSU.Ini"), D)


with zipfile.ZipFile(os.path.join(out, "python.OVCZ"), "w") as z:
    z.writestr("LISTRSSU.INI", read("ListRSSU.Ini"), D)
    z.writestr("orvalis.INI", read("Orvalis.ini"), D)
    for f in feeds:
        z.writestr("Feeds\\" + f, read(os.path.join("Feeds", f)), D)
    z.writestr("readme.txt", b"not part of a configuration", D)

with zipfile.ZipFile(os.path.join(out, "zip-slip.OVCZ"), "w") as z:
    base(z)
    z.writestr("../evil.txt", b"escaped", D)
    z.writestr("Feeds/../../evil.Txt", b"escaped", D)

with zipfile.ZipFile(os.path.join(out, "backslash-slip.OVCZ"), "w") as z:
    base(z)
    z.writestr(zipfile.ZipInfo("..\\..\\evil.txt"), b"escaped", D)

with zipfile.ZipFile(os.path.join(out, "absolute.OVCZ"), "w") as z:
    base(z)
    info = zipfile.ZipInfo("placeholder")
    info.filename = target  # ZipInfo would strip the leading "/"
    z.writestr(info, b"escaped", D)

with zipfile.ZipFile(os.path.join(out, "symlink.OVCZ"), "w") as z:
    base(z)
    info = zipfile.ZipInfo("Feeds/link.Txt")
    info.create_system = 3
    info.external_attr = (stat.S_IFLNK | 0o777) << 16
    z.writestr(info, "/etc/passwd")

with zipfile.ZipFile(os.path.join(out, "bomb.OVCZ"), "w") as z:
    base(z)
    z.writestr("Feeds/bomb.Txt", bytes(100 << 20), D)

with zipfile.ZipFile(os.path.join(out, "small-bomb.OVCZ"), "w") as z:
    z.writestr("Orvalis.ini", b"MaxRss = 5\r\n" + b" " * (8 << 20), D)
    z.writestr("ListRSSU.Ini", read("ListRSSU.Ini"), D)

with open(os.path.join(out, "python.OVCZ"), "rb") as f:
    whole = f.read()
with open(os.path.join(out, "truncated.OVCZ"), "wb") as f:
    f.write(whole[: len(whole) // 2])

path = os.path.join(out, "corrupt-last.OVCZ")
with zipfile.ZipFile(path, "w") as z:
    base(z)
    z.writestr("Feeds/" + feeds[0], read(os.path.join("Feeds", feeds[0])) * 50, D)
with zipfile.ZipFile(path) as z:
    info = z.getinfo("Feeds/" + feeds[0])
with open(path, "r+b") as f:
    f.seek(info.header_offset + 26)
    name_len = int.from_bytes(f.read(2), "little")
    extra_len = int.from_bytes(f.read(2), "little")
    start = info.header_offset + 30 + name_len + extra_len
    f.seek(start + info.compress_size // 2)
    chunk = bytearray(f.read(16))
    f.seek(start + info.compress_size // 2)
    f.write(bytes(b ^ 0x5A for b in chunk))

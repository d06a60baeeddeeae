"""Writes the bench's data folder and the enclosures it points at.
Usage: make_data.py DATA_DIR WWW_DIR PORT COUNT SIZE_MB
One feed "Bench" downloads its COUNT newest enclosures automatically; each enclosure is a
link to one file of SIZE_MB MiB of random bytes (served COUNT times under its names)."""
import os
import sys

data, www, port, count, size_mb = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(
    sys.argv[4]), int(sys.argv[5])
os.makedirs(os.path.join(data, "Feeds"), exist_ok=True)
os.makedirs(os.path.join(data, "Podcast"), exist_ok=True)
os.makedirs(www, exist_ok=True)
blob = os.path.join(www, "blob.bin")
with open(blob, "wb") as f:
    for _ in range(size_mb):
        f.write(os.urandom(1 << 20))
for i in range(1, count + 1):
    os.symlink("blob.bin", os.path.join(www, "ep%02d.mp3" % i))

CRLF = "\r\n"
with open(os.path.join(data, "Orvalis.ini"), "w", encoding="utf-8-sig", newline="") as f:
    f.write("PodcastPath = " + os.path.join(data, "Podcast") + "/" + CRLF)
with open(os.path.join(data, "ListRSSU.Ini"), "w", encoding="utf-8-sig", newline="") as f:
    f.write(CRLF.join([
        "[Bench]", "Url = http://127.0.0.1:%d/feed.xml" % port, "Group = Podcasts",
        "Disable = Off", "ActualizeOnStart = Off", "ExtractAs = RssV2", "ContentRss = 2",
        "MaxFeed = 100", "FilePath = Bench", "NbAutoDownLoadPodCast = %d" % count,
        "ItemsFileName = bench.example.Txt", ""]))
lines = ["Name = Bench", "URL = http://127.0.0.1:%d/feed.xml" % port, "Disable = Off",
         "ExtractError = Off", "ActualizeOnStart = Off", "Lang = FR",
         "LastBuildDate = 2026/12/01 10:00", ""]
for i in range(1, count + 1):
    lines += ["[Items %d]" % i, "ID = bench.example.Txt-%d" % i, "Date = %d" % (1764576400 - i),
              "readed = 0", "Title = Episode %d" % i, "Description = x",
              "AudioLink = http://127.0.0.1:%d/ep%02d.mp3" % (port, i),
              "AutdioFile = ep%02d.mp3" % i, "AudioFileLength = %d" % (size_mb << 20),
              "ItunesDuration = 0", "CustomAudioFile = ", "GUID = g%d" % i, "Link = l%d" % i,
              "Views = 0", ""]
with open(os.path.join(data, "Feeds", "bench.example.Txt"), "w", encoding="utf-8-sig",
          newline="") as f:
    f.write(CRLF.join(lines))

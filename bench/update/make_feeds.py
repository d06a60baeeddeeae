#!/usr/bin/env python3
"""Writes the bench's feeds (make_feeds.py DIR FEEDS ITEMS) or a data folder whose catalogue
names them (make_feeds.py --catalogue DIR FEEDS BASE_URL)."""
import os
import sys


def feeds(folder, count, items):
    os.makedirs(folder, exist_ok=True)
    for f in range(1, count + 1):
        parts = ['<?xml version="1.0" encoding="UTF-8"?>\n<rss version="2.0"><channel>',
                 f'<title>Feed {f}</title><link>http://example.org/{f}</link>',
                 '<lastBuildDate>Sat, 05 Dec 2026 10:00:00 GMT</lastBuildDate>']
        for i in range(1, items + 1):
            parts.append(
                f'<item><title>Article {i} of feed {f}</title>'
                f'<link>http://example.org/{f}/{i}</link><guid>urn:bench:{f}:{i}</guid>'
                f'<pubDate>Sat, 05 Dec 2026 {i % 24:02d}:00:00 GMT</pubDate>'
                f'<description>&lt;p&gt;Text of article {i}, with a '
                f'&lt;a href="http://example.org/{f}/{i}"&gt;link&lt;/a&gt; and '
                f'some words to read. {"Lorem ipsum dolor sit amet. " * 8}&lt;/p&gt;'
                f'</description></item>')
        parts.append('</channel></rss>\n')
        with open(os.path.join(folder, f'feed-{f}.xml'), 'w', encoding='utf-8') as out:
            out.write(''.join(parts))


def catalogue(folder, count, base):
    os.makedirs(folder, exist_ok=True)
    bom = '\ufeff'
    with open(os.path.join(folder, 'Orvalis.ini'), 'w', encoding='utf-8', newline='') as out:
        out.write(bom + 'MaxRss = 400\r\n')
    lines = [bom + '; Orvalis 1.10.1708.2300', f'; List of {count} Feeds']
    for f in range(1, count + 1):
        lines += [f'[Feed {f}]', f'Url = {base}/feed-{f}.xml', 'ExtractAs = RssV2',
                  'Interval = 300', '']
    with open(os.path.join(folder, 'ListRSSU.Ini'), 'w', encoding='utf-8', newline='') as out:
        out.write('\r\n'.join(lines))


if __name__ == '__main__':
    if sys.argv[1] == '--catalogue':
        catalogue(sys.argv[2], int(sys.argv[3]), sys.argv[4])
    else:
        feeds(sys.argv[1], int(sys.argv[2]), int(sys.argv[3]))

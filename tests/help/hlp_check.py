#!/usr/bin/env python3
"""Reads the built Sorrelwick.hlp and .cnt back, on its own, as WinHelp would,
and compares the source's topics and Sorrelwick.html's with what it reads:
    hlp_check.py Sorrelwick.hlp Sorrelwick.cnt Sorrelwick.html Sorrelwick.txt
(That equal sources give equal bytes is the release test's to show.)
"""
import re
import struct
import sys
from html import unescape

failures = []


def expect(ok, what):
    if not ok:
        failures.append(what)
    return ok


def u16(b, o): return struct.unpack_from("<H", b, o)[0]
def u32(b, o): return struct.unpack_from("<I", b, o)[0]


def leaf_entries(data, structure, entry):
    """The entries of a one-page B+ tree; `entry` reads one, giving (value, size)."""
    expect(u16(data, 0) == 0x293B, structure + ": tree magic")
    expect(data[6:22].rstrip(b"\0") == structure.encode(), structure + ": structure")
    levels, count = u16(data, 32), u32(data, 34)
    expect(levels == 1, structure + ": one level")
    page = data[38:]
    expect(u16(page, 2) == count and u16(page, 6) == 0xFFFF, structure + ": leaf page")
    out, at = [], 8
    for _ in range(count):
        value, size = entry(page, at)
        out.append(value)
        at += size
    return out


def stringz(b, o):
    end = b.index(b"\0", o)
    return b[o:end], end + 1 - o


def context_hash(name):
    h = 0
    for c in name:   # context names are letters, digits, "." and "_"
        x = ord(c.upper()) - ord("A") + 17 if c.isalpha() else {".": 12, "_": 13, "0": 10}.get(c, ord(c) - ord("0"))
        h = (h * 43 + x) & 0xFFFFFFFF
    return h


def jumps(data1, data2):
    """(context hash, hotspot text) of each 0xE3 jump of a paragraph record."""
    at = 2 if data1[0] & 1 == 0 else 4
    at += (1 if data1[at] & 1 == 0 else 2) + 4   # the sizes, 0x00 0x80, the id
    bits, at = u16(data1, at), at + 2
    for bit in range(1, 7):                       # the compressed attributes we write
        if bits & (1 << bit):
            at += 1 if data1[at] & 1 == 0 else 2
    texts, found, n = data2.split(b"\0"), [], 1    # each text comes before a command
    while data1[at] != 0xFF and expect(data1[at] in b"\x80\x81\x82\x89\xE3", "formatting command"):
        found += [(u32(data1, at + 1), texts[n].decode("cp932"))] if data1[at] == 0xE3 else []
        at, n = at + {0x80: 3, 0xE3: 5}.get(data1[at], 1), n + 1
    return found


def check_hlp(hlp):
    expect(u32(hlp, 0) == 0x00035F3F and u32(hlp, 12) == len(hlp), "file header")
    files = {}

    def directory_entry(page, at):
        name, n = stringz(page, at)
        return (name.decode(), u32(page, at + n)), n + 4
    names = leaf_entries(hlp[u32(hlp, 4) + 9:], "z4", directory_entry)
    expect([n for n, _ in names] == sorted(n for n, _ in names), "directory sorted")
    for name, offset in names:
        reserved, used = u32(hlp, offset), u32(hlp, offset + 4)
        expect(reserved >= used + 9 and offset + reserved <= len(hlp), name + " fits")
        files[name] = hlp[offset + 9:offset + 9 + used]
    for name in ("|SYSTEM", "|FONT", "|TOPIC", "|CONTEXT", "|TTLBTREE", "|KWBTREE", "|KWDATA", "|KWMAP"):
        if not expect(name in files, name + " present"):
            return
    system = files["|SYSTEM"]
    expect(struct.unpack_from("<HHH", system) == (0x036C, 33, 1) and u16(system, 10) == 0, "|SYSTEM header")
    records, at = {}, 12
    while at + 4 <= len(system):
        records[u16(system, at)] = system[at + 4:at + 4 + u16(system, at + 2)]
        at += 4 + u16(system, at + 2)
    expect(records.get(1) == "Sorrelwick ヘルプ".encode("cp932") + b"\0", "title in Shift-JIS")
    expect(records.get(9, b"")[8:10] == b"\x11\x04", "LCID 0x0411")
    expect(records.get(11, b"\0")[0] == 128 and records.get(12, b"\0\0")[1] == 128, "charset 128")
    window = records.get(6, b"")
    expect(len(window) == 90 and u16(window, 0) & 0x7F == 0x06 and window[12:21] == b"main".ljust(9, b"\0")
           and window[21:72] == records.get(1, b"").ljust(51, b"\0"), "window main: the title as caption, no place or size")

    # Walk the topic links from the first, numbering positions as WinHelp does.
    topic, stream = files["|TOPIC"], b""
    for b in range(0, len(topic), 4096):
        stream += topic[b + 12:b + 4096]
    headers, pos, char, block = {}, u32(topic, 4), 0, 0
    links, topics = [], []
    while pos != 0xFFFFFFFF:
        at = (pos >> 14) * 4084 + (pos & 0x3FFF) - 12
        if not expect(12 <= pos & 0x3FFF < 4096 and 0 <= at < len(stream), "link position inside its block"):
            return
        if pos >> 14 != block:
            block, char = pos >> 14, 0
        size, len2, back, nxt, len1 = struct.unpack_from("<IIIII", stream, at)
        kind = stream[at + 20]
        # WinHlp32 reads the header and LinkData1 from the one block.
        expect((pos & 0x3FFF) + len1 <= 4096, "link at byte %d of block %d crosses into the next" % (pos & 0x3FFF, block))
        expect(back == (links[-1][0] if links else 0xFFFFFFFF), "link %X: previous link" % pos)
        links.append((pos, kind))
        if kind == 2:
            headers[block * 0x8000 + char] = stream[at + len1:at + len1 + len2].decode("cp932")
            topics.append([block * 0x8000 + char, headers[block * 0x8000 + char], [], -1])   # -1: the title
        else:
            expect(kind == 0x20, "paragraph record")
            topics[-1][2].extend(jumps(stream[at + 21:at + len1], stream[at + len1:at + len1 + len2]))
            topics[-1][3] += 1
            expect(stream[at + len1 + len2 - 1] == 0 and len2 > 0, "paragraph texts end in NUL")
            first = stream[at + 21]
            size_bytes = 2 if first & 1 == 0 else 4
            length = stream[at + 21 + size_bytes]
            char += length // 2 if length & 1 == 0 else u16(stream, at + 21 + size_bytes) // 2
        pos = nxt
    for b, at in enumerate(range(0, len(topic), 4096)):
        before = [0xFFFFFFFF] + [p for p, _ in links if p >> 14 < b]
        first = [p for p, _ in links if p >> 14 == b] + [0xFFFFFFFF]
        header = [0] + [p for p, k in links if p >> 14 < b and k == 2]
        expect(struct.unpack_from("<III", topic, at) == (before[-1], first[0], header[-1]), "block %d header" % b)
    contexts = leaf_entries(files["|CONTEXT"], "L4",
                            lambda p, a: ((u32(p, a), u32(p, a + 4)), 8))
    signed = [h - (1 << 32) if h >> 31 else h for h, _ in contexts]
    expect(signed == sorted(signed), "|CONTEXT sorted by signed hash")
    reached = {offset for _, offset in contexts}
    expect(all(o in headers for o in reached), "every context names a topic")
    titled = [o for o, t in headers.items() if t]
    expect(sorted(reached) == sorted(titled), "every topic reachable from |CONTEXT")
    expect(u32(records.get(3, b"\xff" * 4), 0) in reached, "contents topic is a topic")
    keywords = leaf_entries(files["|KWBTREE"], "F24",
                            lambda p, a: (stringz(p, a)[0], stringz(p, a)[1] + 6))
    kwdata = files["|KWDATA"]
    expect(len(keywords) >= 10 and all(u32(kwdata, i) in reached for i in range(0, len(kwdata), 4)),
           "index keywords lead to topics")
    by_offset = {offset: h for h, offset in contexts}
    return [(by_offset.get(o), title, found, n) for o, title, found, n in topics if title]


def check_cnt(cnt, hashes):
    expect(b"\r\n" in cnt and b"\n" not in cnt.replace(b"\r\n", b""), ".cnt lines end in CRLF")
    lines = cnt.decode("cp932").split("\r\n")[:-1]
    expect(lines[:2] == [":Base Sorrelwick.hlp", ":Title Sorrelwick ヘルプ"], ".cnt :Base and :Title")
    level = 0
    for line in lines[2:]:
        number, _, rest = line.partition(" ")
        expect(1 <= int(number) <= level + 1, ".cnt level steps: " + line)
        level = int(number)
        name, _, target = rest.partition("=")
        expect(b"\\" not in name.encode("cp932"), ".cnt name without 0x5C: " + line)
        expect(not target or context_hash(target) in hashes, ".cnt topic in |CONTEXT: " + line)


def paragraphs(text):
    return sum(1 for l in text.split("\n") if l.strip() and not re.match(r"title: |keywords: |@|#(?!# )", l))


def check_html(html, topics, left_out):
    """After the contents, the .hlp's topics in order: anchor, title, jumps, paragraphs; less @hlp ... @end."""
    expect(b'<meta http-equiv="Content-Type" content="text/html; charset=utf-8">' in html, "page declares UTF-8")
    expect(not re.search(rb"&(?!amp;|lt;|gt;)", html), "page escapes &")
    found = []
    for kind, name, text in re.findall(r'<a (name|href)="#?([^"]*)">(.*?)</a>', html.decode("utf-8")):
        entry = (context_hash(name), unescape(text))
        if kind == "name":
            found.append(entry + ([],))
        elif found:
            found[-1][2].append(entry)
        else:                                     # the contents and the keywords
            expect(entry[0] in {t[0] for t in topics}, "page link to %s leads to a topic" % name)
    expect([f[:2] for f in found] == [t[:2] for t in topics], "page topics and titles as the .hlp's")
    expect(all(f[2] == t[2] or left_out.get(t[0]) and f[2] == [j for j in t[2] if j in f[2]]
               for f, t in zip(found, topics)), "page jumps as the .hlp's, or some of them in order")
    counts = [len(re.findall(r"<(?:p|li|h3)>", s)) for s in html.decode("utf-8").split('<h2><a name="')[1:]]
    expect(counts == [n - left_out.get(h, 0) for h, _, _, n in topics], "page paragraphs per topic: %s" % counts)


def main(hlp_path, cnt_path, html_path, source_path):
    hlp, cnt, html = (open(p, "rb").read() for p in (hlp_path, cnt_path, html_path))
    topics = check_hlp(hlp)
    if topics is not None:
        # Each topic of the source, its title, a paragraph a line; no fixed count.
        source = [(context_hash(s.split()[0]), re.search(r"^title: (.+?)\s*$", s, re.M)[1],
                   paragraphs(s.split("\n", 1)[1]), paragraphs("".join(re.findall(r"^@hlp$(.*?)^@end$", s, re.M | re.S))))
                  for s in re.split(r"^= ", open(source_path, encoding="utf-8").read(), flags=re.M)[1:]]
        check_cnt(cnt, {t[0] for t in topics})
        check_html(html, topics, {h: only for h, _, _, only in source})
        expect(sorted((h, t, n) for h, t, _, n in topics) == sorted(s[:3] for s in source), "the .hlp's topics are the source's")
    for what in failures:
        print("FAILED:", what)
    print("%d checks failed" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:5]))

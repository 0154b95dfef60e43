#!/usr/bin/env python3
"""Writes Sorrelwick.hlp, Sorrelwick.cnt and Sorrelwick.html (the same help on
one page, for where WinHelp is missing) from the UTF-8 help source.

    hlpwrite.py SOURCE OUTPUT_STEM      (writes OUTPUT_STEM.hlp, .cnt and .html)

The build runs it; nothing in it depends on the build folder, and the only
varying input, the generation date, comes from SOURCE_DATE_EPOCH or else from
the source's @date line, so equal sources give equal bytes.

What the WinHelp 4 reader (WINHLP32.EXE) needs, as this writer relies on it
(from the HELPDECO format notes, Halibut's writer and Wine's reader):

- All integers little-endian. File header, 16 bytes: magic 0x00035F3F, offset
  of the directory, -1 (no free list), total size. Every internal file starts
  with 9 bytes: reserved size (header included), used size, flags 0.
- The directory and the other indexes are B+ trees: a 38-byte header (magic
  0x293B, flags, page size, 16-byte structure string, 0, page splits, root
  page, -1, pages, levels, entries) and pages that start with 8 bytes (unused
  bytes, entries, previous page, next page; -1 for none). We write one leaf
  page per tree and refuse to go beyond it, so no index page is ever needed.
  Directory: flags 0x0402, 1 KiB, "z4", names sorted byte-wise.
- |SYSTEM: 0x036C, minor 33, major 1, date, flags 0 (uncompressed, topic
  blocks of 4096 bytes), then records (type, size, data): 9 LCID (0x0411 in
  bytes 8-9), 11 charset (first byte 128, Shift-JIS), 12 default font (points,
  charset, face), 1 title, 2 copyright, 3 the contents topic's TOPICOFFSET,
  6 a window definition, as a project's [WINDOWS] line main="caption" gives
  it: exactly 90 bytes, flags (0x0001 type, 0x0002 name, 0x0004 caption,
  0x0008/0x0010/0x0020/0x0040 x, y, width, height, 0x0080 show state,
  0x0100/0x0200 the two colours), type 10 bytes, name 9, caption 51 (each
  NUL-padded), x, y, width, height, show state (16 bits each), two RGB
  quads. We set the name "main" and the caption only; every field whose flag
  is clear is zero and left to the reader, so the window keeps the reader's
  default place, size and colours. Without this record a reader may caption
  the primary window with its own name instead of the file's.
- |FONT: face count, descriptor count, offsets; 32-byte face names; 11-byte
  descriptors (attributes, half-points, family, face index, two RGB triples).
- |TOPIC: 4096-byte blocks, each opening with 12 bytes (the last link and the
  last topic header that start in an earlier block, the first link starting
  in this one, as TOPICPOS = block * 0x4000 + byte offset in the block, header
  included). A link's LinkData2 may run on into the next block, its header
  and LinkData1 never: where they would not fit, zeros fill the block and the
  link starts the next one (Halibut's writer does the same). Each link:
  a 21-byte header (size, LinkData2 size, previous, next, 21 + LinkData1 size,
  type), LinkData1, LinkData2. Type 2, a topic header: 28 bytes (size of its
  paragraphs, browse back, browse forward, topic number, first non-scrolling
  and first scrolling paragraph, next topic header), then the title. Type
  0x20, a paragraph: compressed sizes, 0x00 0x80, id, attribute bits, the
  formatting commands (0x80 font, 0x81 line break, 0x82 paragraph end, 0xE3
  jump to a context hash, 0x89 end of hotspot, 0xFF end), LinkData2 the texts
  between the commands, each ended by NUL. A final empty topic header closes.
  TOPICOFFSET = block * 0x8000 + the LinkData2 sizes of the paragraphs that
  start in that block before the position.
- |CONTEXT: "L4", 2 KiB, (hash, TOPICOFFSET) sorted by the hash as signed
  32-bit. |TTLBTREE: "Lz", (TOPICOFFSET, title). |KWBTREE: "F24" (keyword,
  count, offset in |KWDATA), |KWDATA the TOPICOFFSETs, |KWMAP one (first
  entry, page) pair per leaf page. |CTXOMAP: no entries.
- Texts are raw CP932 bytes and every size counts bytes. Shift-JIS has no NUL
  byte, and its second bytes (0x40 and up) never hit the control bytes; there
  is no phrase table to confuse them with.

The .cnt is Shift-JIS with CRLF: ":Base", ":Title", then "1 heading" and
"2 name=context" lines. A second byte 0x5C reads as a backslash escape there,
and "=" separates the context, so such names are refused, as are level jumps.
"""

import os
import re
import struct
import sys
import calendar
import time

BLOCK = 4096
HASH_MAP = (
    b"\x00\xD1\xD2\xD3\xD4\xD5\xD6\xD7\xD8\xD9\xDA\xDB\xDC\xDD\xDE\xDF"
    b"\xE0\xE1\xE2\xE3\xE4\xE5\xE6\xE7\xE8\xE9\xEA\xEB\xEC\xED\xEE\xEF"
    b"\xF0\x0B\xF2\xF3\xF4\xF5\xF6\xF7\xF8\xF9\xFA\xFB\xFC\xFD\x0C\xFF"
    b"\x0A\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0A\x0B\x0C\x0D\x0E\x0F"
    b"\x10\x11\x12\x13\x14\x15\x16\x17\x18\x19\x1A\x1B\x1C\x1D\x1E\x1F"
    b"\x20\x21\x22\x23\x24\x25\x26\x27\x28\x29\x2A\x0B\x0C\x0D\x0E\x0D"
    b"\x10\x11\x12\x13\x14\x15\x16\x17\x18\x19\x1A\x1B\x1C\x1D\x1E\x1F"
    b"\x20\x21\x22\x23\x24\x25\x26\x27\x28\x29\x2A\x2B\x2C\x2D\x2E\x2F")

# Fonts by number, as the 0x80 command names them: face index, half-points,
# bold. One Japanese face that every Japanese Windows has.
FACES = ["ＭＳ Ｐゴシック"]
FONT_TITLE, FONT_BODY, FONT_BOLD = range(3)
FONTS = [(0, 26, 1), (0, 20, 0), (0, 20, 1)]
FAMILY_SWISS = 3
WINDOW_NAME, WINDOW_CAPTION = 0x0002, 0x0004


class SourceError(Exception):
    pass


def sjis(text, where):
    try:
        return text.encode("cp932")
    except UnicodeEncodeError as e:
        raise SourceError("%s: %r has no Shift-JIS form" % (where, text[e.start:e.end]))


def context_hash(name):
    h = 0
    for byte in name.encode("ascii"):
        v = HASH_MAP[byte] if byte < 0x80 else byte
        if v >= 0x80:
            v -= 0x100
        h = (h * 43 + v) & 0xFFFFFFFF
    return h


def signed(v):
    return v - 0x100000000 if v & 0x80000000 else v


# ---------------------------------------------------------------- the source

class Topic:
    def __init__(self, name, line):
        self.name, self.line = name, line
        self.title = None
        self.keywords = []
        self.paragraphs = []   # (kind, text): "text", "item", "head"
        self.hlp_only = set()  # indexes of the paragraphs that the page leaves out


def parse(path):
    """@key value lines, @cnt ... @end, and topics opened by "= context";
    inside a topic, @hlp ... @end holds paragraphs for the .hlp only."""
    meta, topics, cnt = {}, [], []
    topic, in_cnt, in_hlp = None, False, None
    with open(path, encoding="utf-8") as f:
        for number, raw in enumerate(f, 1):
            line = raw.rstrip("\n").rstrip()
            where = "%s:%d" % (os.path.basename(path), number)
            if in_cnt:
                if line == "@end":
                    in_cnt = False
                elif line and not line.startswith("#"):
                    cnt.append((line, where))
                continue
            # "# " is a comment, "## " a heading.
            if not line or line.startswith("#") and not line.startswith("## "):
                continue
            if line == "@cnt":
                in_cnt = True
            elif line == "@hlp":
                if topic is None or in_hlp:
                    raise SourceError("%s: @hlp belongs inside a topic, and does not nest" % where)
                in_hlp = where
            elif line == "@end" and in_hlp:
                in_hlp = None
            elif line.startswith("@"):
                key, _, value = line[1:].partition(" ")
                meta[key] = value.strip()
            elif line.startswith("= "):
                if in_hlp:
                    raise SourceError("%s: @hlp without @end" % in_hlp)
                name = line[2:].strip()
                # A letter first: the name is also the page's anchor.
                if not re.fullmatch(r"[A-Za-z][A-Za-z0-9._]*", name):
                    raise SourceError("%s: context name %r: a letter, then A-Z a-z 0-9 . _" % (where, name))
                topic = Topic(name, where)
                topics.append(topic)
            elif topic is None:
                raise SourceError("%s: text before the first topic" % where)
            elif line.startswith("title: "):
                topic.title = line[7:].strip()
            elif line.startswith("keywords: "):
                topic.keywords += [k.strip() for k in line[10:].split(";") if k.strip()]
            else:
                if in_hlp:
                    topic.hlp_only.add(len(topic.paragraphs))
                if line.startswith("- "):
                    topic.paragraphs.append(("item", line[2:].strip(), where))
                elif line.startswith("## "):
                    topic.paragraphs.append(("head", line[3:].strip(), where))
                else:
                    topic.paragraphs.append(("text", line.strip(), where))
    if in_cnt:
        raise SourceError("%s: @cnt without @end" % path)
    if in_hlp:
        raise SourceError("%s: @hlp without @end" % in_hlp)
    for key in ("title", "copyright", "contents", "date"):
        if key not in meta:
            raise SourceError("%s: @%s is missing" % (path, key))
    return meta, topics, cnt


def check(meta, topics, cnt):
    by_name, hashes, owners = {}, {}, {}
    for t in topics:
        if t.title is None or not t.paragraphs:
            raise SourceError("%s: topic %s needs a title and text" % (t.line, t.name))
        if t.name.lower() in by_name:
            raise SourceError("%s: context %s twice" % (t.line, t.name))
        by_name[t.name.lower()] = t
        h = context_hash(t.name)
        if h in hashes:
            raise SourceError("%s: %s has the hash of %s" % (t.line, t.name, hashes[h]))
        hashes[h] = t.name
        for k in t.keywords:
            # The index reads "," and ":" as levels; Wine shows one topic per
            # keyword only, so a keyword belongs to one topic.
            if re.search(r"[,:;]", k):
                raise SourceError("%s: keyword %r holds , : or ;" % (t.line, k))
            if k in owners:
                raise SourceError("%s: keyword %r also in %s" % (t.line, k, owners[k]))
            owners[k] = t.name
    if meta["contents"].lower() not in by_name:
        raise SourceError("@contents %s is no topic" % meta["contents"])
    for t in topics:
        for _, text, where in t.paragraphs:
            for target in re.findall(r"\[\[([^]|]+)", text):
                if target.lower() not in by_name:
                    raise SourceError("%s: link to unknown topic %s" % (where, target))
    return by_name


def pieces(text, by_name):
    """A paragraph's runs: (text, None) and, for each [[jump]], (text, topic)."""
    for piece in re.split(r"(\[\[[^]]+\]\])", text):
        m = re.fullmatch(r"\[\[([^]|]+)(?:\|([^]]+))?\]\]", piece)
        if m:
            target = by_name[m.group(1).lower()]
            yield m.group(2) or target.title, target
        elif piece:
            yield piece, None


def keywords(topics):
    """(keyword in Shift-JIS, topic) in the index's order: ASCII letters
    without case first, then the Shift-JIS bytes."""
    keys = [(sjis(k, t.line), t) for t in topics for k in t.keywords]
    return sorted(keys, key=lambda kt: (b"".join(c.lower().encode("cp932") if c.isascii() else c.encode("cp932")
                                                 for c in kt[0].decode("cp932")), kt[0]))


# ---------------------------------------------------------------- .cnt

def contents(cnt, by_name):
    """The @cnt lines as (level, name, topic or None for a heading)."""
    entries, level = [], 0
    for text, where in cnt:
        m = re.fullmatch(r"(\d) (.+)", text)
        if not m:
            raise SourceError("%s: a contents line is 'level heading' or 'level @context'" % where)
        new, body = int(m.group(1)), m.group(2)
        if new < 1 or new > level + 1:
            raise SourceError("%s: level %d after level %d" % (where, new, level))
        level = new
        if body.startswith("@"):
            topic = by_name.get(body[1:].lower())
            if topic is None:
                raise SourceError("%s: unknown topic %s" % (where, body[1:]))
            name = topic.title
        else:
            name, topic = body, None
        encoded = sjis(name, where)
        if b"\\" in encoded or "=" in name:
            raise SourceError("%s: %r holds a byte 0x5C or '=': the contents file misreads it" % (where, name))
        entries.append((new, name, topic))
    return entries


def build_cnt(meta, entries):
    lines = [":Base Sorrelwick.hlp", ":Title " + meta["title"]]
    for level, name, topic in entries:
        lines.append("%d %s=%s" % (level, name, topic.name) if topic else "%d %s" % (level, name))
    return b"".join(sjis(l, "contents") + b"\r\n" for l in lines)


# ---------------------------------------------------------------- .html

HTML_HEAD = """<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 4.01//EN" "http://www.w3.org/TR/html4/strict.dtd">
<html lang="ja">
<head>
<meta http-equiv="Content-Type" content="text/html; charset=utf-8">
<title>%(title)s</title>
<style type="text/css">
body { font-family: "%(face)s", "MS PGothic", sans-serif; margin: 1em 2em; line-height: 1.5 }
h2 { margin-top: 2em; padding-top: 0.5em; border-top: 1px solid #808080 }
</style>
</head>
<body>
<h1>%(title)s</h1>
"""


def html_text(text, where):
    """The text as the .hlp holds it, so both show the same characters."""
    text = sjis(text, where).decode("cp932")
    return text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")


def html_paragraph(text, where, by_name):
    return "".join('<a href="#%s">%s</a>' % (target.name, html_text(piece, where)) if target
                   else html_text(piece, where) for piece, target in pieces(text, by_name))


def build_html(meta, topics, by_name, entries):
    """One page for a reader without WinHelp: the contents tree and the
    keywords, as the help-topics window offers them, then every topic under
    an anchor named by its context, its jumps as links to those anchors.
    The @hlp paragraphs stay out: the page has its contents at its head, and
    the reader needs no advice to open it. HTML 4.01 with no script, which
    Internet Explorer 6 reads."""
    out = [HTML_HEAD % {"title": html_text(meta["title"], "@title"), "face": FACES[0]}, "<h2>目次</h2>\n"]
    depth = 0
    for level, name, topic in entries:
        if level > depth:
            out.append("<ul>\n")
        else:
            out.append("</li>\n" + "</ul></li>\n" * (depth - level))
        depth = level
        text = html_text(name, "contents")
        out.append('<li><a href="#%s">%s</a>' % (topic.name, text) if topic else "<li>" + text)
    out.append("</li>\n" + "</ul></li>\n" * (depth - 1) + "</ul>\n" if depth else "")
    index = ['<a href="#%s">%s</a>' % (t.name, html_text(k.decode("cp932"), t.line)) for k, t in keywords(topics)]
    out.append("\n<h2>キーワード</h2>\n<p>%s</p>\n" % "、".join(index) if index else "")
    for t in topics:
        out.append('\n<h2><a name="%s">%s</a></h2>\n' % (t.name, html_text(t.title, t.line)))
        in_list = False
        for number, (kind, text, where) in enumerate(t.paragraphs):
            if number in t.hlp_only:
                continue
            if in_list != (kind == "item"):
                out.append("<ul>\n" if kind == "item" else "</ul>\n")
                in_list = kind == "item"
            tag = {"item": "li", "head": "h3", "text": "p"}[kind]
            out.append("<%s>%s</%s>\n" % (tag, html_paragraph(text, where, by_name), tag))
        out.append("</ul>\n" if in_list else "")
    out.append('\n<address>%s</address>\n</body>\n</html>\n' % html_text(meta["copyright"], "@copyright"))
    return "".join(out).encode("utf-8")


# ---------------------------------------------------------------- |TOPIC

def cushort(v):
    return bytes([v * 2]) if v <= 0x7F else struct.pack("<H", v * 2 + 1)


def culong(v):
    return struct.pack("<H", v * 2) if v <= 0x7FFF else struct.pack("<I", v * 2 + 1)


def cslong(v):
    return culong(v + 0x4000) if -0x4000 <= v <= 0x3FFF else culong(v + 0x4000000)


class Link:
    def __init__(self, kind, data1, data2, topic=None):
        self.kind, self.data1, self.data2, self.topic = kind, data1, data2, topic
        self.pos = self.offset = 0


SPACE_ABOVE, LEFT_INDENT, FIRST_INDENT = 0x02, 0x10, 0x40


def paragraph(runs, bits=0, attrs=()):
    """runs: (font, text bytes, jump hash or None). Returns a type 0x20 link."""
    cmds, texts = bytearray(), bytearray()
    cmds += b"\x00\x80" + struct.pack("<hH", 0, bits)
    for a in attrs:
        cmds += cushort(a + 64) if -0x40 <= a <= 0x3F else cushort(a + 16384)
    for font, text, jump in runs:
        texts += b"\x00"
        cmds += b"\x80" + struct.pack("<H", font)
        if jump is not None:
            texts += b"\x00"
            cmds += b"\xE3" + struct.pack("<I", jump)
        texts += text
        if jump is not None:
            texts += b"\x00"
            cmds += b"\x89"
    texts += b"\x00\x00"
    cmds += b"\x82\xFF"
    head = cslong(len(cmds)) + cushort(len(texts))
    return Link(0x20, head + bytes(cmds), bytes(texts))


def topic_links(t, by_name):
    title = sjis(t.title, t.line)
    links = [Link(2, None, title, t)]
    # The title stays put above the scrolling text, as WinHelp shows it.
    links.append(paragraph([(FONT_TITLE, title, None)]))
    t.first_nonscroll = links[-1]
    first = True
    for kind, text, where in t.paragraphs:
        runs, font = [], FONT_BOLD if kind == "head" else FONT_BODY
        if kind == "item":
            runs.append((font, sjis("・", where), None))
        for piece, target in pieces(text, by_name):
            runs.append((font, sjis(piece, where), target and context_hash(target.name)))
        if kind == "item":
            link = paragraph(runs, SPACE_ABOVE | LEFT_INDENT | FIRST_INDENT, (6, 36, -18))
        else:
            link = paragraph(runs, SPACE_ABOVE, (16 if kind == "head" else 8,))
        if first:
            t.first_scroll = link
            first = False
        links.append(link)
    t.block_size = sum(21 + len(l.data1) + len(l.data2) for l in links[1:])
    return links


def build_topic(topics, by_name):
    links = []
    for t in topics:
        links += topic_links(t, by_name)
    links.append(Link(2, None, b""))
    # Positions first: a link's place decides the numbers that others hold.
    # WinHlp32 takes a link's header and LinkData1 from one block's buffer,
    # so when they would not fit in what is left of a block, the rest stays
    # zero and the link opens the next block. Only LinkData2 runs on.
    block, offset, pos = 0, 0, 12
    for l in links:
        fixed = 21 + (28 if l.kind == 2 else len(l.data1))
        if fixed > BLOCK - 12:
            raise SourceError("a paragraph's formatting needs more than one topic block")
        if pos + fixed > BLOCK:
            block, offset, pos = block + 1, 0, 12
        size = fixed + len(l.data2)
        l.pos = block * 0x4000 + pos
        l.offset = block * 0x8000 + offset
        if l.kind != 2:
            offset += len(l.data2)
        pos += size
        while pos >= BLOCK:
            block, offset, pos = block + 1, 0, pos - (BLOCK - 12)
    headers = [l for l in links if l.kind == 2]
    for number, l in enumerate(headers):
        t = l.topic
        if t is None:
            # The closing header: no paragraphs, nothing after it.
            l.data1 = struct.pack("<IiiIiii", 0, -1, -1, number, -1, -1, -1)
            continue
        t.link = l
        l.data1 = struct.pack("<IiiIIII", t.block_size, -1, -1, number,
                              t.first_nonscroll.pos, t.first_scroll.pos, headers[number + 1].pos)
    chunk = BLOCK - 12
    stream = bytearray()
    for i, l in enumerate(links):
        stream += bytes((l.pos >> 14) * chunk + (l.pos & 0x3FFF) - 12 - len(stream))
        prev = links[i - 1].pos if i else 0xFFFFFFFF
        nxt = links[i + 1].pos if i + 1 < len(links) else 0xFFFFFFFF
        stream += struct.pack("<IIIII", 21 + len(l.data1) + len(l.data2), len(l.data2),
                              prev, nxt, 21 + len(l.data1)) + bytes([l.kind])
        stream += l.data1 + l.data2
    # Cut the stream into blocks, each with its three pointers.
    out = bytearray()
    last_link, last_header = 0xFFFFFFFF, 0
    starts = {}
    for l in links:
        starts.setdefault(l.pos >> 14, l)
    for b in range((len(stream) + chunk - 1) // chunk):
        first = starts.get(b)
        out += struct.pack("<III", last_link, first.pos if first else 0xFFFFFFFF, last_header)
        out += stream[b * chunk:(b + 1) * chunk]
        for l in links:
            if (l.pos >> 14) == b:
                last_link = l.pos
                if l.kind == 2:
                    last_header = l.pos
    return bytes(out)


# ---------------------------------------------------------------- B+ trees

def btree(flags, page_size, structure, entries):
    """One leaf page; the caller gives the entries already sorted."""
    body = b"".join(entries)
    if len(body) > page_size - 8:
        raise SourceError("%s tree needs more than one page" % structure)
    header = struct.pack("<HHH16sHHHhHHI", 0x293B, flags, page_size, structure.encode(),
                         0, 0, 0, -1, 1, 1, len(entries))
    page = struct.pack("<HHhh", page_size - 8 - len(body), len(entries), -1, -1) + body
    return header + page + b"\0" * (page_size - len(page))


def build_index(topics):
    kwdata, entries = bytearray(), []
    for k, t in keywords(topics):
        entries.append(k + b"\0" + struct.pack("<HI", 1, len(kwdata)))
        kwdata += struct.pack("<I", t.link.offset)
    kwbtree = btree(0x0002, 0x800, "F24", entries)
    kwmap = struct.pack("<HIH", 1, 0, 0)
    return kwbtree, bytes(kwdata), kwmap


# ---------------------------------------------------------------- |SYSTEM, |FONT

def build_system(meta, contents_offset, date):
    def record(kind, data):
        return struct.pack("<HH", kind, len(data)) + data
    lcid = b"\0" * 8 + struct.pack("<H", 0x0411)
    charset = bytes([128, 0, 0, 2, 0])
    deffont = bytes([9, 128]) + sjis(FACES[0], "font") + b"\0"
    caption = sjis(meta["title"], "@title")
    if len(caption) > 50:
        raise SourceError("@title is longer than a window caption's 50 bytes")
    window = (struct.pack("<H", WINDOW_NAME | WINDOW_CAPTION) + b"\0" * 10
              + b"main".ljust(9, b"\0") + caption.ljust(51, b"\0") + b"\0" * 18)
    return (struct.pack("<HHHIH", 0x036C, 33, 1, date, 0)
            + record(9, lcid) + record(11, charset) + record(12, deffont)
            + record(1, sjis(meta["title"], "@title") + b"\0")
            + record(2, sjis(meta["copyright"], "@copyright") + b"\0")
            + record(3, struct.pack("<I", contents_offset))
            + record(6, window))


def build_font():
    names = b""
    for face in FACES:
        encoded = sjis(face, "font")
        if len(encoded) > 31:
            raise SourceError("font name %s is too long" % face)
        names += encoded.ljust(32, b"\0")
    descriptors = b""
    for face, halfpoints, bold in FONTS:
        descriptors += struct.pack("<BBBH", bold, halfpoints, FAMILY_SWISS, face) + b"\0" * 6
    return struct.pack("<HHHH", len(FACES), len(FONTS), 8, 8 + len(names)) + names + descriptors


# ---------------------------------------------------------------- the file

def build_hlp(meta, topics, by_name, date):
    files = {"|CTXOMAP": b"\0\0", "|FONT": build_font()}
    files["|TOPIC"] = build_topic(topics, by_name)
    contents = by_name[meta["contents"].lower()]
    files["|SYSTEM"] = build_system(meta, contents.link.offset, date)
    ctx = sorted(topics, key=lambda t: signed(context_hash(t.name)))
    files["|CONTEXT"] = btree(0x0002, 0x800, "L4",
                              [struct.pack("<II", context_hash(t.name), t.link.offset) for t in ctx])
    files["|TTLBTREE"] = btree(0x0002, 0x800, "Lz",
                               [struct.pack("<I", t.link.offset) + sjis(t.title, t.line) + b"\0"
                                for t in sorted(topics, key=lambda t: t.link.offset)])
    files["|KWBTREE"], files["|KWDATA"], files["|KWMAP"] = build_index(topics)
    names = sorted(files, key=lambda n: n.encode())
    offset, where = 16, {}
    for n in names:
        where[n] = offset
        offset += 9 + len(files[n])
    directory = btree(0x0402, 0x400, "z4",
                      [n.encode() + b"\0" + struct.pack("<I", where[n]) for n in names])
    total = offset + 9 + len(directory)
    out = bytearray(struct.pack("<IIiI", 0x00035F3F, offset, -1, total))
    for data in [files[n] for n in names] + [directory]:
        out += struct.pack("<IIB", len(data) + 9, len(data), 0) + data
    return bytes(out)


def generation_date(meta):
    epoch = os.environ.get("SOURCE_DATE_EPOCH")
    if epoch:
        return int(epoch)
    return calendar.timegm(time.strptime(meta["date"], "%Y-%m-%d"))


def main(argv):
    if len(argv) != 3:
        sys.stderr.write(__doc__.split("\n\n")[1] + "\n")
        return 2
    try:
        meta, topics, cnt = parse(argv[1])
        by_name = check(meta, topics, cnt)
        hlp = build_hlp(meta, topics, by_name, generation_date(meta))
        entries = contents(cnt, by_name)
        cnt_bytes = build_cnt(meta, entries)
        html = build_html(meta, topics, by_name, entries)
    except SourceError as e:
        sys.stderr.write("hlpwrite: %s\n" % e)
        return 1
    for ext, data in ((".hlp", hlp), (".cnt", cnt_bytes), (".html", html)):
        with open(argv[2] + ext + ".tmp", "wb") as f:
            f.write(data)
        os.replace(argv[2] + ext + ".tmp", argv[2] + ext)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

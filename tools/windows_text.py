#!/usr/bin/env python3
"""windows_text.py SOURCE OUTPUT VERSION: a UTF-8 text as Notepad on a
Japanese Windows reads it, Shift-JIS (code page 932) with CRLF line ends,
"@VERSION@" replaced by VERSION. A character that code page 932 lacks is an
error, not a question mark."""
import sys

source, output, version = sys.argv[1:4]
with open(source, encoding="utf-8") as f:
    text = f.read().replace("@VERSION@", version)
with open(output, "wb") as f:
    f.write(text.replace("\r\n", "\n").replace("\n", "\r\n").encode("cp932"))

#!/usr/bin/env python3
"""check_archive.py ZIP FORBIDDEN...: what a user unzips, and that no FORBIDDEN
text (a build path) is in any file."""
import re, struct, sys, zipfile

archive, forbidden = sys.argv[1], sys.argv[2:]
failures = []
def check(ok, what):
    if not ok:
        failures.append(what)

z = zipfile.ZipFile(archive)
names = ["Sorrelwick.exe", "Sorrelwick.hlp", "Sorrelwick.cnt", "readme.txt", "LICENSE.txt"]
folder = re.sub(r"-win\w+\.zip$", "", archive.rsplit("/", 1)[-1])
check(sorted(z.namelist()) == sorted(folder + "/" + n for n in names), "files: %s" % z.namelist())
files = {n.split("/")[-1]: z.read(n) for n in z.namelist()}
for name, data in files.items():
    for text in forbidden:
        check(text.encode() not in data and text.encode("utf-16-le") not in data, "%s holds %s" % (name, text))

exe = files.get("Sorrelwick.exe", b"")
pe = struct.unpack_from("<I", exe, 0x3C)[0]
machine, sections, stamp = struct.unpack_from("<HHI", exe, pe + 4)
optional, optional_size = pe + 24, struct.unpack_from("<H", exe, pe + 20)[0]
magic, subsystem = struct.unpack_from("<H", exe, optional)[0], struct.unpack_from("<H", exe, optional + 68)[0]
directories = optional + (112 if magic == 0x20B else 96)
imports, debug_size = struct.unpack_from("<I", exe, directories + 8)[0], struct.unpack_from("<I", exe, directories + 52)[0]
check(len(exe) <= 65536 or magic == 0x20B, "exe is %d bytes" % len(exe))
check(subsystem == 2 and (machine, magic) in ((0x14C, 0x10B), (0x8664, 0x20B)), "not a Windows GUI exe")
check(stamp == 0 and debug_size == 0, "link time %#x, debug directory of %d bytes" % (stamp, debug_size))
fixed = exe.find(b"\xbd\x04\xef\xfe")
check(fixed > 0 and exe[fixed + 44:fixed + 52] == bytes(8), "the version block carries a file date")

def offset(rva):  # in the file, of an address in the loaded image
    for i in range(sections):
        size, address, _, raw = struct.unpack_from("<IIII", exe, optional + optional_size + 40 * i + 8)
        if address <= rva < address + size:
            return rva - address + raw
dlls = set()
while struct.unpack_from("<I", exe, offset(imports) + 12)[0]:
    name = offset(struct.unpack_from("<I", exe, offset(imports) + 12)[0])
    dlls.add(exe[name:exe.index(b"\0", name)].decode().lower())
    imports += 20
system = {"kernel32.dll", "user32.dll", "gdi32.dll", "shell32.dll", "advapi32.dll", "comctl32.dll", "version.dll",
          "msvcrt.dll"}
check(dlls and dlls <= system, "not static: imports %s" % sorted(dlls - system))

key = "LegalCopyright".encode("utf-16-le")
value = exe[exe.find(key) + len(key):].lstrip(b"\0")
copyright = value[:value.find(b"\0\0\0")+1].decode("utf-16-le")
licence = files.get("LICENSE.txt", b"").decode("ascii")
check("MIT License" in licence and "\r\n%s\r\n" % copyright in licence, "LICENSE.txt lacks " + copyright)
readme = files.get("readme.txt", b"")
check(readme.endswith(b"\r\n") and readme.count(b"\n") == readme.count(b"\r\n"), "readme.txt: not CRLF")
check("Sorrelwick" in readme.decode("cp932") and readme != readme.decode("cp932").encode(), "readme.txt: not Shift-JIS")
print("\n".join(["archive: " + f for f in failures] or ["archive: as shipped: " + archive]))
sys.exit(1 if failures else 0)

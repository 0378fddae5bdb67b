#!/usr/bin/env python3
"""The import table of a built CorvaneSetup.exe (PE32 or PE32+) names only KnownDLLs, and its
delay-loaded DLLs are bound for real.

    import_table.py EXE...

Windows resolves an import that is not a KnownDLL by searching the program's own folder
first, before any of its code runs; this program runs elevated from the Downloads folder.
Every other system DLL is delay-loaded (cmake/delay_imports.cmake). Each slot of a delay-load
table must hold the address of its load stub until the first call: i686 ld drops the stub of a
function declared dllimport and leaves the slot zero, a call that jumps to address 0 in the
32-bit product only. Prints each executable's imports and delay-loaded DLLs (with their number of functions); exits 1 when one
names a DLL outside the allow-list or has an empty delay-load slot.
"""
import struct
import sys
from pathlib import Path

# The values of HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\KnownDLLs on Windows 10
# (1809 to 22H2, x64), without the WOW64 layer's own entries (wow64*.dll, xtajit.dll, ...):
# these come from the system folder whatever folder the program starts in. ntdll.dll is mapped
# into every process before any import is resolved. Compared without regard to case.
KNOWN_DLLS = {
    "advapi32.dll", "clbcatq.dll", "combase.dll", "comdlg32.dll", "coml2.dll", "difxapi.dll", "gdi32.dll",
    "gdiplus.dll", "imagehlp.dll", "imm32.dll", "kernel32.dll", "msctf.dll", "msvcrt.dll", "normaliz.dll",
    "nsi.dll", "ole32.dll", "oleaut32.dll", "psapi.dll", "rpcrt4.dll", "sechost.dll", "setupapi.dll",
    "shcore.dll", "shell32.dll", "shlwapi.dll", "user32.dll", "wldap32.dll", "ws2_32.dll", "ntdll.dll",
}
IMPORT_DIRECTORY = 1
DELAY_ATTRIBUTES_RVA = 1  # ImgDelayDescr.grAttrs of a descriptor made of RVAs, as dlltool makes them


class Image:
    def __init__(self, data):
        self.data = data
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[:2] != b"MZ" or data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("not a PE image")
        sections_count, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
        optional = pe + 24
        magic = struct.unpack_from("<H", data, optional)[0]
        self.pointer = {0x10B: "<I", 0x20B: "<Q"}[magic]
        self.directories = optional + {0x10B: 96, 0x20B: 112}[magic]
        self.sections = [struct.unpack_from("<8xIIII", data, optional + optional_size + 40 * i)
                         for i in range(sections_count)]

    def offset(self, address):
        """File offset of an RVA that has bytes in the file, else None."""
        for virtual_size, virtual_address, raw_size, raw_pointer in self.sections:
            if virtual_address <= address < virtual_address + min(max(virtual_size, raw_size), raw_size):
                return raw_pointer + address - virtual_address
        return None

    def text_at(self, address):
        start = self.offset(address)
        end = self.data.find(b"\0", start, start + 64) if start is not None else -1
        return self.data[start:end].decode("ascii", "replace") if end > 0 else None

    def pointers(self, address):
        """The pointer-sized values from address up to the first zero one."""
        at, width = self.offset(address), struct.calcsize(self.pointer)
        values = []
        while at is not None and at + width <= len(self.data):
            value = struct.unpack_from(self.pointer, self.data, at)[0]
            if value == 0:
                break
            values.append(value)
            at += width
        return values


def imported_dlls(image):
    """Names in the import directory, in table order."""
    rva, size = struct.unpack_from("<II", image.data, image.directories + 8 * IMPORT_DIRECTORY)
    names = []
    entry = image.offset(rva) if size else None
    while entry is not None:
        name_rva = struct.unpack_from("<12xI", image.data, entry)[0]
        if name_rva == 0:
            break
        names.append(image.text_at(name_rva))
        entry += 20
    return names


def delay_loaded_dlls(image):
    """{DLL name: (slots, empty slots)} of the delay-load descriptors mingw's helper uses. They
    sit in the image without a data directory entry, so they are found by their shape."""
    found = {}
    width = struct.calcsize(image.pointer)
    for _, _, raw_size, raw_pointer in image.sections:
        for at in range(raw_pointer, raw_pointer + raw_size - 32, 4):
            attributes, name, _, iat, names = struct.unpack_from("<5I", image.data, at)
            dll = image.text_at(name) if attributes == DELAY_ATTRIBUTES_RVA else None
            if not dll or not dll.lower().endswith(".dll") or image.offset(iat) is None or not iat:
                continue
            count = len(image.pointers(names))
            slots = [struct.unpack_from(image.pointer, image.data, image.offset(iat) + width * i)[0]
                     for i in range(count)]
            found[dll] = (count, slots.count(0))
    return found


def main(paths):
    failed = False
    for path in paths:
        image = Image(Path(path).read_bytes())
        names = imported_dlls(image)
        outside = [n for n in names if n.lower() not in KNOWN_DLLS]
        delayed = delay_loaded_dlls(image)
        print(f"{path}: imports {', '.join(names)}")
        print(f"{path}: delay-loads " + ", ".join(f"{dll} ({count})" for dll, (count, _) in delayed.items()))
        if "winhttp.dll" not in (d.lower() for d in delayed):
            print(f"{path}: no delay-load table for winhttp.dll: the tables were not read right")
            failed = True
        empty = [f"{dll} ({zero} of {count})" for dll, (count, zero) in delayed.items() if zero]
        if empty:
            print(f"{path}: delay-load slots without their load stub: {', '.join(empty)}")
            failed = True
        if "kernel32.dll" not in (n.lower() for n in names):
            print(f"{path}: no kernel32.dll among the imports: the table was not read right")
            failed = True
        if outside:
            print(f"{path}: not KnownDLLs, so searched for beside the program first: {', '.join(outside)}")
            failed = True
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

#!/usr/bin/env python3
"""The import table of a built CorvaneSetup.exe (PE32 or PE32+) names only KnownDLLs.

    import_table.py EXE...

Windows resolves an import that is not a KnownDLL by searching the program's own folder
first, before any of its code runs; this program runs elevated from the Downloads folder.
Every other system DLL is delay-loaded (cmake/delay_imports.cmake). Prints each executable's
imports; exits 1 when one names a DLL outside the allow-list.
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


def imported_dlls(image):
    """Names in the import directory, in table order."""
    pe = struct.unpack_from("<I", image, 0x3C)[0]
    if image[:2] != b"MZ" or image[pe:pe + 4] != b"PE\0\0":
        raise ValueError("not a PE image")
    sections_count, optional_size = struct.unpack_from("<H12xH", image, pe + 6)
    optional = pe + 24
    directories = optional + {0x10B: 96, 0x20B: 112}[struct.unpack_from("<H", image, optional)[0]]
    rva, size = struct.unpack_from("<II", image, directories + 8 * IMPORT_DIRECTORY)
    sections = [struct.unpack_from("<8xIIII", image, optional + optional_size + 40 * i) for i in range(sections_count)]

    def offset(address):
        for virtual_size, virtual_address, raw_size, raw_pointer in sections:
            if virtual_address <= address < virtual_address + max(virtual_size, raw_size):
                return raw_pointer + address - virtual_address
        raise ValueError(f"RVA 0x{address:x} lies in no section")

    names = []
    entry = offset(rva) if size else None
    while entry is not None:
        name_rva = struct.unpack_from("<12xI", image, entry)[0]
        if name_rva == 0:
            break
        start = offset(name_rva)
        names.append(image[start:image.index(b"\0", start)].decode("ascii"))
        entry += 20
    return names


def main(paths):
    failed = False
    for path in paths:
        names = imported_dlls(Path(path).read_bytes())
        outside = [n for n in names if n.lower() not in KNOWN_DLLS]
        print(f"{path}: imports {', '.join(names)}")
        if "kernel32.dll" not in (n.lower() for n in names):
            print(f"{path}: no kernel32.dll among the imports: the table was not read right")
            failed = True
        if outside:
            print(f"{path}: not KnownDLLs, so searched for beside the program first: {', '.join(outside)}")
            failed = True
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

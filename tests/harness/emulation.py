"""How 32-bit Windows code runs on this machine, and how to tell the emulator's failures apart.

Where the kernel runs no 32-bit code, scripts/setup.sh routes 32-bit ELF programs (Wine's
32-bit loader) through qemu's i386 user emulator: about a minute per 32-bit process. That
emulator also breaks threads of Wine's 32-bit processes: a thread gets a segmentation-fault
signal that no instruction raised ("segv_handler Got unexpected trap -1", instruction pointer
00000001). Traced on the shipped exe, it is the thread-pool worker that Wine's WinHTTP resolves
host names on, at the moment its 5-second idle wait ends, so it strikes while the program talks
to the network (telemetry above all). Wine then reports an unhandled exception and waits for a
debugger (the run hangs, other threads block on the loader lock it held), or qemu kills the
process ("qemu: uncaught target signal 11", which Wine reports as exit code 0). The 32-bit probe
tests/harness/win/thread_churn.c, which only starts threads, fails the same way under the
emulator; it and the shipped exe run cleanly where 32-bit code runs natively.
"""
import re
from pathlib import Path

BINFMT_ENTRY = Path("/proc/sys/fs/binfmt_misc/qemu-i386")

# What Wine and qemu print when the emulator, not the program, broke a thread. The last two come
# from the Linux side of the emulated Wine (glibc's stack check, Wine's server connection): the
# program has no stack check of its own and never talks to the server but through Wine.
EMULATOR_FAULT = re.compile(r"qemu: uncaught target signal|Got unexpected trap -1|"
                            r"wine: Unhandled (exception|illegal instruction|page fault)|"
                            r"\*\*\* stack smashing detected \*\*\*|wine client error:\d+: read: Bad address")


def emulated():
    """True where 32-bit programs run only through qemu's i386 user emulator."""
    try:
        return BINFMT_ENTRY.read_text().startswith("enabled")
    except OSError:
        return False


def emulator_fault(text):
    """The first line of Wine's or qemu's output that names an emulator fault, or None."""
    match = EMULATOR_FAULT.search(text)
    if not match:
        return None
    start = text.rfind("\n", 0, match.start()) + 1
    end = text.find("\n", match.end())
    return text[start:end if end >= 0 else len(text)].strip()

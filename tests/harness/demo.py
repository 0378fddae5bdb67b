"""The demo behind scripts/demo.sh: one installer run and one uninstaller run in a fresh prefix."""
import os
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import prefix as prefixes  # noqa: E402
from scenario import Scenario  # noqa: E402

BUILD = prefixes.REPO / "build"


def show(title, result, log_text):
    print(f"\n=== {title}: exit code {result.exit_code} ({result.seconds:.0f} s) ===")
    print(log_text.replace("\r\n", "\n").rstrip() or "(no log written)")


def main():
    twin = "--twin" in sys.argv[1:]
    os.environ["CORVANE_EXE"] = str(BUILD / ("win64" if twin else "win32") / "CorvaneSetup.exe")
    os.environ["CORVANE_HELPERS"] = str(BUILD / "win64" / "tests" / "harness" / "win")
    os.environ["CORVANE_KEEP_PREFIX"] = "1"
    print(f"Program: {os.environ['CORVANE_EXE']}")
    with Scenario("demo") as s:
        setup = s.place_exe("CorvaneSetup.exe")
        print(f"Wine prefix: {s.prefix}\nRunning {setup} /S ...")
        result = s.run(setup, "/S", timeout=900)
        show("Installer (silent)", result, s.log("Corvane.Installer"))
        uninstaller = s.place_exe("CorvaneUninstall.exe")
        print(f"\nRunning {uninstaller} /S ...")
        result = s.run(uninstaller, "/S", timeout=900)
        show("Uninstaller (silent)", result, s.log("Corvane.Uninstaller"))
        print(f"\nLogs kept in {s.evidence}")


if __name__ == "__main__":
    main()

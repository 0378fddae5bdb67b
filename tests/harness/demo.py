"""The demo behind scripts/demo.sh: a real silent install and uninstall in a fresh Wine prefix,
against the local vendor stand-in serving the test product, shown as a user would look at it."""
import json
import os
import shutil
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import prefix as prefixes  # noqa: E402
from scenario import Scenario  # noqa: E402

BUILD = prefixes.REPO / "build"
PRODUCT = BUILD / "win64" / "product" / "ok"
PACKAGE = "Corvane-Installer-win-x64-latest"
INSTALL_DIR = r"C:\Program Files\Corvane Labs\Corvane"
ARP_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Corvane"


def heading(text):
    print(f"\n{'=' * 8} {text} {'=' * max(8, 70 - len(text))}")


def show_run(title, result, log_text):
    heading(f"{title}: exit code {result.exit_code} after {result.seconds:.0f} s")
    print(log_text.replace("\r\n", "\n").rstrip() or "(no log written)")


def show_files(s):
    folder = s.unix_path(INSTALL_DIR)
    heading(f"Files in {INSTALL_DIR}")
    if not folder.exists():
        print("(the folder does not exist)")
        return
    for path in sorted(folder.rglob("*")):
        print(f"  {path.relative_to(folder)}  ({path.stat().st_size} bytes)")


def show_registry(s, key):
    heading(key)
    values = s.reg_values(key)
    if not values:
        print("(no such key)")
    for name, (kind, data) in values.items():
        print(f"  {name:<18} {kind:<10} {data}")


def show_events(s, since):
    records = s.vendor.stats()[since:]
    heading(f"Events received by the stats host ({len(records)})")
    for record in records:
        body = json.loads(record["body"])
        extra = {k: body[k] for k in ("launch_outcome", "exit_stage", "error_category") if k in body}
        print(f"  {body['event']:<32} {body['message']!r} {extra if extra else ''}")
    return len(s.vendor.stats())


def main():
    twin = "--twin" in sys.argv[1:]
    os.environ["CORVANE_EXE"] = str(BUILD / ("win64" if twin else "win32") / "CorvaneSetup.exe")
    os.environ["CORVANE_HELPERS"] = str(BUILD / "win64" / "tests" / "harness" / "win")
    os.environ["CORVANE_KEEP_PREFIX"] = "1"
    print(f"Program: {os.environ['CORVANE_EXE']}")
    with Scenario("demo", vendor=True) as s:
        s.vendor.update(session={"match": "none"})
        for suffix in (".zip", ".msi"):
            s.vendor.add_file(PACKAGE + suffix, PRODUCT / (PACKAGE + suffix))
        print(f"Wine prefix: {s.prefix}\nVendor stand-in: {s.vendor.proxy} serving the test product")

        setup = s.place_exe("CorvaneSetup.exe")
        print(f"\nRunning {setup} /S ...")
        result = s.run(setup, "/S", timeout=900)
        show_run("Installer (silent)", result, s.log("Corvane.Installer"))
        show_files(s)
        show_registry(s, ARP_KEY)
        records = s.unix_path(r"C:\ProgramData\CorvaneTest")
        heading("Service and app (as the test product recorded them)")
        for name in ("service-events.txt", "app-command-lines.txt"):
            path = records / name
            print(f"  {name}: {path.read_text(encoding='utf-8').strip() if path.exists() else '(none)'}")
        seen = show_events(s, 0)

        # Run as the pre-install flow runs it: a copy in the temp folder, so the folder can go.
        shutil.copy2(s.unix_path(INSTALL_DIR) / "CorvaneUninstall.exe", s.temp_dir / "CorvaneUninstall.exe")
        uninstaller = r"C:\users\root\Temp\CorvaneUninstall.exe"
        print(f"\nRunning {uninstaller} /S ...")
        result = s.run(uninstaller, "/S", timeout=900)
        show_run("Uninstaller (silent)", result, s.log("Corvane.Uninstaller"))
        show_files(s)
        show_registry(s, ARP_KEY)
        show_registry(s, r"HKLM\Software\CorvaneLabs\Corvane")
        show_registry(s, r"HKCU\Software\CorvaneLabs\Corvane")
        show_events(s, seen)
        print(f"\nLogs and the stand-in's records are kept in {s.evidence}")


if __name__ == "__main__":
    main()

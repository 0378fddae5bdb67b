"""The test product under Wine: its packages install, honour their public properties, register
the service and the uninstall entry, and uninstall; the failing variants fail as promised.

Other scenarios import the helpers: product_msi("ok") is the Unix path of a package, and
product_info() the build's variants.json (version, product codes, file names).
"""
import json
import os
import time
import zipfile
from pathlib import Path

from product_state import INSTALL_DIR, PRODUCT_KEY, UNINSTALL_KEY, assert_installed, assert_removed
from scenario import Scenario, check, check_in
from scenario_main import main

EVIDENCE_DIR = r"C:\ProgramData\CorvaneTest"


def product_dir():
    """The build's test product folder (CORVANE_TEST_PRODUCT_DIR in CMake)."""
    explicit = os.environ.get("CORVANE_PRODUCT_DIR")
    return Path(explicit) if explicit else Path(os.environ.get("CORVANE_EXE", "")).parent / "product"


def product_info():
    return json.loads((product_dir() / "variants.json").read_text())


def product_msi(variant, latest=False):
    names = product_info()["msi"]
    return product_dir() / variant / names[1 if latest else 0]


def product_code(variant):
    return product_info()["variants"][variant]["product_code"]


def msiexec(s, args, timeout=180):
    """Full msiexec exit code (Wine hands the shell only its low eight bits)."""
    return s.run("msiexec.exe", args, timeout=timeout).exit_code


def place_package(s, variant, latest=False):
    source = product_msi(variant, latest)
    return s.place_exe(source.name, source=source)


def evidence_lines(s, name):
    path = s.unix_path(EVIDENCE_DIR + "\\" + name)
    return path.read_text(encoding="utf-8").splitlines() if path.exists() else []


def check_installed(s, variant, decrypt_https, by_setup=False):
    """The package installed (by msiexec alone unless by_setup), its version and recorded choice."""
    assert_installed(s, product_code(variant), by_setup)
    entry = s.reg_values(f"{UNINSTALL_KEY}\\{product_code(variant)}", view=64)
    check(entry.get("DisplayVersion") == ("REG_SZ", product_info()["version"]), f"uninstall entry {entry}")
    check(not s.reg_values(f"{UNINSTALL_KEY}\\{product_code(variant)}", view=32),
          "an x64 package registers in the 64-bit view only")
    values = s.reg_values(PRODUCT_KEY, view=64)
    check(values.get("ProductVersion") == ("REG_SZ", product_info()["version"]), f"product key {values}")
    check(values.get("TestPackageDecryptHttps") == ("REG_SZ", decrypt_https), f"recorded property {values}")


def scenario_install_start_service_uninstall():
    with Scenario("test_product_install") as s:
        msi = place_package(s, "ok")
        code = msiexec(s, f'/i "{msi}" /qn LAUNCHAPP=0 CORVANE_DECRYPT_HTTPS=0')
        check(code == 0, f"msiexec /i exit code {code}")
        check_installed(s, "ok", decrypt_https="0")
        check(not evidence_lines(s, "app-command-lines.txt"), "LAUNCHAPP=0 and the package started the app")
        # One Wine session for start, query and stop: Wine ends a prefix's services once no
        # program of its own runs any more, so a state queried later would say nothing.
        # Under load Wine's cmd now and then fails to start a tool at all ("Can't recognize"):
        # the whole sequence runs again then, and the service may record a second start and stop.
        for attempt in (1, 2):
            out = s.wine(["cmd", "/c", "net start Corvane.Service & sc query Corvane.Service & "
                                       "net stop Corvane.Service & sc query Corvane.Service"]).stdout.decode(errors="replace")
            if "Can't recognize" not in out:
                break
        states = [line.split(":", 1)[1].split()[1] for line in out.splitlines() if line.strip().startswith("STATE")]
        check(states == ["RUNNING", "STOPPED"], f"service states {states}: {out}")
        events = evidence_lines(s, "service-events.txt")
        check(events in [["running", "stopped"] * runs for runs in range(1, attempt + 1)], f"service events {events}")
        code = msiexec(s, f"/x {product_code('ok')} /qn")
        check(code == 0, f"msiexec /x exit code {code}")
        assert_removed(s, product_code("ok"))
        code = msiexec(s, f"/x {product_code('ok')} /qn")
        check(code == 1605, f"second msiexec /x exit code {code}, expected 1605 (not installed)")


def wait_for_lines(s, name, count, seconds=60):
    deadline = time.monotonic() + seconds
    while len(evidence_lines(s, name)) < count and time.monotonic() < deadline:
        time.sleep(0.2)
    return evidence_lines(s, name)


def scenario_package_defaults_start_the_app():
    # No display: the app records its start and exits, so msiexec's output pipes close.
    # (With a display the app would live on, holding them open past msiexec's exit.)
    with Scenario("test_product_defaults") as s:
        msi = place_package(s, "ok", latest=True)
        code = msiexec(s, f'/i "{msi}" /qn CORVANE_DECRYPT_HTTPS=1')
        check(code == 0, f"msiexec /i exit code {code}")
        check_installed(s, "ok", decrypt_https="1")
        started = wait_for_lines(s, "app-command-lines.txt", 1)
        check(len(started) == 1 and started[0].rstrip().endswith('Corvane.exe"'), f"package's own launch: {started}")


def scenario_app_records_its_arguments_and_closes_on_wm_close():
    with Scenario("test_product_app", display=True) as s:
        code = msiexec(s, f'/i "{place_package(s, "ok")}" /qn LAUNCHAPP=0')
        check(code == 0, f"msiexec /i exit code {code}")
        check("unset" == s.reg_values(PRODUCT_KEY, view=64).get("TestPackageDecryptHttps", ("", ""))[1],
              "an install without the property records 'unset'")
        app = s.start_helper(s.unix_path(INSTALL_DIR + r"\Corvane.exe"),
                             ["--run_source=installer", "--install_event_id=0f3c-test"])
        started = wait_for_lines(s, "app-command-lines.txt", 1)
        check(len(started) == 1, f"recorded starts: {started}")
        check_in("--run_source=installer --install_event_id=0f3c-test", started[0], "recorded command line")
        time.sleep(1)
        check(app.poll() is None, f"the app exited on its own ({app.poll()}): no window?")
        # taskkill without /f posts WM_CLOSE to the process's top-level windows.
        close = s.wine(["taskkill", "/im", "Corvane.exe"], check=False)
        check(app.wait(timeout=60) == 0, f"app exit code {app.returncode} after WM_CLOSE ({close.stdout!r})")


def scenario_failing_variants():
    with Scenario("test_product_failing") as s:
        code = msiexec(s, f'/i "{place_package(s, "fails_install")}" /qn LAUNCHAPP=0')
        check(code == 1603, f"launch condition: exit code {code}, expected 1603")
        assert_removed(s, product_code("fails_install"))

        code = msiexec(s, f'/i "{place_package(s, "fails_uninstall")}" /qn LAUNCHAPP=0 CORVANE_DECRYPT_HTTPS=1')
        check(code == 0, f"fails_uninstall installs: exit code {code}")
        code = msiexec(s, f"/x {product_code('fails_uninstall')} /qn")
        check(code == 1603, f"refused removal: exit code {code}, expected 1603")
        check_installed(s, "fails_uninstall", decrypt_https="1")


def scenario_zips_hold_their_package_at_the_root():
    for variant in product_info()["variants"]:
        for latest in (False, True):
            msi = product_msi(variant, latest)
            with zipfile.ZipFile(msi.with_suffix(".zip")) as archive:
                check(archive.namelist() == [msi.name], f"{msi.with_suffix('.zip')}: {archive.namelist()}")
                check(archive.read(msi.name) == msi.read_bytes(), f"{msi.name} differs inside its ZIP")


if __name__ == "__main__":
    main(globals())

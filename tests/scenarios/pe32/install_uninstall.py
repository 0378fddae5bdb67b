"""The shipped 32-bit CorvaneSetup.exe installs the test product for real (download, unpack,
msiexec, registration, service, launch) and its installed uninstaller removes it again,
checked as the twin's install and uninstall scenarios check them."""
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1]))
from install_silent import events, product_code, serve  # noqa: E402
from product_exe import run_or_skip_on_emulator_fault  # noqa: E402
from product_state import assert_removed  # noqa: E402
from scenario import Scenario, check, check_in  # noqa: E402
from scenario_main import main  # noqa: E402
from test_product import check_installed, wait_for_lines  # noqa: E402
from uninstall_silent import staged_uninstaller  # noqa: E402


def check_events(s, prefix, names):
    sent = [name for name, _ in events(s)]
    for name in names:
        check(f"{prefix}.{name}" in sent, f"{prefix}.{name} not received; got {sent}")


def scenario_installs_and_installed_uninstaller_removes():
    with Scenario("pe32_install_uninstall", vendor=True) as s:
        s.vendor.update(session={"match": "none"})
        serve(s, zip_variant="ok", msi_variant="ok")
        result = run_or_skip_on_emulator_fault(s, s.place_exe("CorvaneSetup.exe"), "/S", "Corvane.Installer")
        log = s.log("Corvane.Installer")
        check(result.exit_code == 0, f"install exit code {result.exit_code}")
        check_in("Install complete (silent)", log)
        check_installed(s, "ok", decrypt_https="1", by_setup=True)
        check("running" in wait_for_lines(s, "service-events.txt", 1), "the service never ran")
        check_events(s, "corvane.installer", ("run", "start", "install", "finish", "close"))
        close = dict(events(s))["corvane.installer.close"]
        check(close.get("launch_outcome") == "launch_accepted", f"launch_outcome {close.get('launch_outcome')}")
        launched = "\n".join(wait_for_lines(s, "app-command-lines.txt", 1))
        check_in(f"--install_event_id={close.get('install_event_id')}", launched, "app command line")

        result = run_or_skip_on_emulator_fault(s, staged_uninstaller(s), "/S", "Corvane.Uninstaller")
        check(result.exit_code == 0, f"uninstall exit code {result.exit_code}")
        check_in("Uninstall complete", s.log("Corvane.Uninstaller"))
        assert_removed(s, product_code("ok"))
        check_events(s, "corvane.uninstaller", ("run", "start", "uninstall", "finish", "close"))


if __name__ == "__main__":
    main(globals())

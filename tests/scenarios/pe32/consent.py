"""The consent screens in the shipped architecture: the 32-bit build with the i686 WebView2 test
double, double-clicked (consent.html, then the install in the same window), and its uninstaller
started from Add/Remove Programs (the staged copy launched through the 32-bit "runas" call)."""
import re
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1]))
from install_silent import events, product_code, serve  # noqa: E402
from page_double import (PageDouble, consent_page, expect_event, index_page_finish,  # noqa: E402
                         index_page_start, uninstall_page)
from product_exe import run_emulated  # noqa: E402
from product_state import UNINSTALLER, assert_removed  # noqa: E402
from scenario import Scenario, check, check_in, variant_exe  # noqa: E402
from scenario_main import main  # noqa: E402

RUN_SECONDS = 300  # through the emulator where the machine runs no 32-bit code


def scenario_first_click_install_and_uninstall_from_add_remove_programs():
    with Scenario("pe32_consent", vendor=True, display=True) as s:
        s.vendor.update(session={"match": "none"})
        serve(s, zip_variant="ok", msi_variant="ok")
        double = PageDouble(s)
        double.script("consent.html", consent_page({"uninstall_existing": False, "decrypt_https": False,
                                                    "analytics_enabled": True}))
        double.script("index.html", index_page_start() + [
            expect_event("terminal", {"terminal": "finish", "outcome": "success"}, 480000)] + index_page_finish(5))
        double.script("uninstall.html", uninstall_page())
        exe = s.place_exe("CorvaneSetup.exe", source=variant_exe("test_double"))
        result = run_emulated(s, exe, "", env=double.env, timeout=RUN_SECONDS)
        check(result.exit_code == 0, f"install exit code {result.exit_code}")
        check_in("consent_webview: already elevated — handing off to in-process install in same window",
                 s.log("Corvane.Installer"))
        check(re.search(r"CORVANE_DECRYPT_HTTPS=0", s.log("Corvane.Installer")), "the HTTPS choice reached msiexec")

        result = run_emulated(s, UNINSTALLER, "", env=double.env, timeout=RUN_SECONDS)
        check(result.exit_code == 0, f"uninstaller exit code {result.exit_code}")
        installer_pid = double.events("navigate")[0]["pid"]
        uninstall_pids = {e["pid"] for e in double.events("navigate")} - {installer_pid}
        check(len(uninstall_pids) == 2, f"the uninstaller and its staged copy: {uninstall_pids}")
        double.wait_for_exits(uninstall_pids, RUN_SECONDS, emulated_32bit=True)
        log = s.log("Corvane.Uninstaller")
        check_in("consent_webview: launching temp copy: ", log)
        check_in("consent_webview: elevated UI ready, closing", log)
        check_in("Uninstall complete (UI mode)", log)
        assert_removed(s, product_code("ok"))
        closes = [body.get("message") for name, body in events(s) if name.endswith(".close")]
        check(closes == ["Installer end", "Uninstaller end"], f"close events {closes}")
        double.check_released()


if __name__ == "__main__":
    main(globals())

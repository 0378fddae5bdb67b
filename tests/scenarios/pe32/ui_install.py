"""The shipped architecture's screen: the 32-bit build with the i686 WebView2 test double embedded
opens the install page after the elevated relaunch, signals the ready event, and installs the
test product through the page (32-bit COM calls, loader entry points and handler objects)."""
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1]))
from install_silent import events, product_code, serve  # noqa: E402
from page_double import (STAGE_ORDER, PageDouble, ReadyWatch, check_stage_order, expect_event,  # noqa: E402
                         index_page_finish, index_page_start)
from product_exe import run_emulated  # noqa: E402
from product_state import assert_installed  # noqa: E402
from scenario import Scenario, check, check_in, variant_exe  # noqa: E402
from scenario_main import main  # noqa: E402

# Startup through the emulator, the install, and the page's finish commands.
UI_INSTALL_SECONDS = 300


def scenario_test_double_build_installs_through_the_page():
    with Scenario("pe32_ui_install", vendor=True, display=True) as s:
        s.vendor.update(session={"match": "none"})
        serve(s, zip_variant="ok", msi_variant="ok")
        double = PageDouble(s)
        double.script("index.html", index_page_start() + [
            expect_event("terminal", {"terminal": "finish", "outcome": "success"}, 480000)] + index_page_finish(5))
        ready = ReadyWatch(s)
        exe = s.place_exe("CorvaneSetup.exe", source=variant_exe("test_double"))
        result = run_emulated(s, exe, "/SKIPWELCOME", env=double.env, timeout=UI_INSTALL_SECONDS)
        check(result.exit_code == 0, f"exit code {result.exit_code}")
        ready.check_signalled()
        double.check_script_done("index.html")
        check_stage_order(double.progress("index.html"), STAGE_ORDER)
        check_in("Install complete (UI mode)", s.log("Corvane.Installer"))
        assert_installed(s, product_code("ok"))
        close = dict(events(s))["corvane.installer.close"]
        check(close.get("launch_outcome") == "launch_accepted", f"close event {close}")
        double.check_released()


if __name__ == "__main__":
    main(globals())

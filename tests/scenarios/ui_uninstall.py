"""The uninstall screen end to end: the elevated relaunch of the uninstaller (/SKIPWELCOME) shows
uninstall.html in the WebView2 host window, the test double plays the page's side, and both
phases of the removal report to it."""
from install_silent import events, product_code
from page_double import (UNINSTALL_STAGE_ORDER, PageDouble, check_stage_order, expect_event, expect_response,
                         invoke)
from product_state import assert_removed
from scenario import Scenario, check, check_in
from scenario_main import main
from uninstall_silent import install, staged_uninstaller


def scenario_skipwelcome_uninstalls_through_the_page():
    with Scenario("ui_uninstall", vendor=True, display=True) as s:
        install(s)
        double = PageDouble(s)
        steps = [invoke(1, "show_window"), invoke(2, "sibling_show_complete"), invoke(3, "get_install_state"),
                 expect_response(3), invoke(4, "signal_user_action", {"action": "begin"}), expect_response(4),
                 expect_event("progress", {"stage": "uninstalling"}, 300000),
                 expect_event("terminal", {"terminal": "finish", "outcome": "success"}, 300000)]
        for n, (cmd, args) in enumerate((("enable_close", {}), ("signal_user_action", {"action": "done"})), start=5):
            steps += [invoke(n, cmd, args), expect_response(n)]
        steps.append(invoke(7, "exit_sibling"))
        double.script("uninstall.html", steps)
        result = s.run(staged_uninstaller(s), "/SKIPWELCOME", timeout=600, env=double.env)
        log = s.log("Corvane.Uninstaller")
        check(result.exit_code == 0, f"exit code {result.exit_code}")
        double.check_script_done("uninstall.html")
        check(double.response("uninstall.html", 7) is None, "exit_sibling answered before the window closed")
        check(double.response("uninstall.html", 3).get("client_version") == "2.1.7.0", "uninstall state")
        progress = double.progress("uninstall.html")
        check_stage_order(progress, UNINSTALL_STAGE_ORDER)
        stages = {stage for stage, _ in progress}
        check({"closing", "uninstalling"} <= stages, f"stages {stages}")
        check(("closing", 100) in progress, f"the close phase did not finish: {progress}")
        check_in("Uninstall complete (UI mode)", log)
        assert_removed(s, product_code("ok"))
        sent = dict(events(s))
        check(sent["corvane.uninstaller.close"].get("message") == "Uninstaller end", "close message")
        double.check_released()


if __name__ == "__main__":
    main(globals())

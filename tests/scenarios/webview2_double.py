"""The WebView2 test double's own tests drive it on a real host window, so they run here, in a
fresh prefix with its own X server, and must pass rather than skip: the double is proven
before any scenario of the program relies on it."""
import json
import os
import zipfile
from pathlib import Path

from scenario import USER, Scenario, check, win_tests_on_display
from scenario_main import main
from vendor import windows_path


def scenario_double_plays_a_page_on_a_real_window():
    win_tests_on_display("webview2_double", "WebView2Fake.*:EarlyEnvironment.*-WebView2Fake.RelaysARealPageToTheHost", 8)


def scenario_double_relays_a_real_page():
    """uninstall.html of the built bundle, unpacked into the prefix as the program does, shown
    in chromium by the page relay; the host's side is WebView2Fake.RelaysARealPageToTheHost
    on a real window under Wine, and this side is the person: details typed, Continue
    Uninstall, the finish screen, the window closed."""
    build = Path(os.environ["CORVANE_EXE"]).parent
    with Scenario("webview2_relay", pages=True) as s:
        ui_folder = rf"C:\users\{USER}\Temp\relay-test\ui"
        with zipfile.ZipFile(build / "ui-bundle" / "ui_bundle.zip") as bundle:
            bundle.extractall(s.unix_path(ui_folder))
        host = s.start(windows_path(build / "win_tests.exe"), "--gtest_filter=WebView2Fake.RelaysARealPageToTheHost",
                       env={"CORVANE_TEST_UI_FOLDER": ui_folder}, name="win_tests")

        page = s.pages.wait_page("uninstall.html", timeout=120)
        # The host's answer reached the page as an object, and the control's size its viewport.
        page.wait_message("page", {"cmd": "log_from_js", "args": {"message": "uninstall state read: dry_run=true"}})
        size = page.evaluate("[innerWidth, innerHeight]")
        check(size == [704, 471], f"the page's viewport follows put_Bounds: {size}")
        page.fill("#feedback-details", "Relayed from the test")
        page.screenshot("feedback")
        page.click("role=button[name='Continue Uninstall']")
        page.wait_message("page", {"cmd": "signal_user_action", "args": {"action": "begin"}})
        page.wait_for("role=heading[name='CorVane Uninstalled']")
        page.wait_message("page", {"cmd": "signal_user_action", "args": {"action": "done"}})
        page.screenshot("finish")

        posts = [r for r in page.requests() if r["url"].endswith("/v1/feedback/uninstall")]
        check(len(posts) == 1, f"one feedback post: {posts}")
        sent = json.loads(posts[0]["body"])
        check((sent["reason_extra"], sent["user_id"]) == ("Relayed from the test", "relay-user"), f"feedback: {sent}")
        check(page.errors() == [], f"errors in the page: {page.errors()}")

        page.close_window()
        check(page.wait_closed(timeout=30) == "the host left the page", "the host closed its webview")
        result = host.wait(timeout=60)
        output = (s.evidence / "win_tests.out").read_text(errors="replace")
        check(result.exit_code == 0 and "[  PASSED  ] 1 test." in output, f"the host's side failed:\n{output}")


if __name__ == "__main__":
    main(globals())

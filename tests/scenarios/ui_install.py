"""The install screen end to end: the elevated relaunch (/SKIPWELCOME) extracts its pages and the
loader, opens the WebView2 host window, and the test double plays index.html's side."""
import re
import threading
import time

from install_silent import check_install_outcome, events, product_code, serve
from page_double import (STAGE_ORDER, PageDouble, ReadyWatch, check_stage_order, expect_event, expect_response,
                         index_page_finish, index_page_start, invoke)
from product_state import assert_removed
from scenario import USER, Scenario, check, check_in
from scenario_main import main

BROWSERS = [  # (root, subkey, default name or None, command)
    ("HKLM", "Google Chrome", "Google Chrome",
     r'"C:\Program Files\Google\Chrome\Application\chrome.exe" --single-argument'),
    ("HKCU", "Firefox-308046B0AF4A39CB", None, r"C:\Program Files\Mozilla Firefox\firefox.exe"),
    ("HKLM", "IEXPLORE.EXE", "Internet Explorer", r"C:\Program Files\Internet Explorer\iexplore.exe"),
    ("HKCU", "Google Chrome", "Chrome again", r'"C:\Program Files\Google\Chrome\Application\chrome.exe"'),
]


def register_browsers(s):
    for root, subkey, name, command in BROWSERS:
        key = f"{root}\\SOFTWARE\\Clients\\StartMenuInternet\\{subkey}"
        if name:
            s.wine(["reg", "add", key, "/ve", "/d", name, "/f", "/reg:64"])
        s.wine(["reg", "add", key + r"\shell\open\command", "/ve", "/d", command, "/f", "/reg:64"])


def screenshot_when_shown(s, double, name):
    """Takes a screenshot a moment after the page was opened, while the program runs."""
    def shoot():
        deadline = time.monotonic() + 120
        while time.monotonic() < deadline:
            if double.transcript.exists() and "\"navigate\"" in double.transcript.read_text(errors="replace"):
                time.sleep(1.5)
                s.screenshot(name)
                return
            time.sleep(0.2)
    thread = threading.Thread(target=shoot, daemon=True)
    thread.start()
    return thread


def check_working_folders_removed(s):
    """Nothing of the screen stays behind: the screen's folders were never in the user's temp
    folder, and the run's private folder (pages, loader, WebView2 data) is gone, or, where the
    loader library was still loaded and could not go, left to the next restart."""
    check(not list(s.temp_dir.glob("CorvaneInstaller*")), "a screen folder in the user's temp folder")
    left = [p.name for p in s.unix_path(r"C:\windows\temp").iterdir() if p.name.startswith("Corvane-")]
    pending = s.reg_values(r"HKLM\System\CurrentControlSet\Control\Session Manager").get("PendingFileRenameOperations")
    for name in left:
        check(pending and name in pending[1], f"private folder {name} neither removed nor left to the restart")


def check_browser_folders(double, log):
    """The browser runs as the person even under the elevated host: its data folder is a folder
    of its own beside the Administrators-only private folder, never in it; and its pages come
    from the host's own memory, on their own origin, read from no folder at all."""
    private = re.search(r"Private working folder: (C:\\windows\\Temp\\Corvane-[0-9a-f]{32})\\", log)
    check(private, "no private working folder in the log")
    private = private.group(1).lower()
    data = double.events("create_environment")[0]["user_data_folder"]
    check(re.fullmatch(r"C:\\windows\\Temp\\Corvane-[0-9a-f]{32}\\.+", data, re.I), f"user-data folder at {data}")
    check(not data.lower().startswith(private + "\\"), f"user-data folder inside the private folder: {data}")
    page = double.events("navigate")[0]["url"]
    check(page == "https://corvane-setup.invalid/index.html", f"navigated to {page}")
    served = [(e.get("status"), e.get("content_type")) for e in double.events("resource") if e["url"] == page]
    check(served == [(200, "text/html; charset=utf-8")], f"the page was served as {served}")
    check_in("Interactive user: S-1-5-21-", log)


def scenario_skipwelcome_installs_through_the_page():
    with Scenario("ui_install", vendor=True, display=True) as s:
        s.vendor.update(session={"match": "none"})
        serve(s, zip_variant="ok", msi_variant="ok")
        register_browsers(s)
        double = PageDouble(s)
        double.script("index.html", index_page_start() + [
            expect_event("progress", {"stage": "installing"}, 300000),
            {"close": True},  # a person clicking the close box while msiexec runs: the guard holds
            expect_event("terminal", {"terminal": "finish", "outcome": "success"}, 300000),
        ] + index_page_finish(5))
        ready = ReadyWatch(s)
        shooter = screenshot_when_shown(s, double, "install_window")
        result = s.run(s.place_exe("CorvaneSetup.exe"), "/SKIPWELCOME", timeout=600, env=double.env)
        shooter.join(timeout=30)
        log = s.log("Corvane.Installer")
        check(result.exit_code == 0, f"exit code {result.exit_code}")
        double.check_script_done("index.html")
        check(double.response("index.html", 12) is None, "exit_sibling answered before the window closed")
        ready.check_signalled()

        check_browser_folders(double, log)
        state = double.response("index.html", 3)
        check(state["installer_version"] == "2.0.266.0" and state["dry_run"] is False, f"install state {state}")
        browsers = [(b["key"], b["name"], b["icon"]) for b in state["browsers"]]
        check(browsers == [("chrome.exe", "Google Chrome", "chrome"), ("firefox.exe", "Firefox", "firefox")],
              f"browsers {browsers}")
        check_stage_order(double.progress("index.html"), STAGE_ORDER)
        closes = double.events("window_close")
        check(len(closes) == 1 and closes[0]["is_window"], f"close step {closes}")
        check_in("Install complete (UI mode)", log)
        check_install_outcome(s, log)
        close = dict(events(s))["corvane.installer.close"]
        check(close.get("launch_outcome") == "launch_accepted", f"close event {close}")
        check(close.get("message") == "Installer end", f"close event {close}")
        double.check_released()
        check((s.evidence / "install_window.png").is_file(), "no screenshot of the window")
        check_working_folders_removed(s)


def scenario_page_channel_obeys_only_its_own_page():
    """Whatever else drives the browser (it runs as the user, the host elevated): the page's
    own navigations away from its origin are cancelled, window.open opens nothing, messages
    from another document are ignored, even one that would cancel the install, and the origin
    serves the bundle's entries and nothing else."""
    with Scenario("ui_install_page_channel", vendor=True, display=True) as s:
        s.vendor.update(session={"match": "none"})
        serve(s, zip_variant="ok", msi_variant="ok")
        double = PageDouble(s)
        foreign = [{"post": {"type": "invoke", "id": 90, "cmd": "signal_user_action", "args": {"action": "cancel"}},
                    "source": "https://example.org/"},
                   {"post": {"type": "invoke", "id": 91, "cmd": "exit_sibling", "args": {}},
                    "source": "file:///C:/windows/win.ini"}]
        double.script("index.html", [
            {"fetch": "https://corvane-setup.invalid/assets/corvane-icon.svg"},
            {"fetch": "https://corvane-setup.invalid/assets/planted.js"},
            {"navigate": "https://example.org/"}, {"navigate": "file:///C:/windows/win.ini"},
            {"new_window": "https://example.org/popup"}, *foreign, {"sleep_ms": 500},
        ] + index_page_start() + [
            expect_event("terminal", {"terminal": "finish", "outcome": "success"}, 300000),
        ] + index_page_finish(5))
        result = s.run(s.place_exe("CorvaneSetup.exe"), "/SKIPWELCOME", timeout=600, env=double.env)
        check(result.exit_code == 0, f"exit code {result.exit_code}")
        double.check_script_done("index.html")  # no navigation replaced the page

        starts = [(e["by"], e["url"], e["cancelled"]) for e in double.events("navigation_starting")]
        page_url = double.events("navigate")[0]["url"]
        check(starts == [("host", page_url, False), ("page", "https://example.org/", True),
                         ("page", "file:///C:/windows/win.ini", True)], f"navigations {starts}")
        fetched = [(e["url"].rsplit("/", 1)[1], e.get("status"), e.get("content_type"), e.get("bytes", 0) > 0)
                   for e in double.events("resource") if e["url"] != page_url]
        check(fetched == [("corvane-icon.svg", 200, "image/svg+xml", True), ("planted.js", 404, None, False)],
              f"resources {fetched}")
        windows = [(e["handled"], e["opened"]) for e in double.events("new_window")]
        check(windows == [(True, False)], f"new window requests {windows}")
        settings = {e["name"]: e["value"] for e in double.events("setting")}
        check(settings.get("AreBrowserAcceleratorKeysEnabled") is False and settings.get("AllowExternalDrop") is False,
              f"settings {settings}")
        answered = {m.get("id") for m in double.host_messages("index.html") if m.get("type") == "response"}
        check(not answered & {90, 91}, f"a foreign message was answered: {sorted(answered)}")

        ui_log = s.log("Corvane.InstallerUI")
        check(ui_log.count("Ignored page messages from") == 1, "foreign messages not logged exactly once")
        check_in("Ignored page messages from https://example.org/ (the page shown is " + page_url + ")", ui_log)
        check_in("Cancelled a navigation outside the pages folder to https://example.org/", ui_log)
        check_in("Refused a new window for https://example.org/popup", ui_log)
        check_in("Page asked for https://corvane-setup.invalid/assets/planted.js: answered 404", ui_log)
        log = s.log("Corvane.Installer")
        check_in("Install complete (UI mode)", log)
        check_install_outcome(s, log)
        double.check_released()


def scenario_leaving_before_begin_installs_nothing():
    with Scenario("ui_install_cancel", vendor=True, display=True) as s:
        serve(s, zip_variant="ok", msi_variant="ok")
        double = PageDouble(s)
        for rule in ("settings3_missing", "controller4_missing"):  # an older runtime: the screen works without
            double.fault(rule)
        double.script("index.html", [
            invoke(1, "show_window"), invoke(2, "get_install_state"), expect_response(2),
            {"close": True},  # ignored: the progress screen's close guard
            {"sleep_ms": 500},
            invoke(3, "enable_close"), expect_response(3),
            {"close": True},  # now the question, answered Yes by the dialog driver
        ])
        driver, text_file = s.answer_dialog("CorVane Setup", button_id=6)  # IDYES
        result = s.run(s.place_exe("CorvaneSetup.exe"), "/SKIPWELCOME", timeout=300, env=double.env)
        driver.wait(timeout=60)
        check(result.exit_code == 0, f"exit code {result.exit_code}")
        check(text_file.read_text(encoding="utf-8") == "Are you sure you want to exit without launching CorVane?",
              f"question {text_file.read_text(encoding='utf-8')!r}")
        check(len(double.events("window_close")) == 2, "both close steps ran")
        check_in("User cancelled before install began", s.log("Corvane.Installer"))
        sent = dict(events(s))
        check("corvane.installer.start" not in sent, "the install started")
        check(sent["corvane.installer.close"].get("message") == "User cancelled", f"close {sent['corvane.installer.close']}")
        assert_removed(s, product_code("ok"))
        check(not s.vendor.requests() or all("update-dl." not in r["host"] for r in s.vendor.requests()),
              "the package was downloaded")
        asked = [(e["name"], e["offered"]) for e in double.events("query_interface")]
        check(asked == [("ICoreWebView2Settings3", False), ("ICoreWebView2Controller4", False)], f"asked for {asked}")
        check_in("WebView2 runtime offers no accelerator-key setting; browser keys stay on", s.log("Corvane.InstallerUI"))
        double.check_released()


def register_url_marker(s):
    """A program that records who started it, as the machine's open command of http and https
    (Wine reads no per-user class registration, so the machine's is the one used)."""
    marker = s.place_exe("url_marker.exe", folder=r"C:\corvane-links", source=s.helpers / "url_marker.exe")
    for scheme in ("http", "https"):
        s.wine(["reg", "add", rf"HKLM\Software\Classes\{scheme}\shell\open\command", "/ve", "/d",
                f'"{marker}" "%1"', "/f", "/reg:64"])
    return s.unix_path(marker + ".opened")


def scenario_links_open_from_the_desktop_shell_never_from_setup():
    with Scenario("ui_install_links", vendor=True, display=True) as s:
        opened = register_url_marker(s)
        link = "https://corvane.com/privacy?utm_source=corvanelabs&utm_medium=installer"
        refused = ['https://corvane.com/a"b', "https://corvane.com/a b", "https://corvane.com\\a"]
        double = PageDouble(s)
        # The desktop shell of a fresh prefix registers its window list a moment after it starts;
        # on a PC it has been up since sign-in. The click waits for it as a person would.
        double.script("index.html", [invoke(1, "show_window"), {"sleep_ms": 3000},
                                     invoke(2, "open_url", {"url": link})] +
                      [invoke(3 + i, "open_url", {"url": url}) for i, url in enumerate(refused)] +
                      [expect_response(5), {"sleep_ms": 2000}, invoke(6, "enable_close"), expect_response(6),
                       {"close": True}])
        driver, _ = s.answer_dialog("CorVane Setup", button_id=6)  # IDYES: leave without installing
        result = s.run(s.place_exe("CorvaneSetup.exe"), "/SKIPWELCOME", timeout=300, env=double.env)
        driver.wait(timeout=60)
        check(result.exit_code == 0, f"exit code {result.exit_code}")
        deadline = time.monotonic() + 30
        while not opened.exists() and time.monotonic() < deadline:
            time.sleep(0.5)
        lines = opened.read_text(encoding="utf-8").splitlines() if opened.exists() else []
        check(len(lines) == 1, f"the marker was started {len(lines)} times: {lines}")
        parent_pid, parent_name, command = lines[0].split("\t")
        setup_pids = {e["pid"] for e in double.events()}
        check(parent_name.lower() == "explorer.exe" and int(parent_pid) not in setup_pids,
              f"the browser was started by {parent_name} ({parent_pid}), setup ran as {setup_pids}")
        check(link in command, f"marker command line {command}")
        ui_log = s.log("Corvane.InstallerUI")
        check_in(f"open_url: launched external browser for {link} (through the desktop shell)", ui_log)
        for url in refused:
            check_in(f"open_url: refused {url} (only an absolute http: or https: address", ui_log)
        double.check_released()


def scenario_webview2_failing_after_the_window_opened_says_so():
    with Scenario("ui_install_webview2_fails", display=True) as s:
        double = PageDouble(s)
        double.fault("environment_async", "0x80070005")
        driver, text_file = s.answer_dialog("CorVane Setup")
        result = s.run(s.place_exe("CorvaneSetup.exe"), "/SKIPWELCOME", timeout=300, env=double.env)
        driver.wait(timeout=60)
        check(result.exit_code == 0, f"exit code {result.exit_code}: the UI installer ends normally once its window is gone")
        check(text_file.read_text(encoding="utf-8") ==
              "WebView2 environment creation failed (hr=0x80070005).\n\nThis usually means the elevated process can't "
              "access the per-PID user-data folder under %TEMP%, the WebView2 Runtime is broken, or another instance is "
              "holding the data folder open.\n\nThe installer cannot continue without WebView2.",
              f"dialog {text_file.read_text(encoding='utf-8')!r}")
        check_in("[ERROR] [InstallerUI] WebView2 environment creation failed (hr=0x80070005).", s.log("Corvane.InstallerUI"))
        check_in("User cancelled before install began", s.log("Corvane.Installer"))
        assert_removed(s, product_code("ok"))
        double.check_released()


if __name__ == "__main__":
    main(globals())

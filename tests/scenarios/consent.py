"""The consent screens end to end: a person double-clicks the setup program (or the uninstaller in
Add/Remove Programs) and clicks the button. The WebView2 test double plays consent.html's side;
Wine runs every process as an elevated administrator, so the installer goes on in the same
window, and the uninstaller in its install folder hands over to its staged copy."""
import re
import time

from install_silent import events, product_code, serve
from page_double import PageDouble, consent_page, expect_event, index_page_finish, index_page_start, uninstall_page
from product_state import INSTALL_DIR, PRODUCT_KEY, UNINSTALLER, assert_installed, assert_removed
from scenario import Scenario, check, check_in
from scenario_main import main
from ui_install import check_working_folders_removed
from uninstall_silent import install

CONSENT_INFO_KEYS = ["is_dev", "dry_run", "host_prefix", "host_domain", "is_uninstall", "is_elevated",
                     "analytics_enabled", "has_existing_install", "has_c_installer", "existing_version",
                     "uninstall_existing_default", "nothing_to_uninstall"]


def check_consent_info(double, **expected):
    info = double.response("consent.html", 1)
    check(list(info) == CONSENT_INFO_KEYS, f"consent info keys {list(info)}")
    for key, value in expected.items():
        check(info[key] == value, f"consent info {key}={info[key]!r}, expected {value!r}: {info}")


def install_from_consent(s, choices, session=None):
    """A plain start whose consent page is clicked with these choices, then installs on the
    install page in the same window; the double and the installer's log."""
    s.vendor.update(session=session or {"match": "none"})
    serve(s, zip_variant="ok", msi_variant="ok")
    double = PageDouble(s)
    double.script("consent.html", consent_page(choices))
    double.script("index.html", index_page_start() + [
        expect_event("terminal", {"terminal": "finish", "outcome": "success"}, 300000)] + index_page_finish(5))
    result = s.run(s.place_exe("CorvaneSetup.exe"), "", timeout=600, env=double.env)
    check(result.exit_code == 0, f"exit code {result.exit_code}")
    return double, s.log("Corvane.Installer")


def scenario_installer_from_the_first_click_goes_on_in_the_same_window():
    with Scenario("consent_install", vendor=True, display=True) as s:
        double, log = install_from_consent(s, {"decrypt_https": False})
        check_consent_info(double, is_uninstall=False, is_elevated=True, analytics_enabled=True,
                           has_existing_install=False, nothing_to_uninstall=False)
        pages = [(e["pid"], e["url"].rsplit("/", 1)[-1]) for e in double.events("navigate")]
        check([page for _, page in pages] == ["consent.html", "index.html"] and len({pid for pid, _ in pages}) == 1,
              f"one process, consent then install in the same window: {pages}")
        # No answer to consent_elevate anywhere: index.html's id 3 is its own get_install_state.
        check(not [m for m in double.host_messages("consent.html") if m.get("id") == 3], "consent_elevate answered")
        double.check_script_done("index.html")
        check(double.response("index.html", 3).get("installer_version") == "2.0.266.0", "install state for id 3")
        check_in("consent_webview: decrypt_https=0 (elevate_args=/SKIPWELCOME /DRYRUN=0 /UNINSTALLFIRST=0 /DECRYPTHTTPS=0 /USAGEDATA=1)", log)
        check_in("consent_webview: already elevated — handing off to in-process install in same window", log)
        check(re.search(r'msiexec\.exe /i "[^"]+" /qn /norestart LAUNCHAPP=0 CORVANE_DECRYPT_HTTPS=0', log),
              "msiexec command line")
        recorded = s.reg_values(PRODUCT_KEY).get("TestPackageDecryptHttps")
        check(recorded == ("REG_SZ", "0"), f"the package got CORVANE_DECRYPT_HTTPS={recorded}")
        assert_installed(s, product_code("ok"))

        sent = events(s)
        names = [name for name, _ in sent]
        for name in ("corvane.installer.run", "corvane.installer.page", "corvane.installer.click",
                     "corvane.installer.start", "corvane.installer.close"):
            check(name in names, f"{name} not received: {names}")
        pages = [body.get("page_name") for name, body in sent if name == "corvane.installer.page"]
        check(pages[:1] == ["welcome"], f"page events {pages}")
        click = dict(sent)["corvane.installer.click"]
        check((click.get("click_element"), click.get("decrypt_https"), click.get("is_elevated"),
               click.get("analytics_enabled")) == ("welcome_install", False, True, True), f"click {click}")
        closes = [body for name, body in sent if name == "corvane.installer.close"]
        check(len(closes) == 1 and closes[0].get("message") == "Installer end", f"close events {closes}")
        check_working_folders_removed(s)
        double.check_released()


def logged_at(log, text):
    """The time stamp of the first line holding text."""
    line = next((l for l in log.splitlines() if text in l), None)
    check(line is not None, f"no line with {text!r}")
    return line.split(" ", 1)[0]


def scenario_consent_screen_shows_before_a_slow_session_answer():
    # The session data answers four seconds late, long after the page has clicked: the screen
    # shows without waiting for it, and the click goes on once the answer is committed.
    with Scenario("consent_slow_session", vendor=True, display=True) as s:
        s.vendor.fault("delay", path="/v1/session-data", seconds=4)
        double, log = install_from_consent(s, {"decrypt_https": True},
                                           session={"match": "click", "utm_campaign": "spring sale"})
        shown = logged_at(s.log("Corvane.InstallerUI"), "Screen ready")
        answered = logged_at(log, "session_fetch: ok")
        check(shown < answered, f"the screen showed at {shown}, after the session answer at {answered}")
        check(answered < logged_at(log, "consent_webview: decrypt_https=1"),
              "the click went on before the session answer was committed")
        hklm = s.reg_values(PRODUCT_KEY)
        check(hklm.get("UTMCampaign", (None, None))[1] == "spring sale", f"UTMCampaign {hklm.get('UTMCampaign')}")
        sent = [(name, body) for name, body in events(s) if name in ("corvane.installer.page", "corvane.installer.click")]
        check([name for name, _ in sent[:2]] == ["corvane.installer.page", "corvane.installer.click"] and
              sent[0][1].get("page_name") == "welcome", f"welcome then click: {sent}")
        check(all(body.get("utm_campaign") == "spring sale" for _, body in sent[:2]),
              f"the session's campaign missing from the welcome or the click: {sent[:2]}")
        assert_installed(s, product_code("ok"))


def check_no_usage_events_after_the_choice(sent, prefix):
    """Only the welcome page, sent while the screen opened on the recorded consent: no click and
    no later page event once the person declined."""
    names = [name for name, _ in sent]
    check(prefix + ".click" not in names, f"a click event after usage data was declined: {names}")
    pages = [body.get("page_name") for name, body in sent if name == prefix + ".page"]
    check(pages == ["welcome"], f"page events {pages}")


def scenario_declined_usage_data_sends_no_click_and_the_install_goes_on():
    with Scenario("consent_declined_usage", vendor=True, display=True) as s:
        double, log = install_from_consent(s, {"analytics_enabled": False})
        double.check_script_done("index.html")
        check_in("consent_webview: analytics_enabled=0 (elevate_args=/SKIPWELCOME /DRYRUN=0 /UNINSTALLFIRST=0 "
                 "/DECRYPTHTTPS=1 /USAGEDATA=0)", log)
        check_in("consent_webview: already elevated — handing off to in-process install in same window", log)
        check_in("Install complete (UI mode)", log)
        check_in("Anonymous usage-data preference recorded: Declined (SendUsageData=0)", log)
        sent = events(s)
        check_no_usage_events_after_the_choice(sent, "corvane.installer")
        closes = [body for name, body in sent if name == "corvane.installer.close"]
        check([body.get("message") for body in closes] == ["Installer end"], f"close events {closes}")


def scenario_elevated_copy_keeps_an_existing_install_the_person_chose_to_keep():
    # What the first process hands its elevated copy when it was itself started with
    # /UNINSTALLFIRST and the person unticked the box: its own arguments, then the screen's.
    # (Wine's first process is already elevated and goes on in its own window, so the copy is
    # started here as the hand-off starts it.)
    with Scenario("consent_keep_existing", vendor=True, display=True) as s:
        install(s)
        data = s.unix_path(r"C:\ProgramData\Corvane")
        data.mkdir(parents=True, exist_ok=True)
        (data / "cache.bin").write_bytes(b"filters")
        double = PageDouble(s)
        double.script("index.html", index_page_start() + [
            expect_event("terminal", {"terminal": "finish"}, 300000)] + index_page_finish(5))
        args = "/UNINSTALLFIRST /SKIPWELCOME /DRYRUN=0 /UNINSTALLFIRST=0 /DECRYPTHTTPS=1 /USAGEDATA=1"
        result = s.run(s.place_exe("CorvaneSetup.exe"), args, timeout=600, env=double.env)
        log = s.log("Corvane.Installer")
        check(result.exit_code == 0, f"exit code {result.exit_code}")
        check_in("=== Corvane Installer 2.0.266.0 launched (post-consent relaunch) ===", log)
        check_in("cmdline=0 tag_pref=-1 uninstall_existing=0)", log)
        check("Pre-install" not in log, "the existing installation was removed first")
        check(not s.log("Corvane.Uninstaller"), "an uninstaller ran")
        check((data / "cache.bin").read_bytes() == b"filters", "the product's ProgramData folder was touched")
        assert_installed(s, product_code("ok"))


NATIVE_TEXTS = ["Install Corvane", "Less ads, more you \u2014 experience the internet\r\nlike you've never seen before.",
                "Install Corvane", "Cancel", "By clicking Install, you agree to the Terms of Service and Privacy Policy."]


def native_consent_window(s, double, button_id):
    """WebView2 fails in the first process only: its error box is answered, then the native
    window's controls are read and, 3 s later (a screenshot meanwhile), its button pressed."""
    double.fault("environment_async.once")
    s.answer_dialog("CorVane Setup")
    driver, texts = s.answer_dialog("CorVane Setup", button_id, window_class="CorvaneConsentWindow", delay_ms=3000)
    return driver, texts


def check_native_window(s, driver, texts, screenshot=None):
    deadline = time.monotonic() + 120
    while not texts.exists() and time.monotonic() < deadline:
        time.sleep(0.2)
    check(texts.exists(), "the native consent window never appeared")
    if screenshot:
        time.sleep(0.5)
        s.screenshot(screenshot)
    driver.wait(timeout=60)
    recorded = texts.read_bytes().decode("utf-8")
    check(recorded == "\n".join(NATIVE_TEXTS), f"controls {recorded!r}")


def scenario_native_window_when_webview2_fails_installs_through_an_elevated_copy():
    with Scenario("consent_native_install", vendor=True, display=True) as s:
        s.vendor.update(session={"match": "none"})
        serve(s, zip_variant="ok", msi_variant="ok")
        double = PageDouble(s)
        double.script("index.html", index_page_start() + [
            expect_event("terminal", {"terminal": "finish", "outcome": "success"}, 300000)] + index_page_finish(5))
        driver, texts = native_consent_window(s, double, 2001)
        running = s.start(s.place_exe("CorvaneSetup.exe"), "", env=double.env)
        check_native_window(s, driver, texts, screenshot="native_consent_window")
        result = running.wait(timeout=300)
        check(result.exit_code == 0, f"exit code {result.exit_code}")
        pids = {e["pid"] for e in double.events("navigate")}
        check(len(pids) == 1, f"the install page in the elevated copy: {pids}")
        double.wait_for_exits(pids)

        log = s.log("Corvane.Installer")
        check_in("consent_webview: WebView2 failed asynchronously — signalling fallback to native consent dialog", log)
        check_in("consent_window: user clicked Install (already_elevated=1)", log)
        check_in("=== Corvane Installer 2.0.266.0 launched (post-consent relaunch) ===", log)
        check_in("Install complete (UI mode)", log)
        assert_installed(s, product_code("ok"))
        sent = events(s)
        click = dict(sent)["corvane.installer.click"]
        check((click.get("native_fallback"), click.get("decrypt_https")) == (True, True), f"click {click}")
        closes = [body.get("message") for name, body in sent if name == "corvane.installer.close"]
        check(closes == ["Installer end"], f"close events {closes}")


def scenario_native_window_cancel_ends_the_run():
    with Scenario("consent_native_cancel", vendor=True, display=True) as s:
        double = PageDouble(s)
        driver, texts = native_consent_window(s, double, 2002)
        result = s.run(s.place_exe("CorvaneSetup.exe"), "", timeout=300, env=double.env)
        check_native_window(s, driver, texts)
        check(result.exit_code == 1, f"exit code {result.exit_code}")
        check_in("Consent path returned without handoff (ret=1, native_fallback=1) — sending installer.close: "
                 "User cancelled (WebView2 unavailable)", s.log("Corvane.Installer"))
        sent = events(s)
        names = [name for name, _ in sent]
        check("corvane.installer.run" in names and "corvane.installer.click" not in names, f"events {names}")
        closes = [body.get("message") for name, body in sent if name == "corvane.installer.close"]
        check(closes == ["User cancelled (WebView2 unavailable)"], f"close events {closes}")
        check(not double.events("navigate"), "a page was shown")


def scenario_uninstaller_from_add_remove_programs_hands_over_to_its_staged_copy():
    with Scenario("consent_uninstall", vendor=True, display=True) as s:
        install(s)
        double = PageDouble(s)
        # As the page sends it in uninstall mode: its existing-version and HTTPS boxes are hidden.
        double.script("consent.html", consent_page({"uninstall_existing": False, "decrypt_https": False,
                                                    "analytics_enabled": False}))
        double.script("uninstall.html", uninstall_page())
        uninstaller = UNINSTALLER
        result = s.run(uninstaller, "", timeout=300, env=double.env)
        check(result.exit_code == 0, f"exit code {result.exit_code}")
        pids = [e["pid"] for e in double.events("navigate")]
        check(len(set(pids)) == 2, f"consent and uninstall pages in two processes: {pids}")
        double.wait_for_exits(set(pids))

        log = s.log("Corvane.Uninstaller")
        check_consent_info(double, is_uninstall=True, is_elevated=True, has_existing_install=True,
                           has_c_installer=True, existing_version="2.1.7.0", nothing_to_uninstall=False)
        staged = r"C:\\windows\\Temp\\Corvane-[0-9a-f]{32}\\CorvaneUninstall\.exe"
        check(re.search("Staged temp uninstaller: " + staged, log), "staged copy line")
        check_in("consent_webview: requesting elevation (already_elevated=1 in_install_dir=1)", log)
        check(re.search("consent_webview: launching temp copy: " + staged, log), "launch of the staged copy")
        check_in("consent_webview: analytics_enabled=0 (elevate_args=/SKIPWELCOME /DRYRUN=0 /UNINSTALLFIRST=0 "
                 "/DECRYPTHTTPS=0 /USAGEDATA=0)", log)
        check_in("consent_webview: elevated UI ready, closing", log)
        check(double.response("consent.html", 3) == {"status": "ok"}, "consent_elevate answer")
        check_in("Mode: UI (WebView2) — welcome already shown", log)  # the copy, started with /SKIPWELCOME
        check(re.search(r"Uninstaller anonymous usage data: Declined \(persisted=-?\d, explicit=0\)", log),
              "the staged copy's usage-data choice")
        check_in("Uninstall complete (UI mode)", log)
        check_in("Removed install directory: " + INSTALL_DIR, log)
        assert_removed(s, product_code("ok"))
        double.check_script_done("uninstall.html")

        sent = events(s)
        check("corvane.uninstaller.start" in [name for name, _ in sent], "corvane.uninstaller.start not received")
        check_no_usage_events_after_the_choice(sent, "corvane.uninstaller")
        closes = [body.get("message") for name, body in sent if name == "corvane.uninstaller.close"]
        check(closes == ["Uninstaller end"], f"close events {closes}")
        double.check_released()


if __name__ == "__main__":
    main(globals())

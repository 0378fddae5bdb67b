"""The screens end to end as a person meets them: the real program under Wine, its real pages in
chromium through the page relay, the person's steps played by tests/harness/screens.py, and
the vendor stand-in as both the program's and the browser's web (the pages' own posts reach
it too). Screenshots of every screen, in order, are kept in the scenario's evidence."""
import json

import screens
from install_silent import check_install_outcome, events, product_code, serve
from page_double import wait_for_exits
from product_state import PRODUCT_KEY, UNINSTALLER, assert_removed
from scenario import Scenario, check
from scenario_main import main
from test_product import wait_for_lines
from ui_install import register_browsers
from uninstall_silent import USER_KEY, install

# The installer's own events of an interactive install, in the order it sends them (the run
# event goes out whenever the session fetch ends, so it is checked apart).
INSTALL_EVENTS = ["page welcome", "click welcome_install", "start", "page download", "page install", "install",
                  "finish", "page finish", "close"]
UNINSTALL_EVENTS = ["page welcome", "click welcome_install", "start", "uninstall", "finish", "close"]


def own_events(s, product):
    """(short name, body) of the program's own events ("page welcome" for corvane.installer.page
    of the welcome page), without the run event; the pages' events carry a wizard version."""
    found = []
    for name, body in events(s):
        if name.startswith(f"corvane.{product}.") and "wizard_version" not in body and not name.endswith(".run"):
            short = name.split(".")[-1]
            detail = body.get("page_name") if short == "page" else body.get("click_element") if short == "click" else None
            found.append((f"{short} {detail}" if detail else short, body))
    return found


def screenshots(s):
    return sorted(s.evidence.glob("[0-9][0-9]-*.png"))


def scenario_first_click_to_the_launched_product():
    with Scenario("real_screens_install", vendor=True, pages=True) as s:
        s.vendor.update(session={"match": "none"})
        serve(s, zip_variant="ok", msi_variant="ok")
        register_browsers(s)
        running = s.start(s.place_exe("CorvaneSetup.exe"))
        screens.consent(s.pages, "install", decrypt_https=False)
        page = screens.install_and_onboarding(s.pages, switch_off={"Confirm Blocking": ["Block social widgets"]})
        screens.launch_product(page)
        result = running.wait(timeout=120)
        check(result.exit_code == 0, f"exit code {result.exit_code}")

        check_install_outcome(s, s.log("Corvane.Installer"), decrypt_https=0)
        check(s.reg_values(PRODUCT_KEY).get("TestPackageDecryptHttps") == ("REG_SZ", "0"), "the package's HTTPS choice")
        filters = s.reg_values(USER_KEY + r"\Onboarding\Filters")
        check({k: v[1] for k, v in filters.items()} == {"BlockAds": "0x1", "BlockPrivacy": "0x1", "BlockSocial": "0x0"},
              f"the blocking choices: {filters}")
        launched = wait_for_lines(s, "app-command-lines.txt", 1)
        check(any("--run_source=installer" in line for line in launched), f"the app was not launched: {launched}")

        sent = own_events(s, "installer")
        check([name for name, _ in sent] == INSTALL_EVENTS, f"the installer's events: {[name for name, _ in sent]}")
        check(dict(sent)["close"].get("launch_outcome") == "launch_accepted", f"close {dict(sent)['close']}")
        user_id = dict(sent)["start"]["user_id"]
        # The pages' own telemetry, posted by chromium through the stand-in.
        from_pages = [json.loads(r["body"]) for r in s.vendor.stats() if "wizard_version" in json.loads(r["body"])]
        check(all((b["source"], b["wizard_version"], b.get("user_id")) == ("installer", "v2", user_id)
                  for b in from_pages), f"the pages' events: {from_pages}")
        pages = sorted(b["page_name"] for b in from_pages if b["event"] == "corvane.installer.page")
        clicks = {b["click_element"]: b.get("toggles") for b in from_pages if b["event"] == "corvane.installer.click"}
        check(pages == ["finish", "onboard_browsers", "onboard_filters", "onboard_https"], f"page events {pages}")
        check(sorted(clicks) == ["get_started", "onboard_browsers_next", "onboard_filters_next", "onboard_https_next"],
              f"click events {clicks}")
        check(clicks["onboard_filters_next"] == {"blockAds": True, "blockPrivacy": True, "blockSocial": False},
              f"the blocking toggles {clicks['onboard_filters_next']}")
        check(len(screenshots(s)) >= 8, f"screenshots {screenshots(s)}")


def scenario_uninstaller_from_add_remove_programs_takes_the_feedback():
    with Scenario("real_screens_uninstall", vendor=True, pages=True) as s:
        install(s)
        running = s.start(UNINSTALLER)
        screens.consent(s.pages, "uninstall")
        details = "Typed by the person: \u201cquotes\u201d & <angle> brackets"
        page = screens.uninstall_with_feedback(s.pages, "I'm switching to a different ad blocker",
                                               "A browser extension", details)
        check(running.wait(timeout=120).exit_code == 0, "the first uninstaller process failed")
        wait_for_exits(s.transcript, {page.pid}, timeout=120)

        posts = [p for p in s.vendor.api_posts() if p["path"] == "/v1/feedback/uninstall"]
        check([(p["scheme"], p["host"]) for p in posts] == [("https", "api.corvane.com")], f"feedback posts {posts}")
        feedback = json.loads(posts[0]["body"])
        check((feedback["reason"], feedback["reason2"], feedback["reason_extra"], feedback["skipped"], feedback["source"])
              == ("I'm switching to a different ad blocker", "A browser extension", details, False, "installer-windows"),
              f"feedback {feedback}")
        check(feedback["client_version"] == "2.1.7.0" and feedback["user_id"], f"feedback state fields {feedback}")

        assert_removed(s, product_code("ok"))
        sent = [name for name, _ in own_events(s, "uninstaller")]
        check(sent == UNINSTALL_EVENTS, f"the uninstaller's events: {sent}")
        check(len(screenshots(s)) >= 5, f"screenshots {screenshots(s)}")


if __name__ == "__main__":
    main(globals())

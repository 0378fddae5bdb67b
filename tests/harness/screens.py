"""What a person does on the program's screens, played on the real pages through the page relay
(page_relay.py), with a screenshot of every screen they see: the relay numbers them in order
in the scenario's evidence folder (NN-<screen>.png). The scenarios and the demo both use it.

    with Scenario("install_screens", vendor=True, pages=True) as s:
        running = s.start(setup_exe)
        screens.consent(s.pages, "install", decrypt_https=False)
        page = screens.install_and_onboarding(s.pages, switch_off=["Block social widgets"])
        screens.launch_product(page)

Each page's conversation with the host is checked as it goes: a message of a type the other
side does not take fails the step with the page, the type and the commands it carried named,
before a time-out further on could hide why.
"""
import contextlib

from scenario import check

PAGE_TIMEOUT = 120  # from the start (or the consent click) to the next page loaded
INSTALL_TIMEOUT = 600  # download, msiexec and registration under Wine
UNINSTALL_TIMEOUT = 600
HOST_CHANNELS = ("installer://progress", "installer://terminal")


def protocol_problems(page):
    """What in the page's conversation the other side cannot take: a page message that is not
    an invoke, a host message that is neither a response nor an event of a known channel."""
    problems = []
    strange = {}
    for sender, message in page.messages():
        kind = message.get("type") if isinstance(message, dict) else None
        if sender == "page" and kind != "invoke":
            strange.setdefault(("page", kind), []).append(message.get("cmd", "?") if isinstance(message, dict) else "?")
        elif sender == "host" and (kind not in ("response", "event") or
                                   (kind == "event" and message.get("channel") not in HOST_CHANNELS)):
            strange.setdefault(("host", kind), []).append(message.get("channel") or message.get("id"))
    for (sender, kind), what in strange.items():
        taker, known = ("host", "'invoke'") if sender == "page" else ("page", "'response' and 'event' on "
                                                                              + ", ".join(HOST_CHANNELS))
        problems.append(f"{page.name}: the {sender} sent {len(what)} message(s) of type {kind!r} "
                        f"({', '.join(map(str, what[:6]))}), which the {taker} does not take (it takes {known})")
    return problems


@contextlib.contextmanager
def conversation(page):
    """Runs a person's steps on a page; a broken conversation is the failure to report."""
    try:
        yield page
    except AssertionError as failure:
        problems = protocol_problems(page)
        if problems:
            raise AssertionError("; ".join(problems) + f" (then: {failure})") from failure
        raise
    problems = protocol_problems(page)
    check(not problems, "; ".join(problems))


def answered(page, cmd, timeout=30):
    """The host's answer to the page's next invoke of cmd."""
    sent = page.wait_message("page", {"type": "invoke", "cmd": cmd}, timeout=timeout)
    return page.wait_message("host", {"type": "response", "id": sent["id"]}, timeout=timeout)["result"]


def progress(page, stage, timeout):
    return page.wait_message("host", {"type": "event", "channel": "installer://progress", "payload": {"stage": stage}},
                             timeout=timeout)


def finished(page, timeout):
    """The terminal event of a run that ended well."""
    return page.wait_message("host", {"type": "event", "channel": "installer://terminal",
                                      "payload": {"terminal": "finish", "outcome": "success"}}, timeout=timeout)


# -- the consent screen --------------------------------------------------------------------------
def consent(relay, mode, decrypt_https=True):
    """The consent screen of the first process (mode "install" or "uninstall"): read, the HTTPS
    box unticked unless decrypt_https, the button clicked. Returns the page."""
    page = relay.wait_page("consent.html", timeout=PAGE_TIMEOUT)
    with conversation(page):
        info = answered(page, "get_consent_info")
        check(info.get("is_uninstall") is (mode == "uninstall"), f"consent info of the {mode} form: {info}")
        button = "role=button[name='Uninstall Now']" if mode == "uninstall" else "role=button[name='Install Now']"
        page.wait_for(button)
        page.wait_for("body:not(.pending)")
        page.screenshot(f"consent-{mode}")
        if mode == "install" and not decrypt_https:
            page.click("label:has(#decrypt-https)")
            check(page.evaluate("document.getElementById('decrypt-https').checked") is False, "the HTTPS box stays ticked")
            page.screenshot("consent-https-unticked")
        page.click(button)
        page.wait_message("page", {"cmd": "consent_elevate", "args": {"decrypt_https": mode == "install" and decrypt_https}})
    return page


# -- the install page --------------------------------------------------------------------------
def install_and_onboarding(relay, switch_off=None):
    """index.html from its first frame to the finish screen: the install's progress, then the
    three onboarding screens with Next; switch_off maps a screen's heading to the names of the
    switches a person turns off there. Returns the page, on the finish screen."""
    page = relay.wait_page("index.html", timeout=PAGE_TIMEOUT)
    with conversation(page):
        page.wait_message("page", {"cmd": "signal_user_action", "args": {"action": "begin"}}, timeout=30)
        progress(page, "downloading", PAGE_TIMEOUT)
        page.screenshot("install-downloading")
        progress(page, "installing", INSTALL_TIMEOUT)
        page.screenshot("install-installing")
        finished(page, INSTALL_TIMEOUT)
        for heading, button in (("Configure Browsers", "Next"), ("Confirm Blocking", "Next"),
                                ("HTTPS Filtering", "Done")):
            screen = f"section.screen:has(h1:text-is('{heading}'))"
            page.wait_for(screen, timeout=15)
            for name in (switch_off or {}).get(heading, ()):
                page.click(f"{screen} label:has-text('{name}')")
            page.screenshot("onboarding-" + heading.lower().replace(" ", "-"))
            page.click(f"{screen} >> role=button[name='{button}']")
        page.wait_for("role=heading[name='CorVane Installed']", timeout=15)
        page.screenshot("install-finish")
    return page


def launch_product(page):
    """Get Started on the finish screen: launch at sign-in and the launch, then the window goes."""
    with conversation(page):
        page.click("role=button[name='Get Started']")
        answered(page, "launch_app", timeout=120)
        page.wait_closed(timeout=60)


# -- the uninstall page --------------------------------------------------------------------------
def uninstall_with_feedback(relay, reason, follow_up, details):
    """uninstall.html: the feedback form answered (a reason, its follow-up unless None, details
    typed), Continue Uninstall, the progress, the finish screen and Close. Returns the page."""
    page = relay.wait_page("uninstall.html", timeout=PAGE_TIMEOUT)
    with conversation(page):
        answered(page, "get_install_state")
        page.wait_for("role=heading[name=\"We're sorry to see you go\"]")
        page.screenshot("uninstall-feedback")
        page.click(f"#reasons >> role=button[name=\"{reason}\"]")
        if follow_up:
            page.click(f"#follow-up >> role=button[name=\"{follow_up}\"]")
        page.fill("#feedback-details", details)
        page.screenshot("uninstall-feedback-given")
        page.click("role=button[name='Continue Uninstall']")
        page.wait_message("page", {"cmd": "signal_user_action", "args": {"action": "begin"}})
        progress(page, "uninstalling", UNINSTALL_TIMEOUT)
        page.screenshot("uninstall-progress")
        finished(page, UNINSTALL_TIMEOUT)
        page.wait_for("role=heading[name='CorVane Uninstalled']", timeout=15)
        page.screenshot("uninstall-finish")
        page.click("role=button[name='Close']")
        page.wait_closed(timeout=60)
    return page

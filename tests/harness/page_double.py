"""The WebView2 test double (tests/fixtures/webview2_fake/README.md) inside a scenario: the
page scripts it plays, the environment that points the program at them, and its transcript.

    double = PageDouble(s)
    double.script("index.html", [invoke(1, "get_install_state"), expect_response(1), {"close": True}])
    s.run(exe, "/SKIPWELCOME", env=double.env)
    double.host_messages("index.html")   # every message the host posted to that page, parsed
"""
import json
import time

import emulation
from scenario import USER, EmulatorBroke, check

STAGE_ORDER = ["preparing", "downloading", "extracting", "closing_existing", "uninstalling_existing", "installing",
               "finishing", "done"]
UNINSTALL_STAGE_ORDER = ["closing", "uninstalling", "done"]


def invoke(message_id, cmd, args=None):
    return {"post": {"type": "invoke", "id": message_id, "cmd": cmd, "args": args or {}}}


def expect_response(message_id, timeout_ms=30000):
    return {"expect": {"type": "response", "id": message_id}, "timeout_ms": timeout_ms}


def expect_event(channel, payload, timeout_ms=30000):
    return {"expect": {"type": "event", "channel": f"installer://{channel}", "payload": payload},
            "timeout_ms": timeout_ms}


# What the pages send, in the order the bundle's pages send it (tests/pages prove the pages).
def index_page_start():
    """What index.html sends first: show, shown, the install state, then begin at once."""
    return [invoke(1, "show_window"), invoke(2, "sibling_show_complete"), invoke(3, "get_install_state"),
            expect_response(3), invoke(4, "signal_user_action", {"action": "begin"}), expect_response(4)]


def index_page_finish(first_id):
    """After a successful install: onboarding answers, done, launch at sign-in, launch, and
    exit_sibling, whose answer the window's closing may overtake (the page does not wait for it)."""
    steps, n = [], first_id
    for cmd, args in (("enable_close", {}), ("save_onboarding_browsers", {"disabled": [], "enabled": ["chrome.exe"]}),
                      ("save_onboarding_filters", {}), ("save_onboarding_https", {}),
                      ("signal_user_action", {"action": "done"}), ("set_launch_on_logon", {"enabled": True}),
                      ("launch_app", {})):
        steps += [invoke(n, cmd, args), expect_response(n, 120000)]
        n += 1
    return steps + [invoke(n, "exit_sibling")]


def consent_page(choices):
    """What consent.html sends: the consent info, shown, then the button with the person's choices."""
    return [invoke(1, "get_consent_info"), expect_response(1), invoke(2, "show_window"), expect_response(2),
            invoke(3, "consent_elevate", choices)]


def uninstall_page():
    """What uninstall.html sends: its state, a moment on the feedback screen, begin, then the finish."""
    steps = [invoke(1, "show_window"), invoke(2, "sibling_show_complete"), invoke(3, "get_install_state"),
             expect_response(3), {"sleep_ms": 3000}, invoke(4, "signal_user_action", {"action": "begin"}),
             expect_response(4), expect_event("terminal", {"terminal": "finish", "outcome": "success"}, 300000)]
    for n, (cmd, args) in enumerate((("enable_close", {}), ("signal_user_action", {"action": "done"})), start=5):
        steps += [invoke(n, cmd, args), expect_response(n)]
    return steps + [invoke(7, "exit_sibling")]


class PageDouble:
    def __init__(self, scenario, name="wv2fake"):
        self.folder = scenario.temp_dir / name
        for sub in ("scripts", "faults"):
            (self.folder / sub).mkdir(parents=True, exist_ok=True)
        self.transcript = self.folder / "transcript.jsonl"
        windows = f"C:\\users\\{USER}\\Temp\\{name}"
        self.env = {"CORVANE_WV2FAKE_TRANSCRIPT": windows + r"\transcript.jsonl",
                    "CORVANE_WV2FAKE_SCRIPTS": windows + r"\scripts", "CORVANE_WV2FAKE_FAULTS": windows + r"\faults"}
        self.evidence = scenario.evidence

    def fault(self, rule, hresult=""):
        """A fault rule of the double (README: environment_sync, environment_async, ...)."""
        (self.folder / "faults" / rule).write_text(hresult)

    def script(self, page, steps):
        (self.folder / "scripts" / f"{page}.jsonl").write_text("".join(json.dumps(step, separators=(",", ":")) + "\n" for step in steps))

    def events(self, name=None):
        if not self.transcript.exists():
            return []
        text = self.transcript.read_text(encoding="utf-8")
        (self.evidence / "transcript.jsonl").write_text(text, encoding="utf-8")
        lines = [json.loads(line) for line in text.splitlines() if line.strip()]
        return [e for e in lines if name is None or e["event"] == name]

    def host_messages(self, page):
        posts = [e for e in self.events("host_post") if e.get("page") == page]
        check(all(e["valid_json"] for e in posts), f"the host posted text that is not JSON: {posts}")
        return [json.loads(e["json"]) for e in posts]

    def response(self, page, message_id):
        answers = [m for m in self.host_messages(page) if m.get("type") == "response" and m.get("id") == message_id]
        check(len(answers) == 1, f"{len(answers)} answers to invoke {message_id} on {page}")
        return answers[0]["result"]

    def progress(self, page, channel="installer://progress"):
        return [(m["payload"]["stage"], m["payload"]["percent"]) for m in self.host_messages(page)
                if m.get("type") == "event" and m.get("channel") == channel]

    def check_script_done(self, page):
        ends = [e for e in self.events() if e.get("page") == page and e["event"].startswith("script_")
                and e["event"] != "script"]
        check(ends and ends[-1]["event"] == "script_done", f"the {page} script did not run to its end: {ends}")

    def wait_for_exits(self, pids, timeout=600, emulated_32bit=False):
        """A copy the 32-bit program started writes into the started run's output, where an
        emulator fault shows at once (Running.wait); it ends this wait too."""
        err = self.evidence / "run_exit.err"
        watch = emulated_32bit and emulation.emulated()
        broke = (lambda: emulation.emulator_fault(err.read_text(errors="replace"))) if watch else None
        wait_for_exits(self.events, pids, timeout, broke)

    def check_released(self):
        """Every object of the double freed when the program ended: the host balanced its references."""
        unloads = self.events("unload")
        check(unloads, "the double never unloaded (the process did not end normally)")
        for unload in unloads:
            check(all(count == 0 for count in unload["live"].values()), f"objects left alive: {unload}")


def wait_for_exits(transcript, pids, timeout=600, broke=None):
    """Waits until every process of these ids has ended (its unload line in transcript(), the
    double's record in either mode), such as an elevated copy that goes on after the program
    the scenario started. broke(), when given, names an emulator fault that ends the wait."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if set(pids) <= {e["pid"] for e in transcript() if e["event"] == "unload"}:
            return
        fault = broke and broke()
        if fault:
            raise EmulatorBroke(f"the emulator broke a copy the program started: {fault}")
        time.sleep(0.5)
    raise AssertionError(f"processes {sorted(pids)} did not end within {timeout} s")


def check_stage_order(progress, order):
    """Stages come in the documented order, and within one stage the percent never falls."""
    check(progress, "no progress event")
    last_index, last_percent, last_stage = -1, -1, None
    for stage, percent in progress:
        check(stage in order, f"unknown stage {stage!r}")
        index = order.index(stage)
        check(index >= last_index, f"stage {stage} after {last_stage}: {progress}")
        if stage == last_stage:
            check(percent >= last_percent, f"{stage} went back from {last_percent} to {percent}: {progress}")
        check(0 <= percent <= 100, f"{stage} percent {percent}")
        last_index, last_percent, last_stage = index, percent, stage


class ReadyWatch:
    """The named event an unelevated parent waits on: created before the program starts (by
    the ready_waiter helper), so the program's screen can signal it."""

    def __init__(self, scenario, timeout_ms=900000):
        self.out = scenario.temp_dir / "ready-waiter.txt"
        scenario.start_helper("ready_waiter.exe", ["CorvaneInstallerUIReady", str(timeout_ms),
                                                   f"C:\\users\\{USER}\\Temp\\{self.out.name}"])
        deadline = time.monotonic() + 60
        while not self.out.exists() and time.monotonic() < deadline:
            time.sleep(0.1)
        check(self.out.exists(), "the ready waiter did not start")

    def check_signalled(self):
        deadline = time.monotonic() + 10
        while self.out.read_text().startswith("armed") and time.monotonic() < deadline:
            time.sleep(0.1)
        check(self.out.read_text().startswith("signaled"), f"ready event: {self.out.read_text()!r}")

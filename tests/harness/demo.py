"""The demo behind scripts/demo.sh: a real silent install and uninstall in a fresh Wine prefix,
against the local vendor stand-in serving the test product, shown as a user would look at it;
then the same interactively: the setup program double-clicked (consent screen, install in the
same window) and the uninstaller started from Add/Remove Programs (consent screen, its staged
copy's progress screen), with a screenshot of each screen. The WebView2 test double plays the
pages' side there (the window shows no page content).

It builds what it needs, then runs the installer and the uninstaller, each within a time bound,
printing their log lines as they come and, when nothing happens for a while, what it is waiting
for. It checks what it shows: after the install the product is installed, after the uninstall
it is gone; otherwise it ends with exit code 1 and a short message naming the log.

With --screens it runs the install and the uninstall on the real pages instead: each page the
program opens is shown in headless chromium through the page relay, and a person's steps are
played there (tests/harness/screens.py: consent with HTTPS filtering declined, the onboarding,
Get Started; then the uninstaller from Add/Remove Programs with its feedback form), with a
screenshot of every screen, whose paths it prints.

    demo.py [--twin | --shipped] [--variant NAME] [--prebuilt] [--screens]
"""
import argparse
import json
import os
import shutil
import signal
import subprocess
import sys
import threading
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import emulation  # noqa: E402
import prefix as prefixes  # noqa: E402
import screens  # noqa: E402
from page_double import (PageDouble, consent_page, expect_event, index_page_finish, index_page_start,  # noqa: E402
                         uninstall_page, wait_for_exits)
from product_state import INSTALL_DIR, OWN_ENTRY_KEY, UNINSTALLER, install_gaps, removal_leftovers  # noqa: E402
from scenario import Scenario  # noqa: E402

BUILD = prefixes.REPO / "build"
PACKAGE = "Corvane-Installer-win-x64-latest"
QUIET_SECONDS = 15  # silence after which the demo says what it is waiting for
# The build that carries the WebView2 test double, for the interactive run, and where it lands.
INTERACTIVE_TARGET = {"win64": "CorvaneSetup", "win32": "CorvaneSetupTestDouble"}
INTERACTIVE_EXE = {"win64": "CorvaneSetup.exe", "win32": "test-double/CorvaneSetup.exe"}
SCREEN_SECONDS = 3  # how long each scripted page stays up before it goes on (time for its screenshot)


class DemoFailure(Exception):
    """An outcome the demo shows as failed: its message is the whole story, no traceback."""


def say(text=""):
    print(text, flush=True)


def heading(text):
    say(f"\n{'=' * 8} {text} {'=' * max(8, 70 - len(text))}")


# -- choosing and preparing the program ------------------------------------------------------
def choose_program(args):
    """'twin' or 'shipped', after telling the reader which and how to get the other."""
    emulated = emulation.emulated()
    twin = args.twin or (emulated and not args.shipped)
    if twin and not args.twin:
        say("demo: 32-bit programs run on this machine only through an emulator (about a minute per process, and it\n"
            "      breaks now and then), so this demo runs the x86-64 twin built from the same sources.\n"
            "      The shipped 32-bit CorvaneSetup.exe is one switch away (about 5 minutes): scripts/demo.sh --shipped")
    elif twin:
        say("demo: running the x86-64 twin built from the same sources (--twin).\n"
            "      The shipped 32-bit CorvaneSetup.exe: scripts/demo.sh --shipped")
    else:
        how = ("through the emulator: about a minute per process" if emulated else "natively here")
        say(f"demo: running the shipped 32-bit CorvaneSetup.exe ({how}).\n"
            "      The x86-64 twin built from the same sources: scripts/demo.sh --twin")
    return "twin" if twin else "shipped"


def run_step(title, command, timeout, log_path):
    """Runs a preparation command with its output in log_path, saying what it waits for."""
    say(f"demo: {title} ...")
    started = time.monotonic()
    with open(log_path, "wb") as log:
        proc = subprocess.Popen(command, cwd=prefixes.REPO, stdout=log, stderr=subprocess.STDOUT,
                                start_new_session=True)
        while True:
            try:
                proc.wait(timeout=QUIET_SECONDS)
                break
            except subprocess.TimeoutExpired:
                waited = time.monotonic() - started
                if waited > timeout:
                    os.killpg(proc.pid, signal.SIGKILL)  # the build tools under it too
                    raise DemoFailure(f"{title} did not finish within {timeout} s; see {log_path}")
                say(f"      ... still {title} ({waited:.0f} s): {last_line(log_path)}")
    if proc.returncode != 0:
        raise DemoFailure(f"{title} failed (exit code {proc.returncode}); see {log_path}")


def read_text(path):
    try:
        return path.read_text(errors="replace")
    except OSError:
        return ""


def last_line(path):
    lines = [line for line in read_text(path).splitlines() if line.strip()]
    return lines[-1][-110:] if lines else ""


def prepare(tree, prebuilt):
    BUILD.mkdir(exist_ok=True)
    if prebuilt:
        return
    run_step(f"building the {tree} preset (the program, the test product, the harness helpers)",
             ["bash", "-c", f"cmake --preset {tree} && cmake --build --preset {tree} "
                            f"--target CorvaneSetup {INTERACTIVE_TARGET[tree]} test_product harness_helpers"],
             1500, BUILD / f"demo-build-{tree}.log")
    slow = " (minutes: its 32-bit half runs through the emulator)" if emulation.emulated() else ""
    run_step(f"making the pristine Wine prefix once{slow}", [sys.executable, "tests/harness/prefix.py", "--pristine"],
             prefixes.BOOT_TIMEOUT + 60, BUILD / "demo-prefix.log")


# -- running and watching ----------------------------------------------------------------------
def complete_log_lines(s, stem):
    """The finished lines of the program's log so far (it may be mid-write)."""
    files = sorted(s.temp_dir.glob(stem + "-*.log"))
    if not files:
        return []
    return files[0].read_bytes().decode("utf-8", errors="replace").replace("\r\n", "\n").split("\n")[:-1]


def run_watched(s, exe, args, log_stem, what, timeout, emulated, env=None):
    """Runs the program, echoing its log as it grows; returns the RunResult."""
    outcome = {}

    def target():
        try:
            outcome["result"] = s.run(exe, args, timeout=timeout, env=env)
        except Exception as error:  # reported below, in the reader's terms
            outcome["error"] = error

    say(f"\ndemo: running {exe} {args} (bound: {timeout} s)")
    worker = threading.Thread(target=target, daemon=True)
    started = last_news = time.monotonic()
    worker.start()
    shown = 0
    while worker.is_alive():
        worker.join(timeout=1)
        lines = complete_log_lines(s, log_stem)
        for line in lines[shown:]:
            say(f"  {line}")
        if len(lines) > shown:
            shown, last_news = len(lines), time.monotonic()
        elif time.monotonic() - last_news >= QUIET_SECONDS:
            waited = time.monotonic() - started
            fault = emulation.emulator_fault(read_text(s.evidence / "run_exit.err")) if emulated else None
            if fault:
                say(f"      ... {waited:.0f} s: the emulator broke a thread of the {what} ({fault}); "
                    f"waiting for it to end or for the bound")
            elif lines:
                say(f"      ... {waited:.0f} s: waiting for the {what} to go on after its last log line")
            elif emulated:
                say(f"      ... {waited:.0f} s: waiting for the emulator to start the 32-bit {what} "
                    "(about a minute here)")
            else:
                say(f"      ... {waited:.0f} s: waiting for the {what} to write its first log line")
            last_news = time.monotonic()
    for line in complete_log_lines(s, log_stem)[shown:]:
        say(f"  {line}")
    if "error" in outcome:
        raise DemoFailure(f"the {what} did not finish: {outcome['error']}")
    result = outcome["result"]
    fault = emulation.emulator_fault(read_text(s.evidence / "run_exit.err"))
    if fault:
        say(f"demo: Wine or the emulator reported: {fault}")
    say(f"demo: the {what} ended with exit code {result.exit_code} after {result.seconds:.0f} s")
    return result


# -- what the demo shows and checks --------------------------------------------------------
def product_code(product_dir, variant):
    return json.loads((product_dir / "variants.json").read_text())["variants"][variant]["product_code"]


def show_files(s):
    folder = s.unix_path(INSTALL_DIR)
    heading(f"Files in {INSTALL_DIR}")
    if not folder.exists():
        say("(the folder does not exist)")
        return
    for path in sorted(folder.rglob("*")):
        say(f"  {path.relative_to(folder)}  ({path.stat().st_size} bytes)")


def show_registry(s, key):
    heading(key)
    values = s.reg_values(key)
    if not values:
        say("(no such key)")
    for name, (kind, data) in values.items():
        say(f"  {name:<18} {kind:<10} {data}")


def show_events(s, since):
    records = s.vendor.stats()[since:]
    heading(f"Events received by the stats host ({len(records)})")
    for record in records:
        try:
            body = json.loads(record["body"])
        except ValueError:
            say(f"  (not JSON) {record['body'][:100]!r}")
            continue
        extra = {k: body[k] for k in ("launch_outcome", "exit_stage", "error_category") if k in body}
        say(f"  {body.get('event', '?'):<32} {body.get('message')!r} {extra if extra else ''}")
    return len(s.vendor.stats())


def check_outcome(problems, result, what, s, log_stem):
    if result.exit_code != 0:
        problems.insert(0, f"exit code {result.exit_code}")
    if problems:
        logs = sorted(s.evidence.glob(log_stem + "-*.log"))
        raise DemoFailure(f"the {what} did not do its job: {'; '.join(problems)}.\n"
                          f"      Its log: {logs[0] if logs else s.evidence}")


def demo(s, tree, variant):
    emulated = tree == "win32" and emulation.emulated()
    # An emulated 32-bit process takes about a minute to start and more to end; natively seconds.
    timeout = 600 if emulated else 180
    product_dir = BUILD / tree / "product"
    s.vendor.update(session={"match": "none"})
    for suffix in (".zip", ".msi"):
        s.vendor.add_file(PACKAGE + suffix, product_dir / variant / (PACKAGE + suffix))
    say(f"demo: Wine prefix {s.prefix}\ndemo: vendor stand-in {s.vendor.proxy} serving the test product ({variant})")
    code = product_code(product_dir, variant)

    setup = s.place_exe("CorvaneSetup.exe")
    result = run_watched(s, setup, "/S", "Corvane.Installer", "installer", timeout, emulated)
    s.save_evidence()
    show_files(s)
    show_registry(s, OWN_ENTRY_KEY)
    records = s.unix_path(r"C:\ProgramData\CorvaneTest")
    heading("Service and app (as the test product recorded them)")
    for name in ("service-events.txt", "app-command-lines.txt"):
        path = records / name
        say(f"  {name}: {path.read_text(encoding='utf-8').strip() if path.exists() else '(none)'}")
    seen = show_events(s, 0)
    check_outcome(install_gaps(s, code), result, "install", s, "Corvane.Installer")
    say("\ndemo: installed: files in place, Add/Remove Programs entry and Windows Installer package present")

    # Run as the pre-install flow runs it: a copy in the temp folder, so the folder can go.
    shutil.copy2(s.unix_path(INSTALL_DIR) / "CorvaneUninstall.exe", s.temp_dir / "CorvaneUninstall.exe")
    uninstaller = r"C:\users\root\Temp\CorvaneUninstall.exe"
    result = run_watched(s, uninstaller, "/S", "Corvane.Uninstaller", "uninstaller", timeout, emulated)
    s.save_evidence()
    show_files(s)
    show_registry(s, OWN_ENTRY_KEY)
    show_registry(s, r"HKLM\Software\CorvaneLabs\Corvane")
    show_registry(s, r"HKCU\Software\CorvaneLabs\Corvane")
    show_events(s, seen)
    check_outcome(removal_leftovers(s, code), result, "uninstall", s, "Corvane.Uninstaller")
    say("\ndemo: removed: install folder, Add/Remove Programs entry and Windows Installer package are gone")


# -- the interactive run ------------------------------------------------------------------------
class ScreenShooter(threading.Thread):
    """Takes a screenshot of each page as the double opens it (its navigate lines)."""

    def __init__(self, s, double):
        super().__init__(daemon=True)
        self.s, self.double, self.shots, self.done = s, double, [], threading.Event()

    def run(self):
        seen = 0
        while not self.done.is_set():
            navigations = self.double.events("navigate")
            for event in navigations[seen:]:
                time.sleep(1.5)  # the page's window drawn
                page = event["url"].rsplit("/", 1)[-1].split(".")[0]
                path = self.s.screenshot(f"{len(self.shots) + 1:02d}-{page}")
                self.shots.append(path)
                say(f"demo: screenshot of {event['url'].rsplit('/', 1)[-1]} (process {event['pid']}): {path}")
            seen = len(navigations)
            time.sleep(0.3)

    def stop(self):
        self.done.set()
        self.join(timeout=10)


def a_moment_on_screen(steps):
    """The scripted page waits a little after showing itself, as a person reading it would."""
    return steps[:4] + [{"sleep_ms": SCREEN_SECONDS * 1000}] + steps[4:]


def interactive(s, tree, timeout, emulated):
    heading("Interactive: the setup program double-clicked, then the uninstaller from Add/Remove Programs")
    double = PageDouble(s)
    double.script("consent.html", a_moment_on_screen(consent_page(
        {"uninstall_existing": False, "decrypt_https": True, "analytics_enabled": True})))
    double.script("index.html", a_moment_on_screen(index_page_start()) + [
        expect_event("terminal", {"terminal": "finish", "outcome": "success"}, 300000)] + index_page_finish(5))
    double.script("uninstall.html", a_moment_on_screen(uninstall_page()))
    shooter = ScreenShooter(s, double)
    shooter.start()
    try:
        setup = s.place_exe("CorvaneSetup.exe", source=BUILD / tree / INTERACTIVE_EXE[tree])
        say(f"demo: the screens run build/{tree}/{INTERACTIVE_EXE[tree]}: the same program with the WebView2 test double as its loader")
        result = run_watched(s, setup, "", "Corvane.Installer", "installer", timeout, emulated, env=double.env)
        check_outcome(install_gaps(s, product_code(BUILD / tree / "product", "ok")), result, "interactive install", s,
                      "Corvane.Installer")
        say("\ndemo: installed from the consent screen, in the same window (this process was already elevated)")
        uninstaller = UNINSTALLER
        result = run_watched(s, uninstaller, "", "Corvane.Uninstaller", "uninstaller (Add/Remove Programs)", timeout,
                             emulated, env=double.env)
        say("demo: the uninstaller handed over to its staged copy; waiting for that copy to finish")
        shown = len(complete_log_lines(s, "Corvane.Uninstaller"))
        double.wait_for_exits({e["pid"] for e in double.events("navigate")}, timeout)
        for line in complete_log_lines(s, "Corvane.Uninstaller")[shown:]:
            say(f"  {line}")
        s.save_evidence()
        show_files(s)
        show_registry(s, OWN_ENTRY_KEY)
        check_outcome(removal_leftovers(s, product_code(BUILD / tree / "product", "ok")), result,
                      "interactive uninstall", s, "Corvane.Uninstaller")
    finally:
        shooter.stop()
    heading(f"Screens ({len(shooter.shots)} screenshots)")
    for path in shooter.shots:
        say(f"  {path}")
    if len(shooter.shots) < 4:
        raise DemoFailure(f"expected a screenshot of each of the four screens, took {len(shooter.shots)}")
    say("\ndemo: interactive run passed: consent, install, consent (uninstall), uninstall")


def run_in_scenario(name, story, serve_product=False, **scenario):
    """Runs story(s) in a scenario; its evidence is kept whatever happens, and a failure the
    story told as it went (DemoFailure, or a page step that did not come) is raised after."""
    failure = None
    with Scenario(name, vendor=True, **scenario) as s:
        if serve_product:
            s.vendor.update(session={"match": "none"})
            for suffix in (".zip", ".msi"):
                s.vendor.add_file(PACKAGE + suffix, BUILD / serve_product / "product" / "ok" / (PACKAGE + suffix))
        try:
            story(s)
        except (DemoFailure, AssertionError) as caught:  # kept inside: the log was already shown line by line
            failure = caught
        finally:
            s.save_evidence()
    if failure:
        raise DemoFailure(str(failure))


def timeout_for(tree):
    return 600 if tree == "win32" and emulation.emulated() else 180


def run_interactive(name, tree):
    run_in_scenario(name, lambda s: interactive(s, tree, timeout_for(tree), tree == "win32" and emulation.emulated()),
                    serve_product=tree, display=True)


# -- the real pages ------------------------------------------------------------------------------
def person_on_screens(s, tree, timeout):
    """The install and the uninstall with a person's steps on the real pages."""
    code = product_code(BUILD / tree / "product", "ok")
    heading("The setup program double-clicked: the real pages in chromium, a person's steps played")
    setup = s.place_exe("CorvaneSetup.exe", source=BUILD / tree / INTERACTIVE_EXE[tree])
    say(f"demo: the screens run build/{tree}/{INTERACTIVE_EXE[tree]}: the same program with the WebView2 test double as its loader")
    running = s.start(setup)
    say("demo: consent screen: HTTPS filtering unticked, Install Now")
    screens.consent(s.pages, "install", decrypt_https=False)
    say("demo: install page: progress, then the three onboarding screens with Next")
    page = screens.install_and_onboarding(s.pages)
    say("demo: finish screen: Get Started (the product is launched)")
    screens.launch_product(page)
    check_outcome(install_gaps(s, code), running.wait(timeout), "install from the screens", s, "Corvane.Installer")
    say("demo: installed, the product launched")

    heading("The uninstaller from Add/Remove Programs")
    running = s.start(UNINSTALLER, name="run_uninstall")
    say("demo: consent screen (uninstall form): Uninstall Now")
    screens.consent(s.pages, "uninstall")
    say("demo: uninstall page: feedback given, Continue Uninstall, progress, Close")
    page = screens.uninstall_with_feedback(s.pages, "CorVane isn't working as expected",
                                           "Some websites broke or loaded badly", "Typed in the demo")
    first = running.wait(timeout)
    wait_for_exits(s.transcript, {page.pid}, timeout)  # the staged copy that did the removal
    for post in s.vendor.api_posts():
        body = json.loads(post["body"])
        typed = " / ".join(str(body.get(key, "")) for key in ("reason", "reason2", "reason_extra"))
        say(f"demo: the stand-in received {post['scheme']}://{post['host']}{post['path']}: {typed}")
    check_outcome(removal_leftovers(s, code), first, "uninstall from the screens", s, "Corvane.Uninstaller")
    say("demo: removed")


def run_screens(name, tree):
    def story(s):
        say(f"demo: Wine prefix {s.prefix}\ndemo: vendor stand-in {s.vendor.proxy}, also the browser's proxy")
        try:
            person_on_screens(s, tree, timeout_for(tree))
        finally:
            shots = sorted(s.evidence.glob("[0-9][0-9]-*.png"))
            heading(f"Screens ({len(shots)} screenshots)")
            for path in shots:
                say(f"  {path}")

    run_in_scenario(name, story, serve_product=tree, pages=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    which = parser.add_mutually_exclusive_group()
    which.add_argument("--twin", action="store_true", help="run the x86-64 twin of the same sources")
    which.add_argument("--shipped", action="store_true", help="run the shipped 32-bit CorvaneSetup.exe")
    parser.add_argument("--variant", default="ok",
                        help="test product the stand-in serves: ok, or fails_uninstall to see a refused removal")
    parser.add_argument("--prebuilt", action="store_true", help="skip the build and prefix steps")
    parser.add_argument("--screens", action="store_true",
                        help="install and uninstall on the real pages in chromium, a person's steps played")
    args = parser.parse_args()

    tree = "win64" if choose_program(args) == "twin" else "win32"
    name = "demo" if args.variant == "ok" else f"demo-{args.variant}"
    evidence = BUILD / "evidence" / "scenarios" / name
    try:
        prepare(tree, args.prebuilt)
        os.environ["CORVANE_EXE"] = str(BUILD / tree / "CorvaneSetup.exe")
        os.environ["CORVANE_HELPERS"] = str(BUILD / tree / "tests" / "harness" / "win")
        os.environ["CORVANE_KEEP_PREFIX"] = "1"
        if args.screens:
            evidence = BUILD / "evidence" / "scenarios" / f"{name}-screens"
            run_screens(evidence.name, tree)
            say(f"\ndemo: passed. Logs, the stand-in's records and the screenshots are kept in {evidence}")
            return 0
        run_in_scenario(name, lambda s: demo(s, tree, args.variant))
        if args.variant == "ok":  # a refused removal is shown by the silent run alone
            evidence = BUILD / "evidence" / "scenarios" / f"{name}-interactive"
            run_interactive(evidence.name, tree)
    except DemoFailure as failure:
        say(f"\ndemo: FAILED: {failure}\n      Logs and the stand-in's records: {evidence}")
        return 1
    except KeyboardInterrupt:
        say("\ndemo: interrupted")
        return 130
    except Exception as error:  # anything unforeseen still ends in one readable line
        say(f"\ndemo: FAILED: {type(error).__name__}: {error}\n      Logs and the stand-in's records: {evidence}")
        return 1
    say(f"\ndemo: passed. Logs, the stand-in's records and the screenshots are kept in {evidence.parent}/{name}*")
    return 0


if __name__ == "__main__":
    sys.exit(main())

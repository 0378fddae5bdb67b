"""End-to-end scenarios of the real program in a fresh Wine prefix.

    with Scenario("os_gate") as s:
        exe = s.place_exe("CorvaneSetup.exe")          # Windows path of a copy of the program
        result = s.run(exe, "/S", timeout=120)          # full exit code, even above 255
        text = s.log("Corvane.Installer")               # today's log from the prefix's temp folder
        values = s.reg_values(r"HKLM\\Software\\CorvaneLabs\\Corvane")

The program under test and the helpers come from the environment CTest gives each
scenario: CORVANE_EXE (the program) and CORVANE_HELPERS (folder of the harness helpers).
Another build variant of the preset is placed with s.place_exe(name, source=variant_exe(...)):
"no_loader" (x86-64 twin without a WebView2 loader) or "test_double" (the 32-bit build that
embeds the i686 WebView2 test double).
Evidence (logs, registry dumps, screenshots) is kept under build/evidence/scenarios/<name>.

The vendor's web services (tests/fixtures/vendor/vendor.py) for a scenario:

    with Scenario("download_404", vendor=True) as s:          # vendor="no-tls" refuses CONNECT
        s.vendor.add_file("Corvane-Installer-win-x64-latest.msi", Path("test.msi"))  # signed by the pinned key
        s.vendor.fault("status", host="*update-dl.corvane.com", path="/*.zip", status=404)
        s.vendor.update(session={"match": "none", "current_timestamp": 1767225600})
        s.run(exe, "/S")
        s.vendor.requests()   # every request: method, scheme, host, path, query, user_agent
        s.vendor.stats()      # every stats POST: host, query, status, content_type, body, ...

The program reaches it through http_proxy; its test root CA is trusted by this prefix only.
Without vendor=..., http_proxy points at a closed loopback port, so no scenario ever leaves
the machine and telemetry fails at once instead of waiting on name resolution.

The screens, with pages=True: the WebView2 test double of every process the scenario starts
relays its pages to real pages of the bundle in headless chromium (page_relay.py), which the
scenario drives as a person would while the program runs:

    with Scenario("uninstall_ui", pages=True) as s:
        running = s.start(exe)                        # in the background, on a private X display
        page = s.pages.wait_page("uninstall.html")
        page.click("role=button[name='Continue Uninstall']")
        result = running.wait(timeout=300)
        s.transcript()                                # the double's record of both processes
"""
import json
import os
import re
import shutil
import subprocess
import sys
import time
from pathlib import Path, PureWindowsPath

sys.path.insert(0, str(Path(__file__).resolve().parent))
import emulation  # noqa: E402
import prefix as prefixes  # noqa: E402
from page_relay import PageRelay  # noqa: E402

sys.path.insert(0, str(prefixes.REPO / "tests" / "fixtures" / "vendor"))
import vendor as vendor_standin  # noqa: E402

EVIDENCE_ROOT = prefixes.REPO / "build" / "evidence" / "scenarios"
USER = os.environ.get("USER") or "root"
CLOSED_PROXY = "http://127.0.0.1:9"  # nothing listens there: every request is refused at once


class RunResult:
    def __init__(self, exit_code, output, seconds):
        self.exit_code = exit_code
        self.output = output
        self.seconds = seconds

    def __repr__(self):
        return f"RunResult(exit_code={self.exit_code}, seconds={self.seconds:.1f})"


# Set by scenario_main before it runs a scenario again: the first attempt's evidence is moved
# aside instead of being wiped.
keep_previous_evidence = False


class Xvfb:
    """A private X display for windows and message boxes."""

    def __init__(self):
        read_fd, write_fd = os.pipe()
        self.proc = subprocess.Popen(["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "1280x1024x24",
                                      "-nolisten", "tcp"], pass_fds=(write_fd,), stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL)
        os.close(write_fd)
        with os.fdopen(read_fd) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise RuntimeError("Xvfb did not start")
        self.display = f":{number}"

    def screenshot(self, path):
        """xwd reads the root window's pixels through every mapped window; one that Wine unmaps or
        destroys during the read makes the server answer BadDrawable. A moment later the screen
        is readable again, so a failed read is tried twice more before it counts."""
        for attempt in range(3):
            xwd = subprocess.run(["xwd", "-root", "-display", self.display], stdout=subprocess.PIPE, timeout=30)
            if xwd.returncode == 0:
                break
            if attempt == 2:
                raise subprocess.CalledProcessError(xwd.returncode, xwd.args)
            time.sleep(0.3)
        subprocess.run(["convert", "xwd:-", str(path)], input=xwd.stdout, timeout=30, check=True)

    def stop(self):
        self.proc.terminate()
        try:
            self.proc.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.proc.kill()


class Running:
    """A program started by Scenario.start; wait() ends it and gives its RunResult."""

    def __init__(self, scenario, proc, command_line, out_path, started):
        self.scenario, self.proc, self.command_line = scenario, proc, command_line
        self.out_path, self.started = out_path, started

    def wait(self, timeout=180, emulated_32bit=False):
        """For a 32-bit run where 32-bit code is emulated, a thread the emulator broke leaves Wine
        waiting for a debugger until the time-out; the fault is in the run's output at once, so
        it ends the wait there (EmulatorBroke) instead of minutes later."""
        deadline = time.monotonic() + timeout
        watch = emulated_32bit and emulation.emulated()
        while True:
            try:
                self.proc.wait(timeout=max(0.0, min(2.0, deadline - time.monotonic())) if watch else timeout)
                break
            except subprocess.TimeoutExpired:
                fault = watch and emulation.emulator_fault(self.out_path.with_suffix(".err").read_text(errors="replace"))
                if not fault and time.monotonic() < deadline:
                    continue
                self.proc.kill()
                prefixes.stop_wineserver(self.scenario.prefix)
                if fault:
                    raise EmulatorBroke(f"the emulator broke {self.command_line}: {fault}")
                raise AssertionError(f"{self.command_line} did not finish within {timeout} s")
        output = self.out_path.read_bytes().decode(errors="replace")
        match = re.search(r"exit_code=(\d+)", output)
        if not match:
            raise AssertionError(f"no exit code from run_exit: {output!r}")
        return RunResult(int(match.group(1)), output, time.monotonic() - self.started)


class Scenario:
    def __init__(self, name, display=False, windows_version="win10", vendor=False, pages=False):
        self.name = name
        self.vendor_mode = vendor  # False, True (HTTPS served) or "no-tls" (CONNECT refused)
        self.vendor = None
        self.want_pages = pages
        self.pages = None
        self.want_display = display or pages
        self.windows_version = windows_version
        self.exe_source = Path(os.environ.get("CORVANE_EXE", ""))
        self.helpers = Path(os.environ.get("CORVANE_HELPERS", ""))
        self.evidence = EVIDENCE_ROOT / name
        self.xvfb = None
        self.background = []

    # -- lifecycle -------------------------------------------------------------------
    def __enter__(self):
        if not self.exe_source.is_file():
            raise RuntimeError(f"CORVANE_EXE does not name the program: {self.exe_source}")
        if keep_previous_evidence and self.evidence.is_dir():
            first = self.evidence.with_name(self.name + ".first-attempt")
            shutil.rmtree(first, ignore_errors=True)
            self.evidence.rename(first)
        shutil.rmtree(self.evidence, ignore_errors=True)
        self.evidence.mkdir(parents=True, exist_ok=True)
        self.prefix = prefixes.fresh_copy(f"scenario-{self.name}")
        self._own_user_folders()
        if self.want_display:
            self.xvfb = Xvfb()
        if self.windows_version != "win10":
            self._set_windows_version(self.windows_version)
        if self.vendor_mode:
            self._start_vendor()
        if self.want_pages:
            # With the stand-in, the pages' own posts reach it as the program's events do.
            self.pages = PageRelay(self.prefix, self.evidence, proxy=self.vendor.proxy if self.vendor else None)
        return self

    def _own_user_folders(self):
        # Wine links Downloads, Desktop and Documents to the Unix home folder: scenarios running
        # side by side (and a Mark of the Web beside a placed exe) would share them.
        user = self.drive_c / "users" / USER
        for link in user.iterdir() if user.is_dir() else []:
            if link.is_symlink():
                link.unlink()
                link.mkdir()

    def _start_vendor(self):
        tls_enabled = self.vendor_mode != "no-tls"
        self.vendor = vendor_standin.Vendor(self.evidence / "vendor", tls_enabled=tls_enabled, lifetime=1200,
                                            signer_key=test_signer_key(self.exe_source),
                                            other_key=os.environ.get("CORVANE_OTHER_SIGNER_KEY")).start()
        # Trusted with or without TLS: the root also stands behind the packages' signatures.
        ca = vendor_standin.windows_path(self.vendor.certificates["ca_der"])
        self.wine([str(self.helpers / "trust_root.exe"), ca])

    def __exit__(self, exc_type, exc, tb):
        self.save_evidence()
        if exc_type is not None:
            self._print_evidence()
        for proc in self.background:
            if proc.poll() is None:
                proc.kill()
        prefixes.stop_wineserver(self.prefix)
        if self.pages:
            self.pages.stop()
        if self.vendor:
            self.vendor.stop()
        if self.xvfb:
            self.xvfb.stop()
        if exc_type is None and not os.environ.get("CORVANE_KEEP_PREFIX"):
            shutil.rmtree(self.prefix, ignore_errors=True)
        return False

    def _set_windows_version(self, version):
        key = r"HKCU\Software\Wine"
        if version is None:  # Wine's own default: a Windows 7 workstation
            self.wine(["reg", "delete", key, "/v", "Version", "/f"])
        else:
            self.wine(["reg", "add", key, "/v", "Version", "/d", version, "/f"])

    # -- paths -----------------------------------------------------------------------
    @property
    def drive_c(self):
        return self.prefix / "drive_c"

    @property
    def temp_dir(self):
        return self.drive_c / "users" / USER / "Temp"

    def unix_path(self, windows_path):
        parts = PureWindowsPath(windows_path).parts
        if not parts or parts[0].upper() != "C:\\":
            raise ValueError(f"only C: paths map into the prefix: {windows_path}")
        return self.drive_c.joinpath(*parts[1:])

    def place_exe(self, file_name, folder=r"C:\users\{user}\Downloads", source=None):
        """Copies the program (or another file) into the prefix under file_name."""
        windows_folder = folder.format(user=USER)
        target = self.unix_path(windows_folder) / file_name
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copy2(source or self.exe_source, target)
        return f"{windows_folder}\\{file_name}"

    # -- running -----------------------------------------------------------------------
    def _env(self, extra=None):
        env = prefixes.wine_env(self.prefix, {"http_proxy": self.vendor.proxy if self.vendor else CLOSED_PROXY,
                                              **(extra or {})})
        if self.xvfb:
            env["DISPLAY"] = self.xvfb.display
        if self.pages:
            env["CORVANE_WV2FAKE_RELAY"] = self.pages.address
            env["CORVANE_WV2FAKE_TRANSCRIPT"] = vendor_standin.windows_path(self.transcript_path)
        return env

    def wine(self, args, timeout=120, env=None, check=True):
        """Runs a Wine tool or a program by Windows path; returns the completed process."""
        proc = subprocess.run([prefixes.WINE64, *args], env=self._env(env), timeout=timeout,
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        if check and proc.returncode != 0:
            raise RuntimeError(f"wine {' '.join(args)} failed ({proc.returncode}): {proc.stderr.decode(errors='replace')}")
        return proc

    def run(self, exe_windows_path, args="", timeout=180, env=None, emulated_32bit=False):
        """Runs the program with a raw command line and returns its full exit code."""
        return self.start(exe_windows_path, args, env).wait(timeout, emulated_32bit)

    def start(self, exe_windows_path, args="", env=None, name="run_exit"):
        """Starts the program with a raw command line in the background (killed at the end);
        its output goes to <name>.out and <name>.err in the evidence."""
        command_line = f'"{exe_windows_path}" {args}'.rstrip()
        extra = dict(env or {})
        extra["CORVANE_RUN_CMDLINE"] = command_line
        # Output goes to files, not pipes: programs the run starts (the launched app) inherit
        # Wine's Unix output handles and would hold a pipe open long after the run ended.
        out_path = self.evidence / f"{name}.out"
        with open(out_path, "wb") as out, open(self.evidence / f"{name}.err", "wb") as err:
            proc = subprocess.Popen([prefixes.WINE64, str(self.helpers / "run_exit.exe")], env=self._env(extra),
                                    stdout=out, stderr=err)
        self.background.append(proc)
        return Running(self, proc, command_line, out_path, time.monotonic())

    def start_helper(self, helper, args):
        """Starts a harness helper in the background (it is killed at the end)."""
        proc = subprocess.Popen([prefixes.WINE64, str(self.helpers / helper), *args], env=self._env(),
                                stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        self.background.append(proc)
        return proc

    def answer_dialog(self, caption, button_id=1, timeout_ms=120000, window_class=None, delay_ms=0):
        """Starts the dialog driver for a message box (or a window of another class, pressing
        its button delay_ms after it has recorded the window's text); returns (process, path of
        the text it will record)."""
        out = self.temp_dir / f"dialog-{len(self.background)}.txt"
        windows_out = f"C:\\users\\{USER}\\Temp\\{out.name}"
        extra = [window_class, str(delay_ms)] if window_class else []
        return self.start_helper("dialog_driver.exe", [caption, str(button_id), str(timeout_ms), windows_out, *extra]), out

    # -- evidence ------------------------------------------------------------------------
    def logs(self):
        """All of the program's log files in the temp folder, by file name."""
        if not self.temp_dir.is_dir():
            return {}
        # Decoded strictly: every log line must be valid UTF-8, and CR LF stays as written.
        return {p.name: p.read_bytes().decode("utf-8")
                for p in sorted(self.temp_dir.glob("Corvane.*.log"))}

    def log(self, stem):
        """Text of the dated log "<stem>-YYYYMMDD.log" ('' when there is none)."""
        found = [text for name, text in self.logs().items() if re.fullmatch(re.escape(stem) + r"-\d{8}\.log", name)]
        return found[0] if found else ""

    def reg_values(self, key, view=64):
        """Values of a registry key as {name: (type, data)}; {} when the key is absent. Under
        load Wine sometimes fails to start a tool at all: a query that failed for any other
        reason than an absent key is asked again, and one that keeps failing raises."""
        for _ in range(3):
            proc = self.wine(["reg", "query", key, f"/reg:{view}"], check=False)
            output = (proc.stdout + proc.stderr).decode("utf-8", errors="replace")
            if proc.returncode == 0 or "Unable to find the specified registry key" in output:
                break
            time.sleep(1)
        else:
            raise RuntimeError(f"reg query {key} failed ({proc.returncode}): {output}")
        if proc.returncode != 0:
            return {}
        values = {}
        for line in proc.stdout.decode("utf-8", errors="replace").splitlines():
            match = re.match(r"^    (.*?)    (REG_\w+)    ?(.*)$", line)
            if match:
                values[match.group(1)] = (match.group(2), match.group(3).rstrip("\r"))
        return values

    @property
    def transcript_path(self):
        return self.evidence / "webview2-transcript.jsonl"

    def transcript(self):
        """The WebView2 test double's record (pages=True): one dict per line, every process."""
        path = self.transcript_path
        return [json.loads(line) for line in path.read_text(encoding="utf-8").splitlines()] if path.exists() else []

    def screenshot(self, name):
        if not self.xvfb:
            raise RuntimeError("screenshot needs a display")
        path = self.evidence / f"{name}.png"
        self.xvfb.screenshot(path)
        return path

    def save_evidence(self):
        for name, text in self.logs().items():
            (self.evidence / name).write_bytes(text.encode("utf-8"))

    def _print_evidence(self):
        for name, text in self.logs().items():
            print(f"----- {name} -----\n{text}", file=sys.stderr)
        if self.pages:
            relay_log = self.pages.log_path.read_text(errors="replace")[-3000:]
            print(f"----- page relay (messages: {self.evidence / 'relay.jsonl'}) -----\n{relay_log}", file=sys.stderr)
            for line in self.transcript()[-30:]:
                print(json.dumps(line), file=sys.stderr)


def test_signer_key(exe):
    """The private key of the test signer the build of exe pins (cmake/publisher_pins.cmake), or
    None for a build that pins none. CORVANE_TEST_SIGNER_DIR names another folder (a release-style
    build's first pinned key); CORVANE_OTHER_SIGNER_KEY, the key of the stand-in's "other" publisher."""
    folder = Path(os.environ.get("CORVANE_TEST_SIGNER_DIR") or Path(exe).parent / "test-signer")
    key = folder / "publisher.key"
    return key if key.is_file() else None


def variant_exe(name):
    """Path of another build variant of the program: "no_loader" or "test_double"."""
    path = Path(os.environ.get(f"CORVANE_EXE_{name.upper()}", ""))
    if not path.is_file():
        raise RuntimeError(f"no {name} build of the program in this preset: {path}")
    return path


def win_tests_on_display(name, gtest_filter, expected_count, executable="win_tests.exe"):
    """Runs Windows-layer tests that need real windows (they skip without a display) in a fresh
    prefix with its own X server; they must all run and pass."""
    win_tests = Path(os.environ["CORVANE_EXE"]).parent / executable
    check(win_tests.is_file(), f"no Windows-layer tests beside the program: {win_tests}")
    with Scenario(name, display=True) as s:
        proc = s.wine([str(win_tests), f"--gtest_filter={gtest_filter}"], timeout=300, check=False)
        output = proc.stdout.decode(errors="replace")
        (s.evidence / "gtest.txt").write_text(output)
        check(proc.returncode == 0, f"{gtest_filter} failed:\n{output}")
        check("[  SKIPPED ]" not in output, f"{gtest_filter} skipped with a display:\n{output}")
        check(f"[  PASSED  ] {expected_count} tests." in output, f"expected {expected_count} tests to run:\n{output}")


class Skipped(Exception):
    """A scenario that cannot run on this machine; the reason is printed and CTest shows it skipped."""


class EmulatorBroke(Skipped):
    """The emulator, not the program, broke a 32-bit run (tests/harness/emulation.py)."""


def check(condition, message):
    """An assertion that survives python -O and reads well in scenario output."""
    if not condition:
        raise AssertionError(message)


def check_in(needle, haystack, what="log"):
    if needle not in haystack:
        raise AssertionError(f"expected in {what}: {needle!r}")

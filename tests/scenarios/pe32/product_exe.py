"""The shipped 32-bit CorvaneSetup.exe itself under Wine's WoW64, for what the twin cannot prove.
Where 32-bit code runs only through qemu's emulator (tests/harness/emulation.py) each process
takes about a minute, and the emulator breaks Wine's threads now and then."""
import re

import emulation
from scenario import EmulatorBroke, Scenario, Skipped, check, check_in
from scenario_main import main

EMULATED_RUN_SECONDS = 300
BREAKPOINT_EXIT = 0x80000003
NATIVE_RUN_SECONDS = 120


def run_emulated(s, exe, args, env=None, timeout=EMULATED_RUN_SECONDS):
    """Runs the shipped exe. Where the emulator broke the run or left it stuck, the scenario ends
    with EmulatorBroke: scenario_main runs it once more from a fresh prefix (a retry in place
    would meet what the first attempt already did: an installed product, a double's half-played
    script) and skips it when the emulator breaks that run too. Natively every outcome counts."""
    if not emulation.emulated():
        return s.run(exe, args, timeout=min(timeout, NATIVE_RUN_SECONDS), env=env)
    try:
        result = s.run(exe, args, timeout=timeout, env=env, emulated_32bit=True)
    except AssertionError as stuck:
        raise EmulatorBroke(f"the 32-bit process was stuck under the emulator: {stuck}")
    fault = emulation.emulator_fault((s.evidence / "run_exit.err").read_text(errors="replace"))
    if fault:
        raise EmulatorBroke("the emulator broke the run: " + fault)
    # A breakpoint the program never sets: a trap the emulator delivered to one of Wine's threads,
    # seen ending the process with no word on its error output.
    if result.exit_code == BREAKPOINT_EXIT:
        raise EmulatorBroke("the emulated process ended on a breakpoint (0x80000003)")
    return result


def run_or_skip_on_emulator_fault(s, exe, args, log_stem):
    """Runs the shipped exe once. Where 32-bit code is emulated and the emulator broke the run,
    the scenario is skipped with the fault and the log line the run stopped after; anywhere
    else every outcome counts."""
    if not emulation.emulated():
        return s.run(exe, args, timeout=NATIVE_RUN_SECONDS)
    stuck = None
    try:
        result = s.run(exe, args, timeout=EMULATED_RUN_SECONDS, env={"WINEDEBUG": "-all,err+seh"},
                       emulated_32bit=True)
    except AssertionError as error:
        stuck, result = error, None
    fault = emulation.emulator_fault((s.evidence / "run_exit.err").read_text(errors="replace"))
    if fault or stuck:
        # Seen here: emulated runs that print a fault, and runs that stop silently until their
        # time-out (some before their first log line) while the same run takes seconds natively
        # and in the twin.
        logs = sorted(s.temp_dir.glob(log_stem + "-*.log"))  # a killed process may have cut a line short
        lines = logs[0].read_text(errors="replace").splitlines() if logs else []
        raise Skipped(f"the emulator broke or stalled the 32-bit process ({fault or stuck}); its log stops "
                      f"after: {lines[-1] if lines else '(nothing)'}")
    return result


def scenario_runs_alone_and_sees_the_native_machine():
    with Scenario("pe32_installer") as s:
        exe = s.place_exe("CorvaneSetup.exe")
        result = run_emulated(s, exe, "/S")
        check(result.exit_code == 1, f"exit code {result.exit_code}; no vendor is reachable, so the download fails")
        log = s.log("Corvane.Installer")
        check_in("=== Corvane Installer 2.0.266.0 starting ===", log)
        # A 32-bit process on 64-bit Windows reports the native machine (manifest + IsWow64Process2).
        check(any(line.rstrip().endswith("(x64)") and "] OS: " in line for line in log.splitlines()),
              "the OS line names the native x64 machine")
        # The private working folder of a 32-bit process is under the real Windows folder too.
        check(re.search(r"Private working folder: C:\\windows\\Temp\\Corvane-[0-9a-f]{32}\\", log),
              "no private working folder under the Windows temp folder")
        check_in("Removed private working folder: C:\\windows\\Temp\\Corvane-", log)


def scenario_uninstaller_copy_writes_its_log():
    with Scenario("pe32_uninstaller") as s:
        exe = s.place_exe("CorvaneUninstall.exe")
        result = run_emulated(s, exe, "/S")
        check(result.exit_code == 0, f"exit code {result.exit_code}")
        check_in("=== Corvane Uninstaller 2.0.266.0 starting ===", s.log("Corvane.Uninstaller"))


if __name__ == "__main__":
    main(globals())

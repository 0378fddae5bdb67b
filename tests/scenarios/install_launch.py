"""The launch's focus check on real windows: the Windows-layer tests that need a display
run here, in a fresh prefix with its own X server, and must pass rather than skip."""
import os
from pathlib import Path

from scenario import Scenario, check
from scenario_main import main


def scenario_focus_with_display():
    win_tests = Path(os.environ["CORVANE_EXE"]).parent / "win_tests.exe"
    check(win_tests.is_file(), f"no Windows-layer tests beside the program: {win_tests}")
    with Scenario("install_launch_focus", display=True) as s:
        proc = s.wine([str(win_tests), "--gtest_filter=LaunchFocus.*"], timeout=300, check=False)
        output = proc.stdout.decode(errors="replace")
        (s.evidence / "gtest.txt").write_text(output)
        check(proc.returncode == 0, f"focus tests failed:\n{output}")
        check("[  SKIPPED ]" not in output, f"focus tests skipped with a display:\n{output}")
        check("[  PASSED  ] 2 tests." in output, f"expected both focus tests to run:\n{output}")


if __name__ == "__main__":
    main(globals())

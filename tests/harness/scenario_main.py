"""`python3 <scenario file> <name>` runs scenario_<name>() of that file."""
import sys
import traceback

import scenario
from scenario import EmulatorBroke, Skipped

SKIP_EXIT_CODE = 77  # the scenarios' SKIP_RETURN_CODE in CMake


def run_retrying_emulator_breaks(run):
    """A run the emulator broke (tests/harness/emulation.py) gets one more whole attempt from a
    fresh prefix, the first attempt's evidence kept beside; a second break skips the scenario."""
    try:
        run()
    except EmulatorBroke as broke:
        print(f"retrying the whole scenario once: {broke}", flush=True)
        scenario.keep_previous_evidence = True
        run()


def main(namespace):
    if len(sys.argv) != 2 or f"scenario_{sys.argv[1]}" not in namespace:
        names = sorted(n[len("scenario_"):] for n in namespace if n.startswith("scenario_"))
        sys.exit(f"usage: {sys.argv[0]} one of {', '.join(names)}")
    try:
        run_retrying_emulator_breaks(namespace[f"scenario_{sys.argv[1]}"])
    except Skipped as reason:
        print(f"scenario {sys.argv[1]}: skipped: {reason}")
        sys.exit(SKIP_EXIT_CODE)
    except Exception:  # the scenario's own message and the evidence are what a reader needs
        traceback.print_exc()
        sys.exit(1)
    print(f"scenario {sys.argv[1]}: passed")

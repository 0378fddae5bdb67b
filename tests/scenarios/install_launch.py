"""The launch's focus check on real windows: the Windows-layer tests that need a display
run here, in a fresh prefix with its own X server, and must pass rather than skip."""
from scenario import win_tests_on_display
from scenario_main import main


def scenario_focus_with_display():
    win_tests_on_display("install_launch_focus", "LaunchFocus.*", 2)


if __name__ == "__main__":
    main(globals())

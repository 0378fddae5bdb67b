"""The consent screens' Windows-layer tests that need real windows (the explanation after a
declined UAC prompt, the native window's buttons) run here, in a fresh prefix with its own X
server, and must pass rather than skip."""
from scenario import win_tests_on_display
from scenario_main import main


def scenario_declined_prompt_on_both_screens():
    win_tests_on_display("consent_on_display", "ConsentScreen.ADeclinedPrompt*:ConsentWindow.*", 2,
                         executable="consent_win_tests.exe")


if __name__ == "__main__":
    main(globals())

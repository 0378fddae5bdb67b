"""The WebView2 test double's own tests drive it on a real host window, so they run here, in a
fresh prefix with its own X server, and must pass rather than skip: the double is proven
before any scenario of the program relies on it."""
from scenario import win_tests_on_display
from scenario_main import main


def scenario_double_plays_a_page_on_a_real_window():
    win_tests_on_display("webview2_double", "WebView2Fake.*", 2)


if __name__ == "__main__":
    main(globals())

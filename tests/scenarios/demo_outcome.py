"""The demo (scripts/demo.sh runs tests/harness/demo.py) judges what it shows: a good install
and removal pass, and a removal that leaves the product behind ends the demo with exit code 1
and a short message naming the log, never with a traceback."""
import re
import subprocess
import sys
from pathlib import Path

from scenario import check, check_in
from scenario_main import main

DEMO = Path(__file__).resolve().parents[1] / "harness" / "demo.py"


def run_demo(*args):
    proc = subprocess.run([sys.executable, str(DEMO), "--twin", "--prebuilt", *args], stdout=subprocess.PIPE,
                          stderr=subprocess.STDOUT, timeout=600)
    output = proc.stdout.decode(errors="replace")
    check("Traceback" not in output, f"the demo printed a traceback:\n{output}")
    return proc.returncode, output


def scenario_demo_passes_when_the_product_comes_and_goes():
    code, output = run_demo()
    check(code == 0, f"demo exit code {code}:\n{output}")
    check_in("demo: installed: files in place", output, "demo output")
    check_in("demo: removed: install folder, Add/Remove Programs entry and Windows Installer package are gone",
             output, "demo output")
    check_in("demo: interactive run passed: consent, install, consent (uninstall), uninstall", output, "demo output")
    shots = re.findall(r"demo: screenshot of (\S+) \(process \d+\): (\S+\.png)", output)
    check([page for page, _ in shots] == ["consent.html", "index.html", "consent.html", "uninstall.html"],
          f"screenshots {shots}")
    check(all(Path(path).is_file() for _, path in shots), f"a printed screenshot is missing: {shots}")


def scenario_demo_fails_when_the_removal_is_refused():
    code, output = run_demo("--variant", "fails_uninstall")
    check(code == 1, f"demo exit code {code}:\n{output}")
    check_in("demo: FAILED: the uninstall did not do its job: Windows Installer still has the package installed; "
             "the product key still has ProductVersion.", output, "demo output")
    check(re.search(r"Its log: \S+Corvane\.Uninstaller-\d{8}\.log", output), "the message does not name the log")
    check("demo: passed" not in output, "a refused removal was shown as a pass")


if __name__ == "__main__":
    main(globals())

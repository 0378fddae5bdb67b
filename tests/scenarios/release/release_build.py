"""The release-style build (tests/release/release_tree.py: test signer off, two publisher keys
pinned, a loader embedded) installs what its first pinned publisher signed and refuses what the
test signer signed: the test builds trust that signer, a release does not."""
import re
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1]))
sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "pe32"))
from package_trust import REFUSED  # noqa: E402
from product_exe import run_or_skip_on_emulator_fault  # noqa: E402
from product_state import assert_installed  # noqa: E402
from scenario import Scenario, check, check_in  # noqa: E402
from scenario_main import main  # noqa: E402
from test_product import product_code, product_msi  # noqa: E402


def scenario_first_pinned_publisher_installs_and_test_signer_is_refused():
    # The ZIP on the first host is signed by the test signer ("other" here); the bare MSI after
    # it by the release's first pinned key.
    with Scenario("release_build_pins", vendor=True) as s:
        s.vendor.update(session={"match": "none"})
        package = product_msi("ok", latest=True)
        s.vendor.add_file(package.with_suffix(".zip").name, package.with_suffix(".zip"), signer="other")
        s.vendor.add_file(package.name, package)
        result = run_or_skip_on_emulator_fault(s, s.place_exe("CorvaneSetup.exe"), "/S", "Corvane.Installer")
        log = s.log("Corvane.Installer")
        refusals = re.findall(re.escape(REFUSED) + r"(.*)", log)
        check(len(refusals) == 1 and "is not a pinned publisher" in refusals[0], f"refusals: {refusals}")
        check(result.exit_code == 0, f"exit code {result.exit_code}")
        check_in("msiexec exit code: 0", log)
        assert_installed(s, product_code("ok"))


if __name__ == "__main__":
    main(globals())

"""The package is verified before it runs: what arrives from the download hosts (half of the
URLs plain HTTP) goes to msiexec only when its signature verifies, its signer is a pinned
publisher, and it is this product (its UpgradeCode) no older than the build's floor; from a
package ZIP only that MSI is ever written. A refused package is deleted and the walk goes on
as after a failed download.
Under Wine only the missing signature and the pin can be shown: Wine checks neither the chain's
trust nor an MSI's content hash (Windows does)."""
import io
import re
import zipfile

from product_state import assert_installed, assert_removed
from scenario import Scenario, check, check_in
from scenario_main import main
from test_product import product_code, product_msi

REFUSED = "Package signature not trusted: "


def package_requests(s):
    """(scheme, method) of every request for a package: CONNECTs for HTTPS, GETs for HTTP."""
    return [(r["scheme"], r["method"]) for r in s.vendor.requests() if "update-dl." in r["host"]]


def check_refused_everywhere(s, result, reason, refusals):
    log = s.log("Corvane.Installer")
    check(result.exit_code == 1, f"exit code {result.exit_code}")
    found = re.findall(re.escape(REFUSED) + r"(.*)", log)
    check(len(found) == refusals and all(reason in f for f in found), f"refusals: {found}")
    check("msiexec.exe /i" not in log and "Running msiexec" not in log, "msiexec was started")
    assert_removed(s, product_code("ok"))
    check(not list(s.temp_dir.glob("Corvane-Installer-*")), f"refused packages left: {list(s.temp_dir.iterdir())}")
    fail = [r for r in s.vendor.stats() if '"event":"corvane.installer.fail"' in r["body"]]
    check(len(fail) == 1 and '"error_category":"download_failed"' in fail[0]["body"], f"fail events: {fail}")
    check_in("Failed to download installer after all attempts", fail[0]["body"], "fail event")


def scenario_unsigned_package_over_plain_http_is_refused_at_every_url():
    with Scenario("trust_unsigned_http", vendor="no-tls") as s:
        for suffix in (".zip", ".msi"):
            package = product_msi("ok", latest=True).with_suffix(suffix)
            s.vendor.add_file(package.name, package, signer=None)
        result = s.run(s.place_exe("CorvaneSetup.exe"), "/S", timeout=900)
        got = package_requests(s)
        check(got.count(("https", "CONNECT")) == 6 and got.count(("http", "GET")) == 6, f"package requests: {got}")
        check_refused_everywhere(s, result, "no signature (0x800b0100)", refusals=6)


def scenario_package_of_another_publisher_is_refused():
    with Scenario("trust_other_publisher", vendor=True) as s:
        package = product_msi("ok", latest=True)
        s.vendor.add_file(package.name, package, signer="other")
        s.vendor.fault("status", path="/*.zip", status=404)
        result = s.run(s.place_exe("CorvaneSetup.exe"), "/S", timeout=900)
        check_refused_everywhere(s, result, "is not a pinned publisher", refusals=6)


def scenario_pinned_publisher_installs_after_a_refused_one():
    # The ZIP holds another publisher's MSI (what is verified is the MSI msiexec would run);
    # the bare MSI on the same host is the vendor's own.
    with Scenario("trust_pinned_after_refused", vendor=True) as s:
        package = product_msi("ok", latest=True)
        s.vendor.add_file(package.with_suffix(".zip").name, package.with_suffix(".zip"), signer="other")
        s.vendor.add_file(package.name, package)
        result = s.run(s.place_exe("CorvaneSetup.exe"), "/S", timeout=900)
        log = s.log("Corvane.Installer")
        check(result.exit_code == 0, f"exit code {result.exit_code}")
        refusals = re.findall(re.escape(REFUSED) + r"(.*)", log)
        check(len(refusals) == 1 and "is not a pinned publisher" in refusals[0], f"refusals: {refusals}")
        gets = [(r["scheme"], r["host"], r["path"]) for r in s.vendor.requests()
                if "update-dl." in r["host"] and r["method"] == "GET"]
        check(gets == [("https", "update-dl.corvane.com", "/" + package.with_suffix(".zip").name),
                       ("https", "update-dl.corvane.com", "/" + package.name)], f"downloads: {gets}")
        check(not list(s.temp_dir.glob("*.zip")), "the refused ZIP was left behind")
        check_in("msiexec exit code: 0", log)
        assert_installed(s, product_code("ok"))


def scenario_package_zip_gives_msiexec_its_msi_alone():
    # A cabinet beside the MSI would be read by msiexec from the MSI's folder, and a page script
    # in the private folder would be loaded by the screens: neither may be written anywhere.
    with Scenario("trust_zip_msi_alone", vendor=True) as s:
        package = product_msi("ok", latest=True)
        extras = {"Data1.cab": b"MSCF planted cabinet 5d1f", "CorvaneInstaller-1234\\ui\\common.js": b"/* planted 5d1f */"}
        archive = io.BytesIO()
        with zipfile.ZipFile(archive, "w", zipfile.ZIP_DEFLATED) as z:
            z.writestr(package.name, package.read_bytes())
            for name, data in extras.items():
                z.writestr(name, data)
        s.vendor.add_file(package.with_suffix(".zip").name, archive.getvalue())
        result = s.run(s.place_exe("CorvaneSetup.exe"), "/S", timeout=900)
        log = s.log("Corvane.Installer")
        check(result.exit_code == 0, f"exit code {result.exit_code}")
        check_in('Package ZIP: 2 entries left out: "Data1.cab", "CorvaneInstaller-1234\\ui\\common.js"', log)
        check_in("msiexec exit code: 0", log)
        assert_installed(s, product_code("ok"))
        drive = s.unix_path("C:\\")
        written = [p for p in drive.rglob("*") if p.name in ("Data1.cab", "common.js") and p.is_file()
                   and p.read_bytes() in extras.values()]
        check(not written, f"left-out entries written: {written}")


def scenario_another_product_and_an_older_release_are_refused_at_every_url():
    # Both signed by the pinned publisher, served over HTTPS (HTTP answers 404 to keep it short):
    # the ZIP holds another of its products, the bare MSI an older release.
    with Scenario("trust_identity", vendor=True) as s:
        zipped = product_msi("other_product", latest=True).with_suffix(".zip")
        old = product_msi("old", latest=True)
        s.vendor.add_file(zipped.name, zipped)
        s.vendor.add_file(old.name, old)
        s.vendor.fault("status", scheme="http", host="*update-dl.*", status=404)
        result = s.run(s.place_exe("CorvaneSetup.exe"), "/S", timeout=900)
        log = s.log("Corvane.Installer")
        check(result.exit_code == 1, f"exit code {result.exit_code}")
        refusals = re.findall(r"Package refused: (.*)", log)
        other = "UpgradeCode {3C1E5A7B-2D4F-4E6A-8B9C-0D1E2F3A4B5C} is not this product's"
        older = "ProductVersion 1.9.0.0 is below this build's minimum 2.0"
        check(len(refusals) == 6 and all(other in r for r in refusals[0::2]) and all(older in r for r in refusals[1::2]),
              f"refusals: {refusals}")
        gets = [r["path"] for r in s.vendor.requests()
                if "update-dl." in r["host"] and r["method"] == "GET" and r["scheme"] == "https"]
        check(gets == ["/" + zipped.name, "/" + old.name] * 3, f"downloads: {gets}")
        check("Running msiexec" not in log, "msiexec was started")
        assert_removed(s, product_code("ok"))


if __name__ == "__main__":
    main(globals())

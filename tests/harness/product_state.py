"""What "the product is installed" and "the product is removed" mean on a scenario's machine,
stated once for every scenario and the demo.

    assert_installed(s, code)                  # after the setup program's install
    assert_installed(s, code, by_setup=False)  # after msiexec alone: no entry of the program's own
    assert_removed(s, code)                    # after an uninstall, or when nothing was installed

code is the test package's product code (its Windows Installer record and its own uninstall
entry); install_gaps and removal_leftovers return the same findings as texts, for a caller that
reports them itself (the demo).
"""
from scenario import check

INSTALL_DIR = r"C:\Program Files\Corvane Labs\Corvane"
UNINSTALLER = INSTALL_DIR + r"\CorvaneUninstall.exe"
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"
OWN_ENTRY_KEY = UNINSTALL_KEY + r"\Corvane"
APP_PATHS_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths\Corvane.exe"
RUN_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Run"
PRODUCT_KEY = r"HKLM\Software\CorvaneLabs\Corvane"
SERVICE_KEY = r"HKLM\System\CurrentControlSet\Services\Corvane.Service"
PACKAGE_FILES = ("Corvane.exe", "Corvane.Service.exe")


def installer_registration_key(code):
    """Windows Installer's own record of a product: the key named by its packed product code."""
    hex_digits = code.strip("{}").replace("-", "")
    packed = hex_digits[7::-1] + hex_digits[11:7:-1] + hex_digits[15:11:-1]
    packed += "".join(hex_digits[i + 1] + hex_digits[i] for i in range(16, 32, 2))
    return r"HKLM\Software\Classes\Installer\Products" + "\\" + packed


def install_gaps(s, code, by_setup=True):
    """What is missing of an installed product (empty when it is installed): the package's files,
    service, product key and records, and with by_setup the program's own uninstaller, its
    Add/Remove Programs entry and the App Paths key."""
    folder = s.unix_path(INSTALL_DIR)
    names = PACKAGE_FILES + (("CorvaneUninstall.exe",) if by_setup else ())
    gaps = [f"{name} is not in {INSTALL_DIR}" for name in names if not (folder / name).is_file()]
    if not s.reg_values(installer_registration_key(code)):
        gaps.append("Windows Installer has no record of the package")
    if s.reg_values(f"{UNINSTALL_KEY}\\{code}").get("DisplayName") != ("REG_SZ", "Corvane"):
        gaps.append("the package has no uninstall entry")
    if not s.reg_values(SERVICE_KEY).get("ImagePath", ("", ""))[1].endswith(r"Corvane Labs\Corvane\Corvane.Service.exe"):
        gaps.append("the service is not registered to the installed program")
    if "ProductVersion" not in s.reg_values(PRODUCT_KEY):
        gaps.append("the product key has no ProductVersion")
    if by_setup:
        entry = s.reg_values(OWN_ENTRY_KEY)
        if "DisplayName" not in entry:
            gaps.append("no Add/Remove Programs entry")
        elif entry.get("UninstallString", (None, None))[1] != f'"{UNINSTALLER}"':
            gaps.append(f"the Add/Remove Programs entry does not run {UNINSTALLER}: {entry.get('UninstallString')}")
        if not s.reg_values(APP_PATHS_KEY):
            gaps.append("no App Paths key")
    return gaps


def removal_leftovers(s, code):
    """What is left of the product (empty when nothing of it is on the machine)."""
    checks = [
        (s.unix_path(INSTALL_DIR).exists(), f"{INSTALL_DIR} is still there"),
        (s.reg_values(OWN_ENTRY_KEY), "the Add/Remove Programs entry is still there"),
        (s.reg_values(installer_registration_key(code)), "Windows Installer still has the package installed"),
        (s.reg_values(f"{UNINSTALL_KEY}\\{code}"), "the package's uninstall entry is still there"),
        (s.reg_values(SERVICE_KEY), "the service is still registered"),
        (s.reg_values(APP_PATHS_KEY), "the App Paths key is still there"),
        ("Corvane" in s.reg_values(RUN_KEY), "the Run value is still there"),
        ("ProductVersion" in s.reg_values(PRODUCT_KEY), "the product key still has ProductVersion"),
    ]
    return [text for left, text in checks if left]


def assert_installed(s, code, by_setup=True):
    gaps = install_gaps(s, code, by_setup)
    check(not gaps, "the product is not installed: " + "; ".join(gaps))


def assert_removed(s, code):
    left = removal_leftovers(s, code)
    check(not left, "the product is not removed: " + "; ".join(left))

"""The install state under Wine: machine identity written once, the tag block of a signed and
stamped executable, development builds by file name, the internal-machine switch, the OS line."""
import re
import tempfile
from pathlib import Path

from scenario import Scenario, check, check_in
from scenario_main import main
from signed_exe import shift_tag, signed_and_stamped

PRODUCT_KEY = r"HKLM\Software\CorvaneLabs\Corvane"
GUID = re.compile(r"^[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}$")


def message_lines(log):
    """The message part of every log line."""
    return [line.split("] ", 2)[-1] for line in log.splitlines()]


def scenario_machine_identity_is_written_once():
    with Scenario("machine_identity_once") as s:
        exe = s.place_exe("CorvaneSetup.exe")
        s.run(exe, "/S", timeout=180)
        first = s.reg_values(PRODUCT_KEY)
        check("MachineId" in first and "MachineDate" in first, f"identity not written: {first}")
        check(GUID.match(first["MachineId"][1]), f"MachineId {first['MachineId']}")
        check(first["MachineId"][0] == "REG_SZ", "MachineId is a string")
        check(re.fullmatch(r"20\d{6}", first["MachineDate"][1]), f"MachineDate {first['MachineDate']}")

        # A second run keeps them, and an empty value left by someone else is filled once.
        s.wine(["reg", "add", PRODUCT_KEY, "/v", "MachineDate", "/d", "", "/f", "/reg:64"])
        s.run(exe, "/S", timeout=180)
        second = s.reg_values(PRODUCT_KEY)
        check(second["MachineId"] == first["MachineId"], f"MachineId replaced: {second['MachineId']}")
        check(re.fullmatch(r"20\d{6}", second["MachineDate"][1]), f"empty MachineDate not filled: {second}")
        check(not s.reg_values(PRODUCT_KEY, view=32).get("MachineId"), "identity leaked into the 32-bit view")
        check("ShowEngagement" not in second, "a production build enabled the dev features")

        log = s.log("Corvane.Installer")
        os_lines = [m for m in message_lines(log) if m.startswith("OS: ")]
        check(os_lines, "no OS line")
        check(re.fullmatch(r"OS: Windows 10 \S.* \(x64\)", os_lines[-1]), f"OS line {os_lines[-1]!r}")
        check_in("is_internal=false", log)


def scenario_tag_block_names_version_and_channel():
    with Scenario("tag_block") as s, tempfile.TemporaryDirectory() as work:
        stamped = Path(work) / "CorvaneSetup.exe"
        signed_and_stamped(s.exe_source, stamped, '{"app_version":"2.0.266","host_prefix":"local-","utm_source":"x"}')
        exe = s.place_exe("CorvaneSetup.exe", source=stamped)
        s.run(exe, "/S", timeout=180)
        log = s.log("Corvane.Installer")
        check_in("Version: 2.0.266.0, HostPrefix: dev-", log)
        check_in("ShowEngagement=1 (is_dev_build=0, host_prefix=dev-)", log)



def scenario_misplaced_tag_is_ignored():
    # The same tag one alignment step past the signature is not a tag: production, latest version.
    with Scenario("misplaced_tag") as s, tempfile.TemporaryDirectory() as work:
        stamped = Path(work) / "CorvaneSetup.exe"
        signed_and_stamped(s.exe_source, stamped, '{"app_version":"2.0.266","host_prefix":"stage-"}')
        stamped.write_bytes(shift_tag(stamped.read_bytes(), 8))
        exe = s.place_exe("CorvaneSetup.exe", source=stamped)
        s.run(exe, "/S", timeout=180)
        check("Version: (latest), HostPrefix: " in message_lines(s.log("Corvane.Installer")),
              "the misplaced tag was read")


def scenario_dev_build_name_enables_dev_features():
    with Scenario("dev_build_name") as s:
        exe = s.place_exe("CorvaneSetup-dev.exe")
        s.run(exe, "/S", timeout=180)
        values = s.reg_values(PRODUCT_KEY)
        check(values.get("ShowEngagement") == ("REG_DWORD", "0x1"), f"ShowEngagement {values.get('ShowEngagement')}")
        check(values.get("ShowSettingsPowerButton") == ("REG_DWORD", "0x1"),
              f"ShowSettingsPowerButton {values.get('ShowSettingsPowerButton')}")
        log = s.log("Corvane.Installer")
        check_in("Version: (latest), HostPrefix: dev-", log)
        check_in("ShowSettingsPowerButton=1 (is_dev_build=0, host_prefix=dev-)", log)


def scenario_internal_variable_overrides_registry():
    with Scenario("internal_flag") as s:
        s.wine(["reg", "add", r"HKLM\Software\CorvaneLabs\Telemetry", "/v", "IsInternal", "/t", "REG_DWORD",
                "/d", "1", "/f", "/reg:64"])
        exe = s.place_exe("CorvaneSetup.exe")
        s.run(exe, "/S", timeout=180, env={"CORVANE_INTERNAL": "0"})
        check_in("is_internal=false", s.log("Corvane.Installer"))
        s.run(exe, "/S", timeout=180)
        lines = [m for m in message_lines(s.log("Corvane.Installer")) if m.startswith("is_internal=")]
        check(lines[-1] == "is_internal=true", f"without the variable the registry decides: {lines}")


if __name__ == "__main__":
    main(globals())

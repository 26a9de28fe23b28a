"""korvel --remote-bind <this machine's multicast address> announced by DNS-SD, through the
system's avahi-daemon or a private one (and a private D-Bus system bus) when it is root; skipped,
saying why, when it cannot. Needs KORVEL_PROGRAM (the built korvel); lxi-tools when installed."""

import os
import pathlib
import re
import shutil
import socket
import subprocess
import tempfile
import unittest

from program_output import read_until, within

TXT = '"Manufacturer=MORLIDEX" "Model=KORVEL" "SerialNumber=1042" "FirmwareVersion=1.4.0"'
daemons, environment = [], dict(os.environ, QT_QPA_PLATFORM="offscreen")


def skip(why):
    stop_daemons()  # tearDownModule is not run when setUpModule fails
    raise unittest.SkipTest(f"{why}: DNS-SD not tested")


def browse():  # avahi-browse's resolved KORVEL services: {name: (port, txt)}, None: no daemon
    out = subprocess.run(["avahi-browse", "-rpt", "_scpi-raw._tcp"], env=environment, capture_output=True,
                         text=True, timeout=60)
    return {f[3].replace("\\032", " "): (int(f[8]), f[9]) for f in
            (line.split(";") for line in out.stdout.splitlines()) if f[0] == "=" and
            f[3].startswith("KORVEL")} if out.returncode == 0 else None


def setUpModule():
    global folder, address
    folder = tempfile.TemporaryDirectory()  # removed at exit
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as probe:
        try:
            probe.connect(("224.0.0.251", 5353))  # mDNS: the address multicast leaves from
            address = probe.getsockname()[0]
        except OSError as e:
            skip(f"no IPv4 route for multicast ({e})")
    if address.startswith("127.") or not shutil.which("avahi-browse"):
        skip("no multicast interface besides loopback, or no avahi-browse (avahi-utils)")
    if browse() is not None:
        return
    if os.geteuid() != 0 or not shutil.which("avahi-daemon") or not shutil.which("dbus-daemon"):
        skip("no avahi-daemon, and no private one can be started (needs root, dbus, avahi-daemon)")
    bus, config = os.path.join(folder.name, "bus"), os.path.join(folder.name, "bus.conf")
    rules = "".join(f'<allow {way}_type="{kind}"/>' for way in ("send", "receive")
                    for kind in ("method_call", "signal", "method_return", "error"))
    pathlib.Path(config).write_text(
        f"<busconfig><type>system</type><listen>unix:path={bus}</listen><auth>EXTERNAL</auth>"
        f'<policy context="default"><allow own="*"/>{rules}</policy></busconfig>')
    avahi = pathlib.Path(folder.name, "avahi.conf")
    avahi.write_text("[server]\nuse-ipv6=no\n[wide-area]\nenable-wide-area=no\n")
    environment["DBUS_SYSTEM_BUS_ADDRESS"] = f"unix:path={bus}"
    os.makedirs("/run/avahi-daemon", exist_ok=True)
    log = open(os.path.join(folder.name, "avahi.log"), "w+")
    daemons.append(subprocess.Popen(["dbus-daemon", "--nofork", "--config-file", config],
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
    # avahi-daemon gives up at once when the bus is not there yet.
    within(60, lambda: daemons[-1].poll() is not None or os.path.exists(bus))
    daemons.append(subprocess.Popen(
        ["avahi-daemon", "-f", avahi, "--no-drop-root", "--no-chroot", "--no-rlimits"],
        env=environment, stdout=log, stderr=subprocess.STDOUT))
    within(60, lambda: daemons[-1].poll() is not None or browse() is not None)
    if browse() is None:
        skip(f"a private avahi-daemon did not start: {open(log.name).read()[-300:]}")


def stop_daemons():
    while daemons:
        daemons[-1].terminate()
        daemons.pop().wait()


tearDownModule = stop_daemons


class DnsSdTest(unittest.TestCase):
    def start(self, *options, until):
        """The program on the simulated unit (serial 1042), and what it said up to `until`."""
        cwd = tempfile.mkdtemp(dir=folder.name)
        program = subprocess.Popen(
            [os.environ["KORVEL_PROGRAM"], "--simulate", "--remote", "0", "--remote-bind",
             address, *options], cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
            text=True, env=dict(environment, KORVEL_SIM_STATE=os.path.join(cwd, "unit.json")))
        self.addCleanup(program.stderr.close)
        self.addCleanup(program.wait, 60)
        self.addCleanup(program.terminate)
        found, said = read_until(program, re.escape(until), 60)
        if found is None:
            self.fail(f"korvel did not say {until!r}:\n{said}")
        return program, said, int(re.search(r"listening on [0-9.]+:(\d+)", said)[1])

    def test_announced_found_by_lxi_and_withdrawn_at_exit_unless_told_not_to(self):
        # Answering before the other starts: had it announced, the other would be "... #2".
        _, _, quiet_port = self.start("--no-announce", until="(SCPI) listening")
        with socket.create_connection((address, quiet_port), timeout=60) as s:
            s.sendall(b"*IDN?\n")
            self.assertEqual(s.makefile().readline(), "MORLIDEX,KORVEL,1042,1.4.0\n")
        program, _, port = self.start(until="DNS-SD")
        self.assertEqual(browse(), {"KORVEL 1042": (port, TXT)})
        if shutil.which("lxi"):
            found = subprocess.run(["lxi", "discover", "--mdns", "-t", "2"], env=environment,
                                   capture_output=True, text=True, timeout=60).stdout
            self.assertIn(f'Found "KORVEL 1042" on address {address}\n'
                          f"    scpi-raw service on port {port}", found)
        program.terminate()
        program.wait(60)
        within(10, lambda: browse() == {})
        self.assertEqual(browse(), {})  # withdrawn

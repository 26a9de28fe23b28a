"""korvel --simulate --remote 0 --remote-bind <this machine's address> announced by DNS-SD.

The test runs its own D-Bus system bus and avahi-daemon (unless avahi-daemon already answers on
the system bus): they need root, Debian's dbus, avahi-daemon and avahi-utils, and a network
interface that is up and multicast-capable with an IPv4 address. When one is missing the test is
skipped, saying which. Needs KORVEL_PROGRAM (the built korvel); lxi (lxi-tools) is used when
installed.
"""

import fcntl
import os
import re
import select
import shutil
import signal
import socket
import struct
import subprocess
import tempfile
import time
import unittest

STARTUP_SECONDS = 60
daemons = []
environment = dict(os.environ, QT_QPA_PLATFORM="offscreen")


def multicast_address():
    """An IPv4 address of an interface that is up, not loopback and multicast-capable."""
    probe = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    for _, name in socket.if_nameindex():
        try:
            with open(f"/sys/class/net/{name}/flags") as f:
                flags = int(f.read(), 16)
            request = struct.pack("256s", name.encode()[:15])
            address = socket.inet_ntoa(fcntl.ioctl(probe.fileno(), 0x8915, request)[20:24])
        except OSError:
            continue
        if flags & 0x1 and flags & 0x1000 and not flags & 0x8:  # IFF_UP, IFF_MULTICAST, LOOPBACK
            return name, address
    return None, None


def avahi_answers():
    return subprocess.run(["avahi-browse", "-pt", "_scpi-raw._tcp"], env=environment,
                          capture_output=True, timeout=30).returncode == 0


def skip(why):
    stop_daemons()  # tearDownModule is not run when setUpModule fails
    raise unittest.SkipTest(f"{why}: DNS-SD not tested")


def start_daemons(interface, folder):
    """A D-Bus system bus on a socket of the test's own, and avahi-daemon on it."""
    bus = os.path.join(folder, "bus")
    with open(os.path.join(folder, "bus.conf"), "w") as f:
        f.write(f"""<busconfig><type>system</type><listen>unix:path={bus}</listen>
  <auth>EXTERNAL</auth><policy context="default"><allow user="*"/><allow own="*"/>
  <allow send_type="method_call"/><allow send_type="signal"/><allow send_type="method_return"/>
  <allow send_type="error"/><allow receive_type="method_call"/><allow receive_type="signal"/>
  <allow receive_type="method_return"/><allow receive_type="error"/></policy></busconfig>""")
    with open(os.path.join(folder, "avahi.conf"), "w") as f:
        f.write(f"[server]\nuse-ipv4=yes\nuse-ipv6=no\nallow-interfaces={interface}\n"
                "enable-dbus=yes\n[wide-area]\nenable-wide-area=no\n[publish]\n"
                "publish-hinfo=no\npublish-workstation=no\n")
    environment["DBUS_SYSTEM_BUS_ADDRESS"] = f"unix:path={bus}"
    daemons.append(subprocess.Popen(["dbus-daemon", "--nofork", "--config-file",
                                     os.path.join(folder, "bus.conf")],
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
    os.makedirs("/run/avahi-daemon", exist_ok=True)
    log = os.path.join(folder, "avahi.log")
    with open(log, "w") as out:
        daemons.append(subprocess.Popen(
            ["avahi-daemon", "-f", os.path.join(folder, "avahi.conf"), "--no-drop-root",
             "--no-chroot", "--no-rlimits", "--no-proc-title"], env=environment, stdout=out,
            stderr=subprocess.STDOUT))
    deadline = time.monotonic() + STARTUP_SECONDS
    while not avahi_answers():
        if daemons[-1].poll() is not None or time.monotonic() > deadline:
            with open(log) as f:
                skip(f"a private avahi-daemon did not start ({f.read().strip()[-300:]})")
        time.sleep(0.1)


def wait_for_line(stream, pattern):
    """What `stream` said up to the first line matching `pattern` (or its end, or a minute)."""
    deadline, seen = time.monotonic() + STARTUP_SECONDS, ""
    while time.monotonic() < deadline:
        if not select.select([stream], [], [], 1.0)[0]:
            continue
        line = stream.readline()
        seen += line
        if not line or re.search(pattern, line):
            break
    return seen


def setUpModule():
    global folder
    folder = tempfile.TemporaryDirectory()
    interface, address = multicast_address()
    if address is None:
        skip("no interface is up and multicast-capable with an IPv4 address")
    setUpModule.address = address
    if shutil.which("avahi-browse") is None:
        skip("no avahi-browse (Debian: avahi-utils)")
    if avahi_answers():
        return
    if os.geteuid() != 0 or not shutil.which("avahi-daemon") or not shutil.which("dbus-daemon"):
        skip("avahi-daemon does not run, and no private one can be started (needs root, dbus "
             "and avahi-daemon)")
    start_daemons(interface, folder.name)


def stop_daemons():
    while daemons:
        daemon = daemons.pop()
        daemon.terminate()
        daemon.wait()


def tearDownModule():
    stop_daemons()
    folder.cleanup()


class DnsSdTest(unittest.TestCase):
    def start(self, *options):
        """The program on the simulated unit (serial 1042) and what it said up to `until`."""
        directory = tempfile.mkdtemp(dir=folder.name)
        program = subprocess.Popen(
            [os.environ["KORVEL_PROGRAM"], "--simulate", "--remote", "0", "--remote-bind",
             setUpModule.address, *options], cwd=directory, stdout=subprocess.DEVNULL,
            stderr=subprocess.PIPE, text=True,
            env=dict(environment, KORVEL_SIM_STATE=os.path.join(directory, "unit.json")))
        self.addCleanup(self.end, program)
        return program

    def end(self, program):
        if program.poll() is None:
            program.send_signal(signal.SIGTERM)
        program.wait(timeout=60)
        program.stderr.close()

    def browse(self):
        """avahi-browse's resolved _scpi-raw._tcp and _vxi-11._tcp: {(name, type): (port, txt)}"""
        found = {}
        for kind in ("_scpi-raw._tcp", "_vxi-11._tcp"):
            out = subprocess.run(["avahi-browse", "-rpt", kind], env=environment,
                                 capture_output=True, text=True, timeout=60).stdout
            for line in out.splitlines():
                f = line.split(";")
                if f[0] == "=" and f[3].startswith("KORVEL"):
                    found[(f[3].replace("\\032", " ").replace("\\035", "#"), kind)] = (
                        int(f[8]), f[9])
        return found

    def test_announced_with_port_and_txt_found_by_lxi_and_withdrawn_at_exit(self):
        # The --no-announce one runs first and answers before the other starts: had it
        # announced, the other would be "KORVEL 1042 #2".
        quiet = self.start("--no-announce")
        port = re.search(r"listening on [0-9.]+:(\d+)", wait_for_line(quiet.stderr, "SCPI"))
        with socket.create_connection((setUpModule.address, int(port[1])), timeout=60) as s:
            s.sendall(b"*IDN?\n")
            self.assertEqual(s.makefile().readline(), "MORLIDEX,KORVEL,1042,1.4.0\n")

        program = self.start()
        said = wait_for_line(program.stderr, "DNS-SD")
        self.assertIn('announced by DNS-SD as "KORVEL 1042"', said)
        port = int(re.search(r"listening on [0-9.]+:(\d+)", said)[1])
        txt = '"Manufacturer=MORLIDEX" "Model=KORVEL" "SerialNumber=1042" "FirmwareVersion=1.4.0"'
        expected = {("KORVEL 1042", "_scpi-raw._tcp"): (port, txt)}
        if "(VXI-11) listening" in said:
            expected[("KORVEL 1042", "_vxi-11._tcp")] = (111, txt)
        self.assertEqual(self.browse(), expected)

        lxi = shutil.which("lxi")
        if lxi is not None:
            found = subprocess.run([lxi, "discover", "--mdns", "-t", "2"], env=environment,
                                   capture_output=True, text=True, timeout=60).stdout
            self.assertIn(f'Found "KORVEL 1042" on address {setUpModule.address}\n'
                          f"    scpi-raw service on port {port}", found)

        self.end(program)
        deadline = time.monotonic() + 10
        while self.browse() and time.monotonic() < deadline:
            time.sleep(0.1)
        self.assertEqual(self.browse(), {})


if __name__ == "__main__":
    unittest.main()

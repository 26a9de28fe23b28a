"""korvel --simulate --remote over VXI-11 (TCPIP::127.0.0.1::inst0::INSTR), driven by PyVISA's
pure-Python backend and by its VXI-11 client directly for what a well-behaved VISA never sends.

VISA finds the VXI-11 port through the portmapper on port 111: when no rpcbind runs, the test
starts a private one (it needs root and Debian's rpcbind), and is skipped, saying why, when it
cannot. Needs KORVEL_PROGRAM (the built korvel), python3-pyvisa and python3-pyvisa-py.
"""

import os
import shutil
import socket
import struct
import subprocess
import tempfile
import unittest

import pyvisa
from pyvisa_py.protocols import vxi11

from program_output import read_until, within

STARTUP_SECONDS = 60
RESOURCE = "TCPIP::127.0.0.1::inst0::INSTR"
rpcbind = None


def portmapper_listens():
    try:
        socket.create_connection(("127.0.0.1", 111), timeout=2).close()
        return True
    except OSError:
        return False


def setUpModule():
    global rpcbind
    if portmapper_listens():
        return
    program = shutil.which("rpcbind") or "/usr/sbin/rpcbind"
    if os.geteuid() != 0 or not os.path.exists(program):
        raise unittest.SkipTest("no rpcbind on port 111, and no private one can be started "
                                "(needs root and the rpcbind package): VXI-11 not tested")
    os.makedirs("/run/rpcbind", exist_ok=True)
    rpcbind = subprocess.Popen([program, "-f", "-w"], stderr=subprocess.DEVNULL)
    within(10, lambda: rpcbind.poll() is not None or portmapper_listens())
    if not portmapper_listens():
        raise unittest.SkipTest("a private rpcbind did not start: VXI-11 not tested")


def tearDownModule():
    if rpcbind is not None:
        rpcbind.terminate()
        rpcbind.wait()


class Vxi11Test(unittest.TestCase):
    def setUp(self):
        self.manager = pyvisa.ResourceManager("@py")
        self.addCleanup(self.manager.close)
        self.program = self.start_program()
        self.assertEqual(self.wait_for_vxi11(self.program), "")

    def start_program(self):
        directory = tempfile.TemporaryDirectory()
        self.addCleanup(directory.cleanup)
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen",
                   KORVEL_SIM_STATE=os.path.join(directory.name, "unit.json"))
        program = subprocess.Popen(
            [os.environ["KORVEL_PROGRAM"], "--simulate", "--remote", "0"], cwd=directory.name,
            env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
        self.addCleanup(self.end_program, program)
        return program

    @staticmethod
    def end_program(program):
        if program.poll() is None:
            program.kill()
        program.wait()
        program.stderr.close()

    # "" once the program serves VXI-11, else the line that says why it does not.
    def wait_for_vxi11(self, program):
        match, seen = read_until(program, r"\(VXI-11\) listening on port \d+|no VXI-11",
                                 STARTUP_SECONDS)
        if match is None:
            self.fail(f"VXI-11 did not start:\n{seen}")
        return match.string if "no VXI-11" in match.group(0) else ""

    def open(self):
        k = self.manager.open_resource(RESOURCE, read_termination="\n", write_termination="\n",
                                       timeout=20000)
        self.addCleanup(k.close)
        return k

    def test_a_visa_client_sets_queries_and_clears(self):
        k, other = self.open(), self.open()
        self.assertEqual(k.query("*IDN?"), "MORLIDEX,KORVEL,1042,1.4.0")
        k.write("SOURce:AMPLitude 300")
        self.assertEqual(other.query("SOUR:AMPL?"), "300")
        k.write("*CLS;:SOUR:AMPL 700")
        self.assertEqual(k.query("*ESR?"), "16")
        other.write("*IDN?")
        self.assertEqual(other.read_stb() & 0x10, 0x10)  # MAV: a reply waits
        other.clear()
        self.assertEqual(other.read_stb() & 0x10, 0)
        self.assertEqual(other.query("*IDN?;*IDN?"), "MORLIDEX,KORVEL,1042,1.4.0;" * 1 +
                         "MORLIDEX,KORVEL,1042,1.4.0")
        self.assertEqual(k.query("SYST:ERR?"), '-222,"Data out of range;SOURce:AMPLitude takes 0 to 600"')

    def test_a_second_program_leaves_the_first_its_registration(self):
        second = self.start_program()
        self.assertIn("another program serves VXI-11", self.wait_for_vxi11(second))
        second.terminate()
        second.wait(timeout=STARTUP_SECONDS)
        self.assertEqual(self.open().query("*IDN?"), "MORLIDEX,KORVEL,1042,1.4.0")

    def core(self):
        client = vxi11.CoreClient("127.0.0.1")
        self.addCleanup(client.close)
        return client

    def link(self, client):
        error, link, _, max_recv = client.create_link(1, 0, 0, "inst0")
        self.assertEqual(error, 0)
        return link, max_recv

    def query(self, client, link, text):
        self.write(client, link, text)
        error, reason, data = client.device_read(link, 4096, 1000, 0, 0, 0)
        self.assertEqual((error, reason & 4), (0, 4))
        return data.decode().rstrip("\n")

    def write(self, client, link, text):
        self.assertEqual(client.device_write(link, 1000, 0, 8, text.encode())[0], 0)

    def test_hostile_clients_leave_it_answering(self):
        client = self.core()
        link, max_recv = self.link(client)
        self.assertEqual(client.create_link(1, 0, 0, "gpib0,5")[0], 3)
        # Oversized: refused with the parameter error, nothing of it runs.
        self.write(client, link, "*CLS;:SOUR:AMPL 300")
        big = b"SOUR:AMPL 200;" + b" " * max_recv
        self.assertEqual(client.device_write(link, 1000, 0, 8, big), (5, 0))
        self.assertEqual(self.query(client, link, "SOUR:AMPL?;:SYST:ERR?"),
                         '300;-100,"Command error;line longer than 4096 bytes discarded"')
        # Links never destroyed: the idle-longest give way at 32.
        for _ in range(1000):
            self.link(client)
        self.assertEqual(client.device_write(link, 1000, 0, 8, b"*IDN?")[0], 4)
        # Connections dropped with their links still open.
        for _ in range(100):
            dropped = self.core()
            self.link(dropped)
            dropped.close()
        # Junk records: a reply refusing garbage, then a record too long ends the connection.
        raw = socket.create_connection(("127.0.0.1", client.port), timeout=20)
        raw.sendall(struct.pack(">12I", 0x80000000 | 44, 7, 0, 2, 0x0607AF, 1, 11, 0, 0, 0, 0,
                                0xFFFFFFF0))
        self.assertEqual(struct.unpack(">IIIIIII", raw.recv(28))[1:], (7, 1, 0, 0, 0, 4))
        raw.sendall(struct.pack(">I", 0xFFFFFFF0))
        self.assertEqual(raw.recv(16), b"")
        raw.close()
        link, _ = self.link(client)
        self.assertEqual(self.query(client, link, "*IDN?"), "MORLIDEX,KORVEL,1042,1.4.0")

    def test_lxi_tools_ask_over_vxi11(self):
        lxi = shutil.which("lxi")
        if lxi is None:
            self.skipTest("no lxi (Debian: lxi-tools): lxi scpi not tested")
        answer = subprocess.run([lxi, "scpi", "-a", "127.0.0.1", "-t", "20", "*IDN?"],
                                capture_output=True, text=True, timeout=60)
        self.assertEqual(answer.stdout.strip(), "MORLIDEX,KORVEL,1042,1.4.0", answer.stderr)
        # Discovery by VXI-11 broadcast: rpcbind answers for the registered core channel.
        found = subprocess.run([lxi, "discover", "-t", "2"], capture_output=True, text=True,
                               timeout=60)
        self.assertIn('"MORLIDEX,KORVEL,1042,1.4.0" on address 127.0.0.1', found.stdout)

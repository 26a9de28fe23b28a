"""korvel --simulate --remote driven by a real VISA client: PyVISA with its pure-Python backend.

Each case starts the program on Qt's offscreen platform in a scratch folder holding the
settings.cfg of a program run before (with the resource defaults), with a fresh simulated unit
whose state file lives there too, talks to it over TCPIP::127.0.0.1::<port>::SOCKET, ends it with
SIGTERM (which leaves through File > Exit, saving settings.cfg) and then reads what the unit holds
from its state file: the expander pins and DAC codes, not the program's own account.
Needs KORVEL_PROGRAM (the built korvel) and Debian's python3-pyvisa and python3-pyvisa-py.
"""

import json
import os
import signal
import socket
import subprocess
import tempfile
import unittest

import pyvisa

from program_output import read_until

STARTUP_SECONDS = 60

# What the program writes at exit after a start with the resource defaults.
DEFAULT_SETTINGS = """ZEVA_KORVELConfigData
8010 0
Pattern 1
Eye 0
Manual 0
DivideBy 1
DutyCycleControl 2.800000
DataAmplitudeControl 2.400000
SyncSkewControl 0.000000
InternalPeakingControl 0.000000
ClockOutput1 0
DataSelect 2
Polarity 0

"""


class RemoteControlTest(unittest.TestCase):
    def setUp(self):
        directory = tempfile.TemporaryDirectory()
        self.addCleanup(directory.cleanup)
        self.folder = directory.name
        self.state_path = os.path.join(self.folder, "unit.json")
        self.settings_path = os.path.join(self.folder, "settings.cfg")
        with open(self.settings_path, "w", encoding="ascii") as f:
            f.write(DEFAULT_SETTINGS)
        self.program = None
        self.instrument = None
        self.manager = pyvisa.ResourceManager("@py")
        self.addCleanup(self.manager.close)

    def tearDown(self):
        if self.instrument is not None:
            self.instrument.close()
        self.end_program()

    def end_program(self):
        if self.program is None:
            return
        if self.program.poll() is None:
            self.program.kill()
            self.program.wait()
        self.program.stderr.close()
        self.program = None

    def start(self, *arguments):
        self.end_program()
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen", KORVEL_SIM_STATE=self.state_path)
        self.program = subprocess.Popen(
            [os.environ["KORVEL_PROGRAM"], "--simulate", *arguments], cwd=self.folder, env=env,
            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)

    def wait_for_listener(self):
        """The port the program says it listens on (it prints that before the window shows)."""
        match, seen = read_until(self.program, r"listening on 127\.0\.0\.1:(\d+)", STARTUP_SECONDS)
        if match:
            return int(match.group(1))
        self.fail(f"no listening line from korvel:\n{seen}")

    def open_instrument(self, port):
        self.port = port
        self.instrument = self.manager.open_resource(
            f"TCPIP::127.0.0.1::{port}::SOCKET", read_termination="\n", write_termination="\n",
            timeout=20000)
        return self.instrument

    def stop(self):
        self.instrument.close()
        self.instrument = None
        self.program.send_signal(signal.SIGTERM)
        self.assertEqual(self.program.wait(timeout=60), 0, self.program.stderr.read())
        self.end_program()

    def unit(self):
        """(pattern byte, divide byte, expander 3 pins, duty code, amplitude code) of the unit."""
        with open(self.state_path, encoding="utf-8") as f:
            state = json.load(f)
        pins = {chip: state["expanders"][chip]["pins"] for chip in ("2", "3", "7")}
        return (pins["7"] & 0xFF, pins["2"] & 0xFF, pins["3"] & 0x3,
                state["dacs"]["0"][2]["code"], state["dacs"]["0"][3]["code"])

    def test_a_script_sets_the_unit_up_and_reads_it_back(self):
        self.start("--remote", "0")
        k = self.open_instrument(self.wait_for_listener())
        self.assertEqual(k.query("*IDN?"), "MORLIDEX,KORVEL,1042,1.4.0")
        self.assertEqual(k.query("SYSTem:CONNected?"), "1")

        k.write("SOURce:PATTern PRBS15")
        k.write("TRIGger:MODE MANual")
        k.write("TRIGger:DIVide 8")
        k.write("SOURce:DCYCle 52")
        k.write("SOURce:AMPLitude 300")
        k.write("OUTPut:CLOCk1 ON")
        self.assertEqual(k.query("SOUR:PATT?;:TRIG:MODE?;DIV?;:SOUR:DCYC?;AMPL?;:OUTP:CLOC1?"),
                         "PRBS15;MAN;8;52;300;1")
        self.assertEqual(k.query("SYST:ERR?"), '0,"No error"')

        # Refused whole: no clamping to 600 mV.
        k.write("SOUR:AMPL 700")
        self.assertEqual(k.query("SYST:ERR?"),
                         '-222,"Data out of range;SOURce:AMPLitude takes 0 to 600"')
        self.assertEqual(k.query("SOUR:AMPL?"), "300")

        # Junk on another connection leaves this one and the program unharmed.
        with socket.create_connection(("127.0.0.1", self.port)) as raw:
            raw.sendall(bytes(range(256)) * 64 + b"\n" + b"A" * 10000 + b"\nSOUR:PATT PRB")
        self.assertEqual(k.query("*OPC?"), "1")
        self.assertEqual(k.query("SOUR:PATT?"), "PRBS15")

        self.stop()
        # PRBS15 is code 4; ratio 8; clock output 1 on is IO0 low (error injection off); 52 % is
        # 2.9667 V and 300 mV is 2.2 V on the 3.3 V / 4096 DAC.
        self.assertEqual(self.unit(), (4, 8, 0b00, 3682, 2730))
        # The settings set followed the commands as it follows the operator: saved at exit.
        with open(self.settings_path, encoding="ascii") as f:
            saved = f.read().splitlines()
        for line in ("Manual 1", "DivideBy 8", "ClockOutput1 1", "DataSelect 4",
                     "DataAmplitudeControl 2.200000"):
            self.assertIn(line, saved)

    def test_reset_brings_the_resource_defaults_back(self):
        self.start("--remote", "0")
        k = self.open_instrument(self.wait_for_listener())
        k.write("SOUR:PATT CLOCK;:TRIG:MODE EYE;:SOUR:DCYC 44;AMPL 0;:SOUR:POL INV")
        self.assertEqual(k.query("*RST;*OPC?"), "1")
        self.assertEqual(k.query("SOUR:PATT?;DCYC?;AMPL?;POL?;:TRIG:MODE?"),
                         "PRBS9;50;450;NORM;PATT")
        self.stop()
        self.assertEqual(self.unit(), (2, 0xFE, 0b01, 3475, 2978))

    def test_sigterm_ends_a_program_waiting_at_its_restore_error_box(self, number=signal.SIGTERM):
        os.remove(self.settings_path)  # a first start: "Unable to find Restore File"
        self.start("--remote", "0")
        self.wait_for_listener()
        self.program.send_signal(number)
        self.assertEqual(self.program.wait(timeout=60), 0)
        self.assertTrue(os.path.exists(self.settings_path))  # File > Exit saved the settings

    def test_sighup_of_a_closing_terminal_does_the_same(self):
        self.test_sigterm_ends_a_program_waiting_at_its_restore_error_box(signal.SIGHUP)

    def test_a_start_removes_temporary_files_that_killed_saves_left(self):
        gone = subprocess.Popen(["true"])
        gone.wait()
        names = [f".korvel-{gone.pid}-0.tmp", f".korvel-{os.getpid()}-0.tmp"]  # dead, alive
        for name in names:
            open(os.path.join(self.folder, name), "w", encoding="ascii").close()
        self.start("--remote", "0")
        self.wait_for_listener()
        self.assertEqual([os.path.exists(os.path.join(self.folder, n)) for n in names],
                         [False, True])

    def test_a_port_that_cannot_be_had_or_a_bad_address_stops_the_start(self):
        with socket.socket() as taken:
            taken.bind(("127.0.0.1", 0))
            taken.listen()
            self.start("--remote", str(taken.getsockname()[1]))
            self.assertEqual(self.program.wait(timeout=STARTUP_SECONDS), 1)
            self.assertIn("cannot listen on 127.0.0.1 port", self.program.stderr.read())
        self.start("--remote-bind", "not-an-address")
        self.assertEqual(self.program.wait(timeout=STARTUP_SECONDS), 1)
        self.assertIn("is not an IP address", self.program.stderr.read())


if __name__ == "__main__":
    unittest.main()

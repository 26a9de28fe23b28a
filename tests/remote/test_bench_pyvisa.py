"""An unattended bench: a first start in an empty folder, offscreen, driven by PyVISA."""

import json
import os
import socket
import unittest

import test_remote_pyvisa as base


class UnattendedBenchTest(base.RemoteControlTest):
    def test_a_first_start_answers_at_once_and_reports_through_its_status(self):
        os.remove(self.settings_path)
        self.start("--remote", "0")
        port = self.wait_for_listener()
        # Over a plain socket: a box waiting for an OK would hold the answer past the timeout.
        with socket.create_connection(("127.0.0.1", port), timeout=30) as raw:
            raw.sendall(b"*IDN?\n")
            self.assertEqual(raw.makefile("rb").readline(), b"MORLIDEX,KORVEL,1042,1.4.0\n")
        k = self.open_instrument(port)
        self.assertEqual(k.query("SYST:ERR?"), '+100,"Restore Error: Unable to find Restore File"')

        k.write("*CLS;:SOUR:AMPL 700")
        self.assertEqual(int(k.query("*STB?")) & 4, 4)     # error queue not empty
        self.assertEqual(int(k.query("*ESR?")) & 16, 16)   # execution error
        k.write("*CLS")
        self.assertEqual(k.query("*ESR?"), "0")
        self.assertEqual(k.query("*STB?"), "0")
        self.assertEqual(k.query("*OPC;*ESR?"), "1")

        self.assertEqual(k.query("SOUR:AMPL 300mV;AMPL?"), "300")
        k.write("SOUR:PATT PRBS23;*SAV 3;:SOUR:PATT PRBS7;AMPL 100")
        k.write("*RCL 3")
        pattern, amplitude = k.query("SOUR:PATT?;AMPL?").split(";")
        self.assertEqual(pattern, "PRBS23")
        self.assertAlmostEqual(float(amplitude), 300, places=3)  # settings files keep 6 decimals
        self.assertEqual(k.query("*TST?"), "0")
        self.assertEqual(k.query("STAT:QUES:COND?;:SYST:ERR?"), '0;0,"No error"')
        self.stop()

        # The unit unplugged (kept so in its state file): the questionable condition shows it.
        with open(self.state_path, "w", encoding="utf-8") as f:
            json.dump({"attached": False}, f)
        self.start("--remote", "0")
        k = self.open_instrument(self.wait_for_listener())
        self.assertEqual(int(k.query("STAT:QUES:COND?")) & 512, 512)


def load_tests(loader, tests, pattern):  # only this file's own test, not the runner's
    return loader.loadTestsFromNames([f"{__name__}.UnattendedBenchTest.test_a_first_start_"
                                      "answers_at_once_and_reports_through_its_status"])


if __name__ == "__main__":
    unittest.main()

"""The Python binding against the simulated unit.

Every case runs its script in a fresh interpreter with its own KORVEL_SIM_STATE and checks the
simulated unit's state file afterwards: the unit's pins and DAC codes, not our own calls.
Needs KORVEL_LIBRARY (the built libkorvel) and the python/ folder on PYTHONPATH.
"""

import json
import os
import subprocess
import sys
import tempfile
import textwrap
import unittest


class BindingTest(unittest.TestCase):
    def setUp(self):
        directory = tempfile.TemporaryDirectory()
        self.addCleanup(directory.cleanup)
        self.state_path = os.path.join(directory.name, "unit.json")

    def run_python(self, *args, expect_ok=True):
        env = dict(os.environ, KORVEL_BACKEND="sim", KORVEL_SIM_STATE=self.state_path)
        result = subprocess.run([sys.executable, *args], env=env, capture_output=True,
                                text=True, timeout=60)
        if expect_ok:
            self.assertEqual(result.returncode, 0, result.stderr)
        return result

    def run_script(self, script, expect_ok=True):
        return self.run_python("-c", textwrap.dedent(script), expect_ok=expect_ok)

    def state(self):
        with open(self.state_path, encoding="utf-8") as f:
            return json.load(f)

    def unit(self):
        """(pattern byte, divide byte, clock pin, duty code, amplitude code) of the unit."""
        s = self.state()
        pins = {chip: s["expanders"][chip]["pins"] for chip in ("2", "3", "7")}
        return (pins["7"] & 0xFF, pins["2"] & 0xFF, pins["3"] & 1,
                s["dacs"]["0"][2]["code"], s["dacs"]["0"][3]["code"])

    def test_settings_and_their_limits_reach_the_unit(self):
        self.run_script("""
            import korvel
            with korvel.Korvel() as unit:
                unit.select_pattern("prbs15")
                unit.set_divide_ratio(256)
                unit.set_clock_output1(True)
                unit.set_duty_cycle(2.5)
                unit.set_amplitude(2.2)
        """)
        self.assertEqual(self.unit(), (4, 0x00, 0, 3103, 2730))
        self.run_script("""
            import korvel
            with korvel.Korvel() as unit:
                unit.select_pattern(korvel.Pattern.CLOCK)
                unit.set_clock_output1(False)
                unit.set_duty_cycle(1.8)
                unit.set_amplitude(2.7)
        """)
        self.assertEqual(self.unit(), (10, 0x00, 1, 2234, 3351))

    def test_bad_values_raise_before_anything_is_sent(self):
        self.run_script("""
            import korvel
            with korvel.Korvel() as unit:
                unit.select_pattern(3)
                for call, value in ((unit.select_pattern, "PRBS6"), (unit.select_pattern, 11),
                                    (unit.set_divide_ratio, 0), (unit.set_divide_ratio, 2.5),
                                    (unit.select_pattern, 4.5), (unit.set_duty_cycle, 50),
                                    (unit.set_amplitude, 3.0)):
                    try:
                        call(value)
                    except ValueError:
                        continue
                    raise SystemExit(f"no ValueError for {value}")
        """)
        self.assertEqual(self.unit()[0], 3)

    def test_missing_unit_or_library_is_a_clear_error(self):
        self.run_script("import korvel\nwith korvel.Korvel():\n    pass\n")
        state = self.state()
        state["attached"] = False
        with open(self.state_path, "w", encoding="utf-8") as f:
            json.dump(state, f)
        self.run_script("""
            import korvel
            unit = korvel.Korvel()
            try:
                unit.set_divide_ratio(4)
                raise SystemExit("setter worked without an open unit")
            except korvel.KorvelError:
                pass
            try:
                with unit:
                    raise SystemExit("opened a detached unit")
            except korvel.KorvelError as error:
                assert "unit not found" in str(error), error
        """)
        result = self.run_script("import korvel\nkorvel.Korvel('/nonexistent/libkorvel.so.1')",
                                 expect_ok=False)
        self.assertIn("KorvelError: cannot load libkorvel", result.stderr)

    def test_example_script_runs(self):
        example = os.path.join(os.environ["KORVEL_PYTHON_DIR"], "examples", "set_pattern.py")
        self.run_python(example, "PRBS31", "--divide", "8")
        self.assertEqual(self.unit()[:2], (9, 8))
        # A bad argument is refused before the unit is opened: the pattern stays as it was.
        for bad in (["PRBS7", "--divide", "300"], ["PRBS7", "--duty", "50"], ["PRBS6"]):
            result = self.run_python(example, *bad, expect_ok=False)
            self.assertEqual(result.returncode, 2, result.stderr)
            self.assertIn("out of range" if len(bad) > 1 else "unknown pattern", result.stderr)
        self.assertEqual(self.unit()[:2], (9, 8))


if __name__ == "__main__":
    unittest.main()

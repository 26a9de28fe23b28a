"""The Python binding against the simulated unit.

Every case runs its script in a fresh interpreter, with its own KORVEL_SIM_STATE, and reads
the simulated unit's state file afterwards: the checks are on the unit's pins and DAC codes.
Needs KORVEL_LIBRARY (the built libkorvel) and the python/ folder on PYTHONPATH.
"""

import json
import os
import subprocess
import sys
import tempfile
import textwrap
import unittest


def run_on_unit(script, state_path):
    env = dict(os.environ, KORVEL_BACKEND="sim", KORVEL_SIM_STATE=state_path)
    env.pop("KORVEL_SIM_TRACE", None)
    return subprocess.run([sys.executable, "-c", textwrap.dedent(script)], env=env,
                          capture_output=True, text=True, timeout=60)


class BindingTest(unittest.TestCase):
    def setUp(self):
        self.directory = tempfile.TemporaryDirectory()
        self.state_path = os.path.join(self.directory.name, "unit.json")

    def tearDown(self):
        self.directory.cleanup()

    def run_ok(self, script):
        result = run_on_unit(script, self.state_path)
        self.assertEqual(result.returncode, 0, result.stderr)
        return result

    def state(self):
        with open(self.state_path, encoding="utf-8") as f:
            return json.load(f)

    def expander_byte(self, chip):
        return self.state()["expanders"][str(chip)]["pins"] & 0xFF

    def dac_code(self, selector, channel):
        return self.state()["dacs"][str(selector)][channel]["code"]

    def test_settings_reach_the_pins_and_dacs(self):
        self.run_ok("""
            import korvel
            with korvel.Korvel() as unit:
                unit.select_pattern("prbs15")
                unit.set_divide_ratio(256)
                unit.set_clock_output1(True)
                unit.set_duty_cycle(2.5)
                unit.set_amplitude(2.2)
        """)
        self.assertEqual(self.expander_byte(7), 4)
        self.assertEqual(self.expander_byte(2), 0x00)
        self.assertEqual(self.expander_byte(3) & 1, 0)
        self.assertEqual(self.dac_code(0, 2), 3103)
        self.assertEqual(self.dac_code(0, 3), 2730)

    def test_limits_of_the_levels_reach_the_dacs(self):
        self.run_ok("""
            import korvel
            with korvel.Korvel() as unit:
                unit.select_pattern(korvel.Pattern.CLOCK)
                unit.set_clock_output1(False)
                unit.set_duty_cycle(1.8)
                unit.set_amplitude(2.7)
        """)
        self.assertEqual(self.expander_byte(7), 10)
        self.assertEqual(self.expander_byte(3) & 1, 1)
        self.assertEqual(self.dac_code(0, 2), 2234)
        self.assertEqual(self.dac_code(0, 3), 3351)

    def test_bad_values_raise_before_anything_is_sent(self):
        self.run_ok("""
            import korvel
            with korvel.Korvel() as unit:
                unit.select_pattern(3)
                for bad in (lambda: unit.select_pattern("PRBS6"),
                            lambda: unit.select_pattern(11),
                            lambda: unit.set_divide_ratio(0),
                            lambda: unit.set_duty_cycle(50),
                            lambda: unit.set_amplitude(3.0)):
                    try:
                        bad()
                    except ValueError:
                        continue
                    raise SystemExit("no ValueError")
        """)
        self.assertEqual(self.expander_byte(7), 3)

    def test_missing_unit_raises_and_setters_need_an_open_unit(self):
        self.run_ok("import korvel\nwith korvel.Korvel():\n    pass\n")
        state = self.state()
        state["attached"] = False
        with open(self.state_path, "w", encoding="utf-8") as f:
            json.dump(state, f)
        self.run_ok("""
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

    def test_unloadable_library_is_a_clear_error(self):
        result = run_on_unit("""
            import korvel
            korvel.Korvel("/nonexistent/libkorvel.so.1")
        """, self.state_path)
        self.assertNotEqual(result.returncode, 0)
        self.assertIn("KorvelError", result.stderr)

    def test_example_script_runs(self):
        example = os.path.join(os.environ["KORVEL_PYTHON_DIR"], "examples", "set_pattern.py")
        env = dict(os.environ, KORVEL_BACKEND="sim", KORVEL_SIM_STATE=self.state_path)
        result = subprocess.run([sys.executable, example, "PRBS31", "--divide", "8"], env=env,
                                capture_output=True, text=True, timeout=60)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(self.expander_byte(7), 9)
        self.assertEqual(self.expander_byte(2), 8)


if __name__ == "__main__":
    unittest.main()

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
        # A library that loads but is not libkorvel is the same error, not an AttributeError.
        result = self.run_script("import korvel\nkorvel.Korvel('libc.so.6')", expect_ok=False)
        self.assertIn("KorvelError: libc.so.6 is not libkorvel: it has no function usb_init",
                      result.stderr)

    def test_arguments_of_the_wrong_kind_are_refused_before_anything_is_sent(self):
        self.run_script("""
            import decimal, fractions, korvel
            with korvel.Korvel() as unit:
                unit.set_clock_output1(False)
                unit.set_divide_ratio(5)
                unit.set_duty_cycle(2.0)
                refused = [
                    (unit.set_clock_output1, v, TypeError)
                    for v in ("off", "False", "0", [0], float("nan"), None, 1.0)] + [
                    (unit.set_clock_output1, v, ValueError) for v in (2, -1)] + [
                    (unit.set_divide_ratio, v, TypeError) for v in (b"4", "4", True, None)] + [
                    (unit.set_divide_ratio, v, ValueError)
                    for v in (decimal.Decimal("4.9"), fractions.Fraction(9, 2), float("inf"))] + [
                    (unit.select_pattern, v, TypeError) for v in (True, b"4", 4j)] + [
                    (unit.set_duty_cycle, v, TypeError) for v in ("2.5", True)] + [
                    (unit.set_amplitude, float("nan"), ValueError)]
                for call, value, error in refused:
                    try:
                        call(value)
                    except error:
                        continue
                    except Exception as other:
                        raise SystemExit(f"{call.__name__}({value!r}) raised {other!r}")
                    raise SystemExit(f"{call.__name__}({value!r}) was accepted")
                unit.set_divide_ratio(fractions.Fraction(12, 2))  # integral values are whole
        """)
        self.assertEqual(self.unit()[1:4], (6, 1, 2482))

    def test_one_object_at_a_time_has_the_unit_open(self):
        self.run_script("""
            import korvel
            a, b = korvel.Korvel(), korvel.Korvel()
            a.open()
            try:
                b.open()
                raise SystemExit("a second object opened the unit")
            except korvel.KorvelError as error:
                assert "already open in this process" in str(error), error
            b.close()  # not b's link to close
            a.set_divide_ratio(7)
            a.close()
            with b:
                b.set_divide_ratio(9)
        """)
        self.assertEqual(self.unit()[1], 9)

    def test_a_unit_open_in_another_program_cannot_be_opened(self):
        env = dict(os.environ, KORVEL_BACKEND="sim", KORVEL_SIM_STATE=self.state_path)
        script = textwrap.dedent("""
            import sys, korvel
            with korvel.Korvel() as unit:
                unit.set_divide_ratio(8)
                print("open", flush=True)
                sys.stdin.readline()
        """)
        with subprocess.Popen([sys.executable, "-c", script], env=env, stdin=subprocess.PIPE,
                              stdout=subprocess.PIPE, text=True) as holder:
            self.assertEqual(holder.stdout.readline(), "open\n")
            self.run_script("""
                import korvel
                try:
                    with korvel.Korvel():
                        raise SystemExit("opened a unit another program has open")
                except korvel.KorvelError as error:
                    assert "unit not found" in str(error), error
            """)
            holder.stdin.write("done\n")
            holder.stdin.close()
            self.assertEqual(holder.wait(60), 0)
        self.assertEqual(self.unit()[1], 8)

    def test_status_reads_the_unit_back_and_files_load_or_are_refused_as_by_korvelctl(self):
        directory = os.path.dirname(self.state_path)
        files = {"pattern.txt": "01" * 256 + "1", "short.txt": "101",
                 "mask.txt": "8 2 " + "1" + "0" * 255, "nomask.txt": "x 2 1"}
        for name, text in files.items():
            with open(os.path.join(directory, name), "w", encoding="ascii") as f:
                f.write(text)
        result = self.run_script(f"""
            import korvel
            d = {directory!r}
            with korvel.Korvel() as unit:
                unit.select_pattern("PRBS15")
                unit.set_divide_ratio(4)
                unit.set_amplitude(2.2)
                print(unit.status())
                print(unit.load_pattern(d + "/pattern.txt"))
                print(unit.load_mask(d + "/mask.txt"))
                for load, name in ((unit.load_pattern, "short.txt"), (unit.load_mask, "nomask.txt"),
                                   (unit.load_pattern, "absent.txt")):
                    try:
                        load(d + "/" + name)
                        raise SystemExit(name + " was loaded")
                    except ValueError as error:
                        print(error)
            try:
                unit.status()
                raise SystemExit("status without an open unit")
            except korvel.KorvelError:
                pass
        """)
        lines = result.stdout.splitlines()
        status = eval(lines[0])  # the dict's repr
        self.assertEqual((status["pattern"], status["pattern_code"], status["divide_ratio"],
                          status["clock_output1"], status["amplitude"]["code"],
                          status["connected"]), ("PRBS15", 4, 4, False, 2730, True))
        self.assertAlmostEqual(status["amplitude"]["volts"], 2.2, places=2)
        self.assertEqual(lines[1], "loaded 2 words into the custom-pattern memory "
                                   "(the last 1 bits, an incomplete word, were not sent)")
        self.assertTrue(lines[2].startswith("loaded the error mask: 1 errors in 256 bits, "
                                            "period 8, width 2"), lines[2])
        self.assertIn("short.txt: no complete 256-bit word (3 bits of '0'/'1'); nothing sent",
                      lines[3])
        self.assertIn("nomask.txt: the period and width are not numbers", lines[4])
        self.assertIn("absent.txt: ", lines[5])
        fpga = self.state()["fpga"]
        self.assertEqual((fpga["error_period"], fpga["error_width"]), (7, 1))

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

#!/usr/bin/python3
"""Example: choose a pattern and levels on a KORVEL unit.

Try it on the simulated unit from the repository root, after building:

    KORVEL_LIBRARY=build/src/api/libkorvel.so.1 KORVEL_BACKEND=sim \
    KORVEL_SIM_STATE=/tmp/korvel-unit.json PYTHONPATH=python \
    python3 python/examples/set_pattern.py PRBS31 --divide 8
"""

import argparse
import sys

import korvel


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("pattern", help="PRBS7 .. PRBS31 or Clock")
    parser.add_argument("--divide", type=int, default=1, help="sync divide ratio 1..256")
    parser.add_argument("--duty", type=float, default=2.5, help="duty-cycle level, volts")
    parser.add_argument("--amplitude", type=float, default=2.2, help="amplitude level, volts")
    parser.add_argument("--clock-off", action="store_true", help="switch clock output 1 off")
    args = parser.parse_args()

    try:
        with korvel.Korvel() as unit:
            unit.select_pattern(args.pattern)
            unit.set_divide_ratio(args.divide)
            unit.set_clock_output1(not args.clock_off)
            unit.set_duty_cycle(args.duty)
            unit.set_amplitude(args.amplitude)
    except (korvel.KorvelError, ValueError) as error:
        print(f"set_pattern: {error}", file=sys.stderr)
        return 1
    print(f"pattern {args.pattern}, divide {args.divide}, duty {args.duty} V, "
          f"amplitude {args.amplitude} V")
    return 0


if __name__ == "__main__":
    sys.exit(main())

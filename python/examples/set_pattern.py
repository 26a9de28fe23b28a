#!/usr/bin/python3
"""Example: choose a pattern and levels on a KORVEL unit.

Try it on the simulated unit from the repository root, after building:

    KORVEL_LIBRARY=build/src/api/libkorvel.so.1 KORVEL_BACKEND=sim \
    KORVEL_SIM_STATE=/tmp/korvel-unit.json PYTHONPATH=python \
    python3 python/examples/set_pattern.py PRBS31 --divide 8

Every argument is checked before the unit is opened, so a bad one changes nothing.
"""

import argparse
import sys

import korvel


def in_range(kind, low, high):
    """An argparse type: a number of the given kind within low..high."""
    def parse(text):
        try:
            value = kind(text)
        except ValueError:
            raise argparse.ArgumentTypeError(f"{text!r} is not a number") from None
        if not low <= value <= high:
            raise argparse.ArgumentTypeError(f"{value} out of range {low} .. {high}")
        return value
    return parse


def pattern(text):
    """An argparse type: a pattern name or code the library can select."""
    names = {p.name: p for p in korvel.Pattern}
    chosen = names.get(text.strip().upper())
    if chosen is None and text.strip().isdigit() and int(text) in set(korvel.Pattern):
        chosen = korvel.Pattern(int(text))
    if chosen is None:
        raise argparse.ArgumentTypeError(
            f"unknown pattern {text!r}, choose one of {', '.join(names)} or a code 1..10")
    return chosen


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("pattern", type=pattern, help="PRBS7 .. PRBS31 or Clock")
    parser.add_argument("--divide", type=in_range(int, *korvel.DIVIDE_RATIO_RANGE), default=1,
                        help="sync divide ratio 1..256")
    parser.add_argument("--duty", type=in_range(float, *korvel.DUTY_CYCLE_RANGE), default=2.5,
                        help="duty-cycle level, DAC volts 1.8..3.3")
    parser.add_argument("--amplitude", type=in_range(float, *korvel.AMPLITUDE_RANGE),
                        default=2.2, help="amplitude level, DAC volts 1.8..2.7")
    parser.add_argument("--clock-off", action="store_true", help="switch clock output 1 off")
    args = parser.parse_args()

    try:
        with korvel.Korvel() as unit:
            unit.select_pattern(args.pattern)
            unit.set_divide_ratio(args.divide)
            unit.set_clock_output1(not args.clock_off)
            unit.set_duty_cycle(args.duty)
            unit.set_amplitude(args.amplitude)
    except korvel.KorvelError as error:
        print(f"set_pattern: {error}", file=sys.stderr)
        return 1
    print(f"pattern {args.pattern.name}, divide {args.divide}, duty {args.duty} V, "
          f"amplitude {args.amplitude} V")
    return 0


if __name__ == "__main__":
    sys.exit(main())

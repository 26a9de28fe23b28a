"""Drive a KORVEL PRBS pattern generator from Python.

A thin ctypes wrapper over libkorvel (libkorvel.so.1)::

    import korvel

    with korvel.Korvel() as unit:
        unit.select_pattern("PRBS15")
        unit.set_divide_ratio(4)
        unit.set_clock_output1(True)
        unit.set_duty_cycle(2.5)     # DAC volts, 1.8 .. 3.3
        unit.set_amplitude(2.2)      # DAC volts, 1.8 .. 2.7
        unit.load_pattern("pattern.txt")
        print(unit.status()["pattern"])  # "PRBS15", read back from the unit

The library is looked up in this order: the ``library`` argument, the environment variable
KORVEL_LIBRARY (a path), then the system's usual search (``libkorvel.so.1``).

The backend is chosen by the environment, read at the library's first call: KORVEL_BACKEND=sim
drives the simulated unit instead of real hardware, KORVEL_SIM_STATE names its state file and
KORVEL_SIM_TRACE a Value Change Dump of its pins.

The library drives one unit through one process-wide link, so one Korvel object at a time may
have the unit open: opening a second one while the first is open raises KorvelError ("the unit
is already open in this process"). Close the first (or leave its ``with`` block) before opening
another. Arguments are checked before anything is sent: switches take True or False (or the
integers 1 and 0), whole numbers take integers or integral values, levels take real numbers;
anything else raises TypeError, and a value out of range (or a fraction where a whole number
belongs) raises ValueError.
"""

from __future__ import annotations

import ctypes
import ctypes.util
import decimal
import enum
import numbers
import os
import weakref
from typing import Any, Optional, Union

__version__ = "1.4.0"

__all__ = ["Korvel", "KorvelError", "Pattern", "load_library"]

_FUNCTIONS = ("usb_init", "usb_close", "set_divide_ratio", "ClockOutput1", "prbs_select",
              "set_dutycycle", "set_amplitude")
# Read-back and file loads, in libkorvel since 1.4.0.
_NEWER_FUNCTIONS = ("korvel_read_status", "korvel_load_pattern", "korvel_load_mask")
_MESSAGE_SIZE = 512


class _Status(ctypes.Structure):
    _fields_ = [("connected", ctypes.c_int), ("pattern_code", ctypes.c_int),
                ("pattern_name", ctypes.c_char * 16), ("divide_ratio", ctypes.c_int),
                ("clock_output1", ctypes.c_int), ("error_injection", ctypes.c_int),
                ("duty_cycle_code", ctypes.c_int), ("duty_cycle_volts", ctypes.c_double),
                ("amplitude_code", ctypes.c_int), ("amplitude_volts", ctypes.c_double)]

DUTY_CYCLE_RANGE = (1.8, 3.3)
AMPLITUDE_RANGE = (1.8, 2.7)
DIVIDE_RATIO_RANGE = (1, 256)


class KorvelError(RuntimeError):
    """The unit could not be opened, or was used while not open."""


class Pattern(enum.IntEnum):
    """Pattern-select codes the library can choose."""

    PRBS7 = 1
    PRBS9 = 2
    PRBS11 = 3
    PRBS15 = 4
    PRBS17 = 5
    PRBS20 = 6
    PRBS23 = 7
    PRBS29 = 8
    PRBS31 = 9
    CLOCK = 10


def load_library(library: Optional[str] = None) -> ctypes.CDLL:
    """Load libkorvel and declare its seven functions.

    ``library`` is a path or name; without it KORVEL_LIBRARY is used, else the default lookup.
    Raises KorvelError when the library cannot be loaded.
    """
    library = library or os.environ.get("KORVEL_LIBRARY")
    if library:
        candidates = [library]  # an explicit choice is never silently replaced
    else:
        candidates = [ctypes.util.find_library("korvel") or "libkorvel.so.1"]

    errors = []
    for candidate in candidates:
        try:
            lib = ctypes.CDLL(candidate)
            break
        except OSError as error:
            errors.append(str(error))
    else:
        raise KorvelError("cannot load libkorvel (set KORVEL_LIBRARY to its path): "
                          + "; ".join(errors))

    missing = [name for name in _FUNCTIONS if not hasattr(lib, name)]
    if missing:
        raise KorvelError(f"{candidate} is not libkorvel: it has no function "
                          + ", ".join(missing) + " (set KORVEL_LIBRARY to libkorvel's path)")
    for name in ("usb_init", "usb_close"):
        getattr(lib, name).argtypes = []
    for name in ("set_divide_ratio", "ClockOutput1", "prbs_select"):
        getattr(lib, name).argtypes = [ctypes.c_int]
    for name in ("set_dutycycle", "set_amplitude"):
        getattr(lib, name).argtypes = [ctypes.c_float]
    for name in _FUNCTIONS:
        getattr(lib, name).restype = ctypes.c_int
    if hasattr(lib, "korvel_read_status"):
        lib.korvel_read_status.argtypes = [ctypes.POINTER(_Status)]
        lib.korvel_read_status.restype = ctypes.c_int
    for name in ("korvel_load_pattern", "korvel_load_mask"):
        if hasattr(lib, name):
            getattr(lib, name).argtypes = [ctypes.c_char_p, ctypes.c_char_p, ctypes.c_int]
            getattr(lib, name).restype = ctypes.c_int
    return lib


def _is_number(value: Any) -> bool:
    """A real number: int, float, Fraction, Decimal and the like; not bool, str or bytes."""
    return (isinstance(value, (numbers.Real, decimal.Decimal))
            and not isinstance(value, bool))


def _whole_number(what: str, value: Any) -> int:
    """An integer, or an integral number as one; a fraction is never cut off."""
    if not _is_number(value):
        raise TypeError(f"{what} must be a whole number, not {type(value).__name__}")
    if isinstance(value, numbers.Integral):
        return int(value)
    try:
        whole = int(value)
    except (ValueError, OverflowError):  # NaN, infinity
        raise ValueError(f"{what} {value!r} is not a whole number") from None
    if whole != value:
        raise ValueError(f"{what} {value!r} is not a whole number")
    return whole


def _switch(what: str, value: Any) -> bool:
    """True or False, or the integers 1 and 0; a text such as "off" is not taken for its truth."""
    if isinstance(value, bool):
        return value
    if not isinstance(value, numbers.Integral):
        raise TypeError(f"{what} must be True or False, not {type(value).__name__}")
    if value not in (0, 1):
        raise ValueError(f"{what} must be True or False (or 1 or 0), not {value!r}")
    return value == 1


def _level(what: str, value: Any, low: float, high: float) -> float:
    """Volts as a float, in the range."""
    if not _is_number(value):
        raise TypeError(f"{what} must be a number of volts, not {type(value).__name__}")
    volts = float(value)
    _check_range(what, volts, low, high)
    return volts


def _pattern_code(pattern: Union[Pattern, int, str]) -> Pattern:
    if isinstance(pattern, str):
        try:
            return Pattern[pattern.strip().upper()]
        except KeyError:
            names = ", ".join(p.name for p in Pattern)
            raise ValueError(f"unknown pattern {pattern!r}, choose one of {names}") from None
    code = _whole_number("pattern code", pattern)
    try:
        return Pattern(code)
    except ValueError:
        raise ValueError(f"pattern code {code} out of range 1..10") from None


def _check_range(what: str, value: float, low: float, high: float) -> None:
    if not low <= value <= high:
        raise ValueError(f"{what} {value} out of range {low} .. {high}")


# The object that has the unit open (a weak reference: an object dropped without close() no
# longer holds it), or None. The library has one link per process, so one object drives it.
_holder: Optional[weakref.ReferenceType[Korvel]] = None


def _holding_object() -> Optional[Korvel]:
    return _holder() if _holder is not None else None


class Korvel:
    """One KORVEL unit, opened on entering a ``with`` block and closed on leaving it.

    The setters check their arguments before anything is sent: TypeError for a value of the
    wrong type, ValueError for one the unit cannot take, where the C library would silently
    limit or misread it. Levels are DAC volts, not percent.
    """

    def __init__(self, library: Optional[str] = None) -> None:
        self._lib = load_library(library)
        self._open = False

    def open(self) -> Korvel:
        """Find and open the unit. Raises KorvelError when it is not found or cannot be opened,
        or while another Korvel object of this process has it open."""
        global _holder
        holder = _holding_object()
        if holder is not None and holder is not self:
            raise KorvelError("the unit is already open in this process "
                              "(close the other Korvel object first)")
        if self._lib.usb_init() != 1:
            self._open = False
            _holder = None
            raise KorvelError("unit not found: no KORVEL attached, or it cannot be opened "
                              "(in use by another program?)")
        self._open = True
        _holder = weakref.ref(self)
        return self

    def close(self) -> None:
        """Close the USB link if this object has it open. Harmless when nothing is open; the
        link another object has open is left alone."""
        global _holder
        holder = _holding_object()
        if holder is None or holder is self:
            self._lib.usb_close()
            _holder = None
        self._open = False

    @property
    def is_open(self) -> bool:
        return self._open

    def __enter__(self) -> Korvel:
        return self.open()

    def __exit__(self, *exc: object) -> bool:
        self.close()
        return False

    def _require_open(self) -> None:
        if not self._open:
            raise KorvelError("the unit is not open: use 'with Korvel() as unit:' or open()")

    def select_pattern(self, pattern: Union[Pattern, int, str]) -> None:
        """Output pattern: a Pattern, its code 1..10, or a name such as "PRBS15" or "clock"."""
        code = _pattern_code(pattern)
        self._require_open()
        self._lib.prbs_select(int(code))

    def set_divide_ratio(self, ratio: int) -> None:
        """Sync (trigger) output divide ratio, 1..256."""
        ratio = _whole_number("divide ratio", ratio)
        _check_range("divide ratio", ratio, *DIVIDE_RATIO_RANGE)
        self._require_open()
        self._lib.set_divide_ratio(ratio)

    def set_clock_output1(self, on: bool) -> None:
        """Switch clock output 1 on (True or 1) or off (False or 0)."""
        on = _switch("clock output 1", on)
        self._require_open()
        self._lib.ClockOutput1(1 if on else 0)

    def set_duty_cycle(self, volts: float) -> None:
        """Duty-cycle DAC level in volts, 1.8..3.3 (not a percentage)."""
        volts = _level("duty-cycle level", volts, *DUTY_CYCLE_RANGE)
        self._require_open()
        self._lib.set_dutycycle(volts)

    def set_amplitude(self, volts: float) -> None:
        """Data-amplitude DAC level in volts, 1.8..2.7."""
        volts = _level("amplitude level", volts, *AMPLITUDE_RANGE)
        self._require_open()
        self._lib.set_amplitude(volts)

    def _newer_function(self, name: str) -> Any:
        if not hasattr(self._lib, name):
            raise KorvelError(f"this libkorvel has no {name} (it needs libkorvel 1.4.0 or later)")
        return getattr(self._lib, name)

    def status(self) -> dict[str, Any]:
        """The unit's present settings, read back from its chips.

        A dict: ``pattern`` (its name as korvelctl prints it, e.g. "PRBS15", or None for a code
        the unit does not know), ``pattern_code``, ``divide_ratio``, ``clock_output1`` and
        ``error_injection`` (True/False), ``polarity`` ("inverted" while the error-injection pin,
        which also inverts the data, is high, else "normal"), ``duty_cycle`` and ``amplitude``
        (each a dict of ``code`` and ``volts``) and ``connected`` (True). Raises KorvelError
        when the unit is not open or stopped answering while it was read.
        """
        read_status = self._newer_function("korvel_read_status")
        self._require_open()
        s = _Status()
        if read_status(ctypes.byref(s)) != 1:
            raise KorvelError("the unit was disconnected; nothing was read")
        name = s.pattern_name.decode("ascii", "replace")
        return {
            "pattern": name or None,
            "pattern_code": s.pattern_code,
            "divide_ratio": s.divide_ratio,
            "duty_cycle": {"code": s.duty_cycle_code, "volts": s.duty_cycle_volts},
            "amplitude": {"code": s.amplitude_code, "volts": s.amplitude_volts},
            "clock_output1": bool(s.clock_output1),
            "error_injection": bool(s.error_injection),
            "polarity": "inverted" if s.error_injection else "normal",
            "connected": bool(s.connected),
        }

    def _load(self, name: str, path: Union[str, os.PathLike[str]]) -> str:
        load = self._newer_function(name)
        if not isinstance(path, (str, os.PathLike)):
            raise TypeError(f"the file must be a path, not {type(path).__name__}")
        self._require_open()
        message = ctypes.create_string_buffer(_MESSAGE_SIZE)
        result = load(os.fsencode(path), message, _MESSAGE_SIZE)
        text = message.value.decode("utf-8", "replace")
        if result == 1:
            return text
        if result == 0:
            raise ValueError(f"{os.fspath(path)}: {text}")
        raise KorvelError(text)

    def load_pattern(self, path: Union[str, os.PathLike[str]]) -> str:
        """Load a custom pattern from a text file into the unit's FPGA, as ``korvelctl
        load-pattern`` does: every '0' and '1' is one bit, filling 256-bit words, at most 4096.
        Returns what was loaded. A file that cannot be used raises ValueError with korvelctl's
        reason (nothing is sent); a unit gone meanwhile raises KorvelError."""
        return self._load("korvel_load_pattern", path)

    def load_mask(self, path: Union[str, os.PathLike[str]]) -> str:
        """Load an error-injection mask from a text file, as ``korvelctl load-mask`` does: the
        pulse period and width, then 256 mask bits. Returns what was loaded; errors as for
        load_pattern."""
        return self._load("korvel_load_mask", path)

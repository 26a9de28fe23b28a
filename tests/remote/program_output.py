"""Waiting on what the remote tests start: korvel's stderr, read line by line as it comes, and
daemons that take a moment to be ready."""

import re
import select
import time


def read_until(program, pattern, seconds):
    """(match, seen): the first match of `pattern` in a line of the program's stderr, None when the
    program ended or `seconds` passed first; `seen` is every line read meanwhile."""
    deadline = time.monotonic() + seconds
    seen = ""
    while time.monotonic() < deadline:
        if not select.select([program.stderr], [], [], 1.0)[0]:
            continue
        line = program.stderr.readline()
        if not line:
            break
        seen += line
        match = re.search(pattern, line)
        if match:
            return match, seen
    return None, seen


def within(seconds, done):
    """Polls `done` until it is true or `seconds` have passed."""
    deadline = time.monotonic() + seconds
    while not done() and time.monotonic() < deadline:
        time.sleep(0.05)

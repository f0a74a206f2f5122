#!/usr/bin/env python3
"""Walks the accessible objects of the program with process id ARGV[1] on
the AT-SPI bus, as a screen reader finds them, and prints one line for each
object that takes the focus yet has no name or no role. Prints nothing when
every one has both; exits 2 when the program is not on the bus."""
import sys

import pyatspi


def Program(pid):
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.get_process_id() == pid:
            return app
    return None


def Walk(node, path, faults):
    states = node.getState()
    if not states.contains(pyatspi.STATE_SHOWING):
        return
    role = node.getRole()
    here = path + "/" + node.getRoleName() + " '" + (node.name or "") + "'"
    if states.contains(pyatspi.STATE_FOCUSABLE):
        if role in (pyatspi.ROLE_INVALID, pyatspi.ROLE_UNKNOWN):
            faults.append(here + ": no role")
        if not (node.name or "").strip():
            faults.append(here + ": no name")
    for child in node:
        if child is not None:
            Walk(child, here, faults)


def main():
    program = Program(int(sys.argv[1]))
    if program is None:
        print("the program is not on the accessibility bus")
        return 2
    faults = []
    for window in program:
        if window is not None:
            Walk(window, "", faults)
    for fault in faults:
        print(fault)
    return 0


sys.exit(main())

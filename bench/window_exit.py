#!/usr/bin/env python3
"""Times how long the window's process lives on after its window has gone.

Usage (inside an X server and a session bus): window_exit.py PROGRAM RUNS WAIT_SECONDS
Starts PROGRAM -Embedding, waits for its window to be viewable and then WAIT_SECONDS, presses Esc
on it through XTEST (the window's own way to end), and notes when the window stops being viewable
and when the process has exited. Prints one line per run in milliseconds and the medians.
"""
import ctypes
import statistics
import subprocess
import sys
import time

x11 = ctypes.CDLL("libX11.so.6")
xtst = ctypes.CDLL("libXtst.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
for name in ("XFlush", "XSync", "XKeysymToKeycode", "XSetInputFocus"):
    getattr(x11, name).argtypes = None
x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
x11.XSetInputFocus.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_ulong]
x11.XFlush.argtypes = [ctypes.c_void_p]
xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]

TITLE = "-ZEPA2-"
ESCAPE = 0xFF1B


def viewable_window():
    """The id of the viewable window titled TITLE, or None."""
    tree = subprocess.run(["xwininfo", "-root", "-tree"], capture_output=True, text=True).stdout
    for line in tree.splitlines():
        if f'"{TITLE}"' in line:
            wid = int(line.split()[0], 16)
            info = subprocess.run(["xwininfo", "-id", hex(wid)], capture_output=True, text=True).stdout
            if "IsViewable" in info:
                return wid
    return None


def press_escape(display, window):
    x11.XSetInputFocus(display, window, 2, 0)  # RevertToParent, CurrentTime
    code = x11.XKeysymToKeycode(display, ESCAPE)
    xtst.XTestFakeKeyEvent(display, code, 1, 0)
    xtst.XTestFakeKeyEvent(display, code, 0, 0)
    x11.XFlush(display)


def one_run(program, wait_seconds, display):
    proc = subprocess.Popen([program, "-Embedding"], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    deadline = time.monotonic() + 20
    window = None
    while window is None:
        if proc.poll() is not None or time.monotonic() > deadline:
            raise SystemExit("the window did not come up: " + proc.stderr.read().decode(errors="replace"))
        window = viewable_window()
        time.sleep(0.01)
    time.sleep(wait_seconds)
    pressed = time.monotonic()
    press_escape(display, window)
    gone = None
    while proc.poll() is None:
        if gone is None:
            info = subprocess.run(["xwininfo", "-id", hex(window)], capture_output=True, text=True).stdout
            if "IsViewable" not in info:
                gone = time.monotonic()
        if time.monotonic() - pressed > 30:
            proc.kill()
            raise SystemExit("the process did not end within 30 s of Esc")
        time.sleep(0.002)
    ended = time.monotonic()
    if gone is None:
        gone = ended  # window and process went together
    return (gone - pressed) * 1000, (ended - gone) * 1000


def main():
    program, runs, wait_seconds = sys.argv[1], int(sys.argv[2]), float(sys.argv[3])
    display = x11.XOpenDisplay(None)
    if not display:
        raise SystemExit("no X display")
    closes, lingers = [], []
    for _ in range(runs):
        close_ms, linger_ms = one_run(program, wait_seconds, display)
        closes.append(close_ms)
        lingers.append(linger_ms)
        print(f"  Esc -> window gone {close_ms:7.1f} ms, window gone -> process gone {linger_ms:7.1f} ms", flush=True)
    print(f"  median: window gone {statistics.median(closes):.1f} ms, process lingers "
          f"{statistics.median(lingers):.1f} ms (max {max(lingers):.1f})", flush=True)


if __name__ == "__main__":
    main()

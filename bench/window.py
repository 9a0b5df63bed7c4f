#!/usr/bin/env python3
"""The window figures of bench/run.

Starts the real program on a private virtual display (Xvfb, no window
manager: the window is mapped and painted without one) with LANZHOU_TIMING
set, so that it writes "lanzhou-timing <event> <CLOCK_MONOTONIC ns>" lines to
standard error. The Qt plugin save_person plays the person: it drops a
1920 x 1080 JPEG on the path field, ticks PNG and 64 x 64, presses 保存 and
names the file in the save dialog; the message boxes answer themselves
(LANZHOU_TEST_ANSWERS). Prints a Markdown table of the two figures and
whether the goals are met.
"""

import argparse
import os
import select
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

RUNS = 10
QUICK_RUNS = 3
# How long one run may take before it counts as hung.
RUN_LIMIT_SECONDS = 30
PICTURE_SIZE = (1920, 1080)
SAVED_SIDE = 64
SAVED_NAME = "saved64.png"
SAVED_MESSAGE = "转换成Png成功 64*64"

# (figure, first event, last event, goal in ms); "start" is the moment
# before the program is spawned.
FIGURES = [
    ("start → window shown", "start", "window-shown", 400),
    ("save dialog confirmed → save finished (PNG 64 × 64)", "save-dialog-confirmed",
     "save-finished", 150),
]


def start_display(work):
    """A private Xvfb on the first free display number: (process, DISPLAY)."""
    read_end, write_end = os.pipe()
    log = open(os.path.join(work, "xvfb.log"), "wb")
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "800x600x24",
                             "-nolisten", "tcp"], pass_fds=[write_end], stderr=log)
    os.close(write_end)
    # Read up to the newline: Xvfb ends when it cannot write all of it.
    written = b""
    until = time.monotonic() + 10
    while not written.endswith(b"\n") and time.monotonic() < until:
        ready, _, _ = select.select([read_end], [], [], max(until - time.monotonic(), 0))
        chunk = os.read(read_end, 64) if ready else b""
        if not chunk:
            break
        written += chunk
    os.close(read_end)
    number = written.decode().strip() if written.endswith(b"\n") else ""
    if not number:
        xvfb.kill()
        sys.exit(f"Xvfb did not start; see {log.name}")
    return xvfb, f":{number}"


def read_timing(process, last_event):
    """The timing lines on the program's standard error, until last_event
    has come: {event: ns}."""
    events = {}
    written = b""
    pending = b""
    until = time.monotonic() + RUN_LIMIT_SECONDS
    while last_event not in events:
        left = until - time.monotonic()
        ready, _, _ = select.select([process.stderr], [], [], max(left, 0))
        chunk = os.read(process.stderr.fileno(), 4096) if ready else b""
        if not chunk:
            process.kill()
            sys.exit(f"lanzhou gave no '{last_event}' line (exit code {process.wait()}); "
                     f"it wrote:\n{written.decode(errors='replace')}")
        written += chunk
        pending += chunk
        *lines, pending = pending.split(b"\n")
        for line in lines:
            words = line.decode(errors="replace").split()
            if len(words) == 3 and words[0] == "lanzhou-timing":
                events[words[1]] = int(words[2])
    return events


def png_size(path):
    """(width, height) from a PNG's IHDR, which follows the 8-byte signature
    and the chunk's length and type."""
    with open(path, "rb") as png:
        header = png.read(24)
    return int.from_bytes(header[16:20], "big"), int.from_bytes(header[20:24], "big")


def run_once(build, display, picture, work, home):
    """One start of the program through a sized save; the figures in ms.
    Every run has a runtime folder of its own, so the instance claim of the
    last run never turns this one away, and a temporary folder of its own."""
    folder = tempfile.mkdtemp(prefix="run-", dir=work)
    runtime, tmpdir, out = (os.path.join(folder, name) for name in ("runtime", "tmp", "out"))
    for path in (runtime, tmpdir, out):
        os.mkdir(path, 0o700)
    env = dict(os.environ, DISPLAY=display, HOME=home, XDG_RUNTIME_DIR=runtime, TMPDIR=tmpdir,
               LANZHOU_TIMING="1", LANZHOU_TEST_ANSWERS="1",
               QT_PLUGIN_PATH=os.path.join(build, "bench", "plugins"),
               QT_QPA_GENERIC_PLUGINS="lanzhou-bench-save", LANZHOU_BENCH_PICTURE=picture,
               LANZHOU_BENCH_SAVE_AS=os.path.join(out, "saved"))
    env.pop("QT_QPA_PLATFORM", None)

    start = time.monotonic_ns()  # CLOCK_MONOTONIC, the program's clock
    process = subprocess.Popen([os.path.join(build, "bin", "lanzhou")], env=env,
                               stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    events = read_timing(process, FIGURES[-1][2])
    events["start"] = start
    # SIGTERM ends the program as the desktop's logout does: exit code 0.
    process.send_signal(signal.SIGTERM)
    output, _ = process.communicate(timeout=RUN_LIMIT_SECONDS)
    if process.returncode != 0:
        sys.exit(f"lanzhou ended with {process.returncode}")
    saved = os.path.join(out, SAVED_NAME)
    if SAVED_MESSAGE not in output.decode(errors="replace") or not os.path.exists(saved):
        sys.exit(f"the save did not happen; lanzhou said:\n{output.decode(errors='replace')}")
    if png_size(saved) != (SAVED_SIDE, SAVED_SIDE):
        sys.exit(f"{saved} is {png_size(saved)}, not {SAVED_SIDE} × {SAVED_SIDE}")
    if os.listdir(tmpdir):
        sys.exit(f"lanzhou left {os.listdir(tmpdir)} in its temporary folder")
    shutil.rmtree(folder)
    return [(events[last] - events[first]) / 1e6 for _, first, last, _ in FIGURES]


def report(figures, runs):
    lines = ["| figure | median ms | min ms | max ms | goal |", "|---|---:|---:|---:|---|"]
    goals = []
    for (name, _, _, goal), values in zip(FIGURES, figures):
        median = statistics.median(values)
        lines.append(f"| {name} | {median:.1f} | {min(values):.1f} | {max(values):.1f} | "
                     f"at most {goal} ms |")
        goals.append(f"- {'met' if median <= goal else 'MISSED'}: {name} in {median:.1f} ms "
                     f"(at most {goal} ms)")
    width, height = PICTURE_SIZE
    return "\n".join(
        [f"Medians of {runs} starts after a warm-up, on Xvfb without a window manager. Shown: "
         "the window's first exposure painted and flushed. The save: a dropped "
         f"{width} × {height} JPEG, its preview captured at 64 × 64, written as an intermediate "
         "file and converted to PNG.", ""] + lines + ["", "Goals:", ""] + goals)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", required=True, help="the Release build folder")
    parser.add_argument("--quick", action="store_true", help="fewer runs")
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    runs = QUICK_RUNS if args.quick else RUNS

    work = tempfile.mkdtemp(prefix="bench-window-", dir=build)
    xvfb, display = start_display(work)
    try:
        picture = os.path.join(work, "photo")
        subprocess.run([os.path.join(build, "bench", "make_picture"), *map(str, PICTURE_SIZE),
                        picture], check=True)
        photo = picture + ".jpg"
        # One home for all runs, as a person has: its caches are warm after
        # the warm-up.
        home = os.path.join(work, "home")
        os.mkdir(home)
        run_once(build, display, photo, work, home)
        figures = [[] for _ in FIGURES]
        for number in range(runs):
            for values, value in zip(figures, run_once(build, display, photo, work, home)):
                values.append(value)
            print(f"  window: run {number + 1} of {runs}", file=sys.stderr)
    finally:
        xvfb.terminate()
        xvfb.wait()
        shutil.rmtree(work)
    print(report(figures, runs))


if __name__ == "__main__":
    main()

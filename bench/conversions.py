#!/usr/bin/env python3
"""The conversion figures of bench/run.

Makes the source pictures, checks that imgconv does the same work as the
floor programs and cjpeg, then times every conversion with every tool,
alternating the commands, and prints one Markdown table per picture size
followed by the goals and whether they are met.
"""

import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import threading
import time

SIZES = [(6000, 4000), (1920, 1080)]
QUICK_SIZES = [(1920, 1080)]
REPEATS = 5
QUICK_REPEATS = 3
# How often the temporary folder is looked at during the warm-up runs.
SAMPLE_SECONDS = 0.002

# The ratio to the floor each conversion may reach.
FLOOR_LIMITS = {"JPEG → PNG": 1.03, "PNG → JPEG": 1.05, "BMP → PNG": 1.03}
MEMORY_LIMIT = 1.1

PILLOW_TO_PNG = "import sys; from PIL import Image; Image.open(sys.argv[1]).save(sys.argv[2])"
PILLOW_TO_JPEG = (
    "import sys; from PIL import Image; "
    "Image.open(sys.argv[1]).save(sys.argv[2], quality=75, optimize=True)"
)
IMAGEMAGICK = "convert-im6.q16"
VIPS_ONE_CORE = "vips, one core"
VIPS_SAME_WORK = "vips, one core, PNG checked"


class Tool:
    """One way of doing a task: a name, a command line and its environment."""

    def __init__(self, name, command, env=None, note=""):
        self.name = name
        self.command = command  # (source, target) -> argv
        self.env = env or {}
        self.note = note
        self.walls = []
        self.cpus = []
        self.memories = []
        self.temporary = 0


def pillow_python():
    """A Python that can import PIL (Debian's python3-pil lives in /usr/bin/python3)."""
    for python in ("/usr/bin/python3", shutil.which("python3")):
        if python and subprocess.run([python, "-c", "import PIL"],
                                     capture_output=True).returncode == 0:
            return python
    return None


def tools_for(task, build):
    imgconv = os.path.join(build, "bin", "imgconv")
    to_png = task != "PNG → JPEG"
    floor = os.path.join(build, "bench", "floor_to_png" if to_png else "floor_to_jpeg")
    tools = [
        Tool("imgconv", lambda s, t: [imgconv, s, t]),
        Tool("floor: libjpeg + libpng, one buffer", lambda s, t: [floor, s, t]),
    ]
    if shutil.which(IMAGEMAGICK):
        if to_png:
            command = lambda s, t: [IMAGEMAGICK, s, "-interlace", "PNG", t]
        else:
            command = lambda s, t: [IMAGEMAGICK, s, "-define", "jpeg:optimize-coding=true",
                                    "-define", "jpeg:dct-method=islow", "-quality", "75", t]
        tools.append(Tool("ImageMagick 6", command))
    if shutil.which("vips"):
        options = "[interlace,filter=all]" if to_png else "[Q=75,optimize_coding]"
        command = lambda s, t: ["vips", "copy", s, t + options]
        tools.append(Tool("vips", command, note="its own threads"))
        # VIPS_CONCURRENCY=1 still loads and saves in threads of their own
        # that overlap; only one CPU keeps vips to one core's work.
        one_core = {"VIPS_CONCURRENCY": "1"}
        pinned = lambda s, t: ["taskset", "-c", "0"] + command(s, t)
        tools.append(Tool(VIPS_ONE_CORE, pinned, env=one_core))
        if not to_png:
            # vips skips the CRC and Adler-32 checks of a PNG unless asked
            # to fail on errors; imgconv and the floor check both.
            checked = lambda s, t: ["taskset", "-c", "0", "vips", "copy", s + "[fail_on=error]",
                                    t + options]
            tools.append(Tool(VIPS_SAME_WORK, checked, env=one_core,
                              note="checksums checked, as imgconv does"))
    python = pillow_python()
    if python:
        script = PILLOW_TO_PNG if to_png else PILLOW_TO_JPEG
        tools.append(Tool("Pillow", lambda s, t: [python, "-c", script, s, t],
                          note="not interlaced: it cannot" if to_png else ""))
    return tools


def folder_bytes(folder):
    """Bytes of disk the files under `folder` take."""
    total = 0
    for root, _, names in os.walk(folder):
        for name in names:
            try:
                total += os.lstat(os.path.join(root, name)).st_blocks * 512
            except FileNotFoundError:
                pass
    return total


def run(tool, source, target, work, sample=False):
    """Runs the tool once with a private TMPDIR. Returns (wall seconds, CPU
    seconds, peak resident bytes, peak temporary bytes, files left behind)."""
    if os.path.exists(target):
        os.remove(target)
    tmpdir = tempfile.mkdtemp(prefix="tmpdir-", dir=work)
    env = dict(os.environ, TMPDIR=tmpdir, **tool.env)
    report = os.path.join(work, "time.txt")
    argv = ["/usr/bin/time", "-v", "-o", report] + tool.command(source, target)

    peak = [0]
    done = threading.Event()

    def watch():
        while not done.is_set():
            peak[0] = max(peak[0], folder_bytes(tmpdir))
            time.sleep(SAMPLE_SECONDS)

    watcher = threading.Thread(target=watch) if sample else None
    if watcher:
        watcher.start()
    errors = tempfile.TemporaryFile(dir=work)
    start = time.perf_counter()
    process = subprocess.Popen(argv, env=env, stdout=subprocess.DEVNULL, stderr=errors)
    # wait4 counts the CPU time of time's child in microseconds; time -v
    # itself rounds it to 10 ms.
    _, status, usage = os.wait4(process.pid, 0)
    wall = time.perf_counter() - start
    process.returncode = os.waitstatus_to_exitcode(status)
    done.set()
    if watcher:
        watcher.join()
    if process.returncode != 0 or not os.path.exists(target):
        errors.seek(0)
        sys.exit(f"{tool.name} failed on {source}:\n{errors.read().decode(errors='replace')}")
    errors.close()

    with open(report) as lines:
        peaks = [line for line in lines if "Maximum resident set size" in line]
    memory = int(peaks[0].rpartition(": ")[2]) * 1024
    cpu = usage.ru_utime + usage.ru_stime
    left = os.listdir(tmpdir)
    shutil.rmtree(tmpdir)
    return wall, cpu, memory, peak[0], left


def same_bytes(a, b):
    with open(a, "rb") as first, open(b, "rb") as second:
        return first.read() == second.read()


def check_same_work(build, pictures, work):
    """imgconv's PNG must equal the floor's from the same source, and its
    JPEG cjpeg's from the same pixels; otherwise a setting differs and no
    time means anything."""
    imgconv = os.path.join(build, "bin", "imgconv")
    floor_png = os.path.join(build, "bench", "floor_to_png")
    out = lambda name: os.path.join(work, name)
    checks = []
    for kind in ("jpg", "bmp"):
        subprocess.run([imgconv, f"{pictures}.{kind}", out("check-imgconv.png")], check=True)
        subprocess.run([floor_png, f"{pictures}.{kind}", out("check-floor.png")], check=True)
        checks.append((f"{kind.upper()} → PNG: imgconv = floor",
                       same_bytes(out("check-imgconv.png"), out("check-floor.png"))))
    subprocess.run([imgconv, f"{pictures}.png", out("check-imgconv.jpg")], check=True)
    subprocess.run([os.path.join(build, "bench", "floor_to_jpeg"), f"{pictures}.png",
                    out("check-floor.jpg")], check=True)
    if shutil.which("cjpeg"):
        subprocess.run(["cjpeg", "-quality", "75", "-optimize", "-outfile", out("check-cjpeg.jpg"),
                        f"{pictures}.ppm"], check=True)
        checks.append(("PNG → JPEG: imgconv = cjpeg -quality 75 -optimize",
                       same_bytes(out("check-imgconv.jpg"), out("check-cjpeg.jpg"))))
        checks.append(("PNG → JPEG: floor = cjpeg -quality 75 -optimize",
                       same_bytes(out("check-floor.jpg"), out("check-cjpeg.jpg"))))
    else:
        checks.append(("PNG → JPEG: imgconv = floor",
                       same_bytes(out("check-imgconv.jpg"), out("check-floor.jpg"))))
    for name in os.listdir(work):
        if name.startswith("check-"):
            os.remove(out(name))
    return checks


def measure(task, source, build, work, repeats):
    tools = tools_for(task, build)
    target = os.path.join(work, "out." + ("jpg" if task == "PNG → JPEG" else "png"))
    # The warm-up brings the source into the page cache and samples the
    # temporary folder; only the runs after it are timed.
    for tool in tools:
        _, _, _, tool.temporary, left = run(tool, source, target, work, sample=True)
        if tool.name == "imgconv" and left:
            sys.exit(f"imgconv left {left} in its temporary folder")
    for round_number in range(repeats):
        shift = round_number % len(tools)
        for tool in tools[shift:] + tools[:shift]:
            wall, cpu, memory, _, _ = run(tool, source, target, work)
            tool.walls.append(wall)
            tool.cpus.append(cpu)
            tool.memories.append(memory)
        print(f"  {task}: round {round_number + 1} of {repeats}", file=sys.stderr)
    os.remove(target)
    return tools


def paired_ratio(figures, floor_figures):
    """The median of the per-round ratios: each round runs every command once,
    back to back, so a change of the machine's load mostly cancels."""
    return statistics.median(a / b for a, b in zip(figures, floor_figures))


def mb(value):
    return f"{value / 1e6:.1f}"


def report(size, results, pictures):
    width, height = size
    raster = width * height * 3
    lines = [f"### {width} × {height}", "",
             "| task | program | median s | × floor | CPU s | CPU × floor | peak RSS MB | temp MB "
             "| note |",
             "|---|---|---:|---:|---:|---:|---:|---:|---|"]
    goals = []
    for task, tools in results:
        floor = tools[1]
        for tool in tools:
            ratio = paired_ratio(tool.walls, floor.walls)
            cpu_ratio = paired_ratio(tool.cpus, floor.cpus)
            lines.append(f"| {task} | {tool.name} | {statistics.median(tool.walls):.3f} | "
                         f"{ratio:.3f} | {statistics.median(tool.cpus):.2f} | {cpu_ratio:.3f} | "
                         f"{mb(statistics.median(tool.memories))} | {mb(tool.temporary)} | "
                         f"{tool.note} |")
        goals += task_goals(task, tools, raster, pictures)
    lines += ["", f"Goals at {width} × {height}:", ""]
    lines += [f"- {'met' if met else 'MISSED'}: {text}" for text, met in goals]
    return "\n".join(lines)


def task_goals(task, tools, raster, pictures):
    by_name = {tool.name: tool for tool in tools}
    ours, floor = tools[0], tools[1]
    wall = statistics.median(ours.walls)
    ratio = paired_ratio(ours.walls, floor.walls)
    limit = FLOOR_LIMITS[task]
    goals = [(f"{task} at {ratio:.3f} × the floor (at most {limit})", ratio <= limit)]
    for rival in ("ImageMagick 6", "Pillow"):
        if rival in by_name:
            theirs = statistics.median(by_name[rival].walls)
            goals.append((f"{task} faster than {rival} ({wall:.3f} s against {theirs:.3f} s)",
                          wall < theirs))
    vips = next((name for name in (VIPS_SAME_WORK, VIPS_ONE_CORE) if name in by_name), None)
    if vips:
        theirs = statistics.median(by_name[vips].walls)
        goals.append((f"{task} no slower than {vips} ({wall:.3f} s against {theirs:.3f} s)",
                       wall <= theirs))
    memory = statistics.median(ours.memories) / statistics.median(floor.memories)
    goals.append((f"{task} peak memory {memory:.3f} × the floor's (at most {MEMORY_LIMIT})",
                  memory <= MEMORY_LIMIT))
    source = os.path.getsize(pictures + {"JPEG → PNG": ".jpg", "PNG → JPEG": ".png",
                                         "BMP → PNG": ".bmp"}[task])
    goals.append((f"{task} temporary disk {mb(ours.temporary)} MB (at most raster + source = "
                  f"{mb(raster + source)} MB)", ours.temporary <= raster + source))
    return goals


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", required=True, help="the Release build folder")
    parser.add_argument("--quick", action="store_true",
                        help="only the small picture, and fewer repetitions")
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    work = os.path.join(build, "bench-work")
    os.makedirs(work, exist_ok=True)
    sizes = QUICK_SIZES if args.quick else SIZES
    repeats = QUICK_REPEATS if args.quick else REPEATS

    tables = []
    failed_checks = []
    for width, height in sizes:
        pictures = os.path.join(work, f"picture-{width}x{height}")
        subprocess.run([os.path.join(build, "bench", "make_picture"), str(width), str(height),
                        pictures], check=True)
        for text, same in check_same_work(build, pictures, work):
            print(f"{'same' if same else 'DIFFERENT'}: {text} ({width} × {height})")
            if not same:
                failed_checks.append(text)
        if failed_checks:
            sys.exit("the outputs differ: a setting differs; no time is taken")
        results = []
        for task, extension in (("JPEG → PNG", "jpg"), ("PNG → JPEG", "png"),
                                ("BMP → PNG", "bmp")):
            results.append((task, measure(task, f"{pictures}.{extension}", build, work,
                                          repeats)))
        tables.append(report((width, height), results, pictures))
        for extension in ("ppm", "jpg", "png", "bmp"):
            os.remove(f"{pictures}.{extension}")

    print()
    print(f"Medians of {repeats} runs after a warm-up; × floor is the median of the per-round "
          "ratios. CPU s is user + system time (above the wall time: more than one thread); "
          "on a busy machine its ratio is the steadier one. "
          "Peak RSS from /usr/bin/time -v; temp: the most the private TMPDIR held.")
    print()
    print("\n\n".join(tables))


if __name__ == "__main__":
    main()

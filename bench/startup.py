#!/usr/bin/env python3
"""Times the program's start up to its main window being shown, without the splash.

    python3 bench/startup.py [--runs 20] build/release/bench/zanvo-startup-bench

Each run starts the program on Qt's offscreen platform with -Embedding (no splash) and a
settings folder of its own; the program prints the monotonic clock when its main window shows,
and the time is that clock minus the clock read just before the process was started. The first
run warms the page cache and is not counted. Prints the median, the fastest and the slowest.
"""

import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time


def one_run(program, config):
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", XDG_CONFIG_HOME=config)
    started = time.monotonic_ns()
    done = subprocess.run([program, "-Embedding"], env=env, capture_output=True, text=True,
                          timeout=60, check=False)
    lines = done.stdout.split()
    if done.returncode != 0 or not lines:
        sys.exit(f"startup.py: the program did not show its window: {done.stderr.strip()}")
    return (int(lines[0]) - started) / 1e6


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runs", type=int, default=20)
    parser.add_argument("program")
    args = parser.parse_args()
    with tempfile.TemporaryDirectory() as config:
        one_run(args.program, config)
        times = [one_run(args.program, config) for _ in range(args.runs)]
    print(f"start to main window shown, {args.runs} runs: median {statistics.median(times):.1f} ms, "
          f"fastest {min(times):.1f} ms, slowest {max(times):.1f} ms")


if __name__ == "__main__":
    main()

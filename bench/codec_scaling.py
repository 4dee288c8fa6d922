#!/usr/bin/env python3
"""How far the machine itself lets the codec scale, and how steady its speed is.

The first backup's limit in bench/parallel_bench.py, P / (1 + d/c), takes c,
bzip2 -9 of each file on one core, as if P cores each went as fast as that
one. This bench times the codec alone on the same kind of tree (the mixed
tree of parallel_bench.py): a one-core pass of bzip2 -9 over every file, a
pass with the files dealt to P processes that run side by side (the largest
file first, each to the least loaded process), and the one-core pass again.
Per round it prints both one-core passes (wall and cpu time: the same work,
so any difference between them is the machine's speed changing) and the
side-by-side pass as a speed-up over the mean of the two, with its cpu time
over theirs. It prints figures; it never fails on a timing.

  bench/codec_scaling.py [--mb 300] [--rounds 2] [--workers 2]
"""
import argparse
import os
import random
import resource
import shutil
import subprocess
import sys
import tempfile
import threading
import time

sys.dont_write_bytecode = True  # no __pycache__ beside the sources
from parallel_support import TextMaker, files_of, make_mixed  # noqa: E402

BATCH = 1000  # files to a process, as parallel_bench.py's anchors


def children_cpu():
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime


def compress(files):
    for i in range(0, len(files), BATCH):
        subprocess.run(["bzip2", "-9", "-c", "--"] + files[i:i + BATCH], stdout=subprocess.DEVNULL,
                       check=True)


def dealt(files, workers):
    """The files in `workers` lists of about equal bytes."""
    lists, loads = [[] for _ in range(workers)], [0] * workers
    for path in sorted(files, key=os.path.getsize, reverse=True):
        i = loads.index(min(loads))
        lists[i].append(path)
        loads[i] += os.path.getsize(path)
    return lists


def timed(run):
    """Wall and cpu seconds of `run()`, whose work is in child processes."""
    cpu, start = children_cpu(), time.monotonic()
    run()
    return time.monotonic() - start, children_cpu() - cpu


def side_by_side(lists):
    threads = [threading.Thread(target=compress, args=(files,)) for files in lists]
    for t in threads:
        t.start()
    for t in threads:
        t.join()


def main():
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument("--mb", type=int, default=300)
    p.add_argument("--rounds", type=int, default=2)
    p.add_argument("--workers", type=int, default=os.cpu_count() or 1)
    p.add_argument("--seed", type=int, default=20261208)
    a = p.parse_args()
    if shutil.which("bzip2") is None:
        sys.exit("codec_scaling: bzip2 is not installed")
    work = tempfile.mkdtemp(prefix="varnoket-codec-")
    try:
        root = os.path.join(work, "mixed")
        make_mixed(root, a.mb * 1_000_000, TextMaker(a.seed), random.Random(a.seed + 1))
        files = files_of(root)
        lists = dealt(files, a.workers)
        print("tree: %d files, %.0f MB; %d process(es) side by side" %
              (len(files), sum(map(os.path.getsize, files)) / 1e6, a.workers))
        for r in range(a.rounds):
            w1, c1 = timed(lambda: compress(files))
            wp, cp = timed(lambda: side_by_side(lists))
            w2, c2 = timed(lambda: compress(files))
            print("round %d: one core %.1f s (cpu %.1f), side by side %.1f s (cpu %.1f), one core "
                  "%.1f s (cpu %.1f); speed-up %.2f of %d, cpu %.2f of one core's; the two "
                  "one-core passes differ by %.0f %%" %
                  (r + 1, w1, c1, wp, cp, w2, c2, (w1 + w2) / 2 / wp, a.workers,
                   cp / ((c1 + c2) / 2), abs(w1 - w2) / min(w1, w2) * 100), flush=True)
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Measures the backup's use of every core against plain tools on the same files.

Prints, with 1 worker and with every core: the first backup of a mixed tree and
of one large file, the no-change backup of many small files, verify and
restore, a first backup killed at about 80 % and resumed; each beside its
anchor measured in the same run (per-file bzip2 -9 and bunzip2 on one thread,
cat and cksum over the same files, restic's first and no-change backup when
restic is installed). It prints figures; it never fails on a timing.

  bench/parallel_bench.py --cli build-bench/src/cli/varnoket-cli [--quick]
"""
import argparse
import os
import random
import shutil
import subprocess
import sys
import time

MB = 1e6


def parse_args():
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument("--cli", required=True, help="the varnoket-cli to measure")
    p.add_argument("--work", default="/tmp/varnoket-parallel-bench")
    p.add_argument("--quick", action="store_true", help="small trees, to try the bench")
    p.add_argument("--mixed-mb", type=int, default=300)
    p.add_argument("--single-mb", type=int, default=250)
    p.add_argument("--small-files", type=int, default=60000)
    p.add_argument("--seed", type=int, default=20261208)
    p.add_argument("--repeat", type=int, default=2,
                   help="first backups and their anchors run this many times; the best counts")
    a = p.parse_args()
    if a.quick:
        a.mixed_mb, a.single_mb, a.small_files = 40, 30, 3000
    a.cli = os.path.abspath(a.cli)
    return a


class Measure:
    """Runs one command as a child and keeps its wall time and peak memory.

    The peak comes from GNU time, whose own child is forked from that small
    process: Linux carries the peak of the image a process had before exec
    into ru_maxrss, so a child forked from this script would show its size.
    """

    def __init__(self, argv, stdout=subprocess.DEVNULL, cwd=None, env=None, kill_after=None):
        report = os.path.join(os.environ.get("TMPDIR", "/tmp"), "varnoket-bench-time.%d" % os.getpid())
        start = time.monotonic()
        child = subprocess.Popen(["/usr/bin/time", "-f", "%M %U %S", "-o", report] + argv,
                                 stdout=stdout, stderr=subprocess.PIPE, cwd=cwd, env=env)
        if kill_after is not None:
            time.sleep(kill_after)
            # The measured program, GNU time's child, not GNU time itself.
            subprocess.run(["pkill", "-KILL", "-P", str(child.pid)])
        self.stderr = child.communicate()[1].decode(errors="replace")
        self.seconds = time.monotonic() - start
        self.code = child.returncode
        self.peak_kib, self.cpu = None, None
        try:
            with open(report) as f:
                fields = f.read().split()[-3:]
            self.peak_kib = int(fields[0])
            self.cpu = float(fields[1]) + float(fields[2])
        except (OSError, ValueError, IndexError):
            pass  # killed: GNU time did not write its report
        if os.path.exists(report):
            os.remove(report)


def run_each(argv_of_file, files):
    """One process per file, one after the other: a single-threaded anchor."""
    start = time.monotonic()
    for f in files:
        subprocess.run(argv_of_file(f), stdout=subprocess.DEVNULL, check=True)
    return time.monotonic() - start


class TextMaker:
    """Files that compress as documents and sources do (ratio about 3 to 4)."""

    def __init__(self, seed):
        rnd = random.Random(seed)
        words = ["".join(rnd.choice("abcdefghijklmnopqrstuvwxyz") for _ in range(rnd.randint(2, 11)))
                 for _ in range(6000)]
        lines = []
        size = 0
        while size < 8 << 20:
            line = " ".join(rnd.choices(words, k=rnd.randint(3, 16))) + "\n"
            if rnd.random() < 0.05:
                line += os.urandom(rnd.randint(8, 96)).hex() + "\n"
            lines.append(line)
            size += len(line)
        self.corpus = "".join(lines).encode()
        self.rnd = rnd

    def make(self, size):
        out = bytearray()
        while len(out) < size:
            start = self.rnd.randrange(0, len(self.corpus) - 65536)
            out += self.corpus[start:start + self.rnd.randint(4096, 65536)]
            if self.rnd.random() < 0.1:
                out += os.urandom(self.rnd.randint(512, 8192))  # packed data here and there
        return bytes(out[:size])


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def files_of(root):
    out = []
    for folder, _, names in os.walk(root):
        out.extend(os.path.join(folder, n) for n in names)
    out.sort()
    return out


class Store:
    """A program folder, a store root and a station whose backup set is `source`."""

    def __init__(self, work, name, source):
        self.program = os.path.join(work, name, "program")
        self.root = os.path.join(work, name, "store")
        self.station = "BENCH"
        self.source = source
        self.reset()

    def reset(self):
        shutil.rmtree(os.path.dirname(self.program), ignore_errors=True)
        os.makedirs(self.program)
        station = os.path.join(self.root, self.station)
        os.makedirs(station)
        # The marker a configured store carries: runs write only where it is.
        with open(os.path.join(self.root, "VARNOKET.STORE"), "w", newline="") as f:
            f.write("[STORE]\r\nID=%s\r\nCREATED=2026-01-01 00:00:00\r\n" % os.urandom(16).hex())
        with open(os.path.join(self.program, "VARNOKET.INI"), "w", newline="") as f:
            f.write("[PARAMS]\r\nRACINE=%s\r\nHEURE=13\r\nMINUTE=0\r\nMAXSAVE=30\r\n" % self.root)
        with open(os.path.join(station, self.station + ".ini"), "w", newline="") as f:
            f.write("[PARAMS]\r\nLASTBACKUP=31/12/2002\r\nEXCLUSIONS=\r\n[DIRECTORIES]\r\nD1=%s\r\n"
                    % self.source)

    def command(self, cli, workers, *words):
        argv = [cli, "--program-folder", self.program, "--station", self.station]
        if workers:
            argv += ["--workers", str(workers)]
        return argv + list(words)

    def day(self):
        days = [d for d in os.listdir(os.path.join(self.root, self.station)) if d.isdigit()]
        d = sorted(days)[-1]
        return "%s/%s/%s" % (d[0:2], d[2:4], d[4:8])


class Bench:
    def __init__(self, a):
        self.a = a
        self.cores = os.cpu_count() or 1
        self.rows = []
        self.ratios = []
        self.problems = []
        self.work = a.work
        shutil.rmtree(self.work, ignore_errors=True)
        os.makedirs(self.work)
        self.restic = shutil.which("restic")
        self.first_seconds = None

    def row(self, name, m, files, size, note=""):
        self.rows.append((name, m.seconds if m else None, m.cpu if m else None,
                          m.peak_kib if m else None, files, size, note))

    def ratio(self, name, anchor, ours, target):
        value = anchor / ours if anchor and ours else None
        self.ratios.append((name, value, target))

    def check(self, m, what):
        if m.code != 0:
            self.problems.append("%s exited %d: %s" % (what, m.code, m.stderr.strip()[-300:]))

    # ---- trees ----

    def make_trees(self):
        text = TextMaker(self.a.seed)
        rnd = random.Random(self.a.seed + 1)
        self.mixed = os.path.join(self.work, "mixed")
        total = self.a.mixed_mb * 1_000_000
        large = total * 2 // 3
        for i in range(4):
            write(os.path.join(self.mixed, "media", "large%d.bin" % i), text.make(large // 4))
        made, i = large, 0
        while made < total:
            size = min(total - made, int(rnd.expovariate(1 / 24000)) + 1)
            write(os.path.join(self.mixed, "docs", "d%03d" % (i % 200), "f%05d.txt" % i), text.make(size))
            made += size
            i += 1
        self.single = os.path.join(self.work, "single")
        write(os.path.join(self.single, "disk.img"), text.make(self.a.single_mb * 1_000_000))
        self.small = os.path.join(self.work, "small")
        for i in range(self.a.small_files):
            write(os.path.join(self.small, "p%03d" % (i % 300), "s%06d.dat" % i),
                  text.make(rnd.randint(200, 4000)))

    # ---- measurements ----

    def first_backup(self, label, tree):
        files = files_of(tree)
        size = sum(os.path.getsize(f) for f in files)
        anchor = min(run_each(lambda f: ["bzip2", "-9", "-c", f], files)
                     for _ in range(self.a.repeat))
        self.rows.append(("per-file bzip2 -9, one thread: " + label, anchor, None, None,
                          len(files), size, "anchor"))
        store = Store(self.work, "store-" + label, tree)
        for workers in self.worker_counts():
            m = None
            for _ in range(self.a.repeat):
                store.reset()
                attempt = Measure(store.command(self.a.cli, workers, "backup"))
                self.check(attempt, "backup " + label)
                if m is None or attempt.seconds < m.seconds:
                    m = attempt
            self.row("first backup %s, %d worker(s)" % (label, workers), m, len(files), size)
            if label == "mixed":
                self.first_seconds = m.seconds
            self.ratio("first backup %s, %d worker(s): bzip2 time / ours" % (label, workers),
                       anchor, m.seconds, ">= 1.8" if label == "mixed" else ">= 1.7")
        return store, files, size

    def worker_counts(self):
        counts = [1, 2] + ([self.cores] if self.cores > 2 else [])
        return sorted(set(counts))

    def verify_and_restore(self, store, files, size):
        station = os.path.join(store.root, store.station)
        stored = [f for d in os.listdir(station) if d.isdigit()
                  for f in files_of(os.path.join(station, d)) if not f.endswith("/filelist.txt")]
        anchor = run_each(lambda f: ["bunzip2", "-c", f], stored)
        self.rows.append(("per-file bunzip2, one thread", anchor, None, None, len(stored), size,
                          "anchor"))
        day = store.day()
        for workers in self.worker_counts():
            m = Measure(store.command(self.a.cli, workers, "verify", day))
            self.check(m, "verify")
            self.row("verify, %d worker(s)" % workers, m, len(files), size)
            self.ratio("verify, %d worker(s): bunzip2 time / ours" % workers, anchor, m.seconds,
                       ">= 1.8")
            if workers == self.worker_counts()[-1] and self.first_seconds:
                # The backup's own check decodes the same copies on the same
                # pool: its share of the run is about this.
                self.ratios.append(("check of new copies: verify time / first backup time",
                                    m.seconds / self.first_seconds, "report"))
            target = os.path.join(self.work, "restored-%d" % workers)
            shutil.rmtree(target, ignore_errors=True)
            m = Measure(store.command(self.a.cli, workers, "restore", day, "--to", target))
            self.check(m, "restore")
            self.row("restore --to, %d worker(s)" % workers, m, len(files), size)
            self.ratio("restore, %d worker(s): bunzip2 time / ours" % workers, anchor, m.seconds,
                       ">= 1.8")
            again = Measure(store.command(self.a.cli, workers, "restore", day, "--to", target))
            self.row("restore again, already there", again, len(files), size)
            shutil.rmtree(target, ignore_errors=True)

    def killed_and_resumed(self, files, size):
        store = Store(self.work, "store-resume", self.mixed)
        full = None
        for _ in range(self.a.repeat):
            store.reset()
            attempt = Measure(store.command(self.a.cli, 0, "backup"))
            if full is None or attempt.seconds < full.seconds:
                full = attempt
        store.reset()
        killed = Measure(store.command(self.a.cli, 0, "backup"), kill_after=full.seconds * 0.8)
        resumed = Measure(store.command(self.a.cli, 0, "backup"))
        self.check(resumed, "resumed backup")
        self.row("first backup, every core (again)", full, len(files), size)
        self.row("  killed at 80 %", killed, len(files), size, "SIGKILL")
        self.row("  resumed run", resumed, len(files), size)
        value = resumed.seconds / full.seconds if full.seconds else None
        self.ratios.append(("resumed run time / full run time", value, "<= 0.30"))

    def no_change(self):
        files = files_of(self.small)
        size = sum(os.path.getsize(f) for f in files)
        store = Store(self.work, "store-small", self.small)
        first = Measure(store.command(self.a.cli, 0, "backup"))
        self.check(first, "first backup of the small files")
        self.row("first backup, small files, every core", first, len(files), size)
        again = Measure(store.command(self.a.cli, 0, "backup"))
        self.check(again, "no-change backup")
        self.row("no-change backup, small files", again, len(files), size,
                 "peak %.0f B per file" % ((again.peak_kib or 0) * 1024 / len(files)))
        lists = [files[i:i + 1000] for i in range(0, len(files), 1000)]
        start = time.monotonic()
        for part in lists:
            subprocess.run(["cat", "--"] + part, stdout=subprocess.DEVNULL, check=True)
        cat = time.monotonic() - start
        self.rows.append(("cat over the same files", cat, None, None, len(files), size, "anchor"))
        start = time.monotonic()
        for part in lists:
            subprocess.run(["cksum", "--"] + part, stdout=subprocess.DEVNULL, check=True)
        cksum = time.monotonic() - start
        self.rows.append(("cksum over the same files", cksum, None, None, len(files), size,
                          "anchor: read and checksum"))
        self.ratios.append(("no-change run / cksum pass", again.seconds / cksum, "<= 1.3"))
        if self.restic:
            repo = os.path.join(self.work, "restic-small")
            env = dict(os.environ, RESTIC_PASSWORD="bench", RESTIC_REPOSITORY=repo)
            subprocess.run([self.restic, "init"], env=env, stdout=subprocess.DEVNULL, check=True)
            r1 = Measure([self.restic, "backup", "-q", self.small], env=env)
            r2 = Measure([self.restic, "backup", "-q", self.small], env=env)
            self.row("restic first backup, small files", r1, len(files), size, "anchor")
            self.row("restic no-change backup, small files", r2, len(files), size, "anchor")
            self.ratio("no-change: restic time / ours", r2.seconds, again.seconds, ">= 3")

    def restic_first(self, tree, files, size):
        if not self.restic:
            self.rows.append(("restic", None, None, None, 0, 0, "not installed: skipped"))
            return
        repo = os.path.join(self.work, "restic-mixed")
        env = dict(os.environ, RESTIC_PASSWORD="bench", RESTIC_REPOSITORY=repo)
        subprocess.run([self.restic, "init"], env=env, stdout=subprocess.DEVNULL, check=True)
        r = Measure([self.restic, "backup", "-q", tree], env=env)
        self.row("restic first backup, mixed tree", r, len(files), size, "anchor")
        shutil.rmtree(repo, ignore_errors=True)

    # ---- report ----

    def print(self):
        print("\n%-44s %8s %8s %9s %8s %9s   %s" % ("step", "seconds", "cpu s", "peak MB", "files",
                                                   "MB", "note"))
        print("-" * 104)
        for name, sec, cpu, peak, files, size, note in self.rows:
            def fmt(v, f):
                return ("%" + f) % v if v is not None else "-"
            print("%-44s %8s %8s %9s %8d %9.1f   %s" % (
                name, fmt(sec, ".2f"), fmt(cpu, ".2f"),
                fmt(peak * 1024 / MB if peak is not None else None, ".1f"), files, size / MB, note))
        print("\nratios")
        for name, value, target in self.ratios:
            shown = "%.2f" % value if value is not None else "-"
            print("  %-58s %7s  (target %s)" % (name, shown, target))
        for p in self.problems:
            print("PROBLEM: " + p)

    def run(self):
        print("parallel bench: %d cores, load average %s" % (self.cores, os.getloadavg()))
        print("building trees in %s ..." % self.work, flush=True)
        self.make_trees()
        print("mixed tree: first backups ...", flush=True)
        store, files, size = self.first_backup("mixed", self.mixed)
        self.restic_first(self.mixed, files, size)
        print("verify and restore ...", flush=True)
        self.verify_and_restore(store, files, size)
        print("one large file ...", flush=True)
        self.first_backup("single", self.single)
        print("killed and resumed ...", flush=True)
        self.killed_and_resumed(files, size)
        print("small files, no change ...", flush=True)
        self.no_change()
        self.print()
        shutil.rmtree(self.work, ignore_errors=True)


if __name__ == "__main__":
    Bench(parse_args()).run()

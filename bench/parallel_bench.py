#!/usr/bin/env python3
"""Measures the backup's use of every core against what the machine allows.

For each tree it times its own anchors on one core: c, bzip2 -9 of each file
on its own, and d, bunzip2 of each stored copy (a thousand files to a
process, so that starting processes does not weigh in the anchors). Each
anchor is timed again after each round of the runs it is the anchor of (c for
first backups, d for verifies, dw for restores), and each run is compared
with the mean of the anchor timed either side of its round; the spread of an
anchor's timings is printed beside it. A backup
compresses every new copy and then decodes it again to check it, so with P
workers it can at best be P / (1 + d/c) times as fast as c; a verify
decodes only, so at best P times as fast as d; a restore decodes and writes
each file, so at best P times as fast as dw, bunzip2 writing each file (d is
printed beside it). With 1, 2 and every
core it prints the first backup of a mixed tree and of one large file,
verify and restore, each as a speed-up beside that limit and the share of
it reached; with every core, the no-change run of many small files beside a
cksum pass (and restic's no-change run when restic is installed), first
backups of both trees killed at 80 % of their work (the bytes they write) and
then resumed, and the peak memory. A last table, "limits", has one line per
measure and worker count. It prints figures; it never fails on a timing.

  bench/parallel_bench.py --cli build-bench/src/cli/varnoket-cli [--quick]
"""
import argparse
import os
import random
import shutil
import subprocess
import sys
import time

sys.dont_write_bytecode = True  # no __pycache__ beside the sources
from parallel_report import Report  # noqa: E402
from parallel_support import (Measure, Store, TextMaker, bunzip2_to_files,  # noqa: E402
                              cpu_seconds, files_of, make_mixed, make_small, run_batched,
                              set_aside, write)

SHARE_TARGET = 0.9
FEW_FILES = 100  # the set whose no-change run shows the memory that does not grow with it


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
                   help="rounds of first backups, and timings of each anchor; the best counts")
    a = p.parse_args()
    if a.quick:
        a.mixed_mb, a.single_mb, a.small_files = 40, 30, 3000
    a.cli = os.path.abspath(a.cli)
    return a


class Tree:
    """A source tree, its one-core anchors and its first backups by worker count."""

    def __init__(self, label, root):
        self.label = label
        self.root = root
        self.files = files_of(root)
        self.size = sum(os.path.getsize(f) for f in self.files)
        self.c = self.d = None
        self.store = None
        self.runs = {}


class Bench:
    def __init__(self, a):
        self.a = a
        self.cores = os.cpu_count() or 1
        self.all = self.worker_counts()[-1]
        self.report = Report()
        self.work = a.work
        shutil.rmtree(self.work, ignore_errors=True)
        os.makedirs(self.work)
        os.environ["VARNOKET_BENCH_TRASH"] = os.path.join(self.work, "trash")
        self.restic = shutil.which("restic")

    def worker_counts(self):
        counts = [1, 2] + ([self.cores] if self.cores > 2 else [])
        return sorted(set(counts))

    def check(self, m, what):
        if m.code != 0:
            self.report.problem("%s exited %d: %s" % (what, m.code, m.stderr.strip()[-300:]))

    def best(self, make):
        """The fastest of --repeat runs of `make()`, which returns seconds or a Measure."""
        runs = [make() for _ in range(self.a.repeat)]
        return min(runs, key=lambda r: r if isinstance(r, float) else r.seconds)

    # ---- trees ----

    def make_trees(self):
        text = TextMaker(self.a.seed)
        rnd = random.Random(self.a.seed + 1)
        make_mixed(os.path.join(self.work, "mixed"), self.a.mixed_mb * 1_000_000, text, rnd)
        single = text.make(self.a.single_mb * 1_000_000)
        write(os.path.join(self.work, "single", "disk.img"), single)
        make_small(os.path.join(self.work, "small"), self.a.small_files, text, rnd)
        self.mixed = Tree("mixed", os.path.join(self.work, "mixed"))
        self.single = Tree("single", os.path.join(self.work, "single"))
        self.small = os.path.join(self.work, "small")

    # ---- measurements ----

    def beside_anchor(self, anchor, run):
        """--repeat rounds of `run(p)` for each worker count, `anchor()` timed
        before the first round and after each.

        A run's speed-up is taken against the mean of the anchors either side
        of its round. The machine's speed drifts while the bench runs (an
        anchor drifted by a third from one timing to the next on this VM),
        and a speed-up over an anchor timed minutes away from the run would
        carry that drift. Returns the anchors and, by worker count, the
        rounds as (speed-up, Measure).
        """
        anchors = [anchor()]
        rounds = {p: [] for p in self.worker_counts()}
        for _ in range(self.a.repeat):
            runs = {p: run(p) for p in rounds}
            anchors.append(anchor())
            beside = (anchors[-2] + anchors[-1]) / 2
            for p, m in runs.items():
                rounds[p].append((beside / m.seconds, m))
        return anchors, rounds

    @staticmethod
    def spread(anchors):
        """The anchors' timings and how far apart they lie, for the notes."""
        return "best of %d: %s s, spread %.0f %%" % (
            len(anchors), " ".join("%.1f" % a for a in anchors),
            100 * (max(anchors) / min(anchors) - 1))

    def report_rounds(self, name, tree, rounds):
        """Each worker count's fastest run, with the speed-up of every round."""
        best = {}
        for p, timed in rounds.items():
            best[p] = min((m for _, m in timed), key=lambda m: m.seconds)
            self.report.step("%s, %d worker(s)" % (name, p), best[p], tree.files, tree.size,
                             "speed-up by round: " + " ".join("%.2f" % s for s, _ in timed))
        return best

    def first_backups(self, tree):
        """c and the first backups in rounds beside it, then d on the copies
        they stored. The best round counts."""
        r = self.report
        tree.store = Store(self.work, "store-" + tree.label, tree.root)
        cs, rounds = self.beside_anchor(
            lambda: self.time_c(tree), lambda p: self.one_backup(tree.store, p, tree.label))
        tree.c = min(cs)
        r.anchor("c: per-file bzip2 -9, one core, " + tree.label, tree.c, tree.files, tree.size,
                 self.spread(cs))
        tree.runs = self.report_rounds("first backup " + tree.label, tree, rounds)
        copies = tree.store.copies()  # those of the last run: every core
        tree.d = self.best(lambda: run_batched(["bunzip2", "-c"], copies))
        r.anchor("d: per-file bunzip2 of the copies, one core, " + tree.label, tree.d, copies,
                 tree.size, "d/c %.2f" % (tree.d / tree.c))
        for p, timed in rounds.items():
            r.against_limit("first backup %s: c / ours" % tree.label, p,
                            max(s for s, _ in timed), p / (1 + tree.d / tree.c), SHARE_TARGET)

    def time_c(self, tree):
        return run_batched(["bzip2", "-9", "-c"], tree.files)

    def one_backup(self, store, workers, label):
        store.reset()
        m = Measure(store.command(self.a.cli, workers, "backup"))
        self.check(m, "backup " + label)
        return m

    def verify_and_restore(self, tree):
        """Verify in rounds beside d, restore in rounds beside dw: a restore
        writes what it decodes, so its anchor is bunzip2 writing each file
        too; d (decoding to nothing) is the anchor of verify."""
        r, store, day = self.report, tree.store, tree.store.day()
        copies = store.copies()

        def verify(p):
            m = Measure(store.command(self.a.cli, p, "verify", day))
            self.check(m, "verify")
            return m

        def restore(p):
            target = os.path.join(self.work, "restored-%d" % p)
            set_aside(target)
            m = Measure(store.command(self.a.cli, p, "restore", day, "--to", target))
            self.check(m, "restore")
            return m

        ds, verifies = self.beside_anchor(lambda: run_batched(["bunzip2", "-c"], copies), verify)
        r.anchor("d again, beside the verifies, " + tree.label, min(ds), copies, tree.size,
                 self.spread(ds))
        best = self.report_rounds("verify " + tree.label, tree, verifies)
        for p, timed in verifies.items():
            r.against_limit("verify %s: d / ours" % tree.label, p, max(s for s, _ in timed), p,
                            SHARE_TARGET)
        # The backup's own check decodes the same copies on the same pool:
        # its share of the run is about this.
        r.against_target("copy check: verify / first backup %s" % tree.label, self.all,
                         best[self.all].seconds / tree.runs[self.all].seconds, None)

        dws, restores = self.beside_anchor(
            lambda: bunzip2_to_files(copies, os.path.join(self.work, "anchor-dw")), restore)
        r.anchor("dw: per-file bunzip2 writing each file, one core, " + tree.label, min(dws),
                 copies, tree.size, self.spread(dws) + ", dw/d %.2f" % (min(dws) / min(ds)))
        best = self.report_rounds("restore %s --to" % tree.label, tree, restores)
        for p, timed in restores.items():
            r.against_limit("restore %s: dw / ours" % tree.label, p, max(s for s, _ in timed), p,
                            SHARE_TARGET)
            r.against_target("restore %s: d / ours, decoding to nothing" % tree.label, p,
                             min(ds) / best[p].seconds, None)
        target = os.path.join(self.work, "restored-%d" % self.all)
        again = Measure(store.command(self.a.cli, self.all, "restore", day, "--to", target))
        r.step("  restore again, already there, %d worker(s)" % self.all, again, tree.files,
               tree.size)
        for p in self.worker_counts():
            set_aside(os.path.join(self.work, "restored-%d" % p))

    def killed_and_resumed(self, tree):
        """SIGKILL once a first backup with every core wrote 80 % of the
        bytes the full run stored, then the run that resumes it.

        The kill goes by the copies' bytes on the disk, the compression done,
        rather than by time: the wall time of an earlier run, or even the
        run's own cpu time, varies from run to run on a shared machine (by
        15 % here), so a kill by time may come at 65 % of the work or after
        the run ended. What the run had written but not yet flushed, checked
        and noted is lost to the kill and counts against the resume.
        """
        r = self.report
        full = tree.runs[self.all]
        stored = sum(os.path.getsize(c) for c in tree.store.copies())
        store = Store(self.work, "store-resume-" + tree.label, tree.root)
        budget = 0.8 * stored
        killed = Measure(store.command(self.a.cli, self.all, "backup"),
                         kill_when=lambda pid: store.resume_bytes() >= budget)
        noted = store.noted_bytes()
        resumed = Measure(store.command(self.a.cli, self.all, "backup"))
        self.check(resumed, "resumed backup " + tree.label)
        note = ("SIGKILL; %.0f %% of the source noted for the next run" % (100 * noted / tree.size)
                if killed.killed else "ended before the kill: no resume measured")
        r.step("%s: killed at %.0f MB written" % (tree.label, budget / 1e6), killed, tree.files,
               tree.size, note)
        r.step("  resumed run", resumed, tree.files, tree.size,
               "cpu %.2f of the full run's" % (resumed.cpu / full.cpu)
               if resumed.cpu and full.cpu else "")
        value = resumed.seconds / full.seconds if killed.killed else None
        r.against_target("resumed / full run, %s" % tree.label, self.all, value, ("<=", 0.30))
        set_aside(os.path.dirname(store.root))

    def peak_of_single(self):
        for p, m in self.single.runs.items():
            peak = m.peak_kib * 1024 / 1e6 if m.peak_kib else None
            self.report.against_target("first backup single: peak MB", p, peak, None)

    def no_change(self):
        r = self.report
        files = files_of(self.small)
        size = sum(os.path.getsize(f) for f in files)
        store = Store(self.work, "store-small", self.small)
        first = Measure(store.command(self.a.cli, self.all, "backup"))
        self.check(first, "first backup of the small files")
        r.step("first backup, small files, %d worker(s)" % self.all, first, files, size)
        # Best of --repeat, as the anchors it is compared with: a single
        # timing of well under a second moved by a fifth from one bench to
        # the next.
        again = self.best(lambda: Measure(store.command(self.a.cli, self.all, "backup")))
        self.check(again, "no-change backup")
        per_file = again.peak_kib * 1024 / len(files) if again.peak_kib else None
        r.step("no-change backup, small files", again, files, size,
               "peak %.0f B per file" % (per_file or 0))
        fixed = self.fixed_memory()
        above = ((again.peak_kib - fixed.peak_kib) * 1024 / (len(files) - FEW_FILES)
                 if again.peak_kib and fixed.peak_kib else None)
        cat = self.best(lambda: run_batched(["cat"], files))
        r.anchor("cat over the same files", cat, files, size)
        cksum = self.best(lambda: run_batched(["cksum"], files))
        r.anchor("cksum over the same files", cksum, files, size, "read and checksum")
        r.against_target("no-change run / cksum pass", self.all, again.seconds / cksum,
                         ("<=", 1.3))
        r.against_target("no-change run: peak B per file, all told", self.all, per_file, None)
        r.against_target("no-change run: peak B per file above the fixed part", self.all, above,
                         ("<=", 1024))
        self.restic_no_change(files, size, again)

    def fixed_memory(self):
        """The no-change run's peak over a handful of files: the program, its
        libraries and the buffers of its workers, which do not grow with the set."""
        few = os.path.join(self.work, "few")
        make_small(few, FEW_FILES, TextMaker(self.a.seed), random.Random(self.a.seed + 2))
        store = Store(self.work, "store-few", few)
        self.check(Measure(store.command(self.a.cli, self.all, "backup")), "backup of a few files")
        again = Measure(store.command(self.a.cli, self.all, "backup"))
        self.check(again, "no-change backup of a few files")
        self.report.step("no-change backup, %d files: the fixed part" % FEW_FILES, again,
                         files_of(few), sum(os.path.getsize(f) for f in files_of(few)))
        set_aside(few)
        return again

    def restic_env(self, name):
        repo = os.path.join(self.work, name)
        env = dict(os.environ, RESTIC_PASSWORD="bench", RESTIC_REPOSITORY=repo)
        subprocess.run([self.restic, "init"], env=env, stdout=subprocess.DEVNULL, check=True)
        return env

    def restic_no_change(self, files, size, ours):
        r = self.report
        if not self.restic:
            r.note("restic not installed: no restic anchors")
            r.against_target("no-change: restic / ours (restic absent)", self.all, None,
                             (">=", 3))
            return
        env = self.restic_env("restic-small")
        r1 = Measure([self.restic, "backup", "-q", self.small], env=env)
        r2 = self.best(lambda: Measure([self.restic, "backup", "-q", self.small], env=env))
        r.step("restic first backup, small files", r1, files, size, "anchor")
        r.step("restic no-change backup, small files", r2, files, size, "anchor")
        r.against_target("no-change: restic / ours", self.all, r2.seconds / ours.seconds,
                         (">=", 3))

    def restic_first(self, tree):
        if not self.restic:
            return
        env = self.restic_env("restic-" + tree.label)
        m = Measure([self.restic, "backup", "-q", tree.root], env=env)
        self.report.step("restic first backup, %s tree" % tree.label, m, tree.files, tree.size,
                         "anchor")
        set_aside(env["RESTIC_REPOSITORY"])

    def run(self):
        start = time.monotonic()
        print("parallel bench: %d cores, workers %s, load average %s"
              % (self.cores, self.worker_counts(), os.getloadavg()))
        print("building trees in %s ..." % self.work, flush=True)
        self.make_trees()
        print("mixed tree: anchors and first backups ...", flush=True)
        self.first_backups(self.mixed)
        self.restic_first(self.mixed)
        print("verify and restore ...", flush=True)
        self.verify_and_restore(self.mixed)
        print("one large file: anchors and first backups ...", flush=True)
        self.first_backups(self.single)
        self.peak_of_single()
        print("killed and resumed ...", flush=True)
        self.killed_and_resumed(self.mixed)
        self.killed_and_resumed(self.single)
        print("small files, no change ...", flush=True)
        self.no_change()
        self.report.print(time.monotonic() - start, os.getloadavg())
        shutil.rmtree(self.work, ignore_errors=True)


if __name__ == "__main__":
    Bench(parse_args()).run()

"""What bench/parallel_bench.py measures with: timed children, generated
files, and stores set up for varnoket-cli."""
import os
import random
import shutil
import signal
import subprocess
import tempfile
import time


def children_of(pid):
    try:
        with open("/proc/%d/task/%d/children" % (pid, pid)) as f:
            return [int(c) for c in f.read().split()]
    except OSError:
        return []


def cpu_seconds(pid):
    """User and system time of process `pid` and all its threads so far."""
    try:
        with open("/proc/%d/stat" % pid) as f:
            fields = f.read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")
    except (OSError, IndexError, ValueError):
        return 0.0


def kill(pids):
    """SIGKILL to these processes; how many got it."""
    sent = 0
    for pid in pids:
        try:
            os.kill(pid, signal.SIGKILL)
            sent += 1
        except ProcessLookupError:
            pass  # it ended on its own meanwhile
    return sent


class Measure:
    """Runs one command as a child and keeps its wall time and peak memory.

    The peak comes from GNU time, whose own child is forked from that small
    process: Linux carries the peak of the image a process had before exec
    into ru_maxrss, so a child forked from this script would show its size.
    With `kill_when`, a test of the measured program's id asked twenty times
    a second, that program (GNU time's child, not GNU time itself) gets
    SIGKILL once the test holds, unless it ended first; `killed` says
    whether it did get it.
    """

    def __init__(self, argv, stdout=subprocess.DEVNULL, cwd=None, env=None, kill_when=None):
        report = os.path.join(os.environ.get("TMPDIR", "/tmp"), "varnoket-bench-time.%d" % os.getpid())
        start = time.monotonic()
        # A file rather than a pipe: nobody reads while the kill test waits.
        with tempfile.TemporaryFile() as errors:
            child = subprocess.Popen(["/usr/bin/time", "-f", "%M %U %S", "-o", report] + argv,
                                     stdout=stdout, stderr=errors, cwd=cwd, env=env)
            self.killed = False
            while kill_when is not None and child.poll() is None:
                measured = children_of(child.pid)
                if measured and kill_when(measured[0]):
                    self.killed = kill(measured) > 0
                    break
                time.sleep(0.05)
            child.wait()
            self.seconds = time.monotonic() - start
            errors.seek(0)
            self.stderr = errors.read().decode(errors="replace")
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


def run_batched(argv, files):
    """`argv` over the files, 1000 to a process, one process after the other.

    A single-core anchor: bzip2 and bunzip2 given several files still take
    each on its own (bzip2 -c writes the very streams it would file by file),
    and starting one process per file would add its own cost to the codec's.
    """
    start = time.monotonic()
    for i in range(0, len(files), 1000):
        subprocess.run(argv + ["--"] + files[i:i + 1000], stdout=subprocess.DEVNULL, check=True)
    return time.monotonic() - start


def set_aside(path):
    """Moves a tree the bench is done with into the work folder's trash,
    emptied when the bench ends, instead of deleting it now.

    Where ext4 runs without a journal (this VM's disk), it passes over an
    inode deleted less than a minute before when it makes a file, reading
    its inode table to learn so: a run that creates thousands of files right
    after a tree of thousands was deleted pays for that scan in kernel time
    (up to a tenth of a first backup here, in perf's profile), and the
    one-core anchors, which create nothing, do not."""
    if not os.path.lexists(path):
        return
    trash = os.environ["VARNOKET_BENCH_TRASH"]
    os.makedirs(trash, exist_ok=True)
    os.rename(path, os.path.join(trash, "%d-%s" % (len(os.listdir(trash)), os.path.basename(path))))


def bunzip2_to_files(copies, folder):
    """Per-file bunzip2 that writes each file, one core: the anchor of a
    restore, which writes what it decodes. Each copy is linked into `folder`
    under a name bunzip2 knows (its links are why it needs -f); the files it
    writes are removed afterwards, not timed."""
    set_aside(folder)
    os.makedirs(folder)
    linked = []
    for i, copy in enumerate(copies):
        linked.append(os.path.join(folder, "%d.bz2" % i))
        os.link(copy, linked[-1])
    seconds = run_batched(["bunzip2", "-k", "-f"], linked)
    set_aside(folder)
    return seconds


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


def make_mixed(root, total, text, rnd):
    """Four large files for two thirds of `total` bytes, then many documents."""
    large = total * 2 // 3
    for i in range(4):
        write(os.path.join(root, "media", "large%d.bin" % i), text.make(large // 4))
    made, i = large, 0
    while made < total:
        size = min(total - made, int(rnd.expovariate(1 / 24000)) + 1)
        write(os.path.join(root, "docs", "d%03d" % (i % 200), "f%05d.txt" % i), text.make(size))
        made += size
        i += 1


def make_small(root, count, text, rnd):
    for i in range(count):
        write(os.path.join(root, "p%03d" % (i % 300), "s%06d.dat" % i),
              text.make(rnd.randint(200, 4000)))


class Store:
    """A program folder, a store root and a station whose backup set is `source`."""

    def __init__(self, work, name, source):
        self.program = os.path.join(work, name, "program")
        self.root = os.path.join(work, name, "store")
        self.station = "BENCH"
        self.source = source
        self.reset()

    def reset(self):
        set_aside(os.path.dirname(self.program))
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

    def days(self):
        station = os.path.join(self.root, self.station)
        return sorted(d for d in os.listdir(station) if d.isdigit())

    def day(self):
        d = self.days()[-1]
        return "%s/%s/%s" % (d[0:2], d[2:4], d[4:8])

    def copies(self):
        """The stored copies of every day: one bzip2 stream per file."""
        station = os.path.join(self.root, self.station)
        return [f for d in self.days() for f in files_of(os.path.join(station, d))
                if f.endswith(".ZZ")]

    def resume_bytes(self):
        """Bytes of the copies a running first backup has written so far, in
        its resume folder (every copy stays there until the run's end)."""
        folder = os.path.join(self.root, self.station, ".vk-resume")
        total = 0
        try:
            for e in os.scandir(folder):
                if e.name.startswith("copy-"):
                    try:
                        total += e.stat().st_size
                    except OSError:
                        pass  # renamed or removed meanwhile
        except OSError:
            pass
        return total

    def noted_bytes(self):
        """Source bytes the resume journal holds: whole copies (checked, or
        flushed and left for the next run to check), and the blocks of the
        last part note of each copy not noted whole."""
        journal = os.path.join(self.root, self.station, ".vk-resume", "journal.txt")
        whole = {}
        parts = {}
        try:
            with open(journal, "rb") as f:
                for line in f:
                    fields = line.split(b"\t")
                    if fields[0] == b"flushed":
                        fields = fields[1:]
                    if not line.endswith(b"\n") or len(fields) < 3:
                        continue
                    if fields[0] == b"part" and fields[2].isdigit():
                        parts[fields[1]] = max(parts.get(fields[1], 0), int(fields[2]))
                    elif fields[1].isdigit():
                        whole[fields[0]] = int(fields[1])
        except OSError:
            pass
        return sum(whole.values()) + sum(n for copy, n in parts.items() if copy not in whole)

"""The tables bench/parallel_bench.py prints: every step it timed, then one
line per measure beside the machine's limit or its target."""

MB = 1e6


def shown(value, digits=2):
    if value is None:
        return "-"
    if abs(value) >= 100:
        return "%.0f" % value
    return "%.*f" % (digits, value)


class Limit:
    """One line of the limits table.

    Against a limit: `ours` is a speed-up over a one-core anchor, `limit` the
    best speed-up the machine allows with P workers, and the target is on
    their share. Against a bound: `ours` is a ratio and the target is on it.
    With neither, the figure is only reported.
    """

    def __init__(self, measure, p, ours, limit=None, share_target=None, bound=None):
        self.measure, self.p, self.ours, self.limit = measure, p, ours, limit
        self.share = ours / limit if ours is not None and limit else None
        if share_target is not None:
            self.target = "share >= %g" % share_target
            self.met = None if self.share is None else self.share >= share_target
        elif bound is not None:
            op, value = bound
            self.target = "ratio %s %g" % (op, value)
            self.met = None if ours is None else (ours <= value if op == "<=" else ours >= value)
        else:
            self.target = "report"
            self.met = None

    def line(self):
        met = {True: "yes", False: "no", None: "-"}[self.met]
        return "%-42s %3d %8s %7s %7s  %-13s %s" % (
            self.measure, self.p, shown(self.ours), shown(self.limit), shown(self.share),
            self.target, met)


class Report:
    def __init__(self):
        self.steps = []
        self.limits = []
        self.notes = []
        self.problems = []

    def step(self, name, m, files, size, note=""):
        self.steps.append((name, m.seconds, m.cpu, m.peak_kib, len(files), size, note))

    def anchor(self, name, seconds, files, size, note="anchor"):
        self.steps.append((name, seconds, None, None, len(files), size, note))

    def against_limit(self, measure, p, speed_up, limit, share_target):
        self.limits.append(Limit(measure, p, speed_up, limit, share_target=share_target))

    def against_target(self, measure, p, value, bound):
        """`bound` is ("<=", x) or (">=", x), or None for a figure only reported."""
        self.limits.append(Limit(measure, p, value, bound=bound))

    def note(self, text):
        self.notes.append(text)

    def problem(self, text):
        self.problems.append(text)

    def print_steps(self):
        print("\n%-52s %8s %8s %8s %7s %8s   %s" % ("step", "seconds", "cpu s", "peak MB", "files",
                                                  "MB", "note"))
        print("-" * 110)
        for name, sec, cpu, peak, files, size, note in self.steps:
            peak_mb = peak * 1024 / MB if peak is not None else None
            print("%-52s %8s %8s %8s %7d %8.1f   %s" % (
                name, shown(sec), shown(cpu), shown(peak_mb, 1), files, size / MB, note))

    def print_limits(self):
        """Grouped by measure, in the order each was first met, then by P."""
        order = []
        for limit in self.limits:
            if limit.measure not in order:
                order.append(limit.measure)
        print("\nlimits (speed-up = one-core anchor time / ours; share = speed-up / limit)")
        print("%-42s %3s %8s %7s %7s  %-13s %s" % ("measure", "P", "ours", "limit", "share",
                                                   "target", "met"))
        print("-" * 90)
        for measure in order:
            for limit in sorted((x for x in self.limits if x.measure == measure),
                                key=lambda x: x.p):
                print(limit.line())

    def print(self, seconds, load):
        self.print_steps()
        self.print_limits()
        for text in self.notes:
            print("note: " + text)
        for text in self.problems:
            print("PROBLEM: " + text)
        print("\nbench took %.0f s; load average at the end %s" % (seconds, load))

"""The one table both bench drivers print: figure, min, median, max, unit, target."""

import statistics

HEADER = ("figure", "min", "median", "max", "unit", "target")


class Table:
    def __init__(self):
        self.rows = []

    def row(self, figure, values, unit, target=""):
        """A figure over its runs; a figure without a run says it was not measured."""
        values = [v for v in values if v is not None]
        if not values:
            self.rows.append((figure, "-", "-", "-", unit, target or "not measured"))
            return
        big = max(abs(v) for v in values) >= 100
        fmt = (lambda v: f"{v:.0f}") if big else (lambda v: f"{v:.3g}")
        self.rows.append((figure, fmt(min(values)), fmt(statistics.median(values)),
                          fmt(max(values)), unit, target))

    def print(self, title):
        widths = [max(len(str(r[i])) for r in self.rows + [HEADER]) for i in range(6)]
        print()
        print(title)
        for r in [HEADER] + self.rows:
            print("  ".join([str(r[0]).ljust(widths[0])] +
                            [str(c).rjust(widths[i + 1]) for i, c in enumerate(r[1:4])] +
                            [str(r[4]).ljust(widths[4]), str(r[5])]))

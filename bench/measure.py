"""The whole-program measurements behind bench/run, printed as one table.

    measure.py BUILD-DIR

Every figure is taken REPEATS times (environment BENCH_REPEATS, 3 by default) and shown as
min / median / max; every ratio is worked out per repetition from figures taken in the
same run, then summarised the same way. The programs run on a private Xvfb with the
services and the maker's site on loopback servers, and with fresh settings each time.
"""

import json
import os
import plistlib
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time

here = os.path.dirname(os.path.abspath(__file__))
top = os.path.dirname(here)
sys.path.insert(0, os.path.join(top, "tests", "e2e"))
from table import Table  # noqa: E402
import desktop  # noqa: E402  the loopback services and site of the end-to-end tests

build = os.path.abspath(sys.argv[1])
REPEATS = int(os.environ.get("BENCH_REPEATS", "3"))
IDLE_SECONDS = float(os.environ.get("BENCH_IDLE_SECONDS", "60"))
GESTURES = int(os.environ.get("BENCH_GESTURES", "50"))
TRANSLATIONS = int(os.environ.get("BENCH_TRANSLATIONS", "1000"))
TABLE = Table()
row = TABLE.row



def ratios(a, b):
    return [x / y for x, y in zip(a, b) if x is not None and y]


def google_benchmark(program, *arguments):
    out = tempfile.mktemp(suffix=".json")
    subprocess.run([program, f"--benchmark_repetitions={REPEATS}", "--benchmark_out=" + out,
                    "--benchmark_out_format=json", "--benchmark_format=console", *arguments],
                   check=True, stdout=subprocess.DEVNULL)
    runs = {}
    for b in json.load(open(out))["benchmarks"]:
        if b.get("run_type") == "iteration" and not b.get("error_occurred"):
            # Fixed iteration counts and real time add "/iterations:N" and "/real_time".
            name = "/".join(p for p in b["run_name"].split("/")
                            if not p.startswith("iterations:") and p != "real_time")
            runs.setdefault(name, []).append(b)
    os.unlink(out)
    return runs


def engine():
    runs = google_benchmark(os.path.join(build, "bench", "lexoria_bench"), "--benchmark_min_time=0.2")
    for arg, page in (("0", "references"), ("1", "markup")):
        one = [b["real_time"] for b in runs["BM_DecodeOnePass/" + arg]]
        chain = [b["real_time"] for b in runs["BM_DecodeChainOf165Replacements/" + arg]]
        row(f"5 decoder, 1 MiB of {page}, one pass", one, "ms")
        row(f"5 decoder, chain of 165 / one pass ({page})", ratios(chain, one), "x")
    names = sorted({n.split("/")[0] for n in runs if "Decode" not in n})
    for name in names:
        sizes = sorted((int(n.split("/")[1]), n) for n in runs if n.startswith(name + "/"))
        half = [b["bytes_per_second"] / 1e6 for b in runs[sizes[0][1]]]
        full = [b["bytes_per_second"] / 1e6 for b in runs[sizes[-1][1]]]
        row(f"5 extraction {name[3:]}, 500 KiB", full, "MB/s")
        row(f"5 extraction {name[3:]}, rate 250 / 500 KiB", ratios(half, full), "x", "~1 (linear)")


def offline():
    runs = google_benchmark(os.path.join(build, "bench", "offline_bench"))
    first = [b["real_time"] for b in runs.get("BM_FirstTranslation", [])]
    later = [b["real_time"] for b in runs.get("BM_LaterTranslation", [])]
    fresh = [b["real_time"] for b in runs.get("BM_FreshApertiumProcess", [])]
    row("5 offline, first translation (pipeline start)", first, "ms")
    row("5 offline, later translation", later, "ms")
    row("5 offline, fresh `apertium eng-spa` process", fresh, "ms")
    row("5 offline, fresh process / later translation", ratios(fresh, later), "x")


def start_xvfb():
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-noreset", "-nolisten", "tcp",
                             "-screen", "0", "1280x800x24"], pass_fds=(write_end,),
                            stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end, "rb") as pipe:
        number = pipe.readline().decode().strip()
    return xvfb, ":" + number


def fresh_environment(base, folder):
    env = dict(base)
    env.update({"HOME": folder, "XDG_CONFIG_HOME": os.path.join(folder, "config"),
                "XDG_DATA_HOME": os.path.join(folder, "data"),
                "XDG_CACHE_HOME": os.path.join(folder, "cache")})
    return env


def probe(env, command, starts=1):
    """Milliseconds to the first window, and resident MiB 3 s after exec, of each of
    `starts` starts in a row on one settings folder, fresh for the first."""
    folder = tempfile.mkdtemp(prefix="lexoria-bench-")
    figures = []
    try:
        for _ in range(starts):
            result = subprocess.run([os.path.join(build, "bench", "startup_probe"), "3",
                                     *command], env=fresh_environment(env, folder),
                                    capture_output=True, text=True, timeout=60)
            words = result.stdout.split()
            ok = result.returncode == 0 and len(words) >= 4
            figures.append((float(words[1]), float(words[3]) / 1024) if ok else (None, None))
        return figures
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def idle_cpu(env, program, watch, services):
    """Per cent of one core used in each of REPEATS slices of IDLE_SECONDS of idle, and
    whether a text copied afterwards was translated (that the watch was on or off)."""
    folder = tempfile.mkdtemp(prefix="lexoria-bench-")
    env = fresh_environment(env, folder)
    # The first start writes the defaults (the watch off); the flag is set after it.
    first = subprocess.Popen([program], env=env, stdout=subprocess.DEVNULL,
                             stderr=subprocess.DEVNULL)
    settings_file = os.path.join(folder, "config", "lexoria", "org.lexoria.Lexoria.plist")
    deadline = time.monotonic() + 30
    while not os.path.exists(settings_file) and time.monotonic() < deadline:
        time.sleep(0.05)
    time.sleep(1)
    first.terminate()
    first.wait(10)
    with open(settings_file, "rb") as f:
        settings = plistlib.load(f)
    settings["autoClipboardTranslateBox"] = "1" if watch else "0"
    with open(settings_file, "wb") as f:
        plistlib.dump(settings, f)
    process = subprocess.Popen([program], env=env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    try:
        time.sleep(3)  # start-up, fetches of the site included, is not idle
        shares = []
        for _ in range(REPEATS):
            before, start = cpu_seconds(process.pid), time.monotonic()
            time.sleep(IDLE_SECONDS / REPEATS)
            shares.append(100 * (cpu_seconds(process.pid) - before) / (time.monotonic() - start))
        seen = len(services.translations())
        subprocess.run(["xclip", "-selection", "clipboard"], input=f"idle check {watch}",
                       text=True, env=env, check=True)
        deadline = time.monotonic() + 10
        while len(services.translations()) == seen and time.monotonic() < deadline:
            time.sleep(0.05)
        return shares, len(services.translations()) > seen
    finally:
        process.terminate()
        process.wait(10)
        shutil.rmtree(folder, ignore_errors=True)


def connections(services_folder):
    page = os.path.join(top, "tests", "data", "google_page_two_sentences.html")
    counts, times = {"connections": [], "handshakes": [], "resumed": []}, []
    for _ in range(REPEATS):
        server = subprocess.Popen([sys.executable, os.path.join(here, "count_server.py"),
                                   os.path.join(services_folder, "ca.pem"),
                                   os.path.join(services_folder, "key.pem"), page],
                                  stdout=subprocess.PIPE, text=True)
        port = server.stdout.readline().split()[1]
        result = subprocess.run([os.path.join(build, "bench", "connection_bench"),
                                 "127.0.0.1:" + port, os.path.join(services_folder, "ca.pem"), "10"],
                                capture_output=True, text=True, timeout=120)
        times.append(float(result.stdout.split()[0]) if result.returncode == 0 else None)
        server.send_signal(signal.SIGTERM)
        words = server.stdout.readline().split()
        server.wait(10)
        for i in range(0, len(words), 2):
            counts[words[i]].append(float(words[i + 1]))
    row("4 connections, 10 Google translations", counts["connections"], "", "1")
    row("4 full TLS handshakes, same", counts["handshakes"], "", "1")
    row("4 resumed TLS sessions, same", counts["resumed"], "")
    row("4 time of the 10 translations", times, "ms")


class Traced:
    """The desktop program started with its trace on; the steps it reports as they come."""

    def __init__(self, command, env):
        env = dict(env, LEXORIA_TRACE="1")
        self.process = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.PIPE, text=True)
        self.lock = threading.Lock()
        self.steps = []  # (monotonic seconds, step)
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for line in self.process.stderr:
            words = line.split(" ", 2)
            if len(words) == 3 and words[0] == "trace":
                with self.lock:
                    self.steps.append((float(words[1]), words[2].strip()))

    def times(self, step):
        with self.lock:
            return [t for t, s in self.steps if s == step]

    def next(self, step, seen, bound=desktop.BOUND):
        """The time of the first `step` after the `seen` ones."""
        found = desktop.wait_for(lambda: len(self.times(step)) > seen, f'"{step}"', bound)
        return self.times(step)[seen] if found else None

    def resident_mib(self):
        with open(f"/proc/{self.process.pid}/status") as f:
            for line in f:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1]) / 1024

    def stop(self):
        self.process.terminate()
        self.process.wait(10)


def settings_for_gestures(folder):
    """Settings of an earlier run: right Alt translates English into German."""
    path = os.path.join(folder, "config", "lexoria")
    os.makedirs(path, exist_ok=True)
    with open(os.path.join(path, "org.lexoria.Lexoria.plist"), "wb") as f:
        plistlib.dump({"rirstrun": "(null)", "autoDetectLang": "0", "Icon": "1",
                       "leftLangKey": "English", "leftSim": "en", "rightLangKey": "German",
                       "rightSim": "de", "choiseIntShortcuts": "ALT(RIGHT)"}, f)


def server_time(services, seen):
    """Seconds the loopback server spent on the translation request after the `seen` ones."""
    recorder = services.recorder
    desktop.wait_for(lambda: len([a for a in recorder.answers if a[1].startswith("/?langpair=")])
                     > seen, "the translation's answer")
    asked = services.translations()[seen][0]
    answered = [a for a in recorder.answers if a[1].startswith("/?langpair=")][seen][0]
    return answered - asked


def gestures(env, services):
    """Figure 1: right Alt over another program's selection, GESTURES times; and the same
    text through `lexoria --translate-selection`, and then TRANSLATIONS different texts
    through the session bus with the resident memory before and after."""
    lexoria = os.path.join(build, "lexoria")
    folder = tempfile.mkdtemp(prefix="lexoria-bench-")
    env = fresh_environment(env, folder)
    settings_for_gestures(folder)
    program = Traced([lexoria], env)
    helpers = []
    try:
        # Start-up is over when its second fetch of the manifest is answered.
        desktop.wait_for(lambda: len([r for r in services.recorder.answers
                                      if r[1] == "/lx.plist"]) >= 2, "the start-up")
        target = subprocess.Popen([os.path.join(build, "tests", "selection_window"),
                                   "words to translate"], env=env, stdout=subprocess.PIPE,
                                  text=True)
        helpers.append(target)
        while target.stdout.readline().strip() != "ready":
            pass
        threading.Thread(target=lambda: [None for _ in target.stdout], daemon=True).start()
        press = os.path.join(build, "tests", "e2e", "press_keys")

        def gesture():
            out = subprocess.run([press, "Alt_R:down", "Alt_R:up"], env=env, check=True,
                                 capture_output=True, text=True, timeout=desktop.BOUND).stdout
            return float(out.split()[1])

        # The monitors are installed at the very end of start-up: the first gesture that
        # is seen at all warms up.
        for _ in range(15):
            gesture()
            try:
                desktop.wait_for(lambda: program.times("key 61"), "a gesture seen", 2)
                break
            except AssertionError:
                pass
        program.next("result shown", 0)
        time.sleep(1)  # a second warm-up gesture's translation, if one was seen late
        started = program.resident_mib()
        beyond, keyed = [], []
        for _ in range(GESTURES):
            time.sleep(0.3)  # past the 0.2 s throttle of the last translation
            shown, keys, asked = (len(program.times("result shown")), len(program.times("key 61")),
                                  len(services.translations()))
            sent = gesture()
            result = program.next("result shown", shown)
            keyed.append(1000 * (program.next("key 61", keys) - sent))
            beyond.append(1000 * (result - sent - 0.3 - server_time(services, asked)))
        row("1 gesture to result, beyond the 0.3 s wait and the server", beyond, "ms", "< 15")
        row("1 same, the XTest press to the key seen", keyed, "ms")

        command = []
        for i in range(GESTURES):
            time.sleep(0.3)
            xclip = subprocess.Popen(["xclip", "-selection", "primary", "-i"], env=env,
                                     stdin=subprocess.PIPE, stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL)
            helpers.append(xclip)
            xclip.stdin.write(f"selected words {i}".encode())
            xclip.stdin.close()
            xclip.wait(desktop.BOUND)  # it forks to serve the selection
            shown, asked = len(program.times("result shown")), len(services.translations())
            start = time.monotonic()
            subprocess.run([lexoria, "--translate-selection"], env=env, check=True,
                           timeout=desktop.BOUND)
            result = program.next("result shown", shown)
            command.append(1000 * (result - start - server_time(services, asked)))
        row("1 --translate-selection to result shown, less the server", command, "ms", "< 30")

        if TRANSLATIONS:
            from gi.repository import Gio, GLib
            bus = Gio.bus_get_sync(Gio.BusType.SESSION)
            before = program.resident_mib()
            for i in range(TRANSLATIONS):
                shown = len(program.times("result shown"))
                try:
                    bus.call_sync("org.lexoria.Lexoria", "/org/lexoria/Lexoria",
                                  "org.lexoria.Lexoria", "lexoria",
                                  GLib.Variant("(s)", (f"text number {i} to translate",)), None,
                                  Gio.DBusCallFlags.NONE, -1)
                except GLib.Error:
                    pass  # prose is no XML: refused, and translated all the same
                program.next("result shown", shown)
            after = program.resident_mib()
            row("2 resident after start-up and one translation", [started], "MiB")
            row(f"2 same, after {2 * GESTURES} more", [before], "MiB")
            row(f"2 same, after {TRANSLATIONS} more (each a new text)", [after], "MiB")
            row(f"2 growth over the {TRANSLATIONS}", [after - before], "MiB", "~0 (noise)")
    finally:
        program.stop()
        for helper in helpers:
            if helper.poll() is None:
                helper.terminate()
        shutil.rmtree(folder, ignore_errors=True)


def desktop_figures():
    lexoria = os.path.join(build, "lexoria")
    floor = os.path.join(build, "bench", "floor_window")
    goldendict = shutil.which("goldendict")
    xvfb, display = start_xvfb()
    folder = tempfile.mkdtemp(prefix="lexoria-bench-services-")
    services = desktop.Services(folder, os.path.join(top, "site"))
    env = dict(os.environ)
    env.update(services.environment())
    env.update({"DISPLAY": display, "QT_QPA_PLATFORM": "xcb", "LANG": "C.UTF-8", "LC_ALL": ""})
    try:
        shown = {"lexoria": [], "lexoria again": [], "floor": [], "goldendict": []}
        rss = {"lexoria": [], "lexoria again": [], "floor": [], "goldendict": []}
        for _ in range(REPEATS):
            for name, command in (("floor", [floor]), ("lexoria", [lexoria]),
                                  ("goldendict", [goldendict] if goldendict else None)):
                if not command:
                    shown[name].append(None)
                    rss[name].append(None)
                    continue
                figures = probe(env, command, 2 if name == "lexoria" else 1)
                for key, (ms, mib) in zip((name, name + " again"), figures):
                    shown[key].append(ms)
                    rss[key].append(mib)
        row("2 start-up to window shown, lexoria", shown["lexoria"], "ms")
        row("2 same, second start (settings kept)", shown["lexoria again"], "ms")
        row("2 start-up to window shown, floor", shown["floor"], "ms")
        row("2 start-up to window shown, GoldenDict", shown["goldendict"], "ms",
            "" if goldendict else "not installed")
        row("2 start-up lexoria / floor", ratios(shown["lexoria"], shown["floor"]), "x", "< 2")
        row("2 second start lexoria / floor", ratios(shown["lexoria again"], shown["floor"]),
            "x", "< 2")
        row("2 start-up GoldenDict / floor", ratios(shown["goldendict"], shown["floor"]), "x",
            "" if goldendict else "not installed")
        row("2 resident 3 s after exec, lexoria", rss["lexoria"], "MiB")
        row("2 resident 3 s after exec, floor", rss["floor"], "MiB")
        row("2 resident 3 s after exec, GoldenDict", rss["goldendict"], "MiB",
            "" if goldendict else "not installed")
        row("2 resident lexoria - floor", [a - b for a, b in zip(rss["lexoria"], rss["floor"])
                                           if a is not None and b is not None], "MiB", "< 15")
        row("2 resident GoldenDict / floor", ratios(rss["goldendict"], rss["floor"]), "x",
            "" if goldendict else "not installed")
        on, translated_on = idle_cpu(env, lexoria, True, services)
        off, translated_off = idle_cpu(env, lexoria, False, services)
        row(f"3 idle CPU, clipboard watch on ({IDLE_SECONDS / REPEATS:.0f} s slices)", on,
            "% core", "< 0.5")
        row(f"3 idle CPU, clipboard watch off ({IDLE_SECONDS / REPEATS:.0f} s slices)", off,
            "% core")
        row("3 copied text translated, watch on (1 = yes)", [float(translated_on)], "", "1")
        row("3 copied text translated, watch off (1 = yes)", [float(translated_off)], "", "0")
        connections(folder)
        gestures(env, services)
    finally:
        services.stop()
        xvfb.terminate()
        xvfb.wait(10)
        shutil.rmtree(folder, ignore_errors=True)


def main():
    engine()
    offline()
    desktop_figures()
    TABLE.print(f"{REPEATS} repetitions per figure; ratios per repetition, in the same run")


if __name__ == "__main__":
    main()

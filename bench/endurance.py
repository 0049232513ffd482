"""The endurance figures behind `bench/run --endurance`, printed as measure.py prints its table.

    endurance.py BUILD-DIR FUZZ-BUILD-DIR [fuzz] [kills] [stall]   (all three by default)

fuzz:  every libFuzzer target for BENCH_FUZZ_SECONDS (300) each, two at a time at the
       lowest priority; executions, executions per second, and whether it crashed.
kills: the settings store killed with SIGKILL at random moments while it writes,
       BENCH_KILLS (1000) times; files left unreadable and settings lost.
stall: the desktop program on a private Xvfb whose Google answer stalls after half its
       body: the time to the fetch's time-out, how long the program takes to answer the
       accessibility bus meanwhile, the next gesture after it, and the settings after it.
"""

import http.server
import os
import plistlib
import re
import shutil
import ssl
import subprocess
import sys
import tempfile
import threading
import time
import urllib.parse
from concurrent.futures import ThreadPoolExecutor

here = os.path.dirname(os.path.abspath(__file__))
top = os.path.dirname(here)
sys.path.insert(0, os.path.join(top, "tests", "e2e"))
from table import Table  # noqa: E402

build = os.path.abspath(sys.argv[1])
fuzz_build = os.path.abspath(sys.argv[2])
parts = sys.argv[3:] or ["fuzz", "kills", "stall"]
FUZZ_SECONDS = int(os.environ.get("BENCH_FUZZ_SECONDS", "300"))
KILLS = int(os.environ.get("BENCH_KILLS", "1000"))
TABLE = Table()
row = TABLE.row



def fuzz_one(target):
    """Runs one target as scripts/fuzz does, longer; (name, executions, per second, crash)."""
    name = os.path.basename(target)
    work = os.path.join(fuzz_build, "corpus", name)
    os.makedirs(work, exist_ok=True)
    logs = os.path.join(fuzz_build, f"endurance-{FUZZ_SECONDS}s")
    os.makedirs(logs, exist_ok=True)
    seeds = os.path.join(top, "fuzz", "corpus", name)
    command = ["nice", "-n", "19", target, f"-max_total_time={FUZZ_SECONDS}", "-timeout=10",
               "-rss_limit_mb=2048", "-print_final_stats=1",
               "-artifact_prefix=" + os.path.join(logs, name + "-"), work]
    command += [seeds] if os.path.isdir(seeds) else []
    command += [os.path.join(top, "tests", "data")]
    start = time.monotonic()
    with open(os.path.join(logs, name + ".log"), "w") as log:
        code = subprocess.run(command, stdout=log, stderr=subprocess.STDOUT).returncode
    took = time.monotonic() - start
    text = open(os.path.join(logs, name + ".log"), errors="replace").read()
    units = re.search(r"stat::number_of_executed_units:\s*(\d+)", text)
    executions = int(units.group(1)) if units else None
    return name, executions, executions / took if executions else None, code != 0


def fuzz():
    targets = sorted(os.path.join(fuzz_build, "fuzz", f) for f in os.listdir(
        os.path.join(fuzz_build, "fuzz")) if f.startswith("fuzz_") and
        os.access(os.path.join(fuzz_build, "fuzz", f), os.X_OK))
    with ThreadPoolExecutor(max_workers=2) as pool:
        results = list(pool.map(fuzz_one, targets))
    crashed = [name for name, _, _, crash in results if crash]
    row(f"6 fuzz, executions per target ({len(results)} targets, {FUZZ_SECONDS} s each)",
        [r[1] for r in results], "runs")
    row("6 fuzz, executions per second per target", [r[2] for r in results], "/s")
    row("6 fuzz, targets that crashed", [float(len(crashed))], "", "0")
    for name, executions, rate, crash in results:
        row(f"6 fuzz {name[len('fuzz_'):]} ({rate or 0:.0f}/s)", [executions], "runs",
            "CRASHED, see " + os.path.join(fuzz_build, f"endurance-{FUZZ_SECONDS}s",
                                           name + ".log") if crash
            else "no crash")


def kills():
    folder = os.path.join(build, "endurance-settings")
    result = subprocess.run([os.path.join(build, "bench", "settings_kill_bench"), folder,
                             str(KILLS)], capture_output=True, text=True, timeout=3600)
    words = result.stdout.split()
    counts = {words[i]: float(words[i + 1]) for i in range(0, len(words) - 1, 2)}
    if result.returncode != 0 or "kills" not in counts:
        print(result.stderr, file=sys.stderr)
    row("6 settings store, SIGKILLs at random moments of writes", [counts.get("kills")], "")
    row("6 settings files left unreadable", [counts.get("unreadable")], "", "0")
    row("6 settings lost (neither old nor new content)", [counts.get("lost")], "", "0")
    row("6 writes acknowledged between the kills", [counts.get("writes")], "")
    row("6 temporary files left after the next write", [counts.get("stale_temps")], "files")
    shutil.rmtree(folder, ignore_errors=True)


class StallingGoogle:
    """Google over HTTPS that sends the headers and half the body of its first
    translation, then neither more nor an end until the program gives up."""

    def __init__(self, ca_file, key_file):
        import desktop
        self.asked = threading.Event()
        self.given_up = threading.Event()
        self.times = {}
        stall = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def log_message(self, *args):
                pass

            def do_GET(self):
                query = urllib.parse.parse_qs(urllib.parse.urlsplit(self.path).query)
                text = query.get("text", [""])[0]
                body = desktop.google_page("DE: " + text).encode("utf-8")
                self.send_response(200)
                self.send_header("Content-Type", "text/html; charset=UTF-8")
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                if stall.asked.is_set():
                    self.wfile.write(body)
                    return
                self.wfile.write(body[:len(body) // 2])
                self.wfile.flush()
                stall.times["asked"] = time.monotonic()
                stall.asked.set()
                # The program's side closes the connection when its time-out ends.
                self.connection.settimeout(150)
                try:
                    while self.connection.recv(1024):
                        pass
                except OSError:
                    pass
                stall.times["given up"] = time.monotonic()
                stall.given_up.set()
                self.close_connection = True

        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(ca_file, key_file)
        self.server = desktop.serve(Handler, context)
        self.address = f"127.0.0.1:{self.server.server_address[1]}"


def ms(seconds):
    return None if seconds is None else 1000 * seconds


def stall():
    import desktop
    import e2e
    os.environ["LEXORIA_SELECTION_WINDOW"] = os.path.join(build, "tests", "selection_window")
    os.environ["LEXORIA_PRESS_KEYS"] = os.path.join(build, "tests", "e2e", "press_keys")
    artifacts = tempfile.mkdtemp(prefix="lexoria-endurance-")
    screen = desktop.Desktop(os.path.join(build, "lexoria"), os.path.join(top, "site"), artifacts)
    google = StallingGoogle(screen.services.ca_file, os.path.join(screen.folder, "key.pem"))
    screen.env["LEXORIA_GOOGLE_HOST"] = google.address
    atspi = screen.atspi
    # An accessibility call waits for its answer however long the program takes.
    atspi.Atspi.set_timeout(150000, 150000)
    figures = {}
    try:
        first = e2e.with_gesture(screen, "ALT(RIGHT)", "stalled words")
        view = screen.find("Translation")
        settings_file = os.path.join(screen.env["XDG_CONFIG_HOME"], "lexoria",
                                     "org.lexoria.Lexoria.plist")
        with open(settings_file, "rb") as f:
            before = plistlib.load(f)
        e2e.press(screen, "Alt_R:down", "Alt_R:up")
        desktop.wait_for(google.asked.is_set, "the stalling request")
        # A screen reader's read of the result view, again and again while the fetch stalls.
        waits = []
        while not google.given_up.is_set():
            asked = time.monotonic()
            atspi.text(view)
            waits.append((asked, time.monotonic() - asked))
        figures["time-out"] = google.times["given up"] - google.times["asked"]
        figures["longest"] = max(w for _, w in waits)
        figures["answered after"] = max(a + w for a, w in waits) - google.times["asked"]
        asked = time.monotonic()
        atspi.text(view)
        figures["after"] = time.monotonic() - asked
        e2e.keys_received(first)

        second = subprocess.Popen([os.environ["LEXORIA_SELECTION_WINDOW"], "after the stall"],
                                  env=screen.env, stdout=subprocess.PIPE, text=True)
        screen.processes.append(second)
        while second.stdout.readline().strip() != "ready":
            pass
        pressed = time.monotonic()
        e2e.press(screen, "Alt_R:down", "Alt_R:up")
        screen.wait_for_text("Translation", "DE: after the stall")
        figures["next gesture"] = time.monotonic() - pressed
        e2e.keys_received(second)
        figures["running"] = screen.process.poll() is None
        with open(settings_file, "rb") as f:
            after = plistlib.load(f)
        figures["lost"] = sum(1 for key, value in before.items() if after.get(key) != value)
    finally:
        screen.stop()
        google.server.shutdown()
        shutil.rmtree(artifacts, ignore_errors=True)
    row("6 stall: Google answer stalls mid-body, request to time-out",
        [ms(figures.get("time-out"))], "ms", "60000")
    row("6 stall: longest wait for an accessibility answer meanwhile",
        [ms(figures.get("longest"))], "ms")
    row("6 stall: last of those answered, after the request", [ms(figures.get("answered after"))],
        "ms")
    row("6 stall: accessibility answer after the time-out", [ms(figures.get("after"))], "ms")
    row("6 stall: next gesture to its result after the time-out",
        [ms(figures.get("next gesture"))], "ms")
    running = figures.get("running")
    row("6 stall: program still running (1 = yes)",
        [None if running is None else float(running)], "", "1")
    row("6 stall: settings lost or changed", [figures.get("lost")], "", "0")


def main():
    if "fuzz" in parts:
        fuzz()
    if "kills" in parts:
        kills()
    if "stall" in parts:
        stall()
    TABLE.print("endurance: one run per figure (fuzz: per target)")


if __name__ == "__main__":
    main()

"""A desktop for one end-to-end case: a virtual X screen, the accessibility bus, the
services and the maker's site on loopback servers, and the program with fresh settings.

Every wait is for a condition, with a bound; nothing sleeps for a fixed time.
"""

import html
import http.server
import os
import plistlib
import shutil
import ssl
import subprocess
import tempfile
import threading
import time
import urllib.parse

# Generous for a loaded two-core machine; a passing run takes a fraction of it.
BOUND = 30.0


def wait_for(condition, what, bound=BOUND):
    """Polls `condition` until it gives a true value, which it returns."""
    deadline = time.monotonic() + bound
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError(f"gave up after {bound:.0f} s waiting for {what}")
        time.sleep(0.05)


def google_page(text):
    """A Google page whose translation is `text`."""
    return ("<span onmouseout=\"this.style.backgroundColor='#fff'\">" + html.escape(text) +
            "</span><textarea name=gtrans>")


class Recorder:
    def __init__(self):
        self.lock = threading.Lock()
        self.requests = []  # (monotonic time, raw target)
        self.answers = []  # (monotonic time the answer was out, raw target)

    def add(self, target):
        with self.lock:
            self.requests.append((time.monotonic(), target))

    def answered(self, target):
        with self.lock:
            self.answers.append((time.monotonic(), target))

    def matching(self, prefix):
        with self.lock:
            return [r for r in self.requests if r[1].startswith(prefix)]


def serve(handler_class, context=None):
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler_class)
    server.daemon_threads = True
    if context:
        server.socket = context.wrap_socket(server.socket, server_side=True)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


class Services:
    """Google and Yandex's detection over HTTPS, the HTTP services, and the site.

    Google answers "DE: " and the text it was given, Microsoft "MS: " and its text, so a
    test can tell whose text was translated; detection always finds English.
    """

    def __init__(self, folder, site_dir, manifest=None):
        self.recorder = Recorder()
        # Cleared, the site keeps the program's manifest request waiting until it is set.
        self.manifest_released = threading.Event()
        self.manifest_released.set()
        released = self.manifest_released
        self.ca_file = os.path.join(folder, "ca.pem")
        key = os.path.join(folder, "key.pem")
        subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                        "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1",
                        "-keyout", key, "-out", self.ca_file],
                       check=True, capture_output=True)
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(self.ca_file, key)
        recorder = self.recorder

        class Base(http.server.BaseHTTPRequestHandler):
            def log_message(self, *args):
                pass

            def answer(self, status, content_type, body):
                data = body.encode("utf-8") if isinstance(body, str) else body
                self.send_response(status)
                self.send_header("Content-Type", content_type)
                self.send_header("Content-Length", str(len(data)))
                self.end_headers()
                self.wfile.write(data)
                self.wfile.flush()
                recorder.answered(self.path)

        class Secure(Base):
            def do_GET(self):
                recorder.add(self.path)
                query = urllib.parse.parse_qs(urllib.parse.urlsplit(self.path).query)
                if self.path.startswith("/api/v1.5/tr/detect"):
                    self.answer(200, "text/xml; charset=utf-8",
                                '<?xml version="1.0" encoding="utf-8"?>'
                                '<DetectedLang code="200" lang="en"/>')
                elif self.path.startswith("/?langpair="):
                    text = query.get("text", [""])[0]
                    self.answer(200, "text/html; charset=UTF-8", google_page("DE: " + text))
                else:
                    self.answer(404, "text/plain", "not here")

        class Plain(Base):
            def do_GET(self):
                recorder.add(self.path)
                query = urllib.parse.parse_qs(urllib.parse.urlsplit(self.path).query)
                if self.path.startswith("/V2/Http.svc/Translate"):
                    text = query.get("text", [""])[0]
                    self.answer(200, "application/xml; charset=utf-8",
                                '<string xmlns="http://schemas.microsoft.com/2003/10/'
                                'Serialization/">' + html.escape("MS: " + text) + "</string>")
                else:
                    self.answer(404, "text/plain", "not here")

            do_POST = do_GET

        class Site(Base):
            def do_GET(self):
                recorder.add("site:" + self.path)
                path = urllib.parse.unquote(urllib.parse.urlsplit(self.path).path)
                if path == "/lx.plist":
                    released.wait(BOUND * 2)
                if path == "/lx.plist" and manifest is not None:
                    self.answer(200, "application/xml", manifest)
                    return
                local = os.path.normpath(os.path.join(site_dir, "." + path))
                if os.path.isdir(local):
                    local = os.path.join(local, "index.html")
                if not local.startswith(site_dir) or not os.path.isfile(local):
                    self.answer(404, "text/plain", "not here")
                    return
                with open(local, "rb") as f:
                    self.answer(200, "text/html" if local.endswith(".html") else "application/xml",
                                f.read())

        self.servers = [serve(Secure, context), serve(Plain), serve(Site)]

    def environment(self):
        secure, plain, site = (f"127.0.0.1:{s.server_address[1]}" for s in self.servers)
        return {
            "LEXORIA_GOOGLE_HOST": secure,
            "LEXORIA_YANDEX_TRANSLATE_HOST": secure,
            "LEXORIA_YANDEX_DICTIONARY_HOST": secure,
            "LEXORIA_MICROSOFT_HOST": plain,
            "LEXORIA_BABYLON_HOST": plain,
            "LEXORIA_PROMT_HOST": plain,
            "LEXORIA_SITE_HOST": site,
            "LEXORIA_CA_FILE": self.ca_file,
        }

    def translations(self):
        return self.recorder.matching("/?langpair=")

    def stop(self):
        for server in self.servers:
            server.shutdown()
            server.server_close()


class Desktop:
    """Xvfb, the accessibility bus, and the program under test."""

    def __init__(self, program, site_dir, artifacts, manifest=None):
        self.program = program
        self.artifacts = artifacts
        self.folder = tempfile.mkdtemp(prefix="lexoria-e2e-")
        self.processes = []
        self.services = Services(self.folder, site_dir, manifest)
        self.display = self._start_xvfb()
        self.env = dict(os.environ)
        self.env.update(self.services.environment())
        self.env.update({
            "DISPLAY": self.display,
            "XDG_CONFIG_HOME": os.path.join(self.folder, "config"),
            "XDG_DATA_HOME": os.path.join(self.folder, "data"),
            "XDG_CACHE_HOME": os.path.join(self.folder, "cache"),
            "XDG_RUNTIME_DIR": self.folder,  # private to us, as a session's is
            "QT_QPA_PLATFORM": "xcb",
            "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
            "LANG": "de_DE.UTF-8",
            "LC_ALL": "",
            "LANGUAGE": "en",  # labels as built, target language from the region
            "NO_AT_BRIDGE": "0",
        })
        os.environ["DISPLAY"] = self.display
        self._start(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"])
        import atspi  # only now: the accessibility bus it talks to exists
        self.atspi = atspi
        self.app = None

    def _start(self, command, **kwargs):
        process = subprocess.Popen(command, env=kwargs.pop("env", None) or dict(os.environ),
                                   **kwargs)
        self.processes.append(process)
        return process

    def _start_xvfb(self):
        read_end, write_end = os.pipe()
        self._start(["Xvfb", "-displayfd", str(write_end), "-noreset", "-nolisten", "tcp",
                     "-screen", "0", "1280x800x24"], pass_fds=(write_end,),
                    stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        with os.fdopen(read_end, "rb") as pipe:
            while not number.endswith(b"\n"):
                chunk = pipe.read(1)
                if not chunk:
                    raise AssertionError("Xvfb ended before it named its display")
                number += chunk
        return ":" + number.decode().strip()

    def start_program(self, *arguments, wait=True, **kwargs):
        """Starts the program; the first one is the instance the case looks at, and unless
        `wait` is false, the case waits until it is on the accessibility bus."""
        process = self._start([self.program, *arguments], env=self.env,
                              stdout=kwargs.get("stdout"), stderr=kwargs.get("stderr"),
                              stdin=kwargs.get("stdin"))
        if self.app is None and wait:
            self.process = process
            self.app = wait_for(lambda: self.atspi.application_of(process.pid),
                                "the program on the accessibility bus")
        return process

    def bus_name_owned(self, name):
        from gi.repository import Gio, GLib
        bus = Gio.bus_get_sync(Gio.BusType.SESSION)
        reply = bus.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus",
                              "org.freedesktop.DBus", "NameHasOwner", GLib.Variant("(s)", (name,)),
                              None, Gio.DBusCallFlags.NONE, -1)
        return reply.unpack()[0]

    def let_the_bus_start_the_program(self):
        """Hands this case's environment to the session bus for the programs it starts, as
        a desktop session does at login."""
        from gi.repository import Gio, GLib
        bus = Gio.bus_get_sync(Gio.BusType.SESSION)
        bus.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                      "UpdateActivationEnvironment",
                      GLib.Variant("(a{ss})", ({k: v for k, v in self.env.items()},)),
                      None, Gio.DBusCallFlags.NONE, -1)

    def adopt_program(self, name):
        """Takes the program the bus started as the instance the case looks at."""
        self.app = wait_for(lambda: self.atspi.application_named(name),
                            "the program on the accessibility bus")
        pid = self.app.get_process_id()

        class Started:
            def poll(self):
                return None if os.path.exists(f"/proc/{pid}") else 0

            def terminate(self):
                os.kill(pid, 15)

            def kill(self):
                os.kill(pid, 9)

            def wait(self, timeout):
                wait_for(lambda: self.poll() is not None, "the program to end", timeout)

        self.process = Started()
        self.processes.append(self.process)

    def run_program(self, *arguments, stdin_text=""):
        """Runs the program to its end and returns (exit code, output, errors)."""
        done = subprocess.run([self.program, *arguments], env=self.env, input=stdin_text,
                              capture_output=True, text=True, timeout=BOUND * 4)
        return done.returncode, done.stdout, done.stderr

    def find(self, name, role=None):
        return wait_for(lambda: self.atspi.find(self.app, name, role),
                        f'the accessible "{name}"')

    def text_of(self, name):
        return self.atspi.text(self.find(name))

    def wait_for_text(self, name, expected):
        def shown():
            text = self.atspi.text(self.atspi.find(self.app, name))
            return text == expected
        try:
            wait_for(shown, f'"{name}" to show {expected!r}')
        except AssertionError:
            raise AssertionError(f'"{name}" shows {self.text_of(name)!r}, not {expected!r}')

    def popup_showing(self):
        """True while a pop-up window (the X kind the window manager never sees) is up."""
        def xwininfo(*arguments):
            return subprocess.run(["xwininfo", "-display", self.display, *arguments],
                                  capture_output=True, text=True, timeout=BOUND).stdout
        for line in xwininfo("-root", "-children").splitlines():
            window = line.split()[0] if line.strip().startswith("0x") else None
            if window:
                info = xwininfo("-id", window)
                if "Override Redirect State: yes" in info and "IsViewable" in info:
                    return True
        return False

    def write_settings(self, values):
        """Settings as an earlier run of the program left them."""
        folder = os.path.join(self.env["XDG_CONFIG_HOME"], "lexoria")
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "org.lexoria.Lexoria.plist"), "wb") as f:
            plistlib.dump(values, f)

    def setting(self, key):
        """What the program's settings file holds under `key` now."""
        path = os.path.join(self.env["XDG_CONFIG_HOME"], "lexoria", "org.lexoria.Lexoria.plist")
        try:
            with open(path, "rb") as f:
                return plistlib.load(f).get(key)
        except (OSError, plistlib.InvalidFileException):
            return None

    def screenshot(self, file_name):
        os.makedirs(self.artifacts, exist_ok=True)
        subprocess.run(["import", "-display", self.display, "-window", "root",
                        os.path.join(self.artifacts, file_name)], check=True, timeout=BOUND)

    def stop(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                process.terminate()
        for process in reversed(self.processes):
            try:
                process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
        self.services.stop()
        shutil.rmtree(self.folder, ignore_errors=True)

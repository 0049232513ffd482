#!/usr/bin/python3
"""Screen readers find every control of the translator window by its name.

Run inside a display and a D-Bus session:
  xvfb-run -a -s -noreset dbus-run-session -- accessible_names.py LEXORIA SITE_DIR
"""
import functools
import http.server
import os
import subprocess
import sys
import tempfile
import threading
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

NAMES = ["Translation", "Source text", "Service", "Source language", "Target language",
         "Swap languages", "Close", "Google", "Microsoft", "Yandex", "PROMT", "Babylon"]


def names_shown(app_name):
    found = set()

    def walk(node):
        try:
            found.add(node.get_name())
            for i in range(node.get_child_count()):
                walk(node.get_child_at_index(i))
        except Exception:  # a node that went away meanwhile
            pass

    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app and app.get_name() == app_name:
            walk(app)
    return found


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def main():
    program, site = sys.argv[1], sys.argv[2]
    launcher = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"])
    handler = functools.partial(QuietHandler, directory=site)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    # The site's reviews text goes to the region's entry: the language pop-ups start blank.
    home = tempfile.mkdtemp()
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", XDG_CONFIG_HOME=home,
               LEXORIA_SITE_HOST="127.0.0.1:%d" % server.server_address[1],
               LANG="en_GB.UTF-8", LC_ALL="en_GB.UTF-8")
    app = subprocess.Popen([program], env=env)
    missing = NAMES
    try:
        deadline = time.time() + 60
        while missing and time.time() < deadline and app.poll() is None:
            time.sleep(0.5)
            shown = names_shown("Lexoria")
            missing = [name for name in NAMES if name not in shown]
    finally:
        app.terminate()
        app.wait(10)
        launcher.terminate()
        server.shutdown()
    for name in missing:
        print("not found through AT-SPI:", repr(name))
    return 1 if missing else 0


if __name__ == "__main__":
    sys.exit(main())

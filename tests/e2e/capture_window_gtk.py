#!/usr/bin/python3
"""A GTK window with a line of known text and a label marked "💡", at the given position."""
import sys

import gi

gi.require_version("Gtk", "3.0")
from gi.repository import Gtk  # noqa: E402

x, y = int(sys.argv[1]), int(sys.argv[2])
window = Gtk.Window(title="capture test (GTK)")
box = Gtk.Box(orientation=Gtk.Orientation.VERTICAL, spacing=20)
box.set_border_width(20)
box.pack_start(Gtk.Label(label="foo-bar (baz) 😀word", xalign=0), False, False, 0)
box.pack_start(Gtk.Label(label="💡", xalign=0), False, False, 0)
window.add(box)
window.set_default_size(400, 150)
window.move(x, y)
window.connect("destroy", Gtk.main_quit)
window.show_all()
Gtk.main()

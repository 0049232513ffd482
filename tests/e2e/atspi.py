"""What the program shows, read the way a screen reader reads it."""

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

Atspi.init()

ESCAPE = 0xFF1B
TAB = 0xFF09
SPACE = 0x20


def _children(node):
    try:
        count = node.get_child_count()
    except gi.repository.GLib.Error:
        return []
    children = []
    for i in range(count):
        try:
            child = node.get_child_at_index(i)
        except gi.repository.GLib.Error:
            continue
        if child is not None:
            children.append(child)
    return children


def application_of(pid):
    desktop = Atspi.get_desktop(0)
    for app in _children(desktop):
        try:
            if app.get_process_id() == pid and app.get_child_count() > 0:
                return app
        except gi.repository.GLib.Error:
            continue
    return None


def application_named(name):
    for app in _children(Atspi.get_desktop(0)):
        try:
            if app.get_name() == name and app.get_child_count() > 0:
                return app
        except gi.repository.GLib.Error:
            continue
    return None


def find(root, name, role=None):
    """The first accessible below `root` with this name (and role), or None."""
    if root is None:
        return None
    root.clear_cache()
    queue = [root]
    while queue:
        node = queue.pop(0)
        try:
            if node.get_name() == name and (role is None or node.get_role() == role):
                return node
        except gi.repository.GLib.Error:
            continue
        queue.extend(_children(node))
    return None


def text(node):
    if node is None:
        return None
    node.clear_cache()
    count = Atspi.Text.get_character_count(node)
    return Atspi.Text.get_text(node, 0, count)


def showing(node):
    if node is None:
        return False
    node.clear_cache()
    return node.get_state_set().contains(Atspi.StateType.SHOWING)


def window_of(node):
    while node is not None and node.get_role() not in (Atspi.Role.FRAME, Atspi.Role.WINDOW,
                                                       Atspi.Role.DIALOG):
        node = node.get_parent()
    return node


def press(node):
    """Does what a click does on a button or check box."""
    Atspi.Action.do_action(node, 0)


def focus(node):
    Atspi.Component.grab_focus(node)


def click(node):
    extents = Atspi.Component.get_extents(node, Atspi.CoordType.SCREEN)
    Atspi.generate_mouse_event(extents.x + extents.width // 2,
                               extents.y + extents.height // 2, "b1c")


def type_text(text):
    Atspi.generate_keyboard_event(0, text, Atspi.KeySynthType.STRING)


def key(keysym):
    Atspi.generate_keyboard_event(keysym, None, Atspi.KeySynthType.SYM)

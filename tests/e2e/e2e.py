#!/usr/bin/python3
"""End-to-end cases of the desktop program. One case per run, under dbus-run-session:

    e2e.py PROGRAM SITE_DIR ARTIFACTS_DIR CASE
"""

import os
import subprocess
import sys
import time
import urllib.parse

from desktop import BOUND, Desktop, wait_for

CASES = {}

# A manifest whose version no build of this program carries.
OLD_MANIFEST = """<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict><key>version</key><string>0.0.1</string></dict></plist>"""


def case(function):
    CASES[function.__name__] = function
    return function


def main_window_showing(desktop):
    return desktop.atspi.showing(desktop.find("Translation"))


@case
def typing_is_translated_after_the_pause(desktop):
    desktop.start_program()
    source = desktop.find("Source text")
    desktop.atspi.click(source)
    wait_for(lambda: source.get_state_set().contains(desktop.atspi.Atspi.StateType.FOCUSED),
             "the source view to take the focus")
    # Every key lands after this moment, so the translation may not come before 2 s on.
    before_keys = time.monotonic()
    desktop.atspi.type_text("good morning")
    desktop.wait_for_text("Translation", "DE: good morning")
    pause = desktop.services.translations()[0][0] - before_keys
    assert pause >= 2.0, f"translated {pause:.2f} s after the keys, before the pause ended"
    texts = [urllib.parse.unquote(t) for _, t in desktop.services.translations()]
    assert all(text.endswith("&text=good morning") for text in texts), texts


# Qt keeps pop-up windows out of the accessibility tree, so the settings popover is
# worked with the keyboard, as a user without a pointer would.
@case
def the_clipboard_watch_translates_a_new_text(desktop):
    desktop.start_program()
    wait_for(lambda: main_window_showing(desktop), "the main window")
    atspi = desktop.atspi
    atspi.press(desktop.find("Settings", atspi.Atspi.Role.PUSH_BUTTON))
    wait_for(desktop.popup_showing, "the settings popover")
    # The first Tab enters the popover at "Detect language"; the clipboard box is next.
    atspi.key(atspi.TAB)
    atspi.key(atspi.TAB)
    atspi.key(atspi.SPACE)
    wait_for(lambda: desktop.setting("autoClipboardTranslateBox") == "1", "the watch to start")
    put_on_clipboard(desktop, "new clipboard text")
    desktop.wait_for_text("Translation", "DE: new clipboard text")
    desktop.screenshot("main-window.png")
    atspi.key(atspi.TAB)
    atspi.key(atspi.SPACE)
    wait_for(lambda: atspi.showing(desktop.find("Lexoria Preferences")), "the preferences window")
    desktop.screenshot("preferences-window.png")


@case
def escape_closes_the_window(desktop):
    desktop.start_program()
    source = desktop.find("Source text")
    wait_for(lambda: main_window_showing(desktop), "the main window")
    desktop.atspi.click(source)
    desktop.atspi.key(desktop.atspi.ESCAPE)
    wait_for(lambda: not main_window_showing(desktop), "the window to close")


@case
def send_answers_xml_and_translates_it(desktop):
    desktop.start_program()
    desktop.find("Translation")
    code, out, err = desktop.run_program("--send", stdin_text="<a><b>hello</b></a>")
    assert (code, err) == (0, ""), (code, err)
    assert out.startswith("<a>") and "\n  <b>hello</b>\n" in out, out
    desktop.wait_for_text("Translation", "DE: " + "<a><b>hello</b></a>".replace("<", "\u2a7d")
                          .replace(">", "\u2a7e"))


@case
def send_refuses_prose_and_translates_it(desktop):
    desktop.start_program()
    desktop.find("Translation")
    code, out, err = desktop.run_program("--send", stdin_text="hello there")
    assert code == 1 and out == "" and err.strip(), (code, out, err)
    desktop.wait_for_text("Translation", "DE: hello there")


@case
def the_desktop_action_sends_the_selection(desktop):
    desktop.start_program()
    desktop.find("Translation")
    put_on_clipboard(desktop, "<p>selected</p>", selection="primary")
    code, out, err = desktop.run_program("--send-selection")
    assert (code, out, err) == (0, "<p>selected</p>", ""), (code, out, err)
    desktop.wait_for_text("Translation", "DE: \u2a7dp\u2a7eselected\u2a7d/p\u2a7e")


@case
def translate_selection_translates_the_primary_selection(desktop):
    desktop.start_program()
    desktop.find("Translation")
    put_on_clipboard(desktop, "selected words", selection="primary")
    code, out, err = desktop.run_program("--translate-selection")
    assert (code, out, err) == (0, "", ""), (code, out, err)
    desktop.wait_for_text("Translation", "DE: selected words")


# Owners hand the selection over in the forms they have: an older program only as Latin-1,
# and a big one in pieces, more than one X request can hold.
@case
def the_selection_is_taken_in_the_form_its_owner_gives(desktop):
    desktop.start_program()
    desktop.find("Translation")
    put_on_clipboard(desktop, "<p>caf\xe9</p>", selection="primary", target="STRING",
                     encoding="latin-1")
    code, out, err = desktop.run_program("--send-selection")
    assert (code, out, err) == (0, "<p>caf\u00e9</p>", ""), (code, out, err)
    big = "<p>" + "many words " * 300000 + "</p>"
    put_on_clipboard(desktop, big, selection="primary")
    code, out, err = desktop.run_program("--send-selection")
    assert (code, err) == (0, "") and out == big, (code, len(out), err)


def with_gesture(desktop, gesture, selected):
    """The program with `gesture` chosen, and another program showing `selected` selected
    with the focus; returns that program."""
    desktop.write_settings({"rirstrun": "(null)", "autoDetectLang": "0", "Icon": "1",
                            "leftLangKey": "English", "leftSim": "en",
                            "rightLangKey": "German", "rightSim": "de",
                            "choiseIntShortcuts": gesture})
    desktop.start_program()
    wait_for(lambda: main_window_showing(desktop), "the main window")
    target = subprocess.Popen([os.environ["LEXORIA_SELECTION_WINDOW"], selected],
                              env=desktop.env, stdout=subprocess.PIPE, text=True)
    desktop.processes.append(target)
    lines = []
    while "ready" not in lines:
        line = target.stdout.readline()
        assert line, "the window to copy from ended"
        lines.append(line.strip())
    return target


def press(desktop, *steps):
    """Keys of the user's own keyboard: "Alt_R:down", "Alt_R:up", ..."""
    subprocess.run([os.environ["LEXORIA_PRESS_KEYS"], *steps], env=desktop.env, check=True,
                   timeout=BOUND)


def hover_over_word(desktop, preference):
    """The program with hover translation at `preference`, and the pointer on "word" in a
    GTK window of another program."""
    desktop.write_settings({"rirstrun": "(null)", "autoDetectLang": "0", "Icon": "1",
                            "leftLangKey": "English", "leftSim": "en",
                            "rightLangKey": "German", "rightSim": "de",
                            "hoverTranslate": preference})
    desktop.start_program()
    wait_for(lambda: main_window_showing(desktop), "the main window")
    window = subprocess.Popen([sys.executable, os.path.join(os.path.dirname(__file__),
                                                            "capture_window_gtk.py"), "600", "400"],
                              env=desktop.env)
    desktop.processes.append(window)
    atspi = desktop.atspi
    label = wait_for(lambda: atspi.find(atspi.application_of(window.pid), "foo-bar (baz) 😀word"),
                     "the other program's text")
    # GTK counts characters: "o" of "word" is the 17th.
    box = atspi.Atspi.Text.get_character_extents(label, 16, atspi.Atspi.CoordType.SCREEN)
    press(desktop, f"move:{box.x + box.width // 2},{box.y + box.height // 2}")


# With hover translation on, the word the pointer rests on in another program is
# translated, read from that program over the accessibility bus.
@case
def a_word_the_pointer_rests_on_is_translated(desktop):
    hover_over_word(desktop, "always")
    desktop.wait_for_text("Translation", "DE: word")


# With a key to hold, the word under the resting pointer waits for the key.
@case
def with_a_key_to_hold_the_word_is_translated_once_it_is_held(desktop):
    hover_over_word(desktop, "CTRL")
    press(desktop, "Control_L:down")
    try:
        desktop.wait_for_text("Translation", "DE: word")
    finally:
        press(desktop, "Control_L:up")


def keys_received(target):
    target.terminate()
    return [line.strip() for line in target.stdout if line.startswith("key ")]


# The user presses right Alt on a keyboard of their own over another program's selection.
# That program must get Control+C and nothing else, and keep the focus.
@case
def right_alt_translates_the_selection_of_another_program(desktop):
    target = with_gesture(desktop, "ALT(RIGHT)", "words to translate")
    press(desktop, "Alt_R:down", "Alt_R:up")
    try:
        desktop.wait_for_text("Translation", "DE: words to translate")
    finally:
        keys = keys_received(target)
    # The user's own Alt reaches it as a key of its own; the copy comes with Control alone.
    assert keys == ["key alt alt", "key control ctrl", "key c ctrl"], keys


# Held for two seconds, Control and Alt are one gesture: the program's own copy keys
# (Control among them) are no change of the user's keys.
@case
def control_alt_held_is_one_gesture(desktop):
    target = with_gesture(desktop, "CTRL+ALT", "held keys")
    press(desktop, "Control_L:down", "Alt_L:down")
    desktop.wait_for_text("Translation", "DE: held keys")
    time.sleep(2)  # the user goes on holding both keys
    press(desktop, "Alt_L:up", "Control_L:up")
    # A gesture after the release proves the program has seen everything before it.
    press(desktop, "Control_L:down", "Alt_L:down", "Alt_L:up", "Control_L:up")
    wait_for(lambda: len(desktop.services.translations()) >= 2, "the second gesture")
    keys_received(target)
    assert len(desktop.services.translations()) == 2, desktop.services.translations()


# Super twice within half a second fires; twice 0.6 s apart does not.
@case
def super_twice_fires_only_within_half_a_second(desktop):
    target = with_gesture(desktop, "\u2318(#2)", "twice")
    press(desktop, "Super_L:down", "Super_L:up")
    time.sleep(0.6)
    press(desktop, "Super_L:down", "Super_L:up")
    time.sleep(0.6)
    assert desktop.services.translations() == [], desktop.services.translations()
    press(desktop, "Super_L:down", "Super_L:up", "Super_L:down", "Super_L:up")
    desktop.wait_for_text("Translation", "DE: twice")
    keys_received(target)


# Once the translation was copied (the clipboard is ours now), the next gesture still
# takes the new selection of the program that has the focus, which never moved to us.
@case
def after_copying_the_result_the_next_gesture_takes_the_new_selection(desktop):
    first = with_gesture(desktop, "ALT(RIGHT)", "first words")
    press(desktop, "Alt_R:down", "Alt_R:up")
    desktop.wait_for_text("Translation", "DE: first words")
    atspi = desktop.atspi
    atspi.press(desktop.find("Translation actions", atspi.Atspi.Role.PUSH_BUTTON))
    wait_for(desktop.popup_showing, "the translation popover")
    atspi.key(atspi.TAB)  # into the popover, at "Copy the translation"
    atspi.key(atspi.SPACE)

    def clipboard():
        return subprocess.run(["xclip", "-selection", "clipboard", "-o"], env=desktop.env,
                              capture_output=True, text=True, timeout=BOUND).stdout
    wait_for(lambda: clipboard() == "DE: first words", "the translation on the clipboard")
    atspi.key(atspi.ESCAPE)
    keys_received(first)
    second = subprocess.Popen([os.environ["LEXORIA_SELECTION_WINDOW"], "second words"],
                              env=desktop.env, stdout=subprocess.PIPE, text=True)
    desktop.processes.append(second)
    while second.stdout.readline().strip() != "ready":
        pass
    press(desktop, "Alt_R:down", "Alt_R:up")
    desktop.wait_for_text("Translation", "DE: second words")
    assert "key c ctrl" in keys_received(second)


# With nothing selected, the program copies nothing and the clipboard's text is translated.
@case
def with_nothing_selected_the_clipboard_text_is_translated(desktop):
    target = with_gesture(desktop, "ALT(RIGHT)", "")
    put_on_clipboard(desktop, "text on the clipboard")
    press(desktop, "Alt_R:down", "Alt_R:up")
    desktop.wait_for_text("Translation", "DE: text on the clipboard")
    keys_received(target)


@case
def send_starts_the_program_through_the_bus(desktop):
    desktop.let_the_bus_start_the_program()
    code, out, err = desktop.run_program("--send", stdin_text="<a>hi</a>")
    assert (code, out, err) == (0, "<a>hi</a>", ""), (code, out, err)
    desktop.adopt_program("Lexoria")
    desktop.wait_for_text("Translation", "DE: \u2a7da\u2a7ehi\u2a7d/a\u2a7e")


# Start-up fetches may take a minute, and a caller the bus started the program for waits
# only so long for its name: the name comes first, the answer once start-up is done.
@case
def the_name_is_taken_before_start_up_and_calls_wait_for_it(desktop):
    desktop.services.manifest_released.clear()
    desktop.start_program(wait=False)
    wait_for(lambda: desktop.services.recorder.matching("site:/lx.plist"),
             "the manifest request")
    wait_for(lambda: desktop.bus_name_owned("org.lexoria.Lexoria"), "the bus name")
    send = subprocess.Popen([desktop.program, "--send"], env=desktop.env, text=True,
                            stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    desktop.processes.append(send)
    send.stdin.write("<early/>")
    send.stdin.close()
    assert send.poll() is None, "answered while start-up was waiting for the site"
    desktop.services.manifest_released.set()
    assert send.wait(timeout=BOUND) == 0, send.stderr.read()
    assert send.stdout.read() == "<early/>"


@case
def a_second_start_shows_the_first_window(desktop):
    desktop.start_program()
    source = desktop.find("Source text")
    wait_for(lambda: main_window_showing(desktop), "the main window")
    desktop.atspi.click(source)
    desktop.atspi.key(desktop.atspi.ESCAPE)
    wait_for(lambda: not main_window_showing(desktop), "the window to close")
    code, out, err = desktop.run_program()
    assert code == 0, (code, out, err)
    wait_for(lambda: main_window_showing(desktop), "the first instance's window")
    assert desktop.process.poll() is None, "the first instance ended"


@case
def an_old_version_ends_after_the_update_alert(desktop):
    desktop.start_program()
    # The notice comes in the user's language, through Microsoft.
    desktop.find("MS:  This version of Lexoria is no longer supported . Please update .")
    cancel = desktop.find("Cancel")
    desktop.screenshot("update-alert.png")
    desktop.atspi.press(cancel)
    wait_for(lambda: desktop.process.poll() is not None, "the program to end")


@case
def the_installed_site_serves_a_build_without_a_public_site(desktop):
    del desktop.env["LEXORIA_SITE_HOST"]
    desktop.start_program()
    wait_for(lambda: main_window_showing(desktop), "the main window")
    assert desktop.atspi.find(desktop.app, "No connection !") is None
    assert not desktop.services.recorder.matching("site:"), "the loopback site was asked"


def put_on_clipboard(desktop, text, selection="clipboard", target=None, encoding="utf-8"):
    """Puts `text` on the selection, offered as xclip offers text, or as `target` only."""
    form = ["-t", target] if target else []
    # xclip stays to serve the selection; its output must not hold our pipe.
    process = subprocess.Popen(["xclip", "-selection", selection, *form, "-i"],
                               env=desktop.env, stdin=subprocess.PIPE,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    desktop.processes.append(process)
    process.stdin.write(text.encode(encoding))
    process.stdin.close()

    def owned():
        read = subprocess.run(["xclip", "-selection", selection, *form, "-o"],
                              env=desktop.env, capture_output=True, timeout=BOUND)
        return read.stdout == text.encode(encoding)
    wait_for(owned, f"xclip to hold the {selection} selection")


def main():
    program, site_dir, artifacts, name = sys.argv[1:5]
    manifest = OLD_MANIFEST if name == "an_old_version_ends_after_the_update_alert" else None
    desktop = Desktop(program, os.path.realpath(site_dir), artifacts, manifest)
    try:
        CASES[name](desktop)
    finally:
        desktop.stop()
    print(f"{name}: passed")


if __name__ == "__main__":
    main()

#!/usr/bin/python3
"""The window as a screen reader meets it.

Runs the real `corvalt --virtual-reader` under Xvfb, on a private session
bus with the accessibility bus and its registry, and drives it through
AT-SPI alone: the toggle and press actions, the text and editable-text
interfaces, the tree, names and states.

usage: accessibility_test.py CORVALT

Exits 77 (skipped) when the display or the bus cannot start, and fails
instead when CI is set: there the test must run.
"""

import os
import select
import subprocess
import sys
import tempfile
import time

SKIPPED = 77
TIMEOUT = 30  # seconds for anything the program does in its own time

failures = []


def unavailable(reason):
    if os.environ.get("CI"):
        sys.exit(f"accessibility test: cannot run: {reason}")
    print(f"SKIP: {reason}")
    sys.exit(SKIPPED)


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what)
    if not condition:
        failures.append(what)


def wait_for(what, probe):
    end = time.monotonic() + TIMEOUT
    while True:
        try:
            value = probe()
        except Exception:  # an object gone or not there yet
            value = None
        if value:
            return value
        if time.monotonic() > end:
            sys.exit(f"accessibility test: timed out waiting for {what}")
        time.sleep(0.1)


def start_display(processes):
    """Xvfb picks a free display itself and names it once it takes
    connections: a number chosen here could be taken by another server
    starting meanwhile, or name one that is going away."""
    read, write = os.pipe()
    try:
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1366x768x24", "-nolisten", "tcp"],
                                pass_fds=(write,), stderr=subprocess.DEVNULL)
    except OSError as error:
        unavailable(f"Xvfb: {error}")
    finally:
        os.close(write)
    processes.append(xvfb)
    with os.fdopen(read) as named:
        ready, _, _ = select.select([named], [], [], TIMEOUT)
        number = named.readline().strip() if ready else ""
    if not number:
        unavailable("Xvfb did not start")
    return f":{number}"


def start_session_bus(processes):
    try:
        bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                               stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    except OSError as error:
        unavailable(f"dbus-daemon: {error}")
    processes.append(bus)
    address = bus.stdout.readline().strip()
    if not address:
        unavailable("the session bus did not start")
    return address


REGISTRY = "/usr/libexec/at-spi2-registryd"


def start_registry(processes):
    """Starts the registry on the accessibility bus the session bus hands
    out. Left to the bus to start, it would look for a desktop session and
    end at once."""
    try:
        from gi.repository import Gio, GLib
        session = Gio.bus_get_sync(Gio.BusType.SESSION)
        reply = session.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress", None,
                                  GLib.VariantType("(s)"), Gio.DBusCallFlags.NONE, 10000, None)
        address = reply.unpack()[0]
        processes.append(subprocess.Popen([REGISTRY], env=dict(os.environ, AT_SPI_BUS_ADDRESS=address),
                                          stdout=subprocess.DEVNULL))
    except Exception as error:
        unavailable(f"the accessibility bus: {error}")


def descendants(node):
    for index in range(node.childCount):
        child = node.getChildAtIndex(index)
        if child is None:
            continue
        yield child
        yield from descendants(child)


def find(root, role, name):
    return next((node for node in descendants(root) if node.getRole() == role and node.name == name), None)


def do_action(node, name):
    action = node.queryAction()
    for index in range(action.nActions):
        if action.getName(index).lower() == name:
            return action.doAction(index)
    raise AssertionError(f"{node.name!r} has no {name} action")


def main():
    corvalt = sys.argv[1]
    processes = []
    runtime = tempfile.TemporaryDirectory()
    try:
        os.environ["DISPLAY"] = start_display(processes)
        os.environ["DBUS_SESSION_BUS_ADDRESS"] = start_session_bus(processes)
        os.environ["XDG_RUNTIME_DIR"] = runtime.name
        os.environ.pop("AT_SPI_BUS_ADDRESS", None)
        try:
            import gi
            gi.require_version("Atspi", "2.0")
            start_registry(processes)
            import pyatspi
        except (ImportError, ValueError) as error:
            unavailable(f"pyatspi: {error}")
        app_env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                       QT_ACCESSIBILITY="1")
        processes.append(subprocess.Popen([corvalt, "--virtual-reader"], env=app_env))
        run(pyatspi)
    finally:
        for process in reversed(processes):
            process.terminate()
            try:
                process.wait(10)
            except subprocess.TimeoutExpired:
                process.kill()
        runtime.cleanup()
    if failures:
        sys.exit(f"accessibility test: {len(failures)} check(s) failed")


def run(pyatspi):
    from gi.repository import GLib
    desktop = pyatspi.Registry.getDesktop(0)

    def window(name_start):
        for app in desktop:
            for top in app or []:
                if top is not None and top.name.startswith(name_start):
                    return top
        return None

    def states(node):
        return node.getState()

    def extents(node):
        return node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)

    dialog = wait_for("the main window on the accessibility bus", lambda: window("USB HID MSR Demo"))
    reader = wait_for("the Virtual Reader window", lambda: window("Virtual Reader"))
    wait_for("the reader to be found", lambda: dialog.name == "USB HID MSR Demo - Hid Mode")

    # Reading mode announces nothing the shrunken window cuts off.
    box = extents(dialog)
    below = [node.name or str(node.getRole()) for node in descendants(dialog)
             if states(node).contains(pyatspi.STATE_SHOWING) and extents(node).y >= box.y + box.height]
    check(below == [], f"reading mode announces nothing below the window, found {below}")
    check(find(dialog, pyatspi.ROLE_PUSH_BUTTON, "Send Command").getState().contains(pyatspi.STATE_VISIBLE)
          is False, "\"Send Command\" is not visible in reading mode")

    # The Virtual Reader window: a window, every control named apart.
    check(reader.getRole() in (pyatspi.ROLE_FRAME, pyatspi.ROLE_WINDOW),
          f"the Virtual Reader window is a window, not a {reader.getRoleName()}")
    controls = [node for node in descendants(reader) if node.getRole() in (
        pyatspi.ROLE_TEXT, pyatspi.ROLE_CHECK_BOX, pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_PUSH_BUTTON,
        pyatspi.ROLE_RADIO_BUTTON)]
    names = [node.name for node in controls]
    check(len(controls) >= 11 and all(names) and len(set(names)) == len(names),
          f"the Virtual Reader's controls have names of their own: {names}")
    # A combo box says its choice as its name; its label comes with it.
    samples = next(node for node in controls if node.getRole() == pyatspi.ROLE_COMBO_BOX)
    labels = [target.name for relation in samples.getRelationSet()
              if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY
              for target in (relation.getTarget(i) for i in range(relation.getNTargets()))]
    check(labels == ["Sample card:"], f"the sample card box is labelled: {labels}")

    # A swipe's text through the text interface.
    transcript = find(dialog, pyatspi.ROLE_TEXT, "Communication Dialog(Hex)")
    do_action(find(reader, pyatspi.ROLE_PUSH_BUTTON, "Swipe"), "press")
    text = wait_for("the swipe in the transcript",
                    lambda: (lambda t: t if "Track 2 = " in t else None)(
                        transcript.queryText().getText(0, -1)))
    check("Track 1 = " in text, "the swipe's tracks are read through the text interface")

    # Command mode by the radio's toggle action: title, size and controls follow.
    reduced = extents(dialog).height
    do_action(find(dialog, pyatspi.ROLE_RADIO_BUTTON, "Configuration Command And Response"), "toggle")
    wait_for("the command mode title", lambda: dialog.name == "USB HID MSR Demo - Command Mode")
    check(extents(dialog).height > 2 * reduced, "the window shows its whole height in command mode")

    # Every Apply is told apart by the group around it.
    applies = [node for node in descendants(dialog)
               if node.getRole() == pyatspi.ROLE_PUSH_BUTTON and node.name == "Apply"]
    groups = sorted(node.parent.name for node in applies)
    check(groups == sorted(["USB Hid Mode", "Select Track", "Magnetic Card Data Format", "Send Error String",
                            "User Sentinel + Error String"]),
          f"each Apply sits in its own group: {groups}")
    one = find(dialog, pyatspi.ROLE_RADIO_BUTTON, "1")
    check(one.parent.name == "Track", "the radio \"1\" sits in \"Track\"")

    # "Auto Add Length" off by toggle: the next command is sent with the
    # length as typed, typed through the editable-text interface.
    auto_add = find(dialog, pyatspi.ROLE_CHECK_BOX, "Auto Add Length")
    do_action(auto_add, "toggle")
    wait_for("Auto Add Length unchecked", lambda: not auto_add.getState().contains(pyatspi.STATE_CHECKED))
    send = find(dialog, pyatspi.ROLE_PUSH_BUTTON, "Send Command")
    find(dialog, pyatspi.ROLE_TEXT, "Send Command").queryEditableText().setTextContents("01 02 03")
    wait_for("Send Command enabled", lambda: send.getState().contains(pyatspi.STATE_SENSITIVE))
    do_action(send, "press")
    text = wait_for("the request line", lambda: (lambda t: t if "Request" in t else None)(
        transcript.queryText().getText(0, -1)))
    check("Request      : CMND=01, DATA= 03 00" in text, f"the typed length is sent as typed: {text!r}")

    # The user format by toggle enables its controls, and so does the
    # literal user sentinel mode.
    do_action(find(dialog, pyatspi.ROLE_RADIO_BUTTON, "USERSS + Data + USERES +"), "toggle")
    enter = find(dialog, pyatspi.ROLE_CHECK_BOX, "Enter")
    wait_for("\"Enter\" enabled", lambda: enter.getState().contains(pyatspi.STATE_SENSITIVE))
    check(enter.getState().contains(pyatspi.STATE_CHECKED), "the user format checks \"Enter\"")
    literal = find(dialog, pyatspi.ROLE_LABEL, "Literal Sentinel:")
    do_action(find(dialog, pyatspi.ROLE_RADIO_BUTTON, "Literal"), "toggle")
    wait_for("\"Literal Sentinel:\" enabled", lambda: literal.getState().contains(pyatspi.STATE_SENSITIVE))

    # The Menu key opens the window's menu: a screen reader hears its entries
    # as each takes the focus.
    focused = []
    listener = lambda event: focused.append((event.source.getRole(), event.source.name)) if event.detail1 else None
    pyatspi.Registry.registerEventListener(listener, "object:state-changed:focused")
    window_id = subprocess.run(["xdotool", "search", "--name", "^USB HID MSR Demo"], capture_output=True,
                               text=True, check=True).stdout.split()[0]
    subprocess.run(["xdotool", "windowfocus", "--sync", window_id, "key", "Menu", "Down", "Down"], check=True)
    context = GLib.MainContext.default()

    def menu_entries():
        while context.iteration(False):
            pass
        entries = [name for role, name in focused if role == pyatspi.ROLE_MENU_ITEM]
        return entries if len(entries) >= 2 else None

    entries = wait_for("the window's menu entries", menu_entries)
    # The bus gives the entries without their mnemonic's "&".
    check(entries[:2] == ["关于 Corvalt(A)...", "Save Transcript As..."], f"the Menu key opens the menu: {entries}")
    subprocess.run(["xdotool", "key", "Escape"], check=True)
    pyatspi.Registry.deregisterEventListener(listener, "object:state-changed:focused")

if __name__ == "__main__":
    main()

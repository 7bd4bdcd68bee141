#!/usr/bin/python3
"""Reads the calculator and the schedule program the way a screen reader does, over AT-SPI.

Run by scripts/test-desktop.sh inside its private D-Bus session, with the program already
started (QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1) and its process id given. Exits 0 when every
check holds, 1 with the reasons otherwise; it never ends the program by a signal, only
through the program's own Exit button, so that the program saves as it does for a user.

  atspi_check.py calculator --pid PID [--saved INI] [--type] [--shots DIR] [--x11]
  atspi_check.py schedule --pid PID [--shots DIR]
"""

import argparse
import configparser
import glob
import os
import subprocess
import sys
import time

import pyatspi

MAIN_TITLE = "Tallowmere, 1.1"
SCHEDULE_TITLE = "Discounting Schedule - Tallowmere Calculator - Corvane Software"
YEARS = ["Cash flow, year %d" % n for n in range(1, 11)]
RATES = ["Discount rate %d" % k for k in range(1, 6)]
RESULTS = ["Net present value %d" % k for k in range(1, 6)]
TOOLBAR = ["Print ...", "Print Setup ...", "Disclaimer ...", "Reset the calculator",
           "Check for an update ...", "Help ...", "Exit"]
LINK = "Corvane Software"
DEFAULT_RATES = [4.0, 5.0, 6.0, 7.0, 8.0]

# Inputs typed in the X11 run: uneven flows, one of them negative, and rates whose
# results lie far from a half cent, so that the expected texts do not hang on rounding.
TYPED_YEARS = [-25000, 3100, 3300, 3500, 3650, 3800, 4000, 4150, 4400, 31000]
TYPED_RATES = [6.5, 8.25, 10, 12.5, 15]

TIMEOUT = 60.0


class CheckFailed(Exception):
    pass


def wait_for(what, probe, timeout=TIMEOUT):
    """Polls probe() until it returns something true; fails naming what never came."""
    deadline = time.monotonic() + timeout
    last_error = None
    while time.monotonic() < deadline:
        try:
            found = probe()
            if found:
                return found
        except CheckFailed:
            raise
        except Exception as error:  # the tree changes under the reader while a program starts
            last_error = error
        time.sleep(0.2)
    detail = " (last error: %s)" % last_error if last_error else ""
    raise CheckFailed("%s did not come within %.0f s%s" % (what, timeout, detail))


def running(pid):
    try:
        with open("/proc/%d/stat" % pid, encoding="ascii") as stat:
            return stat.read().rsplit(")", 1)[1].split()[0] != "Z"
    except OSError:
        return False


def application(pid):
    if not running(pid):
        raise CheckFailed("the program (process %d) ended before it showed on the AT-SPI desktop" % pid)
    desktop = pyatspi.Registry.getDesktop(0)
    for index in range(desktop.childCount):
        app = desktop.getChildAtIndex(index)
        if app is not None and app.get_process_id() == pid:
            return app
    return None


def descendants(root, limit=2000):
    """Every accessible below root, breadth first, at most limit of them."""
    queue, seen = [root], []
    while queue and len(seen) < limit:
        node = queue.pop(0)
        for index in range(node.childCount):
            child = node.getChildAtIndex(index)
            if child is not None:
                seen.append(child)
                queue.append(child)
    return seen


def by_name(nodes):
    named = {}
    for node in nodes:
        named.setdefault(node.name, node)
    return named


def text_of(node):
    return node.queryText().getText(0, -1)


def money(value):
    """The C locale's currency text, as the calculator shows it: $1,234.50, ($1,234.50)."""
    text = "${:,.2f}".format(abs(value))
    return "(%s)" % text if round(value, 2) < 0 else text


def net_present_value(flows, rate):
    return sum(flow / (1 + rate / 100.0) ** year for year, flow in enumerate(flows, start=1))


class Shooter:
    """Pictures of the screen for a failed run: weston's screenshooter, or nothing."""

    def __init__(self, folder):
        self.folder = folder

    def take(self, name):
        if not self.folder or not os.environ.get("WAYLAND_DISPLAY"):
            return
        before = set(glob.glob(os.path.join(self.folder, "wayland-screenshot-*.png")))
        try:
            subprocess.run(["weston-screenshooter"], cwd=self.folder, timeout=20, check=True,
                           stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        except (OSError, subprocess.SubprocessError) as error:
            print("atspi_check: no screenshot %s: %s" % (name, error), file=sys.stderr)
            return
        made = sorted(set(glob.glob(os.path.join(self.folder, "wayland-screenshot-*.png"))) - before)
        if made:
            os.replace(made[-1], os.path.join(self.folder, name + ".png"))


def press(node, what):
    action = node.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    if "Press" not in names:
        raise CheckFailed("%s offers no Press action (only %s)" % (what, names))
    try:
        action.doAction(names.index("Press"))
    except Exception as error:
        # The program may end before it answers; the caller sees whether it ended.
        print("atspi_check: pressing %s: %s" % (what, error), file=sys.stderr)


def activate_x11_window(pid):
    """Gives the main window the keyboard focus on a display without a window manager,
    where nothing else would, so that moving the focus between fields leaves a field."""
    ids = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid), "--name",
                          "^%s$" % MAIN_TITLE], capture_output=True, text=True).stdout.split()
    for window in ids:
        kind = subprocess.run(["xprop", "-id", window, "_NET_WM_WINDOW_TYPE"],
                              capture_output=True, text=True).stdout
        if "_NET_WM_WINDOW_TYPE_SPLASH" not in kind:
            subprocess.run(["xdotool", "windowfocus", "--sync", window], check=True, timeout=20)
            return True
    return False


def main_frame(app):
    """The main window: the frame of that title that holds the fields (the splash shares it)."""
    for index in range(app.childCount):
        frame = app.getChildAtIndex(index)
        if frame is not None and frame.name == MAIN_TITLE and \
                frame.getState().contains(pyatspi.STATE_SHOWING):
            nodes = descendants(frame)
            if YEARS[0] in by_name(nodes):
                return frame, nodes
    return None


def saved_inputs(path):
    """The fifteen inputs of [LastValues] as the calculator reads them (missing keys take
    the layout's values)."""
    parser = configparser.ConfigParser(strict=False, interpolation=None)
    parser.optionxform = str.lower
    with open(path, encoding="utf-8") as handle:
        parser.read_file(handle)
    section = next((s for s in parser.sections() if s.lower() == "lastvalues"), None)
    values = parser[section] if section else {}
    years = [float(values.get("year%d" % n, "0")) for n in range(1, 11)]
    rates = [float(values.get("rate%d" % k, str(DEFAULT_RATES[k - 1]))) for k in range(1, 6)]
    return years, rates


def check_texts(named, years, rates, results, problems):
    expected = list(zip(YEARS, map(money, years))) + list(zip(RATES, ("%.3f" % r for r in rates)))
    if results is not None:
        expected += list(zip(RESULTS, map(money, results)))
    for name, want in expected:
        got = text_of(named[name])
        if got != want:
            problems.append("%s reads %r, expected %r" % (name, got, want))


def check_names(named, problems):
    for name in YEARS + RATES + RESULTS:
        node = named.get(name)
        if node is None:
            problems.append("no field named %r" % name)
        elif node.getRole() != pyatspi.ROLE_TEXT:
            problems.append("%r is a %s, not a text field" % (name, node.getRoleName()))
    for name in TOOLBAR:
        node = named.get(name)
        if node is None or node.getRole() != pyatspi.ROLE_PUSH_BUTTON:
            problems.append("no toolbar button named %r" % name)
    if LINK not in named:
        problems.append("no link named %r" % LINK)


def focus(node, what):
    node.queryComponent().grabFocus()
    wait_for("the focus in %s" % what, lambda: node.getState().contains(pyatspi.STATE_FOCUSED), 10)


def type_inputs(named):
    """Types every input field after field, as a user tabbing through would; leaving each
    one recomputes. A rate field keeps its three decimals while it is edited, so its text
    goes in that form. The focus ends in the first rate field, which shows the same text
    with and without the focus."""
    fields = [(YEARS[i], "%g" % v) for i, v in enumerate(TYPED_YEARS)] + \
             [(RATES[k], "%.3f" % v) for k, v in enumerate(TYPED_RATES)]
    for name, text in fields:
        node = named[name]
        focus(node, name)
        if not node.queryEditableText().setTextContents(text):
            raise CheckFailed("%s did not take the text %r" % (name, text))
    focus(named[RATES[0]], RATES[0])


def calculator(args):
    app = wait_for("the calculator on the AT-SPI desktop (started with QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1?)",
                   lambda: application(args.pid))
    frame, nodes = wait_for("the main window %r with its fields" % MAIN_TITLE, lambda: main_frame(app))
    named = by_name(nodes)
    shooter = Shooter(args.shots)
    shooter.take("calculator")
    problems = []
    check_names(named, problems)
    if args.saved:
        years, rates = saved_inputs(args.saved)
        check_texts(named, years, rates, [0.0] * 5, problems)
    if args.type and not problems:
        if args.x11:
            wait_for("the keyboard focus in the main window", lambda: activate_x11_window(args.pid), 20)
        type_inputs(named)
        results = [net_present_value(TYPED_YEARS, r) for r in TYPED_RATES]
        try:
            wait_for("the recomputed results",
                     lambda: text_of(named[RESULTS[-1]]) == money(results[-1]), 10)
        except CheckFailed:
            pass  # the comparison below names every field that differs
        check_texts(named, TYPED_YEARS, TYPED_RATES, results, problems)
        shooter.take("calculator-typed")
    if problems:
        raise CheckFailed("; ".join(problems))
    print("atspi_check: %s: %d fields, %d toolbar buttons and the link read as expected"
          % (MAIN_TITLE, len(YEARS + RATES + RESULTS), len(TOOLBAR)))
    press(named["Exit"], "the Exit button")


def schedule(args):
    app = wait_for("the schedule program on the AT-SPI desktop (started with QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1?)",
                   lambda: application(args.pid))

    def preview():
        for index in range(app.childCount):
            window = app.getChildAtIndex(index)
            if window is not None and window.name == SCHEDULE_TITLE:
                nodes = descendants(window)
                pages = [n for n in nodes if n.getRole() == pyatspi.ROLE_LABEL
                         and n.name.startswith("Page 1 of ")]
                if pages and "Exit" in by_name(nodes):
                    return pages[0], by_name(nodes)["Exit"]
        return None

    pages, exit_button = wait_for("the preview %r" % SCHEDULE_TITLE, preview)
    Shooter(args.shots).take("schedule")
    count = int(pages.name.rsplit(" ", 1)[1])
    if count < 1:
        raise CheckFailed("the preview shows no page: %r" % pages.name)
    print("atspi_check: %s shows %r" % (SCHEDULE_TITLE, pages.name))
    press(exit_button, "the preview's Exit button")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("program", choices=["calculator", "schedule"])
    parser.add_argument("--pid", type=int, required=True)
    parser.add_argument("--saved", help="settings file whose values the fields must show")
    parser.add_argument("--type", action="store_true", help="type inputs and check the results")
    parser.add_argument("--x11", action="store_true", help="the program runs on an X display")
    parser.add_argument("--shots", help="folder for screenshots")
    args = parser.parse_args()
    try:
        (calculator if args.program == "calculator" else schedule)(args)
    except CheckFailed as error:
        print("atspi_check: %s" % error, file=sys.stderr)
        Shooter(args.shots).take("failed-" + args.program)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())

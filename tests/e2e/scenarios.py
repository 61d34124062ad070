#!/usr/bin/env python3
"""What a user does with wux, end to end, checked on the files it saves.

    scenarios.py PATH/TO/wux SCENARIO    runs one scenario (ctest runs each on its own)
    scenarios.py --list                  names them

A failed scenario prints wux's output and its windows and leaves the screen as
e2e-SCENARIO-failure.png in the current folder. WUX_E2E_KEEP=1 keeps the temporary
folder (the files as saved); WUX_E2E_TIMEOUT (seconds, default 60) stretches the waits.

The main window is driven by its menus' access keys (the first item of a menu opened
from the keyboard is highlighted, so an item is reached with Down presses), by the
desktop's keys, by Tab through a window's focus order, and by the mouse where a user
needs it: the note editor fills the right of the window, and a note of the notebook
view is found on the screen by its selection colour after the keyboard selected it.
"""

import os
import re
import signal
import sys
import time
import traceback

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import wuxdrive as d  # noqa: E402

SCENARIOS = {}


def scenario(f):
    SCENARIOS[f.__name__] = f
    return f


def check(condition, message):
    if not condition:
        raise d.Failure(message)


# ---- the main window ----

# Items counted from the first item of their menu, separators skipped.
FILE_SAVE_ALL_HOLDERS = dict(top_mnemonic="f", downs=7)  # &File > Save All Holders
MEMONODE_MOVE1TO = dict(top_mnemonic="f", rights=3, downs=4)  # [MemoNode] > Move1To
MEMONODE_DELETE = dict(top_mnemonic="f", rights=3, downs=5)  # [MemoNode] > Delete
SCAN_HOLDERS = dict(top_mnemonic="f", rights=7, downs=0)  # Scan > Holders
HOLDER_PROPATY = dict(top_mnemonic="f", rights=1, downs=10)  # [Holder] > Propaty

# The size of the private screen (wuxdrive's Xvfb).
SCREEN = (1280, 1024)

# The note view's selection, as Qt's Fusion style paints it.
SELECTION = (48, 140, 198)


def is_selection(rgb):
    return all(abs(c - s) < 30 for c, s in zip(rgb, SELECTION))


class Wux:
    """One running wux on a document, seen through its main window."""

    def __init__(self, session, wux, doc):
        self.s, self.doc = session, doc
        self.proc = session.start_wux(wux, session.path(doc))
        self.main = session.wait_main_window(self.proc, session.path(doc))

    def geometry(self):
        return self.s.geometry(self.main)

    def click_editor(self):
        """Clicks into the note editor's text, which fills most of the window's right."""
        x, y, w, h = self.geometry()
        self.s.click(x + w * 65 // 100, y + h * 45 // 100)

    def type_at_end(self, text):
        self.click_editor()
        self.s.key("ctrl+End")
        self.s.type(text)

    def menu(self, item):
        self.s.activate(self.main)
        self.s.menu(**item)

    def save_all(self):
        self.menu(FILE_SAVE_ALL_HOLDERS)

    def selected_rows(self):
        """The rows of the note view (the left quarter of the window) painted in the
        selection colour: [(top, bottom, left, right)] on the screen."""
        x, y, w, h = self.geometry()
        return self.s.screen.grab().find_runs(is_selection, x, y, x + w // 4, y + h)

    def selected_row(self, other_than=None):
        """Waits for one selected row (not `other_than`) and answers it."""

        def one():
            rows = self.selected_rows()
            # Read twice: a grab in the middle of a repaint may show half a row.
            if len(rows) == 1 and rows[0] != other_than and self.selected_rows() == rows:
                return rows[0]
            return None

        return d.wait_for("one selected note in the view", one)

    def quit(self):
        """File > Exit by its key; nothing is left to save, so nothing is asked."""
        self.s.activate(self.main)
        self.s.key("ctrl+q")
        code = self.s.wait_exit(self.proc)
        check(code == 0, "wux ended with %d" % code)


def centre(row):
    top, bottom, left, right = row
    return (left + right) // 2, (top + bottom) // 2


def wait_for_file(session, name, probe, what):
    """Waits until the saved file `name` reads as `probe` wants; fails showing the file."""
    path = session.path(name)
    last = [None]

    def ready():
        if not os.path.exists(path):
            return None
        # Files are replaced whole, never seen half-written: a bad one is a fault now.
        last[0] = d.read_sjis(path)
        return probe(last[0])

    try:
        return d.wait_for(what, ready)
    except d.Failure:
        raise d.Failure("%s: %s never came; the file reads:\n%s" % (name, what, last[0]))


def note_bodies(text):
    return {name: body.replace("<BR/>", "").strip() for name, _, body in d.records(text)}


# ---- typing and saving ----

# Typed text stays ASCII: xdotool loses characters it has to map to a key first.
FIRST = "最初のメモ first text"


def write_three_notes(s):
    s.write("doc.mxa", d.document("doc", ["Book"]))
    s.write("Book.mxh", d.notebook("Book", [("first", "F1", None, FIRST),
                                            ("second", "S2", None, "second text"),
                                            ("third", "T3", None, "third text")]))


def reopen_and_extend(s, wux, typed):
    """Starts wux again on the saved document, adds to the note that was typed into and
    saves: the saved note then holds both texts only if the program read the first."""
    w = Wux(s, wux, "doc.mxa")
    w.type_at_end(" again")
    w.save_all()
    wait_for_file(s, "Book.mxh", lambda t: "again" in t, "the second save")
    bodies = note_bodies(d.read_sjis(s.path("Book.mxh")))
    check(bodies.get("first") == FIRST + typed + " again",
          "the reopened note reads %r" % bodies.get("first"))
    w.quit()


@scenario
def type_save_all_reopen(s, wux):
    """Typed text reaches the notebook file through File > Save All Holders, beside the
    note's Japanese text, and a new start of the program reads it back."""
    write_three_notes(s)
    w = Wux(s, wux, "doc.mxa")
    typed = " and more"
    w.type_at_end(typed)
    w.save_all()
    text = wait_for_file(s, "Book.mxh", lambda t: t if "and more" in t else None, "the typed text")
    bodies = note_bodies(text)
    check(bodies == {"first": FIRST + typed, "second": "second text", "third": "third text"},
          "saved notes: %r" % bodies)
    doc = wait_for_file(s, "doc.mxa", lambda t: t if d.WRITTEN not in t else None, "the document saved")
    check(d.holder_names(doc) == ["Book"], "the document names %r" % d.holder_names(doc))
    w.quit()
    reopen_and_extend(s, wux, typed)


@scenario
def ctrl_s_saves_notes(s, wux):
    """Ctrl+S saves the document and the notes typed into its notebooks."""
    write_three_notes(s)
    w = Wux(s, wux, "doc.mxa")
    typed = " typed then Ctrl+S"
    w.type_at_end(typed)
    w.s.key("ctrl+s")
    text = wait_for_file(s, "Book.mxh", lambda t: t if "Ctrl+S" in t else None, "the typed text")
    check(note_bodies(text)["first"] == FIRST + typed, "saved: %r" % note_bodies(text))
    wait_for_file(s, "doc.mxa", lambda t: d.WRITTEN not in t, "the document saved again")
    w.quit()
    reopen_and_extend(s, wux, typed)


@scenario
def close_asks_then_saves(s, wux):
    """Closing with unsaved typing asks before it ends; Enter answers Yes to each
    question, which saves."""
    write_three_notes(s)
    w = Wux(s, wux, "doc.mxa")
    w.type_at_end(" unsaved")
    s.activate(w.main)
    s.key("ctrl+q")
    asked = 0
    while True:
        # A question box (the program's name as its title), or the end.
        got = d.wait_for("a question or the end of wux", lambda: (
            "ended" if w.proc.poll() is not None else s.windows("^wux\\.exe$", kind="DIALOG")))
        if got == "ended":
            break
        check(asked < 5, "asked more than five times")
        asked += 1
        s.activate(got[0])
        s.key("Return")
        d.wait_for("the question to go", lambda: got[0] not in s.windows("^wux\\.exe$", kind="DIALOG"))
    check(asked > 0, "closed without asking")
    check(w.proc.returncode == 0, "wux ended with %d" % w.proc.returncode)
    text = d.read_sjis(s.path("Book.mxh"))
    check(note_bodies(text)["first"] == FIRST + " unsaved", "saved: %r" % note_bodies(text))


# ---- the tree ----

@scenario
def tree_drag_reparents(s, wux):
    """A note dragged onto a child note in the tree goes in front of it, under the same
    parent, and the saved file says so."""
    s.write("doc.mxa", d.document("doc", ["Tree"]))
    s.write("Tree.mxh", d.notebook("Tree", [("root", "R", None, "r"), ("child", "C", "R", "c"),
                                            ("loose", "L", None, "l")], mode="TreeView"))
    w = Wux(s, wux, "doc.mxa")
    # The root is current; a click on it gives the tree the keys without changing the
    # note, "*" opens the whole branch, Down walks to the next notes.
    root = w.selected_row()
    s.click(*centre(root))
    s.key("asterisk")
    s.key("Down")
    child = w.selected_row(other_than=root)
    s.key("Down")
    loose = w.selected_row(other_than=child)
    check(root[0] < child[0] < loose[0], "rows out of order: %r %r %r" % (root, child, loose))
    s.drag(*centre(loose), *centre(child))
    w.save_all()
    parents = lambda t: {n: f.get("ParentNodeID") for n, f, _ in d.records(t)}  # noqa: E731
    text = wait_for_file(s, "Tree.mxh", lambda t: t if parents(t).get("loose") else None,
                         "a parent for the dragged note")
    check(parents(text) == {"root": None, "loose": "R", "child": "R"}, "parents: %r" % parents(text))
    check([n for n, _, _ in d.records(text)] == ["root", "loose", "child"], "order: %r" % d.records(text))
    w.quit()


@scenario
def checklist_drag_reorders(s, wux):
    """A line of the check list dragged onto the first line takes its place, and the
    saved notebook keeps the new order."""
    write_three_notes(s)
    w = Wux(s, wux, "doc.mxa")
    first = w.selected_row()
    s.click(*centre(first))
    s.key("Down")
    second = w.selected_row(other_than=first)
    s.key("Down")
    third = w.selected_row(other_than=second)
    check(first[0] < second[0] < third[0], "rows out of order: %r %r %r" % (first, second, third))
    s.drag(*centre(third), *centre(first))
    w.save_all()
    text = wait_for_file(s, "Book.mxh", lambda t: t if [n for n, _, _ in d.records(t)][:1] == ["third"] else None,
                         "the dragged note first")
    check([n for n, _, _ in d.records(text)] == ["third", "first", "second"], "order: %r" % d.records(text))
    w.quit()


# ---- moving between notebooks ----

def write_two_notebooks(s):
    s.write("doc.mxa", d.document("doc", ["Src", "Dst"]))
    s.write("Src.mxh", d.notebook("Src", [("a1", "A1", None, "one"), ("a2", "A2", None, "two"),
                                          ("a3", "A3", None, "three")]))
    s.write("Dst.mxh", d.notebook("Dst", [("d1", "D1", None, "dest")]))


def move_current_to(w, holder):
    """[MemoNode] > Move1To, the destination chosen by its name: typed into the name box,
    or into the chooser's list, which selects the line it begins."""
    w.menu(MEMONODE_MOVE1TO)
    chooser = "^(Select Holder|FormSelectHolder)$"
    w.s.dialog(chooser)
    w.s.type(holder)
    w.s.key("Return")
    w.s.gone(chooser)


def names(s, file):
    return [n for n, _, _ in d.records(d.read_sjis(s.path(file)))]


@scenario
def move_to_notebook(s, wux):
    """Move1To takes the current note out of its notebook into the chosen one."""
    write_two_notebooks(s)
    w = Wux(s, wux, "doc.mxa")
    move_current_to(w, "Dst")
    w.save_all()
    wait_for_file(s, "Dst.mxh", lambda t: "a1" in note_bodies(t), "the moved note")
    wait_for_file(s, "Src.mxh", lambda t: "a1" not in note_bodies(t), "the source without it")
    check(names(s, "Src.mxh") == ["a2", "a3"], "source: %r" % names(s, "Src.mxh"))
    check(note_bodies(d.read_sjis(s.path("Dst.mxh"))) == {"d1": "dest", "a1": "one"},
          "destination: %r" % d.read_sjis(s.path("Dst.mxh")))
    w.quit()


@scenario
def move_then_delete_next(s, wux):
    """After Move1To the window shows the destination; back on the source, the note
    after the moved one is current, and Delete sends that one, not the moved note, to
    the waste notebook."""
    write_two_notebooks(s)
    w = Wux(s, wux, "doc.mxa")
    move_current_to(w, "Dst")
    # From the editor one Shift+Tab reaches the notebook tabs; Left goes one tab left,
    # from the destination back to the source.
    w.click_editor()
    s.key("shift+Tab")
    s.key("Left")
    w.menu(MEMONODE_DELETE)
    w.save_all()
    wait_for_file(s, "doc.mxa", lambda t: "Trush" in d.holder_names(t), "the waste notebook")
    trash = [f for f in os.listdir(s.dir) if f.startswith("Trush") and f.endswith(".mxh")]
    check(trash, "no waste notebook file among %r" % os.listdir(s.dir))
    wait_for_file(s, "Src.mxh", lambda t: len(d.records(t)) < 3, "the source after the move")
    check(names(s, "Src.mxh") == ["a3"], "source: %r" % names(s, "Src.mxh"))
    check(names(s, "Dst.mxh") == ["d1", "a1"], "destination: %r" % names(s, "Dst.mxh"))
    check(names(s, trash[0]) == ["a2"], "waste: %r" % names(s, trash[0]))
    w.quit()


# ---- the search window ----

# Tab stops of the notebooks' search window, from the keyword box: the replacement,
# four part switches, Ignore, ALL ON, ALL OFF, the notebook list, Current, ALL,
# UnSelect, Update, the page tabs, Grep. Behind the keyword box: Close, New Node.
TAB_TO_IGNORE, TAB_IGNORE_TO_ALL, TAB_ALL_TO_GREP = 6, 5, 4
TAB_KEYWORD_TO_GREP = TAB_TO_IGNORE + TAB_IGNORE_TO_ALL + TAB_ALL_TO_GREP
BACKTAB_KEYWORD_TO_NEW_NODE = 2
SCAN_WINDOW = "^FormScanHolders?( |$)"


def write_words(s):
    s.write("doc.mxa", d.document("doc", ["Words"]))
    s.write("Words.mxh", d.notebook("Words", [("upper", "U1", None, "PIN code"),
                                              ("lower", "L1", None, "pin cushion"),
                                              ("other", "O1", None, "nothing")]))


def open_scan_window(w, keyword):
    """Scan > Holders; the keyword typed, Ignore off, every notebook ticked, Grep;
    the focus is left on Grep."""
    w.menu(SCAN_HOLDERS)
    w.s.dialog(SCAN_WINDOW)
    w.s.type(keyword)
    w.s.key(*["Tab"] * TAB_TO_IGNORE, "space", *["Tab"] * TAB_IGNORE_TO_ALL, "space",
            *["Tab"] * TAB_ALL_TO_GREP, "space")


def grep_into_new_note(w):
    """From Grep: back to the keyword box, on to New Node (the grep lines become a new
    note), the window closed, everything saved; answers the new note's text."""
    w.s.key(*["shift+Tab"] * (TAB_KEYWORD_TO_GREP + BACKTAB_KEYWORD_TO_NEW_NODE), "space")
    w.s.key("Escape")
    w.s.gone(SCAN_WINDOW)
    w.save_all()
    text = wait_for_file(w.s, "Words.mxh", lambda t: t if len(d.records(t)) == 4 else None, "the new note")
    made = [body for n, _, body in d.records(text) if n not in ("upper", "lower", "other")]
    return made[0]


@scenario
def scan_grep_new_node(s, wux):
    """A case-sensitive grep in the search window lists the note holding the keyword in
    its case, and New Node keeps the list as a note."""
    write_words(s)
    w = Wux(s, wux, "doc.mxa")
    open_scan_window(w, "PIN")
    found = grep_into_new_note(w)
    check("Words:upper:" in found and "Words:lower:" not in found, "grep lines: %r" % found)
    w.quit()


@scenario
def scan_keyword_case(s, wux):
    """A lower-case keyword typed after the same keyword in upper case is searched as
    typed, not in the case of the earlier one."""
    write_words(s)
    w = Wux(s, wux, "doc.mxa")
    open_scan_window(w, "PIN")
    s.key(*["shift+Tab"] * TAB_KEYWORD_TO_GREP, "ctrl+a")
    s.type("pin")
    s.key(*["Tab"] * TAB_KEYWORD_TO_GREP, "space")
    found = grep_into_new_note(w)
    check("Words:lower:" in found and "Words:upper:" not in found, "grep lines: %r" % found)
    w.quit()


# ---- the mouse wheel ----

def holder_fields(text):
    """The notebook's own fields in a saved notebook file."""
    head = text.split("<Record", 1)[0]
    return dict(kv for f in re.findall(r"<Field ([^>]*?)/?>", head) for kv in d._ATTR.findall(f))


@scenario
def wheel_scrolls_not_boxes(s, wux):
    """Turning the wheel down over the right-hand column of the notebook's property
    window scrolls its page and changes none of the boxes that pass under the pointer;
    the wheel going back up scrolls the page back. OK then stores what was shown."""
    s.write("doc.mxa", d.document("doc", ["Book"]))
    s.write("Book.mxh", d.notebook("Book", [("first", "F1", None, "text")]).replace(
        '<Field ModeNodesMngr="CheckListBox"/>',
        '<Field ModeNodesMngr="CheckListBox"/>\n  <Field FormatDate="YYYY/MM/DD"/>'))
    w = Wux(s, wux, "doc.mxa")
    w.menu(HOLDER_PROPATY)
    dlg = s.dialog("^Holder Propaty$")
    # Where it settles once placed over the main window: a turn that missed it would
    # roll it up (on the title bar) or change the desktop.
    def settled():
        g = s.geometry(dlg)
        time.sleep(0.5)
        x, y, width, height = g
        whole = x >= 0 and y >= 0 and x + width <= SCREEN[0] and y + height <= SCREEN[1]
        return g if whole and g == s.geometry(dlg) else None

    x, y, width, height = d.wait_for("the window to settle", settled)
    column = x + width * 70 // 100
    left = x + 20
    # The labels down the left of the page show where it stands.
    def labels():
        screen = s.screen.grab()
        return [screen.rgb(left + dx, yy) for yy in range(y + 60, y + height - 60, 3) for dx in (0, 10, 20)]

    before = labels()
    for button in ("5", "4"):
        for yy in range(y + 60, y + height - 60, 8) if button == "5" else range(y + height - 60, y + 60, -8):
            s.mouse_move(column, yy)
            s._run(["xdotool", "click", button])
        if button == "5":
            d.wait_for("the page to scroll down", lambda: labels() != before)
        else:
            d.wait_for("the page to scroll back", lambda: labels() == before)
    check(s.geometry(dlg) == (x, y, width, height), "the window moved while the wheel turned")
    s.key("Return")
    s.gone("^Holder Propaty$")
    w.type_at_end(" saved")
    w.save_all()
    text = wait_for_file(s, "Book.mxh", lambda t: t if "saved" in t else None, "the typed text")
    fields = holder_fields(text)
    # NewNodeName is written only by OK.
    check(fields.get("FormatDate") == "YYYY/MM/DD" and "NewNodeName" in fields, "the notebook's fields: %r" % fields)
    w.quit()


def main(argv):
    if argv[1:] == ["--list"]:
        print("\n".join(SCENARIOS))
        return 0
    if len(argv) != 3 or argv[2] not in SCENARIOS:
        print("usage: scenarios.py WUX (%s) | --list" % " | ".join(SCENARIOS), file=sys.stderr)
        return 2
    wux, name = os.path.abspath(argv[1]), argv[2]
    # A stop from outside (ctest's timeout, Ctrl+C) still takes the session down.
    for sig in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
        signal.signal(sig, lambda n, _f: sys.exit(128 + n))
    with d.Session(name) as s:
        try:
            SCENARIOS[name](s, wux)
        except Exception as e:  # noqa: BLE001 - every failure gets the same report
            if not isinstance(e, d.Failure):
                traceback.print_exc()
            print("FAILED %s: %s" % (name, e))
            print("windows on the screen:\n" + s.describe())
            shot = os.path.abspath("e2e-%s-failure.png" % name)
            try:
                d.save_png(s.screen.grab(), shot)
                print("the screen: " + shot)
            except OSError as why:
                print("no screen shot: %s" % why)
            for log in sorted(f for f in os.listdir(s.dir) if f.startswith("wux-")):
                print("--- %s\n%s" % (log, open(os.path.join(s.dir, log), errors="replace").read()[-2000:]))
            return 1
    print("passed " + name)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

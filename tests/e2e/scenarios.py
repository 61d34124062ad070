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
import select
import signal
import socket
import stat
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
HOLDER_SAVE_AS_MXH = dict(top_mnemonic="f", rights=1, downs=5, subdowns=0)  # [Holder] > SaveAs Force > MXH
MARKNODE_SAVE_EACH_OVER = dict(top_mnemonic="f", rights=2, downs=8)  # MarkNode > Save Each Over
MEMONODE_OTHER_WINDOW = dict(top_mnemonic="f", rights=3, downs=12)  # [MemoNode] > Other Window
WINDOW_LOG = dict(top_mnemonic="f", rights=9, downs=1)  # Window > Log
WINDOW_FILE_LIST = dict(top_mnemonic="f", rights=9, downs=2)  # Window > FileList
MEMONODE_CLEAR = dict(top_mnemonic="f", rights=3, downs=14)  # [MemoNode] > Clear
MEMONODE_EXECUTE = dict(top_mnemonic="f", rights=3, downs=9, subdowns=10)  # [MemoNode] > Extra > Execute
T2_CONTENT_VIEW = dict(top_mnemonic="f", rights=13, downs=2)  # T2 > ContentView

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


def tool_bar_boxes(w):
    """The centres of the tool bar's check boxes, left to right (ReadOnly, Internet): the
    boxes' indicators are the only pure white squares of the bar."""
    x, y, width, _ = w.geometry()
    image = w.s.screen.grab()
    rows = {}
    for yy in range(y, y + 80):
        start = None
        for xx in range(x, x + width + 1):
            white = xx < x + width and image.rgb(xx, yy) == (255, 255, 255)
            if white and start is None:
                start = xx
            elif not white and start is not None:
                if 8 <= xx - start <= 16:
                    rows.setdefault(start, []).append(yy)
                start = None
    boxes = [(left + 5, (ys[0] + ys[-1]) // 2) for left, ys in sorted(rows.items()) if len(ys) >= 8]
    check(len(boxes) >= 1, "no check box found on the tool bar")
    return boxes


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
def read_only_switch_keeps_notes(s, wux):
    """A click on the tool bar's ReadOnly box, then [MemoNode] > Clear and typing: the
    note stays as saved, closing asks nothing, and the file still holds the text."""
    write_three_notes(s)
    w = Wux(s, wux, "doc.mxa")
    w.type_at_end(" precious")
    w.save_all()
    wait_for_file(s, "Book.mxh", lambda t: "precious" in t, "the typed text")
    s.click(*tool_bar_boxes(w)[0])
    w.menu(MEMONODE_CLEAR)
    w.type_at_end(" typed while read-only")
    w.quit()
    bodies = note_bodies(d.read_sjis(s.path("Book.mxh")))
    check(bodies.get("first") == FIRST + " precious", "the saved note reads %r" % bodies.get("first"))


@scenario
def ctrl_s_saves_a_note_window(s, wux):
    """Text typed in a note window whose note is not the one selected in the main window
    is saved by Ctrl+S there, as the selected note's is."""
    write_three_notes(s)
    w = Wux(s, wux, "doc.mxa")
    s.click(*centre(w.selected_row()))
    w.menu(MEMONODE_OTHER_WINDOW)
    note_window = s.dialog("^MemoNode first$")
    s.activate(w.main)
    s.key("Down")
    s.activate(note_window)
    x, y, width, height = s.geometry(note_window)
    s.click(x + width // 2, y + height * 45 // 100)
    s.key("ctrl+End")
    s.type(" typed in its window")
    s.activate(w.main)
    s.key("ctrl+s")
    text = wait_for_file(s, "Book.mxh", lambda t: t if "its window" in t else None, "the window's text saved")
    check(note_bodies(text)["first"] == FIRST + " typed in its window", "saved: %r" % note_bodies(text))
    w.quit()


@scenario
def close_asks_then_saves(s, wux):
    """Closing with unsaved typing asks before it ends; Enter answers Yes to each
    question, which saves."""
    write_three_notes(s)
    w = Wux(s, wux, "doc.mxa")
    w.type_at_end(" unsaved")
    s.activate(w.main)
    s.key("ctrl+q")
    asked = enter_at_each_question(s, w.proc)
    check(asked > 0, "closed without asking")
    check(w.proc.returncode == 0, "wux ended with %d" % w.proc.returncode)
    text = d.read_sjis(s.path("Book.mxh"))
    check(note_bodies(text)["first"] == FIRST + " unsaved", "saved: %r" % note_bodies(text))


def enter_at_each_question(s, proc, title="^doc\\.mxa$"):
    """Presses Enter in each question box (titled with the document's file name) until
    wux ends; answers how many it showed."""
    asked = 0
    while True:
        # A question box (the document's file name as its title), or the end.
        got = d.wait_for("a question or the end of wux", lambda: (
            "ended" if proc.poll() is not None else s.windows(title, kind="DIALOG")))
        if got == "ended":
            return asked
        check(asked < 5, "asked more than five times")
        asked += 1
        s.activate(got[0])
        s.key("Return")
        d.wait_for("the question to go", lambda: got[0] not in s.windows(title, kind="DIALOG"))


def read_bytes(s, name):
    with open(s.path(name), "rb") as f:
        return f.read()


@scenario
def new_document_keeps_anothers_notebook(s, wux):
    """Started without a document in a folder where another document keeps its notebook
    "new" (every new notebook's name): Ctrl+Q and Enter at each question save the new
    document; at the question about the other document's notebook Enter chooses another
    file, the one proposed, and the other document's notebook stays as it was."""
    s.write("other.mxa", d.document("other", ["new"]))
    s.write("new.mxh", d.notebook("new", [("theirs", "T1", None, "their text")]))
    before = read_bytes(s, "new.mxh")
    proc = s.start_wux(wux)
    main = s.wait_main_window(proc, s.path("noname.mxa"))
    s.activate(main)
    s.key("ctrl+q")
    # The document, its notebook, whether to write over a file it never wrote, and the
    # file chooser that No opens.
    asked = enter_at_each_question(s, proc, "^(noname\\.mxa|Save As)$")
    check(asked == 4, "asked %d questions" % asked)
    check(proc.returncode == 0, "wux ended with %d" % proc.returncode)
    check(read_bytes(s, "new.mxh") == before, "the other document's new.mxh was written over")
    check(os.path.exists(s.path("new_01.mxh")), "the notebook was not saved to the file proposed")
    doc = d.read_sjis(s.path("noname.mxa"))
    check(s.path("new_01.mxh") in doc, "the document does not name the notebook's file:\n" + doc)


@scenario
def holder_save_as_then_reopen(s, wux):
    """[Holder] > SaveAs Force > MXH writes the notebook, typing and all, to another file,
    which the notebook lives in from then on: closing asks to save the document (a box
    titled with its file name), the old file stays as it was, and the document opened
    again shows and saves the text there."""
    write_three_notes(s)
    os.makedirs(s.path("other"))
    old = d.read_sjis(s.path("Book.mxh"))
    w = Wux(s, wux, "doc.mxa")
    w.type_at_end(" moved")
    w.menu(HOLDER_SAVE_AS_MXH)
    chooser = d.wait_for("the file chooser", lambda: s.windows("", kind="DIALOG"))[0]
    s.activate(chooser)
    s.key("ctrl+a")
    s.type(s.path("other", "copy.mxh"))
    s.key("Return")
    text = wait_for_file(s, "other/copy.mxh", lambda t: t if "moved" in t else None, "the notebook saved as")
    check(note_bodies(text)["first"] == FIRST + " moved", "saved as: %r" % note_bodies(text))
    s.activate(w.main)
    s.key("ctrl+q")
    asked = enter_at_each_question(s, w.proc)
    check(asked == 1 and w.proc.returncode == 0, "asked %d, ended with %d" % (asked, w.proc.returncode))
    check(d.read_sjis(s.path("Book.mxh")) == old, "the old notebook file changed")
    doc = d.read_sjis(s.path("doc.mxa"))
    check(s.path("other", "copy.mxh") in doc, "the document does not name the new file:\n" + doc)
    w = Wux(s, wux, "doc.mxa")
    w.type_at_end(" again")
    w.save_all()
    text = wait_for_file(s, "other/copy.mxh", lambda t: t if "again" in t else None, "the second save")
    check(note_bodies(text)["first"] == FIRST + " moved again", "reopened: %r" % note_bodies(text))
    w.quit()


@scenario
def exit_after_web_page_closes_every_window(s, wux):
    """With a note window, the log and the file list open, a first web page shown in
    the main window and then Ctrl+Q: the answered save question ends the program, and
    what was typed into the note window, whose note is no longer the current one, is
    in the saved notebook."""
    s.write("doc.mxa", d.document("doc", ["Book"]))
    s.write("Book.mxh", d.notebook("Book", [("plain", "P1", None, "plain text"),
                                            ("web", "W1", None, "first web page",
                                             {"Content-Transfer-Encoding": "URL"})]))
    w = Wux(s, wux, "doc.mxa")
    # The notebook view has the keyboard: Down later moves to the web note.
    s.click(*centre(w.selected_row()))
    w.menu(MEMONODE_OTHER_WINDOW)
    note_window = s.dialog("^MemoNode plain$")
    w.menu(WINDOW_LOG)
    s.window("^FormLog ")
    w.menu(WINDOW_FILE_LIST)
    s.window("^FormFileList$")
    s.activate(w.main)
    s.key("Down")
    # The page is shown: the main window's native window is made anew for the engine's
    # view, under another id.
    title = "^wux " + re.escape(s.path("doc.mxa")) + "$"
    w.main = d.wait_for("the main window made anew for the web page",
                        lambda: [x for x in s.windows(title) if x != w.main])[0]
    # Typed now, the text is in the note window alone: its note is not the current one.
    s.activate(note_window)
    x, y, width, height = s.geometry(note_window)
    s.click(x + width // 2, y + height * 45 // 100)
    s.key("ctrl+End")
    s.type(" typed there")
    s.activate(w.main)
    s.key("ctrl+q")
    asked = enter_at_each_question(s, w.proc)
    check(asked > 0, "closed without asking")
    check(w.proc.returncode == 0, "wux ended with %d" % w.proc.returncode)
    text = d.read_sjis(s.path("Book.mxh"))
    check(note_bodies(text).get("plain") == "plain text typed there", "saved: %r" % note_bodies(text))


@scenario
def first_web_page_keeps_window_place(s, wux):
    """The main window, moved by the user, keeps its place and size when the first web
    note is shown (its native window is made anew for the engine's view); the wheel
    turned down over that page scrolls it and stays on the note."""
    s.write("doc.mxa", d.document("doc", ["Book"]))
    page = "".join("&lt;p&gt;%d %s&lt;/p&gt;" % (i, "words of a long line " * 12) for i in range(300))
    s.write("Book.mxh", d.notebook("Book", [("plain", "P1", None, "plain text"),
                                            ("web", "W1", None, page, {"Content-Transfer-Encoding": "URL"})]))
    w = Wux(s, wux, "doc.mxa")
    s.click(*centre(w.selected_row()))
    s._run(["xdotool", "windowmove", str(w.main), "150", "120"])

    def settled():
        g = w.geometry()
        time.sleep(0.5)
        return g if g == w.geometry() and g[:2] != (0, 0) else None

    before = d.wait_for("the window at its new place", settled)
    s.key("Down")
    title = "^wux " + re.escape(s.path("doc.mxa")) + "$"
    w.main = d.wait_for("the main window made anew for the web page",
                        lambda: [x for x in s.windows(title) if x != w.main])[0]
    time.sleep(1)
    after = d.wait_for("the window to settle", settled)
    check(after == before, "the window moved from %r to %r" % (before, after))
    # The page fills the right of the window below the frame's buttons.
    x, y, width, height = after
    px, py = x + width * 65 // 100, y + height * 40 // 100

    def shown():
        screen = s.screen.grab()
        return [screen.rgb(xx, yy) for xx in range(px - 120, px + 120, 4) for yy in range(py - 60, py + 60, 3)]

    s.mouse_move(px, py)
    first = shown()
    for _ in range(3):
        s._run(["xdotool", "click", "5"])
    d.wait_for("the page to scroll", lambda: shown() != first)
    # A window shown for the first time is still the window manager's to place, framed.
    w.menu(T2_CONTENT_VIEW)
    view = s.window("^ContentView$")
    time.sleep(1)
    check(s.geometry(view)[1] > 0, "the content view has no room for its frame: %r" % (s.geometry(view),))
    s.activate(w.main)
    s.key("ctrl+q")
    # The click on the note marked the notebook changed: the close asks to save it.
    enter_at_each_question(s, w.proc)
    check(w.proc.returncode == 0, "wux ended with %d" % w.proc.returncode)


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


# ---- saving notes to their files ----

@scenario
def save_each_over_keeps_linked_file(s, wux):
    """MarkNode > Save Each Over on a ticked note linked to a picture, never shown, leaves
    the picture as it was and asks nothing: the next commands run, and the notebook saves."""
    photo = bytes(range(256)) * 52
    with open(s.path("photo.jpg"), "wb") as f:
        f.write(photo)
    s.write("doc.mxa", d.document("doc", ["Book"]))
    s.write("Book.mxh", d.notebook("Book", [
        ("first", "F1", None, FIRST),
        ("photo", "P1", None, "", {"FlagLink": "true", "Filename": "./photo.jpg", "flagMarked": "true"})]))
    w = Wux(s, wux, "doc.mxa")
    w.menu(MARKNODE_SAVE_EACH_OVER)
    w.type_at_end(" then saved")
    w.save_all()
    wait_for_file(s, "Book.mxh", lambda t: "then saved" in t, "the notebook saved after Save Each Over")
    now = read_bytes(s, "photo.jpg")
    check(now == photo, "photo.jpg holds %d bytes instead of %d" % (len(now), len(photo)))
    w.quit()


# ---- special files ----

def is_fifo(s, name):
    return stat.S_ISFIFO(os.lstat(s.path(name)).st_mode)


def answer_one_box(s, proc):
    """Waits for a box of wux, presses Enter in it, and waits for it to go."""
    def shown():
        if proc.poll() is not None:
            raise d.Failure("wux ended (%d) before showing a box" % proc.returncode)
        return s.windows("", kind="DIALOG")

    box = d.wait_for("a box", shown)[0]
    s.activate(box)
    s.key("Return")
    d.wait_for("the box to go", lambda: box not in s.windows("", kind="DIALOG"))


@scenario
def execute_never_replaces_a_fifo(s, wux):
    """[MemoNode] > Extra > Execute on a note whose file is a FIFO: a box says it could
    not be written, the FIFO stays a FIFO, and the window goes on working."""
    os.mkfifo(s.path("pipe.txt"))
    s.write("doc.mxa", d.document("doc", ["Book"]))
    s.write("Book.mxh", d.notebook("Book", [("pipe", "P1", None, "echo hi", {"Filename": s.path("pipe.txt")})]))
    w = Wux(s, wux, "doc.mxa")
    w.menu(MEMONODE_EXECUTE)
    answer_one_box(s, w.proc)
    check(is_fifo(s, "pipe.txt"), "pipe.txt is no FIFO any more")
    w.type_at_end(" still here")
    w.save_all()
    wait_for_file(s, "Book.mxh", lambda t: "still here" in t, "the notebook saved after Execute")
    check(is_fifo(s, "pipe.txt"), "pipe.txt is no FIFO any more")
    w.quit()


@scenario
def fifo_notebook_opens_and_says_why(s, wux):
    """A document whose notebook file is a FIFO opens (the start never waits for a
    writer), a box says the notebook could not be read, and the FIFO stays as it is."""
    s.write("doc.mxa", d.document("doc", ["Book"]))
    os.mkfifo(s.path("Book.mxh"))
    proc = s.start_wux(wux, s.path("doc.mxa"))
    answer_one_box(s, proc)
    main = s.wait_main_window(proc, s.path("doc.mxa"))
    check(is_fifo(s, "Book.mxh"), "Book.mxh is no FIFO any more")
    s.activate(main)
    s.key("ctrl+q")
    enter_at_each_question(s, proc)
    check(is_fifo(s, "Book.mxh"), "Book.mxh is no FIFO any more after closing")


@scenario
def save_each_over_keeps_unchanged_linked_text(s, wux):
    """MarkNode > Save Each Over on ticked notes linked to text files with LF line ends,
    the current one shown and unchanged, the other never shown, asks nothing and leaves
    both files byte for byte; reading them left nothing to save, so Ctrl+Q asks nothing."""
    shown, other = b"first line\nsecond line\nthird one\n", b"never shown\n"
    for name, data in (("shown.txt", shown), ("other.txt", other)):
        with open(s.path(name), "wb") as f:
            f.write(data)
    s.write("doc.mxa", d.document("doc", ["Book"]))
    s.write("Book.mxh", d.notebook("Book", [
        ("shown", "S1", None, "", {"FlagLink": "true", "Filename": "./shown.txt", "flagMarked": "true"}),
        ("other", "O1", None, "", {"FlagLink": "true", "Filename": "./other.txt", "flagMarked": "true"})]))
    w = Wux(s, wux, "doc.mxa")
    w.menu(MARKNODE_SAVE_EACH_OVER)
    time.sleep(1)
    check(s.windows("") == [w.main], "a question came up:\n%s" % s.describe())
    w.quit()
    for name, data in (("shown.txt", shown), ("other.txt", other)):
        now = read_bytes(s, name)
        check(now == data, "%s holds %r instead of %r" % (name, now, data))


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


# ---- the field window ----

SCAN_FIELD = dict(top_mnemonic="f", rights=7, downs=3)  # Scan > Field
# Tab stops of the field window from its field name box: the value and replacement
# boxes, their three buttons, Ignore, the two option groups, the notebook list, Current,
# ALL, UnSelect, Up Holder, the result list, Scan, Scan Not, Replace, Set.
TAB_FIELD_TO_REPLACEMENT, TAB_REPLACEMENT_TO_SET = 2, 16


@scenario
def field_name_trailing_blank(s, wux):
    """A field name typed with a blank after it sets the field itself: the saved notes
    keep one Color field each, with the new value."""
    s.write("doc.mxa", d.document("doc", ["Book"]))
    s.write("Book.mxh", d.notebook("Book", [("one", "U1", None, "first", {"Color": "red"}),
                                            ("two", "U2", None, "second", {"Color": "red"})]))
    w = Wux(s, wux, "doc.mxa")
    w.menu(SCAN_FIELD)
    s.dialog("^FormScanField")
    s.type("Color ")
    s.key(*["Tab"] * TAB_FIELD_TO_REPLACEMENT)
    s.type("blue")
    s.key(*["Tab"] * TAB_REPLACEMENT_TO_SET, "space", "Escape")
    s.gone("^FormScanField")
    w.save_all()
    text = wait_for_file(s, "Book.mxh", lambda t: t if "blue" in t else None, "the field set")
    fields = [(n, f) for n, f, _ in d.records(text)]
    check(fields == [("one", {"UID": "U1", "Color": "blue"}), ("two", {"UID": "U2", "Color": "blue"})],
          "saved fields: %r" % fields)
    check(text.count("Color") == 2, "a second Color field: %r" % text)
    w.quit()


# ---- scripts ----

MEMONODE_EVAL = dict(top_mnemonic="f", rights=3, downs=21)  # [MemoNode] > Eval (Eval Memo)
# Abort, Retry, Ignore (2) with the exclamation icon (48) and the third button as the
# default (512): Ignore answers 5.
IGNORE_SCRIPT = ("IF MessageBox('Go on anyway?', 'Question', 2 + 48 + 512) = 5 "
                 "THEN UINewChild_('ignored') ELSE UINewChild_('other')")


@scenario
def script_message_box_default(s, wux):
    """A script's MessageBox shows the buttons its flags name, and Enter presses the
    default button they choose: the script goes on with that button's answer."""
    s.write("doc.mxa", d.document("doc", ["Book"]))
    s.write("Book.mxh", d.notebook("Book", [("script", "S1", None, IGNORE_SCRIPT)]))
    w = Wux(s, wux, "doc.mxa")
    w.menu(MEMONODE_EVAL)
    s.dialog("^Question$")
    s.key("Return")
    s.gone("^Question$")
    w.save_all()
    text = wait_for_file(s, "Book.mxh", lambda t: t if len(d.records(t)) == 2 else None, "the new note")
    names = [n for n, _, _ in d.records(text)]
    check("ignored" in names, "the script made %r" % names)
    w.quit()


# ---- a received page ----

MAGENTA = (255, 0, 255)


def listener(kind):
    """A loopback listener that a page could reach and that never answers."""
    sock = socket.socket(socket.AF_INET, kind)
    sock.bind(("127.0.0.1", 0))
    if kind == socket.SOCK_STREAM:
        sock.listen(16)
    return sock


def what_arrives(socks, seconds):
    """Counts the datagrams and connections that reach each listener for a while."""
    names = {sock: name for name, sock in socks.items()}
    got = dict.fromkeys(socks, 0)
    deadline = time.monotonic() + seconds
    while (left := deadline - time.monotonic()) > 0:
        for sock in select.select(list(names), [], [], left)[0]:
            got[names[sock]] += 1
            sock.recv(2048) if sock.type == socket.SOCK_DGRAM else sock.accept()[0].close()
    return got


@scenario
def received_page_no_peer_connection(s, wux):
    """A note's page beside the notebook reaches this machine's HTTP server (Internet
    is on at start), but its peer connections, from its window and from a fresh frame,
    send nothing to the STUN (UDP) and TURN (TCP) servers: the program never lets a
    page's traffic past its request guard, whatever the switch says."""
    socks = {"stun": listener(socket.SOCK_DGRAM), "turn": listener(socket.SOCK_STREAM),
             "http": listener(socket.SOCK_STREAM)}
    port = {name: sock.getsockname()[1] for name, sock in socks.items()}
    config = ("{iceServers: [{urls: 'stun:127.0.0.1:%d'}, {urls: 'turn:127.0.0.1:%d?transport=tcp', "
              "username: 'u', credential: 'p'}]}" % (port["stun"], port["turn"]))
    server = "http://127.0.0.1:%d/" % port["http"]
    s.write("page.html", "<html><body style='background: rgb(255, 0, 255)'><img src='%spic.png'><script>"
            "function call(w) { try { var pc = new (w.RTCPeerConnection || w.webkitRTCPeerConnection)(%s);"
            " pc.createDataChannel('d'); pc.createOffer().then(function (o) { return pc.setLocalDescription(o); });"
            " } catch (e) {} }"
            "call(window); var f = document.createElement('iframe'); document.body.appendChild(f);"
            "call(f.contentWindow); fetch('%sfetched').catch(function () {});"
            "</script></body></html>" % (server, config, server))
    s.write("doc.mxa", d.document("doc", ["Book"]))
    s.write("Book.mxh", d.notebook("Book", [("page", "P1", None, "",
                                             {"Content-Transfer-Encoding": "URL", "Filename": ".\\page.html"})]))
    w = Wux(s, wux, "doc.mxa")
    # Looked for on the whole screen: the main window's native window is made anew when
    # the page is first shown, so the one found at start may be gone already.
    d.wait_for("the page shown", lambda: s.screen.grab().find_runs(
        lambda rgb: all(abs(c - m) < 20 for c, m in zip(rgb, MAGENTA)), 0, 0, *SCREEN))
    w.main = s.windows("^wux " + re.escape(s.path("doc.mxa")) + "$")[-1]
    got = what_arrives(socks, 3)
    check(got["http"] > 0 and got["stun"] == 0 and got["turn"] == 0, "what the servers saw: %r" % got)
    w.quit()


# ---- the mouse wheel ----

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
    rows = range(y + 60, y + height - 60, 8)
    for button, path, moved in (("5", rows, True), ("4", reversed(rows), False)):
        for yy in path:
            s.mouse_move(column, yy)
            s._run(["xdotool", "click", button])
        d.wait_for("the page to scroll " + ("down" if moved else "back"), lambda: (labels() != before) == moved)
    check(s.geometry(dlg) == (x, y, width, height), "the window moved while the wheel turned")
    s.key("Return")
    s.gone("^Holder Propaty$")
    w.type_at_end(" saved")
    w.save_all()
    text = wait_for_file(s, "Book.mxh", lambda t: t if "saved" in t else None, "the typed text")
    head = text.split("<Record", 1)[0]
    fields = dict(kv for f in re.findall(r"<Field ([^>]*?)/?>", head) for kv in d._ATTR.findall(f))
    # NewNodeName is written only by OK.
    check(fields.get("FormatDate") == "YYYY/MM/DD" and "NewNodeName" in fields, "the notebook's fields: %r" % fields)
    w.quit()


# ---- windows and keys ----

def window_class(s, wid):
    return s._run(["xprop", "-id", str(wid), "WM_CLASS"]).split("=", 1)[-1].strip()


@scenario
def windows_keep_the_program_class(s, wux):
    """Every window of the program, those opened after the document too, carries the
    program's own window class, so the desktop groups and names them by the program;
    the log opens beside the main window, its tool bar (Break) left in sight."""
    write_three_notes(s)
    w = Wux(s, wux, "doc.mxa")
    s.click(*centre(w.selected_row()))
    w.menu(MEMONODE_OTHER_WINDOW)
    note_window = s.window("^MemoNode first$")
    w.menu(WINDOW_LOG)
    log = s.window("^FormLog ")
    for wid, what in ((w.main, "main window"), (note_window, "note window"), (log, "log")):
        check(window_class(s, wid) == '"wux", "wux"', "the %s's class is %s" % (what, window_class(s, wid)))
    mx, my, mw, mh = w.geometry()

    def clear_of_tool_bar():
        lx, ly, lw, lh = s.geometry(log)
        # The menu bar and the tool bar: the top 70 pixels of the main window.
        over = lx < mx + mw and mx < lx + lw and ly < my + 70 and my < ly + lh
        return None if over else (lx, ly)

    d.wait_for("the log clear of the tool bar", clear_of_tool_bar)
    w.quit()


def write_three_notebooks(s):
    s.write("doc.mxa", d.document("doc", ["One", "Two", "Three"]))
    for name in ("One", "Two", "Three"):
        s.write(name + ".mxh", d.notebook(name, [(name.lower(), name[0] + "1", None, name + " text")]))


@scenario
def held_arrow_switches_one_notebook(s, wux):
    """Right held down in the notebook view, long enough for the keyboard to repeat,
    switches to the next notebook only: what is typed then lands in the second."""
    write_three_notebooks(s)
    w = Wux(s, wux, "doc.mxa")
    s.click(*centre(w.selected_row()))
    s._run(["xdotool", "keydown", "Right"])
    time.sleep(1.5)
    s._run(["xdotool", "keyup", "Right"])
    time.sleep(0.5)
    w.type_at_end(" typed")
    w.save_all()
    text = wait_for_file(s, "Two.mxh", lambda t: t if "typed" in t else None, "the text in the second notebook")
    check(note_bodies(text) == {"two": "Two text typed"}, "second notebook: %r" % note_bodies(text))
    w.quit()


@scenario
def paste_history_opens_by_mouse(s, wux):
    """The editor's Paste History submenu opens under the pointer, also after it was
    first tried with an empty history; choosing its entry pastes it."""
    write_three_notes(s)
    w = Wux(s, wux, "doc.mxa")
    x, y, width, height = w.geometry()
    ex, ey = x + width * 65 // 100, y + height * 45 // 100
    row = ey + 10 + 7 * 22  # Paste History, the eighth item of the menu at the pointer

    def popup():
        s.mouse_move(ex, ey)
        s._run(["xdotool", "click", "3"])
        time.sleep(0.5)

    s.click(ex, ey)
    popup()
    s.mouse_move(ex + 40, row)  # tried while the history is empty
    time.sleep(1.0)
    s.key("Escape", "Escape")
    s.key("ctrl+a")
    popup()
    s.key("Down", "Return")  # Copy(&C): the note's text goes into the history
    s.key("ctrl+End")
    popup()
    s.mouse_move(ex + 40, row)
    time.sleep(1.0)
    s.click(ex + 210, row)  # its first entry, beside it
    w.save_all()
    text = wait_for_file(s, "Book.mxh", lambda t: t if note_bodies(t).get("first", "").count(FIRST) == 2 else None,
                         "the entry pasted")
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
            leaks = s.leaks_of_ours()
            if leaks:
                raise d.Failure("wux leaked:\n" + "\n".join(leaks))
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

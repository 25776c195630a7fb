#!/usr/bin/env python3
"""The direction of the program's areas, checked over their #include lines.

Each file of src/ and companions/ belongs to one layer; a layer may include
only the layers listed for it below. The order is

    platform -> engine -> settings -> plain classes -> windows -> start-up

  platform   src/platform: knows nothing of the program.
  engine     src/engine: the binding to the outside controls; platform only.
  settings   src/settings (its plain classes): engine and platform.
  helpers    the plain modules of src/shell (ShellUtilities,
             ComponentRegistration, ...): small procedures every part shares;
             engine and platform, beside settings.
  plain      the plain classes of operation, buffer, device, records,
             automation and mainwindow (BlackBoxLog, VersionStrings, ...):
             settings, engine, platform, helpers and each other.
  window     a file that declares a widget class (one deriving from a Qt
             widget or dialog, directly or through another of our widget
             classes), the .cpp of such a header, and a .cpp that defines a
             widget class's members (a window split over several files),
             whatever the file's name and folder: anything but start-up's
             own state. Only windows, start-up and main.cpp may include
             mainwindow/frmMain.h, and no plain class includes a window's
             header: both follow from the order.
  top        src/shell/StartUp.*, src/main.cpp: everything.
  companion  companions/<name>: platform, engine and its own folder; a
             stand-in is built against the same tables as the program and
             nothing else of it. The engine's data buffer (companions/
             qxbuffer) and the simulations' fault-plan readers (companions/
             simplan) are shared: any plug-in may include them.

Windows may include shell/StartUp.h: it holds the command-line values the
windows read. Besides the includes, no file below the windows may name the
main-window global gMainForm, and outside the main window's own files and
start-up no file reaches the state the windows share (the station: the
outside controls, the job configuration, the quantity, the message switches)
through gMainForm; a window gets it from the Station it is handed.

Usage: check_layering.py [--root DIR] [--self-test]
Exit status 0 when the tree keeps the rule, 1 when it does not.
"""

import argparse
import fnmatch
import pathlib
import re
import sys
import tempfile

LAYERS_ALLOWED = {
    "platform": {"platform"},
    "engine": {"platform", "engine"},
    "settings": {"platform", "engine", "settings"},
    "helpers": {"platform", "engine", "helpers"},
    "plain": {"platform", "engine", "settings", "helpers", "plain"},
    "window": {"platform", "engine", "settings", "helpers", "plain", "window", "top"},
    "top": {"platform", "engine", "settings", "helpers", "plain", "window", "top"},
}
# Layers whose files must not name the main-window global.
SHARED_COMPANIONS = ("companion:qxbuffer", "companion:simplan")
BELOW_WINDOWS = {"platform", "engine", "settings", "helpers", "plain", "companion"}
PLAIN_AREAS = {"operation", "buffer", "device", "records", "automation", "mainwindow"}
SOURCE_SUFFIXES = {".h", ".hpp", ".cpp", ".def", ".inc"}
HEADER_SUFFIXES = (".h", ".hpp")

# The Qt classes that are widgets (Qt Widgets and the modules beside it); a
# class deriving from one of them, or from one of ours that does, makes its
# file a window.
QT_WIDGETS = frozenset("""
    QWidget QDialog QMainWindow QFrame QMdiSubWindow QMdiArea QDockWidget QToolBar QStatusBar
    QMenu QMenuBar QSplashScreen QRubberBand QSizeGrip QFocusFrame QSplitter QSplitterHandle
    QStackedWidget QTabWidget QTabBar QToolBox QGroupBox QScrollArea QAbstractScrollArea
    QAbstractButton QPushButton QToolButton QCheckBox QRadioButton QCommandLinkButton
    QLabel QLCDNumber QProgressBar QLineEdit QTextEdit QPlainTextEdit QTextBrowser QKeySequenceEdit
    QComboBox QFontComboBox QAbstractSpinBox QSpinBox QDoubleSpinBox QDateTimeEdit QDateEdit QTimeEdit
    QAbstractSlider QSlider QScrollBar QDial QCalendarWidget
    QAbstractItemView QListView QListWidget QTreeView QTreeWidget QTableView QTableWidget
    QColumnView QHeaderView QUndoView QGraphicsView QOpenGLWidget QQuickWidget QSvgWidget QVideoWidget
    QDialogButtonBox QMessageBox QFileDialog QInputDialog QProgressDialog QColorDialog QFontDialog
    QErrorMessage QWizard QWizardPage QPrintDialog QAbstractPrintDialog QPageSetupDialog
    QPrintPreviewDialog QPrintPreviewWidget
""".split())

# The main window's state the other windows share, which moves into the
# Station they are handed: member of frmMain -> what it is.
STATION_MEMBERS = {
    "QXProgrammer": "the programmer engine",
    "ConcurrentManualHandler": "the manual handler",
    "QXH950AutoHandler": "the automatic handler",
    "vwBufViewer": "the buffer viewer",
    "pgmrData": "the job configuration",
    "lngNumCopies": "the quantity",
    "txtNumCopies": "the quantity box",
    "bEnableEvent": "the event switch",
    "bWarningMessagesEnabled": "the warning-message switch",
    "bErrorMessagesEnabled": "the error-message switch",
    "bStatusMessagesEnabled": "the status-message switch",
}
# Files that may reach the station's members through gMainForm: the main
# window itself and start-up, which make the station.
STATION_OWNERS = ("src/mainwindow/frmMain*", "src/shell/StartUp.*", "src/main.cpp")

# Known breaks of the rule, each with the reason it stands for now. Keyed by
# (including file, included file), both relative to the root; a file's use of
# gMainForm is keyed by (file, "gMainForm"), its reach into a station member
# by (file, "gMainForm->Member").
KNOWN_EXCEPTIONS = {
    ("src/automation/frmAutomationHost.cpp", "gMainForm"):
        "the automation host still reaches the windows through the main window",
    ("src/automation/frmAutomationHost.cpp", "src/mainwindow/frmMain.h"):
        "the automation host still reaches the windows through the main window",
    ("src/automation/frmAutomationHost.cpp", "src/operation/frmProgram.h"):
        "the automation host still reaches the windows through the main window",
    ("src/automation/frmAutomationHost.cpp", "src/shell/StartUp.h"):
        "the automation host still reaches the windows through the main window",
    ("src/operation/frmProgramTabRows.h", "src/operation/TabStrip.h"):
        "the operation window's adapter to the plain hosts reads the window's tabs and rows",
    ("src/operation/frmProgramTabRows.h", "src/operation/frmProgram.h"):
        "the operation window's adapter to the plain hosts reads the window's tabs and rows",
}

# The station's members a file still reaches through gMainForm (none: the
# windows are handed the station).
STATION_REACH_EXCEPTIONS = {}
KNOWN_EXCEPTIONS.update({(file, "gMainForm->" + member): "the station's members move out of the main window"
                         for file, members in STATION_REACH_EXCEPTIONS.items() for member in members})

INCLUDE = re.compile(r'^[ \t]*#[ \t]*include[ \t]*([<"])([^>"]+)[>"]', re.M)
MAIN_FORM = re.compile(r"\bgMainForm\b")
STATION_MEMBER = r"\s*(" + "|".join(STATION_MEMBERS) + r")\b"
STATION_REACH = re.compile(r"(?:\bgMainForm\s*->|\(\s*\*\s*gMainForm\s*\)\s*\.)" + STATION_MEMBER)
# A name bound to the main window ("frmMain& main = *gMainForm;"), whose
# members then count as reached through gMainForm.
MAIN_FORM_ALIAS = re.compile(r"\b(\w+)\s*=\s*(?:\*\s*)?gMainForm\s*;")
# Comments, string and character literals, so that neither an include nor a
# class head nor gMainForm counts when it only stands in one.
TOKEN = re.compile(r'//[^\n]*|/\*.*?\*/|"(?:\\.|[^"\\\n])*"|\'(?:\\.|[^\'\\\n])*\'', re.S)
# A class head with a base list: "class [MACRO] Name [final] : bases {".
CLASS_HEAD = re.compile(r"(\benum\s+)?\b(?:class|struct)\s+(?:\w+\s+)*?(\w+)\s*(?:final\s*)?:(?!:)([^{};]*)\{")
TEMPLATE_ARGS = re.compile(r"<[^<>]*>")
ACCESS = {"public", "protected", "private", "virtual"}
# A member defined out of its class at the start of a line: "... Class::member(".
MEMBER_DEFINITION = re.compile(r"^(?!\s)[^;\n{}]*?\b(\w+)::~?\w+\s*\(", re.M)


def blank(text, strings):
    """The text with its comments (and, when strings, its literals) blanked;
    the lines stay where they were."""
    def keep_lines(match):
        token = match.group(0)
        if token[0] == "/" or strings:
            return re.sub(r"[^\n]", " ", token)
        return token
    return TOKEN.sub(keep_lines, text)


def base_names(bases):
    """The class names of a base list, without access, templates or scope."""
    while TEMPLATE_ARGS.search(bases):
        bases = TEMPLATE_ARGS.sub("", bases)
    names = []
    for base in bases.split(","):
        words = [w for w in re.findall(r"[\w:]+", base) if w not in ACCESS]
        if words:
            names.append(words[-1].split("::")[-1])
    return names


def windows(sources):
    """The files of src/ that are windows, relative to the root. sources maps
    each file to its text with comments and literals blanked."""
    declared = {}  # file -> class names it declares
    bases = {}  # class name -> its base names, over every declaration
    for rel, code in sources.items():
        if rel.parts[0] != "src":
            continue
        for match in CLASS_HEAD.finditer(code):
            if match.group(1):
                continue  # an enum's underlying type, not a base
            declared.setdefault(rel, set()).add(match.group(2))
            bases.setdefault(match.group(2), set()).update(base_names(match.group(3)))
    widgets = set(QT_WIDGETS)
    grown = True
    while grown:
        grown = False
        for name, of in bases.items():
            if name not in widgets and of & widgets:
                widgets.add(name)
                grown = True
    found = {rel for rel, names in declared.items() if names & widgets}
    for rel, code in sources.items():
        if rel.parts[0] != "src" or rel.suffix != ".cpp" or rel in found:
            continue
        headers = {rel.with_suffix(suffix) for suffix in HEADER_SUFFIXES}
        if headers & found or any(m.group(1) in widgets and m.group(1) not in QT_WIDGETS
                                  for m in MEMBER_DEFINITION.finditer(code)):
            found.add(rel)
    return found


def layer_of(rel, window_files):
    """The layer of a file given relative to the root, or None outside it."""
    parts = rel.parts
    if parts[0] == "companions" and len(parts) > 2:
        return "companion:" + parts[1]
    if parts[0] != "src":
        return None
    if len(parts) == 2:
        return "top"  # main.cpp and other files at the top of src/
    area = parts[1]
    if area == "shell" and rel.stem == "StartUp":
        return "top"
    if rel in window_files:
        return "window"
    if area == "shell":
        return "helpers"
    if area in ("platform", "engine", "settings"):
        return area
    if area in PLAIN_AREAS:
        return "plain"
    return None


def allowed(from_layer, to_layer):
    if from_layer.startswith("companion:"):
        return to_layer in ("platform", "engine", from_layer) + SHARED_COMPANIONS
    if to_layer.startswith("companion:"):
        return False
    return to_layer in LAYERS_ALLOWED[from_layer]


def resolve(root, including, name):
    """The file an include names, relative to the root; None for a system or
    generated header."""
    for base in (including.parent, root / "src", root / "companions"):
        candidate = (base / name).resolve()
        if candidate.is_file():
            try:
                return candidate.relative_to(root)
            except ValueError:
                return None
    return None


def source_files(root):
    for top in ("src", "companions"):
        base = root / top
        if not base.is_dir():
            continue
        for path in sorted(base.rglob("*")):
            if path.is_file() and path.suffix in SOURCE_SUFFIXES:
                yield path


def line_of(text, offset):
    return text.count("\n", 0, offset) + 1


def station_reaches(rel, code):
    """The station's members a file reaches through gMainForm: (key, message)."""
    reaches = [(match, "gMainForm->") for match in STATION_REACH.finditer(code)]
    aliases = set(MAIN_FORM_ALIAS.findall(code)) - {"gMainForm"}
    if aliases:
        through_alias = re.compile(r"\b(" + "|".join(sorted(aliases)) + r")\s*(?:->|\.)" + STATION_MEMBER)
        reaches += [(match, match.group(1) + ".") for match in through_alias.finditer(code)]
    found = []
    for match, through in sorted(reaches, key=lambda reach: reach[0].start()):
        member = match.group(match.lastindex)
        found.append(((str(rel), "gMainForm->" + member),
                      f"{rel}:{line_of(code, match.start())}: reaches {STATION_MEMBERS[member]} "
                      f"through {through}{member} (the main window), not through the Station"))
    return found


def check(root):
    """Every break of the rule in the tree: a list of (key, message)."""
    root = root.resolve()
    texts = {path.relative_to(root): path.read_text(encoding="utf-8", errors="replace")
             for path in source_files(root)}
    code = {rel: blank(text, strings=True) for rel, text in texts.items()}
    window_files = windows(code)
    breaks = []
    for rel, text in texts.items():
        from_layer = layer_of(rel, window_files)
        if from_layer is None:
            continue
        for match in INCLUDE.finditer(blank(text, strings=False)):
            target = resolve(root, root / rel, match.group(2))
            if target is None:
                continue
            to_layer = layer_of(target, window_files)
            if to_layer is None or allowed(from_layer, to_layer):
                continue
            breaks.append(((str(rel), str(target)),
                           f"{rel}:{line_of(text, match.start())}: {from_layer} includes {target} ({to_layer})"))
        if from_layer in BELOW_WINDOWS or from_layer.startswith("companion:"):
            lines = sorted({line_of(code[rel], m.start()) for m in MAIN_FORM.finditer(code[rel])})
            breaks += [((str(rel), "gMainForm"),
                        f"{rel}:{number}: {from_layer} touches the main-window global gMainForm")
                       for number in lines]
        if not any(fnmatch.fnmatch(rel.as_posix(), owner) for owner in STATION_OWNERS):
            breaks += station_reaches(rel, code[rel])
    return breaks


def evaluate(root, exceptions):
    """(breaks no exception covers, (break, reason) pairs it covers, keys of
    exceptions no break needs)."""
    breaks = check(root)
    seen = {key for key, _ in breaks}
    unknown = [message for key, message in breaks if key not in exceptions]
    known = [(message, exceptions[key]) for key, message in breaks if key in exceptions]
    return unknown, known, sorted(set(exceptions) - seen)


def report(root, exceptions):
    unknown, known, stale = evaluate(root, exceptions)
    for message, reason in known:
        print(f"known:  {message}  [{reason}]")
    for message in unknown:
        print(f"BREAK:  {message}")
    for key in stale:
        print(f"note:   known exception no longer needed, remove it: {key[0]} -> {key[1]}")
    print("layering: " + ("FAILED" if unknown else "ok"))
    return 1 if unknown else 0


def widget(name, base="QDialog"):
    return f"class {name} : public {base}\n{{\n}};\n"


MAIN_WINDOW_H = widget("frmMain", "QMainWindow")

# Planted trees for --self-test: (files, whether the check must pass).
SELF_TEST_CASES = [
    ("a clean tree", {
        "src/platform/Registry.h": "",
        "src/engine/Control.h": '#include "platform/Registry.h"\n',
        "src/settings/Store.cpp": '#include "engine/Control.h"\n#include "platform/Registry.h"\n',
        "src/shell/ShellUtilities.cpp": '#include "platform/Registry.h"\n',
        "src/operation/Layout.cpp": '#include "settings/Store.cpp"\n#include "Other.h"\n'
                                    '#include "shell/ShellUtilities.cpp"\n#include <QString>\n'
                                    '// #include "frmProgram.h" is only named in a comment here\n',
        "src/operation/Other.h": "// gMainForm is only named in a comment here\n"
                                 'const char* text = "gMainForm";\n',
        "src/operation/frmProgram.h": widget("frmProgram", "QWidget"),
        "src/operation/frmProgram.cpp": '#include "mainwindow/frmMain.h"\n#include "shell/StartUp.h"\n'
                                        "void f() { gMainForm = nullptr; }\n",
        # a part of the operation window without a header of its own
        "src/operation/frmProgramRun.cpp": '#include "mainwindow/frmMain.h"\n'
                                           "void frmProgram::Run()\n{\n    gMainForm->frmP = this;\n}\n",
        "src/mainwindow/frmMain.h": MAIN_WINDOW_H,
        "src/shell/StartUp.h": '#include "mainwindow/frmMain.h"\n',
        "src/main.cpp": '#include "shell/StartUp.h"\n',
        "companions/qxpgmr/StandIn.cpp": '#include "engine/Control.h"\n#include "StandIn.h"\n',
        "companions/qxpgmr/StandIn.h": "",
    }, True),
    ("platform includes engine", {
        "src/engine/Control.h": "",
        "src/platform/Registry.cpp": '#include "engine/Control.h"\n',
    }, False),
    ("engine includes settings", {
        "src/settings/Store.h": "",
        "src/engine/Control.cpp": '#include "settings/Store.h"\n',
    }, False),
    ("settings includes a plain class of operation", {
        "src/operation/Layout.h": "",
        "src/settings/Store.cpp": '#include "operation/Layout.h"\n',
    }, False),
    ("settings includes a shell helper", {
        "src/shell/ShellUtilities.h": "",
        "src/settings/Store.cpp": '#include "shell/ShellUtilities.h"\n',
    }, False),
    ("a plain class includes a window", {
        "src/records/frmJobSummary.h": widget("frmJobSummary"),
        "src/operation/Layout.cpp": '#include "records/frmJobSummary.h"\n',
    }, False),
    ("a plain class includes a dialog whose name does not say so", {
        "src/records/SerializationFrm.h": widget("SerializationFrm"),
        "src/records/JobRecord.cpp": '#include "SerializationFrm.h"\n',
    }, False),
    ("settings includes a dialog of its own folder", {
        "src/settings/DirDialog.h": widget("DirDialog"),
        "src/settings/Store.cpp": '#include "DirDialog.h"\n',
    }, False),
    ("a plain class includes a frm header that declares no widget", {
        "src/automation/AutomationHost.h": "class AutomationHost\n{\n};\n",
        "src/automation/frmAutomationHost.h": '#include "AutomationHost.h"\n'
                                              "class frmAutomationHost : public AutomationHost\n{\n};\n",
        "src/automation/CJobControl.cpp": '#include "frmAutomationHost.h"\n',
    }, True),
    ("a frm class that declares no widget touches gMainForm", {
        "src/automation/frmAutomationHost.h": "class frmAutomationHost : public AutomationHost\n{\n};\n",
        "src/automation/frmAutomationHost.cpp": '#include "frmAutomationHost.h"\n'
                                                "bool frmAutomationHost::Up() { return gMainForm; }\n",
    }, False),
    ("a frm class that declares no widget includes the main window", {
        "src/mainwindow/frmMain.h": MAIN_WINDOW_H,
        "src/operation/frmProgramTabRows.h": '#include "mainwindow/frmMain.h"\n'
                                             "template <class Host>\nclass frmProgramTabRows : public Host\n{\n};\n",
    }, False),
    ("a plain class includes the main window from its own folder", {
        "src/mainwindow/frmMain.h": MAIN_WINDOW_H,
        "src/mainwindow/Log.cpp": '#  include "frmMain.h"\n',
    }, False),
    ("a plain class includes start-up", {
        "src/shell/StartUp.h": "",
        "src/buffer/Fill.cpp": '#include "shell/StartUp.h"\n',
    }, False),
    ("a plain class touches gMainForm", {
        "src/device/Ranges.cpp": "int f() { return gMainForm->x; }\n",
    }, False),
    ("a companion includes settings", {
        "src/settings/Store.h": "",
        "companions/qxpgmr/StandIn.cpp": '#include "settings/Store.h"\n',
    }, False),
    ("a companion includes another companion", {
        "companions/manualhdl/Session.h": "",
        "companions/qxpgmr/StandIn.cpp": '#include "../manualhdl/Session.h"\n',
    }, False),
    ("a companion includes the shared data buffer", {
        "companions/qxbuffer/DataBuffer.h": "",
        "companions/datapane/Pane.cpp": '#include "qxbuffer/DataBuffer.h"\n',
    }, True),
    ("the program includes the shared data buffer", {
        "companions/qxbuffer/DataBuffer.h": "",
        "src/operation/Run.cpp": '#include "qxbuffer/DataBuffer.h"\n',
    }, False),
]

# Class heads, each planted as src/operation/Thing.h and included by a plain
# class: (what, header text, whether it declares a widget).
CLASS_HEAD_CASES = [
    ("a dialog", "class Thing : public QDialog\n{\n};\n", True),
    ("a struct deriving without an access word", "struct Thing : QWidget {};\n", True),
    ("the base on a later line, among others",
     "class Thing final\n    : public QObject,\n      public IEventSink,\n      protected QFrame\n{\n};\n", True),
    ("a template deriving from a widget",
     "template <class T, int N = 2>\nclass Thing : public ::QMdiSubWindow\n{\n};\n", True),
    ("a widget only as a template argument",
     "class Thing : public Holder<QWidget, Pair<int, QDialog>>\n{\n};\n", False),
    ("through another widget class of ours", "class Thing : public BaseDialog\n{\n};\n", True),
    ("a plain object", "class Thing : public QObject, protected QDBusContext\n{\n};\n", False),
    ("a style, not a widget", "class Thing : public QProxyStyle\n{\n};\n", False),
    ("an enum's underlying type", "enum class QWidget : int {\n};\nenum struct Mode : int { A };\n", False),
    ("a dialog in a comment", "// class Thing : public QDialog {\n/* class Thing : public QDialog { */\n", False),
]

# Lines of a window outside the main window: (what, code, whether it breaks).
STATION_REACH_CASES = [
    ("the engine", "gMainForm->QXProgrammer.Run();", True),
    ("the job configuration through a dereference", "(*gMainForm).pgmrData().strJobName;", True),
    ("the automatic handler when there is a main window",
     "auto* h = gMainForm ? &gMainForm->QXH950AutoHandler : nullptr;", True),
    ("the quantity box over two lines", "gMainForm\n        ->txtNumCopies->setText(text);", True),
    ("a message switch", "gMainForm->bStatusMessagesEnabled = false;", True),
    ("a member that stays in the main window", "gMainForm->frmP->ExecuteOperation();", False),
    ("a member whose name begins like one of the station's", "gMainForm->QXProgrammer_RequestSetDefaultConfigure();",
     False),
    ("the engine through a name bound to the main window",
     "frmMain& main = *gMainForm;\n    in.engine = &main.QXProgrammer;", True),
    ("a name bound to a window the main window holds",
     "frmProgram* frmP = gMainForm->frmP;\n    frmP->pgmrData().lngFileSize = 0;", False),
    ("a comment and a text", '// gMainForm->QXProgrammer\nQString s = "gMainForm->pgmrData";', False),
]

# Where the same reach is written: (file, whether it breaks).
STATION_OWNER_CASES = [
    ("src/device/frmDeviceRange.cpp", "void frmDeviceRange::Load()", True),
    ("src/mainwindow/frmMainEvents.cpp", "void frmMain::Load()", False),
    ("src/shell/StartUp.cpp", "void Load()", False),
    ("src/main.cpp", "int main()", False),
]

# Exceptions against planted trees: (what, files, exceptions, whether the
# check passes, the exceptions it must name as no longer needed).
REACH_TREE = {
    "src/mainwindow/frmMain.h": MAIN_WINDOW_H,
    "src/device/frmDeviceRange.h": widget("frmDeviceRange"),
    "src/device/frmDeviceRange.cpp": '#include "frmDeviceRange.h"\n#include "mainwindow/frmMain.h"\n'
                                     "void frmDeviceRange::Load() { gMainForm->QXProgrammer.Run(); }\n",
}
EXCEPTION_CASES = [
    ("a known reach passes", REACH_TREE,
     {("src/device/frmDeviceRange.cpp", "gMainForm->QXProgrammer"): "moving"}, True, []),
    ("a reach no longer made is named", REACH_TREE,
     {("src/device/frmDeviceRange.cpp", "gMainForm->QXProgrammer"): "moving",
      ("src/device/frmDeviceRange.cpp", "gMainForm->pgmrData"): "moved"}, True,
     [("src/device/frmDeviceRange.cpp", "gMainForm->pgmrData")]),
    ("an include no longer made is named", REACH_TREE,
     {("src/device/frmDeviceRange.cpp", "gMainForm->QXProgrammer"): "moving",
      ("src/operation/Layout.cpp", "src/device/frmDeviceRange.h"): "moved"}, True,
     [("src/operation/Layout.cpp", "src/device/frmDeviceRange.h")]),
    ("an exception for another member does not cover the reach", REACH_TREE,
     {("src/device/frmDeviceRange.cpp", "gMainForm->pgmrData"): "moving"}, False,
     [("src/device/frmDeviceRange.cpp", "gMainForm->pgmrData")]),
]


def planted_cases():
    """Every planted tree as (what, files, exceptions, passes, stale)."""
    for name, files, should_pass in SELF_TEST_CASES:
        yield name, files, {}, should_pass, []
    for name, header, is_widget in CLASS_HEAD_CASES:
        yield f"class head: {name}", {
            "src/records/BaseDialog.h": widget("BaseDialog"),
            "src/operation/Thing.h": header,
            "src/operation/Layout.cpp": '#include "Thing.h"\n',
        }, {}, not is_widget, []
    for name, line, breaks in STATION_REACH_CASES:
        yield f"station reach: {name}", {
            "src/mainwindow/frmMain.h": MAIN_WINDOW_H,
            "src/device/frmDeviceRange.h": widget("frmDeviceRange"),
            "src/device/frmDeviceRange.cpp": '#include "frmDeviceRange.h"\n#include "mainwindow/frmMain.h"\n'
                                             f"void frmDeviceRange::Load()\n{{\n    {line}\n}}\n",
        }, {}, not breaks, []
    for rel, function, breaks in STATION_OWNER_CASES:
        yield f"station reach from {rel}", {
            "src/mainwindow/frmMain.h": MAIN_WINDOW_H,
            "src/device/frmDeviceRange.h": widget("frmDeviceRange"),
            rel: f'#include "mainwindow/frmMain.h"\n{function}\n{{\n    gMainForm->QXProgrammer.Run();\n}}\n',
        }, {}, not breaks, []
    yield from EXCEPTION_CASES


def self_test():
    failures = 0
    cases = list(planted_cases())
    for name, files, exceptions, should_pass, should_be_stale in cases:
        with tempfile.TemporaryDirectory() as tmp:
            root = pathlib.Path(tmp)
            for rel, text in files.items():
                path = root / rel
                path.parent.mkdir(parents=True, exist_ok=True)
                path.write_text(text)
            unknown, _, stale = evaluate(root, exceptions)
            passed = not unknown
            if passed != should_pass:
                failures += 1
                found = "; ".join(unknown) or "nothing"
                print(f"self-test FAILED: {name}: expected {'a pass' if should_pass else 'a break'}, found {found}")
            if stale != sorted(should_be_stale):
                failures += 1
                print(f"self-test FAILED: {name}: expected {should_be_stale} no longer needed, found {stale}")
    print("layering self-test: " + ("FAILED" if failures else f"ok ({len(cases)} trees)"))
    return 1 if failures else 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--root", type=pathlib.Path, default=pathlib.Path(__file__).resolve().parent.parent)
    parser.add_argument("--self-test", action="store_true", help="check the checker on planted trees")
    args = parser.parse_args()
    if args.self_test:
        return self_test()
    return report(args.root, KNOWN_EXCEPTIONS)


if __name__ == "__main__":
    sys.exit(main())

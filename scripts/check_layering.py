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
  window     any frm*.h / frm*.cpp, in whatever folder: anything but
             start-up's own state. Only windows, start-up and main.cpp may
             include mainwindow/frmMain.h, and no plain class includes any
             frm* header: both follow from the order.
  top        src/shell/StartUp.*, src/main.cpp: everything.
  companion  companions/<name>: platform, engine and its own folder; a
             stand-in is built against the same tables as the program and
             nothing else of it. The engine's data buffer (companions/
             qxbuffer) and the simulations' fault-plan readers (companions/
             simplan) are shared: any plug-in may include them.

Windows may include shell/StartUp.h: it holds the command-line values the
windows read. Besides the includes, no file below the windows may name the
main-window global gMainForm.

Usage: check_layering.py [--root DIR] [--self-test]
Exit status 0 when the tree keeps the rule, 1 when it does not.
"""

import argparse
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

# Known breaks of the rule, each with the reason it stands for now. Keyed by
# (including file, included file), both relative to the root; a file's use of
# gMainForm is keyed by (file, "gMainForm").
KNOWN_EXCEPTIONS = {}

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
MAIN_FORM = re.compile(r"\bgMainForm\b")
LINE_COMMENT = re.compile(r"//.*")


def layer_of(rel):
    """The layer of a file given relative to the root, or None outside it."""
    parts = rel.parts
    if parts[0] == "companions" and len(parts) > 2:
        return "companion:" + parts[1]
    if parts[0] != "src":
        return None
    if len(parts) == 2:
        return "top"  # main.cpp and other files at the top of src/
    area, name = parts[1], rel.name
    if name.startswith("frm"):
        return "window"
    if area == "shell":
        return "top" if rel.stem == "StartUp" else "helpers"
    if area in ("platform", "engine", "settings"):
        return area
    if area in PLAIN_AREAS:
        return "plain"
    return None


def allowed(from_layer, to_layer, from_rel, to_rel):
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


def check(root):
    """Every break of the rule in the tree: a list of (key, message)."""
    root = root.resolve()
    breaks = []
    for path in source_files(root):
        rel = path.relative_to(root)
        from_layer = layer_of(rel)
        if from_layer is None:
            continue
        text = path.read_text(encoding="utf-8", errors="replace")
        for number, line in enumerate(text.splitlines(), 1):
            match = INCLUDE.match(line)
            if match:
                target = resolve(root, path, match.group(2))
                if target is None:
                    continue
                to_layer = layer_of(target)
                if to_layer is None or allowed(from_layer, to_layer, rel, target):
                    continue
                breaks.append(((str(rel), str(target)),
                               f"{rel}:{number}: {from_layer} includes {target} ({to_layer})"))
            elif (from_layer in BELOW_WINDOWS or from_layer.startswith("companion:")) \
                    and MAIN_FORM.search(LINE_COMMENT.sub("", line)):
                breaks.append(((str(rel), "gMainForm"),
                               f"{rel}:{number}: {from_layer} touches the main-window global gMainForm"))
    return breaks


def report(root, exceptions):
    breaks = check(root)
    failed = False
    seen = set()
    for key, message in breaks:
        seen.add(key)
        if key in exceptions:
            print(f"known:  {message}  [{exceptions[key]}]")
        else:
            print(f"BREAK:  {message}")
            failed = True
    for key in sorted(set(exceptions) - seen):
        print(f"note:   known exception no longer needed, remove it: {key[0]} -> {key[1]}")
    print("layering: " + ("FAILED" if failed else "ok"))
    return 1 if failed else 0


# Planted trees for --self-test: (files, whether the check must pass).
SELF_TEST_CASES = [
    ("a clean tree", {
        "src/platform/Registry.h": "",
        "src/engine/Control.h": '#include "platform/Registry.h"\n',
        "src/settings/Store.cpp": '#include "engine/Control.h"\n#include "platform/Registry.h"\n',
        "src/shell/ShellUtilities.cpp": '#include "platform/Registry.h"\n',
        "src/operation/Layout.cpp": '#include "settings/Store.cpp"\n#include "Other.h"\n'
                                    '#include "shell/ShellUtilities.cpp"\n#include <QString>\n',
        "src/operation/Other.h": "// gMainForm is only named in a comment here\n",
        "src/operation/frmProgram.cpp": '#include "mainwindow/frmMain.h"\n#include "shell/StartUp.h"\n'
                                        "void f() { gMainForm = nullptr; }\n",
        "src/mainwindow/frmMain.h": "",
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
        "src/records/frmJobSummary.h": "",
        "src/operation/Layout.cpp": '#include "records/frmJobSummary.h"\n',
    }, False),
    ("a plain class includes the main window from its own folder", {
        "src/mainwindow/frmMain.h": "",
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


def self_test():
    failures = 0
    for name, files, should_pass in SELF_TEST_CASES:
        with tempfile.TemporaryDirectory() as tmp:
            root = pathlib.Path(tmp)
            for rel, text in files.items():
                path = root / rel
                path.parent.mkdir(parents=True, exist_ok=True)
                path.write_text(text)
            breaks = check(root)
            passed = not breaks
            if passed != should_pass:
                failures += 1
                found = "; ".join(message for _, message in breaks) or "nothing"
                print(f"self-test FAILED: {name}: expected {'a pass' if should_pass else 'a break'}, found {found}")
    print("layering self-test: " + ("FAILED" if failures else f"ok ({len(SELF_TEST_CASES)} trees)"))
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

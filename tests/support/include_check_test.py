#!/usr/bin/env python3
"""The include check on the real tree and on small planted trees: a wrong include must fail it."""
import pathlib
import subprocess
import sys
import tempfile

ROOT = pathlib.Path(__file__).resolve().parents[2]
SCRIPT = ROOT / "scripts" / "check_includes.py"
FOLDERS = ["app", "pages", "bridge", "formdb", "export", "common", "grid", "viewer", "xml", "charset", "kit",
           "framework", "resources", "tools"]


def run(root):
    result = subprocess.run([sys.executable, str(SCRIPT), str(root)], capture_output=True, text=True)
    return result.returncode, result.stdout


def planted(files):
    """A tree of empty source folders holding only the given {path: text} files."""
    folder = tempfile.TemporaryDirectory()
    base = pathlib.Path(folder.name)
    for name in FOLDERS:
        (base / name).mkdir()
    for path, text in files.items():
        (base / path).parent.mkdir(parents=True, exist_ok=True)
        (base / path).write_text(text, encoding="utf-8")
    return folder


failures = []


def expect(condition, what):
    if not condition:
        failures.append(what)


code, out = run(ROOT)
expect(code == 0, f"the real tree fails the check:\n{out}")

# Each of these goes against an arrow: upwards, sideways, or a library reaching the application.
wrong = {
    "kit/Buffer.cpp": ('#include "xml/Node.h"\n', "kit/Buffer.cpp:1: kit/ may not include xml/"),
    "xml/Parse.cpp": ('int a;\n#include "framework/CString.h"\n', "xml/Parse.cpp:2: xml/ may not include framework/"),
    "bridge/Cmd.cpp": ('  #  include "pages/Page.h"\n', "bridge/Cmd.cpp:1: bridge/ may not include pages/"),
    "export/deep/Rows.h": ('#include "formdb/Database.h"\n', "export/deep/Rows.h:1: export/ may not include formdb/"),
    "grid/Cell.cpp": ('#include "common/Trace.h"\n', "grid/Cell.cpp:1: grid/ may not include common/"),
    "viewer/Pdf.cpp": ('#include "bridge/HTMLCtrl.h"\n', "viewer/Pdf.cpp:1: viewer/ may not include bridge/"),
    "formdb/Db.cpp": ('#include "export/Rows.h"\n', "formdb/Db.cpp:1: formdb/ may not include export/"),
}
for path, (text, message) in wrong.items():
    with planted({path: text}) as tree:
        code, out = run(tree)
        expect(code == 1 and message in out, f"planted {path} not refused as expected: {code} {out!r}")

# Allowed: along the arrows, transitively; angle-bracket and same-folder includes are never checked.
allowed = {
    "app/App.cpp": '#include "xml/Node.h"\n#include "resources/resource.h"\n',
    "pages/Page.cpp": '#include "kit/Buffer.h"\n#include "viewer/View.h"\n',
    "kit/Buffer.cpp": '#include <windows.h>\n#include "Local.h"\n#include "kit/Other.h"\n',
    "export/Rows.cpp": '#include "framework/CString.h"\n#include "charset/Names.h"\n',
}
with planted(allowed) as tree:
    code, out = run(tree)
    expect(code == 0, f"allowed includes refused: {out!r}")

# A tree without one of the folders is not silently passed.
with tempfile.TemporaryDirectory() as empty:
    code, _ = run(empty)
    expect(code == 1, "a tree without the source folders passed")

for failure in failures:
    print("FAIL:", failure)
print(f"include check test: {len(failures)} failure(s)")
sys.exit(1 if failures else 0)

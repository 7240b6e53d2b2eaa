#!/usr/bin/env python3
"""Fails when a file under src/ includes a header of a layer above its own.

The layers, lowest first, and what each may include besides itself:
  data      nothing of ours
  common    data
  app       data, common
  playback  nothing of ours
  record    data, common, app, playback (its retry schedule)
  ui        data, common, app, playback, record
  startup   everything
  main.cpp  startup
Inside ui, the dialogs and the recorder windows reach the main window only through
ui/MainWindowApi.h: nothing under ui/main/ is theirs to include. Shared widgets live in
ui/widgets/.
"""
import pathlib
import re
import sys

ALLOWED = {
    "data": set(),
    "common": {"data"},
    "app": {"data", "common"},
    "playback": set(),
    "record": {"data", "common", "app", "playback"},
    "ui": {"data", "common", "app", "playback", "record"},
    "startup": {"data", "common", "app", "playback", "record", "ui"},
    "main.cpp": {"startup"},
}
# Folders of ui that may include ui/main/ (the main window's own parts and the controller).
UI_MAIN_USERS = ("ui/main/", "ui/MainController")

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)


def layer_of(relative):
    head = relative.split("/", 1)[0]
    return head if head in ALLOWED else None


def check(src):
    faults = []
    files = [p for p in src.rglob("*") if p.suffix in (".h", ".cpp")]
    for path in sorted(files):
        relative = path.relative_to(src).as_posix()
        layer = layer_of(relative)
        if layer is None:
            faults.append(f"{relative}: in no layer (folders: {', '.join(sorted(ALLOWED))})")
            continue
        for included in INCLUDE.findall(path.read_text(encoding="utf-8")):
            target = layer_of(included)
            if target is None:
                if not (src / included).exists() and (path.parent / included).exists():
                    continue  # a generated or local header
                faults.append(f"{relative}: includes \"{included}\", in no layer")
                continue
            if target != layer and target not in ALLOWED[layer]:
                faults.append(f"{relative}: {layer} includes {target} (\"{included}\")")
            if (layer == "ui" and included.startswith("ui/main/")
                    and not relative.startswith(UI_MAIN_USERS)):
                faults.append(f"{relative}: reaches into the main window (\"{included}\"); "
                              "use ui/MainWindowApi.h or move the shared part to ui/widgets/")
    return len(files), faults


def main():
    src = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else "src").resolve()
    count, faults = check(src)
    for fault in faults:
        print(fault)
    print(f"layers: {count} files read, {len(faults)} faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Fails when a tracked source includes a header its folder's layer may not use, or when the
engine's public header declares more than the game and the tools may call.

Each folder belongs to a layer; a folder includes only from the folders its row below names (its
own layer or lower). Outside the engine, only engine/r3x.h and its parts engine/r3x_*.h are
reachable; everything they include must be free of the engine's own `_r3x` functions, which live
in folder-private headers (`*_internal.h`). Run from anywhere; prints every fault.
"""
import fnmatch
import re
import subprocess
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent

# The headers outside the engine reach it through: its public interface, never a subsystem's own.
# The umbrella and its four parts (core, world, collide, display), which the game includes one by one.
ENGINE_PUBLIC = ["engine/r3x.h", "engine/r3x_*.h"]
# What the host program and every library it runs share: data only.
HOST_INTERFACE = ["host/interface/*"]

BELOW_ENGINE = ["base/*", "platform/*"]
BELOW_GAME = BELOW_ENGINE + ENGINE_PUBLIC + ["common/*"]
# The game's lowest folders: processor identification (also the system check's), then the
# parameters, lists, log, frame time and reports that every other game folder uses.
GAME_BASE = BELOW_GAME + HOST_INTERFACE + ["battle/processor/*", "battle/core/*"]
# The arena simulation, the effects and the screens' widget toolkit.
GAME_MIDDLE = GAME_BASE + ["battle/arena/*", "battle/effects/*", "battle/ui/*"]
EVERYTHING = ["*"]

# (folder pattern, what its files may include), first match wins. Patterns are root-relative
# paths with fnmatch wildcards; "engine/span_*/*" covers every span folder, and "{folder}" stands
# for the file's own folder.
TABLE = [
    ("base/*", ["base/*"]),
    ("platform/*", BELOW_ENGINE),
    ("engine/core/*", BELOW_ENGINE + ["engine/core/*"]),
    ("engine/world/*", BELOW_ENGINE + ["engine/core/*", "engine/world/*"]),
    ("engine/collide/*", BELOW_ENGINE + ["engine/core/*", "engine/world/*", "engine/collide/*"]),
    ("engine/display/*", BELOW_ENGINE + ["engine/core/*", "engine/world/*", "engine/display/*"]),
    ("engine/raster/*", BELOW_ENGINE + ["engine/core/*", "engine/span_*/*", "engine/raster/*"]),
    ("engine/span_*/*", BELOW_ENGINE + ["engine/core/*", "{folder}/*"]),
    ("engine/r3x*.h", BELOW_ENGINE + ["engine/*"]),
    ("common/*", BELOW_ENGINE + ["common/*"]),
    ("battle/processor/*", BELOW_ENGINE + ["battle/processor/*"]),
    ("battle/core/*", GAME_BASE),
    ("battle/arena/*", GAME_BASE + ["battle/arena/*"]),
    ("battle/effects/*", GAME_BASE + ["battle/arena/*", "battle/effects/*"]),
    # The toolkit's panels load and draw through the running arena's world and Glide context.
    ("battle/ui/*", GAME_BASE + ["battle/arena/*", "battle/ui/*"]),
    ("battle/cockpit/*", GAME_MIDDLE + ["battle/cockpit/*"]),
    ("battle/screens/*", GAME_MIDDLE + ["battle/screens/*"]),
    ("battle/main/*", GAME_MIDDLE + ["battle/cockpit/*", "battle/screens/*", "battle/main/*"]),
    ("host/*", BELOW_GAME + ["host/*"]),
    ("sound/*", BELOW_GAME + ["sound/*"]),
    ("probex/*", BELOW_ENGINE + ["battle/processor/*", "probex/*"]),
    ("tools/frontend/*", BELOW_GAME + HOST_INTERFACE + ["tools/frontend/*"]),
    # The test server takes the parameter tables' rows from the game's core folder; its build
    # target lets it see those two headers only.
    ("tools/testserver/*", BELOW_GAME + ["battle/core/*", "tools/*"]),
    # The demo data's writer draws the design screen's pictures to its layout header.
    ("tools/mkdata/*", BELOW_GAME + ["sound/*", "tools/*", "battle/screens/design_layout.h"]),
    ("tools/r3xtool/*", BELOW_GAME + ["battle/arena/*", "tools/*"]),
    ("tools/*", BELOW_GAME + ["tools/*"]),
    ("tests/*", EVERYTHING),
    ("bench/*", EVERYTHING),
    ("fuzz/*", EVERYTHING),
    ("cmake/*", EVERYTHING),
]

INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')
INTERNAL_NAME = re.compile(r"\b_r3x\w*")
LINE_COMMENT = re.compile(r"//.*")
SOURCES = ["*.c", "*.cpp", "*.h", "*.hpp", "*.y"]


def rule_for(path):
    for pattern, allowed in TABLE:
        if fnmatch.fnmatchcase(path, pattern):
            folder = path.rsplit("/", 1)[0]
            return [a.replace("{folder}", folder) for a in allowed]
    return None


def resolve(source, name):
    """The included file's root-relative path, or None for a generated or system header."""
    candidates = [(ROOT / source).parent / name, ROOT / name]
    for candidate in candidates:
        if candidate.is_file():
            return candidate.resolve().relative_to(ROOT).as_posix()
    return None


def public_header_faults():
    """Internal names reachable through the engine's public header."""
    faults = []
    seen = set()
    pending = sorted(str(p.relative_to(ROOT)) for p in (ROOT / "engine").glob("r3x*.h"))
    while pending:
        header = pending.pop()
        text = (ROOT / header).read_text(encoding="utf-8", errors="replace")
        for number, line in enumerate(text.splitlines(), 1):
            match = INCLUDE.match(line)
            if match:
                target = resolve(header, match.group(1))
                if target is not None and target.startswith("engine/") and target not in seen:
                    seen.add(target)
                    pending.append(target)
            elif name := INTERNAL_NAME.search(LINE_COMMENT.sub("", line)):
                faults.append(f"{header}:{number}: {name.group(0)} is reachable through "
                              "the engine's public headers; declare it in a folder-private header")
    return faults


def main():
    files = subprocess.run(["git", "ls-files", "-z", "--", *SOURCES], cwd=ROOT, check=True,
                           capture_output=True, text=True).stdout.split("\0")
    faults = []
    for source in filter(None, files):
        allowed = rule_for(source)
        if allowed is None:
            faults.append(f"{source}: its folder has no row in the layer table")
            continue
        text = (ROOT / source).read_text(encoding="utf-8", errors="replace")
        for number, line in enumerate(text.splitlines(), 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            target = resolve(source, match.group(1))
            if target is None or any(fnmatch.fnmatchcase(target, a) for a in allowed):
                continue
            faults.append(f"{source}:{number}: includes {target}, which its layer may not use")
    faults += public_header_faults()
    for fault in faults:
        print(fault)
    if faults:
        print(f"layer check: {len(faults)} fault(s); the layers are in scripts/check-layers.py")
        return 1
    print("layer check: clean")
    return 0


if __name__ == "__main__":
    sys.exit(main())

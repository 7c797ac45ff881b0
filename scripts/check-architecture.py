#!/usr/bin/env python3
"""Checks that docs/ARCHITECTURE.md names only files and functions that exist.

Every `backticked` name in the document is looked up:
  - a path (holds a slash or ends in a source suffix) must exist in the tree; `...` stands for
    any folders, so `include/.../alignment/CAlntHeCurveT.h` matches at any depth;
  - a bare file name (`Reader.cpp`) must exist somewhere in the tree;
  - a path without a suffix (`caches/CAlnt2dPosCache`) matches a file of any suffix;
  - a code name (`CAlnt::appendElement`, `locatePoint(...)`, `obj.call(a, b)`) must appear as a
    whole word in the code (tests do not count), every part of a qualified name included.
Text with blanks (commands, formulas), options (`--unit`) and placeholders (`src/<module>/`) are
not names and are skipped.

Usage: scripts/check-architecture.py [document]   exit 1 and one line per missing name
"""
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
SOURCE_DIRS = ["include", "src", "tools", "python/src", "bench", "fuzz", "scripts", "cmake"]
SUFFIXES = (".h", ".cpp", ".py", ".sh", ".md", ".txt", ".in", ".cmake", ".toml")
IDENT = re.compile(r"[A-Za-z_][A-Za-z0-9_]*")


def corpus():
    texts = []
    for folder in SOURCE_DIRS:
        for path in (ROOT / folder).rglob("*"):
            if path.is_file() and path.suffix in SUFFIXES and path.name != pathlib.Path(__file__).name:
                texts.append(path.read_text(encoding="utf-8", errors="replace"))
    texts.append((ROOT / "CMakeLists.txt").read_text(encoding="utf-8"))
    return "\n".join(texts)


def all_files():
    skip = {".git", "build"}
    return [p for p in ROOT.rglob("*") if p.is_file() and not (set(p.relative_to(ROOT).parts) & skip)]


def path_exists(token, files):
    if "..." not in token and "*" not in token:
        if (ROOT / token).exists():
            return True
    token = token.rstrip("/")
    pattern = re.escape(token).replace(re.escape("..."), ".*").replace(re.escape("*"), "[^/]*")
    rx = re.compile(r"(^|.*/)" + pattern + r"(\.[a-z]+)?$")
    rel = [str(p.relative_to(ROOT)) for p in files]
    folders = {str(pathlib.PurePosixPath(r).parent) for r in rel}
    return any(rx.match(r) for r in rel) or any(rx.match(f) for f in folders)


def code_names(token):
    """The identifiers a code token names: the callee of a call, every part of a qualified name."""
    callee = token.split("(", 1)[0]
    callee = callee.split(".")[-1] if "::" not in callee else callee
    return [part for part in callee.split("::") if IDENT.fullmatch(part)]


def missing_names(document):
    text = document.read_text(encoding="utf-8")
    # Fenced blocks are drawings and commands, not names.
    text = re.sub(r"```.*?```", "", text, flags=re.S)
    tokens = re.findall(r"`([^`\n]+)`", text)
    files = all_files()
    sources = corpus()
    missing = []
    for token in dict.fromkeys(tokens):
        token = token.strip()
        if token.startswith("-") or "<" in token or (" " in token and "(" not in token):
            continue
        head = token.split(" ", 1)[0] if "(" not in token else token
        if "/" in head or head.endswith(SUFFIXES):
            if not path_exists(head.rstrip(","), files):
                missing.append(f"file {head}")
            continue
        for name in code_names(token):
            if not re.search(r"\b" + re.escape(name) + r"\b", sources):
                missing.append(f"name {name} (in `{token}`)")
    return missing


def main():
    document = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else ROOT / "docs" / "ARCHITECTURE.md"
    missing = missing_names(document)
    for item in missing:
        print(f"{document.name}: {item} does not exist", file=sys.stderr)
    return 1 if missing else 0


if __name__ == "__main__":
    sys.exit(main())

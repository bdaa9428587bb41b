#!/usr/bin/env python3
"""Fails when README.md or docs/*.md names a repository path that does not exist, or when docs/architecture.md names
a function, class, member or constant (`Name`, `Class::Name()`, Name() in plain text) that occurs nowhere in the
code, tests, benchmarks and tools.

A path is a word that holds a '/' and starts with one of the repository's top folders, or ends in a source
file's extension (then it may also be an include path under src/). Installed and generated places (build/,
config/, share/, an absolute path, a $VARIABLE) and patterns with placeholders (<page>, *) are not paths of the
repository.

  tools/check-doc-paths.py [ROOT]
"""
import re
import sys
from pathlib import Path

ROOT = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent)
TOP_FOLDERS = ("src/", "tests/", "tools/", "bench/", "res/", "standin/", "docs/", ".ci/")
EXTENSIONS = (".cpp", ".h", ".in", ".py", ".sh", ".js", ".tcl", ".md", ".txt", ".json", ".cmake", ".htm", ".html")
NOT_IN_REPO = ("build", "config/", "share/", "lib/", "bin/", "out/", "/", "$", "~", "http:", "https:", "file:")


def named_paths(text):
    for word in re.split(r"[\s`]+", text):
        word = word.lstrip("(['\"").rstrip(")[],;:'\".")
        if "/" not in word or any(c in word for c in "<>*{}|\\"):
            continue
        if word.startswith(NOT_IN_REPO):
            continue
        if word.startswith(TOP_FOLDERS) or word.endswith(EXTENSIONS):
            yield word


def path_exists(path):
    return (ROOT / path).exists() or (not path.startswith(TOP_FOLDERS) and (ROOT / "src" / path).exists())


def code_words():
    files = [ROOT / "CMakeLists.txt"]
    for folder in ("src", "standin", "tests", "bench", "tools", ".ci"):
        # Not the pages and expected outputs of tests/data, nor this script: a name must live in the code.
        files += [p for p in (ROOT / folder).rglob("*") if p.is_file() and "node_modules" not in p.parts
                  and not p.relative_to(ROOT).as_posix().startswith("tests/data/") and p.name != Path(__file__).name]
    return set(re.findall(r"\w+", "\n".join(p.read_text(errors="replace") for p in files)))


def named_code(text):
    """Identifiers in backticks (`CDSCDoc::Convert`, `m_strPbn`, `Page()`) and calls in plain text (dlopen())."""
    names = re.findall(r"`([A-Za-z_]\w*(?:::[A-Za-z_]\w*)*)(?:\(\))?`", text)
    names += re.findall(r"\b([A-Za-z_][\w:]*)\(", text)
    return {part for name in names for part in name.split("::") if part}


def main():
    problems = []
    docs = [ROOT / "README.md"] + sorted((ROOT / "docs").glob("*.md"))
    for doc in docs:
        for path in sorted(set(named_paths(doc.read_text()))):
            if not path_exists(path):
                problems.append(f"{doc.relative_to(ROOT)}: names {path}, which does not exist")
    architecture = ROOT / "docs" / "architecture.md"
    if architecture.is_file():
        words = code_words()
        for name in sorted(named_code(architecture.read_text()) - words):
            problems.append(f"docs/architecture.md: names {name}, which no code, test or tool holds")
    for problem in problems:
        print(problem)
    print(f"{len(docs)} documents checked, {len(problems)} problem(s)")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())

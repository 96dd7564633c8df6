#!/usr/bin/python3
"""Every relative link of the README and of the manual under docs/ resolves:
the file exists, and an anchor (#section) names a heading of that file, as
GitHub turns headings into anchors. Also: the README stays short.

usage: doc_links_test.py REPOSITORY_ROOT
"""
import re
import sys
from pathlib import Path

LINK = re.compile(r"!?\[[^\]]*\]\(([^)\s]+)\)")
FENCE = re.compile(r"^```")
README_MOST_LINES = 300


def prose_lines(path):
    """The lines of a Markdown file outside fenced code blocks."""
    inside = False
    for line in path.read_text(encoding="utf-8").splitlines():
        if FENCE.match(line):
            inside = not inside
            continue
        if not inside:
            yield line


def anchor(heading):
    text = heading.lstrip("#").strip().lower()
    text = re.sub(r"[^\w\- ]", "", text)
    return text.replace(" ", "-")


def anchors_of(path):
    return {anchor(line) for line in prose_lines(path) if line.startswith("#")}


def broken_links(path):
    for line in prose_lines(path):
        for target in LINK.findall(line):
            if re.match(r"[a-z]+:", target):
                continue  # a web address: not checked here
            file_part, _, section = target.partition("#")
            linked = (path.parent / file_part).resolve() if file_part else path
            if not linked.exists():
                yield f"{path}: {target}: no such file"
            elif section and linked.suffix == ".md" and section not in anchors_of(linked):
                yield f"{path}: {target}: no such heading in {linked.name}"


def main():
    root = Path(sys.argv[1])
    pages = [root / "README.md", *sorted((root / "docs").glob("*.md")),
             *sorted((root / "examples").glob("*.md"))]
    problems = [p for page in pages for p in broken_links(page)]
    readme_lines = len((root / "README.md").read_text(encoding="utf-8").splitlines())
    if readme_lines > README_MOST_LINES:
        problems.append(f"README.md: {readme_lines} lines, at most {README_MOST_LINES} expected")
    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Fails when the module uses an engine name that Engine/API.md does not hold.

An engine name is an identifier that the module's code uses and that the headless engine's
headers also use. Comments and string literals do not count. The ledger holds a name when the
name appears in Engine/API.md in backquotes: as a ledger entry, or in its list of module
words that only coincide with engine words (parameters, locals).

It also fails on a row that says it was checked (✔) but names no reference page with its version,
"Path (5.N)" or "Path (current)", and on an unchecked row (○) that neither names a page nor says
that no reference page was found: a reader must be able to open the page the row was read on.

Usage: check-api-ledger.py [repository root]   (prints every problem, exit 1 if any)
"""

import pathlib
import re
import sys

CPP_WORDS = set("""
alignas alignof and asm auto bool break case catch char char8_t char16_t char32_t class concept
const consteval constexpr constinit const_cast continue co_await co_return co_yield decltype
default delete do double dynamic_cast else enum explicit export extern false final float for
friend goto if inline int long mutable namespace new noexcept not nullptr operator or override
private protected public register reinterpret_cast requires return short signed sizeof static
static_assert static_cast struct switch template this thread_local throw true try typedef typeid
typename union unsigned using virtual void volatile wchar_t while define include pragma once
ifdef ifndef endif elif std size_t
""".split())

TOKEN = re.compile(r"""
    (?P<comment>//[^\n]*|/\*.*?\*/)
  | (?P<string>(?:u8|u|U|L)?R"(?P<delim>[^(]*)\(.*?\)(?P=delim)"|(?:u8|u|U|L)?"(?:\\.|[^"\\\n])*"|'(?:\\.|[^'\\\n])*')
  | (?P<word>[A-Za-z_][A-Za-z0-9_]*)
""", re.S | re.X)


def code_words(path):
    words = set()
    for match in TOKEN.finditer(path.read_text(encoding="utf-8", errors="replace")):
        word = match.group("word")
        if word:
            words.add(word)
    return words


PAGE_VERSION = re.compile(r"\((?:5\.\d+|current)\b")
NO_PAGE = "no reference page found"


def cells(line):
    return [cell.strip() for cell in re.split(r"(?<!\\)\|", line.strip())[1:-1]]


def unsourced_rows(ledger_text):
    """The rows whose Checked mark the Page column does not back."""
    problems = []
    page = checked = None
    for line in ledger_text.splitlines():
        if not line.startswith("|"):
            page = checked = None
            continue
        row = cells(line)
        if "Page" in row and "Checked" in row:
            page, checked = row.index("Page"), row.index("Checked")
            continue
        if page is None or len(row) <= max(page, checked) or set(row[0]) <= set("-: "):
            continue
        source, mark = row[page], row[checked]
        if mark.startswith("✔") and not PAGE_VERSION.search(source):
            problems.append(f"Engine/API.md: row {row[0]} is marked checked but names no page with its version")
        elif mark.startswith("○") and not PAGE_VERSION.search(source) and NO_PAGE not in source:
            problems.append(f"Engine/API.md: row {row[0]} names no page and does not say '{NO_PAGE}'")
    return problems


def files(root, patterns):
    for pattern in patterns:
        yield from sorted(root.glob(pattern))


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parent.parent)
    engine = set()
    for header in files(root / "Engine", ["**/Public/**/*.h", "**/Classes/**/*.h"]):
        engine |= code_words(header)
    used = set()
    for source in files(root / "Source" / "QuarnLive", ["**/*.h", "**/*.cpp"]):
        used |= code_words(source)

    ledger_text = (root / "Engine" / "API.md").read_text(encoding="utf-8")
    held = set()
    for quoted in re.findall(r"`([^`]+)`", ledger_text):
        held.update(re.findall(r"[A-Za-z_][A-Za-z0-9_]*", quoted))

    missing = sorted((used & engine) - CPP_WORDS - held)
    for name in missing:
        print(f"Engine/API.md: the module uses engine name '{name}', which the ledger does not hold")
    if missing:
        print(f"{len(missing)} engine name(s) missing from Engine/API.md")
    unsourced = unsourced_rows(ledger_text)
    for problem in unsourced:
        print(problem)
    if missing or unsourced:
        return 1
    print(f"API ledger: all {len((used & engine) - CPP_WORDS)} engine names the module uses are in Engine/API.md")
    return 0


if __name__ == "__main__":
    sys.exit(main())

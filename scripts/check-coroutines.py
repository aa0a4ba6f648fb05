#!/usr/bin/env python3
"""check-coroutines.py [ROOT]: checks the coroutine rule of docs/LINK.md
("The coroutine rule") in the sources under ROOT (default: the checkout):
src/, and the coroutines of the tests, benchmarks and fuzz targets.

1. A co_await stands alone: a statement of its own (`co_await x;`, also as
   the body of an if or loop) or the whole initializer of a named local
   (`const bool ok = co_await x;`, `ok = co_await x;`). Anything else fails:
   `if (co_await`, `while (co_await`, `!co_await`, `co_await x && y`,
   `co_await x != y`, `return co_await`, `co_return co_await`, `f(co_await x)`.
2. Coroutines (any co_await, co_return or co_yield) of the programs live
   only in the layers docs/ARCHITECTURE.md gives them: the link (src/link)
   and the operations (src/ops).

Prints one line per finding (file:line: what) and exits 1 when there is one.
"""
import pathlib
import re
import sys

COROUTINE_LAYERS = ("src/link/", "src/ops/")
CHECKED_FOLDERS = ("src", "tests", "bench", "fuzz")
# Planted breaks for the checker's own test.
SKIPPED = "tests/checks/"
KEYWORD = re.compile(r"\bco_(await|return|yield)\b")
AWAIT = re.compile(r"\bco_await\b")
# `[const] Type name =` or `name =` (the type may be qualified or a template).
NAMED_LOCAL = re.compile(r"^(?:(?:const\s+)?[\w:]+(?:<[\w:<>,\s*&]*>)?[\s*&]+)?\w+\s*$")


def blank_comments_and_literals(text):
    """The text with comments, string and character literals blanked out;
    newlines stay, so offsets keep their line numbers."""
    out = list(text)
    i, n = 0, len(text)

    def blank(start, end):
        for k in range(start, end):
            if out[k] != "\n":
                out[k] = " "

    while i < n:
        if text.startswith("//", i):
            end = text.find("\n", i)
            end = n if end < 0 else end
            blank(i, end)
            i = end
        elif text.startswith("/*", i):
            end = text.find("*/", i + 2)
            end = n if end < 0 else end + 2
            blank(i, end)
            i = end
        elif text.startswith('R"', i) and (i == 0 or not (text[i - 1].isalnum() or text[i - 1] == "_")):
            open_paren = text.find("(", i)
            delimiter = text[i + 2:open_paren]
            end = text.find(")" + delimiter + '"', open_paren)
            end = n if end < 0 else end + len(delimiter) + 2
            blank(i + 1, end)
            i = end
        elif text[i] in "\"'":
            quote, k = text[i], i + 1
            while k < n and text[k] != quote and text[k] != "\n":
                k += 2 if text[k] == "\\" else 1
            # A digit separator (1'000) is no literal.
            if quote == "'" and i > 0 and text[i - 1].isalnum():
                i += 1
                continue
            blank(i + 1, k)
            i = k + 1
        else:
            i += 1
    return "".join(out)


def skip_balanced(code, i):
    """Index after the bracket group opening at code[i]."""
    pairs = {"(": ")", "[": "]", "{": "}"}
    stack = [pairs[code[i]]]
    i += 1
    while i < len(code) and stack:
        if code[i] in pairs:
            stack.append(pairs[code[i]])
        elif code[i] == stack[-1]:
            stack.pop()
        i += 1
    return i


def end_of_operand(code, i):
    """Index after the postfix expression starting at code[i] (names joined by
    ::, . and ->, calls, subscripts, template arguments before a call)."""
    n = len(code)
    while i < n:
        while i < n and code[i].isspace():
            i += 1
        match = re.match(r"\w+", code[i:])
        if match:
            i += match.end()
            template = re.match(r"\s*<[\w:<>,\s*&]*>\s*(?=[({])", code[i:])
            if template:
                i += template.end()
            continue
        if code[i] in "([{":
            i = skip_balanced(code, i)
            continue
        joiner = re.match(r"\s*(::|\.|->)", code[i:])
        if joiner:
            i += joiner.end()
            continue
        break
    return i


def statement_start(code, i):
    """Index just after the last `;`, `{` or `}` before code[i]."""
    k = i - 1
    while k >= 0 and code[k] not in ";{}":
        k -= 1
    return k + 1


def await_findings(code):
    """(offset, what) for every co_await that does not stand alone."""
    findings = []
    for match in AWAIT.finditer(code):
        start = match.start()
        before = code[:start].rstrip()
        if before.endswith("operator"):
            continue  # the declaration of an awaitable's operator co_await
        after_end = end_of_operand(code, match.end())
        rest = code[after_end:].lstrip()
        ending = rest[:1]
        words = re.findall(r"[\w]+|[^\w\s]+", before[-40:])
        last = words[-1] if words else ""
        what = None
        if last in ("return", "co_return"):
            what = f"`{last} co_await`: bind the result to a named local first"
        elif before.endswith("=") and not re.search(r"[=!<>+\-*/%&|^]=$", before):
            declared = before[statement_start(code, start):-1].strip()
            if not NAMED_LOCAL.match(declared):
                what = f"`{declared} = co_await`: only a named local takes a co_await"
        elif before == "" or before[-1] in ";{}" or last == "else" or (
                before[-1] == ")" and re.search(r"\b(if|for|while)\s*\($", _statement_head(before))):
            pass  # a statement of its own
        else:
            line = before.splitlines()[-1].strip() if before.splitlines() else ""
            space = "" if line.endswith(("(", "!")) else " "
            what = f"`{line[-30:]}{space}co_await`: a co_await in an expression"
        if what is None and ending != ";":
            operator = re.match(r"\S+", rest)
            what = f"`co_await ... {operator.group(0) if operator else ''}`: a co_await in an expression"
        if what:
            findings.append((start, what))
    return findings


def _statement_head(before):
    """For text ending in `)`, the text up to the `(` that closes it."""
    depth = 0
    for k in range(len(before) - 1, -1, -1):
        if before[k] == ")":
            depth += 1
        elif before[k] == "(":
            depth -= 1
            if depth == 0:
                return before[:k + 1]
    return ""


def check(root):
    findings = []
    paths = [p for folder in CHECKED_FOLDERS for p in sorted((root / folder).rglob("*"))]
    for path in paths:
        relative = path.relative_to(root).as_posix()
        if path.suffix not in (".h", ".cpp") or not path.is_file() or relative.startswith(SKIPPED):
            continue
        code = blank_comments_and_literals(path.read_text(encoding="latin-1"))

        def where(offset):
            return f"{relative}:{code.count(chr(10), 0, offset) + 1}"

        if relative.startswith("src/") and not relative.startswith(COROUTINE_LAYERS):
            lines = sorted({where(m.start()).split(":")[1] for m in KEYWORD.finditer(code)}, key=int)
            if lines:
                findings.append(f"{relative}:{lines[0]}: a coroutine outside {', '.join(COROUTINE_LAYERS)} "
                                f"(co_ keywords on lines {', '.join(lines)}): coroutines belong to the link and the operations")
        for offset, what in await_findings(code):
            findings.append(f"{where(offset)}: {what}")
    return findings


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parent.parent)
    findings = check(root.resolve())
    for finding in findings:
        print(finding)
    if findings:
        print(f"{len(findings)} break(s) of the coroutine rule (docs/LINK.md, \"The coroutine rule\")")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())

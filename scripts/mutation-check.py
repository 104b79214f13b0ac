#!/usr/bin/env python3
"""Mutation check: how many small faults in src/ does the test suite notice?

Applies N single changes (one operator or one constant) to the sources under src/, one at a time,
rebuilds incrementally, runs the suite and restores the file. Prints how many mutants the suite killed,
how many did not build, and which survived, so that a surviving mutant can be read and judged (a missing
test, or an equivalent change).

    scripts/mutation-check.py [N] [SEED] [--build DIR] [--under PATH] [--tests REGEX] [--list]

N defaults to 40 and SEED to 1. The build folder (default build-mutation) is an ordinary Debug build
without sanitizers or debug information, configured on first use. --under draws the mutants only from files under PATH (for
example src/display), --tests runs only the test programs whose names match REGEX (a quicker look at one
part, e.g. "^display\\."; the figures that count come from the whole suite). --list prints the chosen mutants only.
"""

import argparse
import pathlib
import random
import re
import subprocess
import sys
import time

ROOT = pathlib.Path(__file__).resolve().parent.parent

# Replacement operators, longest first so that "<=" is not read as "<".
OPERATORS = {
    "<=": ["<", ">"],
    ">=": [">", "<"],
    "==": ["!="],
    "!=": ["=="],
    "&&": ["||"],
    "||": ["&&"],
    "<": ["<=", ">"],
    ">": [">=", "<"],
    "+": ["-"],
    "-": ["+"],
    "*": ["/"],
    "/": ["*"],
    "%": ["*"],
}
KEYWORDS = {"true": "false", "false": "true"}

TOKEN = re.compile(
    r"""(?P<skip>//[^\n]*|/\*.*?\*/|"(?:\\.|[^"\\\n])*"|'(?:\\.|[^'\\\n])*'|^[ \t]*\#[^\n]*)"""
    r"""|(?P<number>(?<![\w.])(?:0[xX][0-9a-fA-F]+|\d+(?:\.\d*)?)(?:[uUlLfF]*)(?![\w.]))"""
    r"""|(?P<word>\b(?:true|false)\b)"""
    r"""|(?P<op>->|<<=|>>=|<<|>>|\+\+|--|\+=|-=|\*=|/=|::|<=|>=|==|!=|&&|\|\||[<>+\-*/%])""",
    re.DOTALL | re.MULTILINE,
)


def candidates(path):
    """Every place in one file where a single change makes a mutant: (offset, old text, new text)."""
    text = path.read_text(encoding="utf-8")
    found = []
    for m in TOKEN.finditer(text):
        kind = m.lastgroup
        tok = m.group(kind)
        if kind == "skip":
            continue
        if kind == "number":
            digits = re.match(r"(0[xX][0-9a-fA-F]+|\d+(?:\.\d*)?)", tok).group(1)
            suffix = tok[len(digits):]
            if digits.lower().startswith("0x"):
                value = int(digits, 16)
                new = hex(value + 1)
            elif "." in digits:
                new = repr(float(digits) + 1.0)
            else:
                new = str(int(digits) + 1)
            found.append((m.start(), tok, new + suffix))
            if digits not in ("0", "1") and "." not in digits and not digits.lower().startswith("0x"):
                found.append((m.start(), tok, str(int(digits) - 1) + suffix))
        elif kind == "word":
            found.append((m.start(), tok, KEYWORDS[tok]))
        elif kind == "op" and tok in OPERATORS:
            # Only binary operators with a blank on each side (the tree is formatted): this leaves template
            # brackets, pointer and reference declarations and unary signs alone, whose changes almost
            # never build and say nothing about the tests.
            if not (text[m.start() - 1:m.start()].isspace() and text[m.end():m.end() + 1].isspace()):
                continue
            for new in OPERATORS[tok]:
                found.append((m.start(), tok, new))
    return text, found


def run(cmd, timeout):
    try:
        return subprocess.run(cmd, cwd=ROOT, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                              timeout=timeout).returncode
    except subprocess.TimeoutExpired:
        return -1


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("count", nargs="?", type=int, default=40)
    ap.add_argument("seed", nargs="?", type=int, default=1)
    ap.add_argument("--build", default="build-mutation")
    ap.add_argument("--under", default="src")
    ap.add_argument("--tests", default="")
    ap.add_argument("--list", action="store_true")
    args = ap.parse_args()

    sources = sorted(p for p in (ROOT / args.under).rglob("*") if p.suffix in (".cpp", ".h"))
    select = ["-R", args.tests] if args.tests else []
    pool = []
    for path in sources:
        _, found = candidates(path)
        pool.extend((path, *c) for c in found)
    rng = random.Random(args.seed)
    chosen = rng.sample(pool, min(args.count, len(pool)))
    chosen.sort(key=lambda c: (str(c[0]), c[1]))

    def where(c):
        path, offset, old, new = c
        text = path.read_text(encoding="utf-8")
        line = text.count("\n", 0, offset) + 1
        return f"{path.relative_to(ROOT)}:{line}: '{old}' -> '{new}'"

    print(f"{len(pool)} possible mutants in {len(sources)} files; seed {args.seed}, {len(chosen)} chosen")
    if args.list:
        for c in chosen:
            print("  " + where(c))
        return 0

    build = ROOT / args.build
    if not (build / "CMakeCache.txt").exists():
        # No debug information: every mutant relinks all the programs, and that is most of its time. The
        # standard library's index checks stay on, as in the test build.
        if run(["cmake", "-G", "Ninja", "-S", ".", "-B", str(build), "-DCMAKE_BUILD_TYPE=Debug",
                "-DCMAKE_CXX_FLAGS_DEBUG=-g0 -D_GLIBCXX_ASSERTIONS", "-DAURIVO_BENCH=OFF"], 600) != 0:
            print("configuring the build folder failed", file=sys.stderr)
            return 2
    if run(["cmake", "--build", str(build)], 3600) != 0 or \
            run(["ctest", "--test-dir", str(build), "-j2", "--timeout", "120"] + select, 1800) != 0:
        print("the unchanged tree does not build or pass its tests; fix that first", file=sys.stderr)
        return 2

    killed, survived, unbuilt = [], [], []
    started = time.time()
    for i, c in enumerate(chosen, 1):
        path, offset, old, new = c
        original = path.read_bytes()
        text = original.decode("utf-8")
        assert text[offset:offset + len(old)] == old
        path.write_text(text[:offset] + new + text[offset + len(old):], encoding="utf-8")
        try:
            if run(["cmake", "--build", str(build)], 1800) != 0:
                unbuilt.append(c)
                verdict = "does not build"
            elif run(["ctest", "--test-dir", str(build), "-j2", "--timeout", "60", "--stop-on-failure"] + select,
                     1800) != 0:
                killed.append(c)
                verdict = "killed"
            else:
                survived.append(c)
                verdict = "SURVIVED"
        finally:
            path.write_bytes(original)
        print(f"[{i}/{len(chosen)}] {verdict:14} {where(c)}", flush=True)
    run(["cmake", "--build", str(build)], 3600)  # leave the build folder matching the tree

    built = len(killed) + len(survived)
    score = 100.0 * len(killed) / built if built else 0.0
    print(f"\nseed {args.seed}: {len(chosen)} mutants, {len(unbuilt)} did not build, "
          f"{len(killed)} of {built} killed ({score:.0f} %), {time.time() - started:.0f} s")
    for c in survived:
        print("  survived: " + where(c))
    return 0


if __name__ == "__main__":
    sys.exit(main())

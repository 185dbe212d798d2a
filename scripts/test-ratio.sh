#!/usr/bin/env bash
# Prints the lines of tests against the lines of the program and its development tools, per room
# and in total, and fails when the tests grow past 0.40 of the code: tests check a behaviour once,
# at one level, and a suite larger than that has started restating the code. Every line of a
# C++, Python or shell file counts, as a reader has to page through it.
set -euo pipefail
cd "$(dirname "$0")/.."
python3 - "${NATALIS_TEST_RATIO_LIMIT:-0.40}" <<'PY'
import subprocess, sys
from collections import Counter

limit = float(sys.argv[1])
suffixes = ('.cpp', '.h', '.py', '.sh')

def lines(path):
    with open(path, encoding='utf-8', errors='replace') as f:
        return sum(1 for _ in f)

files = subprocess.check_output(['git', 'ls-files', 'src', 'tools', 'tests'],
                                text=True).split()
code, tests = Counter(), Counter()
for path in files:
    if not path.endswith(suffixes):
        continue
    top, _, rest = path.partition('/')
    room = rest.split('/')[0] if top in ('src', 'tests') and '/' in rest else top
    (tests if top == 'tests' else code)[room] += lines(path)

print(f"{'room':<12} {'code':>7} {'tests':>7}")
for room in sorted(set(code) | set(tests)):
    print(f"{room:<12} {code[room]:>7} {tests[room]:>7}")
total_code, total_tests = sum(code.values()), sum(tests.values())
ratio = total_tests / total_code
print(f"{'total':<12} {total_code:>7} {total_tests:>7}   tests/code = {ratio:.3f} (limit {limit:.2f})")
sys.exit(0 if ratio <= limit else 1)
PY

#!/usr/bin/env bash
# Lists the C++ files longer than 700 lines and the functions longer than 80 lines under the
# given folders (src and tools when none are given), and fails when there is any: a reader should
# be able to hold a file's concept and a function's steps in view. Functions are found by
# counting braces, which is enough for this tree's layout: a block opened where a namespace or a
# class holds declarations, after a parenthesised header that is no statement, is a function; its
# lambdas count as part of it. A function's lines run from its header's first line to its closing
# brace.
set -euo pipefail
cd "$(dirname "$0")/.."
python3 - "${NATALIS_MAX_FILE_LINES:-700}" "${NATALIS_MAX_FUNCTION_LINES:-80}" "$@" <<'PY'
import pathlib, re, sys

max_file, max_function = int(sys.argv[1]), int(sys.argv[2])
roots = sys.argv[3:] or ['src', 'tools']

CONTAINER = re.compile(r'\b(namespace|class|struct|union|extern\s+"C")\b')
STATEMENT = re.compile(r'^\s*(if|for|while|switch|catch|do|else|return)\b')


def blank_out(text):
    """The text with comments, string and character literals and preprocessor lines turned into
    spaces, so that their braces do not count; the newlines stay for the line numbers."""
    out, i, n = [], 0, len(text)
    at_line_start = True
    while i < n:
        c = text[i]
        if at_line_start and c == '#':
            end = i
            while end < n and (text[end] != '\n' or text[end - 1] == '\\'):
                end += 1
            out.append(re.sub(r'[^\n]', ' ', text[i:end]))
            i = end
            continue
        if c == '\n':
            at_line_start = True
            out.append(c)
            i += 1
            continue
        if not c.isspace():
            at_line_start = False
        if text.startswith('//', i):
            end = text.find('\n', i)
            end = n if end < 0 else end
        elif text.startswith('/*', i):
            end = text.find('*/', i + 2)
            end = n if end < 0 else end + 2
        elif c == 'R' and text.startswith('"', i + 1) and (i == 0 or not text[i - 1].isalnum()):
            delimiter = text[i + 2:text.find('(', i + 2)]
            end = text.find(')' + delimiter + '"', i) + len(delimiter) + 2
        elif c == '"' or (c == '\'' and not digit_separator(text, i)):
            end = i + 1
            while end < n and text[end] != c:
                end += 2 if text[end] == '\\' else 1
            end += 1
        else:
            out.append(c)
            i += 1
            continue
        out.append(re.sub(r'[^\n]', ' ', text[i:end]))
        i = end
    return ''.join(out)


def digit_separator(text, i):
    """True for the quote in 1'000'000: the word before it starts with a digit."""
    start = i
    while start > 0 and (text[start - 1].isalnum() or text[start - 1] == '\''):
        start -= 1
    return start < i and text[start].isdigit()


def function_name(header):
    head = header[:header.find('(')] if '(' in header else header
    if '=' in head and 'operator' not in head:
        head = head[:head.find('=')]
    words = re.findall(r'[~\w:]+', head)
    return words[-1] if words else header.strip()[:40]


def long_functions(text):
    """(name, first line, lines) of every function over the limit."""
    code = blank_out(text)
    found = []
    # Each open block: kind ('container', 'function' or 'other'), first line, name.
    stack = []
    header_start = 0
    for i, c in enumerate(code):
        in_function = any(kind == 'function' for kind, _, _ in stack)
        if c in ';{}' and not in_function:
            header = code[header_start:i]
        if c == '{':
            if in_function:
                stack.append(('other', 0, ''))
                continue
            # A member initialised with braces inside a constructor's list: still the header.
            if re.search(r'\)\s*:[^:]', header) and re.search(r'\w\s*$', header) \
                    and not re.search(r'\b(const|override|noexcept|final)\s*$', header):
                stack.append(('init', 0, ''))
                continue
            first = code.count('\n', 0, header_start + len(header) - len(header.lstrip())) + 1
            if '(' in header and not CONTAINER.search(header.split(')')[-1]) \
                    and not STATEMENT.match(header):
                stack.append(('function', first, function_name(header)))
            elif CONTAINER.search(header.split(')')[-1]):
                stack.append(('container', first, ''))
            else:
                stack.append(('other', first, ''))
        elif c == '}':
            if not stack:
                continue
            kind, first, name = stack.pop()
            if kind == 'init':
                continue
            if kind == 'function':
                last = code.count('\n', 0, i) + 1
                if last - first + 1 > max_function:
                    found.append((name, first, last - first + 1))
            if not any(k == 'function' for k, _, _ in stack):
                header_start = i + 1
        elif c == ';' and not in_function:
            header_start = i + 1
    return found


failures = 0
for root in roots:
    for path in sorted(pathlib.Path(root).rglob('*')):
        if path.suffix not in ('.cpp', '.h'):
            continue
        text = path.read_text(encoding='utf-8', errors='replace')
        lines = text.count('\n')
        if lines > max_file:
            print(f'{path}: {lines} lines (file over {max_file})')
            failures += 1
        for name, first, count in long_functions(text):
            print(f'{path}:{first}: {name}: {count} lines (function over {max_function})')
            failures += 1
sys.exit(1 if failures else 0)
PY

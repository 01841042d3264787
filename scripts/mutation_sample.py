#!/usr/bin/env python3
"""Mutation sampler: generates faults by rule over every line of src/,
draws a seeded sample of them, builds each in a scratch copy and runs the
test suite against it. A fault is caught when some test fails (or times out).

The rules work on the tokens of the code, never inside comments, string or
character literals or preprocessor lines:
  relational       < <= > >= tightened or loosened (< to <=, <= to <, ...)
  relational-flip  < to >, <= to >=, and back
  equality         == and != exchanged
  constant         an integer constant N to N+1 and N-1
  arithmetic       binary + and - exchanged, * and / exchanged
  compound         += and -= exchanged, *= and /= exchanged
  swap-operands    a - b to b - a (also /, <, <=, >, >=) for simple operands
  negate           if (c) and while (c) to if (!(c)), c ? a : b to !(c) ? a : b
  drop-statement   a whole statement on one line removed
  drop-exit        if (c) return/continue/break ...; removed, or its return
  rounding         std::floor, std::trunc, std::round, std::ceil and
                   roundToInt replaced by one another
  drop-flag        O_EXCL, O_TRUNC or O_CREAT removed from an | expression

The sample has MUTATION_COUNT faults (default 200) drawn with MUTATION_SEED
(default 1), shared between the folders of src/ in proportion to their
non-blank lines. A fault that does not compile is replaced by another one
of the same folder and is not counted. A fault listed in
scripts/mutation_equivalent.txt (matched by file and line contents) is
reported as equivalent, not built, and left out of the score.

Usage: scripts/mutation_sample.py            run the sample
       scripts/mutation_sample.py --list [FILE...]
                                              print every fault the rules make
Environment:
  MUTATION_SEED, MUTATION_COUNT  the sample
  MUTATION_ONLY=FILE.tsv    run exactly the faults of FILE.tsv (as written to
                            build/mutation-survivors.tsv) instead of a sample
  MUTATION_SOURCE=DIR       take the sources from DIR instead of this work tree
  MUTATION_EXTRA_TESTS      test sources (space-separated paths) added to the
                            scratch copy's tests/extra/
  MUTATION_FILTER           only faults whose operator or file contains it
  MUTATION_TIMEOUT          seconds a test may run (default 60; a time-out
                            counts as caught)
  JOBS                      cores to use (default 2); with 2 or more, two
                            scratch trees work on two faults at once
  MUTATION_TREES            scratch trees, to override that choice
The scratch trees are build/mutation-sample/tree-N (src/ and build/ each),
synchronised by content with the sources so that only what changed is
compiled again. The report goes to build/mutation-report.txt, the survivors
to build/mutation-survivors.tsv and every drawn fault with its verdict to
build/mutation-results.tsv.
"""

import fcntl
import json
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import threading
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# ---------------------------------------------------------------- tokens


class Token:
    __slots__ = ("kind", "text", "line", "col", "end_line", "end_col")

    def __init__(self, kind, text, line, col, end_line, end_col):
        self.kind, self.text = kind, text
        self.line, self.col, self.end_line, self.end_col = line, col, end_line, end_col

    def __repr__(self):
        return "%s(%r@%d:%d)" % (self.kind, self.text, self.line, self.col)


PUNCTUATORS = sorted(
    "<=> >>= <<= ->* ... :: -> ++ -- << >> <= >= == != && || += -= *= /= %= &= |= ^= .* ## "
    "{ } [ ] ( ) < > ; : , . ? + - * / % & | ^ ! ~ = #".split(),
    key=len,
    reverse=True,
)
IDENTIFIER = re.compile(r"[A-Za-z_]\w*")
NUMBER = re.compile(r"\.?\d(?:[eEpP][+-]|[\w.']|)*")
STRING_PREFIX = re.compile(r"(?:u8|u|U|L)?R?$")


def tokenize(text):
    """Tokens of C++ source text, without comments and preprocessor lines.
    Lines are counted from 1, columns from 0."""
    tokens = []
    i, n = 0, len(text)
    line, line_start = 1, 0
    at_line_start = True  # only white space so far on this line

    def newline_at(k):
        nonlocal line, line_start
        line += 1
        line_start = k + 1

    def past_block_comment(k):
        # Where the comment that opens at k ends, its lines counted.
        end = text.find("*/", k + 2)
        end = n if end < 0 else end + 2
        for j in range(k, end):
            if text[j] == "\n":
                newline_at(j)
        return end

    while i < n:
        c = text[i]
        if c == "\n":
            newline_at(i)
            at_line_start = True
            i += 1
            continue
        if c in " \t\r\f\v":
            i += 1
            continue
        if c == "\\" and i + 1 < n and text[i + 1] == "\n":
            newline_at(i + 1)
            i += 2
            continue
        if text.startswith("//", i):
            while i < n and text[i] != "\n":
                i += 1
            continue
        if text.startswith("/*", i):
            i = past_block_comment(i)
            continue
        if c == "#" and at_line_start:
            # A preprocessor line, with its continuations and comments.
            while i < n and text[i] != "\n":
                if text[i] == "\\" and i + 1 < n and text[i + 1] == "\n":
                    newline_at(i + 1)
                    i += 2
                    continue
                if text.startswith("/*", i):
                    i = past_block_comment(i)
                    continue
                i += 1
            continue
        at_line_start = False
        start, start_line, start_col = i, line, i - line_start
        m = IDENTIFIER.match(text, i)
        if m and m.end() < n and text[m.end()] in "\"'" and STRING_PREFIX.match(m.group()):
            i = m.end()
            c = text[i]
            if c == '"' and m.group().endswith("R"):
                close = text.find("(", i)
                delimiter = ")" + text[i + 1 : close] + '"'
                end = text.find(delimiter, close)
                end = n if end < 0 else end + len(delimiter)
                for k in range(i, end):
                    if text[k] == "\n":
                        newline_at(k)
                i = end
                tokens.append(Token("str", text[start:i], start_line, start_col, line, i - line_start))
                continue
            m = None  # a prefixed plain literal: read below
        if m:
            i = m.end()
            tokens.append(Token("id", m.group(), line, start_col, line, i - line_start))
            continue
        if c in "\"'":
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            i = min(j + 1, n)
            kind = "str" if c == '"' else "chr"
            tokens.append(Token(kind, text[start:i], start_line, start_col, line, i - line_start))
            continue
        m = NUMBER.match(text, i)
        if m:
            i = m.end()
            tokens.append(Token("num", m.group(), line, start_col, line, i - line_start))
            continue
        for p in PUNCTUATORS:
            if text.startswith(p, i):
                i += len(p)
                tokens.append(Token("punct", p, line, start_col, line, i - line_start))
                break
        else:
            i += 1  # a stray character (@, $, a byte outside ASCII): ignored
    return tokens


# ---------------------------------------------------------------- the code's structure

KEYWORDS = set(
    """alignas alignof asm auto bool break case catch char char8_t char16_t char32_t class
    concept const consteval constexpr constinit const_cast continue co_await co_return co_yield
    decltype default delete do double dynamic_cast else enum explicit export extern false float
    for friend goto if inline int long mutable namespace new noexcept nullptr operator private
    protected public register reinterpret_cast requires return short signed sizeof static
    static_assert static_cast struct switch template this thread_local throw true try typedef
    typeid typename union unsigned using virtual void volatile wchar_t while""".split()
)
# Keywords that can start or be an operand (those after "this" only with
# their parentheses or angle brackets).
OPERAND_KEYWORDS = {"this", "true", "false", "nullptr", "sizeof", "alignof", "static_cast", "const_cast",
                    "reinterpret_cast", "dynamic_cast", "typeid", "decltype"}
CALL_KEYWORDS = OPERAND_KEYWORDS - {"this", "true", "false", "nullptr"}
CONTROL_KEYWORDS = {"if", "for", "while", "switch", "catch"}
DECLARATION_KEYWORDS = {"const", "constexpr", "constinit", "static", "auto", "bool", "char", "char8_t",
                        "char16_t", "char32_t", "double", "float", "int", "long", "short", "signed",
                        "unsigned", "void", "wchar_t", "struct", "class", "enum", "union", "using",
                        "typedef", "namespace", "template", "inline", "extern", "thread_local",
                        "volatile", "register", "friend", "virtual", "explicit", "typename",
                        "static_assert", "mutable", "consteval", "decltype", "concept", "requires",
                        "public", "private", "protected", "operator"}
PRECEDENCE = {"*": 13, "/": 13, "%": 13, "+": 12, "-": 12, "<<": 11, ">>": 11, "<=>": 10,
              "<": 9, "<=": 9, ">": 9, ">=": 9, "==": 8, "!=": 8, "&": 7, "^": 6, "|": 5,
              "&&": 4, "||": 3, "?": 2, ":": 2, "=": 2, "+=": 2, "-=": 2, "*=": 2, "/=": 2,
              "%=": 2, "&=": 2, "|=": 2, "^=": 2, "<<=": 2, ">>=": 2, ",": 1}
ASSIGNMENTS = {"=", "+=", "-=", "*=", "/=", "%=", "&=", "|=", "^=", "<<=", ">>="}
ROUNDING = ["floor", "trunc", "round", "ceil"]
FLAGS = {"O_EXCL", "O_TRUNC", "O_CREAT"}


class SourceFile:
    def __init__(self, path, text):
        self.path = path  # relative to the sources' root, with /
        self.text = text
        self.lines = split_lines(text)
        self.tokens = tokenize(text)
        t = self.tokens
        self.n = len(t)
        self.match = {}  # bracket index -> index of its partner
        stack = []
        for k, tok in enumerate(t):
            if tok.kind != "punct":
                continue
            if tok.text in "([{":
                stack.append(k)
            elif tok.text in ")]}":
                # Pop up to the matching kind of bracket (tolerates a stray one).
                want = {")": "(", "]": "[", "}": "{"}[tok.text]
                for depth in range(len(stack) - 1, -1, -1):
                    if t[stack[depth]].text == want:
                        opener = stack[depth]
                        del stack[depth:]
                        self.match[opener], self.match[k] = k, opener
                        break
        self.template_close = {}  # index of a template's < -> index of its > or >>
        self.template_open = {}  # index of a closing > (or >>) -> its <
        for k, tok in enumerate(t):
            if tok.text == "<" and tok.kind == "punct":
                close = self._template_close(k)
                if close is not None:
                    self.template_close[k] = close
                    self.template_open.setdefault(close, k)
        # For each token, the index of the innermost { enclosing it (or -1), and
        # the kind of each {: "function", "control" (if/loop/else/compound
        # statement) or "other" (namespace, class, enum, initialiser).
        self.brace_kind = {}
        self.enclosing = [-1] * self.n
        stack = []
        for k, tok in enumerate(t):
            self.enclosing[k] = stack[-1] if stack else -1
            if tok.text == "{" and tok.kind == "punct":
                self.brace_kind[k] = self._brace_kind(k, stack[-1] if stack else -1)
                stack.append(k)
            elif tok.text == "}" and tok.kind == "punct" and stack:
                stack.pop()
        # The arguments of assert (no code in the release build the tests run)
        # and static_assert (checked while compiling): left alone.
        self.unchecked = set()
        for k, tok in enumerate(t):
            if tok.text in ("assert", "static_assert") and k + 1 < self.n and t[k + 1].text == "(":
                self.unchecked.update(range(k, self.match.get(k + 1, k + 1) + 1))
        self.line_tokens = {}
        for k, tok in enumerate(t):
            if tok.line == tok.end_line:
                self.line_tokens.setdefault(tok.line, []).append(k)

    def _template_close(self, k):
        t = self.tokens
        if k == 0:
            return None
        prev = t[k - 1]
        if prev.kind != "id" or prev.text == "operator":
            return None
        if prev.text in KEYWORDS and prev.text not in (
                "template", "static_cast", "const_cast", "reinterpret_cast", "dynamic_cast"):
            return None
        depth, j = 1, k + 1
        while j < self.n:
            tok = t[j]
            if tok.kind == "punct":
                if tok.text in "([":
                    j = self.match.get(j)
                    if j is None:
                        return None
                elif tok.text == "<":
                    if t[j - 1].kind != "id":
                        return None
                    depth += 1
                elif tok.text == ">":
                    depth -= 1
                    if depth == 0:
                        return j
                elif tok.text == ">>":
                    if depth <= 2:
                        return j
                    depth -= 2
                elif tok.text not in ("::", ",", "*", "&", "...", "."):
                    return None
            j += 1
        return None

    def _brace_kind(self, k, outer):
        t = self.tokens
        if k == 0:
            return "other"
        prev = t[k - 1]
        if prev.text == ")" and prev.kind == "punct":
            opener = self.match.get(k - 1)
            if opener is not None and opener > 0 and t[opener - 1].text in CONTROL_KEYWORDS:
                return "control"
            return "function"
        if prev.text in ("else", "do", "try"):
            return "control"
        if prev.text in ("const", "noexcept", "override", "final", "mutable", "]"):
            return "function"
        if prev.text in (";", "{", "}", ":") and outer >= 0 and self.brace_kind[outer] in ("function", "control"):
            return "control"
        return "other"

    # -- helpers over tokens

    def operand_end(self, k):
        """Whether token k can end an operand (so an operator after it is binary)."""
        if k < 0:
            return False
        tok = self.tokens[k]
        if tok.kind in ("num", "str", "chr"):
            return True
        if tok.kind == "id":
            return tok.text not in KEYWORDS or tok.text in ("this", "true", "false", "nullptr")
        if tok.text == ")":
            opener = self.match.get(k)
            if opener is None:
                return False
            before = self.tokens[opener - 1] if opener > 0 else None
            if before is not None and before.text in CONTROL_KEYWORDS:
                return False
            # (T)x: a C-style cast; a type name alone in parentheses is hard to
            # tell from a variable, so only the keywords' are recognised.
            inside = self.tokens[opener + 1 : k]
            if inside and all(x.kind == "id" and x.text in DECLARATION_KEYWORDS or x.text in ("*", "&") for x in inside):
                return False
            return True
        if tok.text == "]":
            return True
        if tok.text == "}":
            return self.is_temporary(k)
        return False

    def is_temporary(self, k):
        """Whether the } at k closes a braced temporary such as std::int64_t{x}."""
        opener = self.match.get(k)
        if opener is None or opener == 0 or self.tokens[opener].line != self.tokens[k].line:
            return False
        before = self.tokens[opener - 1]
        return (before.kind == "id" and before.text not in KEYWORDS or (opener - 1) in self.template_open) and \
            self.brace_kind.get(opener) == "other"

    def operand_start(self, k):
        if k >= self.n:
            return False
        tok = self.tokens[k]
        if tok.kind in ("num", "str", "chr"):
            return True
        if tok.kind == "id":
            return tok.text not in KEYWORDS or tok.text in OPERAND_KEYWORDS
        return tok.text in ("(", "!", "~", "-", "+", "*", "&", "::", "++", "--")

    def is_binary(self, k):
        """Whether the operator token k is a binary operator in an expression."""
        t = self.tokens
        tok = t[k]
        if k == 0 or k + 1 >= self.n or t[k - 1].text == "operator":
            return False
        if not self.operand_end(k - 1) or not self.operand_start(k + 1):
            return False
        if t[k - 1].line != tok.line or t[k + 1].line != tok.line:
            return False
        if tok.text in ("*", "&"):
            # Pointers and references are written Type* p, Type& r: a binary
            # one has white space on both sides.
            line = self.lines[tok.line - 1]
            c = tok.col
            if c == 0 or c + 1 >= len(line) or line[c - 1] not in " \t" or line[c + 1] not in " \t":
                return False
        return True

    def is_comparison(self, k):
        tok = self.tokens[k]
        if tok.kind != "punct" or tok.text not in ("<", ">", "<=", ">=", "==", "!="):
            return False
        if k in self.template_close or k in self.template_open:
            return False
        return self.is_binary(k)

    def chain_forward(self, j, line):
        """The last token of the postfix chain starting with the operand token j."""
        t = self.tokens
        while j + 1 < self.n:
            nxt = t[j + 1]
            if nxt.line != line:
                break
            if nxt.text in (".", "->", "::") and j + 2 < self.n and t[j + 2].kind == "id" and t[j + 2].line == line:
                j += 2
            elif nxt.text == "<" and (j + 1) in self.template_close:
                close = self.template_close[j + 1]
                if t[close].line != line or t[close].text != ">":
                    return None
                j = close
            elif nxt.text in ("(", "[") and nxt.kind == "punct" or nxt.text == "{" and self.is_temporary(
                    self.match.get(j + 1, j + 1)):
                close = self.match.get(j + 1)
                if close is None or t[close].line != line:
                    return None
                j = close
            else:
                break
        if t[j].kind == "id" and t[j].text in CALL_KEYWORDS:
            return None  # sizeof x and the like
        return j

    def operand_forward(self, i, line):
        """The last token of a simple operand starting at token i, or None."""
        t = self.tokens
        if i >= self.n or t[i].line != line:
            return None
        tok = t[i]
        if tok.kind in ("num", "str", "chr"):
            return i
        if tok.text == "(" and tok.kind == "punct":
            close = self.match.get(i)
            if close is None or t[close].line != line:
                return None
            return close
        if tok.text == "::" and i + 1 < self.n and t[i + 1].kind == "id":
            i += 1
            tok = t[i]
        if tok.kind == "id" and (tok.text not in KEYWORDS or tok.text in OPERAND_KEYWORDS):
            return self.chain_forward(i, line)
        return None

    def operand_backward(self, j, line):
        """The first token of a simple operand ending at token j, or None."""
        t = self.tokens
        if j < 0 or t[j].line != line:
            return None
        if t[j].kind in ("num", "str", "chr"):
            return j
        while True:
            tok = t[j]
            if tok.line != line:
                return None
            if tok.kind == "punct" and (tok.text in (")", "]") or tok.text == "}" and self.is_temporary(j)):
                opener = self.match.get(j)
                if opener is None or t[opener].line != line:
                    return None
                p = opener - 1
                if p >= 0 and t[p].line == line and (
                        t[p].kind == "id" and (t[p].text not in KEYWORDS or t[p].text in OPERAND_KEYWORDS)
                        or t[p].text in (")", "]") or p in self.template_open):
                    j = p
                    continue
                if tok.text != ")":
                    return None  # a lambda's capture, an attribute, a braced list
                start = opener
            elif j in self.template_open and tok.text == ">":
                opener = self.template_open[j]
                if opener < 1 or t[opener].line != line or t[opener - 1].kind != "id":
                    return None
                j = opener - 1
                continue
            elif tok.kind == "id" and (tok.text not in KEYWORDS or tok.text in OPERAND_KEYWORDS):
                start = j
            else:
                return None
            p = start - 1
            if p >= 0 and t[p].line == line and t[p].text in (".", "->", "::"):
                if p >= 1 and t[p - 1].line == line and (
                        t[p - 1].kind == "id" or t[p - 1].text in (")", "]") or (p - 1) in self.template_open):
                    j = p - 1
                    continue
                if t[p].text == "::":
                    return p
                return None
            return start

    def function_name(self, k):
        """The name of the function whose body holds token k, if found."""
        b = self.enclosing[k]
        while b >= 0 and self.brace_kind.get(b) != "function":
            b = self.enclosing[b]
        q = b - 1
        while q >= 0 and self.tokens[q].text in ("const", "noexcept", "override", "final"):
            q -= 1
        if q < 1 or self.tokens[q].text != ")" or self.match.get(q, 0) < 1:
            return None
        return self.tokens[self.match[q] - 1].text

    def unary_before(self, k):
        """Whether token k is a prefix operator (binding tighter than any binary one)."""
        tok = self.tokens[k]
        if tok.text in ("!", "~", "++", "--"):
            return True
        if tok.text in ("-", "+", "*", "&"):
            return not self.operand_end(k - 1)
        return False


# ---------------------------------------------------------------- the rules


class Mutant:
    __slots__ = ("path", "line", "operator", "change", "original", "mutated", "folder")

    def __init__(self, path, line, operator, change, original, mutated):
        self.path, self.line, self.operator, self.change = path, line, operator, change
        self.original, self.mutated = original, mutated
        parts = path.split("/")
        self.folder = parts[1] if len(parts) > 2 and parts[0] == "src" else parts[0]

    def key(self):
        return (self.path, self.original.strip(), self.mutated.strip())


def split_lines(text):
    """The lines of text with their ends, split at line feeds only (as the
    compiler counts lines)."""
    lines = text.split("\n")
    return [x + "\n" for x in lines[:-1]] + ([lines[-1]] if lines[-1] else [])


def line_body(line):
    return line.rstrip("\r\n")


def line_end(line):
    return line[len(line_body(line)):]


def edit_line(text, edits):
    """text with the (start, end, replacement) column edits applied."""
    for start, end, replacement in sorted(edits, reverse=True):
        text = text[:start] + replacement + text[end:]
    return text


def format_integer(value, literal, suffix):
    if literal[:2] in ("0x", "0X"):
        body = ("%x" if literal[2:].lower() == literal[2:] else "%X") % abs(value)
        s = literal[:2] + body
    elif literal[:2] in ("0b", "0B"):
        s = literal[:2] + format(abs(value), "b")
    elif len(literal) > 1 and literal[0] == "0":
        s = "0" + format(abs(value), "o")
    else:
        s = str(abs(value))
    s += suffix
    return "(-" + s + ")" if value < 0 else s


INTEGER = re.compile(r"^(0[xX][0-9a-fA-F']+|0[bB][01']+|0[0-7']*|[1-9][0-9']*)([uU]?[lL]{0,2}|[lL]{1,2}[uU]|[zZ][uU]?|[uU][zZ])$")


def integer_value(literal):
    digits = literal.replace("'", "")
    if digits[:2] in ("0x", "0X"):
        return int(digits[2:], 16)
    if digits[:2] in ("0b", "0B"):
        return int(digits[2:], 2)
    if len(digits) > 1 and digits[0] == "0":
        return int(digits[1:], 8)
    return int(digits)


def mutants_of(sf):
    """Every fault the rules make in one file, line by line."""
    t = sf.tokens
    found = []
    seen = set()

    def add(line, operator, change, edits=None, whole=None):
        original = sf.lines[line - 1]
        body = line_body(original)
        new_body = whole if whole is not None else edit_line(body, edits)
        if new_body == body:
            return
        mutated = new_body + line_end(original)
        if (line, mutated) in seen:
            return
        seen.add((line, mutated))
        found.append(Mutant(sf.path, line, operator, change, original, mutated))

    for k, tok in enumerate(t):
        if tok.line != tok.end_line or k in sf.unchecked:
            continue
        line, span = tok.line, (tok.col, tok.end_col)

        if sf.is_comparison(k):
            op = tok.text
            if op in ("==", "!="):
                add(line, "equality", "%s to %s" % (op, "!=" if op == "==" else "=="),
                    [(*span, "!=" if op == "==" else "==")])
            else:
                loosened = {"<": "<=", "<=": "<", ">": ">=", ">=": ">"}[op]
                flipped = {"<": ">", "<=": ">=", ">": "<", ">=": "<="}[op]
                add(line, "relational", "%s to %s" % (op, loosened), [(*span, loosened)])
                add(line, "relational-flip", "%s to %s" % (op, flipped), [(*span, flipped)])

        if tok.kind == "punct" and tok.text in ("+", "-", "*", "/") and sf.is_binary(k) and not (
                tok.text == "+" and joins_text(sf, k)):
            other = {"+": "-", "-": "+", "*": "/", "/": "*"}[tok.text]
            add(line, "arithmetic", "%s to %s" % (tok.text, other), [(*span, other)])

        if tok.kind == "punct" and tok.text in ("+=", "-=", "*=", "/=") and not (
                tok.text == "+=" and joins_text(sf, k)):
            other = {"+=": "-=", "-=": "+=", "*=": "/=", "/=": "*="}[tok.text]
            add(line, "compound", "%s to %s" % (tok.text, other), [(*span, other)])

        if tok.kind == "punct" and tok.text in ("-", "/", "%", "<", "<=", ">", ">=") and (
                sf.is_comparison(k) if tok.text in ("<", "<=", ">", ">=") else sf.is_binary(k)):
            swap_operands(sf, k, add)

        if tok.kind == "num":
            m = INTEGER.match(tok.text)
            if m:
                value = integer_value(m.group(1))
                for delta in (1, -1):
                    # A negative result in parentheses: x-0 must not become x--1.
                    new = format_integer(value + delta, m.group(1), m.group(2))
                    add(line, "constant", "%s to %s" % (tok.text, new), [(*span, new)])

        if tok.kind == "id" and tok.text in ("if", "while") and k + 1 < sf.n:
            negate_condition(sf, k, add)

        if tok.kind == "punct" and tok.text == "?":
            negate_ternary(sf, k, add)

        if tok.kind == "id" and (tok.text in ROUNDING or tok.text == "roundToInt"):
            replace_rounding(sf, k, add)

        if tok.kind == "id" and tok.text in FLAGS:
            if k >= 2 and t[k - 1].text == "|" and t[k - 1].line == line:
                add(line, "drop-flag", "%s dropped" % tok.text, [(t[k - 2].end_col, tok.end_col, "")])
            elif k + 2 < sf.n and t[k + 1].text == "|" and t[k + 2].line == line:
                add(line, "drop-flag", "%s dropped" % tok.text, [(tok.col, t[k + 2].col, "")])

    for line in sorted(sf.line_tokens):
        drop_line(sf, line, add)

    found.sort(key=lambda m: m.line)  # stable: the rules' order within a line
    return found


TEXT_MAKERS = {"to_string", "string", "cText", "what", "substr"}


def joins_text(sf, k):
    """Whether the + (or +=) at k joins strings: one of its operands is a
    string literal or a call making a string. When an operand is not simple
    enough to tell, any string literal on the line counts."""
    t = sf.tokens
    line = t[k].line
    right_end = sf.operand_forward(k + 1, line)
    left_start = sf.operand_backward(k - 1, line) if t[k].text == "+" else k - 1
    if right_end is None or left_start is None:
        return any(t[q].kind == "str" for q in sf.line_tokens.get(line, []))
    for q in list(range(left_start, k)) + list(range(k + 1, right_end + 1)):
        if t[q].kind == "str" or t[q].kind == "id" and t[q].text in TEXT_MAKERS:
            return True
    return False


def swap_operands(sf, k, add):
    t = sf.tokens
    tok = t[k]
    line = tok.line
    left_end, right_start = k - 1, k + 1
    left_start = sf.operand_backward(left_end, line)
    right_end = sf.operand_forward(right_start, line)
    if left_start is None or right_end is None:
        return
    prec = PRECEDENCE[tok.text]
    before = left_start - 1
    if before >= 0:
        b = t[before]
        if b.kind == "punct":
            if before in sf.template_close or b.text in ("(", "[", "{", ",", ";", "?", ":") or b.text in ASSIGNMENTS:
                pass
            elif sf.unary_before(before) or b.text in (")", "]", ".", "->", "::"):
                return
            elif b.text in PRECEDENCE:
                if PRECEDENCE[b.text] >= prec:
                    return
            else:
                return
        elif b.kind == "id" and b.text not in ("return", "case", "co_return", "throw"):
            return
    after = right_end + 1
    if after < sf.n:
        a = t[after]
        if after in sf.template_open or a.text in (")", "]", "}", ";", ",", "?", ":"):
            pass
        elif a.kind == "punct" and a.text in PRECEDENCE and a.text not in ASSIGNMENTS:
            if PRECEDENCE[a.text] > prec:
                return
        else:
            return
    body = line_body(sf.lines[line - 1])
    left = body[t[left_start].col : t[left_end].end_col]
    right = body[t[right_start].col : t[right_end].end_col]
    if left == right:
        return
    start, end = t[left_start].col, t[right_end].end_col
    middle = body[t[left_end].end_col : t[right_start].col]
    add(line, "swap-operands", "%s %s %s to %s %s %s" % (left, tok.text, right, right, tok.text, left),
        [(start, end, right + middle + left)])


def negate_condition(sf, k, add):
    t = sf.tokens
    j = k + 1
    if t[j].text == "constexpr" and j + 1 < sf.n:
        j += 1
    if t[j].text != "(":
        return
    close = sf.match.get(j)
    if close is None or close == j + 1 or t[close].line != t[k].line or t[j].line != t[k].line:
        return
    depth = 0
    for q in range(j + 1, close):
        x = t[q]
        if x.text in ("(", "[", "{"):
            depth += 1
        elif x.text in (")", "]", "}"):
            depth -= 1
        elif depth == 0 and (x.text == ";" or x.text == "="):
            return  # an init-statement or a declaration
    if t[j + 1].kind == "id" and t[j + 1].text in DECLARATION_KEYWORDS:
        return
    add(t[k].line, "negate", "%s condition negated" % t[k].text,
        [(t[j].end_col, t[j].end_col, "!("), (t[close].col, t[close].col, ")")])


def negate_ternary(sf, k, add):
    t = sf.tokens
    line = t[k].line
    stops = {"(", "[", "{", ",", ";", "?", ":", "}"} | ASSIGNMENTS
    q = k - 1
    start = None
    while q >= 0:
        x = t[q]
        if x.line != line:
            if x.kind == "punct" and x.text in stops or x.text == "return":
                start = q + 1
                break
            return
        if x.kind == "punct" and x.text in (")", "]", "}") and q in sf.match:
            q = sf.match[q] - 1
            continue
        if q in sf.template_open and x.text == ">":
            q = sf.template_open[q] - 1
            continue
        if q in sf.template_close:
            start = q + 1
            break
        if x.kind == "punct" and x.text in stops or x.text in ("return", "co_return", "case"):
            start = q + 1
            break
        q -= 1
    if start is None or start >= k or t[start].line != line:
        return
    add(line, "negate", "?: condition negated",
        [(t[start].col, t[start].col, "!("), (t[k - 1].end_col, t[k - 1].end_col, ")")])


def replace_rounding(sf, k, add):
    t = sf.tokens
    tok = t[k]
    line = tok.line
    if k + 1 >= sf.n or t[k + 1].text != "(":
        return
    qualified = k >= 2 and t[k - 1].text == "::" and t[k - 2].text == "std"
    if not qualified:
        if k > 0 and (t[k - 1].text in (".", "->", "::") or t[k - 1].kind == "id" and t[k - 1].text not in (
                "return", "case", "co_return", "throw")):
            return  # a member, another namespace's, or the function's own declaration
    start = t[k - 2].col if qualified else tok.col
    if qualified and t[k - 2].line != line:
        return
    name = ("std::" if qualified else "") + tok.text
    close = sf.match.get(k + 1)
    for other in ROUNDING + ["roundToInt"]:
        if other == tok.text or other == sf.function_name(k):
            continue  # the same, or a call of the function itself (endless)
        if other == "roundToInt":
            add(line, "rounding", "%s to roundToInt" % name, [(start, tok.end_col, "roundToInt")])
        elif tok.text == "roundToInt":
            # Keeps the int result so that the call still fits where it stands.
            replacement = "std::" + other
            if close is not None and t[close].line == line:
                add(line, "rounding", "roundToInt to %s" % replacement,
                    [(start, t[k + 1].col, "static_cast<int>(" + replacement),
                     (t[close].end_col, t[close].end_col, ")")])
            else:
                add(line, "rounding", "roundToInt to %s" % replacement, [(start, tok.end_col, replacement)])
        else:
            replacement = ("std::" if qualified else "") + other
            add(line, "rounding", "%s to %s" % (name, replacement), [(start, tok.end_col, replacement)])


def looks_like_declaration(sf, s, e):
    t = sf.tokens
    first = t[s]
    if first.kind == "id" and first.text in DECLARATION_KEYWORDS:
        return True
    j = s
    if t[j].text == "::":
        j += 1
    if t[j].kind != "id" or t[j].text in KEYWORDS:
        return False
    j += 1
    while j <= e:
        if t[j].text == "::" and j + 1 <= e and t[j + 1].kind == "id":
            j += 2
        elif t[j].text == "<" and j in sf.template_close:
            j = sf.template_close[j] + 1
        else:
            break
    if j > e:
        return False
    x = t[j]
    if x.kind == "id" and x.text not in KEYWORDS:
        return True
    if x.text in ("*", "&", "&&") and j + 1 <= e and t[j + 1].kind == "id":
        line = sf.lines[x.line - 1]
        # Type* p and Type& r, not a * b (binary operators stand between spaces).
        return not (x.col > 0 and line[x.col - 1] in " \t" and x.end_col < len(line) and line[x.end_col] in " \t")
    return False


def drop_line(sf, line, add):
    """Statements dropped: a whole one-line statement, an early exit."""
    t = sf.tokens
    indices = sf.line_tokens[line]
    s, e = indices[0], indices[-1]
    if e - s + 1 != len(indices) or t[e].text != ";":
        return  # a token of another line (a long literal) in between, or no end
    enclosing = sf.enclosing[s]
    if enclosing < 0 or sf.brace_kind.get(enclosing) not in ("function", "control"):
        return
    for q in range(s, e + 1):
        partner = sf.match.get(q)
        if partner is not None and not s <= partner <= e:
            return
    prev = t[s - 1] if s > 0 else None
    if prev is None:
        return
    if prev.text in (";", "{", "}", ":"):
        replacement = ""
    elif prev.text in (")", "else", "do"):
        # The body of an if or a loop on the line before: an empty statement.
        if prev.text == ")" and not (sf.match.get(s - 1, 0) > 0 and t[sf.match[s - 1] - 1].text in CONTROL_KEYWORDS):
            return
        replacement = ";"
    else:
        return
    first = t[s]
    indent = line_body(sf.lines[line - 1])[: first.col]
    whole = indent + replacement if replacement else ""
    if first.text in ("if", "for", "while"):
        if t[s + 1].text != "(":
            return
        close = sf.match.get(s + 1)
        if close is None or close >= e:
            return
        body = t[close + 1]
        if body.text == "{":
            return
        if first.text == "if":
            # An if with an else on this line is left alone.
            if any(t[q].text == "else" for q in range(close + 1, e + 1)):
                return
            if body.text in ("return", "continue", "break"):
                add(line, "drop-exit", "early %s dropped" % body.text, whole=whole)
                if body.text == "return" and close + 2 < e and any(
                        t[q].text == "(" for q in range(close + 2, e)):
                    # The returned call still made, and the function going on.
                    add(line, "drop-exit", "return dropped, its expression kept",
                        [(body.col, t[close + 2].col, "")])
                return
        add(line, "drop-statement", "%s statement dropped" % first.text, whole=whole)
        return
    if first.kind == "id" and first.text in ("return", "co_return"):
        if sf.brace_kind.get(enclosing) != "control" and replacement == "":
            return  # a function's own last word
        add(line, "drop-exit", "return dropped", whole=whole)
        return
    if first.text in ("continue", "break", "throw", "goto"):
        add(line, "drop-exit" if first.text != "throw" else "drop-statement", "%s dropped" % first.text, whole=whole)
        return
    if first.kind == "id" and first.text in KEYWORDS and first.text not in OPERAND_KEYWORDS and first.text not in (
            "delete",):
        return
    if first.text in ("{", "}", "#", "case", "default", "else", "do", "switch") or s in sf.unchecked:
        return
    if looks_like_declaration(sf, s, e):
        return
    add(line, "drop-statement", "statement dropped", whole=whole)


# ---------------------------------------------------------------- sources


def source_files(source):
    """The files of the sources as git sees them (tracked and untracked, not
    ignored), relative paths; every file when source is not a git work tree."""
    try:
        out = subprocess.run(["git", "ls-files", "-z", "--cached", "--others", "--exclude-standard"],
                             cwd=source, check=True, capture_output=True).stdout
        files = [f for f in out.decode().split("\0") if f]
    except (subprocess.CalledProcessError, FileNotFoundError):
        files = []
        for base, dirs, names in os.walk(source):
            dirs[:] = [d for d in dirs if d not in (".git", "build")]
            for name in names:
                files.append(os.path.relpath(os.path.join(base, name), source))
    return sorted(f for f in set(files) if os.path.isfile(os.path.join(source, f)))


def mutable_files(files):
    """The C++ sources in the folders of src/."""
    return [f for f in files if f.startswith("src/") and f.count("/") >= 2 and f.endswith((".cpp", ".h"))]


def folders_of(files):
    return sorted({f.split("/")[1] for f in mutable_files(files)})


def read(path):
    with open(path, encoding="utf-8", newline="") as f:
        return f.read()


def all_mutants(source, files):
    by_file = {}
    for f in mutable_files(files):
        by_file[f] = mutants_of(SourceFile(f, read(os.path.join(source, f))))
    return by_file


def quotas(source, files, count):
    """MUTATION_COUNT shared between the folders by non-blank lines, largest remainder first."""
    folders = folders_of(files)
    lines = {folder: 0 for folder in folders}
    for f in mutable_files(files):
        lines[f.split("/")[1]] += sum(1 for x in read(os.path.join(source, f)).splitlines() if x.strip())
    total = sum(lines.values())
    exact = {f: count * n / total for f, n in lines.items()}
    share = {f: int(v) for f, v in exact.items()}
    rest = count - sum(share.values())
    for f in sorted(folders, key=lambda f: (-(exact[f] - share[f]), -lines[f], f))[:rest]:
        share[f] += 1
    return share, lines


# ---------------------------------------------------------------- lists


def unescape(s):
    out, i = [], 0
    while i < len(s):
        if s[i] == "\\" and i + 1 < len(s):
            out.append({"t": "\t", "n": "\n", "r": "\r", "\\": "\\"}.get(s[i + 1], s[i + 1]))
            i += 2
        else:
            out.append(s[i])
            i += 1
    return "".join(out)


def escape(s):
    return s.replace("\\", "\\\\").replace("\t", "\\t").replace("\n", "\\n").replace("\r", "\\r")


def load_equivalents(path):
    entries = {}
    if not os.path.exists(path):
        return entries
    for number, raw in enumerate(read(path).split("\n"), 1):
        if not raw.strip() or raw.startswith("#"):
            continue
        fields = raw.split("\t")
        if len(fields) != 4:
            sys.exit("mutation: %s:%d: not FILE<TAB>ORIGINAL<TAB>MUTATED<TAB>WHY" % (path, number))
        entries[(fields[0], fields[1].strip(), fields[2].strip())] = fields[3]
    return entries


TSV_HEADER = "# FILE\tLINE\tOPERATOR\tCHANGE\tORIGINAL LINE\tMUTATED LINE\tVERDICT (\\t, \\n, \\\\ escaped)\n"


def write_tsv(path, results):
    with open(path, "w", encoding="utf-8") as f:
        f.write(TSV_HEADER)
        for m, verdict in results:
            f.write("\t".join([m.path, str(m.line), m.operator, escape(m.change), escape(line_body(m.original)),
                               escape(line_body(m.mutated)), verdict]) + "\n")


def load_only(path, source):
    """The faults of a TSV file, each found again in the current sources by
    its line's contents (the nearest such line to the one recorded)."""
    found, stale = [], []
    for raw in read(path).split("\n"):
        if not raw.strip() or raw.startswith("#"):
            continue
        fields = raw.split("\t")
        if len(fields) < 6:
            sys.exit("mutation: %s: not a list of faults: %s" % (path, raw))
        rel, number, operator, change, original, mutated = fields[:6]
        original, mutated, change, number = unescape(original), unescape(mutated), unescape(change), int(number)
        full = os.path.join(source, rel)
        lines = split_lines(read(full)) if os.path.exists(full) else []
        places = [i + 1 for i, x in enumerate(lines) if line_body(x) == original]
        if not places:
            stale.append((rel, number, change))
            continue
        line = min(places, key=lambda p: (abs(p - number), p))
        ending = line_end(lines[line - 1])
        found.append(Mutant(rel, line, operator, change, original + ending, mutated + ending))
    return found, stale


# ---------------------------------------------------------------- scratch trees


# A fault that makes a test allocate without end fails the test instead of
# the machine: 8 GiB of address space for each test process.
TEST_MEMORY_KIB = 8 << 20


class Tree:
    """A scratch copy of the sources (src/) with its build (build/)."""

    def __init__(self, number, base, jobs, timeout):
        self.number = number
        self.dir = os.path.join(base, "tree-%d" % number)
        self.src = os.path.join(self.dir, "src")
        self.build = os.path.join(self.dir, "build")
        self.marker = os.path.join(self.dir, "mutant-applied.json")
        self.running = os.path.join(self.dir, "running.pid")
        self.pristine_dir = os.path.join(self.dir, "pristine")
        self.pristine = {}  # object file (relative to build/) -> its time when built from the unchanged sources
        self.put_back_at = 0  # the latest time given to an object put back
        self.log_path = os.path.join(base, "tree-%d.log" % number)
        self.jobs, self.timeout = jobs, timeout
        self.process = None
        self.stopped = False
        self.guard = threading.Lock()  # between starting a command and a stop

    def log(self, text):
        with open(self.log_path, "a", encoding="utf-8") as f:
            f.write(text)

    def run(self, args, cwd, **kwargs):
        with open(self.log_path, "a", encoding="utf-8") as log:
            with self.guard:
                if self.stopped:
                    return 130
                # Each command leads a process group of its own, so that a
                # stop ends the compilers and tests under it.
                process = subprocess.Popen(args, cwd=cwd, stdout=log, stderr=subprocess.STDOUT,
                                           stdin=subprocess.DEVNULL, start_new_session=True, **kwargs)
                self.process = process
                with open(self.running, "w") as f:
                    f.write("%d\n" % process.pid)
            try:
                return process.wait()
            finally:
                with self.guard:
                    self.process = None
                    os.remove(self.running)

    def stop(self):
        with self.guard:
            self.stopped = True
            p = self.process
        if p is not None:
            try:
                os.killpg(p.pid, signal.SIGTERM)
            except ProcessLookupError:
                pass

    def end_left_over(self):
        """Ends the command that a run killed outright left running in this
        tree (its process group, if still there and still working here)."""
        try:
            with open(self.running) as f:
                pid = int(f.read())
            cwd = os.readlink("/proc/%d/cwd" % pid)
        except (OSError, ValueError):
            pid = cwd = None
        if pid and (cwd + "/").startswith(self.dir + "/") and os.getpgid(pid) == pid:
            os.killpg(pid, signal.SIGTERM)
            for _ in range(100):
                time.sleep(0.1)
                try:
                    os.killpg(pid, 0)
                except ProcessLookupError:
                    break
            else:
                os.killpg(pid, signal.SIGKILL)
        if os.path.exists(self.running):
            os.remove(self.running)

    def recover(self):
        """Puts back a file that an interrupted run left mutated; returns the
        file to compile again (its build is stale), if any."""
        self.end_left_over()
        if not os.path.exists(self.marker):
            return None
        try:
            with open(self.marker, encoding="utf-8") as f:
                record = json.load(f)
            path = os.path.join(self.src, record["file"])
            with open(path, "w", encoding="utf-8", newline="") as f:
                f.write(record["original"])
            os.remove(self.marker)
            return record["file"]
        except (OSError, ValueError, KeyError):
            # Cannot tell what was changed: the whole tree is built anew.
            shutil.rmtree(self.dir, ignore_errors=True)
            return None

    def synchronise(self, source, files, extra_tests):
        """src/ made equal to the sources, file by file by content: a file
        that changed gets a new time and is compiled again, the others keep
        theirs and their objects."""
        wanted = {f: os.path.join(source, f) for f in files}
        for path in extra_tests:
            wanted["tests/extra/" + os.path.basename(path)] = os.path.abspath(path)
        os.makedirs(self.src, exist_ok=True)
        for base, dirs, names in os.walk(self.src, topdown=False):
            for name in names:
                rel = os.path.relpath(os.path.join(base, name), self.src)
                if rel not in wanted:
                    os.remove(os.path.join(base, name))
            if base != self.src and not os.listdir(base):
                os.rmdir(base)
        for rel, origin in wanted.items():
            target = os.path.join(self.src, rel)
            with open(origin, "rb") as f:
                data = f.read()
            if os.path.exists(target):
                with open(target, "rb") as f:
                    if f.read() == data:
                        continue
            os.makedirs(os.path.dirname(target), exist_ok=True)
            shutil.copy2(origin, target)
            os.utime(target)

    def configure(self):
        env = dict(os.environ, CXX="g++")
        return self.run(["cmake", "-S", self.src, "-B", self.build, "-DCMAKE_BUILD_TYPE=Release",
                         "-DORVEX_TESTS=ON", "-DORVEX_SANITIZE=OFF", "-DORVEX_FUZZ=OFF",
                         # A fault that breaks a container's or an optional's precondition stops there.
                         "-DCMAKE_CXX_FLAGS=-D_GLIBCXX_ASSERTIONS"], self.dir, env=env) == 0

    def compile(self):
        return self.run(["cmake", "--build", self.build, "-j", str(self.jobs)], self.dir)

    def test(self):
        return self.run(["sh", "-c", 'ulimit -v %d && exec "$@"' % TEST_MEMORY_KIB, "sh",
                         "ctest", "-j", str(self.jobs), "--timeout", str(self.timeout), "--stop-on-failure",
                         "--output-on-failure"], self.build)

    def keep_objects(self):
        """Copies the object files built from the unchanged sources aside."""
        shutil.rmtree(self.pristine_dir, ignore_errors=True)
        self.pristine = {}
        for base, dirs, names in os.walk(self.build):
            for name in names:
                if name.endswith(".o"):
                    path = os.path.join(base, name)
                    rel = os.path.relpath(path, self.build)
                    os.makedirs(os.path.dirname(os.path.join(self.pristine_dir, rel)), exist_ok=True)
                    shutil.copy2(path, os.path.join(self.pristine_dir, rel))
                    self.pristine[rel] = os.stat(path).st_mtime_ns

    def put_back_objects(self):
        """After a fault's source is restored: the objects that the fault
        changed replaced by those of the unchanged sources, dated after the
        restored source, so that the next build only archives and links them
        again instead of compiling them."""
        for rel, built in self.pristine.items():
            path = os.path.join(self.build, rel)
            try:
                if os.stat(path).st_mtime_ns == built:
                    continue
            except FileNotFoundError:
                pass
            shutil.copyfile(os.path.join(self.pristine_dir, rel), path + ".pristine")
            os.replace(path + ".pristine", path)
            os.utime(path)
            self.pristine[rel] = os.stat(path).st_mtime_ns
            self.put_back_at = max(self.put_back_at, self.pristine[rel])

    def apply(self, m):
        path = os.path.join(self.src, m.path)
        text = read(path)
        lines = split_lines(text)
        if m.line > len(lines) or lines[m.line - 1] != m.original:
            raise RuntimeError("%s:%d is not the line the fault was made from" % (m.path, m.line))
        with open(self.marker, "w", encoding="utf-8") as f:
            json.dump({"file": m.path, "original": text}, f)
        lines[m.line - 1] = m.mutated
        with open(path, "w", encoding="utf-8", newline="") as f:
            f.write("".join(lines))
        # File times tick in steps of a few milliseconds: the fault must be
        # newer than an object just put back, or make would not compile it.
        while os.stat(path).st_mtime_ns <= self.put_back_at:
            time.sleep(0.005)
            os.utime(path)
        return text

    def restore(self, m, text):
        path = os.path.join(self.src, m.path)
        with open(path, "w", encoding="utf-8", newline="") as f:
            f.write(text)
        os.utime(path)  # newer than the fault's object, so it is compiled again
        os.remove(self.marker)

    def try_mutant(self, m):
        """The verdict on one fault: caught, survived or no build; and the
        seconds spent building and testing."""
        self.log("\n=== %s:%d %s: %s\n--- %s+++ %s" % (m.path, m.line, m.operator, m.change, m.original, m.mutated))
        text = self.apply(m)
        try:
            t0 = time.monotonic()
            size = os.path.getsize(self.log_path)
            built = self.compile()
            t1 = time.monotonic()
            if built != 0:
                with open(self.log_path, "rb") as f:
                    f.seek(size)
                    output = f.read().decode("utf-8", "replace")
                # The test list is read from the test program after linking: a
                # program that crashes there is built but fails.
                verdict = "caught" if "Error running test executable" in output else "no build"
                return verdict, t1 - t0, 0.0
            tested = self.test()
            t2 = time.monotonic()
            return ("survived" if tested == 0 else "caught"), t1 - t0, t2 - t1
        finally:
            self.restore(m, text)
            if not self.stopped:
                self.put_back_objects()


# ---------------------------------------------------------------- the run


class Sampler:
    """Hands out faults folder by folder: at most the folder's quota are
    counted or being tried at once, so a fault that does not build is
    replaced by the next one of its folder and the set counted is the same
    whatever the order the trees finish in."""

    def __init__(self, candidates, quota, equivalents, report):
        self.candidates = candidates  # folder -> faults in drawing order
        self.next = {f: 0 for f in candidates}
        self.quota = quota
        self.counted = {f: 0 for f in candidates}
        self.busy = {f: 0 for f in candidates}
        self.equivalents = equivalents
        self.report = report
        self.lock = threading.Condition()
        self.turn = 0
        self.folders = sorted(candidates)
        self.exhausted = set()
        self.stopped = False

    def take(self):
        with self.lock:
            while not self.stopped:
                waiting = False
                for step in range(len(self.folders)):
                    folder = self.folders[(self.turn + step) % len(self.folders)]
                    while self.counted[folder] + self.busy[folder] < self.quota.get(folder, 0):
                        if self.next[folder] >= len(self.candidates[folder]):
                            if self.busy[folder] == 0:
                                self.exhausted.add(folder)
                            break
                        m = self.candidates[folder][self.next[folder]]
                        self.next[folder] += 1
                        why = self.equivalents.get(m.key())
                        if why is not None:
                            self.counted[folder] += 1
                            self.report.record(m, "equivalent", note=why)
                            continue
                        self.busy[folder] += 1
                        self.turn = (self.turn + step + 1) % len(self.folders)
                        return m
                    if self.busy[folder]:
                        waiting = True
                if not waiting:
                    return None
                self.lock.wait()
            return None

    def done(self, m, verdict):
        with self.lock:
            self.busy[m.folder] -= 1
            if verdict != "no build":
                self.counted[m.folder] += 1
            self.lock.notify_all()


class Report:
    def __init__(self, out):
        self.out = out
        self.lock = threading.Lock()
        self.results = []  # (mutant, verdict)
        self.times = []  # (build seconds, test seconds) of the faults built

    def record(self, m, verdict, build=None, tests=None, note=None):
        with self.lock:
            self.results.append((m, verdict))
            if build is not None and verdict != "no build":
                self.times.append((build, tests))
            timing = ""
            if build is not None:
                timing = "  (build %.1f s, tests %.1f s)" % (build, tests)
            extra = "  (%s)" % note if note else ""
            line = "%-4d %-9s %-36s %-15s %-9s %s%s%s" % (
                len(self.results), m.folder, "%s:%d" % (m.path, m.line), m.operator, verdict, m.change, timing, extra)
            print(line, flush=True)


def summarise(report, quota, stale, elapsed, seed, count, only, exhausted):
    present = {m.folder for m, _ in report.results}
    folders = sorted(present | set(quota or ()))
    total = {"drawn": 0, "equivalent": 0, "no build": 0, "caught": 0, "survived": 0}
    out = []
    if only:
        out.append("mutation sample: the faults listed in %s" % only)
    else:
        out.append("mutation sample: seed %s, %d faults counted" % (seed, count))
    out.append("")
    out.append("%-10s %6s %10s %9s %7s %8s %7s" % ("folder", "drawn", "equivalent", "no build", "caught",
                                                  "survived", "score"))
    for folder in folders:
        c = {k: 0 for k in total}
        for m, verdict in report.results:
            if m.folder == folder:
                c["drawn"] += 1
                c[verdict] += 1
        for k in total:
            total[k] += c[k]
        out.append(format_row(folder, c))
    out.append(format_row("total", total))
    if total["drawn"]:
        out.append("")
        out.append("did not compile: %d of %d drawn and built (%.0f%%)" % (
            total["no build"], total["drawn"] - total["equivalent"],
            100.0 * total["no build"] / max(1, total["drawn"] - total["equivalent"])))
    if report.times:
        builds = sum(b for b, _ in report.times)
        tests = sum(t for _, t in report.times)
        out.append("per fault built: %.1f s building, %.1f s testing on average; %.0f s in all (%.1f s a fault drawn)" % (
            builds / len(report.times), tests / len(report.times), elapsed, elapsed / max(1, total["drawn"])))
    for folder in sorted(exhausted):
        out.append("folder %s has fewer faults that build than its share" % folder)
    for rel, number, change in stale:
        out.append("stale (line no longer found): %s:%d %s" % (rel, number, change))
    survivors = [m for m, v in report.results if v == "survived"]
    if survivors:
        out.append("")
        out.append("survivors:")
        for m in sorted(survivors, key=lambda m: (m.path, m.line)):
            out.append("  %s:%d  %s: %s" % (m.path, m.line, m.operator, m.change))
            out.append("      - %s" % line_body(m.original).strip())
            out.append("      + %s" % line_body(m.mutated).strip())
    return "\n".join(out) + "\n"


def format_row(name, c):
    counted = c["caught"] + c["survived"]
    score = "%.0f%%" % (100.0 * c["caught"] / counted) if counted else "-"
    return "%-10s %6d %10d %9d %7d %8d %7s" % (name, c["drawn"], c["equivalent"], c["no build"], c["caught"],
                                              c["survived"], score)


def list_mutants(args):
    source = os.environ.get("MUTATION_SOURCE") or ROOT
    files = source_files(source)
    by_file = all_mutants(source, files)
    wanted = [a.replace(os.sep, "/") for a in args]
    total = 0
    for rel, mutants in sorted(by_file.items()):
        if wanted and rel not in wanted:
            continue
        for m in mutants:
            total += 1
            print("%s:%d\t%s\t%s\n\t- %s\n\t+ %s" % (rel, m.line, m.operator, m.change, line_body(m.original).strip(),
                                                     line_body(m.mutated).strip()))
    print("%d faults" % total)


def main():
    if len(sys.argv) > 1 and sys.argv[1] == "--list":
        list_mutants(sys.argv[2:])
        return 0
    if len(sys.argv) > 1:
        print(__doc__, file=sys.stderr)
        return 2

    source = os.path.abspath(os.environ.get("MUTATION_SOURCE") or ROOT)
    seed = os.environ.get("MUTATION_SEED", "1")
    count = int(os.environ.get("MUTATION_COUNT", "200"))
    only = os.environ.get("MUTATION_ONLY", "")
    extra_tests = os.environ.get("MUTATION_EXTRA_TESTS", "").split()
    wanted = os.environ.get("MUTATION_FILTER", "")
    timeout = int(os.environ.get("MUTATION_TIMEOUT", "60"))
    jobs = max(1, int(os.environ.get("JOBS", "2") or 2))
    trees_count = int(os.environ.get("MUTATION_TREES", "0") or 0) or (2 if jobs >= 2 else 1)
    out = os.path.join(ROOT, "build")
    base = os.path.join(out, "mutation-sample")
    os.makedirs(base, exist_ok=True)

    # One run at a time in these trees.
    lock = open(os.path.join(base, "lock"), "w")
    try:
        fcntl.flock(lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
    except OSError:
        print("mutation: another run is using %s" % base, file=sys.stderr)
        return 2

    files = source_files(source)
    if not mutable_files(files):
        print("mutation: no sources under %s/src" % source, file=sys.stderr)
        return 2
    equivalents = load_equivalents(os.path.join(ROOT, "scripts", "mutation_equivalent.txt"))
    stale = []
    quota = None
    if only:
        mutants, stale = load_only(only, source)
        mutants = [m for m in mutants if wanted in m.operator or wanted in m.path]
        candidates = {}
        for m in mutants:
            candidates.setdefault(m.folder, []).append(m)
        quota = {f: len(ms) for f, ms in candidates.items()}
    else:
        by_file = all_mutants(source, files)
        quota, lines = quotas(source, files, count)
        candidates = {f: [] for f in quota}
        for rel in sorted(by_file):
            for m in by_file[rel]:
                if wanted in m.operator or wanted in m.path:
                    candidates[m.folder].append(m)
        rule_count = sum(len(ms) for ms in candidates.values())
        for folder in sorted(candidates):
            random.Random("%s/%s" % (seed, folder)).shuffle(candidates[folder])
        print("mutation: %d faults made by rule over %d non-blank lines; drawing %d with seed %s (%s)" % (
            rule_count, sum(lines.values()), count, seed,
            ", ".join("%s %d" % (f, quota[f]) for f in sorted(quota))))

    trees = [Tree(i + 1, base, max(1, jobs // trees_count), timeout) for i in range(trees_count)]
    for tree in trees:
        with open(tree.log_path, "w"):
            pass

    stop = threading.Event()

    def interrupted(signum, frame):
        raise KeyboardInterrupt

    signal.signal(signal.SIGTERM, interrupted)
    if signal.getsignal(signal.SIGINT) is not signal.SIG_IGN:
        signal.signal(signal.SIGINT, interrupted)

    def in_parallel(target):
        """target(tree) in one thread per tree; a stop ends what the trees
        are running (each puts its file back) and is passed on."""
        # Waited for through events: a Thread.join that a signal interrupts
        # can take the thread for ended while it is still putting its file back.
        done = [threading.Event() for _ in trees]

        def run(tree, finished):
            try:
                target(tree)
            finally:
                finished.set()

        for tree, finished in zip(trees, done):
            threading.Thread(target=run, args=(tree, finished), daemon=True).start()
        try:
            for finished in done:
                while not finished.wait(0.5):
                    pass
        except KeyboardInterrupt:
            stop.set()
            for tree in trees:
                tree.stop()
            with sampler.lock:
                sampler.stopped = True
                sampler.lock.notify_all()
            for finished in done:
                finished.wait(60)
            raise

    failures = []

    def prepare(tree):
        if stop.is_set():
            return
        left = tree.recover()
        tree.synchronise(source, files, extra_tests)
        if left and os.path.exists(os.path.join(tree.src, left)):
            os.utime(os.path.join(tree.src, left))
        if not tree.configure() or tree.compile() != 0:
            failures.append("the unchanged sources do not build (see %s)" % tree.log_path)
        elif tree.test() != 0:
            failures.append("the tests fail without any fault (see %s)" % tree.log_path)
        else:
            tree.keep_objects()

    report = Report(sys.stdout)
    sampler = Sampler(candidates, quota, equivalents, report)
    errors = []

    def work(tree):
        try:
            while not stop.is_set():
                m = sampler.take()
                if m is None or stop.is_set():
                    return
                verdict, build, tests = tree.try_mutant(m)
                if stop.is_set():
                    return
                sampler.done(m, verdict)
                report.record(m, verdict, build, tests)
        except Exception as e:  # noqa: BLE001 - reported, and the other trees stopped
            errors.append(e)
            stop.set()
            with sampler.lock:
                sampler.lock.notify_all()

    print("mutation: building %d scratch tree%s in %s" % (len(trees), "s" if len(trees) > 1 else "", base), flush=True)
    started = time.monotonic()
    try:
        in_parallel(prepare)
        if failures:
            print("mutation: " + failures[0], file=sys.stderr)
            return 2
        started = time.monotonic()
        in_parallel(work)
    except KeyboardInterrupt:
        print("\nmutation: stopped; the faults tried so far:", file=sys.stderr)
        print(summarise(report, None if only else quota, stale, time.monotonic() - started, seed,
                        len(report.results), only, set()), end="", file=sys.stderr)
        return 130
    elapsed = time.monotonic() - started
    if errors:
        print("mutation: %s" % errors[0], file=sys.stderr)
        return 2

    # The trees back to the unchanged sources, ready for the next run.
    try:
        in_parallel(lambda tree: tree.compile())
    except KeyboardInterrupt:
        return 130

    counted = sum(1 for _, v in report.results if v in ("caught", "survived", "equivalent"))
    text = summarise(report, None if only else quota, stale, elapsed, seed, counted, only, sampler.exhausted)
    print()
    print(text, end="")
    with open(os.path.join(out, "mutation-report.txt"), "w", encoding="utf-8") as f:
        f.write(text)
    write_tsv(os.path.join(out, "mutation-results.tsv"), report.results)
    write_tsv(os.path.join(out, "mutation-survivors.tsv"), [(m, v) for m, v in report.results if v == "survived"])
    print("report: %s; survivors: %s" % (os.path.join(out, "mutation-report.txt"),
                                         os.path.join(out, "mutation-survivors.tsv")))
    return 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Tezmola developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Generated mutants, planted all at once and switched on one at a time (scripts/mutants.sh --help).

The sites are found by rule in the syntax tree that libclang gives of each source file under src/: a
relational operator moved by one, an arithmetic or logical operator swapped, a condition negated, an
integer constant off by one, a statement that updates state removed, a returned true or false flipped, two
arguments of one call swapped. Comments and strings are never touched, nor what the compiler must know
before the program runs (constant expressions, template arguments, case labels). A site is named by its
file, its function and the text it changes, so that an unrelated edit leaves the name as it was.

Every mutant of a file is written into one copy of it (a mutant schema): each behind a call of
tezmola_mutants::on(NUMBER) (tests/mutants/mutant_switch.h), true only in a process whose TEZMOLA_MUTANT
is that number. One build in the scratch folder serves all of them. A first run of the tests without a
mutant records which tests reach each mutant; each mutant then runs those tests alone, stops at the first
failure and is killed by a time limit when it hangs.
"""

import argparse
import bisect
import collections
import concurrent.futures
import hashlib
import json
import os
import random
import re
import shlex
import shutil
import signal
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
EQUIVALENTS = "tests/mutants/equivalent.txt"
BASE_FILE = "tests/mutants/ci-passed"
SWITCH_HEADER = "tests/mutants/mutant_switch.h"

# The test programs the check runs: the unit test executables and the tests of the checker and the
# importer, which need no display. Each reads its files from the scratch copy of the sources.
UNIT_PROGRAMS = ["util", "core", "app", "file", "graphics", "audio", "game", "data", "editor"]
SCRIPT_PROGRAMS = {
    "check_levels": ("tests/tools/check_levels_test.sh", "tezmola-check-levels"),
    "import_levels": ("tests/tools/import_levels_test.sh", "tezmola-import-levels"),
    "game_options": ("tests/tools/game_options_test.sh", "tezmola"),
}
BUILD_TARGETS = [name + "_tests" for name in UNIT_PROGRAMS] + [
    "tezmola", "tezmola-check-levels", "tezmola-import-levels", "tezmola_data"]


def fail(message):
    print("mutants: " + message, file=sys.stderr)
    sys.exit(2)


# ---------------------------------------------------------------------------------------------------
# Reading C++: a lexer for the texts, libclang for the syntax tree.

TOKEN = re.compile(r"""
    (?P<space>\s+)
  | (?P<comment>//[^\n]*|/\*.*?\*/)
  | (?P<string>(?:u8|u|U|L)?R"(?P<delimiter>[^(\s]*)\(.*?\)(?P=delimiter)"
              |(?:u8|u|U|L)?"(?:\\.|[^"\\\n])*"
              |(?:u8|u|U|L)?'(?:\\.|[^'\\\n])*')
  | (?P<number>\.?\d(?:[eEpP][+-]|[\w.']|)*)
  | (?P<word>[A-Za-z_]\w*)
  | (?P<punct>->\*|\.\.\.|<<=|>>=|<=>|::|->|\+\+|--|<<|>>|<=|>=|==|!=|&&|\|\||\+=|-=|\*=|/=|%=|&=|\|=|\^=
              |\.\*|\#\#|[{}\[\]()<>;:,.?~!+\-*/%^&|=\#])
""", re.S | re.X)


class Source:
    """A file's text (bytes read as Latin-1, so that offsets are libclang's byte offsets) and tokens."""

    def __init__(self, text):
        self.text = text
        self.tokens = []  # (start, end, text) of every token but spaces and comments
        position = 0
        while position < len(text):
            match = TOKEN.match(text, position)
            if match is None:  # a stray character: a token of its own
                self.tokens.append((position, position + 1, text[position]))
                position += 1
                continue
            if match.lastgroup not in ("space", "comment"):
                self.tokens.append((match.start(), match.end(), match.group()))
            position = match.end()
        self.starts = [token[0] for token in self.tokens]
        self.line_starts = [0] + [m.end() for m in re.finditer("\n", text)]

    def line(self, offset):
        return bisect.bisect_right(self.line_starts, offset)

    def token_at_or_after(self, offset):
        index = bisect.bisect_left(self.starts, offset)
        return index if index < len(self.tokens) else None

    def tokens_in(self, start, end):
        index = bisect.bisect_left(self.starts, start)
        while index < len(self.tokens) and self.tokens[index][1] <= end:
            yield index
            index += 1

    def normal(self, start, end):
        """The text between the offsets without comments, each run of space one space."""
        out = []
        last_end = None
        for index in self.tokens_in(start, end):
            token_start, token_end, token = self.tokens[index]
            if last_end is not None and token_start > last_end:
                out.append(" ")
            out.append(token)
            last_end = token_end
        return printable("".join(out))

    def matching(self, index):
        """The index of the bracket that closes the one at index."""
        depth = 0
        for other in range(index, len(self.tokens)):
            token = self.tokens[other][2]
            if token in ("(", "[", "{"):
                depth += 1
            elif token in (")", "]", "}"):
                depth -= 1
                if depth == 0:
                    return other
        return None


def printable(latin1):
    return latin1.encode("latin-1").decode("utf-8", "replace")


def head(text, length=36):
    return text if len(text) <= length else text[:length].rstrip() + "…"


def tail(text, length=36):
    return text if len(text) <= length else "…" + text[-length:].lstrip()


def clang():
    try:
        import clang.cindex as cindex
    except ImportError:  # Debian's python3-clang-14 serves the system's Python; another may be first on PATH
        sys.path.append("/usr/lib/python3/dist-packages")
        import clang.cindex as cindex
    return cindex


SCALAR = {"BOOL", "CHAR_U", "UCHAR", "CHAR16", "CHAR32", "USHORT", "UINT", "ULONG", "ULONGLONG", "CHAR_S",
          "SCHAR", "WCHAR", "SHORT", "INT", "LONG", "LONGLONG", "FLOAT", "DOUBLE", "LONGDOUBLE", "ENUM",
          "POINTER", "NULLPTR", "MEMBERPOINTER"}
INTEGER = SCALAR - {"FLOAT", "DOUBLE", "LONGDOUBLE", "POINTER", "NULLPTR", "MEMBERPOINTER"}
ARITHMETIC = SCALAR - {"POINTER", "NULLPTR", "MEMBERPOINTER", "ENUM"}
BINARY = {"<": ("less", "<="), "<=": ("lessEqual", "<"), ">": ("greater", ">="), ">=": ("greaterEqual", ">"),
          "==": ("equal", "!="), "!=": ("notEqual", "=="), "+": ("plus", "-"), "-": ("minus", "+"),
          "*": ("times", "/"), "/": ("divides", "*"), "&": ("bitAnd", "|"), "|": ("bitOr", "&"),
          "&&": (None, "||"), "||": (None, "&&")}
COMPOUND = {"+=": ("plusAssign", "-="), "-=": ("minusAssign", "+="), "*=": ("timesAssign", "/="),
            "/=": ("dividesAssign", "*=")}
# Calls that update what they are called on; a set...() call does too.
UPDATES = {"clear", "push_back", "emplace_back", "push_front", "emplace_front", "pop_back", "pop_front",
           "erase", "insert", "emplace", "resize", "assign", "append", "swap", "reset", "operator=",
           "operator+=", "operator-=", "operator++", "operator--"}
SYMMETRIC = {"min", "max", "swap", "hypot", "fmin", "fmax"}
CLASSES = {"CLASS_DECL", "STRUCT_DECL", "CLASS_TEMPLATE", "UNION_DECL",
           "CLASS_TEMPLATE_PARTIAL_SPECIALIZATION"}
FUNCTIONS = {"FUNCTION_DECL", "CXX_METHOD", "CONSTRUCTOR", "DESTRUCTOR", "FUNCTION_TEMPLATE",
             "CONVERSION_FUNCTION"}
NOT_CODE = {"PARM_DECL", "TYPE_REF", "NAMESPACE_REF", "TEMPLATE_REF", "MEMBER_REF", "TEMPLATE_TYPE_PARAMETER",
            "TEMPLATE_NON_TYPE_PARAMETER", "TEMPLATE_TEMPLATE_PARAMETER", "STATIC_ASSERT", "CXX_UNARY_EXPR",
            "CXX_TYPEID_EXPR", "OVERLOADED_DECL_REF", "CXX_ACCESS_SPEC_DECL", "TYPEDEF_DECL",
            "TYPE_ALIAS_DECL", "USING_DECLARATION", "USING_DIRECTIVE", "CLASS_DECL", "STRUCT_DECL",
            "ENUM_DECL"}


def unwrap(cursor):
    while cursor.kind.name in ("UNEXPOSED_EXPR", "PAREN_EXPR"):
        children = list(cursor.get_children())
        if len(children) != 1:
            break
        cursor = children[0]
    return cursor


def canonical(cursor):
    return cursor.type.get_canonical()


def kind_of(cursor):
    return canonical(cursor).kind.name


class Walker:
    """Finds the sites of every function defined in the project's files that one translation unit sees."""

    def __init__(self, source_root, wanted):
        self.source_root = source_root  # the folder that src/ is in
        self.wanted = wanted  # a function of a relative path: whether to look at that file
        self.sources = {}  # relative path -> Source
        self.sites = []
        self.file_names = {}

    def relative(self, cursor):
        location_file = cursor.location.file
        if location_file is None:
            return None
        name = location_file.name
        if name not in self.file_names:
            real = os.path.realpath(name)
            rel = os.path.relpath(real, self.source_root)
            self.file_names[name] = rel if self.wanted(rel) else None
            if self.file_names[name] is not None and rel not in self.sources:
                with open(real, "rb") as file:
                    self.sources[rel] = Source(file.read().decode("latin-1"))
        return self.file_names[name]

    def walk(self, cursor):
        for child in cursor.get_children():
            kind = child.kind.name
            if kind in ("NAMESPACE", "LINKAGE_SPEC") or kind in CLASSES:
                self.walk(child)
            elif kind in FUNCTIONS and child.is_definition() and self.relative(child) is not None:
                self.function(child)

    def function(self, cursor):
        self.file = self.relative(cursor)
        self.source = self.sources[self.file]
        children = list(cursor.get_children())
        body = next((c for c in children if c.kind.name == "COMPOUND_STMT"), None)
        if body is None:
            return
        start = cursor.extent.start.offset
        if any(self.source.tokens[i][2] in ("constexpr", "consteval")
               for i in self.source.tokens_in(start, body.extent.start.offset)):
            return
        parts = [cursor.spelling]
        parent = cursor.semantic_parent
        while parent is not None and parent.kind.name in CLASSES:
            parts.insert(0, parent.spelling)
            parent = parent.semantic_parent
        self.name = "::".join(parts)
        self.returns_bool = cursor.result_type.get_canonical().kind.name == "BOOL"
        self.stack = [cursor]
        for child in children:
            if child.kind.name == "COMPOUND_STMT":
                self.visit(child)
            elif child.kind.name not in NOT_CODE:
                self.visit(child)  # a member initialiser

    # The walk through a function's code. stack holds the cursors above the one visited.
    def visit(self, cursor, statement=False):
        kind = cursor.kind.name
        if kind in NOT_CODE:
            return
        if statement:
            self.removal(cursor)
        self.stack.append(cursor)
        handler = getattr(self, "visit_" + kind, None)
        if handler is not None:
            handler(cursor)
        else:
            for child in cursor.get_children():
                self.visit(child)
        self.stack.pop()

    def visit_COMPOUND_STMT(self, cursor):
        for child in cursor.get_children():
            self.visit(child, statement=True)

    def parenthesised(self, cursor):
        """The tokens of a statement's parentheses: (index of "(", index of ")", indices of top-level ";")."""
        index = self.source.token_at_or_after(cursor.extent.start.offset)
        while index is not None and self.source.tokens[index][2] != "(":
            index += 1
        close = self.source.matching(index)
        semicolons = []
        depth = 0
        for other in range(index + 1, close):
            token = self.source.tokens[other][2]
            depth += token in ("(", "[", "{")
            depth -= token in (")", "]", "}")
            if depth == 0 and token == ";":
                semicolons.append(other)
        return index, close, semicolons

    def conditional_statement(self, cursor, condition_part):
        """if, while and for: the condition negated; the statements after ")" at statement places."""
        tokens = self.source.tokens
        first = self.source.token_at_or_after(cursor.extent.start.offset)
        constant = tokens[first + 1][2] == "constexpr"
        open_index, close, semicolons = self.parenthesised(cursor)
        bounds = [tokens[open_index][1]] + [tokens[i][1] for i in semicolons] + [tokens[close][0]]
        if condition_part is None:
            condition_part = len(bounds) - 2
        if condition_part >= len(bounds) - 1:
            condition_part = None
        children = list(cursor.get_children())
        declares = any(c.kind.name == "VAR_DECL" for c in children
                       if c.extent.start.offset < tokens[close][0])
        for child in children:
            start = child.extent.start.offset
            if start >= tokens[close][1]:
                self.visit(child, statement=True)
                continue
            if constant:
                continue
            if (condition_part is not None and not declares and child.kind.name != "DECL_STMT"
                    and bounds[condition_part] <= start and child.extent.end.offset <= bounds[condition_part + 1]):
                self.negation(child)
            self.visit(child)

    def visit_IF_STMT(self, cursor):
        self.conditional_statement(cursor, None)

    def visit_WHILE_STMT(self, cursor):
        self.conditional_statement(cursor, None)

    def visit_FOR_STMT(self, cursor):
        self.conditional_statement(cursor, 1)

    def visit_DO_STMT(self, cursor):
        children = list(cursor.get_children())
        self.visit(children[0], statement=True)
        for child in children[1:]:
            self.negation(child)
            self.visit(child)

    def visit_CONDITIONAL_OPERATOR(self, cursor):
        children = list(cursor.get_children())
        self.negation(children[0])
        for child in children:
            self.visit(child)

    def last_is_statement(self, cursor):
        children = list(cursor.get_children())
        for child in children[:-1]:
            self.visit(child)
        if children:
            self.visit(children[-1], statement=True)

    def visit_CASE_STMT(self, cursor):
        children = list(cursor.get_children())
        if len(children) > 1:
            self.visit(children[-1], statement=True)  # the first is the label's constant

    visit_DEFAULT_STMT = last_is_statement
    visit_LABEL_STMT = last_is_statement
    visit_CXX_FOR_RANGE_STMT = last_is_statement

    def visit_VAR_DECL(self, cursor):
        name = cursor.location.offset
        start = cursor.extent.start.offset
        if any(self.source.tokens[i][2] in ("static", "constexpr", "thread_local")
               for i in self.source.tokens_in(start, name)):
            return
        tokens = self.source.tokens
        index = self.source.token_at_or_after(name) + 1
        while index < len(tokens) and tokens[index][2] == "[":  # an array's bounds are constants
            index = self.source.matching(index) + 1
        if index >= len(tokens) or tokens[index][2] not in ("=", "{", "("):
            return
        for child in cursor.get_children():
            if child.extent.start.offset >= tokens[index][0]:  # the initialiser, not the type
                self.visit(child)

    def visit_LAMBDA_EXPR(self, cursor):
        returns_bool = self.returns_bool
        self.returns_bool = True
        for child in cursor.get_children():
            self.visit(child)
        self.returns_bool = returns_bool

    def visit_RETURN_STMT(self, cursor):
        children = list(cursor.get_children())
        if len(children) == 1 and self.returns_bool:
            value = unwrap(children[0])
            if value.kind.name == "CXX_BOOL_LITERAL_EXPR":
                start, end = value.extent.start.offset, value.extent.end.offset
                text = self.source.text[start:end]
                if text in ("true", "false"):
                    into = "false" if text == "true" else "true"
                    # Named after the condition it answers, when there is one.
                    condition = next((c for c in reversed(self.stack) if c.kind.name == "IF_STMT"), None)
                    after = ""
                    if condition is not None:
                        open_index, close, _ = self.parenthesised(condition)
                        tokens = self.source.tokens
                        after = "if " + head(self.source.normal(tokens[open_index][0], tokens[close][1]), 50) + " … "
                    self.add("return", (start, end), (start, end), after + "return " + text, after + "return " + into,
                             value=text)
        for child in children:
            self.visit(child)

    def visit_BINARY_OPERATOR(self, cursor):
        self.operator(cursor, BINARY)
        for child in cursor.get_children():
            self.visit(child)

    def visit_COMPOUND_ASSIGNMENT_OPERATOR(self, cursor):
        self.operator(cursor, COMPOUND)
        for child in cursor.get_children():
            self.visit(child)

    def visit_CALL_EXPR(self, cursor):
        if cursor.spelling in ("operator==", "operator!="):
            self.operator(cursor, BINARY)
        else:
            self.swaps(cursor)
        for child in cursor.get_children():
            self.visit(child)

    def visit_INTEGER_LITERAL(self, cursor):
        start, end = cursor.extent.start.offset, cursor.extent.end.offset
        literal = self.source.text[start:end]
        match = re.fullmatch(r"(0[xX][0-9a-fA-F']+|0[bB][01']+|0[0-7']*|[1-9][0-9']*)([uUlLzZ]*)", literal)
        parent = self.stack[-2]
        if match is None or (parent.kind.name == "UNEXPOSED_EXPR"
                             and kind_of(parent) in ("POINTER", "BOOL", "NULLPTR", "MEMBERPOINTER")):
            return  # a null pointer or a truth value
        if unwrap(parent).kind.name in ("DECL_REF_EXPR", "TEMPLATE_REF", "TYPE_REF"):
            return  # a template argument
        context = next((c for c in reversed(self.stack[:-1])
                        if c.kind.name not in ("UNEXPOSED_EXPR", "PAREN_EXPR")), None)
        if context is None or (context.kind.name == "CALL_EXPR" and context.spelling == "reserve"):
            return
        digits = match.group(1).replace("'", "")
        value = int(digits, 8) if re.fullmatch("0[0-7]+", digits) else int(digits, 0)
        value = value + 1 if value == 0 else value - 1
        if digits[:2] in ("0x", "0X"):
            into = digits[:2] + format(value, "X" if digits[2:].isupper() else "x") + match.group(2)
        else:
            into = str(value) + match.group(2)
        context_start, context_end = context.extent.start.offset, context.extent.end.offset
        if context.kind.name == "VAR_DECL":
            context_start = context.location.offset
        before = self.source.normal(context_start, start)
        after = self.source.normal(end, context_end)
        gap_before = " " if before and start > context_start and self.source.text[start - 1].isspace() else ""
        gap_after = " " if after and self.source.text[end:end + 1].isspace() else ""
        left, right = tail(before, 30) + gap_before, gap_after + head(after, 30)
        self.add("constant", (start, end), (start, end), left + printable(literal) + right, left + into + right,
                 into=into)

    # Sites.
    def add(self, kind, node, lines, original, mutated, **data):
        source = self.source
        self.sites.append(dict(file=self.file, function=self.name, kind=kind, node=list(node),
                               lines=[source.line(lines[0]), source.line(max(lines[0], lines[1] - 1))],
                               extent=[source.line(node[0]), source.line(max(node[0], node[1] - 1))],
                               original=original, mutated=mutated, **data))

    def operator(self, cursor, table):
        children = list(cursor.get_children())
        if len(children) == 3:  # an overloaded == or !=: left, the operator's name, right
            children = [children[0], children[2]]
        if len(children) != 2:
            return
        left, right = children
        index = self.source.token_at_or_after(left.extent.end.offset)
        if index is None:
            return
        op = self.source.tokens[index][2]
        if op not in table or self.source.tokens[index][0] >= right.extent.start.offset:
            return
        helper, into = table[op]
        if cursor.kind.name == "BINARY_OPERATOR" or table is COMPOUND:
            kinds = (kind_of(left), kind_of(right))
            if op in ("<", "<=", ">", ">=") and not all(k in ARITHMETIC | {"ENUM", "POINTER"} for k in kinds):
                return
            if op in ("==", "!=", "&&", "||") and not all(k in SCALAR for k in kinds):
                return
            if op in ("+", "-", "+=", "-="):
                if not (all(k in ARITHMETIC for k in kinds) or (kinds[0] == "POINTER" and kinds[1] in INTEGER)):
                    return
            if op in ("*", "/", "*=", "/=") and not all(k in ARITHMETIC for k in kinds):
                return
            if op in ("&", "|") and not all(k in INTEGER for k in kinds):
                return
        start, end = cursor.extent.start.offset, cursor.extent.end.offset
        left_text = tail(self.source.normal(start, self.source.tokens[index][0]))
        right_text = head(self.source.normal(self.source.tokens[index][1], end))
        operator_line = self.source.tokens[index][0]
        self.add("operator", (start, end), (operator_line, operator_line + 1),
                 f"{left_text} {op} {right_text}", f"{left_text} {into} {right_text}", op=op, helper=helper,
                 at=self.source.tokens[index][0],
                 left=[left.extent.start.offset, left.extent.end.offset],
                 right=[right.extent.start.offset, right.extent.end.offset])

    def negation(self, cursor):
        if kind_of(cursor) not in SCALAR and canonical(cursor).kind.name != "RECORD":
            return
        start, end = cursor.extent.start.offset, cursor.extent.end.offset
        keyword = self.stack[-1].kind.name
        text = head(self.source.normal(start, end), 60)
        if keyword == "CONDITIONAL_OPERATOR":
            original, mutated = f"{text} ?", f"!({text}) ?"
        else:
            word = {"IF_STMT": "if", "WHILE_STMT": "while", "FOR_STMT": "for", "DO_STMT": "while"}[keyword]
            if word == "for":
                original, mutated = f"for (…; {text}; …)", f"for (…; !({text}); …)"
            else:
                original, mutated = f"{word} ({text})", f"{word} (!({text}))"
        self.add("negation", (start, end), (start, end), original, mutated)

    def removal(self, cursor):
        expression = unwrap(cursor)
        kind = expression.kind.name
        updates = False
        if kind == "BINARY_OPERATOR":
            children = list(expression.get_children())
            index = self.source.token_at_or_after(children[0].extent.end.offset) if children else None
            updates = index is not None and self.source.tokens[index][2] == "="
        elif kind == "COMPOUND_ASSIGNMENT_OPERATOR":
            updates = True
        elif kind == "UNARY_OPERATOR":
            updates = any(self.source.tokens[i][2] in ("++", "--")
                          for i in self.source.tokens_in(expression.extent.start.offset,
                                                         expression.extent.end.offset))
        elif kind == "CALL_EXPR":
            name = expression.spelling
            updates = name in UPDATES or re.match("set[A-Z]", name) is not None
        if not updates:
            return
        start, end = cursor.extent.start.offset, cursor.extent.end.offset
        index = self.source.token_at_or_after(end)
        if index is None or self.source.tokens[index][2] != ";" or self.source.tokens[index][0] != end:
            return
        statement_end = self.source.tokens[index][1]
        text = head(self.source.normal(start, statement_end), 80)
        self.add("removal", (start, statement_end), (start, statement_end), text, "(removed)")

    def swaps(self, cursor):
        name = cursor.spelling
        if name in SYMMETRIC or name.startswith("operator"):
            return
        start, end = cursor.extent.start.offset, cursor.extent.end.offset
        arguments = []
        for argument in cursor.get_arguments():
            if argument.location.file is None or self.relative(argument) != self.file:
                break
            a_start, a_end = argument.extent.start.offset, argument.extent.end.offset
            if not start < a_start < a_end <= end:
                break
            arguments.append(argument)
        callee = cursor.referenced
        parameters = list(callee.get_arguments()) if callee is not None else []
        for position, (first, second) in enumerate(zip(arguments, arguments[1:])):
            types = [canonical(a) for a in (first, second)]
            if any(t.kind.name in ("INVALID", "UNEXPOSED", "DEPENDENT") for t in types):
                continue
            spellings = [t.spelling.replace("const ", "").replace(" &", "") for t in types]
            if spellings[0] != spellings[1]:
                continue
            if any(unwrap(a).kind.name in ("INIT_LIST_EXPR", "LAMBDA_EXPR", "STRING_LITERAL") for a in (first, second)):
                continue
            a = (first.extent.start.offset, first.extent.end.offset)
            b = (second.extent.start.offset, second.extent.end.offset)
            a_text, b_text = self.source.normal(*a), self.source.normal(*b)
            if a_text == b_text:
                continue
            before = "…, " if arguments[0] is not first else ""
            after = ", …" if arguments[-1] is not second else ""
            a_text, b_text = head(a_text, 30), head(b_text, 30)
            # A parameter that binds an lvalue to change it takes no temporary: such a swap cannot build.
            binds = any(p.type.kind.name == "LVALUEREFERENCE" and not p.type.get_pointee().is_const_qualified()
                        for p in parameters[position:position + 2])
            lvalues = all(unwrap(a).kind.name in ("DECL_REF_EXPR", "MEMBER_REF_EXPR") for a in (first, second))
            self.add("swap", (a[0], b[1]), (a[0], b[1]), f"{name}({before}{a_text}, {b_text}{after})",
                     f"{name}({before}{b_text}, {a_text}{after})", first=list(a), second=list(b),
                     unbuildable=binds and not lvalues)


def parse_unit(job):
    """Worker: the sites that one translation unit shows in the wanted files, and the files' digests."""
    path, arguments, source_root = job
    cindex = clang()
    unit = cindex.Index.create().parse(path, args=arguments)
    errors = [str(d) for d in unit.diagnostics if d.severity >= cindex.Diagnostic.Error]
    if errors:
        return {"errors": errors[:5]}
    walker = Walker(source_root, lambda rel: rel.startswith("src/"))
    walker.walk(unit.cursor)
    digests = {rel: hashlib.sha1(s.text.encode("latin-1")).hexdigest() for rel, s in walker.sources.items()}
    return {"sites": walker.sites, "digests": digests}


def compile_arguments(entry):
    words = entry["arguments"] if "arguments" in entry else shlex.split(entry["command"])
    out = []
    skip = False
    for word in words[1:]:
        if skip:
            skip = False
        elif word == "-o":
            skip = True
        elif word not in ("-c", entry["file"]) and not word.endswith(os.path.basename(entry["file"])):
            out.append(word)
    return out


def name_sites(sites):
    """Orders the sites and gives each its name; sites of one text in one function are numbered."""
    order = {"operator": 0, "negation": 1, "constant": 2, "return": 3, "removal": 4, "swap": 5}
    unique = {}
    for site in sites:
        key = (site["file"], site["kind"], tuple(site["node"]), site["mutated"])
        unique.setdefault(key, site)
    ordered = sorted(unique.values(), key=lambda s: (s["file"], s["node"][0], -s["node"][1], order[s["kind"]]))
    seen = {}
    for site in ordered:
        name = f"{site['file']}: {site['function']}: {site['original']} => {site['mutated']}"
        seen[name] = seen.get(name, 0) + 1
        site["name"] = name if seen[name] == 1 else f"{name} #{seen[name]}"
    return ordered


# ---------------------------------------------------------------------------------------------------
# Mutant schemata: every chosen mutant of a file in one text.

def schema(text, sites):
    """The file's text with each site (carrying its number) behind the switch; its lines stay where they were."""
    nodes = {}

    def attach(span, order, transform):
        nodes.setdefault(tuple(span), []).append((order, len(nodes.get(tuple(span), [])), transform))

    for site in sites:
        number = site["number"]
        on = f"::tezmola_mutants::on({number})"
        kind = site["kind"]
        if kind == "operator":
            left, right = tuple(site["left"]), tuple(site["right"])
            # What stands around the operator (line breaks, comments) stays, so that no line moves.
            at = site["at"]
            gap = text[left[1]:at] + text[at + len(site["op"]):right[0]]
            if site["op"] == "&&":
                attach(site["node"], 0, lambda base, r, n, l=left, rr=right, on=on, g=gap:
                       f"(static_cast<bool>({r(l)}{g}) != {on} ? static_cast<bool>({r(rr)}) : {on})")
            elif site["op"] == "||":
                attach(site["node"], 0, lambda base, r, n, l=left, rr=right, on=on, g=gap:
                       f"(static_cast<bool>({r(l)}{g}) == {on} ? static_cast<bool>({r(rr)}) : !{on})")
            else:
                attach(site["node"], 0, lambda base, r, n, l=left, rr=right, h=site["helper"], k=number, g=gap:
                       f"::tezmola_mutants::{h}({k}, {r(l)}{g}, {r(rr)})")
        elif kind == "constant":
            attach(site["node"], 1, lambda base, r, n, on=on, into=site["into"]:
                   f"({on} ? static_cast<decltype({base})>({into}) : {base})")
        elif kind == "return":
            attach(site["node"], 1, lambda base, r, n, on=on: f"(!{on})" if base == "true" else f"({on})")
        elif kind == "negation":
            attach(site["node"], 2, lambda base, r, n, k=number: f"::tezmola_mutants::negate({k}, {base})")
        elif kind == "swap":
            first, second = tuple(site["first"]), tuple(site["second"])
            attach(first, 3, lambda base, r, n, on=on, other=second: f"({on} ? ({flat(n(other, False))}) : ({base}))")
            attach(second, 3, lambda base, r, n, on=on, other=first: f"({on} ? ({flat(n(other, False))}) : ({base}))")
        elif kind == "removal":
            attach(site["node"], 4, lambda base, r, n, on=on: f"{{ if (!{on}) {base} }}")
    spans = sorted(nodes, key=lambda s: (s[0], -s[1]))
    starts = [s[0] for s in spans]

    def children(start, end):
        out = []
        position = start
        index = bisect.bisect_left(starts, start)
        while index < len(spans) and spans[index][0] < end:
            span = spans[index]
            index += 1
            if span[0] < position or (span[0] == start and span[1] >= end):  # inside the last, or around all
                continue
            if span[1] > end:
                raise ValueError(f"mutants overlap: {span} in {(start, end)}")
            out.append(span)
            position = span[1]
        return out

    def inner(start, end):
        parts = []
        position = start
        for span in children(start, end):
            parts.append(text[position:span[0]])
            parts.append(node(span, True))
            position = span[1]
        parts.append(text[position:end])
        return "".join(parts)

    def region(span):
        return node(span, True) if span in nodes else inner(*span)

    def node(span, with_swaps):
        out = inner(*span)
        for order, _, transform in sorted(nodes[span], key=lambda t: t[:2]):
            if order != 3 or with_swaps:
                out = transform(out, region, node)
        return out

    return inner(0, len(text))


def flat(code):
    """The code on one line, without its comments: a copy of it moves no line below."""
    return Source(code).normal(0, len(code)).encode("utf-8").decode("latin-1")


def overlapping(sites):
    """The sites whose parts cross another site's part (never nested): these cannot share one text."""
    parts = []
    for site in sites:
        spans = [site["first"], site["second"]] if site["kind"] == "swap" else [site["node"]]
        parts.extend((tuple(span), site["number"]) for span in spans)
    parts.sort(key=lambda p: (p[0][0], -p[0][1]))
    bad = set()
    stack = []
    for span, number in parts:
        while stack and stack[-1][0][1] <= span[0]:
            stack.pop()
        if stack and span[1] > stack[-1][0][1]:
            bad.add(number)
            continue
        stack.append((span, number))
    return bad


# ---------------------------------------------------------------------------------------------------
# The scratch copy, its build and the changed lines.

class Scratch:
    def __init__(self, folder, jobs):
        self.folder = folder
        self.source = os.path.join(folder, "source")
        self.build = os.path.join(folder, "build")
        self.jobs = jobs
        self.state_path = os.path.join(folder, "schemata.json")

    def sync(self):
        """Copies the work tree's files (tracked and new, not ignored) into the scratch copy where they
        differ, and removes what the work tree does not have. The copies that hold schemata are put back."""
        listed = subprocess.run(["git", "ls-files", "-z", "--cached", "--others", "--exclude-standard"],
                                cwd=ROOT, check=True, capture_output=True).stdout.decode().split("\0")
        wanted = {f for f in listed if f and os.path.isfile(os.path.join(ROOT, f))}
        for rel in wanted:
            target = os.path.join(self.source, rel)
            with open(os.path.join(ROOT, rel), "rb") as file:
                data = file.read()
            if os.path.isfile(target):
                with open(target, "rb") as file:
                    if file.read() == data:
                        continue
            os.makedirs(os.path.dirname(target), exist_ok=True)
            with open(target, "wb") as file:
                file.write(data)
        for folder, _, files in os.walk(self.source):
            for name in files:
                rel = os.path.relpath(os.path.join(folder, name), self.source)
                if rel not in wanted:
                    os.remove(os.path.join(folder, name))

    def configure(self):
        command = ["cmake", "-S", self.source, "-B", self.build, "-DCMAKE_BUILD_TYPE=Release",
                   "-DCMAKE_CXX_FLAGS_RELEASE=-O1 -w", "-DTEZMOLA_BENCHMARKS=OFF", "-DTEZMOLA_MUTANTS=ON",
                   "-DTEZMOLA_UNITY=OFF"]
        log = os.path.join(self.folder, "configure.log")
        with open(log, "w") as out:
            if subprocess.run(command, stdout=out, stderr=subprocess.STDOUT).returncode != 0:
                fail(f"cannot configure {self.build} (see {log})")

    def write_schemata(self, texts):
        """Writes each file's schema (relative path -> text) over its copy; a schema the same as last time
        gets its old time back, so that the build does not compile it again."""
        try:
            with open(self.state_path) as file:
                previous = json.load(file)
        except (OSError, ValueError):
            previous = {}
        state = {}
        for rel, text in texts.items():
            path = os.path.join(self.source, rel)
            data = text.encode("latin-1")
            digest = hashlib.sha1(data).hexdigest()
            with open(path, "wb") as file:
                file.write(data)
            old = previous.get(rel)
            if old and old["digest"] == digest:
                os.utime(path, ns=(old["time"], old["time"]))
            state[rel] = {"digest": digest, "time": os.stat(path).st_mtime_ns}
        with open(self.state_path, "w") as file:
            json.dump(state, file)

    def build_all(self):
        log = os.path.join(self.folder, "build.log")
        command = ["cmake", "--build", self.build, "-j", str(self.jobs), "--target"] + BUILD_TARGETS + ["--", "-k"]
        with open(log, "w") as out:
            status = subprocess.run(command, stdout=out, stderr=subprocess.STDOUT).returncode
        with open(log, errors="replace") as file:
            return status, file.read()


def folded(text):
    """A line's text with its white space folded: how a moved line is known again."""
    return " ".join(text.split())


def changed_lines(base):
    """The lines of src/ that the work tree adds or alters against base: {relative path: set of lines}.
    A line whose text the same diff removes elsewhere (code moved to another place or file, renamed files
    followed) is moved, not changed: each removed text excuses one added line of the same text."""
    diff = subprocess.run(["git", "diff", "--no-color", "--no-ext-diff", "-M", "-U0", base, "--", "src"],
                          cwd=ROOT, check=True, capture_output=True).stdout.decode("utf-8", "replace")
    added = []  # (file, line, text)
    removed = collections.Counter()
    current, number = None, 0
    for line in diff.splitlines():
        if line.startswith("+++ "):
            current = line[6:] if line.startswith("+++ b/") else None
        elif line.startswith("--- "):
            continue
        elif line.startswith("@@"):
            match = re.match(r"@@ -\S+ \+(\d+)(?:,(\d+))? @@", line)
            number = int(match.group(1))
        elif line.startswith("-"):
            removed[folded(line[1:])] += 1
        elif line.startswith("+") and current:
            added.append((current, number, folded(line[1:])))
            number += 1
    untracked = subprocess.run(["git", "ls-files", "--others", "--exclude-standard", "--", "src"], cwd=ROOT,
                               check=True, capture_output=True).stdout.decode().split()
    for rel in untracked:
        with open(os.path.join(ROOT, rel), encoding="utf-8", errors="replace") as file:
            added += [(rel, at, folded(text)) for at, text in enumerate(file.read().split("\n"), 1)]
    lines = {}
    for rel, at, text in added:
        if removed[text] > 0:
            removed[text] -= 1
        else:
            lines.setdefault(rel, set()).add(at)
    return {rel: found for rel, found in lines.items() if found and os.path.isfile(os.path.join(ROOT, rel))}


def default_base():
    """The last commit on main that CI passed (tests/mutants/ci-passed), or origin/main."""
    tried = []
    try:
        with open(os.path.join(ROOT, BASE_FILE)) as file:
            words = [line.split()[0] for line in file if line.strip() and not line.startswith("#")]
        tried += words[:1]
    except OSError:
        pass
    tried.append("origin/main")
    for base in tried:
        found = subprocess.run(["git", "rev-parse", "--verify", "-q", base + "^{commit}"], cwd=ROOT,
                               capture_output=True, text=True)
        if found.returncode == 0:
            return base, found.stdout.strip()
    fail(f"no base to compare with: neither {' nor '.join(tried)} is a commit here; name one (--changed BASE)")


# ---------------------------------------------------------------------------------------------------
# Recorded equivalents.

def read_equivalents():
    """{site name: reason} from the file of recorded equivalents."""
    records = {}
    path = os.path.join(ROOT, EQUIVALENTS)
    if not os.path.exists(path):
        return records
    site = None
    with open(path, encoding="utf-8") as file:
        for number, line in enumerate(file, 1):
            line = line.rstrip("\n")
            if not line.strip() or line.startswith("#"):
                continue
            key, _, value = line.partition(": ")
            if key == "site":
                site = value
            elif key == "why" and site is not None:
                records[site] = value
                site = None
            else:
                fail(f"{EQUIVALENTS}:{number}: expected \"site: NAME\" followed by \"why: REASON\"")
    return records


# ---------------------------------------------------------------------------------------------------
# Running the tests.

# A mutant can turn a child's pid into -1 (a negated "pid > 0" before kill), and kill(-1) reaches every
# process its user may signal: as root, the whole machine. Each test program therefore runs in a PID
# namespace of its own, where it reaches only its own children, whenever the system lets unshare make one;
# a shell there stands in as the namespace's first process, so the test keeps the usual signal semantics.
ISOLATION = ["unshare", "--pid", "--fork", "--kill-child", "--", "sh", "-c", '"$@"; exit $?', "sh"]


def isolation():
    """The command prefix that isolates a test's processes; empty when the system cannot."""
    try:
        probe = subprocess.run(ISOLATION + ["sh", "-c", "echo $$"], capture_output=True, text=True, timeout=10)
    except (OSError, subprocess.TimeoutExpired):
        return []
    return ISOLATION if probe.returncode == 0 and probe.stdout.strip() == "2" else []


class Programs:
    def __init__(self, scratch):
        self.scratch = scratch
        self.times = {}  # program -> seconds for the whole program
        self.test_times = {}  # (program, test) -> seconds
        self.prefix = isolation()
        if not self.prefix:
            print("mutants: no PID namespace for the tests (unshare refused): a mutant may signal any process",
                  file=sys.stderr)

    def command(self, program, tests=None):
        build, source = self.scratch.build, self.scratch.source
        if program in SCRIPT_PROGRAMS:
            script, executable = SCRIPT_PROGRAMS[program]
            return ["bash", os.path.join(source, script), os.path.join(build, executable), source]
        command = [os.path.join(build, "tests", program), "--gtest_brief=1", "--gtest_fail_fast"]
        if tests:
            command.append("--gtest_filter=" + ":".join(sorted(tests)))
        return command

    def run(self, command, environment, limit, workspace):
        """(status, seconds); status None when the time limit ran out."""
        started = time.monotonic()
        env = dict(os.environ, SDL_AUDIODRIVER="dummy", SDL_VIDEODRIVER="dummy", TMPDIR=workspace,
                   HOME=workspace, **environment)
        with open(os.path.join(workspace, "..", os.path.basename(workspace) + ".log"), "wb") as log:
            process = subprocess.Popen(self.prefix + command, cwd=os.path.join(self.scratch.build, "tests"),
                                       env=env, stdout=log, stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL,
                                       start_new_session=True)
            try:
                status = process.wait(timeout=limit)
            except subprocess.TimeoutExpired:
                os.killpg(process.pid, signal.SIGKILL)
                process.wait()
                status = None
        try:
            os.killpg(process.pid, signal.SIGKILL)  # what the test left running
        except ProcessLookupError:
            pass
        return status, time.monotonic() - started


def clean(folder):
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)


def baseline(programs, names, folder, jobs):
    """Runs each program once without a mutant, tracing: {mutant: {program: set of tests or None}}."""
    reached = {}

    def one(program):
        workspace = os.path.join(folder, "baseline-" + program)
        trace = os.path.join(folder, "trace-" + program)
        clean(workspace)
        clean(trace)
        # Open to all: a test's child process that gives up root (to meet a folder it may not write)
        # writes its trace there too.
        os.chmod(trace, 0o1777)
        command = programs.command(program)
        report = os.path.join(folder, program + ".json")
        if program not in SCRIPT_PROGRAMS:
            command.append("--gtest_output=json:" + report)
        status, seconds = programs.run(command, {"TEZMOLA_MUTANT_TRACE": trace}, 1800, workspace)
        return program, status, seconds, trace, report

    with concurrent.futures.ThreadPoolExecutor(jobs) as pool:
        results = list(pool.map(one, names))
    for program, status, seconds, trace, report in results:
        if status != 0:
            fail(f"{program} fails without any mutant (see {folder}/baseline-{program}.log)")
        programs.times[program] = seconds
        if os.path.exists(report):
            with open(report) as file:
                for suite in json.load(file).get("testsuites", []):
                    for test in suite.get("testsuite", []):
                        name = f"{suite['name']}.{test['name']}"
                        programs.test_times[(program, name)] = float(test.get("time", "0s").rstrip("s"))
        for entry in os.listdir(trace):
            with open(os.path.join(trace, entry)) as file:
                for line in file:
                    number, _, test = line.rstrip("\n").partition(" ")
                    tests = reached.setdefault(int(number), {})
                    if program in SCRIPT_PROGRAMS:
                        tests[program] = None
                    else:
                        tests.setdefault(program, set()).add(test)
    # A gtest program's code reached outside any test (start-up, exit handlers) runs again around whichever
    # tests run; only a site that no test itself reaches needs the whole program.
    for tests in reached.values():
        for program, names in tests.items():
            if names is not None:
                names.discard("")
                if not names:
                    tests[program] = None
    return reached


def plan(programs, reached):
    """The programs a mutant runs, quickest first: [(program, tests or None, estimated seconds)]."""
    steps = []
    for program, tests in reached.items():
        if tests is None or len(":".join(tests)) > 100000:
            steps.append((program, None, programs.times[program]))
        else:
            steps.append((program, tests, 0.05 + sum(programs.test_times.get((program, t), 0.5) for t in tests)))
    return sorted(steps, key=lambda step: step[2])


def try_mutant(programs, site, reached, workspace):
    """Runs the tests that reach the mutant until one fails: (verdict, program, tests, seconds)."""
    started = time.monotonic()
    steps = plan(programs, reached)
    if not steps:
        return "unreached", None, 0, 0.0
    for program, tests, estimate in steps:
        clean(workspace)
        status, _ = programs.run(programs.command(program, tests), {"TEZMOLA_MUTANT": str(site["number"])},
                                 5 + 4 * estimate, workspace)
        count = len(tests) if tests else 0
        if status is None:
            return "timeout", program, count, time.monotonic() - started
        if status != 0:
            return "killed", program, count, time.monotonic() - started
    return "survived", None, sum(len(t) if t else 0 for _, t, _ in steps), time.monotonic() - started


# ---------------------------------------------------------------------------------------------------
# The command.

def find_sites(scratch, files, jobs):
    """The named sites of the files (all of src/ when files is None), and the translation units parsed."""
    with open(os.path.join(scratch.build, "compile_commands.json")) as file:
        entries = {os.path.relpath(e["file"], scratch.source): e for e in json.load(file)}
    units = sorted(rel for rel in entries if rel.startswith("src/"))
    if files is not None:
        units = sorted({rel if rel in entries else unit_for_header(rel, units, scratch.source)
                        for rel in files} - {None})
    digest = hashlib.sha1()
    with open(os.path.abspath(__file__), "rb") as file:
        digest.update(file.read())
    for folder, _, names in sorted(os.walk(os.path.join(scratch.source, "src"))):
        for name in sorted(n for n in names if n.endswith(".h")):
            with open(os.path.join(folder, name), "rb") as file:
                digest.update(file.read())
    cache = os.path.join(scratch.folder, "sites")
    os.makedirs(cache, exist_ok=True)
    to_parse, results = [], []
    for unit in units:
        arguments = compile_arguments(entries[unit])
        key = digest.copy()
        key.update(json.dumps([unit, arguments]).encode())
        with open(os.path.join(scratch.source, unit), "rb") as file:
            key.update(file.read())
        cached = os.path.join(cache, key.hexdigest() + ".json")
        if os.path.exists(cached):
            with open(cached) as file:
                results.append(json.load(file))
        else:
            to_parse.append((cached, (os.path.join(scratch.source, unit), arguments, scratch.source)))
    if to_parse:
        with concurrent.futures.ProcessPoolExecutor(jobs) as pool:
            for (cached, job), result in zip(to_parse, pool.map(parse_unit, [job for _, job in to_parse])):
                if "errors" in result:
                    fail(f"libclang cannot read {os.path.relpath(job[0], scratch.source)}: "
                         + "; ".join(result["errors"]))
                with open(cached, "w") as file:
                    json.dump(result, file)
                results.append(result)
    sites = name_sites([site for result in results for site in result["sites"]])
    if files is not None:
        sites = [site for site in sites if site["file"] in files]
    return sites, units


def unit_for_header(header, units, source):
    """A translation unit that includes the header: its own .cpp beside it, or the first that names it."""
    own = header[:-2] + ".cpp"
    if own in units:
        return own
    name = os.path.basename(header)
    for unit in units:
        with open(os.path.join(source, unit), errors="replace") as file:
            if re.search(r'#include\s+"[^"]*\b' + re.escape(name) + '"', file.read()):
                return unit
    return None


def main():
    parser = argparse.ArgumentParser(
        prog="scripts/mutants.sh", description=__doc__.split("\n")[0],
        epilog="Exit status: 0 when every mutant tried was killed or is recorded in " + EQUIVALENTS + " (or, with "
        "--min-killed, enough were killed), 1 when one survived or a record there is stale, 2 for an error. MUTANTS_DIR moves the scratch folder "
        "(build-mutants), MUTANTS_JOBS sets how many mutants run at once.")
    parser.add_argument("--generate", action="store_true", help="the generated mutants of all of src/")
    parser.add_argument("--files", nargs="+", metavar="F", help="only the sites in these files")
    parser.add_argument("--changed", nargs="?", const="", metavar="BASE",
                        help="only the sites on lines the work tree adds or alters against BASE")
    parser.add_argument("--sample", type=int, metavar="N", help="a random sample of N of the sites")
    parser.add_argument("--seed", default="0", metavar="S", help="the seed of the sample")
    parser.add_argument("--match", metavar="TEXT", action="append",
                        help="only the sites whose name holds TEXT (given again: or that one)")
    parser.add_argument("--list", action="store_true", help="list the sites and plant nothing")
    parser.add_argument("--report", action="store_true", help="report, but exit with 0 whatever survives")
    parser.add_argument("--min-killed", type=float, metavar="PERCENT",
                        help="fail only when fewer than PERCENT of the mutants counted were killed (by default "
                        "any survivor fails); the survivors are listed either way")
    parser.add_argument("--time-limit", type=float, metavar="SECONDS",
                        help="start no mutant after this long; those left are reported as not tried")
    parser.add_argument("--sites-of", metavar="FILE", help=argparse.SUPPRESS)
    parser.add_argument("--schema-of", metavar="FILE", help=argparse.SUPPRESS)
    options = parser.parse_args()
    if options.sites_of or options.schema_of:
        return show_file(options.sites_of or options.schema_of, bool(options.schema_of))

    started = time.monotonic()
    jobs = int(os.environ.get("MUTANTS_JOBS", os.cpu_count() or 1))
    scratch = Scratch(os.environ.get("MUTANTS_DIR", os.path.join(ROOT, "build-mutants")), jobs)
    os.makedirs(scratch.folder, exist_ok=True)
    scratch.sync()
    scratch.configure()

    files, changed, scope = None, None, "all of src/"
    if options.files:
        files = sorted({os.path.relpath(os.path.abspath(f), ROOT) for f in options.files})
        for rel in files:
            if not os.path.isfile(os.path.join(ROOT, rel)):
                fail(f"no file {rel}")
        scope = " ".join(files)
    if options.changed is not None:
        base_name, base = (options.changed, options.changed) if options.changed else default_base()
        merge_base = subprocess.run(["git", "merge-base", base, "HEAD"], cwd=ROOT, capture_output=True,
                                    text=True).stdout.strip() or base
        changed = {rel: lines for rel, lines in changed_lines(merge_base).items()
                   if rel.endswith((".cpp", ".h")) and (files is None or rel in files)}
        files = sorted(changed)
        scope = f"the lines changed since {base_name} ({merge_base[:10]}) in {len(files)} files"
        if not files:
            print(f"Mutation check: no source lines changed since {base_name}")
            return 0

    parse_started = time.monotonic()
    in_scope, units = find_sites(scratch, files, jobs)
    parse_seconds = time.monotonic() - parse_started
    sites = in_scope
    if changed is not None:
        sites = [s for s in sites if any(line in changed[s["file"]]
                                         for line in range(s["lines"][0], s["lines"][1] + 1))]
    if options.match is not None:
        sites = [s for s in sites if any(text in s["name"] for text in options.match)]
        scope += ", named with " + " or ".join(f"\"{text}\"" for text in options.match)
    if options.sample is not None:
        population = len(sites)
        sites = sorted(random.Random(options.seed).sample(sites, min(options.sample, population)),
                       key=lambda s: s["name"])
        title = f"a sample of {len(sites)} of the {population} sites (seed {options.seed}) in {scope}"
    else:
        title = f"{len(sites)} sites in {scope}"
    if options.list:
        for site in sites:
            print(f"{site['file']}:{site['lines'][0]}: {site['name']}")
        print(title)
        return 0

    # A record names a site that is gone, or (below) a mutant that now dies: either way it is stale.
    equivalents = read_equivalents()
    known = {s["name"] for s in in_scope}
    stale = [f"{name}: names no site" for name in sorted(equivalents)
             if name not in known and (files is None or name.split(": ", 1)[0] in files)]
    print(f"Mutation check, generated mutants: {title}")
    print(f"Found the sites in {parse_seconds:.0f} s ({len(units)} translation units)")
    if not sites:
        return finish(stale, [], options)

    for number, site in enumerate(sites, 1):
        site["number"] = number
    runnable, unbuildable, build_seconds = build_schemata(scratch, sites)
    print(f"Built the schemata of {len({s['file'] for s in runnable})} files with {len(runnable)} mutants "
          f"in {build_seconds:.0f} s" + (f"; {len(unbuildable)} do not build and are not counted:"
                                          if unbuildable else ""))
    for site in unbuildable:
        print(f"     does not build: {site['file']}:{site['lines'][0]}: {site['name']}")

    baseline_started = time.monotonic()
    programs = Programs(scratch)
    names = [p for p in UNIT_PROGRAMS if os.path.exists(os.path.join(scratch.build, "tests", p + "_tests"))]
    names = [p + "_tests" for p in names] + list(SCRIPT_PROGRAMS)
    work = os.path.join(scratch.folder, "work")
    clean(work)
    reached = baseline(programs, names, work, jobs)
    print(f"Ran {len(names)} test programs once without a mutant, tracing, in "
          f"{time.monotonic() - baseline_started:.0f} s")

    mutants_started = time.monotonic()
    if options.time_limit is not None:  # in a random order, so that what fits is a fair sample
        random.Random(options.seed).shuffle(runnable)
    results = run_mutants(programs, runnable, reached, work, jobs, equivalents, options.time_limit)
    mutant_seconds = time.monotonic() - mutants_started
    untried = [site for site in runnable if site["number"] not in results]
    runnable = sorted((site for site in runnable if site["number"] in results), key=lambda s: s["number"])

    killed, equivalent, survivors, ran = 0, 0, [], {}
    for site in runnable:
        verdict, program, _, _ = results[site["number"]]
        for name, tests in reached.get(site["number"], {}).items():
            ran.setdefault(name, set()).update(tests or {"(all)"})
        if site["name"] in equivalents:
            equivalent += 1
            if verdict in ("killed", "timeout"):
                stale.append(f"{site['name']}: the mutant now dies ({program})")
        elif verdict in ("killed", "timeout"):
            killed += 1
        else:
            survivors.append(site)
    counted = killed + len(survivors)
    if survivors:
        print(f"Survivors: kill each with a test, or record it in {EQUIVALENTS} with the reason why no "
              "behaviour can change:")
        for site in survivors:
            tests = reached.get(site["number"], {})
            where = "; ".join(f"{p}: " + (", ".join(sorted(t)[:3]) + (f" and {len(t) - 3} more" if len(t) > 3 else "")
                                          if t else "all") for p, t in sorted(tests.items()))
            print(f"  {site['file']}:{site['lines'][0]}: {site['name']}\n"
                  f"      {'reached by ' + where if where else 'no test reaches it'}")
    areas = {}
    for site in runnable:
        if site["name"] not in equivalents:
            tally = areas.setdefault(area(site["file"]), [0, 0])
            tally[0] += results[site["number"]][0] in ("killed", "timeout")
            tally[1] += 1
    if len(areas) > 1:
        print("By area: " + "; ".join(f"{name} {k} of {n} ({100.0 * k / n:.0f} %)"
                                      for name, (k, n) in sorted(areas.items())))
    print("Tests that ran: " + (", ".join(p if "(all)" in t else f"{p} ({len(t)} tests)"
                                          for p, t in sorted(ran.items())) or "none"))
    print(f"Killed {killed} of {counted} mutants ({100.0 * killed / counted if counted else 100:.1f} %); "
          f"{equivalent} recorded equivalent, not counted; {len(survivors)} survived; "
          f"{len(unbuildable)} do not build; {time.monotonic() - started:.0f} s in all (sites {parse_seconds:.0f} s, "
          f"build {build_seconds:.0f} s, mutants {mutant_seconds:.0f} s: "
          f"{len(runnable) / max(mutant_seconds, 0.001):.1f} mutants/s with {jobs} jobs)")
    if untried:
        print(f"Not tried within the time limit of {options.time_limit:.0f} s: {len(untried)} mutants "
              f"({len(runnable)} of {len(runnable) + len(untried)} tried)")
    return finish(stale, survivors, options, killed, counted)


def show_file(path, as_schema):
    """--sites-of and --schema-of: the sites of one file compiled on its own, or its schema (for the
    generator's test)."""
    source_root, rel = os.path.split(os.path.abspath(path))
    cindex = clang()
    unit = cindex.Index.create().parse(path, args=["-x", "c++", "-std=c++17"])
    errors = [str(d) for d in unit.diagnostics if d.severity >= cindex.Diagnostic.Error]
    if errors:
        fail("; ".join(errors[:5]))
    walker = Walker(source_root, lambda r: r == rel)
    walker.walk(unit.cursor)
    sites = name_sites(walker.sites)
    if not as_schema:
        for site in sites:
            print(site["name"])
        return 0
    for number, site in enumerate(sites, 1):
        site["number"] = number
    print(f'#include "{os.path.join(ROOT, SWITCH_HEADER)}"\n#line 1')
    sys.stdout.write(printable(schema(walker.sources[rel].text, sites)))
    return 0


def build_schemata(scratch, sites):
    """Writes the schemata and builds; a site on a line the compiler rejects is left out and the build
    tried again. Returns (the sites built, those that do not build, seconds)."""
    started = time.monotonic()
    header = f'#include "{os.path.join(scratch.source, SWITCH_HEADER)}"\n#line 1\n'
    originals, by_file = {}, {}
    for site in sites:
        by_file.setdefault(site["file"], []).append(site)
    for rel in by_file:
        with open(os.path.join(scratch.source, rel), "rb") as file:
            originals[rel] = file.read().decode("latin-1")
    unbuildable = []
    for rel, file_sites in by_file.items():
        bad = overlapping(file_sites) | {s["number"] for s in file_sites if s.get("unbuildable")}
        unbuildable += [s for s in file_sites if s["number"] in bad]
        by_file[rel] = [s for s in file_sites if s["number"] not in bad]
    for attempt in range(8):
        scratch.write_schemata({rel: header + schema(originals[rel], file_sites) if file_sites else originals[rel]
                                for rel, file_sites in by_file.items()})
        status, log = scratch.build_all()
        if status != 0:  # kept for a look at what did not build
            shutil.copy(os.path.join(scratch.folder, "build.log"),
                        os.path.join(scratch.folder, f"build-attempt-{attempt + 1}.log"))
        if status == 0:
            runnable = sorted((s for file_sites in by_file.values() for s in file_sites), key=lambda s: s["number"])
            return runnable, unbuildable, time.monotonic() - started
        dropped = 0
        for rel, file_sites in by_file.items():
            # A header may be named through the link the build makes to it in include/<module>/.
            names = re.escape(os.path.join(scratch.source, rel))
            if rel.startswith("src/"):
                names = f"(?:{names}|{re.escape(os.path.join(scratch.build, 'include'))}/[^/]+/{re.escape(rel[4:])})"
            pattern = names + r":(\d+):\d+:\s+(?:error|required from here)"
            lines = {int(line) for line in re.findall(pattern, log)}
            bad = [s for s in file_sites if lines & set(range(s["extent"][0], s["extent"][1] + 1))]
            if lines and not bad and attempt >= 4:
                bad = file_sites
            unbuildable += bad
            dropped += len(bad)
            by_file[rel] = [s for s in file_sites if s not in bad]
        if dropped == 0:
            break
    fail(f"the build fails (see {scratch.folder}/build.log)")


def run_mutants(programs, sites, reached, work, jobs, equivalents, time_limit):
    """Tries the mutants, jobs at a time, and prints each verdict as it comes; after time_limit seconds it
    starts no more."""
    results = {}
    free = list(range(jobs))
    queue = list(sites)
    started = time.monotonic()
    with concurrent.futures.ThreadPoolExecutor(jobs) as pool:
        pending = {}
        while queue or pending:
            if time_limit is not None and time.monotonic() - started > time_limit:
                queue = []
            while queue and free:
                slot, site = free.pop(), queue.pop(0)
                workspace = os.path.join(work, f"worker-{slot}")
                future = pool.submit(try_mutant, programs, site, reached.get(site["number"], {}), workspace)
                pending[future] = (slot, site)
            done, _ = concurrent.futures.wait(pending, return_when=concurrent.futures.FIRST_COMPLETED)
            for future in done:
                slot, site = pending.pop(future)
                free.append(slot)
                verdict, program, _, seconds = results[site["number"]] = future.result()
                shown = "equivalent" if site["name"] in equivalents else verdict
                print(f"{site['number']:4} {shown:10} {site['file']}:{site['lines'][0]}: {site['name']} "
                      f"({program + ', ' if program else ''}{seconds:.1f} s)", flush=True)
    return results


def area(rel):
    for prefix, name in (("src/game/", "game rules"), ("src/engine/file/", "engine file layer"),
                         ("src/tools/", "editor, importer and checker")):
        if rel.startswith(prefix):
            return name
    return "engine core, graphics, audio, app"


def finish(stale, survivors, options, killed=0, counted=0):
    for line in stale:
        print(f"Stale record in {EQUIVALENTS}: {line}")
    if options.report:
        return 0
    if options.min_killed is not None and survivors:
        rate = 100.0 * killed / counted
        enough = rate >= options.min_killed
        print(f"{'Passes' if enough else 'Fails'}: {rate:.1f} % killed, {options.min_killed:g} % asked for")
        return 1 if stale or not enough else 0
    return 1 if stale or survivors else 0


if __name__ == "__main__":
    sys.exit(main())

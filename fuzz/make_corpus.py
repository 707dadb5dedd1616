#!/usr/bin/env python3
"""Writes the seed corpora of the text targets into fuzz/corpus/<target>/
from the cases of the tests themselves: the SQL the client sends and the
server tests feed it, the filter expressions and the search texts. The seeds
of the binary formats come from corpus_maker (built with the fuzz preset),
which this script runs when it is given its path.

    fuzz/make_corpus.py [build/fuzz/fuzz/corpus_maker]

Seeds are named by the SHA-1 of their bytes, so running it again adds
nothing twice; files already in a corpus (such as the inputs of earlier
findings) are kept.
"""
import hashlib
import os
import re
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
CORPUS = os.path.join(ROOT, "fuzz", "corpus")
MAX_SEED = 2048

LITERAL = re.compile(r'"((?:[^"\\\n]|\\.)*)"')
ESCAPES = {"n": b"\n", "r": b"\r", "t": b"\t", "\\": b"\\", '"': b'"', "'": b"'", "0": b"\0"}


def unescape(text):
    out = bytearray()
    i = 0
    raw = text.encode("utf-8")
    while i < len(raw):
        c = raw[i:i + 1]
        if c != b"\\":
            out += c
            i += 1
            continue
        e = raw[i + 1:i + 2].decode("latin-1")
        if e == "x":
            m = re.match(rb"[0-9a-fA-F]{1,2}", raw[i + 2:])
            out.append(int(m.group(0), 16))
            i += 2 + len(m.group(0))
        elif e in ESCAPES:
            out += ESCAPES[e]
            i += 2
        else:
            out += raw[i:i + 2]
            i += 2
    return bytes(out)


def literals(path):
    with open(os.path.join(ROOT, path), encoding="utf-8") as f:
        return [unescape(m.group(1)) for m in LITERAL.finditer(f.read())]


def write(target, seeds):
    folder = os.path.join(CORPUS, target)
    os.makedirs(folder, exist_ok=True)
    for seed in seeds:
        if len(seed) > MAX_SEED:
            continue
        name = hashlib.sha1(seed).hexdigest()
        with open(os.path.join(folder, name), "wb") as f:
            f.write(seed)


SQL_START = re.compile(rb"^\s*(select|insert|update|delete|begin|commit|rollback|declare)\b", re.I)
SQL_FILES = [
    "tests/server/client_statements.h",
    "tests/server/oracle_translator_test.cpp",
    "tests/server/oracle_statements_test.cpp",
    "tests/server/sql_tokenizer_test.cpp",
    "tests/server/sql_garbage_test.cpp",
    "tests/server/sql_dialect_test.cpp",
    "tests/server/requisition_rules_test.cpp",
]


def sql_seeds():
    seeds = set()
    for path in SQL_FILES:
        for text in literals(path):
            if SQL_START.match(text):
                seeds.add(text)
    # The tokenizer's own cases are mostly fragments: take them all.
    for text in literals("tests/server/sql_tokenizer_test.cpp"):
        if text:
            seeds.add(text)
    return seeds


def filter_seeds():
    # One byte of filter options, then the expression.
    return {bytes([0]) + t for t in literals("tests/data/filter_test.cpp") if t}


SEARCH_CASE = re.compile(r'\{("(?:[^"\\\n]|\\.)*"),\s*([TINDY]|data::sk\w+|\d+),\s*(true|false)')
KIND_INDEX = {"T": 0, "I": 1, "N": 2, "D": 3, "Y": 4}


def search_seeds():
    seeds = set()
    with open(os.path.join(ROOT, "tests/data/search_condition_test.cpp"), encoding="utf-8") as f:
        source = f.read()
    for m in SEARCH_CASE.finditer(source):
        text = unescape(m.group(1)[1:-1])
        kind = KIND_INDEX.get(m.group(2), 0)
        choice = kind | (0x80 if m.group(3) == "true" else 0)
        seeds.add(bytes([choice]) + text)
    return seeds


def main():
    sql = sql_seeds()
    for target in ("sql_tokenizer_fuzz", "sql_parser_fuzz", "oracle_translator_fuzz"):
        write(target, sql)
    write("filter_expression_fuzz", filter_seeds())
    write("search_condition_fuzz", search_seeds())
    if len(sys.argv) > 1:
        subprocess.run([sys.argv[1], CORPUS], check=True)


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Generate ldt3/LDT3.ERegelnTable.cpp, the built-in table of the E-rule values.

Usage: gen_etable.py DESCRIPTION.md EVALUES.tsv OUTPUT.cpp

DESCRIPTION.md is the system description in Markdown. It gives, in table
order, the values of every E-rule, the meanings of a few rules (E001, E004,
E005, E028, E036, E066), the object-attribute rules (one value each: the name
of the field that names the rule) and the field names with their E-rules.

EVALUES.tsv (columns Regel, Wert, Bedeutung, Hinweis; UTF-8; one header line)
holds the meanings of the LDT 3 rule table for all other values. A value
without meaning there stays without meaning.

The meanings that the description states always win. The script stops with
an error when the two sources do not list the same values in the same order,
so a faulty source never produces a silently different table.
"""

import csv
import re
import sys

EXPECTED_VALUES = 682
EXPECTED_RULES = 158


def fail(msg):
    sys.exit("gen_etable: " + msg)


def line_after(lines, anchor):
    """The first non-empty line after the line that starts with anchor."""
    for i, line in enumerate(lines):
        if line.startswith(anchor):
            for nxt in lines[i + 1:]:
                if nxt.strip():
                    return nxt.strip()
    fail("anchor not found: " + anchor)


def bullets_after(lines, anchor):
    """The '- ' bullet lines of the block that follows the anchor line."""
    for i, line in enumerate(lines):
        if line.startswith(anchor):
            out = []
            for nxt in lines[i + 1:]:
                if nxt.startswith("- "):
                    out.append(nxt.rstrip("\n"))
                elif nxt.strip() and out:
                    break
            return out
    fail("anchor not found: " + anchor)


def rule_no(name):
    m = re.fullmatch(r"E(\d{3})", name)
    if not m:
        fail("bad rule name: " + name)
    return int(m.group(1))


def parse_value_lists(lines):
    """rule -> list of values, from '- E004: 8220; 8221; ...' bullets."""
    lists = {}
    for b in bullets_after(lines, "Values of every other rule, in table order"):
        m = re.fullmatch(r"- (E\d{3}): (.*)", b)
        if not m:
            fail("bad value line: " + b)
        body = m.group(2)
        if body == "the empty content only.":
            values = [""]
        else:
            if not body.endswith("."):
                fail("value line without final point: " + b)
            values = body[:-1].split("; ")
        rule = rule_no(m.group(1))
        if rule in lists:
            fail("rule listed twice: " + m.group(1))
        lists[rule] = values
    return lists


ITEM_RE = re.compile(r'(?P<lhs>[^=;]+?) = (?P<rhs>"[^"]*"|[^;"]*?)(?:; |\.\s+|\.$|$)')


def parse_telling(lines):
    """rule -> {value: meaning}, from '- E004 (...): 8220 = "..."; ...' bullets."""
    meanings = {}
    for b in bullets_after(lines, "Telling rules with their meanings"):
        m = re.fullmatch(r"- (E\d{3}) \((.*?)\): (.*)", b)
        if not m:
            fail("bad meaning line: " + b)
        rule = rule_no(m.group(1))
        body = m.group(3)
        items = {}
        pos = 0
        while pos < len(body) and " = " in body[pos:]:
            im = ITEM_RE.match(body, pos)
            if not im:
                fail("cannot read meanings of E%03d at: %s" % (rule, body[pos:]))
            lhs, rhs = im.group("lhs").strip(), im.group("rhs").strip()
            if rhs.startswith('"'):
                rhs = rhs[1:-1]
            if lhs == "the empty content":
                keys = [""]
            else:
                keys = lhs.split(" and ")
            for k in keys:
                if k in items:
                    fail("meaning given twice: E%03d %s" % (rule, k))
                items[k] = rhs
            pos = im.end()
        meanings[rule] = items
    return meanings


def parse_range_list(text):
    """'E071–E113, E115 and E158–E162' -> set of rule numbers."""
    rules = set()
    for a, b in re.findall(r"E(\d{3})(?:–E(\d{3}))?", text):
        lo = int(a)
        hi = int(b) if b else lo
        rules.update(range(lo, hi + 1))
    return rules


def parse_object_rules(text):
    """rule -> value for the object-attribute rules."""
    m = re.search(r"Object-attribute rules:.*?These are (.*?); (E\d{3}) \(value \"([^\"]+)\"\)", text)
    if not m:
        fail("object-attribute rules not found")
    ranged = parse_range_list(m.group(1))
    extra_rule, extra_value = rule_no(m.group(2)), m.group(3)

    lines = text.splitlines()
    names = {}
    for item in re.split(r"; (?=\d{4} )", line_after(lines, "FK and name of every entry, in table order:").rstrip(".")):
        fk, name = item.split(" ", 1)
        names[int(fk)] = name
    fk_rule = {}
    for item in line_after(lines, "E-rules (FK and its E-rule").rstrip(".").split("; "):
        fk, rule = item.split(" ")
        fk_rule[int(fk)] = rule_no(rule)

    values = {}
    for fk, rule in fk_rule.items():
        if rule in ranged:
            if rule in values:
                fail("object-attribute rule named by two fields: E%03d" % rule)
            values[rule] = names[fk]
    if set(values) != ranged:
        fail("object-attribute rules without field: %s" % sorted(ranged - set(values)))
    values[extra_rule] = extra_value
    return values


def read_tsv(path):
    rows = []
    with open(path, encoding="utf-8", newline="") as f:
        reader = csv.reader(f, delimiter="\t", quoting=csv.QUOTE_NONE)
        header = next(reader)
        if header[:3] != ["Regel", "Wert", "Bedeutung"]:
            fail("unexpected TSV header: %s" % header)
        for r in reader:
            if not r:
                continue
            bedeutung = r[2].replace("\\n", "\n").replace("\\t", "\t")
            rows.append((rule_no(r[0]), r[1].replace("\u2212", "-"), bedeutung))
    return rows


def c_string(s):
    out = []
    for ch in s:
        if ch == "\\":
            out.append("\\\\")
        elif ch == '"':
            out.append('\\"')
        elif ch == "\n":
            out.append("\\n")
        elif ch == "\t":
            out.append("\\t")
        elif ord(ch) < 0x20:
            out.append("\\x%02x" % ord(ch))
        else:
            out.append(ch)
    return 'u"' + "".join(out) + '"'


def main():
    if len(sys.argv) != 4:
        fail("usage: gen_etable.py DESCRIPTION.md EVALUES.tsv OUTPUT.cpp")
    with open(sys.argv[1], encoding="utf-8") as f:
        text = f.read()
    lines = text.splitlines()

    lists = parse_value_lists(lines)
    telling = parse_telling(lines)
    objects = parse_object_rules(text)
    for rule, value in objects.items():
        if rule in lists:
            fail("E%03d is both an object-attribute rule and a listed rule" % rule)
        lists[rule] = [value]

    table = []
    for rule in sorted(lists):
        for value in lists[rule]:
            table.append((rule, value))
    if len(table) != EXPECTED_VALUES or len(lists) != EXPECTED_RULES:
        fail("%d values in %d rules, expected %d in %d" % (len(table), len(lists), EXPECTED_VALUES, EXPECTED_RULES))
    if len(set(table)) != len(table):
        fail("a rule has a value twice")

    tsv = read_tsv(sys.argv[2])
    if [(r, v) for r, v, _ in tsv] != table:
        for i, (a, b) in enumerate(zip([(r, v) for r, v, _ in tsv], table)):
            if a != b:
                fail("value %d differs: TSV %s, description %s" % (i + 1, a, b))
        fail("the TSV has %d values, the description %d" % (len(tsv), len(table)))

    rows = []
    for (rule, value), (_, _, tsv_meaning) in zip(table, tsv):
        if rule in telling:
            if value not in telling[rule]:
                fail("no meaning given for E%03d %r" % (rule, value))
            meaning = telling[rule][value]
        elif rule in objects:
            meaning = value
        else:
            meaning = tsv_meaning
        rows.append((rule, value, meaning))
    for rule, items in telling.items():
        extra = set(items) - set(lists.get(rule, []))
        if extra:
            fail("meanings of unknown values of E%03d: %s" % (rule, sorted(extra)))

    with open(sys.argv[3], "w", encoding="utf-8", newline="\n") as out:
        out.write("// generated by tools/gen_etable.py, do not edit\n")
        out.write("// The permitted values of the E-rules and their meanings, in table order:\n")
        out.write("// %d values in %d rules.\n" % (len(rows), len(lists)))
        out.write('#include "LDT3.ERegeln.h"\n\n')
        out.write("const TLDT3ETableRow LDT3ETable[] = {\n")
        for rule, value, meaning in rows:
            out.write("    {%d, %s, %s},\n" % (rule, c_string(value), c_string(meaning)))
        out.write("};\n\n")
        out.write("const int LDT3ETableCount = int(sizeof(LDT3ETable) / sizeof(LDT3ETable[0]));\n")


if __name__ == "__main__":
    main()

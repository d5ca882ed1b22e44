#!/usr/bin/env python3
"""Generates languages/Parlan English/Englishr.ttg, the English letter-to-sound rules.

The rules are the English rules of NRL Report 7948 (Elovitz, Johnson, McHugh, Shore, 1976),
read from scripts/english/nrl-1976-english-rules.tsv, written in the rule file format:

  NRL symbol                       here
  ' ' word boundary                _
  #   one or more vowels           :1          (class 1 a,e,i,o,u,y)
  :   zero or more consonants      ;2          (class 2, the other letters)
  ^   one consonant                2
  .   voiced consonant             3
  +   front vowel                  4
  '   apostrophe                   10          (', and the typographic one)
  &   sibilant                     5 right of the focus, 6 left of it (members reversed)
  @   consonant before long u      7 right, 8 left (members reversed)
  %   suffix ER E ES ED ING + end  one rule per suffix, the right context ending in "er,_" ...

In a left context "^:" (one consonant, then any more) is written ":2" and "##" ":1,1": the
matcher lets each item take all it can, so the NRL spelling would never match there.

Left contexts are written in reading order, one letter or class per item (the matcher reads
them outward from the focus over the reversed text, which is why the multi-letter members of
classes 6 and 8 are written reversed).

Each NRL rule becomes up to four rules, tried in this order:
  1. first vowel and end of word: stress mark and word end,
  2. first vowel of the word: "'" before its first full vowel,
  3. end of word: the word end (a tab) after the phonemes,
  4. the rule itself.
"First vowel" means the text before the focus holds only consonants back to the start of the
word (class 9: the consonants, y, the apostrophe, and "qu"/"gu" whose u is no vowel). When the
phonemes of such a rule hold only reduced vowels (a schwa, or the prefixes be- and de-), the
stress mark is put after them, so that the next syllable takes the stress. A rule whose left
context cannot be the start of a word gets no stressed form, and one whose right context
cannot be the end of a word no final form.

Results are eSpeak NG en-us mnemonics (arpabet-to-espeak-en-us.tsv): a vowel followed by R in
one rule becomes eSpeak's r-coloured vowel (A@, o@, e@, U@, i@3), keeping the r before a vowel;
ER is 3: when stressed and 3 otherwise; a word-final unstressed IY is the short i; AA spelled
with o is the "lot" vowel 0.

Added to the NRL rules: a doubled consonant letter is silent after the first; d before g and a
front vowel and t before ch are silent, rh is r; the apostrophe rules (the NRL punctuation
rules for 's and '), the same for the typographic apostrophe; the hyphen and the ellipsis
(silent: the normalisation makes them word and phrase ends); common accented Latin letters.

Usage: make-english-rules.py [output path]
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import english_common as ec  # noqa: E402

VOWEL_LETTERS = "aeiouy"
CONSONANTS = "bcdfghjklmnpqrstvwxz"

CLASSES = [
    ("vowels", ",".join(VOWEL_LETTERS)),
    ("consonants", ",".join(CONSONANTS)),
    ("voiced consonants", "b,d,v,g,j,l,m,n,r,w,z"),
    ("front vowels", "e,i,y"),
    ("sibilants, right of the focus", "s,c,g,z,x,j,ch,sh"),
    ("sibilants, left of the focus (read backwards)", "s,c,g,z,x,j,hc,hs"),
    ("long-u consonants, right of the focus", "t,s,r,d,l,z,n,j,th,ch,sh"),
    ("long-u consonants, left of the focus (read backwards)", "t,s,r,d,l,z,n,j,ht,hc,hs"),
    ("letters before the first vowel (read backwards)", ",".join(CONSONANTS) + ",y,',uq,ug"),
    ("apostrophes", "',\u2019"),
]
FIRST_VOWEL = "9"

# Items that only ever consume consonant letters (for the first-vowel test).
CONSONANT_ITEMS = {";2", ":2", "2", "3", "6", "8"} | set(CONSONANTS)

SYMBOLS = {"'": "10", " ": "_", "#": ":1", ":": ";2", "^": "2", ".": "3", "+": "4"}
SYMBOLS_LEFT = {**SYMBOLS, "&": "6", "@": "8"}
SYMBOLS_RIGHT = {**SYMBOLS, "&": "5", "@": "7"}
# Rules put before the NRL rules of their letter: d before g+front vowel and t before ch are
# silent (judge, watch), rh is r (rhythm).
GROUP_OPENERS = {
    "d": [("", "D", "G+", [])],
    "t": [("", "T", "CH", [])],
    "r": [("", "RH", "", ["R"])],
}

# A doubled consonant letter is one sound: the second letter is silent.
DOUBLED = set("bdfkmnprtvz")
SUFFIXES = ["er", "e", "es", "ed", "ing"]

# Prefix rules whose vowel is unstressed (the stress goes to the next syllable).
REDUCED_PREFIXES = {("_", "be"), ("_", "de")}

EXTRA_RULES = [
    # The apostrophe: 's after voiced sounds is z; otherwise the apostrophe is silent.
    ("'", ".", "'s", "", ["Z"]),
    ("'", "#:.E", "'s", "", ["Z"]),
    ("'", "#", "'s", "", ["Z"]),
    ("'", "", "'", "", []),
    ("\u2019", ".", "\u2019s", "", ["Z"]),
    ("\u2019", "#:.E", "\u2019s", "", ["Z"]),
    ("\u2019", "#", "\u2019s", "", ["Z"]),
    ("\u2019", "", "\u2019", "", []),
    ("-", "", "-", "", []),
    ("\u2026", "", "\u2026", "", []),
]

# Accented letters of words borrowed from French, Spanish, German and Scandinavian languages.
ACCENTED = [
    ("\u00e0\u00e1\u00e2\u00e3\u00e4\u00e5", ["AA"]), ("\u00e6", ["EY"]), ("\u00e7", ["S"]),
    ("\u00e8\u00ea\u00eb", ["EH"]), ("\u00e9", ["EY"]), ("\u00ec\u00ed\u00ee\u00ef", ["IY"]),
    ("\u00f1", ["N", "Y"]), ("\u00f2\u00f3\u00f4\u00f5", ["OW"]), ("\u00f6\u00f8", ["ER"]),
    ("\u00f9\u00fa\u00fb\u00fc", ["UW"]), ("\u00fd\u00ff", ["IY"]), ("\u00df", ["S"]),
    ("\u0153", ["ER"]),
]


def read_nrl(path=os.path.join(ec.DATA, "nrl-1976-english-rules.tsv")):
    """(group, left, focus, right, phonemes) of the NRL letter rules, upper case as published."""
    rules = []
    with open(path, encoding="utf-8") as f:
        for line in f:
            if line.startswith("#") or line.startswith("group\t"):
                continue
            group, left, focus, right, phones = line.rstrip("\n").split("\t")
            if not group.endswith("RULE") or group in ("PUNCTRULE", "NUMBERRULE"):
                continue
            # The published table sets the apostrophe apart with blanks ("ON ' T", "' ^:").
            focus = focus.replace(" ' ", "'").replace("' ", "'").replace(" '", "'")
            left = left.replace("' ", "'")
            right = right.replace(" '", "'")
            rules.append((group, left, focus, right, phones.split()))
    return rules


def context_items(text, side):
    """Item lists of an NRL context; "%" on the right gives one list per suffix."""
    symbols = SYMBOLS_LEFT if side == "left" else SYMBOLS_RIGHT
    if side == "left":
        # Read outward from the focus, each item takes all it can: a consonant followed by
        # zero or more consonants is one or more consonants, and two vowel runs are a vowel
        # run ending in one vowel.
        text = text.replace("^:", "\x01").replace("##", "\x02")
    lists = [[]]
    for ch in text:
        if ch == "\x01":
            lists = [items + [":2"] for items in lists]
            continue
        if ch == "\x02":
            lists = [items + [":1", "1"] for items in lists]
            continue
        if ch == "%":
            assert side == "right"
            lists = [items + [s, "_"] for items in lists for s in SUFFIXES]
        elif ch in symbols:
            lists = [items + [symbols[ch]] for items in lists]
        else:
            lists = [items + [ch.lower()] for items in lists]
    return lists


def joined(items):
    return ",".join(items) if items else "*"


def stressed_left(items):
    """(left items of the first-vowel form, whether the rule itself is that form) or None."""
    if not items:
        return ["_", ";" + FIRST_VOWEL], False
    body = items[1:] if items[0] == "_" else items
    if not all(it in CONSONANT_ITEMS for it in body):
        return None
    if items[0] == "_":
        return items, True
    return ["_", ";" + FIRST_VOWEL] + items, False


def can_end_word(items):
    """Whether the right context fits at the end of the word; and whether it fits only there."""
    if not items:
        return True, False
    if items == ["_"]:
        return True, True
    return all(it.startswith(";") or it == "_" for it in items), False


def vowel_follows(items):
    if not items:
        return False
    first = items[0]
    return first in (":1", "4") or first in VOWEL_LETTERS or first in SUFFIXES


def expand(left_items, focus, right_items, phones, reduced_first=False):
    """The rule lines of one rule: stressed and word-final forms first, the rule last."""
    has_vowel = any(p in ec.VOWELS for p in phones)
    short_o = bool(focus) and all(c in "o" for c in focus if c in VOWEL_LETTERS) and "o" in focus
    lefts = []
    stress = stressed_left(left_items) if has_vowel else None
    if stress and not stress[1]:
        lefts.append((stress[0], True))
    lefts.append((left_items, bool(stress and stress[1])))
    ends, only_end = can_end_word(right_items)
    rights = []
    if ends and not only_end:
        rights.append((["_"], True))
    rights.append((right_items, only_end))
    forms = {}
    for left, stressed in lefts:
        for right, final in rights:
            result = ec.to_espeak(phones, stress=stressed, final=final, short_o=short_o,
                                  vowel_follows=vowel_follows(right),
                                  reduced_first=reduced_first)
            if final:
                result += ec.WORD_END
            forms[(left is not left_items, right is not right_items)] = (left, right, result)
    # A special form whose result is that of the form it falls back to is left out.
    base = forms[(False, False)][2]
    fallback = {(True, True): (True, False), (True, False): (False, False),
                (False, True): (False, False)}
    lines = []
    for key in [(True, True), (True, False), (False, True), (False, False)]:
        if key not in forms:
            continue
        left, right, result = forms[key]
        back = fallback.get(key)
        while back is not None and back not in forms:
            back = fallback.get(back)
        if back is not None and forms[back][2] == result:
            continue
        lines.append(f"{joined(left)}[{focus}]{joined(right)}={result}")
    assert lines[-1].endswith("=" + base)
    return lines


def rule_lines():
    groups = {}
    order = []

    def add(group, left, focus, right, phones, reduced_first=False):
        if group not in groups:
            groups[group] = []
            order.append(group)
        for l_items in context_items(left, "left"):
            for r_items in context_items(right, "right"):
                groups[group].extend(expand(l_items, focus.lower(), r_items, phones,
                                            reduced_first))

    for group, left, focus, right, phones in read_nrl():
        letter = focus[0].lower()
        if letter not in groups:
            for left_, focus_, right_, phones_ in GROUP_OPENERS.get(letter, []):
                add(letter, left_, focus_, right_, phones_)
            if letter in DOUBLED:
                add(letter, letter.upper(), letter, "", [])
        reduced = (joined(context_items(left, "left")[0]), focus.lower()) in REDUCED_PREFIXES
        add(letter, left, focus, right, phones, reduced)
    for group, left, focus, right, phones in EXTRA_RULES:
        add(group, left, focus, right, phones)
    for letters, phones in ACCENTED:
        for ch in letters:
            add(ch, "", ch, "", phones)
    lines = []
    for g in order:
        seen = set()
        for line in groups[g]:
            # A rule after one with the same focus and contexts could never apply.
            key = line[: line.index("=")]
            if key not in seen:
                seen.add(key)
                lines.append(line)
    return lines


def file_lines():
    rules = rule_lines()
    for r in rules:
        assert "END" not in r and not r.startswith("'"), r
    out = [
        "' Parlan English: letter-to-sound rules.",
        "' Generated by scripts/make-english-rules.py from the English rules of NRL Report 7948",
        "' (Elovitz, Johnson, McHugh and Shore, 1976). Edit it by hand as you like (then run",
        "' parlan check and parlan test on the folder), or change the script and run it again:",
        "' it writes this file anew, so edits made here by hand are then lost.",
        "' Results are eSpeak NG en-us phoneme mnemonics. A ' stands before the stressed vowel",
        "' of a word's first syllable; every word's phonemes end in a tab, which keeps the words",
        "' apart once the blanks between rule results are removed.",
        "LANGUAGE=English",
        "WILD CARDS",
    ]
    for n, (name, members) in enumerate(CLASSES, 1):
        assert "RULES" not in name.upper()  # such a comment would end the class section
        out.append(f"' {name}")
        out.append(f"{n} {members}")
    out.append("RULES")
    out.extend(rules)
    out.append("END")
    return out


def main():
    path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ec.LANGUAGE_DIR, "Englishr.ttg")
    lines = file_lines()
    ec.write_utf16_lines(path, lines)
    print(f"{path}: {len([l for l in lines if '[' in l and not l.startswith(chr(39))])} rules")


if __name__ == "__main__":
    main()

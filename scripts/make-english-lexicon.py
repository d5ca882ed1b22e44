#!/usr/bin/env python3
"""Writes the CMU pronouncing lexicon as a learning lexicon for `parlan learn`.

One line per word: the word, a tab, and its phonemes in eSpeak NG en-us mnemonics separated by
blanks, a "'" before every stressed vowel (Festival's copy of the lexicon marks stressed
syllables without telling primary from secondary). The mapping is the one of the exception
dictionary (arpabet-to-espeak-en-us.tsv, r-coloured vowels as one mnemonic), so that rules and
dictionary speak alike. Only words of a-z and "'" are written, with their first pronunciation.

Usage: make-english-lexicon.py [--output PATH]   (standard output by default)
"""

import argparse
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import english_common as ec  # noqa: E402


def vowel_symbol(word, phones, i, s):
    p = phones[i]
    if p == "AH":
        return "V" if s > 0 else "@"
    if p == "ER":
        return "3:" if s > 0 else "3"
    if p == "IY":
        return "i" if s == 0 and i == len(phones) - 1 else "i:"
    if p == "AA":
        return "0" if "o" in word and "a" not in word else "A:"
    return ec.ESPEAK[p]


def lexicon_tokens(word, phones, stresses):
    """The eSpeak mnemonics of one pronunciation, one per phoneme."""
    out = []
    i = 0
    while i < len(phones):
        p, s = phones[i], stresses[i]
        mark = "'" if p in ec.VOWELS and s > 0 else ""
        nxt = phones[i + 1] if i + 1 < len(phones) else None
        if p in ec.R_COLOURED and nxt == "R":
            out.append(mark + ec.R_COLOURED[p])
            after = phones[i + 2] if i + 2 < len(phones) else None
            if after in ec.VOWELS:
                out.append("r")
            i += 2
            continue
        out.append(mark + vowel_symbol(word, phones, i, s) if p in ec.VOWELS else ec.ESPEAK[p])
        i += 1
    return out


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--output", default="-")
    args = ap.parse_args()
    lexicon = ec.read_lexicon()
    out = sys.stdout if args.output == "-" else open(args.output, "w", encoding="utf-8")
    for word in sorted(lexicon):
        if not re.fullmatch(r"[a-z']+", word) or not re.search("[a-z]", word):
            continue
        phones, stresses = lexicon[word][0]
        out.write(word + "\t" + " ".join(lexicon_tokens(word, phones, stresses)) + "\n")
    if out is not sys.stdout:
        out.close()


if __name__ == "__main__":
    main()

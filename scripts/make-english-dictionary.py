#!/usr/bin/env python3
"""Generates languages/Parlan English/Englishe.ttg, the English exception dictionary.

The entries are the most frequent words whose pronunciation the letter rules get wrong:
  1. every word of the frequency list (scripts/english/en-us-word-frequency.tsv) that the CMU
     pronouncing lexicon knows is converted with the generated rule file Englishr.ttg;
  2. the phones of the result are compared with the lexicon's, stress ignored (the comparison
     of english_common: eSpeak mnemonics read back as ARPAbet-like phones, AX read as AH);
     a word is right when it matches any of the lexicon's pronunciations;
  3. the most frequent wrong words, up to the limit, become entries; the replacement is the
     lexicon's first pronunciation in eSpeak en-us mnemonics, with "'" before each stressed
     vowel (the lexicon does not tell primary from secondary stress) and the word end (a tab)
     after it, the same notation as the rule results.
Function words (articles, prepositions, conjunctions, pronouns, auxiliaries) come first, with
their lexicon pronunciation and no stress mark, unless the rules already say them so.
Entries are written in alphabetical order, so the words of one first letter stand together.

Usage: make-english-dictionary.py [--limit N] [--rules PATH] [--output PATH]
"""

import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import english_common as ec  # noqa: E402

# Function words are said without stress in running speech: they get entries without a
# stress mark (eSpeak NG stresses a phrase made of nothing else by itself).
FUNCTION_WORDS = """a an the and or but nor of to in on at for with from by as into onto than
is are was were be been am has have had do does did can could will would shall should may might
must i me my he him his she her it its we us our you your they them their""".split()

R_COLOURED = {"AA": "A@", "AO": "o@", "EH": "e@", "UH": "U@", "IH": "i@3", "IY": "i@3"}


def lexicon_to_espeak(word, phones, stresses):
    """eSpeak en-us mnemonics of a lexicon pronunciation (phones with their stress digits)."""
    out = []
    i = 0
    while i < len(phones):
        p, s = phones[i], stresses[i]
        mark = "'" if p in ec.VOWELS and s > 0 else ""
        nxt = phones[i + 1] if i + 1 < len(phones) else None
        if p in R_COLOURED and nxt == "R":
            after = phones[i + 2] if i + 2 < len(phones) else None
            out.append(mark + R_COLOURED[p] + ("r" if after in ec.VOWELS else ""))
            i += 2
            continue
        if p == "AH":
            sym = "V" if s > 0 else "@"
        elif p == "ER":
            sym = "3:" if s > 0 else "3"
        elif p == "IY":
            sym = "i" if s == 0 and i == len(phones) - 1 else "i:"
        elif p == "AA":
            sym = "0" if "o" in word and "a" not in word else "A:"
        else:
            sym = ec.ESPEAK[p]
        out.append(mark + sym)
        i += 1
    return "".join(out) + ec.WORD_END


def failures(rules, lexicon, frequencies):
    """(probability, word) of the words the rules get wrong, most frequent first, found as they
    are asked for (a large learned rule file is slow to run in Python)."""
    for word, prob in frequencies:
        refs = lexicon.get(word)
        if not refs:
            continue
        result = rules.convert(word)
        phones = ec.espeak_to_phones("".join(result)) if result is not None else None
        correct, _, _ = ec.score(phones, refs)
        if not correct:
            yield prob, word


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--limit", type=int, default=3000)
    ap.add_argument("--rules", default=os.path.join(ec.LANGUAGE_DIR, "Englishr.ttg"))
    ap.add_argument("--output", default=os.path.join(ec.LANGUAGE_DIR, "Englishe.ttg"))
    args = ap.parse_args()

    lexicon = ec.read_lexicon()
    frequencies = ec.read_frequencies()
    rules = ec.read_rule_file(args.rules)
    entries = {}
    for word in FUNCTION_WORDS:
        phones, stresses = lexicon[word][0]
        entries[word] = lexicon_to_espeak(word, phones, [0] * len(phones))
        if "".join(rules.convert(word)) == entries[word]:
            del entries[word]
    for _, word in failures(rules, lexicon, frequencies):
        if len(entries) >= args.limit:
            break
        if word not in entries:
            phones, stresses = lexicon[word][0]
            text = lexicon_to_espeak(word, phones, stresses)
            # A few pronunciations do not survive the mnemonics (er before r reads as one
            # sound): such a word is left to the rules rather than given a wrong entry.
            if ec.score(ec.espeak_to_phones(text), lexicon[word])[0]:
                entries[word] = text
    for word, text in entries.items():
        assert ec.score(ec.espeak_to_phones(text), lexicon[word])[0], (word, text)
    lines = [
        "Parlan English: exception dictionary.",
        "Generated by scripts/make-english-dictionary.py: the most frequent words that the",
        "letter rules get wrong, with their pronunciation from the CMU pronouncing lexicon in",
        "eSpeak NG en-us mnemonics. Every replacement ends in a tab, the word end.",
        "Edit it by hand as you like, keeping the entries in order; running the script again",
        "writes it anew from the rules and the lexicon, and hand edits are then lost.",
        "EXCEPT",
    ]
    lines += [f"{w} --> {entries[w]}" for w in sorted(entries)]
    lines.append("END")
    ec.write_utf16_lines(args.output, lines)
    print(f"{args.output}: {len(entries)} entries")


if __name__ == "__main__":
    main()

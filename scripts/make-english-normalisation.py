#!/usr/bin/env python3
"""Generates languages/Parlan English/Englishn.ttg, the English normalisation rules.

The file is written in UTF-16 LE with CR LF line ends; this script holds its content.

Whole-phrase replacements (marked " **") apply anywhere in a word, before the dots are read as
phrase ends: symbols, and abbreviations written with dots. The hyphen and the dashes are
replaced by nothing, which splits a hyphenated word into its words. No replacement holds its
own key, and no number word holds a digit.

Abbreviations (unmarked) are expanded where they stand as a token of their own; they are
listed grouped by their first character.

Usage: make-english-normalisation.py [output path]
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import english_common as ec  # noqa: E402

LOCALE = 1033   # English (United States)
CHARSET = 0     # ANSI

NUMBER_WORDS = ["zero", "one", "two", "three", "four", "five", "six", "seven", "eight", "nine"]

WHOLE_PHRASES = [
    ("...", "\u2026"), ("..", "\u2026"),
    ("e.g.", "for example"), ("i.e.", "that is"), ("etc.", "et cetera"), ("vs.", "versus"),
    ("a.m.", "ay em"), ("p.m.", "pee em"),
    ("Mr.", "mister"), ("Mrs.", "missus"), ("Ms.", "miz"), ("Dr.", "doctor"),
    ("Prof.", "professor"), ("Jr.", "junior"), ("Sr.", "senior"),
    ("&", "and"), ("%", "percent"), ("+", "plus"), ("@", "at"), ("=", "equals"),
    ("#", "number"), ("$", "dollars"), ("\u20ac", "euros"), ("\u00a3", "pounds"),
    ("\u00b0C", "degrees Celsius"), ("\u00b0F", "degrees Fahrenheit"), ("\u00b0", "degrees"), ("\u00d7", "times"),
    ("-", ""), ("\u2013", ""), ("\u2014", ""),
    ("\u2010", ""), ("\u2011", ""), ("\u2012", ""), ("\u2015", ""),
    # Signs that stand for words; without an entry they would stop their phrase from being
    # spoken, as no letter rule reads them.
    ("\u00a9", "copyright"), ("\u2122", "trademark"), ("\u00ae", "registered"),
    ("\u00a2", "cents"), ("\u00a5", "yen"), ("\u00a7", "section"), ("\u00b6", "paragraph"),
    ("\u2116", "number"), ("\u2030", "per mille"), ("\u00b5", "micro"),
    ("\u00b1", "plus or minus"), ("\u00f7", "divided by"), ("\u2264", "less than or equal to"),
    ("\u2265", "greater than or equal to"), ("\u2260", "not equal to"),
    ("\u2248", "approximately"), ("\u221e", "infinity"), ("\u221a", "square root of"),
    ("\u2211", "sum of"), ("\u03c0", "pi"), ("\u2126", "ohms"), ("\u03a9", "ohms"),
    ("\u2192", "to"), ("\u00bd", "one half"), ("\u00bc", "one quarter"),
    ("\u00be", "three quarters"), ("\u00b2", "squared"), ("\u00b3", "cubed"),
    ("\u00b9", "one"), ("\u2212", "minus"),
]

# Short month names that are no other word ("Jan", "Mar" and "May" are names and words).
ABBREVIATIONS = [
    ("Aug", "August"), ("Ave", "avenue"), ("Blvd", "boulevard"), ("Dec", "December"),
    ("Dr", "doctor"), ("Feb", "February"), ("Ft", "fort"), ("Inc", "incorporated"),
    ("Jr", "junior"), ("Ltd", "limited"), ("Mr", "mister"), ("Mrs", "missus"), ("Ms", "miz"),
    ("Mt", "mount"), ("Nov", "November"), ("Oct", "October"), ("Prof", "professor"),
    ("Rd", "road"), ("Sep", "September"), ("Sept", "September"), ("Sr", "senior"),
    ("St", "street"),
    ("approx", "approximately"),
    ("cm", "centimeters"), ("ft", "feet"), ("kg", "kilograms"), ("km", "kilometers"),
    ("lb", "pounds"), ("lbs", "pounds"), ("mg", "milligrams"), ("ml", "milliliters"),
    ("mm", "millimeters"), ("mph", "miles per hour"), ("oz", "ounces"),
    ("o'clock", "a clock"), ("vs", "versus"),
]

PHRASE_ENDS = "!?;:\u2026"
SYMBOLS = ","
# Quotes (not the apostrophe, which belongs to words such as "don't"), brackets and marks
# that are not read aloud.
IGNORED = "\"\u201c\u201d\u2018\u201e()[]{}<>*_~^`|\\\u00ab\u00bb\u00bf\u00a1"
# Marks read as nothing: daggers, bullets, accents written on their own, ordinal indicators,
# primes, single guillemets, low and reversed quotes, ticks, stars and hearts.
IGNORED += ("\u2020\u2021\u2022\u00b7\u00ac\u00a6\u00a8\u00af\u00b4\u00b8\u00aa\u00ba\u00a4"
            "\u2032\u2033\u2039\u203a\u201a\u201b\u201f\u2044\u2190\u0192"
            "\u2713\u2714\u2605\u2606\u2665")


# How English reads numbers, amounts, times, dates, acronyms and addresses: the section after
# the seven fixed lines. Numbers are spelled by ICU rule-based number format rules; "_" stands
# for a blank inside a field.
NUMBER_RULES = """
%spellout-numbering:
 0: zero; 1: one; 2: two; 3: three; 4: four; 5: five; 6: six; 7: seven; 8: eight; 9: nine;
 10: ten; 11: eleven; 12: twelve; 13: thirteen; 14: fourteen; 15: fifteen; 16: sixteen;
 17: seventeen; 18: eighteen; 19: nineteen;
 20: twenty[->>]; 30: thirty[->>]; 40: forty[->>]; 50: fifty[->>];
 60: sixty[->>]; 70: seventy[->>]; 80: eighty[->>]; 90: ninety[->>];
 100: << hundred[ >>];
 1000: << thousand[ >>];
 1000000: << million[ >>];
 1000000000: << billion[ >>];
 1000000000000: << trillion[ >>];
 1000000000000000: << quadrillion[ >>];
 1000000000000000000: << quintillion[ >>];
%spellout-ordinal:
 0: zeroth; 1: first; 2: second; 3: third; 4: fourth; 5: fifth; 6: sixth; 7: seventh;
 8: eighth; 9: ninth; 10: tenth; 11: eleventh; 12: twelfth; 13: =%spellout-numbering=th;
 20: twent>%%tieth>; 30: thirt>%%tieth>; 40: fort>%%tieth>; 50: fift>%%tieth>;
 60: sixt>%%tieth>; 70: sevent>%%tieth>; 80: eight>%%tieth>; 90: ninet>%%tieth>;
 100: <%spellout-numbering< hundred>%%th>;
 1000: <%spellout-numbering< thousand>%%th>;
 1000000: <%spellout-numbering< million>%%th>;
 1000000000: <%spellout-numbering< billion>%%th>;
 1000000000000: <%spellout-numbering< trillion>%%th>;
 1000000000000000: <%spellout-numbering< quadrillion>%%th>;
 1000000000000000000: <%spellout-numbering< quintillion>%%th>;
%year:
 0: =%spellout-numbering=;
 1100/100: << >%%year-end>;
 2000: =%spellout-numbering=;
 2010/100: << >%%year-end>;
 2100/100: << >%%year-end>;
 10000: =%spellout-numbering=;
%decades:
 0: =%spellout-numbering=s; 10: tens; 20: twenties; 30: thirties; 40: forties; 50: fifties;
 60: sixties; 70: seventies; 80: eighties; 90: nineties; 100: =%spellout-numbering=s;
 1100/100: <%spellout-numbering< >%%decade-end>;
 2000: =%spellout-numbering=s;
 2010/100: <%spellout-numbering< >%%decade-end>;
 2100/100: <%spellout-numbering< >%%decade-end>;
 10000: =%spellout-numbering=s;
%hours:
 0: =%spellout-numbering=;
%minutes:
 0: o'clock; 1: oh =%spellout-numbering=; 10: =%spellout-numbering=;
%%tieth:
 0: ieth; 1: y-=%spellout-ordinal=;
%%th:
 0: th; 1: ' =%spellout-ordinal=;
%%decade-end:
 0: hundreds; 10: tens; 20: twenties; 30: thirties; 40: forties; 50: fifties; 60: sixties;
 70: seventies; 80: eighties; 90: nineties;
%%year-end:
 0: hundred; 1: oh =%spellout-numbering=; 10: =%spellout-numbering=;
""".strip().splitlines()



UNITS = [
    ("%", "percent", "percent"), ("km", "kilometer", "kilometers"),
    ("kg", "kilogram", "kilograms"), ("g", "gram", "grams"), ("mg", "milligram", "milligrams"),
    ("m", "meter", "meters"), ("cm", "centimeter", "centimeters"),
    ("mm", "millimeter", "millimeters"), ("ml", "milliliter", "milliliters"),
    ("l", "liter", "liters"), ("mph", "mile_per_hour", "miles_per_hour"),
    ("km/h", "kilometer_per_hour", "kilometers_per_hour"), ("ft", "foot", "feet"),
    ("lb", "pound", "pounds"), ("lbs", "pound", "pounds"), ("oz", "ounce", "ounces"),
    ("\u00b0C", "degree_Celsius", "degrees_Celsius"),
    ("\u00b0F", "degree_Fahrenheit", "degrees_Fahrenheit"), ("\u00b0", "degree", "degrees"),
    ("am", "ay_em", "ay_em"), ("pm", "pee_em", "pee_em"), ("AM", "ay_em", "ay_em"),
    ("PM", "pee_em", "pee_em"), ("x", "times", "times"), ("h", "hour", "hours"),
    ("min", "minute", "minutes"), ("ms", "millisecond", "milliseconds"),
    ("KB", "kilobyte", "kilobytes"), ("MB", "megabyte", "megabytes"),
    ("GB", "gigabyte", "gigabytes"), ("TB", "terabyte", "terabytes"),
    ("Hz", "hertz", "hertz"), ("kHz", "kilohertz", "kilohertz"), ("MHz", "megahertz", "megahertz"),
    ("GHz", "gigahertz", "gigahertz"), ("V", "volt", "volts"), ("W", "watt", "watts"),
    ("kW", "kilowatt", "kilowatts"),
]

LETTER_NAMES = ["ay", "bee", "see", "dee", "ee", "eff", "gee", "aitch", "eye", "jay", "kay",
                "el", "em", "en", "oh", "pee", "cue", "ar", "ess", "tee", "you", "vee",
                "double_you", "ex", "why", "zee"]

# Words read by the kind of word after them (capital, lower, digit, other: a sign or the end of
# the text); where one applies its dot ends no phrase, unless the reading ends in a dot of its
# own. Elsewhere the abbreviations above read them and their dot ends the phrase, as
# at the end of "I live on Baker St.".
CONTEXT_WORDS = [
    ("St.", "capital", "Saint"), ("St", "capital", "Saint"), ("St.", "lower,digit", "street"),
    ("Mt.", "capital", "Mount"), ("Ft.", "capital", "Fort"),
    ("Ave.", "lower,digit", "avenue"), ("Rd.", "lower,digit", "road"),
    ("Blvd.", "lower,digit", "boulevard"), ("Inc.", "lower,digit", "incorporated"),
    ("Ltd.", "lower,digit", "limited"),
    ("No.", "digit", "number"), ("no.", "digit", "number"), ("Nos.", "digit", "numbers"),
    ("Fig.", "digit", "figure"), ("fig.", "digit", "figure"), ("p.", "digit", "page"),
    ("pp.", "digit", "pages"), ("Vol.", "digit", "volume"), ("vol.", "digit", "volume"),
    ("Ch.", "digit", "chapter"), ("ch.", "digit", "chapter"), ("ext.", "digit", "extension"),
    ("Ext.", "digit", "extension"), ("approx.", "digit", "approximately"),
    ("ft.", "lower", "feet"),
    # Dotted initials: their last dot ends a sentence unless a lower-case word or a number follows.
    *[(key, kinds, " ".join(LETTER_NAMES[ord(c) - ord("A")] for c in key if c != ".") + end)
      for key in ("U.S.", "U.K.", "U.N.", "E.U.", "U.S.A.", "D.C.")
      for kinds, end in (("lower,digit", ""), ("capital,other", "."))],
    ("etc.", "capital,other", "et cetera."),
]

MONTHS = ["January", "February", "March", "April", "May", "June", "July", "August",
          "September", "October", "November", "December"]


def number_section():
    lines = [
        "NUMBERS",
        "CARDINAL %spellout-numbering",
        "ORDINAL %spellout-ordinal st nd rd th",
        "DECADES %decades s",
        "YEAR %year 1100 2099",
        "TIME %hours %minutes",
        "GROUP ,",
        "MINUS minus -\u2212",
        "RANGE to",
        "DIGITS 9",
        "CURRENCY before $ dollar dollars cent cents",
        "CURRENCY before \u20ac euro euros cent cents",
        "CURRENCY after \u20ac euro euros cent cents",
        "CURRENCY before \u00a3 pound pounds penny pence",
        "CURRENCY before \u00a5 yen yen",
        "CURRENCY after \u00a2 cent cents",
        "MONEY {major} {majorunit} {minor} {minorunit}",
    ]
    lines += [f"UNIT {key} {one} {many}" for key, one, many in UNITS]
    lines += [
        "MONTHS " + " ".join(MONTHS),
        "MONTHS " + " ".join(m[:3] for m in MONTHS),
        "DATE mdy {month} {day} {year}",
        "SPELL 5",
        "ACRONYMS US UK EU UN",
    ]
    lines += [f"BEFORE {key} {kinds} {words.replace(' ', '_')}" for key, kinds, words in CONTEXT_WORDS]
    lines += [f"BEFORE {m[:3]}. digit {m}" for m in MONTHS if m != "May"]
    lines += ["BEFORE Sept. digit September"]
    lines += [f"LETTER {chr(ord('A') + i)} {name}" for i, name in enumerate(LETTER_NAMES)]
    lines += ["SEPARATOR . dot", "SEPARATOR @ at", "SEPARATOR / slash", "SEPARATOR : colon",
              "SEPARATOR - dash", "SEPARATOR _ underscore",
              "DOMAINS com org net edu gov mil int io uk us de fr ca au info biz co",
              "ADDRESSWORDS co"]
    lines += ["RULES", *NUMBER_RULES, "RULESEND", "NUMBERSEND"]
    return lines


def check():
    for key, repl in WHOLE_PHRASES:
        assert key and key not in repl, key
    for digit, word in enumerate(NUMBER_WORDS):
        assert str(digit) not in word
    initials = [k[0] for k, _ in ABBREVIATIONS]
    runs = [c for i, c in enumerate(initials) if i == 0 or initials[i - 1] != c]
    assert len(runs) == len(set(runs)), "abbreviations of one initial must stand together"
    for c in PHRASE_ENDS + SYMBOLS + ".'":
        assert c not in IGNORED, c


def file_lines():
    check()
    lines = [
        "Parlan English: normalisation rules.",
        "Generated by scripts/make-english-normalisation.py; edit it by hand as you like, or",
        "change the script and run it again (which writes the file anew).",
        "LOCALE", str(LOCALE), "CHARSET", str(CHARSET),
        "NO", *NUMBER_WORDS,
        "NOSTR", *[str(d) for d in range(10)],
        "ABBR",
    ]
    lines += [f"{key} --> {repl} **" for key, repl in WHOLE_PHRASES]
    lines += [f"{key} --> {expansion}" for key, expansion in ABBREVIATIONS]
    lines += [
        "ABBREND",
        "Phrase ends, symbols, ignored characters, decimal point, dot word, decimal point word:",
        PHRASE_ENDS, SYMBOLS, IGNORED, ".", "dot", "point",
    ]
    return lines + number_section()


def main():
    path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ec.LANGUAGE_DIR, "Englishn.ttg")
    ec.write_utf16_lines(path, file_lines())
    print(path)


if __name__ == "__main__":
    main()

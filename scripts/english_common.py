"""Shared helpers of the English language generators.

Phoneme notation: rule results and dictionary entries are eSpeak NG en-us mnemonics. Each word's
phonemes end in a tab (WORD_END): the engine stand-ins split phoneme strings into words at white
space, and the blanks of the rule results are removed before speaking (SPACE=0), so the tab is
what keeps the words apart. A "'" stands before the primary stressed vowel.

This module holds:
  - the NRL phoneme -> eSpeak mnemonic mapping (from arpabet-to-espeak-en-us.tsv),
  - the eSpeak mnemonic -> ARPAbet-like phone mapping used to compare with the CMU lexicon,
  - readers of the CMU lexicon (Festival's cmudict-0.4.out plus the addenda of cmulex.scm) and
    of the word frequency list,
  - a Python model of the rule matcher (same reading of contexts and classes as the library's),
    used to pick the dictionary entries,
  - a writer of UTF-16 LE, CR LF language files.
"""

import os
import re

HERE = os.path.dirname(os.path.abspath(__file__))
DATA = os.path.join(HERE, "english")
LANGUAGE_DIR = os.path.join(HERE, "..", "languages", "Parlan English")
CMU_DICT = "/usr/share/festival/dicts/cmu/cmudict-0.4.out"
CMU_ADDENDA = "/usr/share/festival/dicts/cmu/cmulex.scm"

WORD_END = "\t"

# ----- Phone sets -----

VOWELS = {"AA", "AE", "AH", "AO", "AW", "AY", "EH", "ER", "EY", "IH", "IY", "OW", "OY", "UH",
          "UW", "AX"}
REDUCED = {"AX"}

# r-coloured vowels of eSpeak en-us: vowel + R written as one mnemonic.
R_COLOURED = {"AA": "A@", "AO": "o@", "EH": "e@", "UH": "U@", "IH": "i@3", "IY": "i@3"}


def read_espeak_map(path=os.path.join(DATA, "arpabet-to-espeak-en-us.tsv")):
    """NRL phoneme or ARPAbet phone -> eSpeak en-us mnemonic, from the mapping table."""
    out = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            if line.startswith("#") or not line.strip():
                continue
            cols = line.rstrip("\n").split("\t")
            for name in cols[1].split(",") + [cols[0]]:
                out.setdefault(name, cols[2])
    return out


ESPEAK = read_espeak_map()


def to_espeak(phones, stress=False, final=False, short_o=False, vowel_follows=False,
              reduced_first=False):
    """Maps NRL phonemes to an eSpeak string.

    stress: put "'" before the first full vowel (after the phonemes when all are reduced).
    final: the phonemes end the word (an unstressed IY at the end is the short "happy" vowel).
    short_o: the vowel was spelled with "o" (AA is then the "lot" vowel 0).
    vowel_follows: a vowel comes after the phonemes (an r after an r-coloured vowel is kept).
    reduced_first: treat the first vowel as reduced (unstressed prefixes be-, re-, de-).
    """
    out = []
    stressed_at = None
    if stress:
        for i, p in enumerate(phones):
            if p in VOWELS and p not in REDUCED and not (reduced_first and i == _first_vowel(phones)):
                stressed_at = i
                break
    i = 0
    while i < len(phones):
        p = phones[i]
        nxt = phones[i + 1] if i + 1 < len(phones) else None
        mark = "'" if i == stressed_at else ""
        if p in R_COLOURED and nxt == "R":
            after = phones[i + 2] if i + 2 < len(phones) else None
            keep_r = (after in VOWELS) if after is not None else vowel_follows
            out.append(mark + R_COLOURED[p] + ("r" if keep_r else ""))
            i += 2
            continue
        if p == "ER":
            sym = "3:" if i == stressed_at else "3"
        elif p == "IY" and final and i == len(phones) - 1 and i != stressed_at:
            sym = "i"
        elif p == "AA" and short_o:
            sym = "0"
        else:
            sym = ESPEAK[p]
        out.append(mark + sym)
        i += 1
    text = "".join(out)
    if stress and stressed_at is None and any(p in VOWELS for p in phones) and not final:
        text += "'"  # only reduced vowels here: the stress falls on the next syllable
    return text


def _first_vowel(phones):
    for i, p in enumerate(phones):
        if p in VOWELS:
            return i
    return None


# ----- eSpeak mnemonics back to ARPAbet-like phones (for comparison with the lexicon) -----

# Longest mnemonics first. Stress marks and the word end are dropped. Reduced and strong
# schwa-like vowels (@, V) both read as AH, as the lexicon's AX and AH do; 3 and 3: read as ER.
BACK = [
    ("i@3", ["IH", "R"]), ("aI3", ["AY", "ER"]), ("aU3", ["AW", "ER"]),
    ("A@", ["AA", "R"]), ("o@", ["AO", "R"]), ("O@", ["AO", "R"]), ("e@", ["EH", "R"]),
    ("U@", ["UH", "R"]), ("i@", ["IH", "R"]), ("3:", ["ER"]), ("A:", ["AA"]), ("O:", ["AO"]),
    ("i:", ["IY"]), ("u:", ["UW"]), ("aI", ["AY"]), ("aU", ["AW"]), ("eI", ["EY"]),
    ("oU", ["OW"]), ("OI", ["OY"]), ("tS", ["CH"]), ("dZ", ["JH"]), ("@L", ["AH", "L"]),
    ("n-", ["AH", "N"]), ("@", ["AH"]), ("V", ["AH"]), ("a", ["AE"]), ("E", ["EH"]),
    ("I", ["IH"]), ("0", ["AA"]), ("3", ["ER"]), ("U", ["UH"]), ("i", ["IY"]), ("b", ["B"]),
    ("d", ["D"]), ("D", ["DH"]), ("f", ["F"]), ("g", ["G"]), ("h", ["HH"]), ("j", ["Y"]),
    ("k", ["K"]), ("l", ["L"]), ("m", ["M"]), ("n", ["N"]), ("N", ["NG"]), ("p", ["P"]),
    ("r", ["R"]), ("s", ["S"]), ("S", ["SH"]), ("t", ["T"]), ("T", ["TH"]), ("v", ["V"]),
    ("w", ["W"]), ("z", ["Z"]), ("Z", ["ZH"]),
]
IGNORED_MARKS = set("',%=\t |_")
R_VOWELS = {"i@3", "aI3", "aU3", "A@", "o@", "O@", "e@", "U@", "i@", "3:", "3"}


def espeak_to_phones(text):
    """ARPAbet-like phones of an eSpeak string; None when it holds an unknown symbol."""
    phones = []
    i = 0
    prev = None
    while i < len(text):
        if text[i] in IGNORED_MARKS:
            i += 1
            continue
        for sym, arpa in BACK:
            if text.startswith(sym, i):
                break
        else:
            return None
        i += len(sym)
        if sym == "r" and prev in R_VOWELS:
            prev = sym
            continue  # the r of an r-coloured vowel before another vowel
        phones.extend(arpa)
        prev = sym
    return phones


# ----- The CMU lexicon -----

_ENTRY = re.compile(r'^\("([^"]+)"\s+\S+\s+\((.*)\)\)\s*$')
_ADDENDUM = re.compile(r"lex\.add\.entry\s+'(\(.*\))\)\s*$")
_SYLLABLE = re.compile(r"\(\(([^()]*)\)\s*([0-9])\)")


def _parse_entry(text):
    m = _ENTRY.match(text.strip())
    if not m:
        return None
    word = m.group(1).lower()
    phones, stresses = [], []
    for syl, stress in _SYLLABLE.findall(m.group(2)):
        for p in syl.split():
            p = p.upper()
            if p == "AX":
                p = "AH"
            phones.append(p)
            stresses.append(int(stress) if p in VOWELS else 0)
    return word, phones, stresses


def read_lexicon(dict_path=CMU_DICT, addenda_path=CMU_ADDENDA):
    """word -> list of (phones, stresses). The one-line addenda of cmulex.scm (contractions with
    their apostrophes, a few corrections) replace the main entries of their words."""
    lex = {}
    with open(dict_path, encoding="latin-1") as f:
        for line in f:
            e = _parse_entry(line)
            if e:
                lex.setdefault(e[0], []).append((e[1], e[2]))
    if addenda_path and os.path.exists(addenda_path):
        replaced = set()
        with open(addenda_path, encoding="latin-1") as f:
            for line in f:
                m = _ADDENDUM.search(line)
                e = _parse_entry(m.group(1)) if m else None
                if not e:
                    continue
                if e[0] not in replaced:
                    lex[e[0]] = []
                    replaced.add(e[0])
                if (e[1], e[2]) not in lex[e[0]]:
                    lex[e[0]].append((e[1], e[2]))
    return lex


def read_frequencies(path=os.path.join(DATA, "en-us-word-frequency.tsv")):
    """(word, probability) in order, most frequent first; words of a-z and "'" only."""
    out = []
    with open(path, encoding="utf-8") as f:
        for line in f:
            if line.startswith("#"):
                continue
            cols = line.rstrip("\n").split("\t")
            if len(cols) == 2 and re.fullmatch(r"[a-z']+", cols[0]) and re.search("[a-z]", cols[0]):
                out.append((cols[0], float(cols[1])))
    return out


# ----- Comparison -----

def edit_distance(a, b):
    prev = list(range(len(b) + 1))
    for i, x in enumerate(a, 1):
        cur = [i]
        for j, y in enumerate(b, 1):
            cur.append(min(prev[j] + 1, cur[j - 1] + 1, prev[j - 1] + (x != y)))
        prev = cur
    return prev[-1]


def canonical(phones):
    """Phones as compared: IY before R reads as IH (near, here: one eSpeak vowel, i@3)."""
    out = list(phones)
    for i in range(len(out) - 1):
        if out[i] == "IY" and out[i + 1] == "R":
            out[i] = "IH"
    return out


def score(hyp_phones, refs):
    """(correct, errors, reference length) against the closest of the reference entries."""
    best = None
    hyp = canonical(hyp_phones) if hyp_phones is not None else None
    for phones, _ in refs:
        phones = canonical(phones)
        d = edit_distance(hyp, phones) if hyp is not None else len(phones)
        if best is None or d < best[0]:
            best = (d, len(phones))
    return best[0] == 0, best[0], best[1]


# ----- The rule matcher (model of the library's) -----

class RuleSet:
    def __init__(self, classes, rules):
        self.classes = classes  # list of member lists, class 1 first
        self.rules = rules      # (left, lsense, focus, right, rsense, result)
        self.groups = {}
        for i, r in enumerate(rules):
            c = r[2][0]
            if c not in self.groups:
                first = i
                while first < len(rules) and rules[first][2][0] == c:
                    first += 1
                self.groups[c] = (i, first)

    def _wild(self, text, c):
        if not text or c < 1 or c > len(self.classes):
            return None
        best = 0
        for m in self.classes[c - 1]:
            if m and len(m) > best and text.startswith(m):
                best = len(m)
        return text[best:] if best else None

    def _item(self, text, item):
        if item == "":
            return None
        if item[0] in ":;":
            x = item[1:]
            n = 0
            while True:
                if x and x[0].isdigit():
                    nt = self._wild(text, int(re.match(r"\d+", x).group()))
                else:
                    nt = text[len(x):] if x and text[:len(x)].lower() == x.lower() else None
                if nt is None:
                    break
                text = nt
                n += 1
            if item[0] == ":" and n == 0:
                return None
            return text
        if item[0] == "_":
            return text if text == "" else None
        if item[0].isdigit():
            return self._wild(text, int(re.match(r"\d+", item).group()))
        return text[len(item):] if len(text) >= len(item) and text[:len(item)].lower() == item.lower() else None

    _plain_cache = {}

    @classmethod
    def _plain(cls, pattern, reverse):
        """(letters, anchored) of a context made of single letters (left) or one literal (right)
        and the word boundary, which a string test decides; None for any other context."""
        key = (pattern, reverse)
        if key not in cls._plain_cache:
            items = pattern.split(",")
            anchored = False
            if reverse and items[0] == "_":
                anchored, items = True, items[1:]
            elif not reverse and items[-1] == "_":
                anchored, items = True, items[:-1]
            ok = all(re.fullmatch(r"[a-z']" if reverse else r"[a-z']+", i) for i in items)
            if not reverse and len(items) > 1:
                ok = False
            cls._plain_cache[key] = ("".join(items), anchored) if ok else None
        return cls._plain_cache[key]

    def _context(self, text, pattern, reverse):
        if pattern == "*":
            return True
        plain = self._plain(pattern, reverse)
        if plain is not None:
            letters, anchored = plain
            fits = text.endswith(letters) if reverse else text.startswith(letters)
            return fits and (not anchored or len(text) == len(letters))
        items = pattern.split(",")
        if reverse:
            text = text[::-1]
            items = items[::-1]
        ok = True
        for it in items:
            nt = self._item(text, it)
            if nt is None:
                ok = False
            else:
                text = nt
        return ok

    def convert(self, word, trace=None):
        """Rule results of the word, or None when a letter finds no rule."""
        out = []
        at = 0
        while at < len(word):
            g = self.groups.get(word[at].lower())
            if g is None:
                return None
            for i in range(g[0], g[1]):
                left, ls, focus, right, rs, result = self.rules[i]
                if not word.startswith(focus, at):
                    continue
                if self._context(word[:at], left, True) != ls:
                    continue
                if self._context(word[at + len(focus):], right, False) != rs:
                    continue
                out.append(result)
                if trace is not None:
                    trace.append(i)
                at += len(focus)
                break
            else:
                return None
        return out


def read_rule_file(path):
    """RuleSet of a rule file in the language file format."""
    lines = read_utf16_lines(path)
    i = next(k for k, l in enumerate(lines) if "LANGUAGE=" in l.upper())
    i = next(k for k in range(i, len(lines)) if "WILD CARDS" in lines[k].upper())
    classes = []
    i += 1
    while "RULES" not in lines[i].upper():
        if not lines[i].startswith("'"):
            cut = 3 if len(classes) + 1 >= 10 else 2
            classes.append(lines[i][cut:].lower().split(","))
        i += 1
    rules = []
    i += 1
    while lines[i].startswith("'") or "END" not in lines[i]:
        line = lines[i]
        i += 1
        if line.startswith("'"):
            continue
        p1, p2, q = line.find("["), line.find("]"), line.find("=")
        left = line[:p1].lower() or "*"
        focus = line[p1 + 1:p2].lower()
        right = line[p2 + 1:q].lower() or "*"
        result = line[q + 1:].strip(" ")
        ls = not left.startswith("!")
        rs = not right.startswith("!")
        rules.append((left.lstrip("!") if not ls else left, ls, focus,
                      right[1:] if not rs else right, rs, result))
    return RuleSet(classes, rules)


# ----- Language files -----

def write_utf16_lines(path, lines):
    """UTF-16 little-endian with a byte-order mark and CR LF line ends."""
    data = "\ufeff" + "".join(l + "\r\n" for l in lines)
    with open(path, "wb") as f:
        f.write(data.encode("utf-16-le"))


def read_utf16_lines(path):
    with open(path, "rb") as f:
        text = f.read().decode("utf-16-le")
    if text.startswith("\ufeff"):
        text = text[1:]
    return text.split("\r\n")[:-1] if text.endswith("\r\n") else text.split("\r\n")


def read_exceptions(path):
    """word -> replacement from an exception file."""
    lines = read_utf16_lines(path)
    start = lines.index("EXCEPT")
    out = {}
    for line in lines[start + 1:]:
        if line == "END":
            break
        k = line.find(" --> ")
        if k >= 0:
            out.setdefault(line[:k], line[k + 5:])
    return out

#!/usr/bin/python3
"""Catalogue sources: extract the numbered texts of the code, check the PO files, convert PO to TSV.

Every visible text is written at its call site with its number and German default:
    KatalogText(98050, "Es ist kein Wörterbuch installiert!")
    KatalogTextMitArgumenten(98001, "&#-Wörterbuch", produkt)
    KText(3035, "Sprachausgabe")            (any function named KatalogText... or KText...)
    KatalogEintrag{1101, "Verb"}

  extract SRC [--pot FILE]          list every (number, default) pair of SRC; write the template
  check SRC PO... [--require-translated]
                                    the code's pairs against the PO files
  tsv PO OUT                        one PO file as the table tool's TSV input (NR, TEXT)

PO entries: msgctxt = the number, msgid = the German default, msgstr = the translation. An empty msgstr
means "not translated" (no record; the program shows the German default); a msgstr of blanks only is an
empty text. Exit status 1 with one line per problem.
"""

import os
import re
import sys

# Lookup functions and the thin wrappers around them (KText, KTextZanit, ...): name(number, "default", ...).
CALL = re.compile(r"(KatalogText|KText)\w*")
TABLE_ENTRY = "KatalogEintrag"
SOURCE_SUFFIXES = (".cpp", ".h", ".hpp", ".cc")
TEXT_LIMIT = 254  # bytes of the TEXT field, in Windows-1252
PLACEHOLDER = "&#"


class Problem(Exception):
    pass


# ---------------------------------------------------------------- C++ source

_SIMPLE_ESCAPES = {"n": 10, "t": 9, "r": 13, "a": 7, "b": 8, "f": 12, "v": 11,
                   "\\": 92, '"': 34, "'": 39, "?": 63}


def _decode_literal(body, where):
    """The bytes of an ordinary (UTF-8) string literal body."""
    out = bytearray()
    i = 0
    while i < len(body):
        c = body[i]
        if c != "\\":
            out += c.encode("utf-8")
            i += 1
            continue
        i += 1
        if i >= len(body):
            raise Problem(f"{where}: string literal ends in a backslash")
        e = body[i]
        if e in _SIMPLE_ESCAPES:
            out.append(_SIMPLE_ESCAPES[e])
            i += 1
        elif e == "x":
            m = re.match(r"[0-9A-Fa-f]+", body[i + 1:])
            if not m:
                raise Problem(f"{where}: \\x without hex digits")
            out.append(int(m.group(0), 16) & 0xFF)
            i += 1 + len(m.group(0))
        elif e in "01234567":
            m = re.match(r"[0-7]{1,3}", body[i:])
            out.append(int(m.group(0), 8) & 0xFF)
            i += len(m.group(0))
        elif e in "uU":
            n = 4 if e == "u" else 8
            digits = body[i + 1:i + 1 + n]
            if not re.fullmatch(r"[0-9A-Fa-f]{%d}" % n, digits):
                raise Problem(f"{where}: bad \\{e} escape")
            out += chr(int(digits, 16)).encode("utf-8")
            i += 1 + n
        else:
            raise Problem(f"{where}: unknown escape \\{e}")
    return bytes(out)


def tokenize(text, path):
    """Tokens (kind, value, line) of C++ source: comments dropped, literals decoded."""
    tokens = []
    i, line, n = 0, 1, len(text)
    ident = re.compile(r"[A-Za-z_]\w*")
    number = re.compile(r"[0-9](?:'?[0-9A-Za-z_.])*")
    while i < n:
        c = text[i]
        if c == "\n":
            line += 1
            i += 1
        elif c.isspace():
            i += 1
        elif text.startswith("//", i):
            j = text.find("\n", i)
            i = n if j < 0 else j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            line += text.count("\n", i, j)
            i = j
        elif c == "#" and (not tokens or tokens[-1][2] != line):
            # Preprocessor line (with continuations): #include <...> holds no texts.
            j = i
            while True:
                k = text.find("\n", j)
                if k < 0:
                    k = n
                    break
                if text[k - 1] != "\\":
                    break
                j = k + 1
            line += text.count("\n", i, k)
            i = k
        elif c == '"' or c == "'" or (ident.match(text, i) and _literal_prefix(text, i)):
            i, line = _string_token(text, i, line, path, tokens)
        elif ident.match(text, i):
            m = ident.match(text, i)
            tokens.append(("id", m.group(0), line))
            i = m.end()
        elif c.isdigit():
            m = number.match(text, i)
            tokens.append(("num", m.group(0), line))
            i = m.end()
        else:
            tokens.append(("op", c, line))
            i += 1
    return tokens


def _literal_prefix(text, i):
    m = re.match(r"(u8|u|U|L)?(R)?(['\"])", text[i:i + 5])
    return m is not None and (m.group(1) or m.group(2))


def _string_token(text, i, line, path, tokens):
    m = re.match(r"(u8|u|U|L)?(R)?(['\"])", text[i:i + 5])
    prefix, raw, quote = m.group(1), m.group(2), m.group(3)
    start_line = line
    j = i + len(m.group(0))
    where = f"{path}:{start_line}"
    if raw:
        k = text.find("(", j)
        delim = text[j:k]
        end = text.find(")" + delim + '"', k)
        if k < 0 or end < 0:
            raise Problem(f"{where}: unterminated raw string")
        value = text[k + 1:end].replace("\\", "\\\\")  # decoded later like an ordinary body
        line += text.count("\n", i, end)
        j = end + len(delim) + 2
    else:
        k = j
        while k < len(text) and text[k] != quote:
            if text[k] == "\n":
                raise Problem(f"{where}: unterminated literal")
            k += 2 if text[k] == "\\" else 1
        if k >= len(text):
            raise Problem(f"{where}: unterminated literal")
        value = text[j:k]
        j = k + 1
    if quote == '"':
        tokens.append(("str", value, start_line, prefix or ""))
    else:
        tokens.append(("chr", value, start_line))
    return j, line


def _parse_number(value):
    v = value.replace("'", "")
    if re.fullmatch(r"[1-9][0-9]*|0", v):
        return int(v)
    if re.fullmatch(r"0[xX][0-9A-Fa-f]+", v):
        return int(v, 16)
    return None


def pairs_in_tokens(tokens, path):
    """(number, default, 'path:line') for each call or table entry; raises Problem for a literal number
    whose default is not a string literal."""
    found = []
    for k, tok in enumerate(tokens):
        if tok[0] != "id":
            continue
        if CALL.fullmatch(tok[1]):
            opener = "("
        elif tok[1] == TABLE_ENTRY:
            opener = None
        else:
            continue
        if k + 2 >= len(tokens) or tokens[k + 1][0] != "op":
            continue
        if tokens[k + 1][1] not in ((opener,) if opener else ("{", "(")):
            continue
        if tokens[k + 2][0] != "num":
            continue
        number = _parse_number(tokens[k + 2][1])
        where = f"{path}:{tok[2]}"
        if number is None:
            raise Problem(f"{where}: text number {tokens[k + 2][1]} is not a whole number")
        j = k + 3
        if j >= len(tokens) or tokens[j][1] != ",":
            raise Problem(f"{where}: text {number} has no German default")
        j += 1
        parts = []
        while j < len(tokens) and tokens[j][0] == "str":
            if tokens[j][3] not in ("", "u8"):
                raise Problem(f"{where}: default of text {number} must be a plain string literal")
            parts.append(_decode_literal(tokens[j][1], where))
            j += 1
        if not parts or j >= len(tokens) or tokens[j][1] not in (",", ")", "}"):
            raise Problem(f"{where}: the German default of text {number} must be a string literal")
        try:
            default = b"".join(parts).decode("utf-8")
        except UnicodeDecodeError:
            raise Problem(f"{where}: the German default of text {number} is not UTF-8")
        found.append((number, default, where))
    return found


def extract(src):
    """Every pair of the tree as {number: (default, [places])}; a number with two defaults is a Problem."""
    problems = []
    table = {}
    for root, dirs, files in os.walk(src):
        dirs.sort()
        for name in sorted(files):
            if not name.endswith(SOURCE_SUFFIXES):
                continue
            path = os.path.join(root, name)
            shown = os.path.relpath(path, os.path.dirname(os.path.abspath(src)))
            try:
                with open(path, encoding="utf-8") as f:
                    text = f.read()
                pairs = pairs_in_tokens(tokenize(text, shown), shown)
            except UnicodeDecodeError:
                problems.append(f"{shown}: not UTF-8")
                continue
            except Problem as p:
                problems.append(str(p))
                continue
            for number, default, where in pairs:
                if number in table and table[number][0] != default:
                    problems.append(f"{where}: text {number} has the default {default!r}, "
                                    f"but {table[number][1][0]} gives {table[number][0]!r}")
                    continue
                table.setdefault(number, (default, []))[1].append(where)
    return table, problems


# ---------------------------------------------------------------- PO files

def _po_unquote(s, where):
    if len(s) < 2 or s[0] != '"' or s[-1] != '"':
        raise Problem(f"{where}: expected a quoted string")
    body = s[1:-1]
    out = []
    i = 0
    while i < len(body):
        c = body[i]
        if c == "\\":
            if i + 1 >= len(body):
                raise Problem(f"{where}: string ends in a backslash")
            e = body[i + 1]
            mapping = {"n": "\n", "t": "\t", "r": "\r", "\\": "\\", '"': '"'}
            if e not in mapping:
                raise Problem(f"{where}: unknown escape \\{e}")
            out.append(mapping[e])
            i += 2
        elif c == '"':
            raise Problem(f"{where}: unescaped quotation mark")
        else:
            out.append(c)
            i += 1
    return "".join(out)


def read_po(path):
    """Entries of a PO file: list of dicts with ctxt, id, str, fuzzy, line. The header is left out."""
    entries = []
    cur = None
    field = None
    flags = set()

    def finish():
        nonlocal cur, flags
        if cur is not None:
            if "id" not in cur or "str" not in cur:
                raise Problem(f"{path}:{cur['line']}: entry without msgid or msgstr")
            cur["fuzzy"] = "fuzzy" in flags
            if cur.get("ctxt") is not None or cur["id"] != "":
                entries.append(cur)
        cur, flags = None, set()

    with open(path, encoding="utf-8") as f:
        lines = f.read().split("\n")
    for no, raw in enumerate(lines, 1):
        line = raw.strip()
        where = f"{path}:{no}"
        if not line:
            finish()
            field = None
            continue
        if line.startswith("#~"):
            continue  # obsolete entry
        if line.startswith("#,"):
            if cur is not None and "str" in cur:
                finish()
            flags.update(x.strip() for x in line[2:].split(","))
            continue
        if line.startswith("#"):
            if cur is not None and "str" in cur:
                finish()
            continue
        m = re.match(r"(msgctxt|msgid|msgstr)\s+(.*)$", line)
        if m:
            key = {"msgctxt": "ctxt", "msgid": "id", "msgstr": "str"}[m.group(1)]
            if cur is not None and (key in cur or (key != "str" and "str" in cur)):
                finish()
            if cur is None:
                cur = {"line": no}
            cur[key] = _po_unquote(m.group(2), where)
            field = key
        elif line.startswith('"'):
            if cur is None or field is None:
                raise Problem(f"{where}: continuation line without an entry")
            cur[field] += _po_unquote(line, where)
        else:
            raise Problem(f"{where}: cannot read this line")
    finish()
    return entries


def catalogue_entries(path):
    """{number: entry} of a PO file; every entry must carry a number and be there once."""
    result = {}
    for e in read_po(path):
        where = f"{path}:{e['line']}"
        ctxt = e.get("ctxt")
        if ctxt is None or not re.fullmatch(r"[0-9]{1,9}", ctxt):
            raise Problem(f"{where}: msgctxt must be the text number")
        number = int(ctxt)
        if number in result:
            raise Problem(f"{where}: text {number} appears twice")
        result[number] = e
    return result


def translation_problems(number, entry, where):
    """What keeps a translation out of the catalogue table."""
    text = entry["str"]
    problems = []
    if any(ord(c) < 32 for c in text):
        problems.append(f"{where}: text {number} holds a control character (use &$ for a line break)")
    try:
        encoded = text.strip(" ").encode("cp1252")
        if len(encoded) > TEXT_LIMIT:
            problems.append(f"{where}: text {number} is {len(encoded)} bytes long, at most {TEXT_LIMIT} fit")
    except UnicodeEncodeError:
        problems.append(f"{where}: text {number} holds a character Windows-1252 cannot hold")
    if text.count(PLACEHOLDER) != entry["id"].count(PLACEHOLDER):
        problems.append(f"{where}: text {number} has {text.count(PLACEHOLDER)} placeholders &#, "
                        f"the German default {entry['id'].count(PLACEHOLDER)}")
    try:
        keys, wanted = accelerators(text), accelerators(entry["id"])
        if len(keys) != len(wanted):
            problems.append(f"{where}: text {number} has {len(keys)} accelerators, the German default {len(wanted)}")
    except Problem as p:
        problems.append(f"{where}: text {number}: {p}")
    return problems


# "&" followed by one of these is an escape; "&&" is a literal ampersand; "&" before a letter or digit marks
# the accelerator. Anything else is a broken escape that would show as it stands.
ESCAPE_CHARS = "$_\u00a7#"

# Texts that share one window (or one menu) and so need distinct accelerators in every language.
ACCELERATOR_GROUPS = {
    "main window": [8120, 8200, 8254, 8250, 3032, 30015, 30019, 3005, 3006, 3049],
    "file menu": [8259, 8260],
    "service menu": [8258, 8261, 8262, 8252],
    "help menu": [8251, 8257],
    "tray menu with hotkeys on": [3051, 98012, 8133],
    "tray menu with hotkeys off": [3051, 98011, 8133],
    "entry details": [3032, 3047],
    "options dialog": [98101, 98102, 98103, 98104, 98105, 98106, 98108, 98109, 98110, 98111, 98112, 98113,
                       98114],
    "transfer dialog": [25011, 25012, 25014],
}


def accelerators(text):
    """The accelerator characters of a text (lower case); raises Problem for a broken escape."""
    keys = []
    i = 0
    while i < len(text):
        if text[i] != "&":
            i += 1
            continue
        following = text[i + 1:i + 2]
        if following and (following in ESCAPE_CHARS or following == "&"):
            i += 2
        elif following.isalnum():
            keys.append(following.lower())
            i += 2
        else:
            raise Problem(f"broken escape {text[i:i + 2]!r}")
    return keys


def accelerator_clashes(entries, path):
    """Accelerators used twice within one window of a catalogue (untranslated texts count with their
    German default)."""
    problems = []
    for window, numbers in ACCELERATOR_GROUPS.items():
        seen = {}
        for number in numbers:
            entry = entries.get(number)
            if entry is None:
                continue
            text = entry["str"] if entry["str"].strip() and not entry["fuzzy"] else entry["id"]
            try:
                keys = accelerators(text)
            except Problem:
                continue  # reported with the text itself
            for key in keys:
                if key in seen:
                    problems.append(f"{path}: texts {seen[key]} and {number} share the accelerator "
                                    f"{key!r} in the {window}")
                else:
                    seen[key] = number
    return problems


def check(src, po_paths, require_translated):
    table, problems = extract(src)
    for path in po_paths:
        try:
            entries = catalogue_entries(path)
        except Problem as p:
            problems.append(str(p))
            continue
        for number in sorted(table):
            default, places = table[number]
            entry = entries.get(number)
            if entry is None:
                problems.append(f"{path}: text {number} ({places[0]}) is missing")
            elif entry["id"] != default:
                problems.append(f"{path}:{entry['line']}: text {number} has the German default "
                                f"{entry['id']!r}, the code ({places[0]}) {default!r}")
        for number, entry in sorted(entries.items()):
            where = f"{path}:{entry['line']}"
            if entry["str"] == "" or entry["fuzzy"]:
                if require_translated:
                    problems.append(f"{where}: text {number} is not translated")
                continue
            problems.extend(translation_problems(number, entry, where))
        problems.extend(accelerator_clashes(entries, path))
    return problems


# ---------------------------------------------------------------- output

def _po_quote(s):
    return '"' + (s.replace("\\", "\\\\").replace('"', '\\"').replace("\n", "\\n")
                  .replace("\t", "\\t").replace("\r", "\\r")) + '"'


def write_pot(table, path):
    out = ["# Numbered texts of the program with their German defaults.",
           "# Generated by i18n/catalogue.py extract; do not edit.",
           'msgid ""', 'msgstr ""', '"Content-Type: text/plain; charset=UTF-8\\n"', ""]
    for number in sorted(table):
        default, places = table[number]
        out += ["#: " + " ".join(places), f'msgctxt "{number}"', "msgid " + _po_quote(default),
                'msgstr ""', ""]
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(out))


def _tsv_escape(s):
    return s.replace("\\", "\\\\").replace("\t", "\\t").replace("\n", "\\n")


def write_tsv(po_path, out_path):
    entries = catalogue_entries(po_path)
    problems = []
    rows = []
    for number, entry in sorted(entries.items()):
        if entry["str"] == "" or entry["fuzzy"]:
            continue
        problems += translation_problems(number, entry, f"{po_path}:{entry['line']}")
        rows.append(f"{number}\t{_tsv_escape(entry['str'].strip(' '))}")
    if problems:
        return problems
    tmp = out_path + ".tmp"
    with open(tmp, "w", encoding="utf-8", newline="\n") as f:
        f.write("NR\tTEXT\n")
        for row in rows:
            f.write(row + "\n")
    os.replace(tmp, out_path)
    return []


def main(argv):
    if len(argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    command, args = argv[1], argv[2:]
    try:
        if command == "extract" and args:
            table, problems = extract(args[0])
            if problems:
                print("\n".join(problems), file=sys.stderr)
                return 1
            if len(args) == 3 and args[1] == "--pot":
                write_pot(table, args[2])
            elif len(args) == 1:
                for number in sorted(table):
                    print(f"{number}\t{table[number][0]}")
            else:
                print(__doc__, file=sys.stderr)
                return 2
            return 0
        if command == "check" and len(args) >= 2:
            require = "--require-translated" in args
            files = [a for a in args[1:] if a != "--require-translated"]
            problems = check(args[0], files, require)
            if problems:
                print("\n".join(problems), file=sys.stderr)
                return 1
            return 0
        if command == "tsv" and len(args) == 2:
            problems = write_tsv(args[0], args[1])
            if problems:
                print("\n".join(problems), file=sys.stderr)
                return 1
            return 0
    except (Problem, OSError) as p:
        print(str(p), file=sys.stderr)
        return 1
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))

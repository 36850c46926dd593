#!/usr/bin/python3
"""Reads and writes tables with the two Python dBASE libraries, for comparison with our engine.

read-dbfread TABLE / read-dbf TABLE: print the field names, then one line per record, every value as hex
of its stored bytes (C without trailing blanks, N as its decimal text, L as T/F or empty, D as YYYYMMDD,
memos exactly).
write TABLE COUNT fp|db3: write a FoxPro table with text and binary memos, or a dBASE III table with a text
memo, and print the same listing of what was written.
"""
import datetime
import sys


def stored(kind, decimals, value):
    if value is None:
        return b""
    if kind == "C":
        return value.encode("cp1252").rstrip(b" ")
    if kind == "N":
        if isinstance(value, float) or decimals:
            return ("%.*f" % (decimals, value)).encode()
        return str(value).encode()
    if kind == "L":
        return b"T" if value else b"F"
    if kind == "D":
        return value.strftime("%Y%m%d").encode()
    if kind == "M":
        return value if isinstance(value, bytes) else value.encode("cp1252")
    raise SystemExit("unexpected field type %r" % kind)


def emit(names, rows):
    out = ["\t".join(names)]
    for row in rows:
        out.append("\t".join(v.hex() for v in row))
    sys.stdout.write("\n".join(out) + "\n")


def read_dbfread(path):
    import dbfread
    table = dbfread.DBF(path, load=False)
    kinds = [(f.name, f.type, f.decimal_count) for f in table.fields]
    rows = [[stored(k, d, rec[n]) for n, k, d in kinds] for rec in table]
    emit([n for n, _, _ in kinds], rows)


def read_dbf(path):
    import dbf
    table = dbf.Table(path)
    table.open(dbf.READ_ONLY)
    kinds = []
    for name in table.field_names:
        info = table.field_info(name)
        kinds.append((name, chr(info[0]), info[2]))
    rows = []
    for rec in table:
        rows.append([stored(k, d, rec[n]) for n, k, d in kinds])
    table.close()
    emit([n.upper() for n, _, _ in kinds], rows)


def sample_records(count):
    """Deterministic dictionary-like records: words with umlauts, sound numbers, notes and blobs."""
    stems = ["Haus", "Bär", "Öl", "Straße", "Zoë", "Apfel", "Œuvre", "Müll", "Kraft", "Tür"]
    for i in range(count):
        stem = stems[i % len(stems)]
        w1 = "%s %d" % (stem, i)
        wi1 = ("%s%d" % (stem, i)).upper()[:20]
        wave = b"RIFF" + bytes([i % 256, 0x00, 0x1A, 0x0D, 0x0A]) + bytes(range(i % 64)) + b"\x1a\x1a"
        note = "" if i % 7 == 0 else "Notiz %d\r\nzweite Zeile € ß" % i
        yield (w1, wi1, i * 3 - 10, (i * 7919) % 1000, note, wave if i % 5 else b"")


def write(path, count, kind):
    import dbf
    specs = "W1 C(60); WI1 C(20); WA N(11,0); NR N(11,0); NOTE M"
    if kind == "fp":
        specs += "; WAVE M binary"
    table = dbf.Table(path, specs, dbf_type=kind, codepage="cp1252")
    table.open(dbf.READ_WRITE)
    rows = []
    for rec in sample_records(count):
        if kind != "fp":
            rec = rec[:-1]
        table.append(rec)
        w1, wi1, wa, nr, note = rec[:5]
        row = [w1.encode("cp1252"), wi1.encode("cp1252"), str(wa).encode(), str(nr).encode(),
               note.encode("cp1252")]
        rows.append(row + list(rec[5:]))
    table.close()
    emit(["W1", "WI1", "WA", "NR", "NOTE", "WAVE"][:len(rows[0]) if rows else 5], rows)


def main():
    if len(sys.argv) >= 3 and sys.argv[1] == "read-dbfread":
        read_dbfread(sys.argv[2])
    elif len(sys.argv) >= 3 and sys.argv[1] == "read-dbf":
        read_dbf(sys.argv[2])
    elif len(sys.argv) >= 5 and sys.argv[1] == "write" and sys.argv[4] in ("fp", "db3"):
        write(sys.argv[2], int(sys.argv[3]), sys.argv[4])
    else:
        raise SystemExit(__doc__)


if __name__ == "__main__":
    main()

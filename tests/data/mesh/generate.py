#!/usr/bin/env python3
"""Writes the mesh test cases: for each case a Define folder, a source file and the expected
.mif/.mid (and .csv) outputs.

The expected outputs are computed here, independently of the C++ code, from the documented
rules: the same double arithmetic in the same order, rings normalised by the shoelace area,
coordinates correctly rounded to eight decimals. Run it from any folder; it rewrites the case
folders beside it. Text is CP932 with CR LF.
"""
import os
import shutil

HERE = os.path.dirname(os.path.abspath(__file__))
CRLF = b"\r\n"


def sj(text):
    return text.encode("cp932")


def lines(*items):
    return b"".join((sj(i) if isinstance(i, str) else i) + CRLF for i in items)


def record(width, *pieces):
    """A fixed-width record: blanks, then each (position, text) piece put at its 1-based
    position; trailing blanks beyond `width` are cut off."""
    buf = bytearray(b" " * 400)
    for pos, text in pieces:
        data = sj(text) if isinstance(text, str) else text
        buf[pos - 1:pos - 1 + len(data)] = data
    return bytes(buf[:width])


# ---------------------------------------------------------------------------------------------
# Reference rules


class ConvertError(Exception):
    pass


def substr(s, start, count, trim):
    if not s:
        return b""
    if start < 1:
        start = 1
    if start > len(s) or count < 0:
        return b""
    out = s[start - 1:start - 1 + count]
    if trim:
        out = out.strip(bytes(range(1, 33)))
    return out


def number(text):
    if not text or not all(48 <= c <= 57 for c in text):
        raise ConvertError(text)
    return float(int(text))


def corner3(c1, c2, c3):
    p, u = number(c1[0:2]), number(c1[2:4])
    q, v = number(c2[0:1]), number(c2[1:2])
    r, w = number(c3[0:1]), number(c3[1:2])
    y1 = p / 3 * 2
    x1 = u + 100
    lat = y1 + q * (1.0 / 12) + r * (1.0 / 120)
    lon = x1 + v * (1.0 / 8) + w * (1.0 / 80)
    return lat, lon


def corner2(c1, c2):
    p, u = number(c1[0:2]), number(c1[2:4])
    q, v = number(c2[0:1]), number(c2[1:2])
    return p / 3 * 2 + q * (1.0 / 12), u + 100 + v * (1.0 / 8)


def ring(a, b, c, d):
    return [a, b, c, d, a]


def area(points):
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    n = len(xs)
    s = xs[0] * (ys[1] - ys[n - 1])
    for i in range(1, n - 1):
        s += xs[i] * (ys[i + 1] - ys[i - 1])
    s += xs[n - 1] * (ys[0] - ys[n - 2])
    return s / 2


def fmt(value):
    text = "%.8f" % value
    if text.startswith("-") and float(text) == 0:
        text = text[1:]
    return text.encode()


def region(points):
    if area(points) > 0:
        points = list(reversed(points))
    if points[-1] != points[0]:
        points = points + [points[0]]
    out = b"Region 1" + CRLF + b"  " + str(len(points)).encode() + CRLF
    for x, y in points:
        out += fmt(x) + b" " + fmt(y) + CRLF
    return out + CRLF


def point(x, y):
    return b"Point " + fmt(x) + b" " + fmt(y) + CRLF


def mid_value(v):
    if b"," in v or b'"' in v:
        return b'"' + v.replace(b'"', b'""') + b'"'
    return v


def col_slices(col_lines):
    out = []
    for line in col_lines:
        f = line.split(b",")
        out.append((int(f[2]), int(f[3])))
    return out


def header(col_lines):
    out = (b'Version 300\r\nCharset "WindowsJapanese"\r\nDelimiter ","\r\n'
           b"CoordSys Earth Projection 1, 97\r\n")
    out += b"Columns " + str(len(col_lines)).encode() + CRLF
    for line in col_lines:
        f = line.split(b",")
        t = f[1].strip().lower()
        kinds = {b"integer": b" Integer", b"float": b" Float", b"date": b" Date",
                 b"logical": b" Logical"}
        out += f[0] + kinds.get(t, b" Char(20)" if t == b"schar" else b" Char(100)") + CRLF
    return out + b"Data" + CRLF + CRLF


def split_source(data):
    return data.split(CRLF)[:-1] if data.endswith(CRLF) else data.split(CRLF)


def convert_cells(code, source, col_lines):
    mif, mid = b"", b""
    slices = col_slices(col_lines)
    for line in split_source(source):
        if not line.startswith(b"M"):
            continue
        if code in ("M21", "M22", "M23", "M24") and substr(line, 12, 1, False) != code[2].encode():
            continue
        c1, c2 = substr(line, 6, 4, False), substr(line, 10, 2, False)
        if code == "M3":
            lat, lon = corner3(c1, c2, substr(line, 12, 2, False))
            x, y = lon, lat
            mif += region(ring((x, y), (x + 1.0 / 80, y), (x + 1.0 / 80, y + 1.0 / 120),
                               (x, y + 1.0 / 120)))
        elif code == "M4":
            lat, lon = corner3(c1, c2, substr(line, 12, 2, False))
            quarter = int(number(substr(line, 14, 1, False)))
            x0 = lon + 1.0 / 160 if quarter in (2, 4) else lon
            y0 = lat + 1.0 / 240 if quarter in (3, 4) else lat
            mif += region(ring((x0, y0), (x0, y0 + 1.0 / 240),
                               (x0 + 1.0 / 160, y0 + 1.0 / 240), (x0 + 1.0 / 160, y0)))
        else:
            y, x = corner2(c1, c2)
            mif += region(ring((x, y), (x + 1.0 / 8, y), (x + 1.0 / 8, y + 1.0 / 12),
                               (x, y + 1.0 / 12)))
        mid += b",".join(mid_value(substr(line, s, n, True)) for s, n in slices) + CRLF
    return mif, mid


def convert_subdivided(code, source, col_lines, params):
    s, b, k_len = params
    n = 10 if code.startswith("M3_10") else 4
    slices = col_slices(col_lines[4 if n == 10 else 3:])
    mif, mid = b"", b""
    for line in split_source(source):
        if not line.startswith(b"M"):
            continue
        lat, lon = corner3(substr(line, s, 4, False), substr(line, s + 4, 2, False),
                           substr(line, s + 6, 2, False))
        codes = [substr(line, s, 4, True), substr(line, s + 4, 2, True),
                 substr(line, s + 6, 2, True)]
        for row in range(n):
            for col in range(n):
                if n == 10:
                    x0 = lon + col * (1.0 / 800)
                    y0 = lat + row * (1.0 / 1200)
                    if code == "M3_10":
                        mif += region(ring((x0, y0), (x0 + 1.0 / 800, y0),
                                           (x0 + 1.0 / 800, y0 + 1.0 / 1200),
                                           (x0, y0 + 1.0 / 1200)))
                    else:
                        mif += point(x0 + 1.0 / 1600, y0 + 1.0 / 2400)
                else:
                    x0 = lon + col * (1.0 / 320)
                    y0 = (lat - row * (1.0 / 480)) + 1.0 / 120
                    if code == "M3_4":
                        mif += region(ring((x0, y0), (x0, y0 - 1.0 / 480),
                                           (x0 + 1.0 / 320, y0 - 1.0 / 480),
                                           (x0 + 1.0 / 320, y0)))
                    else:
                        mif += point(x0 + 1.0 / 640, y0 - 1.0 / 960)
                k = row * n + col
                values = [mid_value(c) for c in codes]
                if n == 10:
                    values.append(b"%d%d" % (row, col))
                values += [mid_value(substr(line, st + k * k_len + b, ln, True))
                           for st, ln in slices]
                mid += b",".join(values) + CRLF
    return mif, mid


def convert_m3ns(source, header_lines):
    mif, mid, csv = b"", b"", b"".join(h + CRLF for h in header_lines)
    for line in split_source(source):
        if line.startswith(b"H"):
            continue
        lat, lon = corner3(substr(line, 1, 4, False), substr(line, 5, 2, False),
                           substr(line, 7, 2, False))
        x, y = lon, lat
        mif += region(ring((x, y), (x + 1.0 / 80, y), (x + 1.0 / 80, y + 1.0 / 120),
                           (x, y + 1.0 / 120)))
        mid += mid_value(substr(line, 1, 8, False)) + CRLF
        csv += b'"' + line.replace(b'"', b'""').replace(b"\t", b'","') + b'"' + CRLF
    return mif, mid, csv


# ---------------------------------------------------------------------------------------------
# Cases


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def make_case(name, code, source, col_lines, params=(6, 0, 1), s04=None):
    folder = os.path.join(HERE, name)
    shutil.rmtree(folder, ignore_errors=True)
    define = os.path.join(folder, "Define")
    write(os.path.join(define, "データ項目.txt"),
          lines("メッシュ試験_%s,%s,*.txt,prm.txt,col.txt,0,,0,,メッシュ" % (name, code.lower())))
    write(os.path.join(define, "prm.txt"),
          lines("パラメータ", str(params[0]), str(params[1]), str(params[2])))
    cols = [sj(c) for c in col_lines]
    write(os.path.join(define, "col.txt"), lines(*cols))
    write(os.path.join(folder, "source.txt"), source)

    mif = header(cols)
    csv = None
    try:
        if code == "M3NS":
            h = [sj(x) for x in s04]
            write(os.path.join(define, "S04_AC.txt"), lines(*h))
            part_mif, mid, csv = convert_m3ns(source, h)
        elif code.startswith("M3_"):
            part_mif, mid = convert_subdivided(code, source, cols, params)
        else:
            part_mif, mid = convert_cells(code, source, cols)
    except ConvertError:
        raise SystemExit("case %s: the reference stopped; build failing cases by hand" % name)
    write(os.path.join(folder, "expected.mif"), mif + part_mif)
    write(os.path.join(folder, "expected.mid"), mid)
    if csv is not None:
        write(os.path.join(folder, "expected.csv"), csv)


def m2_source():
    return lines(
        "H  MLIT  X01-90M   4 1990  32     8",
        record(32, (1, "M"), (4, " 2"), (6, "5339"), (10, "45"), (12, "  120"), (17, "東京"),
               (27, "a,b")),
        record(32, (1, "M"), (4, " 2"), (6, "5340"), (10, "00"), (17, "ABC"), (27, 'x"y')),
        record(32, (1, "m"), (4, " 2"), (6, "5339"), (10, "46"), (12, "00001")),
        "",
        record(16, (1, "M"), (4, " 2"), (6, "3036"), (10, "77"), (12, "-0042")),
        record(32, (1, "M"), (4, " 2"), (6, "6841"), (10, "07"), (12, "99999"), (17, "ｶﾅ"),
               (27, "end")),
        "X  not a record",
    )


M2_COLS = ["MESH1,schar,6,4", "MESH2,schar,10,2", "VALUE,integer,12,5", "NAME,char,17,10",
           "NOTE,char,27,6"]


def m2x_source():
    rows = [("5339", "45", "1", "000101"), ("5339", "46", "2", "000202"),
            ("5339", "47", "3", "000303"), ("5339", "55", "4", "000404"),
            ("5440", "01", "2", "000502"), ("5339", "56", "5", "000605"),
            ("5339", "57", " ", "000706")]
    return lines("H  X02", *[record(18, (1, "M"), (4, " 2"), (6, a), (10, b), (12, c), (13, d))
                             for a, b, c, d in rows])


M2X_COLS = ["MESH1,schar,6,4", "MESH2,schar,10,2", "KIND,schar,12,1", "VALUE,integer,13,6"]


def m3_source():
    return lines(
        "H  GSI   L03-51M   4 1976  25     5",
        record(25, (1, "M"), (4, " 3"), (6, "53394527"), (14, "13101"), (19, "  12345")),
        record(25, (1, "M"), (4, " 3"), (6, "53390000"), (14, "13102"), (19, "1000000")),
        record(25, (1, "M"), (4, " 3"), (6, "53397799"), (14, "13103"), (19, "      0")),
        record(18, (1, "M"), (4, " 3"), (6, "36230000"), (14, "47201")),
    )


M3_COLS = ["行政コード,schar,14,5", "面積,integer,19,7", "MESH,schar,6,8"]


def m4_source():
    rows = [("53394527", "1", "0011"), ("53394527", "2", "0012"), ("53394527", "3", "0013"),
            ("53394527", "4", "0014"), ("53394528", "0", "0020"), ("53394528", "5", "0025")]
    return lines("H  X03", *[record(18, (1, "M"), (4, " 4"), (6, a), (14, b), (15, c))
                             for a, b, c in rows])


M4_COLS = ["MESH,schar,6,8", "Q,schar,14,1", "VALUE,integer,15,4"]

LANDUSE = "1256789ABEFG0"


def m3_10_record(code, blocks):
    body = "".join(LANDUSE[k % len(LANDUSE)] + (" " if k % 7 == 0 else str(k % 10))
                   for k in range(blocks))
    return record(20 + 2 * blocks, (1, "M"), (4, " 3"), (6, code), (14, "1000000"), (21, body))


def m3_10_source():
    return lines("H  MLIT  L03-18M   4 2007 220     3",
                 m3_10_record("53394527", 100), m3_10_record("53390099", 50))


def m3_10_fail_source():
    return lines("H  MLIT  L03-18M   4 2007 220     4", m3_10_record("53394527", 100),
                 m3_10_record("53A94527", 100), m3_10_record("53390099", 100))


M3_10_COLS = ["MESH1,schar,-,-", "MESH2,schar,-,-", "MESH3,schar,-,-", "CELL,schar,-,-",
              "LANDUSE,schar,18,1", "FLAG,schar,19,1"]


def m3_4_record(code):
    body = "".join("%2d%d" % ((k * 7) % 100, k % 9) for k in range(16))
    return record(13 + 48, (1, "M"), (4, " 3"), (6, code), (14, body))


def m3_4_source():
    return lines("H  GSI   G04-56M", m3_4_record("53394527"), m3_4_record("30360000"))


M3_4_COLS = ["MESH1,schar,-,-", "MESH2,schar,-,-", "MESH3,schar,-,-", "標高,integer,14,2",
             "方向,schar,16,1"]


def m3ns_source():
    return lines("H\tヘッダ\t行", "53392745\tABC\t12", '53394500\t東京\t"q"', "36230000",
                 "53390000\t\t")


M3NS_S04 = ['"メッシュコード","名称","値"', '"MESH","NAME","VALUE"']


def main():
    make_case("m2", "M2", m2_source(), M2_COLS)
    for code in ("M21", "M22", "M23", "M24"):
        make_case(code.lower(), code, m2x_source(), M2X_COLS)
    make_case("m3", "M3", m3_source(), M3_COLS)
    make_case("m4", "M4", m4_source(), M4_COLS)
    make_case("m3_10", "M3_10", m3_10_source(), M3_10_COLS, (6, 3, 2))
    make_case("m3_10p", "M3_10P", m3_10_source(), M3_10_COLS, (6, 3, 2))
    make_case("m3_4", "M3_4", m3_4_source(), M3_4_COLS, (6, 0, 3))
    make_case("m3_4p", "M3_4P", m3_4_source(), M3_4_COLS, (6, 0, 3))
    make_case("m3ns", "M3NS", m3ns_source(), ["MESH,schar,1,8"], s04=M3NS_S04)

    # A record failing in the middle: the first record's objects and rows stay.
    source = m3_10_fail_source()
    good = lines("H  MLIT  L03-18M   4 2007 220     4", m3_10_record("53394527", 100))
    make_case("m3_10-fail", "M3_10", good, M3_10_COLS, (6, 3, 2))
    write(os.path.join(HERE, "m3_10-fail", "source.txt"), source)


if __name__ == "__main__":
    main()

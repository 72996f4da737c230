#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets: the rules' edge cases in
the byte layout each target reads. Run from this folder."""
import os

CSV = [
    b"a, b ,c", b"a b,c", b"a\tb", b"\x1a", b"a,\x7f,b", b",,", b" , ", b"a, ,b", b"a,", b"a,,", b",a",
    b"a,\r\n,b", b"a\r\n,b", b"a,b,c,\r\nd,e,f,", b'"x,y",z', b'"a""b"', b'""', b'""""', b'"a"""', b'" a "',
    b'"a"  ,  "b"', b'ab"cd,e', b'"ab"cd,e', b'"abc', b'"a\r\nb,c', b'a,"b', b'"x\ny",z', b'"x\ry",z',
    b'"x\n\ny"', b"a\rb\rc", b"a\nb\nc", b"\r\n\r\na\r\n\r\n", b"a\x00b,c\r\nd", b"\x00a",
    b"\xff\xfea\x00,\x00b\x00", b"\xef\xbb\xbfa,b", b'\xef\xbb\xbf"a",b', b"", b"\x95\x5c,\x83\x7c",
    b'"\x95\x5c"', b"x\x81\r\ny", b'"\x81""b', b"x\x81", b"x\x81\n", b'"\x81', b"no,\x95i\x96\xbc,\x8eY\x92n\r\n",
]


def write(folder, name, data):
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def main():
    for i, csv in enumerate(CSV):
        write("corpus/token_reader", "seed%02d" % i, csv)
        for selector in (0, 1):
            write("corpus/piece_line", "seed%02d_%d" % (i, selector), bytes([selector]) + csv)
            write("corpus/sort", "seed%02d_%d" % (i, selector), bytes([selector]) + csv)
    write("corpus/sort", "keys", b"\x00b,A,a,B,2,10,1,,\x82\xa0,\x83A,\xb1,\x93\x8c")
    paths = [b"C:\\data\\list.csv", b"C:\\my.data\\list", b"C:\\data\\list.old.csv", b"C:\\data\\.csv",
             b"C:\\\x95\\\\list.csv", b"/data/list.csv", b"list", b"C:list.csv", b"C:\\data\\list."]
    keys = [b"\x93\x8c\x8b\x9e", b"", b"a.b", b"\x95\x5c", b"x\\y", b"12:30", b"abc\\", b"a/b", b"/../../x",
            b"\\list", b"\x81", b'*?"<>|']
    utf8 = [b"\xe3\x81\x82,b\r\n", b"\xef\xbb\xbf\xe9\x83\xbd,\xe6\x9d\xb1\r\n", b"\xf0\xa0\xae\xb7\xe9\x87\x8e,x",
            b"a,\xe3\x81", b"\xc3\xbd,\xb1", b"\xed\xa0\x80", b"\xef\xbb", b"\xfe\xff\x00a", b"x\x00\xe3\x81\x82",
            b'"\xe3\x81\x82""\xe3\x81\x82",\r\n', b"\xe6\x9d\xb1" + b"a" * 70000 + b"\x82\xa0"]
    for i, text in enumerate(utf8 + CSV):
        for step in (0, 2, 63):
            write("corpus/text_encoding", "seed%02d_%d" % (i, step), bytes([step]) + text)
    n = 0
    for p in paths:
        for k in keys:
            for selector in (0, 1):
                write("corpus/piece_name", "seed%03d" % n, bytes([selector, len(p)]) + p + k)
                n += 1


if __name__ == "__main__":
    main()

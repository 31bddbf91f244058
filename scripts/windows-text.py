#!/usr/bin/env python3
"""Writes a UTF-8 text file the way Windows' Notepad reads it everywhere: with a byte-order mark
and CR LF line ends. Usage: windows-text.py IN OUT"""

import sys


def main(argv):
    if len(argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    with open(argv[1], encoding="utf-8") as f:
        text = f.read().replace("\r\n", "\n")
    data = b"\xef\xbb\xbf" + text.replace("\n", "\r\n").encode("utf-8")
    with open(argv[2], "wb") as f:
        f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

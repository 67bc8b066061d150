#!/usr/bin/python3
"""Checks every dBase table (*.DBF, any letter case) of a folder the way another
program would find it: python3-dbfread reads every record, and the file holds
exactly the records its header claims (an end-of-file byte may follow).
Prints what is wrong with which file and exits 1; exits 0 when all are sound.
"""
import os
import struct
import sys

import dbfread


def problem(path):
    data = open(path, 'rb').read()
    if len(data) < 32:
        return 'only %d bytes' % len(data)
    count, header_length, record_length = struct.unpack('<IHH', data[4:12])
    body = len(data) - header_length
    expected = count * record_length
    if body not in (expected, expected + 1):
        return 'header claims %d records of %d bytes after %d, file has %d bytes' % (
            count, record_length, header_length, len(data))
    if body == expected + 1 and data[-1] != 0x1A:
        return 'one stray byte after the records'
    try:
        read = sum(1 for _ in dbfread.DBF(path, encoding='cp1252', ignore_missing_memofile=True))
    except Exception as e:  # any failure to read is the finding
        return 'dbfread: %s' % e
    deleted = sum(1 for _ in dbfread.DBF(path, encoding='cp1252', ignore_missing_memofile=True).deleted)
    if read + deleted != count:
        return 'dbfread read %d records, header claims %d' % (read + deleted, count)
    return None


def main(folder):
    bad = []
    for name in sorted(os.listdir(folder)):
        if name.upper().endswith('.DBF'):
            why = problem(os.path.join(folder, name))
            if why:
                bad.append('%s: %s' % (name, why))
    for line in bad:
        print(line)
    return 1 if bad else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1]))

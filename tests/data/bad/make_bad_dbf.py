#!/usr/bin/python3
"""Writes the SOLUC tables of the hardening tests, byte by byte.

A good SOLUC for the small test school (tests/data/hardening/SOLUC.DBF, in the
shape Horalia writes it: DIA and HORA numeric) and, beside this script, one
spoilt copy per way a table on disk can be wrong. Run it again after changing
it; the files are committed so that the tests never need it.

dBase III layout: a 32-byte header (version, date, record count, header length,
record length), one 32-byte descriptor per field, 0x0D, then the records (a
deletion flag byte and the fields, blank-padded), then 0x1A.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
GOOD = os.path.join(HERE, '..', 'hardening', 'SOLUC.DBF')

FIELDS = [('PROF', 'C', 4), ('DIA', 'N', 1), ('HORA', 'N', 2), ('AULA', 'C', 4),
          ('CODGRUPO', 'C', 4), ('ASIG', 'C', 4), ('TAREA', 'C', 4)]

# Lessons of the small school: teacher, day, slot, room, unit, subject, task.
# Codes are those the Séneca-to-Horalia run gives the small school.
LESSONS = [
    ('AGL', 1, 1, '1263', 'ES1A', 'LCL', ''),
    ('AGL', 1, 2, '1263', 'ES1B', 'LCL', ''),
    ('AGL', 3, 4, '', '', '', '25'),
    ('JNP', 2, 1, '1263', 'ES1A', 'Mate', ''),
    ('JNP', 2, 2, 'LAB', 'ES1B', 'Mate', ''),
    ('JNP', 0, 0, '', '', '', ''),
    ('ÍIR', 4, 1, '1263', 'ES2A', 'Ingl', ''),
    ('ÍIR', 5, 4, '1263', 'ES2A', '', '2'),
    ('XXX', 1, 1, '1263', 'ES1A', 'LCL', ''),
]


def header(fields, count, record_length=None, header_length=None):
    rec_len = 1 + sum(w for _, _, w in fields) if record_length is None else record_length
    hdr_len = 32 + 32 * len(fields) + 1 if header_length is None else header_length
    return struct.pack('<B3BIHH20x', 0x03, 126, 9, 1, count, hdr_len, rec_len)


def descriptor(name, kind, width, raw_name=None):
    name_bytes = raw_name if raw_name is not None else name.encode('ascii').ljust(11, b'\0')
    return name_bytes + kind.encode('ascii') + b'\0' * 4 + bytes([width, 0]) + b'\0' * 14


def record(fields, values):
    out = b' '
    for (name, kind, width), value in zip(fields, values):
        text = str(value).encode('cp1252')
        assert len(text) <= width, (name, value)
        out += text.rjust(width) if kind == 'N' else text.ljust(width)
    return out


def table(fields, rows, **header_overrides):
    data = header(fields, len(rows), **header_overrides)
    data += b''.join(descriptor(*f) for f in fields) + b'\x0d'
    data += b''.join(record(fields, r) for r in rows)
    return data + b'\x1a'


def write(name, data):
    with open(os.path.join(HERE, name), 'wb') as f:
        f.write(data)


def main():
    good = table(FIELDS, LESSONS)
    with open(GOOD, 'wb') as f:
        f.write(good)

    body_start = 32 + 32 * len(FIELDS) + 1
    rec_len = 1 + sum(w for _, _, w in FIELDS)

    write('soluc_empty.dbf', b'')
    write('soluc_not_dbf.dbf', 'Esto no es una tabla de Horalia.\r\n'.encode('cp1252'))
    write('soluc_truncated_in_header.dbf', good[:40])
    write('soluc_truncated.dbf', good[:body_start + 3 * rec_len + rec_len // 2])
    write('soluc_claims_more_records.dbf', table(FIELDS, LESSONS)[:4] +
          struct.pack('<I', len(LESSONS) + 5) + good[8:])
    write('soluc_claims_four_billion_records.dbf', good[:4] + struct.pack('<I', 0xFFFFFFFF) + good[8:])
    write('soluc_record_length_mismatch.dbf', table(FIELDS, LESSONS, record_length=rec_len + 3))
    write('soluc_record_length_65535.dbf', table(FIELDS, LESSONS, record_length=65535))
    write('soluc_header_length_past_end.dbf', table(FIELDS, LESSONS, header_length=60000))
    write('soluc_header_length_too_small.dbf', table(FIELDS, LESSONS, header_length=40))
    no_terminator = bytearray(good)
    no_terminator[body_start - 1] = 0x20
    write('soluc_no_header_terminator.dbf', bytes(no_terminator))
    wide = [f if f[0] != 'AULA' else ('AULA', 'C', 250) for f in FIELDS]
    write('soluc_field_past_record.dbf', header(FIELDS, len(LESSONS)) +
          b''.join(descriptor(*f) for f in wide) + b'\x0d' +
          b''.join(record(FIELDS, r) for r in LESSONS) + b'\x1a')
    write('soluc_field_width_zero.dbf', header(FIELDS, len(LESSONS)) +
          b''.join(descriptor(n, k, 0 if n == 'ASIG' else w) for n, k, w in FIELDS) + b'\x0d' +
          b''.join(record(FIELDS, r) for r in LESSONS) + b'\x1a')
    write('soluc_no_fields.dbf', table([], []))
    unterminated = header(FIELDS, len(LESSONS)) + descriptor('', 'C', 4, raw_name=b'PROFPROFPRO')
    unterminated += b''.join(descriptor(*f) for f in FIELDS[1:]) + b'\x0d'
    unterminated += b''.join(record(FIELDS, r) for r in LESSONS) + b'\x1a'
    write('soluc_field_name_unterminated.dbf', unterminated)
    write('soluc_missing_field.dbf', table([f for f in FIELDS if f[0] != 'HORA'],
                                           [r[:2] + r[3:] for r in LESSONS]))
    text_dia = [('DIA', 'C', 2) if f[0] == 'DIA' else f for f in FIELDS]
    write('soluc_dia_x.dbf', table(text_dia, LESSONS[:1] + [('JNP', 'x', 1, 'LAB', 'ES1A', 'Mate', '')]))
    text_hora = [('HORA', 'C', 11) if f[0] == 'HORA' else f for f in FIELDS]
    write('soluc_hora_overflow.dbf', table(text_hora, [('AGL', 1, '99999999999', '1263', 'ES1A', 'LCL', '')]))
    write('soluc_dia_stars.dbf', table(FIELDS, [('AGL', '*', 1, '1263', 'ES1A', 'LCL', '')]))
    text_both = [('DIA', 'C', 3) if f[0] == 'DIA' else ('HORA', 'C', 3) if f[0] == 'HORA' else f for f in FIELDS]
    write('soluc_dia_hora_text_with_blanks.dbf',
          table(text_both, [('AGL', ' 1 ', '01', '1263', 'ES1A', 'LCL', ''), ('JNP', '0', '', '', '', '', '')]))


if __name__ == '__main__':
    main()

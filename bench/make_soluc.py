#!/usr/bin/python3
"""Writes a plausible Horalia solution table SOLUC for a school already exported.

    make_soluc.py CARPETA_DE_TRABAJO [SOLUC.DBF]

Reads the working tables that `transorvano-batch exportar` wrote in the folder
(PROFT, GRUPOST, ASIGNOMT, AULAT, ASIGT, DIASHORAST) with dbfread and writes,
with python3-dbf, the table Horalia would leave there (CARPETA/SOLUC.DBF unless
another path is given): every teacher 18 to 25 lessons over five days, never two
at once, no unit or room twice in one slot, recesses kept for duties; some duties
with a task code (an activity's COD) and no unit or subject; a few lessons that
Horalia could not place, with day 0. Deterministic.

Run it with Debian's /usr/bin/python3, which has python3-dbfread and python3-dbf.
"""

import random
import sys
from pathlib import Path

import dbf
from dbfread import DBF

FIELDS = "PROF C(4); DIA N(2,0); HORA N(2,0); AULA C(4); CODGRUPO C(4); ASIG C(4); TAREA C(4)"
DAYS = range(1, 6)
RECESS_MINUTES = 45  # a slot shorter than this is a recess: duties only


def read(folder, name):
    matches = [p for p in Path(folder).iterdir() if p.name.upper() == name + ".DBF"]
    if not matches:
        sys.exit(f"No está la tabla {name} en {folder}: ejecute antes transorvano-batch exportar.")
    return list(DBF(str(matches[0]), encoding="cp1252", char_decode_errors="strict"))


class Timetable:
    def __init__(self, folder, seed=2026):
        self.rng = random.Random(seed)
        self.teachers = [r["ABREV"] for r in read(folder, "PROFT")]
        pairs = [(r["CGRUP"], r["CASIG"]) for r in read(folder, "ASIGT") if r["CTAREA"] == "1"]
        self.rng.shuffle(pairs)
        self.pairs = pairs
        self.duties = [r["COD"] for r in read(folder, "ASIGNOMT") if r["ESTAREA"] and r["COD"] != "1"]
        rooms = dict.fromkeys(r["ABREV"] for r in read(folder, "AULAT"))
        self.rooms = list(rooms)
        first_day = [r for r in read(folder, "DIASHORAST") if r["DIA"] == "1"]
        self.slots = [i + 1 for i, r in enumerate(first_day)]
        self.teaching_slots = [i + 1 for i, r in enumerate(first_day)
                               if int(r["MINUTOS"] or 0) >= RECESS_MINUTES]
        self.busy_units, self.busy_rooms = set(), set()
        self.next_pair = 0
        self.lessons = []

    def free_room(self, day, slot):
        start = self.rng.randrange(len(self.rooms))
        for k in range(len(self.rooms)):
            room = self.rooms[(start + k) % len(self.rooms)]
            if (room, day, slot) not in self.busy_rooms:
                self.busy_rooms.add((room, day, slot))
                return room
        return ""

    def place(self, busy, unit, choices):
        """A day and slot free for the teacher (and the unit), or None."""
        self.rng.shuffle(choices)
        for day, slot in choices:
            if (day, slot) in busy or (unit and (unit, day, slot) in self.busy_units):
                continue
            busy.add((day, slot))
            if unit:
                self.busy_units.add((unit, day, slot))
            return day, slot
        return None

    def teacher(self, code):
        total = self.rng.randint(18, 25)
        duties = self.rng.randint(1, 4) if self.duties else 0
        busy, lessons = set(), []
        teaching = [(d, s) for d in DAYS for s in self.teaching_slots]
        anytime = [(d, s) for d in DAYS for s in self.slots]
        tries = 0
        while len(lessons) < total - duties and self.pairs and tries < 4 * len(self.pairs) + 40:
            unit, subject = self.pairs[self.next_pair % len(self.pairs)]
            self.next_pair += 1
            tries += 1
            for _ in range(min(self.rng.randint(2, 4), total - duties - len(lessons))):
                when = self.place(busy, unit, teaching)
                if when is None:
                    break
                lessons.append((code, *when, self.free_room(*when), unit, subject, ""))
        while len(lessons) < total:
            when = self.place(busy, "", anytime)
            if when is None:
                break
            task = self.rng.choice(self.duties) if self.duties else "25"
            room = self.free_room(*when) if self.rng.random() < 0.5 else ""
            lessons.append((code, *when, room, "", "", task))
        lessons.sort(key=lambda lesson: (lesson[1], lesson[2]))
        # Now and then Horalia leaves a lesson unplaced: day and slot 0.
        if self.pairs and self.rng.random() < 0.06:
            unit, subject = self.rng.choice(self.pairs)
            lessons.append((code, 0, 0, "", unit, subject, ""))
        self.lessons += lessons

    def build(self):
        for code in self.teachers:
            self.teacher(code)
        return self.lessons


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit("uso: make_soluc.py CARPETA_DE_TRABAJO [SOLUC.DBF]")
    folder = Path(sys.argv[1])
    output = Path(sys.argv[2]) if len(sys.argv) == 3 else folder / "SOLUC.DBF"
    lessons = Timetable(folder).build()
    partial = output.with_name("part_" + output.name)  # keeps the .DBF the writer wants
    table = dbf.Table(str(partial), FIELDS, codepage="cp1252", dbf_type="db3")
    table.open(dbf.READ_WRITE)
    for lesson in lessons:
        table.append(lesson)
    table.close()
    partial.replace(output)
    print(f"{output}: {len(lessons)} sesiones de {len(set(l[0] for l in lessons))} profesores")


if __name__ == "__main__":
    main()

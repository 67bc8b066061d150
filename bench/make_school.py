#!/usr/bin/env python3
"""Writes an invented secondary school as Séneca exports it for timetabling.

    make_school.py ESCALA CARPETA

writes CARPETA/ExportacionHorarios.xml (ISO-8859-1, the layout Séneca uses)
and CARPETA/NIVELES.csv (level and course number of every course, for
`transorvano-batch exportar --niveles`).

ESCALA 1 is the bundled sample school: about 40 courses, 320 subjects, 40
activities, 80 rooms, 45 unit records, 12 slots and 81 staff records, with the
awkward cases real files have (accented names, a unit mixing two courses, a
subject whose course is absent, teachers sharing initials, an employee listed
twice, two rooms whose identifiers share their first four digits). ESCALA N
puts N such schools side by side in one document, with distinct identifiers
and level codes, for the benchmarks. Everything is invented and deterministic.
"""

import random
import sys
from pathlib import Path
from xml.sax.saxutils import escape

YEAR, START, END = "2026", "15/09/2026", "22/06/2027"

# (name, level, course number, number of units, kind of subjects)
COURSES = [
    ("1º de E.S.O.", "ESO", "1", 4, "eso"),
    ("2º de E.S.O.", "ESO", "2", 4, "eso"),
    ("3º de E.S.O.", "ESO", "3", 4, "eso"),
    ("3º de E.S.O. (Diversificación Curricular)", "ESO", "3", 1, "eso"),
    ("4º de E.S.O.", "ESO", "4", 4, "eso"),
    ("1º de Bachillerato (Ciencias y Tecnología)", "BACH", "1", 3, "bach"),
    ("1º de Bachillerato (Humanidades y Ciencias Sociales)", "BACH", "1", 1, "bach"),
    ("1º de Bachillerato (Artes)", "BACH", "1", 0, "bach"),
    ("2º de Bachillerato (Ciencias y Tecnología)", "BACH", "2", 2, "bach"),
    ("2º de Bachillerato (Humanidades y Ciencias Sociales)", "BACH", "2", 1, "bach"),
    ("2º de Bachillerato (Artes)", "BACH", "2", 1, "bach"),
    ("1º F.P.B. (Informática y Comunicaciones)", "FPB", "1", 1, "fp"),
    ("2º F.P.B. (Informática y Comunicaciones)", "FPB", "2", 1, "fp"),
    ("1º C.F.G.M. (Sistemas Microinformáticos y Redes)", "CFGM", "1", 1, "fp"),
    ("2º C.F.G.M. (Sistemas Microinformáticos y Redes)", "CFGM", "2", 1, "fp"),
    ("1º C.F.G.M. (Gestión Administrativa)", "CFGM", "1", 1, "fp"),
    ("2º C.F.G.M. (Gestión Administrativa)", "CFGM", "2", 1, "fp"),
    ("1º C.F.G.M. (Cuidados Auxiliares de Enfermería)", "CFGM", "1", 1, "fp"),
    ("1º C.F.G.S. (Administración de Sistemas Informáticos en Red)", "CFGS", "1", 1, "fp"),
    ("2º C.F.G.S. (Administración de Sistemas Informáticos en Red)", "CFGS", "2", 1, "fp"),
    ("1º C.F.G.S. (Desarrollo de Aplicaciones Web)", "CFGS", "1", 1, "fp"),
    ("2º C.F.G.S. (Desarrollo de Aplicaciones Web)", "CFGS", "2", 1, "fp"),
    ("1º C.F.G.S. (Administración y Finanzas)", "CFGS", "1", 1, "fp"),
    ("2º C.F.G.S. (Administración y Finanzas)", "CFGS", "2", 1, "fp"),
    ("Nivel I de E.S.P.A. (Educación Secundaria para Personas Adultas)", "ESPA", "1", 1, "eso"),
    ("Nivel II de E.S.P.A. (Educación Secundaria para Personas Adultas)", "ESPA", "2", 1, "eso"),
    ("1º de Bachillerato de Personas Adultas (Ciencias)", "BAPA", "1", 1, "bach"),
    ("2º de Bachillerato de Personas Adultas (Ciencias)", "BAPA", "2", 1, "bach"),
    ("Aula Específica de Educación Especial", "AEE", "1", 1, "esp"),
    ("Programa de Transición a la Vida Adulta y Laboral", "PTVA", "1", 1, "esp"),
    ("1º de E.S.O. (Programa Bilingüe)", "ESO", "1", 0, "eso"),
    ("2º de E.S.O. (Programa Bilingüe)", "ESO", "2", 0, "eso"),
    ("Curso de Acceso a Ciclos de Grado Medio", "ACGM", "1", 0, "fp"),
    ("Curso de Acceso a Ciclos de Grado Superior", "ACGS", "1", 0, "fp"),
    ("Curso de Especialización en Ciberseguridad", "CESP", "1", 0, "fp"),
    ("2º C.F.G.M. (Cuidados Auxiliares de Enfermería) - Módulo de F.C.T.", "CFGM", "2", 0, "fp"),
    ("1º de Bachillerato (General)", "BACH", "1", 0, "bach"),
    ("2º de Bachillerato (General)", "BACH", "2", 0, "bach"),
    ("Refuerzo de Materias Instrumentales", "REF", "1", 0, "esp"),
    ("Programa de Acompañamiento Escolar", "PROA", "1", 0, "esp"),
]

SUBJECTS = {
    "eso": ["Lengua Castellana y Literatura", "Matemáticas", "Geografía e Historia",
            "Biología y Geología", "Primera Lengua Extranjera (Inglés)", "Educación Física",
            "Música", "Educación Plástica, Visual y Audiovisual", "Tecnología y Digitalización",
            "Segunda Lengua Extranjera (Francés)", "Religión Católica", "Atención Educativa",
            "Física y Química", "Computación y Robótica", "Educación en Valores Cívicos y Éticos"],
    "bach": ["Lengua Castellana y Literatura I", "Filosofía", "Matemáticas I", "Física y Química",
             "Primera Lengua Extranjera I (Inglés)", "Educación Física", "Dibujo Técnico I",
             "Biología, Geología y Ciencias Ambientales", "Historia del Mundo Contemporáneo",
             "Latín I", "Griego I", "Economía", "Dibujo Artístico I", "Cultura Audiovisual",
             "Historia de España", "Anatomía Aplicada"],
    "fp": ["Montaje y Mantenimiento de Equipos", "Sistemas Operativos Monopuesto",
           "Aplicaciones Ofimáticas", "Redes Locales", "Formación y Orientación Laboral",
           "Empresa e Iniciativa Emprendedora", "Seguridad Informática", "Servicios en Red",
           "Aplicaciones Web", "Comunicación y Atención al Cliente", "Inglés Profesional",
           "Tratamiento Informático de la Información", "Operaciones Auxiliares de Gestión",
           "Bases de Datos", "Programación", "Lenguajes de Marcas", "Entornos de Desarrollo",
           "Proyecto Intermodular", "Digitalización Aplicada a los Sectores Productivos"],
    "esp": ["Autonomía Personal", "Comunicación y Lenguaje", "Habilidades Sociales",
            "Taller de Jardinería", "Matemáticas Básicas", "Lectura Comprensiva",
            "Técnicas de Estudio", "Orientación Laboral"],
}

# Words for the subjects of the synthetic copies of the benchmarks, whose
# names must spread over many subject codes as a big real catalogue would.
WORDS = ["Análisis", "Biología", "Cálculo", "Dibujo", "Electrónica", "Filosofía", "Geometría",
         "Historia", "Informática", "Jardinería", "Kinesiología", "Literatura", "Mecánica",
         "Nutrición", "Óptica", "Programación", "Química", "Robótica", "Sociología",
         "Tecnología", "Urbanismo", "Versificación", "Xilografía", "Zoología",
         "Ética", "Álgebra", "Acústica", "Botánica", "Cerámica", "Danza", "Estadística"]

ACTIVITIES = [
    ("S", 1, "Docencia", "S", "S"), ("S", 2, "Tutoría de grupo", "S", "N"),
    ("S", 3, "Tutoría de atención a las familias", "N", "N"),
    ("S", 5, "Reunión de departamento", "N", "N"), ("S", 6, "Reunión de equipo educativo", "N", "N"),
    ("S", 7, "Coordinación de área de competencia", "N", "N"),
    ("S", 8, "Coordinación del programa bilingüe", "N", "N"),
    ("S", 9, "Coordinación del plan de lectura y biblioteca", "N", "N"),
    ("S", 11, "Coordinación de coeducación", "N", "N"),
    ("S", 12, "Coordinación TIC y transformación digital", "N", "N"),
    ("S", 13, "Coordinación de formación, evaluación e innovación", "N", "N"),
    ("S", 14, "Coordinación de prevención de riesgos laborales", "N", "N"),
    ("S", 15, "Coordinación de convivencia", "N", "N"),
    ("S", 16, "Atención al alumnado con necesidades educativas", "N", "N"),
    ("S", 17, "Apoyo a la integración", "N", "N"), ("S", 18, "Desdoble de laboratorio", "S", "S"),
    ("S", 19, "Programa de refuerzo del aprendizaje", "S", "S"),
    ("S", 20, "Seguimiento de la formación en centros de trabajo", "N", "N"),
    ("S", 21, "Tutoría de la formación en empresa", "N", "N"),
    ("S", 22, "Organización y funcionamiento de la biblioteca", "N", "N"),
    ("S", 25, "Guardia", "N", "N"), ("S", 26, "Guardia de biblioteca", "N", "N"),
    ("S", 27, "Guardia de recreo", "N", "N"), ("S", 28, "Guardia en el aula de convivencia", "N", "N"),
    ("S", 30, "Actividades extraescolares", "N", "N"),
    ("S", 31, "Jefatura del departamento de actividades complementarias", "N", "N"),
    ("S", 44, "Cargo directivo", "N", "N"), ("S", 45, "Jefatura de departamento", "N", "N"),
    ("S", 46, "Jefatura de departamento de orientación", "N", "N"),
    ("S", 47, "Jefatura de departamento de familia profesional", "N", "N"),
    ("S", 50, "Reducción por mayor de 55 años", "N", "N"),
    ("S", 51, "Reducción por lactancia", "N", "N"),
    ("S", 60, "Plan de salud laboral", "N", "N"), ("S", 61, "Plan de igualdad", "N", "N"),
    ("S", 70, "Mantenimiento de equipos informáticos", "N", "N"),
    ("S", 71, "Gestión de la web del centro", "N", "N"),
    ("N", 80, "Sesiones de evaluación", "N", "N"), ("N", 81, "Claustro", "N", "N"),
    ("N", 82, "Consejo escolar", "N", "N"), ("N", 83, "Formación del profesorado", "N", "N"),
]

ROOM_KINDS = ["Aula {p}.{n}"] * 6 + ["Laboratorio de {s}", "Taller de {s}", "Aula de {s}"]
ROOM_SPECIALTIES = ["Física", "Química", "Biología", "Tecnología", "Informática", "Música",
                    "Plástica", "Idiomas", "Convivencia", "Apoyo", "Dibujo", "Electricidad"]
SPECIAL_ROOMS = ["Gimnasio", "Pista polideportiva", "Biblioteca", "Salón de actos",
                 "Sala de profesores", "Aula específica", "Departamento de Orientación"]

FIRST_NAMES = ["María", "José", "Ángela", "Álvaro", "Inés", "Jesús", "Begoña", "Óscar",
               "Úrsula", "Raúl", "Lucía", "Sofía", "Ramón", "Íñigo", "Carmen", "Francisco",
               "Dolores", "Antonio", "Elena", "Manuel", "Rocío", "Pablo", "Nuria", "Tomás",
               "Concepción", "Andrés", "Pilar", "Joaquín", "Marta", "Héctor", "Beatriz",
               "Germán", "Yolanda", "Víctor", "Remedios", "Fernando", "Esperanza", "Luis"]
SURNAMES = ["García", "Núñez", "Pérez", "Martín", "Gómez", "Ruiz", "Jiménez", "Álvarez",
            "Muñoz", "Sánchez", "Romero", "Domínguez", "Vázquez", "Ortega", "Castaño", "Peña",
            "Ibáñez", "Úbeda", "Ávila", "Olmedo", "Luque", "López", "Fernández", "Moreno",
            "Delgado", "Herrera", "Cabello", "Benítez", "Quesada", "Toledano", "Zamora",
            "Escribano", "Bermúdez", "Carrasco", "Navarro", "Espinosa", "Rivas", "Gallardo"]
POSTS = ["Lengua Castellana y Literatura P.E.S.", "Matemáticas P.E.S.", "Inglés P.E.S.",
         "Francés P.E.S.", "Geografía e Historia P.E.S.", "Biología y Geología P.E.S.",
         "Física y Química P.E.S.", "Educación Física P.E.S.", "Música P.E.S.",
         "Dibujo P.E.S.", "Tecnología P.E.S.", "Filosofía P.E.S.", "Latín P.E.S.",
         "Economía P.E.S.", "Orientación Educativa P.E.S.", "Informática P.E.S.",
         "Sistemas y Aplicaciones Informáticas P.T.F.P.", "Administración de Empresas P.E.S.",
         "Procesos Sanitarios P.E.S.", "Pedagogía Terapéutica", "Religión Católica"]

# Start and end of each slot in minutes since midnight; two are recesses.
SLOTS = [(510, 570), (570, 630), (630, 690), (690, 720), (720, 780), (780, 840),
         (840, 900), (960, 1020), (1020, 1080), (1080, 1110), (1110, 1170), (1170, 1230)]


class Ids:
    """Séneca-like identifiers: increasing, with irregular gaps, never repeated."""

    def __init__(self, rng, start, low, high):
        self.rng, self.next_id, self.low, self.high = rng, start, low, high

    def take(self):
        self.next_id += self.rng.randint(self.low, self.high)
        return str(self.next_id)


class School:
    def __init__(self, scale, seed=2026):
        self.rng = random.Random(seed)
        self.course_ids = Ids(self.rng, 100300, 3, 37)
        self.subject_ids = Ids(self.rng, 10000, 1, 9)
        self.unit_ids = Ids(self.rng, 650500, 1, 9)
        self.room_ids = Ids(self.rng, 12600, 10, 40)
        self.employee_ids = Ids(self.rng, 1200000, 7, 900)
        self.courses, self.subjects, self.activities = [], [], []
        self.rooms, self.units, self.staff, self.levels = [], [], [], []
        for copy in range(scale):
            self.add_copy(copy)

    def level_of(self, copy, level):
        # The copies of a benchmark school get level codes of their own, so that
        # their unit codes do not all draw letters from one sequence.
        if copy == 0:
            return level
        return "ABCDEFGHIJKLMNOPQRSTUVWXYZ"[(copy - 1) % 26] + str((copy - 1) // 26)

    def add_copy(self, copy):
        rng = self.rng
        tag = "" if copy == 0 else f" - Sede {copy}"
        course_keys = []
        for name, level, number, units, kind in COURSES:
            key = self.course_ids.take()
            course_keys.append((key, name, number, units, kind))
            self.courses.append((key, name + tag))
            self.levels.append((key, self.level_of(copy, level), number))

        for key, name, number, units, kind in course_keys:
            pool = SUBJECTS[kind]
            for subject in rng.sample(pool, 8):
                if copy > 0:
                    subject = " ".join(rng.sample(WORDS, 3)) + " " + number
                self.subjects.append((key, self.subject_ids.take(), subject))
        # A subject of a course the centre does not offer this year.
        absent_course = str(int(self.course_ids.take()) + 1)
        absent_name = "Cultura Clásica" if copy == 0 else " ".join(rng.sample(WORDS, 3))
        self.subjects.append((absent_course, self.subject_ids.take(), absent_name))

        for regular, code, name, unit, subject in ACTIVITIES:
            code = code if copy == 0 else 1000 + copy * 100 + code
            self.activities.append((regular, str(code), name, unit, subject))

        for i in range(72):
            pattern = ROOM_KINDS[i % len(ROOM_KINDS)]
            name = pattern.format(p=i // 24 + 1, n=i % 24 + 1, s=ROOM_SPECIALTIES[i % 12])
            self.rooms.append((self.room_ids.take(), name + tag))
        for name in SPECIAL_ROOMS:
            self.rooms.append((self.room_ids.take(), name + tag))
        # A room whose identifier shares its first four digits with the one before.
        self.rooms.append((str(int(self.rooms[-1][0]) + 1), "Almacén de Educación Física" + tag))

        mixed = None
        for key, name, number, units, kind in course_keys:
            short = name.split(" (")[0].replace(" de ", " ")
            for letter in "ABCDEFGH"[:units]:
                unit = (self.unit_ids.take(), f"{short} {letter}", key)
                self.units.append(unit)
                if "Humanidades" in name and number == "1":
                    mixed = unit
        # The unit of 1º Humanidades also takes the pupils of 1º Artes: Séneca
        # lists it a second time, with the other course.
        artes = next(k for k, n, *_ in course_keys if n.startswith("1º de Bachillerato (Artes)"))
        self.units.append((mixed[0], mixed[1], artes))

        people = []
        for i in range(80):
            first = rng.choice(FIRST_NAMES)
            last1, last2 = rng.sample(SURNAMES, 2)
            people.append([first, last1, last2])
        # Two teachers with the same initials, M G L.
        people[10] = ["María", "García", "López"]
        people[11] = ["Manuel", "Gómez", "Luque"]
        for first, last1, last2 in people:
            since = f"01/09/{rng.randint(2008, 2026)}"
            self.staff.append((self.employee_ids.take(), since, rng.choice(POSTS), last1, last2, first))
        # An employee shared with another post appears twice with one identifier.
        twice = self.staff[-80 + 20]
        self.staff.append((twice[0], twice[1], "Orientación Educativa P.E.S.") + twice[3:])

    def xml(self):
        out = ['<?xml version="1.0" encoding="iso-8859-1"?>',
               '<SERVICIO modulo="HORARIOS" tipo="E">', "  <BLOQUE_DATOS>"]

        def dato(indent, name, value):
            out.append(f'{indent}<dato nombre_dato="{name}">{escape(value)}</dato>')

        def group(seq, record, names, rows):
            out.append(f'    <grupo_datos seq="{seq}" registros="{len(rows)}">')
            for n, row in enumerate(rows, 1):
                out.append(f'      <grupo_datos seq="{record}_{n}">')
                for name, value in zip(names, row):
                    dato("        ", name, value)
                out.append("      </grupo_datos>")
            out.append("    </grupo_datos>")

        out.append('    <grupo_datos seq="ANNO_ACADEMICO">')
        for name, value in (("C_ANNO", YEAR), ("F_INIHORREG", START), ("F_FINHORREG", END)):
            dato("      ", name, value)
        out.append("    </grupo_datos>")
        group("CURSOS_DEL_CENTRO", "CURSO", ["X_OFERTAMATRIG", "D_OFERTAMATRIG"], self.courses)
        group("MATERIAS", "MATERIA", ["X_OFERTAMATRIG", "X_MATERIAOMG", "D_MATERIAC"], self.subjects)
        group("ACTIVIDADES", "ACTIVIDAD",
              ["L_REGULAR", "X_ACTIVIDAD", "D_ACTIVIDAD", "L_REQUNIDAD", "L_REQMATERIA"],
              self.activities)
        group("DEPENDENCIAS", "DEPENDENCIA", ["X_DEPENDENCIA", "D_DEPENDENCIA"], self.rooms)
        group("JORNADAS_ESCOLARES", "JORNADA", ["X_PLAJORESCCEN", "D_PLAJORESCCEN", "F_INICIO", "F_FIN"],
              [("2041", "Jornada ordinaria de mañana y tarde", START, END)])
        slots = [(str(778970 + i), str(i + 1), str(a), str(b), "2041")
                 for i, (a, b) in enumerate(SLOTS)]
        group("TRAMOS_HORARIOS", "TRAMO", ["X_TRAMO", "T_HORCEN", "N_INICIO", "N_FIN", "X_PLAJORESCCEN"],
              slots)
        group("UNIDADES", "UNIDAD_CURSO", ["X_UNIDAD", "T_NOMBRE", "X_OFERTAMATRIG"], self.units)
        group("EMPLEADOS", "PROFESOR",
              ["X_EMPLEADO", "F_TOMAPOS", "D_PUESTO", "APELLIDO1", "APELLIDO2", "NOMBRE"], self.staff)
        out += ["  </BLOQUE_DATOS>", "</SERVICIO>", ""]
        return "\n".join(out)

    def niveles(self):
        lines = ["CLAVE;NIVEL;CURSO"] + [f"{k};{level};{number}" for k, level, number in self.levels]
        return "\n".join(lines) + "\n"


def main():
    if len(sys.argv) != 3 or not sys.argv[1].isdigit() or int(sys.argv[1]) < 1:
        sys.exit("uso: make_school.py ESCALA CARPETA")
    school = School(int(sys.argv[1]))
    folder = Path(sys.argv[2])
    folder.mkdir(parents=True, exist_ok=True)
    (folder / "ExportacionHorarios.xml").write_bytes(school.xml().encode("iso-8859-1"))
    (folder / "NIVELES.csv").write_text(school.niveles(), encoding="utf-8")


if __name__ == "__main__":
    main()

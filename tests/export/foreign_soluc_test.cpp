// A SOLUC written by another dBase writer (as Horalia's would be), named in
// lower case, with DIA and HORA as numeric fields or as text.
#include <gtest/gtest.h>

#include <cstdlib>

#include "export/export_fixture.h"

namespace exporting::testing {
namespace {

// Writes htemp/soluc.dbf with python3-dbf: two lessons of teacher AA, the
// second with the hour written with a leading zero where the field is text.
void WriteSolucWithPython(const School& school, const std::string& dayHourSpec,
                          const std::string& lessons) {
  const std::filesystem::path script = school.Path("soluc.py");
  WriteBytes(script,
            "import dbf, sys\n"
            "t = dbf.Table(sys.argv[1], 'PROF C(4); " + dayHourSpec +
                "; AULA C(4); CODGRUPO C(4); ASIG C(4); TAREA C(4)', codepage='cp1252', "
                "dbf_type='db3')\n"
                "t.open(dbf.READ_WRITE)\n" +
                lessons +
                "t.close()\n");
  const ProgramRun run = RunProgram({PYTHON_EXE, script.string(), (school.WorkingFolder() / "soluc.dbf").string()});
  ASSERT_EQ(run.exitCode, 0) << run.err;
}

TEST(SolucOfAnotherWriter, IsReadWithNumericOrTextDayAndHour) {
  const struct {
    const char* name;
    const char* dayHourSpec;
    const char* lessons;
  } cases[] = {
      {"numeric", "DIA N(1,0); HORA N(2,0)",
       "t.append(('AA', 2, 3, 'AB1', '1A', 'LENG', ''))\n"
       "t.append(('AA', 0, 1, 'AB1', '1A', 'LENG', ''))\n"
       "t.append(('AA', 1, 1, 'ZZ', '', 'GUAR', '25'))\n"},
      {"text", "DIA C(1); HORA C(2)",
       "t.append(('AA', '2', '03', 'AB1', '1A', 'LENG', ''))\n"
       "t.append(('AA', '0', '01', 'AB1', '1A', 'LENG', ''))\n"
       "t.append(('AA', '1', '1', 'ZZ', '', 'GUAR', '25'))\n"},
  };
  for (const auto& c : cases) {
    School school;
    WriteWorkingTable(school.WorkingFolder(), "PROFT", {{{"ABREV", "AA"}, {"X_EMPLEADO", "1001"}}});
    WriteWorkingTable(school.WorkingFolder(), "DIASHORAST",
                      {{{"DIHO", "11"}, {"DIA", "1"}, {"CODDIHO", "7001"}, {"HORADESDE", "510"}, {"HORAHASTA", "570"}},
                       {{"DIHO", "23"}, {"DIA", "2"}, {"CODDIHO", "7002"}, {"HORADESDE", "570"}, {"HORAHASTA", "630"}}});
    WriteWorkingTable(school.WorkingFolder(), "AULAT", {{{"ABREV", "AB1"}, {"DEPCENTRO", "12631"}}});
    WriteWorkingTable(school.WorkingFolder(), "GRUPOST", {{{"ABREV", "1A"}, {"UNIDAD", "650543"}}});
    WriteWorkingTable(school.WorkingFolder(), "ASIGNOMT",
                      {{{"COD", "LENG"}, {"OFERTAMATR", "100323"}, {"CODLARGO", "62645"}},
                       {{"COD", "GUAR"}, {"OFERTAMATR", "25"}, {"CODLARGO", "25"}}});
    std::filesystem::remove(tables::TableFile(school.WorkingFolder(), "SOLUC"));
    WriteSolucWithPython(school, c.dayHourSpec, c.lessons);

    school.Run();

    const exchange::XmlDocument out = school.LoadOutput();
    const std::vector<exchange::XmlNode> teachers = TeacherGroups(out);
    ASSERT_EQ(teachers.size(), 1u) << c.name;
    const std::vector<exchange::XmlNode> activities = Activities(teachers[0]);
    ASSERT_EQ(activities.size(), 2u) << c.name;
    EXPECT_EQ(DatoTexts(activities[0]),
              (std::vector<std::string>{"2", "7002", "12631", "650543", "100323", "62645", kInicio,
                                        kFin, "570", "630", "1"}))
        << c.name;
    EXPECT_EQ(DatoTexts(activities[1]),
              (std::vector<std::string>{"1", "7001", "ZZ", "", "25", "25", kInicio, kFin, "510",
                                        "570", "25"}))
        << c.name;
  }
}

}  // namespace
}  // namespace exporting::testing

#include "storage/place_table/place_table_builder.h"

#include <gtest/gtest.h>

#include <variant>

namespace {

using Lines = std::vector<std::string>;

// Registry rows as "from,until,code,Italian name,other name,province"; the
// columns stand in another order than the registry's, with one it adds.
std::string Registry(const Lines& rows) {
  std::string text =
      "\xEF\xBB\xBF\"SIGLAPROVINCIA\",\"CODCATASTALE\",\"DENOMINAZIONE_IT\",\"ALTRADENOMINAZIONE\","
      "\"DATAISTITUZIONE\",\"DATACESSAZIONE\",\"DATAULTIMOAGG\",\"FONTE\"\r\n";
  for (const std::string& row : rows) {
    std::vector<std::string> v;
    for (std::size_t at = 0, end; at <= row.size(); at = end + 1) {
      end = std::min(row.find(',', at), row.size());
      v.push_back(row.substr(at, end - at));
    }
    text += "\"" + v[5] + "\"," + v[2] + ",\"" + v[3] + "\",\"" + v[4] + "\",\"" + v[0] + "\",\"" +
            (v[1].empty() ? "9999-12-31" : v[1]) + "\",\"2023-05-16\",\"\"\r\n";
  }
  return text;
}

Lines Table(const Lines& records) {
  Lines lines{"comuni,Code,Prov,Dal,Al"};
  lines.insert(lines.end(), records.begin(), records.end());
  return lines;
}

const PlaceTable& Built(const PlaceTableBuild& build) {
  static const PlaceTable kNone;
  EXPECT_TRUE(std::holds_alternative<PlaceTable>(build));
  return std::holds_alternative<PlaceTable>(build) ? std::get<PlaceTable>(build) : kNone;
}

TEST(PlaceTableBuilder, BuildsARecordForEachNameOfEachPeriod) {
  struct Case {
    std::string rule;
    Lines registry;
    Lines table;  // records of the table in use
    PlaceTableSource source;
    Lines expected;  // records built, without the header
  };
  const PlaceTableSource kShipped = PlaceTableSource::Shipped;
  const PlaceTableSource kUpdate = PlaceTableSource::Update;
  const std::vector<Case> cases = {
      {"a new official name ends the old one's record",
       {"1866-11-19,1924-11-13,A001,ABANO,,PD", "1924-11-14,,A001,ABANO TERME,,PD"},
       {},
       kUpdate,
       {"ABANO,A001,PD,1866-11-19,1924-11-13,", "ABANO TERME,A001,PD,1924-11-14,,"}},
      {"second-language names; accents and a final full stop as the table writes them; one equal "
       "after folding adds nothing",
       {"1971-08-18,,D571,FIÈ ALLO SCILIAR,VÖLS AM SCHLERN,BZ", "1861-03-17,,C745,CITTÀ,Città,PG",
        "1920-10-16,,C077,CASTELDARNE,EHRENBURG.,BZ"},
       {},
       kUpdate,
       {"CASTELDARNE,C077,BZ,1920-10-16,,", "CITTA',C745,PG,1861-03-17,,",
        "EHRENBURG,C077,BZ,1920-10-16,,altra", "FIE' ALLO SCILIAR,D571,BZ,1971-08-18,,",
        "VOLS AM SCHLERN,D571,BZ,1971-08-18,,altra"}},
      {"a bilingual hyphen form gives its halves; a hyphenated name stays whole",
       {"1921-01-05,,D312,DOBERDÒ DEL LAGO-DOBERDOB,DOBERDOB,GO",
        "1921-01-05,,D324,SAN DORLIGO DELLA VALLE-DOLINA,COMUNE DI SAN DORLIGO DELLA VALLE-OBCINA "
        "DOLINA,TS",
        "2018-03-31,,M403,CORIGLIANO-ROSSANO,,CS",
        "1920-10-16,,C062,CASTELBELLO-CIARDES,KASTELBELL-TSCHARS,BZ"},
       {},
       kUpdate,
       {"CASTELBELLO-CIARDES,C062,BZ,1920-10-16,,", "CORIGLIANO-ROSSANO,M403,CS,2018-03-31,,",
        "DOBERDO' DEL LAGO,D312,GO,1921-01-05,,", "DOBERDOB,D312,GO,1921-01-05,,altra",
        "DOLINA,D324,TS,1921-01-05,,altra", "KASTELBELL-TSCHARS,C062,BZ,1920-10-16,,altra",
        "SAN DORLIGO DELLA VALLE,D324,TS,1921-01-05,,"}},
      {"rows of one name that follow one another are one record, with the last province; a gap "
       "parts them",
       {"1920-10-16,1927-01-11,A952,BOLZANO,BOZEN,TN", "1927-01-12,,A952,BOLZANO,BOZEN,BZ",
        "1861-03-17,1928-11-09,B567,CAMPOSPINOSO,,PV", "1948-01-20,,B567,CAMPOSPINOSO,,PV"},
       {},
       kUpdate,
       {"BOLZANO,A952,BZ,1920-10-16,,", "BOZEN,A952,BZ,1920-10-16,,altra",
        "CAMPOSPINOSO,B567,PV,1861-03-17,1928-11-09,", "CAMPOSPINOSO,B567,PV,1948-01-20,,"}},
      {"homonyms of one time: the place in use keeps its name, others take province or code; two "
       "in use both take their province; one name at different times stays one",
       {"1861-03-17,,D078,CORVARA,,PE", "1920-10-16,,D079,CORVARA IN BADIA,CORVARA,BZ",
        "1920-10-16,,H299,RIO DI PUSTERIA,MÜHLBACH,BZ",
        "1920-10-16,1928-05-29,H306,RIO MOLINO,MÜHLBACH,BZ", "1861-03-17,,C337,CASTRO,,BG",
        "1975-05-28,,M261,CASTRO,,LE", "1861-03-17,2016-12-31,F402,MONTALCINO,,SI",
        "2017-01-01,,M378,MONTALCINO,,SI"},
       {},
       kUpdate,
       {"CASTRO (BG),C337,BG,1861-03-17,,", "CASTRO (LE),M261,LE,1975-05-28,,",
        "CORVARA,D078,PE,1861-03-17,,", "CORVARA (BZ),D079,BZ,1920-10-16,,altra",
        "CORVARA IN BADIA,D079,BZ,1920-10-16,,", "MONTALCINO,F402,SI,1861-03-17,2016-12-31,",
        "MONTALCINO,M378,SI,2017-01-01,,", "MUHLBACH (H299),H299,BZ,1920-10-16,,altra",
        "MUHLBACH (H306),H306,BZ,1920-10-16,1928-05-29,altra",
        "RIO DI PUSTERIA,H299,BZ,1920-10-16,,", "RIO MOLINO,H306,BZ,1920-10-16,1928-05-29,"}},
      {"a new municipality named as one in use: the one in use keeps the plain name",
       {"1861-03-17,,A100,SAN MARCO,,PD", "2025-01-01,,M500,SAN MARCO,,VI"},
       {"SAN MARCO,A100,PD,1861-03-17,"},
       kUpdate,
       {"SAN MARCO,A100,PD,1861-03-17,,", "SAN MARCO (VI),M500,VI,2025-01-01,,"}},
      {"overlapping periods of one name in one province: the older ends the day before; rows "
       "without a code are left out",
       {"1862-12-29,1928-05-25,G828,PONTE LAMBRO,,CO", "1928-05-25,,G847,PONTE LAMBRO,,CO",
        "1861-03-17,1870-01-01,ND,SENZA CODICE,,CO"},
       {},
       kUpdate,
       {"PONTE LAMBRO,G828,CO,1862-12-29,1928-05-24,", "PONTE LAMBRO,G847,CO,1928-05-25,,"}},
      {"shipped: codes the file lacks, later ends and later names come from the table in use",
       {"1867-04-12,,A121,ALANO DI PIAVE,,BL", "1861-03-17,,B567,CAMPOSPINOSO,,PV",
        "1861-03-17,,F205,MILANO,,MI"},
       {"ALANO DI PIAVE,A121,BL,1867-04-12,2024-01-21", "CAMPOSPINOSO ALBAREDO,B567,PV,1861-03-17,",
        "MILANO,F205,MI,1861-03-17,", "SETTEVILLE,M437,BL,2024-01-22,"},
       kShipped,
       {"ALANO DI PIAVE,A121,BL,1867-04-12,2024-01-21,",
        "CAMPOSPINOSO,B567,PV,1861-03-17,2023-10-03,", "CAMPOSPINOSO ALBAREDO,B567,PV,2023-10-04,,",
        "MILANO,F205,MI,1861-03-17,,", "SETTEVILLE,M437,BL,2024-01-22,,"}},
      {"foreign places are kept from the table in use as they stand",
       {"1861-03-17,,G258,PALAU,,SS"},
       {"FRANCIA,Z110,EE,1861-01-01,", "PALAU (EE),Z734,EE,1861-01-01,",
        "PALAU,G258,SS,1861-03-17,"},
       kUpdate,
       {"FRANCIA,Z110,EE,1861-01-01,,", "PALAU,G258,SS,1861-03-17,,",
        "PALAU (EE),Z734,EE,1861-01-01,,"}},
  };
  for (const Case& c : cases) {
    const PlaceTableBuild build =
        BuildPlaceTable(Registry(c.registry), Table(c.table), c.source, "2023-10-03");
    Lines lines = Built(build).Lines();
    ASSERT_FALSE(lines.empty()) << c.rule;
    EXPECT_EQ(lines.front(), kPlaceTableHeader) << c.rule;
    lines.erase(lines.begin());
    EXPECT_EQ(lines, c.expected) << c.rule;
  }
}

TEST(PlaceTableBuilder, ReportsRecordsByKindAndChangesByCode) {
  const PlaceTableBuild build = BuildPlaceTable(
      Registry({"1866-11-19,1924-11-13,A001,ABANO,,PD", "1924-11-14,,A001,ABANO TERME,,PD",
                "1920-10-16,,A952,BOLZANO,BOZEN,BZ", "1861-03-17,2023-01-01,B001,CHIUSO,,PD",
                "2023-01-02,,M999,NUOVO,,PD", "1861-03-17,,ND,SENZA CODICE,,PD"}),
      Table({"ABANO,A001,PD,1866-11-19,", "BOLZANO,A952,BZ,1920-10-16,",
             "CHIUSO,B001,PD,1861-03-17,", "FRANCIA,Z110,EE,1861-01-01,"}),
      PlaceTableSource::Update);
  const PlaceTableReport& report = Built(build).report;
  EXPECT_EQ(report.officialNames, 4);  // ABANO TERME, BOLZANO, CHIUSO, NUOVO
  EXPECT_EQ(report.oldNames, 1);
  EXPECT_EQ(report.otherLanguageNames, 1);
  EXPECT_EQ(report.foreign, 1);
  EXPECT_EQ(report.withoutCode, 1);
  EXPECT_EQ(report.added, 1);
  EXPECT_EQ(report.ceased, 1);
  EXPECT_EQ(report.renamed, 1);
}

TEST(PlaceTableBuilder, RefusesAFileItCannotUse) {
  const PlaceTableBuild unknown =
      BuildPlaceTable("\"CODICE\",\"NOME\"\r\nA001,ABANO\r\n", Table({}), PlaceTableSource::Update);
  ASSERT_TRUE(std::holds_alternative<RegistryNotRecognized>(unknown));
  EXPECT_EQ(RefusalText(std::get<RegistryNotRecognized>(unknown), "/tmp/x.csv"),
            "File non riconosciuto: /tmp/x.csv");

  Lines table;
  for (int i = 100; i < 112; ++i) table.push_back("X,A" + std::to_string(i) + ",PD,1861-03-17,");
  const Lines registry = {"1861-03-17,,A105,X,,PD"};
  const PlaceTableBuild lacking =
      BuildPlaceTable(Registry(registry), Table(table), PlaceTableSource::Update);
  ASSERT_TRUE(std::holds_alternative<RegistryLacksCodes>(lacking));
  EXPECT_EQ(RefusalText(std::get<RegistryLacksCodes>(lacking)),
            "Il file non contiene i comuni: A100, A101, A102, A103, A104, A106, A107, A108, A109, "
            "A110 e altri 1");
  // The shipped build keeps what the file lacks instead.
  EXPECT_TRUE(std::holds_alternative<PlaceTable>(
      BuildPlaceTable(Registry(registry), Table(table), PlaceTableSource::Shipped)));
}

}  // namespace

#include "notebook/xlsx.h"

#include <gtest/gtest.h>
#include <xlsxwriter.h>
#include <zip.h>

#include <cmath>
#include <cstring>
#include <random>

#include "testing/test_files.h"

namespace korund::notebook {
namespace {

using host::testing::ReadFile;
using host::testing::TempDir;
using host::testing::WriteFile;

// A cell as the tests compare it: "n:<number>", "t:<text>" or "".
std::string Show(const Value& v) {
  if (v.IsNumber()) return "n:" + FormatNumber(v.Number());
  if (v.IsText()) return "t:" + v.Text();
  return "";
}
std::vector<std::string> ShowColumn(const XlsxSheet& sheet, size_t column) {
  std::vector<std::string> out;
  if (column >= sheet.columns.size()) return out;
  for (const Value& v : sheet.columns[column]) out.push_back(Show(v));
  return out;
}

class XlsxTest : public ::testing::Test {
 protected:
  XlsxSheet Read(const std::string& path, const std::string& name = "") {
    XlsxSheet sheet;
    std::string error;
    EXPECT_TRUE(ReadXlsxSheet(path, name, &sheet, &error)) << error;
    return sheet;
  }
  std::string ReadError(const std::string& path, const std::string& name = "") {
    XlsxSheet sheet;
    std::string error;
    EXPECT_FALSE(ReadXlsxSheet(path, name, &sheet, &error)) << path;
    return error;
  }
  // A ZIP file holding the given parts.
  std::string Zip(const std::string& name,
                  const std::vector<std::pair<std::string, std::string>>& parts) {
    const std::string path = dir_.File(name);
    int code = 0;
    zip_t* z = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    EXPECT_NE(nullptr, z);
    for (const auto& [part, bytes] : parts) {
      zip_source_t* src = zip_source_buffer(z, bytes.data(), bytes.size(), 0);
      EXPECT_GE(zip_file_add(z, part.c_str(), src, ZIP_FL_OVERWRITE), 0);
    }
    EXPECT_EQ(0, zip_close(z));
    return path;
  }
  // The text of one part of the ZIP file at path.
  static std::string Part(const std::string& path, const std::string& part) {
    int code = 0;
    zip_t* z = zip_open(path.c_str(), ZIP_RDONLY, &code);
    zip_file_t* f = z == nullptr ? nullptr : zip_fopen(z, part.c_str(), 0);
    std::string bytes;
    char buffer[4096];
    for (zip_int64_t n; f != nullptr && (n = zip_fread(f, buffer, sizeof buffer)) > 0;) {
      bytes.append(buffer, static_cast<size_t>(n));
    }
    if (f != nullptr) zip_fclose(f);
    if (z != nullptr) zip_discard(z);
    return bytes;
  }
  // A minimal workbook whose one sheet "S" has the given sheet XML.
  std::string Workbook(const std::string& name, const std::string& sheet_xml) {
    return Zip(
        name,
        {{"_rels/.rels",
          R"(<Relationships><Relationship Id="a" Type="x/officeDocument" Target="wb.xml"/></Relationships>)"},
         {"wb.xml", R"(<workbook><sheets><sheet name="S" r:id="s"/></sheets></workbook>)"},
         {"_rels/wb.xml.rels",
          R"(<Relationships><Relationship Id="s" Type="x/worksheet" Target="s.xml"/></Relationships>)"},
         {"s.xml", sheet_xml}});
  }

  TempDir dir_;
};

TEST_F(XlsxTest, ReadsACommittedWorkbookWithSharedAndInlineStringsAndGaps) {
  const std::string file = std::string(KORUND_TEST_DATA) + "/two_sheets.xlsx";
  XlsxSheet fibres = Read(file, "Fibres");
  EXPECT_EQ("Fibres", fibres.name);
  ASSERT_EQ(4u, fibres.columns.size());
  EXPECT_EQ((std::vector<std::string>{"t:Strength (MPa)", "n:3120.5", "n:2500", "",
                                      "t: line one\r\nline two "}),
            ShowColumn(fibres, 0));
  // Rich text runs join, phonetic runs do not; true is the worksheet's -1.
  EXPECT_EQ((std::vector<std::string>{"t:Fibre B", "t:2185,2", "n:-1", "", "t:MPA", "n:-0.001"}),
            ShowColumn(fibres, 1));
  EXPECT_EQ(std::vector<std::string>{}, ShowColumn(fibres, 2)) << "a cell with no value";
  EXPECT_EQ((std::vector<std::string>{"t:Tested", "n:45000"}), ShowColumn(fibres, 3))
      << "a date stays its serial number";
  EXPECT_TRUE(fibres.labels.empty());

  XlsxSheet first = Read(file);
  EXPECT_EQ("Notes", first.name);
  EXPECT_EQ((std::vector<std::string>{"", "t:not this sheet"}), ShowColumn(first, 1));
  EXPECT_EQ(file + ": there is no sheet named \"Data\" (the sheets are \"Notes\", \"Fibres\")",
            ReadError(file, "Data"));
}

TEST_F(XlsxTest, ReadsWhatLibxlsxwriterWrites) {
  const std::string path = dir_.File("other.xlsx");
  lxw_workbook* wb = workbook_new(path.c_str());
  workbook_add_worksheet(wb, "First");
  lxw_worksheet* ws = workbook_add_worksheet(wb, "Loads");
  worksheet_write_string(ws, 0, 0, "Load (N)", nullptr);
  worksheet_write_number(ws, 1, 0, 12.5, nullptr);
  worksheet_write_number(ws, 3, 0, 1e-7, nullptr);
  worksheet_write_boolean(ws, 2, 2, 0, nullptr);
  worksheet_write_formula_num(ws, 4, 0, "=A2*2", nullptr, 25);
  worksheet_write_string(ws, 6, 1, "tab\there", nullptr);
  ASSERT_EQ(LXW_NO_ERROR, workbook_close(wb));

  XlsxSheet sheet = Read(path, "Loads");
  EXPECT_EQ((std::vector<std::string>{"t:Load (N)", "n:12.5", "", "n:1E-07", "n:25"}),
            ShowColumn(sheet, 0))
      << "a formula gives its cached result";
  EXPECT_EQ((std::vector<std::string>{"", "", "", "", "", "", "t:tab\there"}),
            ShowColumn(sheet, 1));
  EXPECT_EQ((std::vector<std::string>{"", "", "n:0"}), ShowColumn(sheet, 2));
  EXPECT_TRUE(Read(path, "First").columns.empty());
}

TEST_F(XlsxTest, WritingAndReadingBackKeepsEveryNumberBitExactAndEveryText) {
  Notebook doc;
  doc.AddSection("Section 1");
  Worksheet& sheet = *doc.AddWorksheet("Data: 1/2").worksheet();
  std::mt19937_64 random(7);
  std::vector<double> numbers = {
      0.1 + 0.2,           1e-300, 4.9e-324, -0.0, 123456789012345678.0, 2185.2, 1.0 / 3, -2.5e300,
      -3.7256450378764248, 1e15,   2500};
  std::uniform_real_distribution<double> strengths(-1e4, 1e4);
  for (int i = 0; i < 1000; ++i) {
    uint64_t bits = random();
    double x;
    std::memcpy(&x, &bits, sizeof x);
    if (std::isfinite(x)) numbers.push_back(x);
    numbers.push_back(strengths(random));
  }
  for (size_t i = 0; i < numbers.size(); ++i) {
    sheet.SetCell(1, static_cast<int32_t>(i) + 1, Value(numbers[i]));
  }
  const std::vector<std::string> texts = {"CR\rLF\nCRLF\r\n",
                                          " padded ",
                                          "_x0041_ stays",
                                          "\xC3\xA9t\xC3\xA9 \xE2\x86\x92 \xF0\x9F\x98\x80",
                                          "<&>\"'",
                                          "bell\x07",
                                          std::string(32767, 'x')};
  for (size_t i = 0; i < texts.size(); ++i) {
    sheet.SetCell(3, static_cast<int32_t>(i) + 2, Value(texts[i]));
  }
  sheet.SetTitle(1, "numbers");
  sheet.ColumnAt(3).label = "user's name";
  doc.AddReport("Report", "line 1\r\nline 2\r\rline 4");

  const std::string path = dir_.File("out.xlsx");
  std::string error;
  ASSERT_TRUE(WriteXlsx(doc, path, &error)) << error;
  XlsxSheet back = Read(path, "Data_ 1_2");
  ASSERT_EQ(3u, back.columns.size());
  ASSERT_EQ(numbers.size() + 1, back.columns[0].size());
  EXPECT_EQ("t:numbers", Show(back.columns[0][0]));
  for (size_t i = 0; i < numbers.size(); ++i) {
    ASSERT_TRUE(back.columns[0][i + 1].IsNumber());
    double x = back.columns[0][i + 1].Number();
    EXPECT_EQ(0, std::memcmp(&x, &numbers[i], sizeof x)) << i << ": " << numbers[i];
  }
  EXPECT_TRUE(back.columns[1].empty());
  // Plain number cells with the shortest exact digits, which every reader
  // takes as numbers (some read a formula cell as its text).
  const std::string xml = Part(path, "xl/worksheets/sheet1.xml");
  EXPECT_EQ(std::string::npos, xml.find("<f>"));
  for (const char* v : {"<v>0.30000000000000004</v>", "<v>-3.7256450378764248</v>", "<v>-0.0</v>",
                        "<v>5e-324</v>", "<v>-2.5e+300</v>", "<v>2500.0</v>", "<v>1e+15</v>"}) {
    EXPECT_NE(std::string::npos, xml.find(v)) << v;
  }
  for (size_t i = 0; i < texts.size(); ++i) {
    EXPECT_EQ("t:" + texts[i], Show(back.columns[2][i + 2])) << i;
  }
  EXPECT_EQ((std::vector<std::string>{"t:line 1", "t:line 2", "", "t:line 4"}),
            ShowColumn(Read(path, "Report"), 0));
  EXPECT_EQ((std::map<size_t, std::string>{{2, "user's name"}}), back.labels);
}

TEST_F(XlsxTest, WritingRefusesWhatASheetCannotHoldAndMakesSheetNamesLegal) {
  Notebook doc;
  doc.AddWorksheet("W").worksheet()->SetCell(16385, 1, Value(1.0));
  const std::string path = dir_.File("wide.xlsx");
  std::string error;
  EXPECT_FALSE(WriteXlsx(doc, path, &error));
  EXPECT_EQ(path + ": worksheet \"W\" has column 16385; a workbook sheet holds 16384 columns",
            error);
  Notebook text;
  text.AddWorksheet("T").worksheet()->SetCell(2, 3, Value(std::string(32768, 'y')));
  EXPECT_FALSE(WriteXlsx(text, path, &error));
  EXPECT_EQ(path +
                ": worksheet \"T\" column 2 holds a text of more than 32767 characters, the "
                "most a workbook cell holds",
            error);
  EXPECT_EQ(std::vector<std::string>{}, dir_.Names());
  // Sheet names are made legal and distinct.
  Notebook names;
  names.AddWorksheet("Data 1");
  names.AddWorksheet("data 1");
  names.AddReport(std::string(40, 'r'), "x");
  names.AddWorksheet("'[quoted]'");
  ASSERT_TRUE(WriteXlsx(names, path, &error)) << error;
  EXPECT_EQ(path +
                ": there is no sheet named \"?\" (the sheets are \"Data 1\", \"data 1 (2)\", \"" +
                std::string(31, 'r') + "\", \"_quoted_\")",
            ReadError(path, "?"));
}

// Every error names the file, and the sheet and cell where there is one.
TEST_F(XlsxTest, BadFilesAreRefusedWithAnErrorNamingTheFileAndOddCellsRead) {
  WriteFile(dir_.File("plain.xlsx"), "a,b\n1,2\n");
  Zip("nobook.xlsx", {{"readme.txt", "hello"}});
  std::string deep = "<worksheet><sheetData>";
  for (int i = 0; i < 100; ++i) deep += "<a>";
  for (int i = 0; i < 100; ++i) deep += "</a>";
  Workbook("deep.xlsx", deep + "</sheetData></worksheet>");
  std::string many = "<worksheet><sheetData><row r=\"1000000\">";
  for (int c = 0; c < 5; ++c) many += "<c><v>1</v></c>";
  Workbook("many.xlsx", many + "</row></sheetData></worksheet>");
  auto cell = [&](const std::string& name, const std::string& c) {
    return Workbook(name, "<worksheet><sheetData><row>" + c + "</row></sheetData></worksheet>");
  };
  cell("sst.xlsx", R"(<c r="A1" t="s"><v>4</v></c>)");
  cell("wide.xlsx", R"(<c r="XFE1"><v>1</v></c>)");
  cell("long.xlsx", R"(<c r="A1000001"><v>1</v></c>)");
  cell("nan.xlsx", R"(<c r="B3"><v>x</v></c>)");
  const std::pair<const char*, const char*> cases[] = {
      {"plain.xlsx", ": not an .xlsx workbook (not a ZIP file)"},
      {"nobook.xlsx", ": not an .xlsx workbook (the package holds no workbook)"},
      {"missing.xlsx", ": cannot open: No such file"},
      {"deep.xlsx", ": s.xml nests elements more than 64 deep"},
      {"many.xlsx", ": sheet \"S\" spans more than 4000000 cells (a notebook holds at most 4000000)"},
      {"sst.xlsx",
       ": sheet \"S\", cell A1: refers to shared string 4, which the workbook does not have"},
      {"wide.xlsx", ": sheet \"S\", cell XFE1: beyond the last column a worksheet can hold"},
      {"long.xlsx",
       ": sheet \"S\", cell A1000001: beyond the 1000000 rows a worksheet column can hold"},
      {"nan.xlsx", ": sheet \"S\", cell B3: \"x\" is not a number"},
  };
  for (const auto& [name, error] : cases)
    EXPECT_EQ(dir_.File(name) + error, ReadError(dir_.File(name)));
  const std::string broken = Workbook("broken.xlsx", "<worksheet><sheetData><row>");
  EXPECT_EQ(0u, ReadError(broken).rfind(broken + ": s.xml is not well-formed XML (", 0));
  EXPECT_EQ(1000000u, Read(cell("ok.xlsx", R"(<c r="E1000000"><v>1</v></c>)")).columns[4].size());
  // ISO date cells and error values keep their text.
  XlsxSheet sheet = Read(cell("dates.xlsx", R"(<c r="A1" t="d"><v>2024-03-01T00:00:00</v></c>)"
                                            R"(<c r="B1" t="e"><v>#DIV/0!</v></c>)"));
  EXPECT_EQ((std::vector<std::string>{"t:2024-03-01T00:00:00"}), ShowColumn(sheet, 0));
  EXPECT_EQ((std::vector<std::string>{"t:#DIV/0!"}), ShowColumn(sheet, 1));
}

TEST_F(XlsxTest, ZipAndXmlBombsAreRefused) {
  // Deflate packs these zeros about a thousand to one.
  const std::string zeros(kMaxXlsxPartBytes + 1, '0');
  const std::string zip_bomb = Workbook("zipbomb.xlsx", zeros);
  EXPECT_EQ(zip_bomb + ": s.xml is too large (more than 128 MiB in one part or 256 MiB in all)",
            ReadError(zip_bomb));
  // Entities a document type declares are never expanded.
  std::string laughs = "<?xml version=\"1.0\"?><!DOCTYPE worksheet [<!ENTITY a \"lol\">";
  for (char c = 'b'; c <= 'j'; ++c) {
    laughs += std::string("<!ENTITY ") + c + " \"";
    for (int i = 0; i < 10; ++i) laughs += std::string("&") + static_cast<char>(c - 1) + ";";
    laughs += "\">";
  }
  laughs +=
      "]><worksheet><sheetData><row><c t=\"inlineStr\"><is><t>&j;</t></is></c></row>"
      "</sheetData></worksheet>";
  XlsxSheet sheet = Read(Workbook("laughs.xlsx", laughs));
  ASSERT_EQ(1u, sheet.columns.size());
  EXPECT_EQ("t:&j;", Show(sheet.columns[0][0]));
}

}  // namespace
}  // namespace korund::notebook

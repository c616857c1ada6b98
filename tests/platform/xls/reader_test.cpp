// Reading .xls files that another program (xlwt) wrote, and files that are
// not .xls workbooks or are damaged.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <random>

#include "platform/xls/biff.h"
#include "platform/xls/compound.h"
#include "platform/xls/reader.h"
#include "platform/xls/workbook_scan.h"
#include "tests/platform/xls/test_util.h"

using namespace xlstest;
using xls::Status;

namespace {

class ReaderTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new TempDir;
    makeInputs(dir_->path());
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }
  static std::string input(const std::string& name) { return dir_->file(name); }
  static TempDir* dir_;
};
TempDir* ReaderTest::dir_ = nullptr;

TEST_F(ReaderTest, ReadsEveryKindOfCellAsTheTextShown) {
  auto sheet = xls::readSheet(input("customers.xls"), "Sheet1");
  ASSERT_TRUE(sheet.ok()) << sheet.status().message();
  const Rows expected = {
      {"姓名", " 手机 ", "数量", "单价", "日期", "备注", "时刻", "时间"},
      {"张三", "13800138000", "3", "0.5", "2024-03-05", "", "", ""},
      {"Li Si", "", "-5", "-2.75", "", "请在工作日送达", "2023-12-31 23:59:58", "08:30:00"},
      {"王五", "100000", "3.14", "0.3", "", "1E-07", "", ""},
      {"", "", "", "", "", "", "", ""},
      {"0571", "", "", "", "", "", "", ""},
  };
  EXPECT_EQ(sheet->toRows(), expected);
  // The title with blanks around it is found by its bare name.
  auto cols = xls::findColumns(*sheet, {"手机", "姓名"});
  ASSERT_TRUE(cols.ok()) << cols.status().message();
  EXPECT_EQ(*cols, (std::vector<int>{1, 0}));
}

TEST_F(ReaderTest, ListsSheetsAndFindsOneByNameIgnoringLatinCase) {
  auto names = xls::sheetNames(input("customers.xls"));
  ASSERT_TRUE(names.ok()) << names.status().message();
  EXPECT_EQ(*names, (std::vector<std::string>{"说明", "Sheet1", "Sheet2"}));
  auto other = xls::readSheet(input("customers.xls"), "说明");
  ASSERT_TRUE(other.ok());
  EXPECT_EQ(other->toRows(), (Rows{{"这一页不是客户列表"}}));
  auto data = xls::readSheet(input("no_sheet1.xls"), "data");
  ASSERT_TRUE(data.ok()) << data.status().message();
  EXPECT_EQ(data->toRows(), (Rows{{"name"}}));
}

TEST_F(ReaderTest, MissingSheetErrorListsTheSheetsThere) {
  auto sheet = xls::readSheet(input("no_sheet1.xls"), "Sheet1");
  ASSERT_FALSE(sheet.ok());
  EXPECT_EQ(sheet.status().code(), Status::Code::kNotFound);
  EXPECT_NE(sheet.status().message().find("\"Sheet1\""), std::string::npos);
  EXPECT_NE(sheet.status().message().find("\"客户\", \"Data\""), std::string::npos) << sheet.status().message();
}

TEST_F(ReaderTest, DropsFormattedButEmptyCellsPastTheText) {
  auto sheet = xls::readSheet(input("formatted_tail.xls"), "Sheet1");
  ASSERT_TRUE(sheet.ok()) << sheet.status().message();
  EXPECT_EQ(sheet->toRows(), (Rows{{"姓名", "城市"}, {"赵六", "深圳"}}));
}

TEST_F(ReaderTest, ReadsSharedStringsSpreadOverContinueRecords) {
  auto sheet = xls::readSheet(input("big.xls"), "Sheet1");
  ASSERT_TRUE(sheet.ok()) << sheet.status().message();
  ASSERT_EQ(sheet->rows(), 3001u);
  ASSERT_EQ(sheet->columns(), 3u);
  for (std::size_t r = 1; r <= 3000; ++r) {
    char id[8];
    std::snprintf(id, sizeof id, "%05zu", r);
    ASSERT_EQ(sheet->cell(r, 0), id);
    ASSERT_EQ(sheet->cell(r, 1), "浙江省杭州市西湖区文三路" + std::to_string(r) + "号" + std::to_string(r % 700) + "室");
    ASSERT_EQ(sheet->cell(r, 2), std::to_string(13900000000 + r));
  }
}

// FreeXL skips formulas and reads errors and truth values as numbers; the
// scan of the records fills in what a person sees in those cells.
TEST_F(ReaderTest, ReadsFormulaResultsErrorsAndTruthValues) {
  auto sheet = xls::readSheet(input("formulas.xls"), "Sheet1");
  ASSERT_TRUE(sheet.ok()) << sheet.status().message();
  const Rows expected = {
      {"数量", "公式"}, {"3", "1.5"},   {"张", "张三"},        {"", "#DIV/0!"},      {"", "2024-03-05"},
      {"", "TRUE"},     {"", ""},      {"", "13800138000"}, {"TRUE", "FALSE"},   {"#N/A", ""},
  };
  EXPECT_EQ(sheet->toRows(), expected);
}

// Texts spread over three and more records of the shared string table,
// which FreeXL reads as garbage: the whole sheet comes from the scan.
TEST_F(ReaderTest, ReadsTextsTooLongForFreeXL) {
  for (int round = 0; round < 3; ++round) {  // FreeXL's garbage differs from run to run; ours must not
    auto sheet = xls::readSheet(input("long_texts.xls"), "Sheet1");
    ASSERT_TRUE(sheet.ok()) << sheet.status().message();
    ASSERT_EQ(sheet->rows(), 41u);
    ASSERT_EQ(sheet->columns(), 3u);
    EXPECT_EQ(sheet->cell(0, 1), "备注");
    EXPECT_EQ(sheet->cell(1, 2), "42");
    for (int r = 1; r <= 40; ++r) {
      char id[8];
      std::snprintf(id, sizeof id, "%03d", r);
      std::string want;
      if (r % 10 == 0)
        for (int i = 0; i < 3000; ++i) want += "长备注" + std::to_string(r);
      else if (r % 10 == 5)
        for (int i = 0; i < 4000; ++i) want += "note " + std::to_string(r) + " ";
      else
        want = "短" + std::to_string(r);
      ASSERT_EQ(sheet->cell(r, 0), id);
      ASSERT_EQ(sheet->cell(r, 1), want) << "row " << r;
    }
  }
  auto names = xls::sheetNames(input("long_texts.xls"));
  ASSERT_TRUE(names.ok());
  EXPECT_EQ(*names, std::vector<std::string>{"Sheet1"});
}

// The scan, which reads long-text sheets alone, reads every other input
// as FreeXL does.
TEST_F(ReaderTest, ScanReadsWhatFreeXLReads) {
  for (const char* name : {"customers.xls", "big.xls", "formatted_tail.xls", "formulas.xls", "no_sheet1.xls"}) {
    auto stream = xls::scan::workbookStream(readFile(input(name)));
    ASSERT_TRUE(stream.ok()) << name;
    auto scan = xls::scan::WorkbookScan::read(std::move(stream).value());
    ASSERT_TRUE(scan.ok()) << name;
    EXPECT_FALSE(scan->longTexts());
    auto sheetNames = xls::sheetNames(input(name));
    ASSERT_TRUE(sheetNames.ok());
    EXPECT_EQ(scan->worksheetNames(), *sheetNames) << name;
    for (const std::string& sheetName : *sheetNames) {
      auto cells = scan->sheet(sheetName, xls::scan::Scope::kAll);
      ASSERT_TRUE(cells.ok()) << name;
      auto sheet = xls::readSheet(input(name), sheetName);
      ASSERT_TRUE(sheet.ok());
      std::size_t nonEmpty = 0;
      for (std::size_t r = 0; r < sheet->rows(); ++r)
        for (std::size_t c = 0; c < sheet->columns(); ++c) nonEmpty += !sheet->cell(r, c).empty();
      EXPECT_EQ(cells->size(), nonEmpty) << name << " " << sheetName;
      for (const auto& cell : *cells)
        EXPECT_EQ(sheet->cell(cell.row, cell.column), cell.text) << name << " (" << cell.row << ", " << cell.column << ")";
    }
  }
}

struct BadFile {
  const char* name;
  Status::Code code;
  const char* says;
};

TEST_F(ReaderTest, RefusesWhatIsNotAWorkbookWithAClearMessage) {
  const BadFile cases[] = {
      {"text.xls", Status::Code::kInvalidFormat, "text file"},
      {"empty.xls", Status::Code::kInvalidFormat, "is empty"},
      {"book.xlsx.xls", Status::Code::kInvalidFormat, ".xlsx"},
      {"truncated.xls", Status::Code::kInvalidFormat, "damaged"},
      {"header_only.xls", Status::Code::kInvalidFormat, "damaged"},
      {"garbage.xls", Status::Code::kInvalidFormat, "damaged"},
      {"no such file.xls", Status::Code::kNotFound, "does not exist"},
      {"", Status::Code::kInvalidArgument, "folder"},  // the folder itself
  };
  for (const BadFile& c : cases) {
    std::string path = input(c.name);
    if (!*c.name) path = dir_->path();
    auto sheet = xls::readSheet(path, "Sheet1");
    ASSERT_FALSE(sheet.ok()) << c.name;
    EXPECT_EQ(sheet.status().code(), c.code) << c.name << ": " << sheet.status().message();
    EXPECT_NE(sheet.status().message().find(c.says), std::string::npos) << c.name << ": " << sheet.status().message();
    EXPECT_FALSE(xls::sheetNames(path).ok()) << c.name;
  }
}

// A workbook whose globals carry a FILEPASS record, as Excel writes for a
// file with a password to open it: what follows would be encrypted.
TEST_F(ReaderTest, RefusesAPasswordProtectedWorkbook) {
  xls::biff::SheetContent content;
  const std::string row[] = {"姓名", "手机"};
  ASSERT_TRUE(content.addRow(row, 2).ok());
  std::vector<uint8_t> stream = content.buildWorkbook(u"Sheet1");
  std::vector<Record> globals = substream(stream, 0);
  ASSERT_EQ(globals[0].type, xls::biff::kBof);
  // FILEPASS with RC4 encryption: type 1, version 1.1, salt, verifier, hash.
  std::vector<uint8_t> filePass = {0x2F, 0x00, 54, 0x00, 0x01, 0x00, 0x01, 0x00, 0x01, 0x00};
  for (int i = 0; i < 48; ++i) filePass.push_back(static_cast<uint8_t>(i * 7));
  std::size_t at = globals[0].pos + 4 + globals[0].data.size();
  stream.insert(stream.begin() + at, filePass.begin(), filePass.end());
  const Record* sheetRef = findRecord(substream(stream, 0), xls::biff::kBoundSheet);
  ASSERT_NE(sheetRef, nullptr);
  uint32_t sheetPos = u32(sheetRef->data, 0) + static_cast<uint32_t>(filePass.size());
  for (int i = 0; i < 4; ++i) stream[sheetRef->pos + 4 + i] = static_cast<uint8_t>(sheetPos >> (8 * i));
  stream.resize(std::max<std::size_t>(stream.size(), xls::compound::kMinStreamSize));
  xls::compound::Frame frame = xls::compound::frameFor(stream.size());
  std::string file(frame.header.begin(), frame.header.end());
  file.append(stream.begin(), stream.end());
  file.append(frame.padding, '\0');
  file.append(frame.trailer.begin(), frame.trailer.end());
  std::string path = dir_->file("password.xls");
  writeFile(path, file);

  auto sheet = xls::readSheet(path, "Sheet1");
  ASSERT_FALSE(sheet.ok());
  EXPECT_EQ(sheet.status().code(), Status::Code::kPermissionDenied) << sheet.status().message();
  EXPECT_NE(sheet.status().message().find("password"), std::string::npos) << sheet.status().message();
}

TEST_F(ReaderTest, RefusesAFileItMayNotRead) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
  std::string path = dir_->file("locked.xls");
  writeFile(path, readFile(input("customers.xls")));
  ::chmod(path.c_str(), 0);
  auto sheet = xls::readSheet(path, "Sheet1");
  ASSERT_FALSE(sheet.ok());
  EXPECT_EQ(sheet.status().code(), Status::Code::kPermissionDenied);
}

// Damage in every part of the file, at random: the reader answers with a
// sheet or an error, and never crashes or hangs.
TEST_F(ReaderTest, SurvivesDamagedFiles) {
  std::mt19937 rng(20240305);
  int read = 0, refused = 0;
  for (const char* name : {"customers.xls", "big.xls"}) {
    const std::string whole = readFile(input(name));
    std::string path = dir_->file(std::string("damaged-") + name);
    for (int round = 0; round < 250; ++round) {
      std::string bytes = whole;
      int kind = round % 5;
      if (kind == 0) {
        bytes.resize(rng() % bytes.size());  // cut short anywhere
      } else {
        // Overwrite a few bytes: in the header and directory for some
        // rounds, anywhere for the others.
        std::size_t span = kind == 1 ? 512 : bytes.size();
        int count = 1 + static_cast<int>(rng() % 8);
        for (int i = 0; i < count; ++i) {
          std::size_t at = kind == 2 ? bytes.size() - 1 - rng() % std::min<std::size_t>(bytes.size(), 2048)
                                     : rng() % span;
          bytes[at] = static_cast<char>(kind == 3 ? 0xFF : rng());
        }
      }
      writeFile(path, bytes);
      auto sheet = xls::readSheet(path, "Sheet1");
      if (sheet.ok()) {
        ++read;
        EXPECT_LE(sheet->rows(), 65536u);
      } else {
        ++refused;
        EXPECT_FALSE(sheet.status().message().empty());
      }
    }
  }
  std::printf("damaged files: %d read, %d refused\n", read, refused);
}

}  // namespace

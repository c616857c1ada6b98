// Writing .xls files, checked through our reader (FreeXL), xlrd, Gnumeric's
// ssconvert and an independent reading of the compound file and records.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <random>
#include <set>

#include "platform/xls/reader.h"
#include "platform/xls/writer.h"
#include "tests/platform/xls/test_util.h"

using namespace xlstest;
using xls::Status;

namespace {

// `rows` as our reader returns them: trailing empties dropped, then every
// row padded to the widest.
Rows asRead(const Rows& rows) {
  Rows t = trimmed(rows);
  std::size_t width = 0;
  for (const auto& r : t) width = std::max(width, r.size());
  for (auto& r : t) r.resize(width);
  return t;
}

// Every reader sees exactly the rows written, every value as text.  (Our
// own reader, FreeXL, is left out for texts longer than it reads.)
void expectReadersSee(const std::string& path, const std::string& sheetName, const Rows& rows,
                      bool ours = true) {
  if (ours) {
    auto sheet = xls::readSheet(path, sheetName);
    ASSERT_TRUE(sheet.ok()) << sheet.status().message();
    EXPECT_TRUE(sheet->toRows() == asRead(rows)) << "our reader differs";
  }

  EXPECT_EQ(xlrdMismatch(path, sheetName, rows), "");

  Rows gnumeric = trimmed(ssconvertRows(path));
  Rows want = trimmed(rows);
  ASSERT_EQ(gnumeric.size(), want.size()) << "ssconvert row count";
  for (std::size_t r = 0; r < want.size(); ++r) ASSERT_EQ(gnumeric[r], want[r]) << "ssconvert row " << r;

  Compound c = readCompound(readFile(path));
  EXPECT_TRUE(c.problems.empty()) << c.problems.front();
  EXPECT_EQ(c.names, (std::vector<std::string>{"Root Entry", "Workbook"}));
}

std::vector<std::string> strayFiles(const TempDir& dir, const std::vector<std::string>& expected) {
  std::vector<std::string> stray;
  for (const std::string& f : filesIn(dir.path()))
    if (std::find(expected.begin(), expected.end(), f) == expected.end()) stray.push_back(f);
  return stray;
}

// What a shop's list holds: names, addresses, numbers that must stay text.
Rows recipients(std::size_t count, unsigned seed) {
  static const char* surnames[] = {"王", "李", "张", "刘", "陈", "欧阳", "司马"};
  static const char* given[] = {"伟", "芳", "秀英", "敏", "静", "强", "磊"};
  static const char* cities[] = {"北京", "上海", "广州", "深圳", "杭州", "成都"};
  std::mt19937 rng(seed);
  Rows rows = {{"姓名", "城市", "收件单位", "邮编", "地址", "手机", "电话", "内件品名", "数量", "运单号", "备注"}};
  for (std::size_t i = 0; i < count; ++i) {
    std::string city = cities[rng() % 6];
    char phone[16], post[8], bill[16];
    std::snprintf(phone, sizeof phone, "13%09u", unsigned(rng() % 1000000000));
    std::snprintf(post, sizeof post, "%06u", unsigned(rng() % 1000000));
    std::snprintf(bill, sizeof bill, "%012zu", i);
    rows.push_back({std::string(surnames[rng() % 7]) + given[rng() % 7], city, city + "市人民路贸易有限公司", post,
                    city + "市人民路" + std::to_string(rng() % 999) + "号" + std::to_string(rng() % 30) + "栋",
                    phone, "0571-8" + std::string(phone + 6), rng() % 2 ? "衣服" : "书籍",
                    std::to_string(1 + rng() % 5), bill, rng() % 4 ? "" : "请在工作日送达"});
  }
  return rows;
}

TEST(Writer, KeepsTextExactlyInEveryReader) {
  TempDir dir;
  const Rows rows = {
      {"姓名", "邮编", "区号", "手机", "备注", "数量"},
      {"张三", "010", "0571", "13800138000", "", "1"},
      {"", "100000", "", "", "中间的空格 与、标点：“引号”", "0.50"},
      {},  // an empty row between others
      {"李四", "000000", "=1+2", "-5", "1E5", "TRUE"},
      {"O'Brien, \"Bob\"", "  左右有空格  ", "two\nlines", "😀 表情", "é ü ß", ""},
      {"末行", "", "", "", "", ""},
  };
  std::string path = dir.file("客户列表.xls");
  ASSERT_TRUE(xls::writeSheet(path, "Sheet1", rows).ok());
  expectReadersSee(path, "Sheet1", rows);
  EXPECT_TRUE(strayFiles(dir, {"客户列表.xls"}).empty());
}

TEST(Writer, WritesAnEmptySheet) {
  TempDir dir;
  std::string path = dir.file("empty.xls");
  ASSERT_TRUE(xls::writeSheet(path, "空表", {}).ok());
  auto sheet = xls::readSheet(path, "空表");
  ASSERT_TRUE(sheet.ok()) << sheet.status().message();
  EXPECT_TRUE(sheet->empty());
  EXPECT_EQ(xlrdMismatch(path, "空表", {}), "");
  EXPECT_TRUE(readCompound(readFile(path)).problems.empty());
}

// Strings longer than a record, strings that start near a record's end,
// compressed and UTF-16 ones, characters beyond U+FFFF: the shared string
// table is split over CONTINUE records as BIFF8 wants, and all readers get
// the same text back.
TEST(Writer, SplitsSharedStringsOverContinueRecords) {
  Rows rows = {{"编号", "内容"}};
  std::mt19937 rng(7);
  // Many short strings of varied length, so that strings start at every
  // distance from a record's end.
  for (int i = 0; i < 1500; ++i) {
    std::string s = std::to_string(i) + ":";
    int n = static_cast<int>(rng() % 12);
    for (int k = 0; k < n; ++k) s += i % 3 ? "地" : "x";
    rows.push_back({std::to_string(i), s});
  }
  std::string latin(20000, 'a'), wide, longest(32767, 'z'), longestWide;
  for (int i = 0; i < 20000; ++i) latin[i] = static_cast<char>('a' + i % 26);
  for (int i = 0; i < 10000; ++i) wide += i % 2 ? "省" : "市";
  for (int i = 0; i < 32767; ++i) longestWide += "字";
  rows.push_back({"latin", latin});
  rows.push_back({"wide", wide});
  rows.push_back({"longest", longest});
  rows.push_back({"longest-wide", longestWide});
  // Pairs of UTF-16 units, at each parity: never parted by a split.
  for (const char* prefix : {"", "a", "ab", "abc"}) {
    std::string s = prefix;
    for (int i = 0; i < 9000; ++i) s += "😀";
    rows.push_back({"emoji", s});
  }
  TempDir dir;
  std::string path = dir.file("long.xls");
  ASSERT_TRUE(xls::writeSheet(path, "Sheet1", rows).ok());

  Compound c = readCompound(readFile(path));
  ASSERT_TRUE(c.problems.empty()) << c.problems.front();
  std::vector<Record> globals = substream(c.workbook, 0);
  Sst sst = readSst(globals);
  ASSERT_EQ(sst.problem, "");

  // Each distinct text once, in the order first met; every cell counted.
  std::vector<std::string> order;
  std::set<std::string> seen;
  std::size_t cells = 0;
  for (const auto& r : rows)
    for (const auto& v : r)
      if (!v.empty()) {
        ++cells;
        if (seen.insert(v).second) order.push_back(v);
      }
  EXPECT_EQ(sst.total, cells);
  ASSERT_EQ(sst.unique, order.size());
  ASSERT_EQ(sst.strings.size(), order.size());
  bool splitCompressed = false, splitWide = false;
  for (std::size_t i = 0; i < order.size(); ++i) {
    const SstString& s = sst.strings[i];
    ASSERT_EQ(utf8(s.text), order[i]) << "string " << i;
    bool latin1 = std::all_of(s.text.begin(), s.text.end(), [](char16_t ch) { return ch < 0x100; });
    EXPECT_EQ(s.compressed, latin1) << "string " << i;
    for (bool piece : s.piecesCompressed) EXPECT_EQ(piece, s.compressed);
    for (std::size_t k : s.splitAt) {
      ASSERT_GT(k, 0u) << "string " << i << " split before its first character";
      EXPECT_FALSE(s.text[k - 1] >= 0xD800 && s.text[k - 1] < 0xDC00) << "string " << i << " split inside a pair";
    }
    if (!s.splitAt.empty()) (s.compressed ? splitCompressed : splitWide) = true;
  }
  EXPECT_TRUE(splitCompressed);
  EXPECT_TRUE(splitWide);
  // Some record short of full before the table's end: a string that did not
  // fit its header and first character moved on whole.
  std::size_t sstAt = 0;
  while (globals[sstAt].type != 0x00FC) ++sstAt;
  bool shortRecord = false;
  for (std::size_t k = sstAt; k + 1 < globals.size() && globals[k + 1].type == 0x003C; ++k)
    shortRecord |= globals[k].data.size() < 8224;
  EXPECT_TRUE(shortRecord);

  // EXTSST: a bucket every dsst strings, at the string's stream position and
  // its offset in its record (counting the record's header).
  const Record* ext = findRecord(globals, 0x00FF);
  ASSERT_NE(ext, nullptr);
  std::size_t dsst = u16(ext->data, 0);
  EXPECT_EQ(dsst, std::max<std::size_t>(sst.unique / 128 + 1, 8));
  std::size_t buckets = (ext->data.size() - 2) / 8;
  EXPECT_EQ(buckets, (sst.unique + dsst - 1) / dsst);
  for (std::size_t b = 0; b < buckets; ++b) {
    const SstString& s = sst.strings[b * dsst];
    EXPECT_EQ(u32(ext->data, 2 + 8 * b), s.streamPos) << "bucket " << b;
    EXPECT_EQ(u16(ext->data, 6 + 8 * b), s.offsetInRecord) << "bucket " << b;
  }

  expectReadersSee(path, "Sheet1", rows);
}

// FreeXL puts a string together from two pieces at most: texts that two
// records can hold are laid out so that they need no more, wherever they
// fall, and read back whole through our reader.
TEST(Writer, KeepsTextsOfUpToTwoRecordsInTwoPieces) {
  Rows rows = {{"内容"}};
  std::string latin, wide, emoji;
  for (int i = 0; i < 16444; ++i) latin += static_cast<char>('a' + i % 26);
  for (int i = 0; i < 8219; ++i) wide += i % 2 ? "省" : "市";  // with a tag of two digits, 8,221
  for (int i = 0; i < 4000; ++i) emoji += "😀";
  std::mt19937 rng(11);
  for (int k = 0; k < 40; ++k) {
    // Short strings in between, so that the long ones start anywhere.
    for (int j = static_cast<int>(rng() % 60); j > 0; --j) rows.push_back({std::to_string(k) + "-" + std::to_string(j)});
    std::string tag = std::to_string(k);
    rows.push_back({k % 3 == 0 ? latin.substr(0, 16444 - tag.size()) + tag
                    : k % 3 == 1 ? wide.substr(0, wide.size() - 3 * (2 - tag.size())) + tag
                                 : emoji + tag});
  }
  TempDir dir;
  std::string path = dir.file("two.xls");
  ASSERT_TRUE(xls::writeSheet(path, "Sheet1", rows).ok());
  Sst sst = readSst(substream(readCompound(readFile(path)).workbook, 0));
  ASSERT_EQ(sst.problem, "");
  std::size_t split = 0;
  for (const SstString& s : sst.strings) {
    EXPECT_LE(s.splitAt.size(), 1u) << s.text.size() << " characters, compressed " << s.compressed;
    split += !s.splitAt.empty();
  }
  EXPECT_GT(split, 20u);
  expectReadersSee(path, "Sheet1", rows);
}

// The sheet's records point where they should: BOUNDSHEET at the sheet's
// BOF, INDEX at each DBCELL and at DEFCOLWIDTH, each DBCELL at its block's
// first ROW and at the first cell of each row.
TEST(Writer, SheetRecordsPointAtEachOther) {
  Rows rows;
  for (int r = 0; r < 200; ++r) {
    if (r >= 40 && r < 140) {
      rows.push_back({});  // rows 64-127: two whole blocks without cells
      continue;
    }
    std::vector<std::string> row;
    for (int c = 0; c <= r % 7; ++c) row.push_back(c == 1 && r % 3 ? "" : "r" + std::to_string(r) + "c" + std::to_string(c));
    rows.push_back(row);
  }
  TempDir dir;
  std::string path = dir.file("index.xls");
  ASSERT_TRUE(xls::writeSheet(path, "Sheet1", rows).ok());
  Compound c = readCompound(readFile(path));
  ASSERT_TRUE(c.problems.empty()) << c.problems.front();
  const std::vector<uint8_t>& wb = c.workbook;
  std::vector<Record> globals = substream(wb, 0);
  const Record* bs = findRecord(globals, 0x0085);
  ASSERT_NE(bs, nullptr);
  std::vector<Record> sheet = substream(wb, u32(bs->data, 0));
  ASSERT_FALSE(sheet.empty());
  ASSERT_EQ(sheet[0].type, 0x0809);
  EXPECT_EQ(u16(sheet[0].data, 2), 0x0010);  // a worksheet's BOF
  auto at = [&](std::size_t pos) -> const Record* {
    for (const Record& r : sheet)
      if (r.pos == pos) return &r;
    return nullptr;
  };

  const Record* index = findRecord(sheet, 0x020B);
  ASSERT_NE(index, nullptr);
  EXPECT_EQ(u32(index->data, 4), 0u);    // first row
  EXPECT_EQ(u32(index->data, 8), 200u);  // last row + 1
  const Record* defColWidth = at(u32(index->data, 12));
  ASSERT_NE(defColWidth, nullptr);
  EXPECT_EQ(defColWidth->type, 0x0055);
  std::size_t blocks = (index->data.size() - 16) / 4;
  std::set<std::size_t> usedBlocks;
  for (std::size_t r = 0; r < rows.size(); ++r)
    if (!rows[r].empty()) usedBlocks.insert(r / 32);
  EXPECT_EQ(blocks, usedBlocks.size());  // blocks of 32 rows without cells have none
  EXPECT_EQ(blocks, 5u);

  std::set<std::size_t> rowsSeen;
  for (std::size_t b = 0; b < blocks; ++b) {
    const Record* db = at(u32(index->data, 16 + 4 * b));
    ASSERT_NE(db, nullptr) << "block " << b;
    ASSERT_EQ(db->type, 0x00D7);
    std::size_t firstRow = db->pos - u32(db->data, 0);
    const Record* row = at(firstRow);
    ASSERT_NE(row, nullptr);
    ASSERT_EQ(row->type, 0x0208);
    std::size_t cell = firstRow + 20;
    std::size_t rowsInBlock = (db->data.size() - 4) / 2;
    for (std::size_t i = 0; i < rowsInBlock; ++i) {
      const Record* rowRecord = at(firstRow + 20 * i);
      ASSERT_NE(rowRecord, nullptr);
      ASSERT_EQ(rowRecord->type, 0x0208);
      std::size_t r = u16(rowRecord->data, 0);
      rowsSeen.insert(r);
      cell += u16(db->data, 4 + 2 * i);
      const Record* first = at(cell);
      ASSERT_NE(first, nullptr);
      EXPECT_EQ(first->type, 0x00FD);
      EXPECT_EQ(u16(first->data, 0), r);                       // the row's first cell
      EXPECT_EQ(u16(first->data, 2), u16(rowRecord->data, 2));  // in the row's first column
    }
  }
  std::set<std::size_t> rowsWithCells;
  for (std::size_t r = 0; r < rows.size(); ++r)
    if (std::any_of(rows[r].begin(), rows[r].end(), [](const std::string& v) { return !v.empty(); }))
      rowsWithCells.insert(r);
  EXPECT_EQ(rowsSeen, rowsWithCells);

  const Record* dims = findRecord(sheet, 0x0200);
  ASSERT_NE(dims, nullptr);
  EXPECT_EQ(u32(dims->data, 4), 200u);
  EXPECT_EQ(u16(dims->data, 10), 7u);  // columns A to G
  expectReadersSee(path, "Sheet1", rows);
}

TEST(Writer, WritesTheLargestSheetAnXlsHolds) {
  TempDir dir;
  Rows rows = recipients(65535, 3);  // the title row and 65,535 recipients
  ASSERT_EQ(rows.size(), xls::kMaxRows);
  std::string path = dir.file("full.xls");
  Status st = xls::writeSheet(path, "Sheet1", rows);
  ASSERT_TRUE(st.ok()) << st.message();
  // Past 7 MB the FAT needs more sector numbers than the header has room for.
  Compound c = readCompound(readFile(path));
  ASSERT_TRUE(c.problems.empty()) << c.problems.front();
  EXPECT_GT(c.difatSectors, 0u);
  expectReadersSee(path, "Sheet1", rows);
}

// Refusals: nothing written, no temporary file left, an existing file of
// that name unchanged.
TEST(Writer, RefusesWhatASheetCannotHoldAndLeavesFilesAlone) {
  TempDir dir;
  const std::string kept = dir.file("kept.xls"), fresh = dir.file("fresh.xls");
  const Rows before = {{"姓名"}, {"原来的"}};
  ASSERT_TRUE(xls::writeSheet(kept, "Sheet1", before).ok());
  const std::string keptBytes = readFile(kept);

  Rows tooLong(xls::kMaxRows + 1, std::vector<std::string>{"x"});
  Rows tooWide = {std::vector<std::string>(257, "x")};
  Rows longCell = {{"a", "b"}, {"c", std::string(32768, 'd')}};
  Rows longWideCell = {{"a"}, {"b"}, {"", "", std::string(3 * 32768, '\0')}};
  for (std::size_t i = 0; i < 32768; ++i) longWideCell[2][2].replace(3 * i, 3, "字");
  Rows badUtf8 = {{"a"}, {"b", "c", "d\xff"}};
  struct Refusal {
    const char* what;
    Rows rows;
    std::string sheetName;
    const char* says;
  };
  const Refusal cases[] = {
      {"65,537 rows", tooLong, "Sheet1", "65,536"},
      {"257 columns", tooWide, "Sheet1", "256"},
      {"a cell of 32,768 characters", longCell, "Sheet1", "row 2, column B"},
      {"a UTF-16 cell of 32,768 characters", longWideCell, "Sheet1", "row 3, column C"},
      {"text that is not UTF-8", badUtf8, "Sheet1", "row 2, column C"},
      {"an empty sheet name", before, "", "name"},
      {"a sheet name with a slash", before, "a/b", "name"},
      {"a sheet name of 32 characters", before, std::string(32, 's'), "31"},
  };
  for (const Refusal& r : cases) {
    for (const std::string& target : {kept, fresh}) {
      Status st = xls::writeSheet(target, r.sheetName, r.rows);
      ASSERT_FALSE(st.ok()) << r.what;
      EXPECT_EQ(st.code(), Status::Code::kInvalidArgument) << r.what;
      EXPECT_NE(st.message().find(r.says), std::string::npos) << r.what << ": " << st.message();
    }
    EXPECT_FALSE(exists(fresh)) << r.what;
    EXPECT_EQ(readFile(kept), keptBytes) << r.what;
    EXPECT_EQ(strayFiles(dir, {"kept.xls"}), std::vector<std::string>{}) << r.what;
  }
  // Just inside the limits is fine.
  Rows widest = {std::vector<std::string>(256, "列")};
  widest[0][255] = "IV";
  ASSERT_TRUE(xls::writeSheet(fresh, "Sheet1", widest).ok());
  EXPECT_EQ(xlrdMismatch(fresh, "Sheet1", widest), "");
  Rows longest = {{"a", std::string(32767, 'd')}, {"b", std::string(32767 * 3, 'x')}};
  for (std::size_t i = 0; i < 32767; ++i) longest[1][1].replace(3 * i, 3, "字");
  ASSERT_TRUE(xls::writeSheet(fresh, "Sheet1", longest).ok());
  EXPECT_EQ(xlrdMismatch(fresh, "Sheet1", longest), "");
}

TEST(Writer, ReplacesAFileWhole) {
  TempDir dir;
  std::string path = dir.file("list.xls");
  ASSERT_TRUE(xls::writeSheet(path, "Sheet1", recipients(2000, 1)).ok());
  ::chmod(path.c_str(), 0640);
  Rows second = {{"姓名"}, {"只有一个"}};
  ASSERT_TRUE(xls::writeSheet(path, "Sheet1", second).ok());
  auto back = xls::readSheet(path, "Sheet1");
  ASSERT_TRUE(back.ok());
  EXPECT_EQ(back->toRows(), second);
  struct stat st;
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);  // a replaced file keeps its permissions
  EXPECT_EQ(strayFiles(dir, {"list.xls"}), std::vector<std::string>{});

  Status noFolder = xls::writeSheet(dir.file("no/such/folder.xls"), "Sheet1", second);
  EXPECT_EQ(noFolder.code(), Status::Code::kNotFound);
  Status aFolder = xls::writeSheet(dir.path(), "Sheet1", second);
  EXPECT_EQ(aFolder.code(), Status::Code::kInvalidArgument);
}

TEST(Writer, ReportsProgressAndStopsWhenCancelled) {
  TempDir dir;
  Rows rows = recipients(4500, 2);  // 4,501 rows with the titles
  std::vector<std::pair<std::size_t, std::size_t>> calls;
  std::string path = dir.file("progress.xls");
  ASSERT_TRUE(xls::writeSheet(path, "Sheet1", rows, [&](std::size_t done, std::size_t total) {
                calls.push_back({done, total});
                return true;
              }).ok());
  std::vector<std::pair<std::size_t, std::size_t>> expected = {
      {0, 4501}, {1000, 4501}, {2000, 4501}, {3000, 4501}, {4000, 4501}, {4501, 4501}};
  EXPECT_EQ(calls, expected);

  const std::string before = readFile(path);
  for (std::size_t stopAt : {std::size_t{0}, std::size_t{2000}, std::size_t{4501}}) {
    Status st = xls::writeSheet(path, "Sheet1", recipients(4500, 9),
                                [&](std::size_t done, std::size_t) { return done < stopAt; });
    EXPECT_EQ(st.code(), Status::Code::kCancelled) << "stopped at " << stopAt;
    EXPECT_EQ(readFile(path), before);
    st = xls::writeSheet(dir.file("never.xls"), "Sheet1", rows,
                         [&](std::size_t done, std::size_t) { return done < stopAt; });
    EXPECT_EQ(st.code(), Status::Code::kCancelled);
  }
  EXPECT_EQ(strayFiles(dir, {"progress.xls"}), std::vector<std::string>{});
}

TEST(SheetWriter, BuildsRowByRowAndTakesARefusedRowBackOut) {
  auto w = xls::SheetWriter::create("客户");
  ASSERT_TRUE(w.ok());
  ASSERT_TRUE(w->addRow({"姓名", "手机"}).ok());
  const std::vector<std::string> row1 = {"张三", "13800138000"};
  ASSERT_TRUE(w->addRow(row1).ok());
  const std::vector<std::string_view> row2 = {"李四", "0571"};
  ASSERT_TRUE(w->addRow(row2).ok());
  // A row refused at its last value: its new texts must not linger.
  Status bad = w->addRow({"新名字", "新号码", std::string_view("\xc3\x28", 2)});
  ASSERT_FALSE(bad.ok());
  EXPECT_NE(bad.message().find("row 4, column C"), std::string::npos) << bad.message();
  EXPECT_EQ(w->rowCount(), 3u);
  ASSERT_TRUE(w->addRow({"王五", "新号码"}).ok());  // a text of the refused row, now for real

  TempDir dir;
  std::string path = dir.file("rows.xls");
  ASSERT_TRUE(w->save(path).ok());
  const Rows expected = {{"姓名", "手机"}, {"张三", "13800138000"}, {"李四", "0571"}, {"王五", "新号码"}};
  expectReadersSee(path, "客户", expected);
  Sst sst = readSst(substream(readCompound(readFile(path)).workbook, 0));
  ASSERT_EQ(sst.problem, "");
  std::vector<std::string> texts;
  for (const auto& s : sst.strings) texts.push_back(utf8(s.text));
  EXPECT_EQ(texts, (std::vector<std::string>{"姓名", "手机", "张三", "13800138000", "李四", "0571", "王五", "新号码"}));

  EXPECT_FALSE(xls::SheetWriter::create("a[1]").ok());
  EXPECT_FALSE(xls::SheetWriter::create("'quoted'").ok());
  EXPECT_TRUE(xls::SheetWriter::create("2024年3月 客户").ok());
}

}  // namespace

namespace {

// The checks themselves must fail on a wrong file, or they prove nothing.
TEST(Checks, CatchWrongValuesAndBrokenContainers) {
  TempDir dir;
  std::string path = dir.file("check.xls");
  const Rows rows = {{"邮编", "手机"}, {"010", "13800138000"}};
  ASSERT_TRUE(xls::writeSheet(path, "Sheet1", rows).ok());
  ASSERT_EQ(xlrdMismatch(path, "Sheet1", rows), "");
  EXPECT_NE(xlrdMismatch(path, "Sheet1", {{"邮编", "手机"}, {"10", "13800138000"}}), "");
  EXPECT_NE(xlrdMismatch(path, "Sheet2", rows), "");
  EXPECT_NE(xlrdMismatch(path, "Sheet1", {{"邮编", "手机"}}), "");

  const std::string bytes = readFile(path);
  ASSERT_TRUE(readCompound(bytes).problems.empty());
  // The header's first FAT sector number, and a FAT entry of the stream's chain.
  std::string badFat = bytes;
  badFat[0x4C] = static_cast<char>(badFat[0x4C] + 1);
  EXPECT_FALSE(readCompound(badFat).problems.empty());
  uint32_t fatSector = u32(std::vector<uint8_t>(bytes.begin(), bytes.end()), 0x4C);
  std::string badChain = bytes;
  badChain[512 + fatSector * 512 + 4 * 2] = 5;  // sector 2 now leads to sector 5, out of order
  EXPECT_FALSE(readCompound(badChain).problems.empty());

  Compound c = readCompound(bytes);
  std::vector<Record> globals = substream(c.workbook, 0);
  ASSERT_EQ(readSst(globals).problem, "");
  for (Record& r : globals)
    if (r.type == 0x00FC) r.data[4] += 1;  // one string more than there is
  EXPECT_NE(readSst(globals).problem, "");
}

}  // namespace

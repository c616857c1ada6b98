// The packed sheet and finding columns by title.
#include <gtest/gtest.h>

#include "platform/xls/sheet.h"

namespace {

using xls::Sheet;
using xls::SheetBuilder;

TEST(Sheet, IsDenseAndEmptyOutside) {
  Sheet s = Sheet::fromRows({{"姓名", "手机"}, {"张三"}, {}, {"", "", "备注"}});
  EXPECT_EQ(s.rows(), 4u);
  EXPECT_EQ(s.columns(), 3u);
  EXPECT_EQ(s.cell(0, 1), "手机");
  EXPECT_EQ(s.cell(1, 1), "");
  EXPECT_EQ(s.cell(3, 2), "备注");
  EXPECT_EQ(s.cell(9, 0), "");
  EXPECT_EQ(s.cell(0, 9), "");
  EXPECT_EQ(s.row(1), (std::vector<std::string>{"张三", "", ""}));
  EXPECT_TRUE(s.row(7).empty());
  EXPECT_EQ(s.toRows().size(), 4u);
  EXPECT_TRUE(Sheet().empty());
  EXPECT_EQ(Sheet().rows(), 0u);
}

TEST(SheetBuilder, DropsTrailingEmptyRowsAndColumnsOnly) {
  // 4 x 4 with text in (0,0), (1,2) and (2,0); row 3 and column 3 empty;
  // the empty row 1's neighbours and column 1 in the middle stay.
  const char* cells[4][4] = {{"a", "", "", ""}, {"", "", "c", ""}, {"d", "", "", ""}, {"", "", "", ""}};
  SheetBuilder b(4, 4);
  for (auto& row : cells)
    for (const char* c : row) b.append(c);
  Sheet s = b.finish();
  EXPECT_EQ(s.rows(), 3u);
  EXPECT_EQ(s.columns(), 3u);
  EXPECT_EQ(s.toRows(), (std::vector<std::vector<std::string>>{{"a", "", ""}, {"", "", "c"}, {"d", "", ""}}));

  SheetBuilder blank(3, 2);
  for (int i = 0; i < 6; ++i) blank.append("");
  EXPECT_TRUE(blank.finish().empty());
  EXPECT_TRUE(SheetBuilder(0, 0).finish().empty());
}

TEST(TrimBlanks, DropsAsciiNoBreakAndIdeographicSpacesAtTheEnds) {
  EXPECT_EQ(xls::trimBlanks("  手机\t"), "手机");
  EXPECT_EQ(xls::trimBlanks("\u3000手机\u00a0\r\n"), "手机");
  EXPECT_EQ(xls::trimBlanks("收件 单位"), "收件 单位");
  EXPECT_EQ(xls::trimBlanks(" \u3000 "), "");
  EXPECT_EQ(xls::trimBlanks(""), "");
}

TEST(FindColumns, MatchesTitlesWithoutSurroundingBlanks) {
  Sheet s = Sheet::fromRows({{"姓名", " 手机 ", "邮编\u3000", "手机号", "地址", "姓名"}, {"张三", "1", "2", "3", "4", "5"}});
  auto cols = xls::findColumns(s, {"地址", "手机", "姓名", " 邮编"});
  ASSERT_TRUE(cols.ok()) << cols.status().message();
  // "手机" is column 1, not "手机号"; of the two "姓名" the leftmost.
  EXPECT_EQ(*cols, (std::vector<int>{4, 1, 0, 2}));
  auto none = xls::findColumns(s, {});
  ASSERT_TRUE(none.ok());
  EXPECT_TRUE(none->empty());
}

TEST(FindColumns, NamesEveryMissingTitle) {
  Sheet s = Sheet::fromRows({{"姓名", "城市"}, {"张三", "北京"}});
  auto cols = xls::findColumns(s, {"姓名", "手机", "邮编"});
  ASSERT_FALSE(cols.ok());
  EXPECT_EQ(cols.status().code(), xls::Status::Code::kNotFound);
  const std::string& m = cols.status().message();
  EXPECT_NE(m.find("\"手机\", \"邮编\""), std::string::npos) << m;
  EXPECT_NE(m.find("\"姓名\", \"城市\""), std::string::npos) << m;  // what there is
}

TEST(FindColumns, SaysWhenThereIsNoTitleRow) {
  auto empty = xls::findColumns(Sheet(), {"姓名"});
  ASSERT_FALSE(empty.ok());
  EXPECT_NE(empty.status().message().find("empty"), std::string::npos);
  auto blankTitles = xls::findColumns(Sheet::fromRows({{"", ""}, {"张三", "北京"}}), {"姓名"});
  ASSERT_FALSE(blankTitles.ok());
  EXPECT_NE(blankTitles.status().message().find("first row"), std::string::npos);
  auto emptyWanted = xls::findColumns(Sheet::fromRows({{"姓名"}}), {" "});
  ASSERT_FALSE(emptyWanted.ok());
  EXPECT_EQ(emptyWanted.status().code(), xls::Status::Code::kInvalidArgument);
}

}  // namespace

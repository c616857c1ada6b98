// Benchmark of the spreadsheet layer on a 60,000-row recipient list of
// realistic Chinese text (11 columns, as the program exports them): our
// writer, our reader, and Gnumeric's ssconvert turning the same file into
// CSV for comparison.  Prints the times; asserts nothing.
// Usage: xls_bench [FOLDER]
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "platform/xls/reader.h"
#include "platform/xls/writer.h"

namespace {

using Clock = std::chrono::steady_clock;
double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

std::vector<std::string> recipient(std::mt19937& rng, int i) {
  static const char* surnames[] = {"王", "李", "张", "刘", "陈", "杨", "赵", "黄", "周", "吴", "欧阳"};
  static const char* given[] = {"伟", "芳", "娜", "秀英", "敏", "静", "丽", "强", "磊", "军", "洋", "勇"};
  static const char* cities[] = {"北京", "上海", "广州", "深圳", "杭州", "成都", "武汉", "南京", "西安", "重庆"};
  static const char* roads[] = {"建国路", "人民路", "中山路", "解放路", "和平路", "长江路", "黄河路", "新华路"};
  static const char* goods[] = {"衣服", "书籍", "电子产品", "茶叶", "化妆品", "食品", "文件", "鞋子"};
  auto pick = [&](auto& a) { return std::string(a[rng() % (sizeof a / sizeof *a)]); };
  std::string city = pick(cities);
  char phone[16], post[8], waybill[16];
  std::snprintf(phone, sizeof phone, "13%09u", unsigned(rng() % 1000000000));
  std::snprintf(post, sizeof post, "%06u", unsigned(rng() % 1000000));
  std::snprintf(waybill, sizeof waybill, "%012d", i);
  std::string address = city + "市" + pick(roads) + std::to_string(1 + rng() % 999) + "号" +
                        std::to_string(1 + rng() % 30) + "栋" + std::to_string(101 + rng() % 2000) + "室";
  return {pick(surnames) + pick(given), city, city + pick(roads) + "贸易有限公司", post, address, phone,
          "0571-8" + std::string(phone + 6), pick(goods), std::to_string(1 + rng() % 5), waybill,
          rng() % 4 ? "" : "请在工作日送达"};
}

int run(const std::string& command) {
  int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  fs::path dir = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path() / ("xls-bench-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string path = (dir / "recipients.xls").string();
  const std::string csv = (dir / "recipients.csv").string();

  const int kRows = 60000;
  std::vector<std::vector<std::string>> rows = {
      {"姓名", "城市", "收件单位", "邮编", "地址", "手机", "电话", "内件品名", "数量", "运单号", "备注"}};
  std::mt19937 rng(1);
  for (int i = 0; i < kRows; ++i) rows.push_back(recipient(rng, i));

  double write = 1e9;
  for (int r = 0; r < 3; ++r) {
    auto t = Clock::now();
    xls::Status st = xls::writeSheet(path, "Sheet1", rows);
    write = std::min(write, ms(Clock::now() - t));
    if (!st.ok()) {
      std::fprintf(stderr, "write failed: %s\n", st.message().c_str());
      return 2;
    }
  }
  std::printf("%-52s %9.1f ms\n", "write 60,000 x 11 (writeSheet, best of 3)", write);
  std::printf("  file size %.1f MB\n", double(fs::file_size(path)) / 1e6);

  double read = 1e9;
  std::size_t cells = 0;
  for (int r = 0; r < 5; ++r) {
    auto t = Clock::now();
    auto sheet = xls::readSheet(path, "Sheet1");
    read = std::min(read, ms(Clock::now() - t));
    if (!sheet.ok()) {
      std::fprintf(stderr, "read failed: %s\n", sheet.status().message().c_str());
      return 2;
    }
    cells = sheet->rows() * sheet->columns();
    for (std::size_t i = 0; i < rows.size(); i += 997)
      for (std::size_t c = 0; c < 11; ++c)
        if (sheet->cell(i, c) != rows[i][c]) {
          std::fprintf(stderr, "row %zu column %zu reads back wrong\n", i, c);
          return 2;
        }
  }
  std::printf("%-52s %9.1f ms  (%zu cells)\n", "read it back (readSheet, best of 5)", read, cells);

  double gnumeric = 1e9;
  for (int r = 0; r < 3; ++r) {
    auto t = Clock::now();
    int rc = run("ssconvert --export-type=Gnumeric_stf:stf_csv '" + path + "' '" + csv + "' >/dev/null 2>&1");
    gnumeric = std::min(gnumeric, ms(Clock::now() - t));
    if (rc != 0) {
      std::fprintf(stderr, "ssconvert failed (%d)\n", rc);
      return 2;
    }
  }
  std::printf("%-52s %9.1f ms\n", "ssconvert of the same file to CSV (best of 3)", gnumeric);
  std::printf("%-52s %9.1fx\n", "reading speed-up over ssconvert", gnumeric / read);

  if (argc <= 1) fs::remove_all(dir);
  return 0;
}

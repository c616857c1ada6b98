// Benchmarks of the storage engine on a 100,000-row recipient table of
// realistic Chinese text.  Prints one line per measurement with its target;
// exits 1 when a target is missed.  Usage: jet_bench [FOLDER]
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "platform/jet/database.h"
#include "records/waybill_schema.h"

namespace {

using Clock = std::chrono::steady_clock;
double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

std::vector<jet::Value> recipient(std::mt19937& rng, int i) {
  static const char* surnames[] = {"王", "李", "张", "刘", "陈", "杨", "赵", "黄", "周", "吴"};
  static const char* given[] = {"伟", "芳", "娜", "秀英", "敏", "静", "丽", "强", "磊", "军", "洋", "勇"};
  static const char* cities[] = {"北京", "上海", "广州", "深圳", "杭州", "成都", "武汉", "南京", "西安", "重庆"};
  static const char* roads[] = {"建国路", "人民路", "中山路", "解放路", "和平路", "长江路", "黄河路", "新华路"};
  static const char* goods[] = {"衣服", "书籍", "电子产品", "茶叶", "化妆品", "食品", "文件", "鞋子"};
  auto pick = [&](auto& a) { return std::string(a[rng() % (sizeof a / sizeof *a)]); };
  std::string city = pick(cities);
  char phone[16], post[8], num[8], waybill[16];
  std::snprintf(phone, sizeof phone, "13%09u", unsigned(rng() % 1000000000));
  std::snprintf(post, sizeof post, "%06u", unsigned(rng() % 1000000));
  std::snprintf(num, sizeof num, "%u", unsigned(1 + rng() % 5));
  std::snprintf(waybill, sizeof waybill, "%012d", i);
  std::string address = city + "市" + pick(roads) + std::to_string(1 + rng() % 999) + "号" +
                        std::to_string(1 + rng() % 30) + "栋" + std::to_string(101 + rng() % 2000) + "室";
  return {jet::Value::text(pick(surnames) + pick(given)), jet::Value::text(city),
          jet::Value::text(city + pick(roads) + "贸易有限公司"), jet::Value::text(post), jet::Value::text(address),
          jet::Value::text(phone), jet::Value::text("0571-8" + std::string(phone + 6)), jet::Value::text(pick(goods)),
          jet::Value::text(num), jet::Value::text(waybill), jet::Value::text(rng() % 4 ? "" : "请在工作日送达")};
}

int failures = 0;
void report(const char* what, double value, const char* unit, double target, bool lowerIsBetter = true) {
  bool ok = lowerIsBetter ? value <= target : value >= target;
  if (!ok) ++failures;
  std::printf("%-48s %10.2f %-4s (target %s %.0f) %s\n", what, value, unit, lowerIsBetter ? "<=" : ">=", target,
              ok ? "ok" : "MISSED");
}

}  // namespace

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  fs::path dir = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path() / ("jet-bench-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  std::string path = (dir / "data.mdb").string();
  fs::remove(path);
  const std::string pw = waybill::kDatabasePassword;
  if (!jet::Database::create(path, pw, waybill::databaseSchema()).ok()) return 2;
  auto db = std::move(jet::Database::open(path, pw)).value();
  std::mt19937 rng(1);
  const int kRows = 100000;

  auto t0 = Clock::now();
  db->begin();
  for (int i = 0; i < kRows; ++i)
    if (!db->append("inr", recipient(rng, i)).ok()) return 2;
  if (!db->commit().ok()) return 2;
  report("append 100,000 rows in one transaction", ms(Clock::now() - t0), "ms", 2000);
  std::printf("  file size %.1f MB\n", double(fs::file_size(path)) / 1e6);

  // Reading everything, against mdb-export on the same file.
  double best = 1e9;
  size_t rows = 0;
  for (int r = 0; r < 5; ++r) {
    auto t = Clock::now();
    auto all = db->selectAllText("inr");
    best = std::min(best, ms(Clock::now() - t));
    rows = all->rows();
  }
  if (rows != size_t(kRows)) return 2;
  std::printf("%-48s %10.2f ms\n", "read all 100,000 rows as text (best of 5)", best);
  double theirs = 1e9;
  for (int r = 0; r < 3; ++r) {
    auto t = Clock::now();
    int rc = std::system(("mdb-export '" + path + "' inr > /dev/null").c_str());
    if (rc != 0) break;
    theirs = std::min(theirs, ms(Clock::now() - t));
  }
  if (theirs < 1e9) {
    std::printf("  mdb-export of the same table: %.1f ms\n", theirs);
    report("  reading speed-up over mdb-export", theirs / best, "x", 3, false);
  }

  // A substring search over one column.
  std::vector<double> times;
  size_t found = 0;
  for (int r = 0; r < 11; ++r) {
    auto t = Clock::now();
    auto hits = db->selectContainingText("inr", "姓名", "秀英");
    times.push_back(ms(Clock::now() - t));
    found = hits->rows();
  }
  std::sort(times.begin(), times.end());
  report("search one column of 100,000 rows (median)", times[times.size() / 2], "ms", 30);
  std::printf("  %zu rows found\n", found);

  // One durable append at a time, each its own transaction.
  times.clear();
  for (int r = 0; r < 101; ++r) {
    auto t = Clock::now();
    if (!db->append("inr", recipient(rng, kRows + r)).ok()) return 2;
    times.push_back(ms(Clock::now() - t));
  }
  std::sort(times.begin(), times.end());
  report("one durable single-row append (median)", times[times.size() / 2], "ms", 10);

  auto problems = db->check();
  if (!problems.ok() || !problems->empty()) {
    std::printf("the file is not sound afterwards\n");
    return 2;
  }
  db.reset();
  if (argc <= 1) fs::remove_all(dir);
  return failures ? 1 : 0;
}

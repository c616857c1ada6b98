// A day's list through the program: 60,000 orders imported from an .xls
// into data.mdb (read, checked, and stored in one transaction), and 60,000
// recipients exported from a record set to a new .xls, each timed whole;
// beside them Gnumeric's ssconvert turning the same .xls into CSV.
// Usage: transfer_bench [FOLDER]
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <cstdio>
#include <filesystem>
#include <random>

#include "platform/xls/reader.h"
#include "platform/xls/writer.h"
#include "records/RecordSet.h"
#include "records/Spreadsheet.h"
#include "records/waybill_schema.h"

using namespace waybill;

namespace {

int failures = 0;
void measure(const char* what, double ms, double target) {
  bool ok = target <= 0 || ms <= target;
  if (!ok) ++failures;
  if (target > 0) std::printf("%-58s %8.0f ms (target <= %.0f) %s\n", what, ms, target, ok ? "ok" : "MISSED");
  else std::printf("%-58s %8.0f ms\n", what, ms);
}

std::vector<std::vector<std::string>> orders(int count) {
  const char* surnames[] = {"张", "王", "李", "赵", "刘", "陈", "杨", "黄"};
  const char* cities[] = {"杭州", "上海", "北京", "广州", "深圳", "成都"};
  std::mt19937 rng(7);
  std::vector<std::vector<std::string>> rows;
  std::vector<std::string> titles;
  for (const std::string& c : recipientColumns()) titles.push_back(c);
  rows.push_back(titles);
  for (int i = 0; i < count; ++i) {
    std::string n = std::to_string(i);
    rows.push_back({std::string(surnames[rng() % 8]) + "先生" + n, cities[rng() % 6], "网店客户" + n, "0" + std::to_string(10000 + rng() % 89999),
                    std::string(cities[rng() % 6]) + "市某某区某某路" + n + "号" + std::to_string(rng() % 30) + "栋",
                    "138" + std::to_string(10000000 + rng() % 89999999), "0571-" + std::to_string(80000000 + i), "茶叶",
                    std::to_string(1 + rng() % 9), "2688" + std::to_string(10000000 + i), i % 5 ? "" : "工作日送达"});
  }
  return rows;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const std::string folder = argc > 1 ? argv[1] : std::filesystem::temp_directory_path().string() + "/transfer_bench";
  std::filesystem::create_directories(folder);
  const std::string xlsPath = folder + "/orders.xls", db = folder + "/data.mdb";
  const int count = 60000;
  if (auto s = xls::writeSheet(xlsPath, "Sheet1", orders(count)); !s.ok()) {
    std::fprintf(stderr, "%s\n", s.message().c_str());
    return 1;
  }
  std::filesystem::remove(db);
  jet::Database::create(db, kDatabasePassword, databaseSchema());
  QString error;
  auto connection = Connection::open(QString::fromStdString(db), error);

  double best = 1e9;
  for (int round = 0; round < 3; ++round) {
    QElapsedTimer t;
    t.start();
    auto failed = importSpreadsheet(*connection, QString::fromStdString(xlsPath));
    best = std::min(best, double(t.elapsed()));
    if (failed) {
      std::fprintf(stderr, "import: %s\n", failed->toStdString().c_str());
      return 1;
    }
  }
  measure("import 60,000 rows from .xls into excel (best of 3)", best, 2000);
  const double importMs = best;
  {
    QElapsedTimer t;
    t.start();
    auto sheet = xls::readSheet(xlsPath, "Sheet1");
    measure("  of which reading the sheet", double(t.elapsed()), 0);
  }

  RecordSet list(connection.get());
  list.requery(Query::all(QString::fromUtf8(kImportTable)));
  if (list.rowCount() != count) {
    std::fprintf(stderr, "imported %d rows, not %d\n", list.rowCount(), count);
    return 1;
  }
  best = 1e9;
  for (int round = 0; round < 3; ++round) {
    QElapsedTimer t;
    t.start();
    if (auto failed = exportRecordSet(list, QString::fromStdString(folder + "/export.xls"))) {
      std::fprintf(stderr, "export: %s\n", failed->toStdString().c_str());
      return 1;
    }
    best = std::min(best, double(t.elapsed()));
  }
  measure("export 60,000 rows from a record set to .xls (best of 3)", best, 2000);

  best = 1e9;
  for (int round = 0; round < 3; ++round) {
    QElapsedTimer t;
    t.start();
    QProcess::execute("ssconvert", {"--export-type=Gnumeric_stf:stf_csv", QString::fromStdString(xlsPath),
                                    QString::fromStdString(folder + "/orders.csv")});
    best = std::min(best, double(t.elapsed()));
  }
  measure("ssconvert of the same .xls to CSV (best of 3)", best, 0);
  const double speedUp = best / importMs;
  std::printf("%-58s %8.1f x  (target >= 3) %s\n", "our whole import against ssconvert's conversion", speedUp,
              speedUp >= 3 ? "ok" : "MISSED");
  if (speedUp < 3) ++failures;
  return failures == 0 ? 0 : 1;
}

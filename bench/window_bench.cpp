// The main window over 100,000 recipients: time to the window shown,
// "刷新" and a search each until the grid is drawn again, scrolling, and
// resident memory.  Usage: window_bench [FOLDER]  (QT_QPA_PLATFORM=offscreen)
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>

#include "app/MainUnit.h"
#include "platform/report/Fonts.h"
#include "records/RecordGrid.h"
#include "records/waybill_schema.h"

namespace {

long residentKb() {
  QFile f("/proc/self/status");
  f.open(QIODevice::ReadOnly);
  for (const QByteArray& line : f.readAll().split('\n'))
    if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ')[0].toLong();
  return -1;
}

int failures = 0;
void measure(const char* what, double value, const char* unit, double target) {
  bool ok = value <= target;
  if (!ok) ++failures;
  std::printf("%-52s %9.1f %-3s (target <= %.0f) %s\n", what, value, unit, target, ok ? "ok" : "MISSED");
}

void makeDatabase(const std::string& path) {
  std::filesystem::remove(path);
  jet::Database::create(path, waybill::kDatabasePassword, waybill::databaseSchema());
  auto db = std::move(jet::Database::open(path, waybill::kDatabasePassword)).value();
  std::mt19937 rng(1);
  static const char* surnames[] = {"王", "李", "张", "刘", "陈", "杨", "赵", "黄", "周", "吴"};
  static const char* given[] = {"伟", "芳", "娜", "秀英", "敏", "静", "丽", "强", "磊", "军"};
  static const char* cities[] = {"北京", "上海", "广州", "深圳", "杭州", "成都", "武汉", "南京"};
  db->begin();
  for (int i = 0; i < 100000; ++i) {
    std::string city = cities[rng() % 8];
    char phone[16], waybill[16];
    std::snprintf(phone, sizeof phone, "13%09u", unsigned(rng() % 1000000000));
    std::snprintf(waybill, sizeof waybill, "%012d", i);
    std::vector<jet::Value> v = {
        jet::Value::text(std::string(surnames[rng() % 10]) + given[rng() % 10]), jet::Value::text(city),
        jet::Value::text(city + "市贸易有限公司"), jet::Value::text("310012"),
        jet::Value::text(city + "市人民路" + std::to_string(rng() % 999) + "号" + std::to_string(rng() % 30) + "栋"),
        jet::Value::text(phone), jet::Value::text("0571-88886666"), jet::Value::text("衣服"), jet::Value::text("1"),
        jet::Value::text(waybill), jet::Value::text(i % 4 ? "" : "工作日送达")};
    db->append("inr", v);
  }
  db->commit();
}

}  // namespace

int main(int argc, char** argv) {
  QElapsedTimer sinceStart;
  sinceStart.start();
  std::string folder = argc > 1 ? argv[1] : (std::filesystem::temp_directory_path() / "window-bench").string();
  std::filesystem::create_directories(folder);
  std::string path = folder + "/data.mdb";
  if (!std::filesystem::exists(path)) makeDatabase(path);

  // From here on it is what the program does at start.
  QElapsedTimer startUp;
  startUp.start();
  QApplication app(argc, argv);
  report::installFontSubstitutions();
  ui::ScriptedDialogs dialogs;
  QString error;
  auto store = waybill::RecordStore::open(QString::fromStdString(path), error);
  if (!store) {
    std::printf("cannot open %s: %s\n", path.c_str(), error.toStdString().c_str());
    return 2;
  }
  waybill::Environment env;
  env.programPath = QString::fromStdString(folder + "/waybill");
  waybill::TMainForm window(*store, dialogs, env);
  window.show();
  QApplication::processEvents();
  window.repaint();
  measure("start to the main window shown, 100,000 recipients", startUp.elapsed(), "ms", 1000);

  auto* grid = window.findChild<waybill::RecordGrid*>("DBGridEh2");
  auto* refresh = window.findChild<QPushButton*>("SpeedButton20");
  auto* find = window.findChild<QPushButton*>("SpeedButton19");
  auto* name = window.findChild<QLineEdit*>("Edit20");
  auto timed = [&](auto&& action) {
    std::vector<double> times;
    for (int i = 0; i < 7; ++i) {
      QElapsedTimer t;
      t.start();
      action();
      grid->viewport()->repaint();
      QApplication::processEvents();
      times.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
  };
  measure("\"刷新\" until the grid is drawn (median)", timed([&] { refresh->click(); }), "ms", 100);
  measure("search by name until the grid is drawn (median)", timed([&] {
           name->setText("秀英");
           find->click();
         }),
         "ms", 100);
  refresh->click();
  QScrollBar* bar = grid->verticalScrollBar();
  QElapsedTimer t;
  t.start();
  int steps = 0;
  for (int v = 0; v < bar->maximum() && steps < 300; v += bar->maximum() / 300 + 1, ++steps) {
    bar->setValue(v);
    grid->viewport()->repaint();
  }
  measure("one scroll step redrawn across the list (mean)", double(t.nsecsElapsed()) / 1e6 / steps, "ms", 16);
  measure("resident memory with the window open", double(residentKb()) / 1024.0, "MB", 200);
  return failures ? 1 : 0;
}

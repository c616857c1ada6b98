// libFuzzer target: any bytes, opened and read as a database, must give
// rows or an error, never a crash, a hang or a sanitizer report.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/jet/database.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/jet-fuzz-" + std::to_string(::getpid()) + ".mdb";
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  for (const char* password : {"", "531864297305"}) {
    auto db = jet::Database::open(path, password, {.readOnly = true});
    if (!db.ok()) continue;
    auto names = (*db)->tableNames();
    if (names.ok())
      for (const std::string& t : *names) {
        (void)(*db)->selectAll(t);
        (void)(*db)->selectContaining(t, "姓名", "a");
      }
    (void)(*db)->check();
  }
  return 0;
}

#include "tests/support/Files.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace testfiles {

TempDir::TempDir() {
  std::string tmpl = (std::filesystem::temp_directory_path() / "waybill-test-XXXXXX").string();
  char* p = ::mkdtemp(tmpl.data());
  if (!p) std::abort();
  path_ = p;
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

int run(const std::string& command, std::string* output) {
  FILE* f = ::popen(command.c_str(), "r");
  if (!f) return -1;
  std::string out;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
  int status = ::pclose(f);
  if (output) *output = out;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace testfiles

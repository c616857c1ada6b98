#include "tests/support/Files.h"

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

}  // namespace testfiles

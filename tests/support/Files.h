// Files for the tests of the pure C++ layers: a temporary folder removed at
// the end, whole files read and written as bytes, and shell commands.
#pragma once

#include <string>

namespace testfiles {

// A fresh folder under the system's temporary folder, removed at the end.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);

// Runs a shell command; returns its exit status and fills `output` with
// what it wrote to its standard output.
int run(const std::string& command, std::string* output = nullptr);

}  // namespace testfiles

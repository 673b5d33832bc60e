// A fresh directory under the system's temporary folder for one test,
// removed with everything in it when the test ends. Symbolic links inside
// are removed, never followed.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

class TempDir {
 public:
  TempDir() {
    const char* base = getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/orvanta-test-XXXXXX";
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary directory");
    path_ = pattern;
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return path_; }
  // The full name of an entry inside the directory.
  std::string operator/(const std::string& relative) const { return path_ + "/" + relative; }

  // Writes a file (creating parent directories) and answers its full name.
  std::string Write(const std::string& relative, const std::string& bytes) const {
    const std::string full = *this / relative;
    std::filesystem::create_directories(std::filesystem::path(full).parent_path());
    std::ofstream out(full, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + full);
    return full;
  }
  std::string Read(const std::string& relative) const {
    std::ifstream in(*this / relative, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  std::string MakeDir(const std::string& relative) const {
    const std::string full = *this / relative;
    std::filesystem::create_directories(full);
    return full;
  }

 private:
  std::string path_;
};

// Makes a directory the current one for the life of the guard.
class CurrentDirGuard {
 public:
  explicit CurrentDirGuard(const std::string& dir) : saved_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir);
  }
  ~CurrentDirGuard() {
    std::error_code ec;
    std::filesystem::current_path(saved_, ec);
  }
  CurrentDirGuard(const CurrentDirGuard&) = delete;
  CurrentDirGuard& operator=(const CurrentDirGuard&) = delete;

 private:
  std::filesystem::path saved_;
};

// A sample map generator that stands in for tarvik.exe.
//
//   tarvik.exe <terrain file>
//
// It reads the terrain file, writes a small map file "<name>-<n>.map" into
// its current directory (name: the file's "name" value, else the terrain
// file's own name; n: the first number not taken yet), writes the map's
// file name as the first line of "generatedname.txt" there and exits with
// status 0. A missing or unreadable argument gives a message on standard
// error and status 2.
//
// For tests, TARVIK_SAMPLE_MODE chooses how it fails:
//   exit3       exit with status 3, writing nothing
//   crash       end by a signal
//   blanks      write only blanks into generatedname.txt
//   silent      write nothing and exit with status 0
//   sleep:<ms>  wait that long first, then work as usual
//   hang        never end
// TARVIK_SAMPLE_LOG names a file to which each run appends what it
// received:
//   run
//   argument <each argument, one per line>
//   directory <current directory>
//   terrain <byte count>
//   <the terrain file's bytes>
//   end
// ("terrain unreadable" instead of the count and bytes when the file could
// not be read).
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace {

bool ReadFile(const std::string& path, std::string& bytes) {
  const int fd = open(path.c_str(), O_RDONLY);
  if (fd < 0) return false;
  char buf[65536];
  ssize_t got;
  while ((got = read(fd, buf, sizeof buf)) > 0) bytes.append(buf, std::size_t(got));
  close(fd);
  return got == 0;  // a directory fails here
}

void AppendToLog(const char* logPath, int argc, char** argv, bool readable, const std::string& terrain) {
  std::string record = "run\n";
  for (int i = 1; i < argc; ++i) record += std::string("argument ") + argv[i] + "\n";
  char cwd[4096];
  record += std::string("directory ") + (getcwd(cwd, sizeof cwd) ? cwd : "?") + "\n";
  if (readable)
    record += "terrain " + std::to_string(terrain.size()) + "\n" + terrain + "\n";
  else
    record += "terrain unreadable\n";
  record += "end\n";
  std::ofstream log(logPath, std::ios::binary | std::ios::app);
  log << record;
}

// The statements of a terrain file: "key = value;", the rest of a line
// after ';' ignored, the last '=' splitting key from value.
std::map<std::string, std::string> Statements(const std::string& text) {
  auto trim = [](std::string s) {
    const char* blanks = " \t\r\n";
    s.erase(0, s.find_first_not_of(blanks));
    s.erase(s.find_last_not_of(blanks) + 1);
    return s;
  };
  std::map<std::string, std::string> out;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t lineEnd = text.find('\n', start);
    if (lineEnd == std::string::npos) lineEnd = text.size();
    std::string statement = text.substr(start, lineEnd - start);
    statement = statement.substr(0, statement.find(';'));
    const std::size_t equals = statement.rfind('=');
    if (equals != std::string::npos) out.emplace(trim(statement.substr(0, equals)), trim(statement.substr(equals + 1)));
    start = lineEnd + 1;
  }
  return out;
}

std::string SafeName(const std::string& text) {
  std::string name;
  for (char c : text) {
    if (name.size() == 40) break;
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-';
    name += plain ? c : '_';
  }
  return name.empty() ? "map" : name;
}

// A little relief drawn from the terrain file's bytes: the same file always
// gives the same map, rougher terrain gives a busier one.
std::string Relief(const std::string& terrain, double roughness) {
  std::uint64_t seed = 1469598103934665603ull;
  for (unsigned char c : terrain) seed = (seed ^ c) * 1099511628211ull;
  auto noise = [&](int x, int y) {
    std::uint64_t h = seed ^ (std::uint64_t(x) * 0x9E3779B97F4A7C15ull) ^ (std::uint64_t(y) * 0xC2B2AE3D27D4EB4Full);
    h ^= h >> 31;
    h *= 0xBF58476D1CE4E5B9ull;
    h ^= h >> 29;
    return double(h % 1000) / 1000.0;
  };
  const char* shades = " .:-=+*#%@";
  std::string map;
  for (int y = 0; y < 12; ++y) {
    for (int x = 0; x < 32; ++x) {
      const double base = 0.5 + 0.4 * std::sin(x / 5.0 + seed % 7) * std::cos(y / 3.0 + seed % 5);
      double height = (1 - roughness) * base + roughness * noise(x, y);
      height = std::fmin(std::fmax(height, 0.0), 0.999);
      map += shades[int(height * 10)];
    }
    map += '\n';
  }
  return map;
}

bool WriteNew(const std::string& name, const std::string& bytes) {
  const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
  if (fd < 0) return false;
  const bool ok = write(fd, bytes.data(), bytes.size()) == ssize_t(bytes.size());
  return close(fd) == 0 && ok;
}

bool WriteResult(const std::string& bytes) {
  std::ofstream out("generatedname.txt", std::ios::binary | std::ios::trunc);
  out << bytes;
  return bool(out.flush());
}

int Generate(const std::string& path, const std::string& terrain) {
  const auto statements = Statements(terrain);
  std::string base = path.substr(path.find_last_of('/') + 1);
  base = base.substr(0, base.rfind('.'));
  const auto named = statements.find("name");
  base = SafeName(named != statements.end() && !named->second.empty() ? named->second : base);
  double roughness = 0.5;
  if (const auto r = statements.find("roughness"); r != statements.end())
    roughness = std::fmin(std::fmax(std::strtod(r->second.c_str(), nullptr), 0.0), 1.0);

  std::string content = "TARVIK SAMPLE MAP\nsource: " + path + "\n";
  for (const auto& [key, value] : statements) content += key + " = " + value + "\n";
  content += "\n" + Relief(terrain, roughness);
  for (int n = 1; n < 100000; ++n) {
    const std::string mapName = base + "-" + std::to_string(n) + ".map";
    if (WriteNew(mapName, content)) {
      if (WriteResult(mapName + "\n")) return 0;
      std::fprintf(stderr, "tarvik.exe: cannot write generatedname.txt\n");
      return 1;
    }
    if (errno != EEXIST) break;
  }
  std::fprintf(stderr, "tarvik.exe: cannot write a map file: %s\n", std::strerror(errno));
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::string terrain;
  const bool hasPath = argc == 2;
  const bool readable = hasPath && ReadFile(argv[1], terrain);
  if (const char* log = std::getenv("TARVIK_SAMPLE_LOG"); log && *log) AppendToLog(log, argc, argv, readable, terrain);
  if (!hasPath) {
    std::fprintf(stderr, "usage: tarvik.exe <terrain file>\n");
    return 2;
  }
  if (!readable) {
    std::fprintf(stderr, "tarvik.exe: cannot read the terrain file '%s'\n", argv[1]);
    return 2;
  }

  const std::string mode = std::getenv("TARVIK_SAMPLE_MODE") ? std::getenv("TARVIK_SAMPLE_MODE") : "";
  if (mode.rfind("sleep:", 0) == 0) {
    std::this_thread::sleep_for(std::chrono::milliseconds(std::atol(mode.c_str() + 6)));
  } else if (mode == "hang") {
    for (;;) pause();
  } else if (mode == "exit3") {
    return 3;
  } else if (mode == "crash") {
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    signal(SIGABRT, SIG_DFL);
    raise(SIGABRT);
  } else if (mode == "blanks") {
    return WriteResult("   \t  \n") ? 0 : 1;
  } else if (mode == "silent") {
    return 0;
  } else if (!mode.empty()) {
    std::fprintf(stderr, "tarvik.exe: unknown TARVIK_SAMPLE_MODE '%s'\n", mode.c_str());
    return 2;
  }
  return Generate(argv[1], terrain);
}

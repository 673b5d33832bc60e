#include "platform/win/BackEnd.h"

#include <algorithm>
#include <cstdlib>
#include <map>

#include "platform/win/HeadlessBackEnd.h"

namespace win {
namespace {

struct Registry {
  std::map<std::string, BackEndFactory> factories;
  std::unique_ptr<IBackEnd> active;
};

Registry& R() {
  static Registry r;
  return r;
}

std::unique_ptr<IBackEnd> Choose() {
  const char* env = std::getenv("ORVANTA_BACKEND");
  std::string name = env ? env : "";
  if (name.empty() && std::getenv("DISPLAY") && R().factories.count("x11")) name = "x11";
  if (auto it = R().factories.find(name); it != R().factories.end())
    if (auto be = it->second()) return be;
  return std::make_unique<HeadlessBackEnd>();
}

}  // namespace

void RegisterBackEnd(const std::string& name, BackEndFactory factory) { R().factories[name] = std::move(factory); }

IBackEnd& BackEnd() {
  if (!R().active) R().active = Choose();
  return *R().active;
}

std::unique_ptr<IBackEnd> SetBackEnd(std::unique_ptr<IBackEnd> backEnd) {
  std::unique_ptr<IBackEnd> old = std::move(R().active);
  R().active = std::move(backEnd);
  return old;
}

RECT PrimaryWorkArea() {
  auto monitors = BackEnd().Monitors();
  for (auto& m : monitors)
    if (m.primary) return m.work;
  return monitors.empty() ? RECT{0, 0, 1024, 768} : monitors.front().work;
}

RECT VirtualScreen() {
  auto monitors = BackEnd().Monitors();
  if (monitors.empty()) return {0, 0, 1024, 768};
  RECT r = monitors.front().bounds;
  for (auto& m : monitors) {
    r.Left = std::min(r.Left, m.bounds.Left);
    r.Top = std::min(r.Top, m.bounds.Top);
    r.Right = std::max(r.Right, m.bounds.Right);
    r.Bottom = std::max(r.Bottom, m.bounds.Bottom);
  }
  return r;
}

}  // namespace win

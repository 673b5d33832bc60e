#include "platform/win/HeadlessBackEnd.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "platform/rtl/Clock.h"

namespace win {

namespace {
std::vector<MonitorInfo> DefaultMonitors() {
  MonitorInfo m;
  m.bounds = {0, 0, 1024, 768};
  m.work = m.bounds;
  m.primary = true;
  return {m};
}
}  // namespace

HeadlessBackEnd::HeadlessBackEnd() : monitors_(DefaultMonitors()) {}
HeadlessBackEnd::HeadlessBackEnd(std::vector<MonitorInfo> monitors) : monitors_(std::move(monitors)) {
  if (monitors_.empty()) monitors_ = DefaultMonitors();
}

SurfaceId HeadlessBackEnd::CreateSurface(const RECT& screenRect, const SurfaceOptions& options) {
  SurfaceId id = next_++;
  Surface& s = surfaces_[id];
  s.options = options;
  MoveSurface(id, screenRect);
  return id;
}

void HeadlessBackEnd::DestroySurface(SurfaceId surface) {
  surfaces_.erase(surface);
  if (active_ == surface) active_ = 0;
  if (grab_ == surface) grab_ = 0;
}

void HeadlessBackEnd::ShowSurface(SurfaceId surface, bool show, bool activate) {
  auto it = surfaces_.find(surface);
  if (it == surfaces_.end()) return;
  it->second.visible = show;
  if (show && activate) active_ = surface;
  if (!show && active_ == surface) active_ = 0;
}

void HeadlessBackEnd::MoveSurface(SurfaceId surface, const RECT& r) {
  auto it = surfaces_.find(surface);
  if (it == surfaces_.end()) return;
  Surface& s = it->second;
  int w = std::max(0, r.Width()), h = std::max(0, r.Height());
  if (w != s.rect.Width() || h != s.rect.Height() || s.pixels.empty())
    s.pixels.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4, 0);
  s.rect = r;
}

void HeadlessBackEnd::RestackSurface(SurfaceId, SurfaceId) {}

void HeadlessBackEnd::SetSurfaceOwner(SurfaceId surface, SurfaceId owner, bool modal) {
  auto it = surfaces_.find(surface);
  if (it == surfaces_.end()) return;
  it->second.options.owner = owner;
  it->second.modal = modal;
}

void HeadlessBackEnd::Present(SurfaceId surface, const RECT& area, const std::uint8_t* bgra, int stride) {
  auto it = surfaces_.find(surface);
  if (it == surfaces_.end() || !bgra) return;
  Surface& s = it->second;
  int w = s.rect.Width(), h = s.rect.Height();
  // Only the part inside the surface is copied.
  int left = std::max(area.Left, 0), top = std::max(area.Top, 0);
  int right = std::min(area.Right, w), bottom = std::min(area.Bottom, h);
  for (int y = top; y < bottom; ++y) {
    const std::uint8_t* src = bgra + static_cast<std::ptrdiff_t>(y - area.Top) * stride + (left - area.Left) * 4;
    std::memcpy(&s.pixels[(static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(left)) * 4],
                src, static_cast<std::size_t>(std::max(0, right - left)) * 4);
  }
}

void HeadlessBackEnd::SetTitle(SurfaceId surface, const std::string& text) {
  if (auto it = surfaces_.find(surface); it != surfaces_.end()) it->second.title = text;
}

void HeadlessBackEnd::SetSurfaceShape(SurfaceId surface, const std::vector<RECT>& rects) {
  if (auto it = surfaces_.find(surface); it != surfaces_.end()) it->second.shape = rects;
}

void HeadlessBackEnd::SetSurfaceOpacity(SurfaceId surface, BYTE alpha) {
  if (auto it = surfaces_.find(surface); it != surfaces_.end()) it->second.opacity = alpha;
}

std::vector<std::uint32_t> HeadlessBackEnd::Compose(const std::vector<SurfaceId>& backToFront, const RECT& area) const {
  const int width = std::max(0, area.Width()), height = std::max(0, area.Height());
  std::vector<std::uint32_t> screen(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
  for (SurfaceId id : backToFront) {
    const Surface* s = Find(id);
    if (!s || !s->visible) continue;
    const int w = s->rect.Width(), h = s->rect.Height();
    const unsigned a = s->opacity;
    // Inside its shape: the rectangles given, or all of it.
    auto inside = [&](int x, int y) {
      if (s->shape.empty()) return true;
      for (const RECT& r : s->shape)
        if (x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom) return true;
      return false;
    };
    for (int y = std::max(0, area.Top - s->rect.Top); y < std::min(h, area.Bottom - s->rect.Top); ++y)
      for (int x = std::max(0, area.Left - s->rect.Left); x < std::min(w, area.Right - s->rect.Left); ++x) {
        if (!inside(x, y)) continue;
        const std::uint8_t* p = &s->pixels[(static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + x) * 4];
        std::uint32_t& out = screen[static_cast<std::size_t>(s->rect.Top + y - area.Top) * width +
                                    static_cast<std::size_t>(s->rect.Left + x - area.Left)];
        std::uint32_t mixed = 0;
        for (int c = 0; c < 3; ++c) {
          const unsigned over = p[c], under = (out >> (8 * c)) & 0xFF;
          mixed |= ((over * a + under * (255 - a) + 127) / 255) << (8 * c);
        }
        out = mixed;
      }
  }
  return screen;
}

void HeadlessBackEnd::SetCursorShape(SurfaceId surface, HCURSOR cursor) {
  if (auto it = surfaces_.find(surface); it != surfaces_.end()) it->second.cursor = cursor;
}

bool HeadlessBackEnd::GrabPointer(SurfaceId surface) {
  grab_ = surface;
  return true;
}

void HeadlessBackEnd::UngrabPointer() { grab_ = 0; }

void HeadlessBackEnd::RequestActivation(SurfaceId surface) {
  if (surfaces_.count(surface)) active_ = surface;
}

std::vector<MonitorInfo> HeadlessBackEnd::Monitors() const { return monitors_; }

void HeadlessBackEnd::SetMonitors(std::vector<MonitorInfo> monitors) {
  monitors_ = monitors.empty() ? DefaultMonitors() : std::move(monitors);
}

void HeadlessBackEnd::WarpPointer(POINT screen) { pointer_ = screen; }

void HeadlessBackEnd::Beep(UINT) { ++beeps_; }

void HeadlessBackEnd::SetClipboard(UINT format, std::string data) { clipboard_[format] = std::move(data); }

bool HeadlessBackEnd::GetClipboard(UINT format, std::string& data) const {
  auto it = clipboard_.find(format);
  if (it == clipboard_.end()) return false;
  data = it->second;
  return true;
}

void HeadlessBackEnd::ClearClipboard() { clipboard_.clear(); }

void HeadlessBackEnd::TakeClipboard(std::map<UINT, std::string> data) {
  clipboard_ = std::move(data);
  ++takeovers_;
}

void HeadlessBackEnd::Feed(const BackEndEvent& event) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    events_.push_back(event);
  }
  cv_.notify_all();
}

bool HeadlessBackEnd::PollEvent(BackEndEvent& event) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (events_.empty()) return false;
  event = events_.front();
  events_.pop_front();
  if (event.kind == BackEndEvent::MouseMove || event.kind == BackEndEvent::ButtonDown ||
      event.kind == BackEndEvent::ButtonUp)
    pointer_ = event.pt;
  return true;
}

void HeadlessBackEnd::WaitForEvent(std::uint64_t timeoutMs) {
  // The fake clock stands still: waiting for it would never end.
  if (Clock::IsFake()) return;
  std::unique_lock<std::mutex> lock(mutex_);
  auto ready = [this] { return woken_ || !events_.empty(); };
  if (timeoutMs == UINT64_MAX) cv_.wait(lock, ready);
  else cv_.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready);
  woken_ = false;
}

void HeadlessBackEnd::WakeUp() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    woken_ = true;
  }
  cv_.notify_all();
}

const HeadlessBackEnd::Surface* HeadlessBackEnd::Find(SurfaceId surface) const {
  auto it = surfaces_.find(surface);
  return it == surfaces_.end() ? nullptr : &it->second;
}

}  // namespace win

// A back end without a display: a virtual screen of configurable monitors,
// top-level surfaces kept as pixel buffers, and the activation behaviour of
// a well-behaved window manager (what the system asks for, it grants at
// once). Tests inspect it and feed it events; nothing here sleeps under the
// fake clock.
#pragma once

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>

#include "platform/win/BackEnd.h"

namespace win {

class HeadlessBackEnd : public IBackEnd {
 public:
  struct Surface {
    RECT rect{};
    SurfaceOptions options;
    bool visible = false;
    std::string title;
    HCURSOR cursor = nullptr;
    std::vector<RECT> shape;  // as last asked (empty: whole); the pixels stay whole
    BYTE opacity = 255;
    bool modal = false;       // to options.owner, as last told
    std::vector<std::uint8_t> pixels;  // BGRA, width * 4 bytes a row
  };

  HeadlessBackEnd();
  explicit HeadlessBackEnd(std::vector<MonitorInfo> monitors);

  const char* Name() const override { return "headless"; }
  SurfaceId CreateSurface(const RECT& screenRect, const SurfaceOptions& options) override;
  void DestroySurface(SurfaceId surface) override;
  void ShowSurface(SurfaceId surface, bool show, bool activate) override;
  void MoveSurface(SurfaceId surface, const RECT& screenRect) override;
  void RestackSurface(SurfaceId surface, SurfaceId above) override;
  void Present(SurfaceId surface, const RECT& area, const std::uint8_t* bgra, int stride) override;
  void SetTitle(SurfaceId surface, const std::string& text1252) override;
  void SetSurfaceShape(SurfaceId surface, const std::vector<RECT>& rects) override;
  void SetSurfaceOpacity(SurfaceId surface, BYTE alpha) override;
  void SetSurfaceOwner(SurfaceId surface, SurfaceId owner, bool modal) override;
  void SetCursorShape(SurfaceId surface, HCURSOR cursor) override;
  bool GrabPointer(SurfaceId surface) override;
  void UngrabPointer() override;
  void RequestActivation(SurfaceId surface) override;
  std::vector<MonitorInfo> Monitors() const override;
  void WarpPointer(POINT screen) override;
  void Beep(UINT type) override;
  void SetClipboard(UINT format, std::string data) override;
  bool GetClipboard(UINT format, std::string& data) const override;
  void ClearClipboard() override;
  std::uint64_t ClipboardTakeovers() override { return takeovers_; }
  bool PollEvent(BackEndEvent& event) override;
  void WaitForEvent(std::uint64_t timeoutMs) override;
  void WakeUp() override;

  // ---- For tests ----
  void SetMonitors(std::vector<MonitorInfo> monitors);
  void Feed(const BackEndEvent& event);  // as if the display sent it
  const Surface* Find(SurfaceId surface) const;
  SurfaceId ActiveSurface() const { return active_; }
  SurfaceId GrabbedSurface() const { return grab_; }
  POINT PointerPos() const { return pointer_; }
  int Beeps() const { return beeps_; }
  std::size_t SurfaceCount() const { return surfaces_.size(); }
  // Another program copies: its data, by format, replaces ours.
  void TakeClipboard(std::map<UINT, std::string> data);
  // Writes a surface's pixels as a PNG file; answers whether it could.
  bool SavePng(SurfaceId surface, const std::string& path) const;
  // The screen as a person would see it, as 0x00RRGGBB pixels of the
  // area (screen coordinates) a row after the other: the shown surfaces
  // stacked as listed (the back first), each cut to its shape and blended
  // over what lies beneath by its opacity, on a black desktop.
  std::vector<std::uint32_t> Compose(const std::vector<SurfaceId>& backToFront, const RECT& area) const;

 private:
  std::vector<MonitorInfo> monitors_;
  std::map<SurfaceId, Surface> surfaces_;
  SurfaceId next_ = 1;
  SurfaceId active_ = 0;
  SurfaceId grab_ = 0;
  POINT pointer_{};
  int beeps_ = 0;
  std::map<UINT, std::string> clipboard_;
  std::uint64_t takeovers_ = 0;
  std::deque<BackEndEvent> events_;
  std::mutex mutex_;  // guards events_ and woken_: Feed and WakeUp may come from other threads
  std::condition_variable cv_;
  bool woken_ = false;
};

}  // namespace win

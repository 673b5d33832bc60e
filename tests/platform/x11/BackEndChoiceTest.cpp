// The back end a program starts on, from ORVANTA_BACKEND and DISPLAY: X
// only when a display is named and answers, headless in every other case,
// and never an error for a display that is not there.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/win/BackEnd.h"
#include "platform/x11/BackEndChoice.h"
#include "platform/x11/X11Probe.h"

using namespace win;

namespace {

// Sets or clears the two variables for one start, and puts the variables
// and the back end that was active back afterwards.
class Start : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* v : {"ORVANTA_BACKEND", "DISPLAY"}) {
      const char* old = std::getenv(v);
      saved.emplace_back(v, old ? std::optional<std::string>(old) : std::nullopt);
    }
    previous = SetBackEnd(nullptr);
  }
  void TearDown() override {
    SetBackEnd(std::move(previous));
    for (auto& [name, value] : saved) Set(name, value);
  }
  static void Set(const char* name, const std::optional<std::string>& value) {
    if (value) setenv(name, value->c_str(), 1);
    else unsetenv(name);
  }
  // Starts with these settings; answers the chosen back end's name and
  // what was written to stderr.
  std::string Run(std::optional<std::string> backend, std::optional<std::string> display, std::string* err = nullptr) {
    Set("ORVANTA_BACKEND", backend);
    Set("DISPLAY", display);
    testing::internal::CaptureStderr();
    StartDefaultBackEnd();
    std::string e = testing::internal::GetCapturedStderr();
    if (err) *err = e;
    return BackEnd().Name();
  }
  // A display number with neither a server nor its lock file.
  static std::string Nowhere() {
    for (int n = 900;; ++n) {
      struct stat st;
      if (stat(("/tmp/.X11-unix/X" + std::to_string(n)).c_str(), &st) != 0 &&
          stat(("/tmp/.X" + std::to_string(n) + "-lock").c_str(), &st) != 0)
        return ":" + std::to_string(n);
    }
  }

  std::vector<std::pair<const char*, std::optional<std::string>>> saved;
  std::unique_ptr<IBackEnd> previous;
};

TEST_F(Start, WithoutAReachableDisplayTheProgramRunsHeadlessAndQuietly) {
  std::string err;
  EXPECT_STREQ(Run(std::nullopt, std::nullopt, &err).c_str(), "headless");
  EXPECT_EQ(err, "");
  EXPECT_STREQ(Run(std::nullopt, "", &err).c_str(), "headless");
  EXPECT_EQ(err, "");
  EXPECT_STREQ(Run(std::nullopt, Nowhere(), &err).c_str(), "headless");
  EXPECT_EQ(err, "");
  // Asking for X does not make a display appear.
  EXPECT_STREQ(Run("x11", std::nullopt, &err).c_str(), "headless");
  EXPECT_EQ(err, "");
  EXPECT_STREQ(Run("x11", Nowhere(), &err).c_str(), "headless");
  EXPECT_EQ(err, "");
}

TEST_F(Start, ADisplayThatAnswersIsUsedUnlessHeadlessIsAskedFor) {
  if (!x11::Xvfb::Installed()) GTEST_SKIP() << "Xvfb is not installed (scripts/setup installs the xvfb package)";
  x11::Xvfb server;
  ASSERT_TRUE(server.Running()) << "Xvfb did not start";
  std::string err;
  EXPECT_STREQ(Run(std::nullopt, server.Display(), &err).c_str(), "x11");
  EXPECT_EQ(err, "");
  EXPECT_STREQ(Run("x11", server.Display()).c_str(), "x11");
  EXPECT_STREQ(Run("headless", server.Display()).c_str(), "headless");
  // A misspelt request is reported and the default rule applies.
  EXPECT_STREQ(Run("X-11", server.Display(), &err).c_str(), "x11");
  EXPECT_NE(err.find("ORVANTA_BACKEND=X-11"), std::string::npos) << err;
  // The back end is closed before the server goes.
  SetBackEnd(nullptr);
}

}  // namespace

// The built program itself on a private Xvfb display, in a temporary copy
// of the examples with the sample generator as tarvik.exe: a user picks a
// file, runs the generator on it and closes the window the way a window
// manager asks (WM_DELETE_WINDOW). Everything is seen from outside: the X
// server, the files and the exit status.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>

#include "platform/x11/X11Probe.h"
#include "support/Eventually.h"
#include "support/TempDir.h"

extern char** environ;

namespace {

struct Program {
  pid_t pid = -1;
  ~Program() {
    if (pid > 0) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
  }
  // The exit status once it has ended, else -1.
  int Wait() {
    int status = 0;
    if (!Eventually([&] { return waitpid(pid, &status, WNOHANG) == pid; })) return -1;
    pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
};

TEST(BuiltProgramOnX, RunsTheGeneratorOnAPickedFileAndEndsWithZeroWhenTheWindowIsClosed) {
  if (!win::x11::Xvfb::Installed()) GTEST_SKIP() << "Xvfb is not installed (scripts/setup installs the xvfb package)";
  win::x11::Xvfb server;
  ASSERT_TRUE(server.Running()) << "Xvfb did not start";
  TempDir tmp;
  namespace fs = std::filesystem;
  const std::string examples = std::string(getenv("ORVANTA_SOURCE_DIR")) + "/examples";
  for (const std::string name : {"tarvikwin.tdf", "lowlands.tt"}) fs::copy_file(examples + "/" + name, tmp / name);
  fs::copy_file(ORVANTA_SAMPLE_GENERATOR, tmp / "tarvik.exe");

  // The program with the display and the generator's log in its
  // environment, started in the folder.
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e)
    if (std::string(*e).rfind("DISPLAY=", 0) != 0 && std::string(*e).rfind("TARVIK_SAMPLE_", 0) != 0) env.push_back(*e);
  env.push_back("DISPLAY=" + server.Display());
  env.push_back("TARVIK_SAMPLE_LOG=" + (tmp / "received.log"));
  std::vector<char*> envp;
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addchdir_np(&actions, tmp.Path().c_str());
  std::string program = ORVANTA_PROGRAM;
  char* argv[] = {program.data(), nullptr};
  Program orvanta;
  ASSERT_EQ(posix_spawn(&orvanta.pid, program.c_str(), &actions, nullptr, argv, envp.data()), 0);
  posix_spawn_file_actions_destroy(&actions);

  win::x11::Probe probe(server.Display());
  ASSERT_TRUE(probe.Connected());
  unsigned long window = 0;
  ASSERT_TRUE(Eventually([&] {
    for (unsigned long w : probe.Stacking())
      if (probe.Property8(w, "WM_NAME") == "Orvanta") window = w;
    return window != 0;
  })) << "the window never showed";
  // Without a window manager the X window holds the frame too: the client
  // area of 588 x 519 sits below the caption, between equal borders.
  bool viewable = false;
  win::RECT r{};
  ASSERT_TRUE(Eventually([&] { return probe.Geometry(window, viewable, r) && viewable; }));
  const int border = (r.Right - r.Left - 588) / 2;
  const int clientLeft = r.Left + border, clientTop = r.Bottom - border - 519;
  ASSERT_GE(border, 0);
  // The server delivers the input in the order it is sent and the program
  // handles it in that order: a click goes where the pointer is, a key to
  // the window holding the keyboard, which the program takes when its
  // window shows.
  const auto click = [&](int x, int y) {
    probe.MovePointer(clientLeft + x, clientTop + y);
    probe.Button(1, true);
    probe.Button(1, false);
  };
  const auto key = [&](const char* keysym) {
    probe.Key(keysym, true);
    probe.Key(keysym, false);
  };
  ASSERT_TRUE(Eventually([&] { return probe.KeyboardFocus() == window; })) << "the window never took the keyboard";

  // The file grid's first row, the folder "./" (at the top of the grid's
  // place in the layout), takes the focus; Down walks to the file, which
  // loads.
  click(16 + 40, 24 + 8);
  key("Down");
  // "Run Current Values" is at 335, 319 (113 x 25).
  click(335 + 56, 319 + 12);
  ASSERT_TRUE(Eventually([&] { return fs::exists(tmp / "Lowlands-1.map"); })) << "no map was made";
  EXPECT_TRUE(Eventually([&] { return !fs::exists(tmp / "terrain_temp_.txt"); }));
  EXPECT_EQ(tmp.Read("generatedname.txt").substr(0, 14), "Lowlands-1.map");
  const std::string received = tmp.Read("received.log");
  EXPECT_NE(received.find("argument terrain_temp_.txt\n"), std::string::npos) << received;
  EXPECT_NE(received.find("name = Lowlands;\r\n"), std::string::npos) << received;

  probe.SendDelete(window);
  EXPECT_EQ(orvanta.Wait(), 0) << "the program ends with 0 when its window is closed";
}

TEST(BuiltProgramOnX, WithoutAReachableDisplayItSaysSoAndFails) {
  TempDir tmp;
  tmp.Write("tarvikwin.tdf", "width;Map width;I;16;512;128;h;d;\n");
  const auto run = [&](const std::string& display) {
    const std::string command = "cd '" + tmp.Path() + "' && " + display + " " + ORVANTA_PROGRAM + " 2>&1";
    FILE* p = popen(command.c_str(), "r");
    char buf[512] = {};
    const std::string said = p && fgets(buf, sizeof buf, p) ? buf : "";
    const int status = p ? pclose(p) : -1;
    return said + (WIFEXITED(status) && WEXITSTATUS(status) != 0 ? "(failed)" : "(status 0)");
  };
  EXPECT_EQ(run("env -u DISPLAY"), "Orvanta UI needs an X display, and DISPLAY is not set.\n(failed)");
  EXPECT_EQ(run("DISPLAY=:4711"), "Orvanta UI: the X display \":4711\" cannot be reached.\n(failed)");
}

}  // namespace

#include "platform/rtl/Streams.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>

#include "platform/rtl/Resources.h"
#include "support/FileSizeLimit.h"

namespace {

AnsiString Contents(TStream& s) {
  AnsiString out(static_cast<std::size_t>(s.GetSize()), '\0');
  s.SetPosition(0);
  s.ReadBuffer(out.data(), s.GetSize());
  return out;
}

// A stream that accepts at most Limit bytes per call, like a full device.
class TShortStream : public TMemoryStream {
 public:
  Int64 Limit = 2;
  Int64 Write(const void* buffer, Int64 count) override {
    return TMemoryStream::Write(buffer, std::min(count, Limit));
  }
};

class FileStreams : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/orv-streams-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    Dir = tmpl;
  }
  void TearDown() override { std::filesystem::remove_all(Dir); }
  AnsiString Dir;
};

}  // namespace

TEST(MemoryStream, WritesSeeksAndReadsBack) {
  Int64 live = TObject::LiveCount();
  {
    TMemoryStream ms;
    ms.WriteBuffer("hello world", 11);
    EXPECT_EQ(ms.GetSize(), 11);
    EXPECT_EQ(ms.GetPosition(), 11);
    EXPECT_EQ(ms.Seek(-5, soEnd), 6);
    char buf[5];
    ms.ReadBuffer(buf, 5);
    EXPECT_EQ(AnsiString(buf, 5), "world");
    EXPECT_EQ(ms.Read(buf, 5), 0);  // at the end: nothing, no error

    // Overwrite in the middle, then past the end: the gap reads as zeros.
    ms.Seek(0, soBeginning);
    ms.WriteBuffer("J", 1);
    ms.SetPosition(13);
    ms.WriteBuffer("!", 1);
    EXPECT_EQ(Contents(ms), AnsiString("Jello world\0\0!", 14));
    EXPECT_EQ(std::memcmp(ms.GetMemory(), "Jello", 5), 0);

    // Shrinking pulls the position back; growing zero-fills.
    ms.SetSize(4);
    EXPECT_EQ(ms.GetPosition(), 4);
    ms.SetSize(6);
    EXPECT_EQ(Contents(ms), AnsiString("Jell\0\0", 6));
    ms.Clear();
    EXPECT_EQ(ms.GetSize(), 0);
    EXPECT_EQ(ms.GetPosition(), 0);
  }
  EXPECT_EQ(TObject::LiveCount(), live);
}

TEST(MemoryStream, ShortTransfersAndBadPositionsAreErrors) {
  TMemoryStream ms;
  ms.WriteBuffer("abc", 3);
  ms.SetPosition(1);
  char buf[8];
  try {
    ms.ReadBuffer(buf, 3);
    FAIL() << "short read accepted";
  } catch (const EReadError& e) {
    EXPECT_STREQ(e.what(), "Stream read error");
  }
  EXPECT_THROW(ms.Seek(-1, soBeginning), EStreamError);
  EXPECT_THROW(ms.SetSize(-1), EStreamError);
  EXPECT_THROW(ms.ReadBuffer(buf, -1), EReadError);

  TShortStream shorty;
  try {
    shorty.WriteBuffer("abcdef", 6);
    FAIL() << "short write accepted";
  } catch (const EWriteError& e) {
    EXPECT_STREQ(e.what(), "Stream write error");
  }
  // Loading a stream into itself keeps its bytes.
  ms.LoadFromStream(&ms);
  EXPECT_EQ(Contents(ms), "abc");
}

TEST(MemoryStream, AStreamWritingItsOwnBytesAgainCopiesThemBeforeItGrows) {
  // Doubling a stream by writing its memory to its end moves that memory
  // while it is the source; the bytes must be read from where they went.
  TMemoryStream ms;
  ms.WriteBuffer("abcdefgh", 8);
  ms.WriteBuffer(ms.GetMemory(), ms.GetSize());
  EXPECT_EQ(Contents(ms), "abcdefghabcdefgh");
  ms.SetPosition(20);
  ms.WriteBuffer(static_cast<const char*>(ms.GetMemory()) + 2, 3);
  EXPECT_EQ(Contents(ms), AnsiString("abcdefghabcdefgh\0\0\0\0cde", 23));

  TStringStream ss("a text longer than the string keeps in place");
  ss.Seek(0, soEnd);
  ss.WriteBuffer(ss.GetDataString().data(), ss.GetSize());
  EXPECT_EQ(ss.GetDataString(),
            "a text longer than the string keeps in placea text longer than the string keeps in place");
}

TEST(Streams, CopyFromTakesAllOfTheSourceOnlyForZero) {
  TStringStream src("0123456789");
  TMemoryStream dst;
  src.SetPosition(7);
  EXPECT_EQ(dst.CopyFrom(&src, 0), 10);  // from the start, whatever the position
  EXPECT_EQ(Contents(dst), "0123456789");

  src.SetPosition(2);
  TMemoryStream part;
  EXPECT_EQ(part.CopyFrom(&src, 3), 3);  // from the position
  EXPECT_EQ(Contents(part), "234");
  EXPECT_EQ(src.GetPosition(), 5);
  EXPECT_THROW(part.CopyFrom(&src, 6), EReadError);  // only 5 left

  // Larger than one internal chunk.
  TMemoryStream big, copy;
  std::vector<Byte> data(200000);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<Byte>(i * 7);
  big.WriteBuffer(data.data(), static_cast<Int64>(data.size()));
  copy.CopyFrom(&big, 0);
  ASSERT_EQ(copy.GetSize(), big.GetSize());
  EXPECT_EQ(std::memcmp(copy.GetMemory(), data.data(), data.size()), 0);
}

TEST(StringStream, DataStringFollowsWrites) {
  TStringStream s("abcdef");
  EXPECT_EQ(s.ReadString(2), "ab");
  s.WriteString("XY");
  EXPECT_EQ(s.GetDataString(), "abXYef");
  s.Seek(0, soEnd);
  s.WriteString("gh");
  EXPECT_EQ(s.GetDataString(), "abXYefgh");
  s.SetSize(3);
  EXPECT_EQ(s.GetDataString(), "abX");
  EXPECT_EQ(s.ReadString(10), "");  // the position was pulled back to the end
  s.SetPosition(1);
  EXPECT_EQ(s.ReadString(10), "bX");
  // A write whose end lies past the largest position fails as a stream
  // error and leaves the text alone.
  s.Seek(INT64_MAX - 1, soBeginning);
  EXPECT_THROW(s.WriteString("abc"), EStreamError);
  EXPECT_EQ(s.GetDataString(), "abX");
}

TEST_F(FileStreams, FileStreamCreatesOpensAndReportsFailures) {
  AnsiString path = Dir + "/data.bin";
  {
    TFileStream f(path, fmCreate);
    f.WriteBuffer("0123456789", 10);
    EXPECT_EQ(f.GetSize(), 10);
  }
  {
    TFileStream f(path, fmOpenReadWrite | fmShareDenyNone);
    f.Seek(-3, soEnd);
    f.WriteBuffer("XYZ", 3);
    f.SetSize(8);  // truncates
    EXPECT_EQ(f.GetPosition(), 8);
  }
  {
    TFileStream f(path, fmOpenRead | fmShareExclusive);
    EXPECT_EQ(Contents(f), "0123456X");
    EXPECT_THROW(f.WriteBuffer("a", 1), EWriteError);  // opened for reading only
  }
  {
    // fmCreate truncates an existing file.
    TFileStream f(path, fmCreate);
    EXPECT_EQ(f.GetSize(), 0);
  }

  try {
    TFileStream f(Dir + "/missing.bin", fmOpenRead);
    FAIL();
  } catch (const EFOpenError& e) {
    EXPECT_EQ(AnsiString(e.what()), "Cannot open file \"" + Dir + "/missing.bin\". No such file or directory");
  }
  // A directory is not a file, though the host would open it for reading.
  try {
    TFileStream f(Dir, fmOpenRead);
    FAIL();
  } catch (const EFOpenError& e) {
    EXPECT_EQ(AnsiString(e.what()), "Cannot open file \"" + Dir + "\". Is a directory");
  }
  try {
    TFileStream f(Dir + "/no/such/dir.bin", fmCreate);
    FAIL();
  } catch (const EFCreateError& e) {
    EXPECT_EQ(AnsiString(e.what()), "Cannot create file \"" + Dir + "/no/such/dir.bin\". No such file or directory");
  }
  // A write that falls short (the disk is full) says where and why.
  {
    TFileStream f(path, fmCreate);
    FileSizeLimit full(4);
    try {
      f.WriteBuffer("0123456789", 10);
      FAIL();
    } catch (const EWriteError& e) {
      EXPECT_EQ(AnsiString(e.what()), "Cannot write to file \"" + path + "\". File too large");
    }
  }
}

TEST_F(FileStreams, NamesAreCodePage1252HereAndUtf8OnDisk) {
  {
    TFileStream f(Dir + "/caf\xE9 \x80.txt", fmCreate);
    f.WriteBuffer("x", 1);
  }
  EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(Dir) / "caf\xC3\xA9 \xE2\x82\xAC.txt"));
  TFileStream again(Dir + "/caf\xE9 \x80.txt", fmOpenRead);
  EXPECT_EQ(again.GetSize(), 1);
}

TEST_F(FileStreams, MemoryStreamGoesToAndFromFiles) {
  TMemoryStream out;
  out.WriteBuffer("layout\r\n", 8);
  out.SaveToFile(Dir + "/m.txt");
  TMemoryStream in;
  in.WriteBuffer("old contents", 12);
  in.LoadFromFile(Dir + "/m.txt");
  EXPECT_EQ(in.GetPosition(), 0);
  EXPECT_EQ(Contents(in), "layout\r\n");
  EXPECT_THROW(in.LoadFromFile(Dir + "/none"), EFOpenError);
  EXPECT_EQ(Contents(in), "layout\r\n");  // a failed load leaves the contents alone

  // A source that fails part-way leaves the contents whole too.
  struct TFailingStream : TMemoryStream {
    Int64 Read(void* buffer, Int64 count) override { return TMemoryStream::Read(buffer, std::min<Int64>(count, 4)); }
  } failing;
  failing.WriteBuffer("0123456789", 10);
  EXPECT_THROW(in.LoadFromStream(&failing), EReadError);
  EXPECT_EQ(Contents(in), "layout\r\n");

  // Saving over a file on a full disk keeps the old file.
  TMemoryStream big;
  big.SetSize(100000);
  {
    FileSizeLimit full(1024);
    EXPECT_THROW(big.SaveToFile(Dir + "/m.txt"), EFCreateError);
  }
  in.LoadFromFile(Dir + "/m.txt");
  EXPECT_EQ(Contents(in), "layout\r\n");
}

TEST(ResourceStream, ReadsRegisteredBytesAndRefusesWrites) {
  {
    std::string data = "TPF0 bytes";
    RegisterResource("MainLayout", RT_RCDATA, data.data(), data.size());
    data.assign("clobbered!");  // the registry kept its own copy
  }
  TResourceStream rs("MAINLAYOUT", "rcdata");
  EXPECT_EQ(Contents(rs), "TPF0 bytes");
  EXPECT_THROW(rs.WriteBuffer("x", 1), EStreamError);
  EXPECT_THROW(rs.SetSize(1), EStreamError);

  try {
    TResourceStream missing("NoSuchLayout", RT_RCDATA);
    FAIL();
  } catch (const EResNotFound& e) {
    EXPECT_STREQ(e.what(), "Resource NoSuchLayout not found");
  }
  EXPECT_TRUE(UnregisterResource("MainLayout", RT_RCDATA));
  EXPECT_EQ(FindResourceData("MainLayout", RT_RCDATA), nullptr);
}

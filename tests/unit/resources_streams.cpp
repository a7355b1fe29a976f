// The embedded-file table, memory streams and URL routing.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "resources/embedded_files.h"
#include "resources/picture_bytes.h"
#include "resources/stream.h"

namespace {

const std::uint8_t kFirst[] = {1, 2, 3};
const std::uint8_t kSecond[] = {9, 9, 9, 9, 9};

std::vector<std::uint8_t> Counting(size_t n) {
  std::vector<std::uint8_t> bytes(n);
  for (size_t i = 0; i < n; ++i) bytes[i] = static_cast<std::uint8_t>(i);
  return bytes;
}

}  // namespace

TEST(EmbeddedFiles, AddingANameTwiceKeepsTheFirst) {
  EXPECT_EQ(AddEmbeddedFile("a.bin", kFirst, sizeof kFirst), 1);
  EXPECT_EQ(AddEmbeddedFile("a.bin", kSecond, sizeof kSecond), 0);
  EXPECT_EQ(EmbeddedFileBytes("a.bin"), kFirst);
  EXPECT_EQ(EmbeddedFileLength("a.bin"), sizeof kFirst);
  EXPECT_EQ(AddEmbeddedFile("A.bin", kSecond, sizeof kSecond), 1);  // names are case-sensitive
  EXPECT_EQ(EmbeddedFileBytes("A.bin"), kSecond);
  EXPECT_EQ(EmbeddedFileBytes("b.bin"), nullptr);
  EXPECT_EQ(EmbeddedFileLength("b.bin"), 0u);
}

TEST(EmbeddedFiles, BuiltinPicturesAreRegisteredInOrderWithTheirLengths) {
  const char* expected[10] = {"cursor.png", "Title.png",  "title2.png", "mouth1.png", "mouth2.png",
                              "mouth3.png", "mouth4.png", "mouth5.png", "eye2.png",   "end.png"};
  for (int i = 0; i < 10; ++i) EXPECT_STREQ(kBuiltinPictureNames[i], expected[i]);
  // A file registered first under a picture's name wins over the built-in one.
  AddEmbeddedFile("eye2.png", kFirst, sizeof kFirst);
  RegisterBuiltinPictures();
  size_t count = 0;
  const PictureBytes* table = BuiltinPictureBytes(&count);
  ASSERT_EQ(count, 10u);
  for (size_t i = 0; i < count; ++i) {
    if (std::strcmp(table[i].name, "eye2.png") == 0) {
      EXPECT_EQ(EmbeddedFileBytes("eye2.png"), kFirst);
      continue;
    }
    EXPECT_EQ(EmbeddedFileBytes(table[i].name), table[i].bytes) << table[i].name;
    EXPECT_EQ(EmbeddedFileLength(table[i].name), table[i].length) << table[i].name;
  }
}

TEST(RamStream, ReadStopsAtTheEndAndSeekClamps) {
  const auto bytes = Counting(866);
  auto stream = TRamStream::Create(bytes.data(), 866, true, false);
  std::uint8_t buffer[10] = {};
  EXPECT_EQ(stream->Seek(860), 860);
  EXPECT_EQ(stream->Read(buffer, 10), 6);
  EXPECT_EQ(buffer[0], bytes[860]);
  EXPECT_EQ(buffer[5], bytes[865]);
  EXPECT_EQ(stream->Pos(), 866);
  EXPECT_EQ(stream->Read(buffer, 10), 0);

  EXPECT_EQ(stream->Seek(-5), 0);
  EXPECT_EQ(stream->Pos(), 0);
  EXPECT_EQ(stream->Seek(5000), 866);
  EXPECT_EQ(stream->Pos(), 866);

  stream->Seek(0);
  EXPECT_EQ(stream->Read(buffer, 0), 0);
  EXPECT_EQ(stream->Read(buffer, -3), 0);
  EXPECT_EQ(stream->Pos(), 0);
  EXPECT_EQ(stream->Write(buffer, 4), 0);  // not writeable
}

TEST(RamStream, WritesOnlyWhenWriteableAndNeverPastTheEnd) {
  std::vector<std::uint8_t> memory(8, 0);
  const std::uint8_t data[6] = {1, 2, 3, 4, 5, 6};
  auto stream = TRamStream::Create(memory.data(), 8, false, true);
  stream->Seek(5);
  EXPECT_EQ(stream->Write(data, 6), 3);
  EXPECT_EQ(memory, (std::vector<std::uint8_t>{0, 0, 0, 0, 0, 1, 2, 3}));
  std::uint8_t buffer[4];
  stream->Seek(0);
  EXPECT_EQ(stream->Read(buffer, 4), 0);  // not readable
}

TEST(OpenStream, ProtocolIsCaseInsensitiveButTheNameIsExact) {
  static const auto bytes = Counting(40);  // the table keeps the pointer
  AddEmbeddedFile("stream.png", bytes.data(), bytes.size());
  for (const char* url : {"incbin::stream.png", "INCBIN::stream.png", "InCbIn::stream.png"}) {
    auto stream = OpenStream(url, true, false);
    ASSERT_NE(stream, nullptr) << url;
    EXPECT_EQ(stream->Size(), 40);
    std::uint8_t buffer[3];
    stream->Seek(10);
    EXPECT_EQ(stream->Read(buffer, 3), 3);
    EXPECT_EQ(buffer[2], 12);
  }
  EXPECT_EQ(OpenStream("incbin::Stream.png", true, false), nullptr);
  EXPECT_EQ(OpenStream("incbin::stream.png ", true, false), nullptr);
  EXPECT_EQ(OpenStream("incbin::missing.png", true, false), nullptr);
  EXPECT_EQ(OpenStream("zip::stream.png", true, false), nullptr);
  // Built-in files are never written.
  EXPECT_EQ(OpenStream("incbin::stream.png", true, true), nullptr);
  EXPECT_EQ(OpenStream("incbin::stream.png", false, true), nullptr);
}

TEST(OpenStream, FactoriesGetTheLowerCasedProtocolAndTheRestOfTheUrl) {
  // Registered for good, so it must outlive the test.
  static struct Recorder : TStreamFactory {
    std::shared_ptr<TStream> CreateStream(const std::string& url, const std::string& protocol,
                                          const std::string& path, bool, bool) override {
      seen.push_back(url + "|" + protocol + "|" + path);
      return nullptr;
    }
    std::vector<std::string> seen;
  } recorder;
  static const bool registered = (RegisterStreamFactory(&recorder), true);
  ASSERT_TRUE(registered);
  recorder.seen.clear();
  OpenStream("HTTP::Host::Path", true, false);
  OpenStream("incbin::", true, false);
  ASSERT_EQ(recorder.seen.size(), 2u);
  EXPECT_EQ(recorder.seen[0], "HTTP::Host::Path|http|Host::Path");
  EXPECT_EQ(recorder.seen[1], "incbin::|incbin|");
}

TEST(OpenStream, AUrlWithoutProtocolIsAFile) {
  const std::string path = ::testing::TempDir() + "moody_stream_test.bin";
  {
    auto out = OpenStream(path, false, true);
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(out->Write("hello", 5), 5);
    out->Close();
  }
  auto in = OpenStream(path, true, false);
  ASSERT_NE(in, nullptr);
  EXPECT_EQ(in->Size(), 5);
  char buffer[8] = {};
  EXPECT_EQ(in->Read(buffer, 8), 5);
  EXPECT_STREQ(buffer, "hello");
  EXPECT_EQ(OpenStream("::" + path, true, false), nullptr);
  std::remove(path.c_str());
}

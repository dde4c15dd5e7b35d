#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <string>

#include "platform/file.h"
#include "platform/filesystem.h"
#include "platform/system.h"
#include "test_support.h"

namespace {

using platform::File;
using platform::SeekOrigin;
using platform::StreamMode;
using test_support::ReadFileBytes;
using test_support::ScratchFolder;

std::string TextOf(const std::vector<std::uint8_t>& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

TEST(PlatformFile, SeeksReadsWritesAndSetsTheLength) {
  ScratchFolder scratch;
  const std::string path = scratch / "data.bin";
  File file = File::Create(path);
  ASSERT_TRUE(file.IsOpen());
  ASSERT_EQ(file.Write("hello world", 11), 11u);
  EXPECT_EQ(file.Size(), 11);
  EXPECT_EQ(file.Seek(6, SeekOrigin::kBegin), 6);
  char word[8] = {};
  EXPECT_EQ(file.Read(word, 8), 5u);  // a short read at the end of the file
  EXPECT_STREQ(word, "world");
  EXPECT_EQ(file.Seek(-5, SeekOrigin::kEnd), 6);
  EXPECT_EQ(file.Seek(-2, SeekOrigin::kCurrent), 4);
  EXPECT_EQ(file.Write("O", 1), 1u);

  ASSERT_TRUE(file.SetLength(7));
  EXPECT_EQ(file.Seek(0, SeekOrigin::kCurrent), 7);
  ASSERT_TRUE(file.SetLength(9));  // growing fills with zeros
  EXPECT_EQ(file.Size(), 9);
  EXPECT_TRUE(file.Close());
  EXPECT_FALSE(file.IsOpen());
  EXPECT_TRUE(file.Close());
  EXPECT_EQ(TextOf(ReadFileBytes(path)), std::string("hellO w\0\0", 9));
}

TEST(PlatformFile, CreateTruncatesAndMovesOwnTheHandle) {
  ScratchFolder scratch;
  const std::string path = scratch / "data.bin";
  ASSERT_TRUE(test_support::WriteFileText(path, "old contents"));
  File first = File::Create(path);
  ASSERT_TRUE(first.IsOpen());
  EXPECT_EQ(first.Size(), 0);

  File second = std::move(first);
  EXPECT_FALSE(first.IsOpen());
  ASSERT_TRUE(second.IsOpen());
  EXPECT_EQ(second.Write("new", 3), 3u);
  second = File();
  EXPECT_FALSE(second.IsOpen());
  EXPECT_EQ(TextOf(ReadFileBytes(path)), "new");
}

TEST(PlatformFile, OpenModesGiveTheirAccessOnly) {
  ScratchFolder scratch;
  const std::string path = scratch / "data.bin";
  ASSERT_TRUE(test_support::WriteFileText(path, "abc"));
  char byte = 0;

  File reader = File::OpenStream(path, StreamMode::kRead);
  ASSERT_TRUE(reader.IsOpen());
  EXPECT_EQ(reader.Write("x", 1), 0u);
  EXPECT_EQ(reader.Read(&byte, 1), 1u);
  reader.Close();

  File writer = File::OpenStream(path, StreamMode::kWriteTruncate);
  ASSERT_TRUE(writer.IsOpen());
  EXPECT_EQ(writer.Read(&byte, 1), 0u);
  EXPECT_EQ(writer.Write("xy", 2), 2u);
  writer.Close();

  File updater = File::OpenStream(path, StreamMode::kUpdate);
  ASSERT_TRUE(updater.IsOpen());
  EXPECT_EQ(updater.Read(&byte, 1), 1u);
  EXPECT_EQ(byte, 'x');
  updater.Close();

  File shared_reader = File::OpenExisting(path, platform::OpenMode::kReadShareReadWrite);
  ASSERT_TRUE(shared_reader.IsOpen());
  EXPECT_EQ(shared_reader.Write("z", 1), 0u);
  shared_reader.Close();

  File read_writer = File::OpenExisting(path, platform::OpenMode::kReadWriteShareRead);
  ASSERT_TRUE(read_writer.IsOpen());
  EXPECT_EQ(read_writer.Write("z", 1), 1u);
  read_writer.Close();
  EXPECT_EQ(TextOf(ReadFileBytes(path)), "zy");
}

TEST(PlatformFile, MissingFilesAndFoldersDoNotOpen) {
  ScratchFolder scratch;
  const std::string missing = scratch / "missing.bin";
  EXPECT_FALSE(File::OpenExisting(missing, platform::OpenMode::kReadShareRead).IsOpen());
  EXPECT_FALSE(File::OpenStream(missing, StreamMode::kRead).IsOpen());
  EXPECT_FALSE(File::OpenStream(missing, StreamMode::kUpdate).IsOpen());
  EXPECT_FALSE(platform::IsFile(missing));
  EXPECT_FALSE(File::OpenExisting(scratch.path(), platform::OpenMode::kReadShareRead).IsOpen());
  EXPECT_FALSE(File::Create(scratch.path()).IsOpen());

  File created = File::OpenStream(missing, StreamMode::kReadWriteTruncate);
  EXPECT_TRUE(created.IsOpen());
  EXPECT_TRUE(platform::IsFile(missing));
}

TEST(PlatformFilesystem, TempFilesGetTheWindowsNaming) {
  const std::string temp = platform::TempDirectory();
  ASSERT_FALSE(temp.empty());
  EXPECT_EQ(temp.back(), '\\');
  EXPECT_TRUE(platform::IsFolder(temp));

  ScratchFolder scratch;
  // Only the first three characters of the prefix are used.
  const std::string first = platform::CreateTempFile(scratch.path(), "ORQZ");
  const std::string second = platform::CreateTempFile(scratch.path() + "\\", "ORQ");
  ASSERT_FALSE(first.empty());
  ASSERT_FALSE(second.empty());
  EXPECT_NE(first, second);
  const std::regex naming(R"(ORQ[0-9A-Fa-f]{1,4}\.tmp)");
  for (const std::string& path : {first, second}) {
    EXPECT_EQ(path.substr(0, scratch.path().size() + 1), scratch.path() + "\\") << path;
    EXPECT_TRUE(std::regex_match(path.substr(scratch.path().size() + 1), naming)) << path;
    EXPECT_TRUE(platform::IsFile(path)) << path;
    EXPECT_TRUE(ReadFileBytes(path).empty()) << path;
  }
  EXPECT_EQ(platform::CreateTempFile(scratch / "missing", "ORQ"), "");
}

TEST(PlatformFilesystem, FoldersAndAttributes) {
  ScratchFolder scratch;
  const std::string folder = scratch / "sub";
  const std::string file = scratch / "file.txt";
  EXPECT_EQ(platform::CreateFolder(folder), platform::CreateFolderResult::kCreated);
  EXPECT_EQ(platform::CreateFolder(folder), platform::CreateFolderResult::kExists);
  EXPECT_EQ(platform::CreateFolder(scratch / "missing\\sub"),
            platform::CreateFolderResult::kFailed);
  ASSERT_TRUE(test_support::WriteFileText(file, "x"));

  EXPECT_TRUE(platform::IsFolder(folder));
  EXPECT_FALSE(platform::IsFile(folder));
  EXPECT_TRUE(platform::IsFile(file));
  EXPECT_FALSE(platform::IsFolder(file));

  const auto folder_bits = platform::AttributeBits(folder);
  const auto file_bits = platform::AttributeBits(file);
  ASSERT_TRUE(folder_bits && file_bits);
  EXPECT_EQ(*folder_bits & (platform::kAttrFolder | platform::kAttrReadOnly),
            platform::kAttrFolder);
  EXPECT_EQ(*file_bits & (platform::kAttrFolder | platform::kAttrReadOnly), 0u);
  EXPECT_NE(*file_bits & (platform::kAttrArchive | platform::kAttrNormal), 0u);
  EXPECT_FALSE(platform::AttributeBits(scratch / "missing"));

  EXPECT_FALSE(platform::RemoveFolder(scratch.path()));  // not empty
  EXPECT_TRUE(platform::RemoveFolder(folder));
  EXPECT_FALSE(platform::IsFolder(folder));
  EXPECT_FALSE(platform::RemoveFile(folder));
}

TEST(PlatformFilesystem, RenameNeverReplacesATarget) {
  ScratchFolder scratch;
  const std::string from = scratch / "from.txt";
  const std::string to = scratch / "to.txt";
  ASSERT_TRUE(test_support::WriteFileText(from, "from"));
  ASSERT_TRUE(test_support::WriteFileText(to, "to"));
  EXPECT_FALSE(platform::RenameFile(from, to));
  EXPECT_EQ(TextOf(ReadFileBytes(to)), "to");

  ASSERT_TRUE(platform::RemoveFile(to));
  EXPECT_FALSE(platform::RemoveFile(to));
  EXPECT_TRUE(platform::RenameFile(from, to));
  EXPECT_FALSE(platform::IsFile(from));
  EXPECT_EQ(TextOf(ReadFileBytes(to)), "from");
}

TEST(PlatformFilesystem, ListFolderReportsEveryEntryOnce) {
  ScratchFolder scratch;
  ASSERT_TRUE(test_support::WriteFileText(scratch / "a.txt", "abc"));
  ASSERT_TRUE(test_support::WriteFileText(scratch / "b.bin", ""));
  ASSERT_EQ(platform::CreateFolder(scratch / "sub"), platform::CreateFolderResult::kCreated);
  ASSERT_TRUE(test_support::WriteFileText(scratch / "sub\\inner.txt", "x"));
  constexpr std::int64_t kTime = 1000000000;  // 2001-09-09
  ASSERT_TRUE(platform::SetFileTimes(scratch / "a.txt", kTime));

  std::map<std::string, platform::FolderEntry> entries;
  ASSERT_TRUE(platform::ListFolder(scratch.path(), [&](const platform::FolderEntry& entry) {
    EXPECT_TRUE(entries.emplace(entry.name, entry).second) << entry.name;
    return true;
  }));
  ASSERT_EQ(entries.size(), 3u);
  const platform::FolderEntry& a = entries.at("a.txt");
  EXPECT_FALSE(a.is_folder);
  EXPECT_EQ(a.size, 3u);
  EXPECT_EQ(a.write_time, kTime);
  EXPECT_EQ(a.access_time, kTime);
  EXPECT_EQ(a.attributes, *platform::AttributeBits(scratch / "a.txt"));
  EXPECT_TRUE(entries.at("sub").is_folder);
  EXPECT_NE(entries.at("sub").attributes & platform::kAttrFolder, 0u);

  int visits = 0;
  EXPECT_TRUE(platform::ListFolder(scratch.path() + "\\", [&](const platform::FolderEntry&) {
    ++visits;
    return false;
  }));
  EXPECT_EQ(visits, 1);
  EXPECT_FALSE(
      platform::ListFolder(scratch / "missing", [](const platform::FolderEntry&) { return true; }));
}

TEST(PlatformFilesystem, FileTimesRoundTrip) {
  ScratchFolder scratch;
  const std::string path = scratch / "file.txt";
  ASSERT_TRUE(test_support::WriteFileText(path, "x"));
  for (const std::int64_t time :
       {std::int64_t{0}, std::int64_t{1234567890}, std::int64_t{4102444800}}) {
    ASSERT_TRUE(platform::SetFileTimes(path, time)) << time;
    EXPECT_EQ(platform::FileModificationTime(path), time);
  }
  EXPECT_FALSE(platform::SetFileTimes(scratch / "missing", 0));
  EXPECT_FALSE(platform::FileModificationTime(scratch / "missing"));
}

TEST(PlatformSystem, LocalTimeRoundTrips) {
  EXPECT_GT(platform::CurrentTime(), 1600000000);
  // 2024-06-15 12:00 UTC is the 14th, 15th or 16th of June in every zone, far from any change of
  // daylight saving.
  constexpr std::int64_t kJune = 1718452800;
  const auto local = platform::ToLocalTime(kJune);
  ASSERT_TRUE(local);
  EXPECT_EQ(local->year, 124);
  EXPECT_EQ(local->month, 5);
  EXPECT_GE(local->day, 14);
  EXPECT_LE(local->day, 16);
  EXPECT_EQ(platform::FromLocalTime(*local), kJune);

  // Mid-year and mid-winter both come back whatever daylight saving the zone has.
  for (const platform::LocalTime time :
       {platform::LocalTime{124, 6, 15, 12, 30, 5}, platform::LocalTime{124, 0, 15, 0, 0, 59}}) {
    const auto seconds = platform::FromLocalTime(time);
    ASSERT_TRUE(seconds);
    const auto back = platform::ToLocalTime(*seconds);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->year, time.year);
    EXPECT_EQ(back->month, time.month);
    EXPECT_EQ(back->day, time.day);
    EXPECT_EQ(back->hour, time.hour);
    EXPECT_EQ(back->minute, time.minute);
    EXPECT_EQ(back->second, time.second);
  }
}

}  // namespace

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "platform/TextFiles.h"
#include "support/TestSupport.h"

namespace vexa {
namespace {

std::vector<std::string> Lines(std::string_view text) {
    std::vector<std::string> out;
    TextFiles::ForEachLine(text, [&](std::string_view l) { out.emplace_back(l); });
    return out;
}

TEST(TextFilesTest, SplitsLinesAtLineEnds) {
    using V = std::vector<std::string>;
    EXPECT_EQ(Lines(""), V{});
    EXPECT_EQ(Lines("a\r\nb\r\n"), (V{"a", "b"}));
    EXPECT_EQ(Lines("a\nb"), (V{"a", "b"}));
    EXPECT_EQ(Lines("a\r\n\r\nb\r"), (V{"a", "", "b\r"}));
    EXPECT_EQ(Lines("\r\n"), V{""});
}

TEST(TextFilesTest, AtomicWriteReplacesTheFileAndKeepsItsMode) {
    test::TempDir dir;
    std::string path = dir / "f.txt";
    ASSERT_TRUE(TextFiles::WriteAtomic(path, "one").ok);
    ::chmod(path.c_str(), 0640);
    ASSERT_TRUE(TextFiles::WriteAtomic(path, std::string("two\0\xFF", 5)).ok);
    EXPECT_EQ(test::ReadFile(path), std::string("two\0\xFF", 5));
    struct stat st {};
    ::stat(path.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST(TextFilesTest, FailedWriteLeavesTheOldFileAndNoLitter) {
    test::TempDir dir;
    // A directory where the file should be: the rename fails after the data was written.
    std::filesystem::create_directory(dir / "Archive.db");
    FileResult r = TextFiles::WriteAtomic(dir / "Archive.db", "data");
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.error.empty());
    EXPECT_TRUE(std::filesystem::is_directory(dir / "Archive.db"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);

    FileResult missing = TextFiles::WriteAtomic(dir / "no/such/dir/f", "x");
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(missing.error, "No such file or directory");
}

TEST(TextFilesTest, ExistsAndReadTellMissingFromUnreadable) {
    test::TempDir dir;
    EXPECT_FALSE(TextFiles::Exists(dir / "nothing"));
    EXPECT_FALSE(TextFiles::Exists(dir / "nothing/below"));
    std::filesystem::create_directory(dir / "d");
    EXPECT_TRUE(TextFiles::Exists(dir / "d"));
    std::string contents = "stale";
    EXPECT_FALSE(TextFiles::ReadAll(dir / "d", contents).ok);
    EXPECT_TRUE(contents.empty());
    EXPECT_FALSE(TextFiles::ReadAll(dir / "nothing", contents).ok);
}

}  // namespace
}  // namespace vexa

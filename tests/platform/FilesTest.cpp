#include <gtest/gtest.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/AtomicFile.h"
#include "platform/Checksums.h"
#include "platform/SystemError.h"
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

// The file is replaced whole, keeping its mode, or left as it was; no temporary file is left
// behind either way.
TEST(TextFilesTest, AtomicWriteReplacesTheFileOrLeavesItAndNoLitter) {
    test::TempDir dir;
    std::string path = dir / "f.txt";
    ASSERT_TRUE(TextFiles::WriteAtomic(path, "one").ok);
    ::chmod(path.c_str(), 0640);
    ASSERT_TRUE(TextFiles::WriteAtomic(path, std::string("two\0\xFF", 5)).ok);
    EXPECT_EQ(test::ReadFile(path), std::string("two\0\xFF", 5));
    struct stat st {};
    ::stat(path.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    // A directory where the file should be: the rename fails after the data was written.
    std::filesystem::create_directory(dir / "Archive.db");
    const FileResult r = TextFiles::WriteAtomic(dir / "Archive.db", "data");
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.error.empty());
    EXPECT_TRUE(std::filesystem::is_directory(dir / "Archive.db"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);
}

// A save killed halfway leaves its temporary file; the next save removes it, but never the
// temporary file of a save still being written.
TEST(TextFilesTest, ASaveRemovesLeftoversOfSavesCutShortButNotOneInProgress) {
    test::TempDir dir;
    const std::string path = dir / "Archive.db";
    AtomicFile running;
    ASSERT_TRUE(running.Open(path).ok);
    ASSERT_TRUE(running.Write("running").ok);
    const struct {
        const char* name;
        bool kept;
    } files[] = {{"Archive.db.tmp-a1B2c3", false},
                 {"Archive.db.tmp-notes.txt", true},
                 {"Other.db.tmp-a1B2c3", true}};
    for (const auto& f : files)
        test::WriteFile(dir / f.name, std::string(1 << 20, 'x'));
    ASSERT_TRUE(TextFiles::WriteAtomic(path, "first").ok);
    for (const auto& f : files)
        EXPECT_EQ(std::filesystem::exists(dir / f.name), f.kept) << f.name;
    // Four files: the archive, the two that are no leftovers and the running save's.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 4);
    ASSERT_TRUE(running.Commit().ok);
    EXPECT_EQ(test::ReadFile(path), "running");
}

// The journal's checks are the CRC-32 of zip and PNG, so other tools can verify them.
TEST(TextFilesTest, Crc32IsTheZipOne) {
    EXPECT_EQ(Crc32("123456789"), 0xCBF43926u);
    EXPECT_EQ(Crc32(""), 0u);
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

// The system's reason comes in the language of the environment's locale, converted from that
// locale's character set; a Czech message never shows it mangled.
TEST(SystemErrorTest, GivesTheReasonInTheUsersLanguageAsWindows1250) {
    const char* const saved = std::getenv("LC_ALL");
    const std::string restore = saved != nullptr ? saved : "";
    const struct {
        const char* locale;
        const char* reason;  // UTF-8
    } cases[] = {{"C", "Not a directory"},
                 {"cs_CZ.UTF-8", "není adresářem"},
                 {"cs_CZ", "není adresářem"},
                 {"no_SUCH.locale", "Not a directory"}};
    for (const auto& c : cases) {
        ::setenv("LC_ALL", c.locale, 1);
        locale_t there = ::newlocale(LC_ALL_MASK, c.locale, static_cast<locale_t>(0));
        if (there == static_cast<locale_t>(0) && std::string(c.locale).starts_with("cs")) {
            ADD_FAILURE() << c.locale << " is not generated (scripts/setup.sh generates it)";
            continue;
        }
        if (there != static_cast<locale_t>(0))
            ::freelocale(there);
        EXPECT_EQ(SystemError::Text(ENOTDIR), test::W(c.reason)) << c.locale;
    }
    if (saved != nullptr)
        ::setenv("LC_ALL", restore.c_str(), 1);
    else
        ::unsetenv("LC_ALL");
}

}  // namespace
}  // namespace vexa

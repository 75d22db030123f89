// The source line reader, the CR LF writer, whole-file line lists and the line count.
#include "base/uniTextFile.h"

#include <algorithm>
#include <random>

#include <gtest/gtest.h>

#include "base/AppError.h"
#include "support/TestSupport.h"

using namespace tolvane::base;
using tolvane::test::CountOpenFds;
using tolvane::test::ReadBytes;
using tolvane::test::TTempDir;
using tolvane::test::WriteBytes;

namespace {

using TLines = std::vector<std::string>;

struct TReaderCase
{
    std::string name;
    std::string bytes;
    TLines lines;
};

const TReaderCase kReaderCases[] = {
    {"empty", "", {}},
    {"lf", "ab\ncd\n", {"ab", "cd"}},
    {"crlf", "ab\r\ncd\r\n", {"ab", "cd"}},
    {"no final break", "ab\r\ncd", {"ab", "cd"}},
    {"empty lines", "\n\r\n\n", {"", "", ""}},
    {"lone cr dropped", "a\rb\r\nc\r", {"ab", "c"}},
    {"cr cr lf", "a\r\r\nb", {"a", "b"}},
    {"ctrl-z ends the file",
     "ab\r\ncd\x1A"
     "ef\r\ngh\r\n",
     {"ab", "cd"}},
    {"ctrl-z at a line start", "ab\r\n\x1A\r\nxx", {"ab"}},
    {"ctrl-z first",
     "\x1A"
     "abc",
     {}},
    {"long line",
     std::string(300, 'x') + "\r\n" + std::string(70, 'y'),
     {std::string(300, 'x'), std::string(70, 'y')}},
    {"shift-jis bytes", "\x95\x5C\x8E\xA6\r\n\x83\x5C", {"\x95\x5C\x8E\xA6", "\x83\x5C"}},
};

TLines ReadAll(const std::filesystem::path& path, std::size_t blockSize)
{
    TSjisLineReader reader(path, blockSize);
    TLines lines;
    while (!reader.Eof()) {
        lines.emplace_back(reader.ReadLineView());
    }
    return lines;
}

} // namespace

TEST(TSjisLineReader, LineEndRulesAtEveryBlockSize)
{
    TTempDir dir;
    for (const TReaderCase& c : kReaderCases) {
        const auto path = dir / "source.txt";
        WriteBytes(path, c.bytes);
        for (const std::size_t blockSize : {1U, 2U, 3U, 5U, 64U * 1024U}) {
            SCOPED_TRACE(c.name + ", block " + std::to_string(blockSize));
            EXPECT_EQ(ReadAll(path, blockSize), c.lines);
        }
    }
}

namespace {

// The reader's rules written plainly: the text ends at the first Ctrl-Z; lines end at LF; every
// CR is dropped; bytes after the last LF make one more line.
TLines ReferenceLines(const std::string& bytes)
{
    const std::string text = bytes.substr(0, bytes.find('\x1A'));
    TLines lines;
    std::string line;
    for (const char c : text) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else if (c != '\r') {
            line.push_back(c);
        }
    }
    if (!text.empty() && text.back() != '\n') {
        lines.push_back(line);
    }
    return lines;
}

// Lines of 0 to 40 bytes with every kind of line end, some bytes that look like line ends to a
// careless scan, now and then a lone CR or a Ctrl-Z.
std::string RandomSource(std::mt19937& random)
{
    static const char* const kEnds[] = {"\r\n", "\r\n", "\n", "\r", "\r\r\n", "\x1A"};
    std::uniform_int_distribution<int> lines(0, 8);
    std::uniform_int_distribution<int> length(0, 40);
    std::uniform_int_distribution<int> end(0, 5);
    std::uniform_int_distribution<int> noise(0, 9);
    std::string text;
    for (int k = lines(random); k > 0; --k) {
        for (int n = length(random); n > 0; --n) {
            static const char kBytes[] = {'a', ' ', '\x0B', '\x0E', '\x1B', '\x8D', '\x8A', '\x81'};
            text.push_back(kBytes[static_cast<std::size_t>(noise(random)) % sizeof kBytes]);
        }
        // A Ctrl-Z is rare, or nothing would be left after it.
        int e = end(random);
        if (e == 5 && noise(random) != 0) {
            e = 0;
        }
        text += kEnds[e];
    }
    return text;
}

} // namespace

TEST(TSjisLineReader, RandomSourcesReadAsTheRulesSayAtEveryBlockSize)
{
    std::mt19937 random(17);
    TTempDir dir;
    const auto path = dir / "source.txt";
    for (int round = 0; round < 300; ++round) {
        const std::string bytes = RandomSource(random);
        WriteBytes(path, bytes);
        const TLines expected = ReferenceLines(bytes);
        SCOPED_TRACE(::testing::PrintToString(bytes));
        // Block sizes from 1 up put every line end, and every CR LF split, on a block boundary.
        for (std::size_t blockSize = 1; blockSize <= 24; ++blockSize) {
            ASSERT_EQ(ReadAll(path, blockSize), expected) << "block " << blockSize;
        }
        ASSERT_EQ(ReadAll(path, 64 * 1024), expected);
        ASSERT_EQ(CountLines(path, 1 + static_cast<std::size_t>(round % 24)),
                  static_cast<std::int64_t>(SplitLines(bytes).size()));
    }
}

TEST(TSjisLineReader, CleanLinesAndSingleLinesCopyAsLineByLine)
{
    std::mt19937 random(23);
    TTempDir dir;
    const auto path = dir / "source.txt";
    for (int round = 0; round < 300; ++round) {
        // Mostly clean CR LF text, where the clean runs are long.
        std::string bytes;
        for (int k = 0; k < 4; ++k) {
            bytes += round % 2 == 0 ? RandomSource(random) : std::string();
            bytes += std::string(static_cast<std::size_t>(round % 37), 'c') + "\r\n\r\nabc\r\n";
        }
        WriteBytes(path, bytes);
        const TLines expected = ReferenceLines(bytes);
        std::string expectedCopy;
        for (const std::string& line : expected) {
            expectedCopy += line + "\r\n";
        }
        SCOPED_TRACE(::testing::PrintToString(bytes));
        for (const std::size_t blockSize : {1U, 2U, 7U, 8U, 9U, 16U, 31U, 64U * 1024U}) {
            TSjisLineReader reader(path, blockSize);
            std::string copy;
            std::int64_t lines = 0;
            while (!reader.Eof()) {
                const std::string_view clean = reader.ReadCleanLines();
                if (clean.empty()) {
                    copy.append(reader.ReadLineView());
                    copy.append("\r\n");
                    ++lines;
                } else {
                    copy.append(clean);
                    lines += std::count(clean.begin(), clean.end(), '\n');
                }
                ASSERT_EQ(reader.LineNo(), lines);
            }
            ASSERT_EQ(copy, expectedCopy) << "block " << blockSize;
        }
    }
}

TEST(TSjisLineReader, ReadingPastTheEndGivesEmptyLines)
{
    TTempDir dir;
    WriteBytes(dir / "a.txt", "one\r\n");
    TSjisLineReader reader(dir / "a.txt", 2);
    std::string line;
    reader.ReadLine(line);
    EXPECT_EQ(line, "one");
    EXPECT_TRUE(reader.Eof());
    reader.ReadLine(line);
    EXPECT_EQ(line, "");
    reader.ReadLine(line);
    EXPECT_EQ(line, "");
    EXPECT_TRUE(reader.Eof());
    EXPECT_EQ(reader.LineNo(), 3);
}

TEST(TSjisLineReader, RewindStartsAgainAndCountsLines)
{
    TTempDir dir;
    WriteBytes(dir / "a.txt", "1\r\n2\r\n3\x1A");
    TSjisLineReader reader(dir / "a.txt", 3);
    EXPECT_EQ(reader.LineNo(), 0);
    EXPECT_EQ(reader.ReadLineView(), "1");
    EXPECT_EQ(reader.ReadLineView(), "2");
    EXPECT_EQ(reader.LineNo(), 2);
    reader.Rewind();
    EXPECT_EQ(reader.LineNo(), 0);
    TLines lines;
    while (!reader.Eof()) {
        lines.emplace_back(reader.ReadLineView());
    }
    EXPECT_EQ(lines, (TLines{"1", "2", "3"}));
    EXPECT_EQ(reader.FileName(), (dir / "a.txt").string());
}

TEST(TSjisLineReader, LineOverTheCapIsAnErrorWithItsPlace)
{
    TTempDir dir;
    WriteBytes(dir / "a.txt", "short\r\n" + std::string(100, 'x') + "\r\nnext\r\n");
    for (const std::size_t blockSize : {7U, 4096U}) {
        TSjisLineReader reader(dir / "a.txt", blockSize, 50);
        EXPECT_EQ(reader.ReadLineView(), "short");
        try {
            reader.ReadLineView();
            FAIL() << "no error";
        } catch (const TDataError& e) {
            EXPECT_EQ(e.Text(), "1 行が 50 バイトを超えています");
            EXPECT_EQ(e.FileName(), (dir / "a.txt").string());
            EXPECT_EQ(e.LineNo(), 2);
        }
    }
    // Exactly at the cap is fine.
    WriteBytes(dir / "b.txt", std::string(50, 'y') + "\r\n" + std::string(50, 'z'));
    TSjisLineReader reader(dir / "b.txt", 8, 50);
    EXPECT_EQ(reader.ReadLineView(), std::string(50, 'y'));
    EXPECT_EQ(reader.ReadLineView(), std::string(50, 'z'));
}

TEST(TSjisLineReader, MissingFileAndFolderCannotBeOpened)
{
    TTempDir dir;
    try {
        TSjisLineReader reader(dir / "missing.txt");
        FAIL() << "no error";
    } catch (const TFileError& e) {
        EXPECT_EQ(e.Text(), "ファイル \"" + (dir / "missing.txt").string() +
                                "\" は開けません。指定されたファイルが見つかりません。");
    }
    EXPECT_THROW(TSjisLineReader reader(dir.Path()), TFileError);
}

TEST(TSjisWriter, LinesEndWithCrLf)
{
    TTempDir dir;
    {
        TSjisWriter writer(dir / "out.txt", 8);
        writer.WriteLine("abc");
        writer.WriteLine("");
        writer.Write(std::string(20, 'x'));
        writer.WriteLine("\x95\x5C");
        writer.Close();
        writer.Close(); // a second close does nothing
    }
    EXPECT_EQ(ReadBytes(dir / "out.txt"), "abc\r\n\r\n" + std::string(20, 'x') + "\x95\x5C\r\n");
}

TEST(TSjisWriter, ReplacesAnExistingFile)
{
    TTempDir dir;
    WriteBytes(dir / "out.txt", "old content that is long");
    TSjisWriter writer(dir / "out.txt");
    writer.WriteLine("new");
    writer.Close();
    EXPECT_EQ(ReadBytes(dir / "out.txt"), "new\r\n");
}

#ifndef _WIN32 // a full disk to write to: Linux's /dev/full
TEST(TSjisWriter, FullDiskRaisesWriteErrorAndClosesTheFile)
{
    const int before = CountOpenFds();
    {
        TSjisWriter writer("/dev/full", 16);
        writer.WriteLine("fits in the buffer");
        try {
            writer.Close();
            FAIL() << "no error";
        } catch (const TFileError& e) {
            EXPECT_EQ(e.Code().value(), ENOSPC);
            EXPECT_EQ(
                e.Text(),
                "ファイル \"/dev/full\" に書き込めません。ディスクに十分な空き領域がありません。");
        }
        EXPECT_FALSE(writer.IsOpen());
    }
    EXPECT_EQ(CountOpenFds(), before);
}
#endif

TEST(TSjisWriter, CannotCreateInMissingFolder)
{
    TTempDir dir;
    EXPECT_THROW(TSjisWriter writer(dir / "no" / "such.mif"), TFileError);
}

TEST(LoadLines, BreaksAtCrLfLfOrCr)
{
    struct TCase
    {
        std::string bytes;
        TLines lines;
    };
    const TCase cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\n", {"a"}},
        {"a\r\nb", {"a", "b"}},
        {"a\rb\nc\r\n", {"a", "b", "c"}},
        {"\r\n\r\n", {"", ""}},
        {"a\r\r\nb", {"a", "", "b"}},
        {"a\n\rb", {"a", "", "b"}},
        {"a\x1A"
         "b",
         {"a\x1A"
          "b"}},
    };
    TTempDir dir;
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.bytes);
        WriteBytes(dir / "l.txt", c.bytes);
        EXPECT_EQ(LoadLines(dir / "l.txt"), c.lines);
        for (const std::size_t blockSize : {1U, 2U, 3U, 64U * 1024U}) {
            EXPECT_EQ(CountLines(dir / "l.txt", blockSize),
                      static_cast<std::int64_t>(c.lines.size()));
        }
    }
    EXPECT_THROW(LoadLines(dir / "missing.txt"), TFileError);
    EXPECT_THROW(CountLines(dir / "missing.txt"), TFileError);
}

TEST(SaveLines, RoundTripsThroughLoadLines)
{
    TTempDir dir;
    const TLines lines{"tolvane", "", "\x95\x5C", "x y"};
    SaveLines(dir / "s.txt", lines);
    EXPECT_EQ(ReadBytes(dir / "s.txt"), "tolvane\r\n\r\n\x95\x5C\r\nx y\r\n");
    EXPECT_EQ(LoadLines(dir / "s.txt"), lines);
}

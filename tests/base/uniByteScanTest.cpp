// The word-at-a-time byte scans against byte-by-byte references, over random texts rich in CR,
// LF and Ctrl-Z and over every split of a text into two pieces.
#include "base/uniByteScan.h"

#include <algorithm>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "base/uniTextFile.h"

using namespace tolvane::base;
using namespace tolvane::base::bytescan;

namespace {

// Texts of 0 to maxLength bytes, most bytes plain, many line ends and some Ctrl-Z and
// double-byte characters, so that every mixture falls on every lane of a word.
std::string RandomText(std::mt19937& random, std::size_t maxLength)
{
    static const char kAlphabet[] = {'a',    'b',        ' ',    '\r',   '\n',       '\r',
                                     '\n',   '\x1A',     '\x81', '\x40', '\x0A' + 1, '\x0D' - 1,
                                     '\x8A', '\x1A' + 1, '\x7F', '\xFF'};
    std::uniform_int_distribution<std::size_t> length(0, maxLength);
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kAlphabet - 1);
    std::uniform_int_distribution<int> plainRun(0, 3);
    std::string text;
    const std::size_t n = length(random);
    while (text.size() < n) {
        // Runs of plain bytes keep words free of line ends now and then.
        if (plainRun(random) == 0) {
            text.append(std::min<std::size_t>(n - text.size(), 9), 'x');
        } else {
            text.push_back(kAlphabet[pick(random)]);
        }
    }
    return text;
}

std::size_t ReferenceLineStop(const std::string& text)
{
    const std::size_t at = text.find_first_of(std::string("\n\r\x1A", 3));
    return at == std::string::npos ? text.size() : at;
}

// Whole CR LF lines free of any other CR, LF and Ctrl-Z at the start of the text.
std::size_t ReferenceCleanLength(const std::string& text, std::int64_t& lines)
{
    std::size_t clean = 0;
    lines = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '\x1A' || c == '\n') {
            break;
        }
        if (c == '\r') {
            if (i + 1 >= text.size() || text[i + 1] != '\n') {
                break;
            }
            i += 2;
            clean = i;
            ++lines;
            continue;
        }
        ++i;
    }
    return clean;
}

} // namespace

TEST(ByteScan, FindLineStopMatchesAByteLoop)
{
    std::mt19937 random(7);
    for (int round = 0; round < 20000; ++round) {
        const std::string text = RandomText(random, 70);
        SCOPED_TRACE(::testing::PrintToString(text));
        ASSERT_EQ(FindLineStop(text.data(), text.size()), ReferenceLineStop(text));
    }
    // A stop byte at every position of a long plain run.
    for (std::size_t at = 0; at < 48; ++at) {
        for (const char stop : {'\n', '\r', '\x1A'}) {
            std::string text(48, 'q');
            text[at] = stop;
            ASSERT_EQ(FindLineStop(text.data(), text.size()), at);
        }
    }
}

TEST(ByteScan, CountDelimitersMatchesAByteLoop)
{
    std::mt19937 random(11);
    for (int round = 0; round < 20000; ++round) {
        std::string text = RandomText(random, 70);
        // Commas for ' ' and quotes for some 'a', on every lane.
        std::replace(text.begin(), text.end(), ' ', ',');
        if (round % 3 == 0) {
            std::replace(text.begin(), text.end(), 'a', '"');
        }
        SCOPED_TRACE(::testing::PrintToString(text));
        bool quoted = false;
        ASSERT_EQ(CountDelimiters(text.data(), text.size(), ',', quoted),
                  static_cast<std::size_t>(std::count(text.begin(), text.end(), ',')));
        ASSERT_EQ(quoted, text.find('"') != std::string::npos);
    }
    // Long enough for the counts of the lanes to be summed more than once.
    const std::string many(16 * 300 + 5, ',');
    bool quoted = true;
    EXPECT_EQ(CountDelimiters(many.data(), many.size(), ',', quoted), many.size());
    EXPECT_FALSE(quoted);
}

namespace {

// What MeasureCleanLines promises, byte by byte: the whole lines that end before the first
// eight-byte word (counted from the start) that is incomplete or holds a flaw: a Ctrl-Z, an LF
// without a CR before it, or a CR without an LF after it (a flaw of the word of the byte after
// the CR).
std::size_t ReferenceWordCleanLength(const std::string& text, std::int64_t& lines)
{
    std::size_t firstBadWord = text.size() / 8;
    for (std::size_t p = 0; p < text.size(); ++p) {
        std::size_t bad = SIZE_MAX;
        if (text[p] == '\x1A' || (text[p] == '\n' && (p == 0 || text[p - 1] != '\r'))) {
            bad = p / 8;
        } else if (text[p] == '\r' && p + 1 < text.size() && text[p + 1] != '\n') {
            bad = (p + 1) / 8;
        }
        firstBadWord = std::min(firstBadWord, bad);
    }
    std::size_t clean = 0;
    lines = 0;
    for (std::size_t p = 0; p < 8 * firstBadWord; ++p) {
        if (text[p] == '\n') {
            clean = p + 1;
            ++lines;
        }
    }
    return clean;
}

} // namespace

TEST(ByteScan, MeasureCleanLinesTakesTheCleanLinesOfTheWholeWords)
{
    std::mt19937 random(11);
    int reachedAll = 0;
    for (int round = 0; round < 20000; ++round) {
        // Clean lines most of the time, with a flaw somewhere now and then.
        std::string text;
        std::uniform_int_distribution<int> lineCount(0, 6);
        std::uniform_int_distribution<int> lineLength(0, 20);
        for (int k = lineCount(random); k > 0; --k) {
            text.append(static_cast<std::size_t>(lineLength(random)), 'z');
            text.append("\r\n");
        }
        if (round % 3 == 0) {
            text += RandomText(random, 30);
        }
        SCOPED_TRACE(::testing::PrintToString(text));
        std::int64_t lines = -1;
        const std::size_t clean = MeasureCleanLines(text.data(), text.size(), lines);
        std::int64_t expectedLines = 0;
        ASSERT_EQ(clean, ReferenceWordCleanLength(text, expectedLines));
        ASSERT_EQ(lines, expectedLines);
        // Never more than the clean lines there are.
        std::int64_t allLines = 0;
        ASSERT_LE(clean, ReferenceCleanLength(text, allLines));
        if (clean == ReferenceCleanLength(text, allLines)) {
            ++reachedAll;
        }
    }
    EXPECT_GT(reachedAll, 2000);
}

TEST(ByteScan, LineBreakCounterAgreesWithSplitLinesForEverySplit)
{
    std::mt19937 random(3);
    for (int round = 0; round < 3000; ++round) {
        const std::string text = RandomText(random, 60);
        const auto expected = static_cast<std::int64_t>(SplitLines(text).size());
        SCOPED_TRACE(::testing::PrintToString(text));
        {
            TLineBreakCounter whole;
            whole.Feed(text.data(), text.size());
            ASSERT_EQ(whole.Lines(), expected);
        }
        for (std::size_t cut = 0; cut <= text.size(); ++cut) {
            TLineBreakCounter split;
            split.Feed(text.data(), cut);
            split.Feed(text.data() + cut, text.size() - cut);
            ASSERT_EQ(split.Lines(), expected) << "cut at " << cut;
        }
    }
}

TEST(ByteScan, LineBreakCounterOverLongTextsInPiecesOfEverySize)
{
    // Long enough for the lane sums to be emptied more than once (255 rounds of 16 bytes).
    std::mt19937 random(5);
    std::string text;
    for (int k = 0; k < 2000; ++k) {
        text += RandomText(random, 12);
        text += k % 2 == 0 ? "\r\n" : "\n";
    }
    text += "\r";
    const auto expected = static_cast<std::int64_t>(SplitLines(text).size());
    for (std::size_t piece = 1; piece <= 40; ++piece) {
        TLineBreakCounter counter;
        for (std::size_t at = 0; at < text.size(); at += piece) {
            counter.Feed(text.data() + at, std::min(piece, text.size() - at));
        }
        ASSERT_EQ(counter.Lines(), expected) << "pieces of " << piece;
    }
    TLineBreakCounter whole;
    whole.Feed(text.data(), text.size());
    EXPECT_EQ(whole.Lines(), expected);
    EXPECT_EQ(whole.Breaks(), expected);
}

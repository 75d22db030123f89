// Text on a terminal: widths, the progress line on a fake 40-column terminal, the locale's
// language.
#include "cli/Terminal.h"

#include <cstdio>
#include <cstdlib>

#include <gtest/gtest.h>

#include "cli/CliObserver.h"
#include "support/TestSupport.h"

using namespace tolvane::cli;
using tolvane::base::TLanguage;

TEST(DisplayWidth, WideCharactersTakeTwoColumns)
{
    const std::pair<std::string_view, int> cases[] = {
        {"abc", 3},        {"変換しています。", 16}, {"ｶﾀｶﾅ", 4}, // half-width katakana
        {"ＡＢ", 4},                                              // full-width Latin
        {"e\u0301", 1},                                           // a combining accent
        {"\xff\xfe", 2},                                          // not UTF-8: one column a byte
        {"\xe5\xa4", 2},                                          // a cut sequence
        {"\U0002000B", 2},
    };
    for (const auto& [text, width] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(DisplayWidth(text), width);
    }
}

TEST(FitToWidth, CutsWholeCharactersAndMarksTheCut)
{
    EXPECT_EQ(FitToWidth("変換しています", 14), "変換しています");
    EXPECT_EQ(FitToWidth("変換しています", 10), "変換し...");
    EXPECT_EQ(FitToWidth("変換しています", 9), "変換し...");
    EXPECT_EQ(FitToWidth("変換しています", 3), "変");
    EXPECT_EQ(FitToWidth("abc", 0), "");
}

TEST(ProgressLine, FitsTheTerminal)
{
    const std::string status = "土地利用細分メッシュ(平成18年・点)を変換しています。";
    for (const int columns : {1, 8, 20, 40, 80, 200}) {
        for (const int percent : {0, 7, 100}) {
            SCOPED_TRACE(std::to_string(columns) + " columns, " + std::to_string(percent) + "%");
            const std::string line = ProgressLine(status, percent, true, columns);
            EXPECT_LE(DisplayWidth(line), columns - 1) << line;
            if (columns >= 20) {
                EXPECT_NE(line.find(std::to_string(percent) + "% "), std::string::npos) << line;
            }
        }
    }
    EXPECT_EQ(ProgressLine("ok", 50, true, 40), "[#####     ]  50% ok");
    EXPECT_EQ(ProgressLine("ok", 50, false, 40), "ok");
    EXPECT_NE(ProgressLine(status, 0, true, 200).find(status), std::string::npos);
}

TEST(CliObserver, RedrawsOneLineInPlaceOnA40ColumnTerminal)
{
    const tolvane::test::TTempDir dir;
    const std::filesystem::path file = dir / "stderr.txt";
#ifdef _WIN32
    std::FILE* out = ::_wfopen(file.c_str(), L"wb");
#else
    std::FILE* out = std::fopen(file.c_str(), "wb");
#endif
    ASSERT_NE(out, nullptr);
    {
        TCliObserver observer(true, false, out, [] { return 40; });
        observer.SetStatusText("土地利用細分メッシュ(平成18年・点)を変換しています。");
        observer.SetProgressMax(1000);
        observer.ShowProgress(true);
        for (int pos = 0; pos <= 1000; pos += 10) {
            observer.SetProgressPos(pos);
        }
    }
    std::fclose(out);
    const std::string text = tolvane::test::ReadBytes(file);
    EXPECT_EQ(text.find('\n'), std::string::npos);
    int redraws = 0;
    for (std::size_t start = text.find('\r'); start != std::string::npos;) {
        const std::size_t next = text.find('\r', start + 1);
        std::string line = text.substr(start + 1, next - start - 1);
        ASSERT_TRUE(line.ends_with("\x1b[K")) << line;
        line.resize(line.size() - 3);
        EXPECT_LE(DisplayWidth(line), 39) << line;
        redraws += line.empty() ? 0 : 1;
        start = next;
    }
    // Once a percent at most, and the line is erased at the end.
    EXPECT_GE(redraws, 11);
    EXPECT_LE(redraws, 102);
    EXPECT_TRUE(text.ends_with("\r\x1b[K"));
    EXPECT_NE(text.find("100% "), std::string::npos);
}

TEST(LanguageOfLocale, FirstSetVariableDecides)
{
    struct TCase
    {
        const char* LcAll;
        const char* LcMessages;
        const char* Lang;
        TLanguage Language;
    };
    const TCase cases[] = {
        {nullptr, nullptr, "ja_JP.UTF-8", TLanguage::Japanese},
        {nullptr, nullptr, "ja", TLanguage::Japanese},
        {"", "", "ja_JP.eucJP", TLanguage::Japanese},
        {nullptr, "ja_JP.UTF-8", "C", TLanguage::Japanese},
        {"C", nullptr, "ja_JP.UTF-8", TLanguage::English},
        {"en_US.UTF-8", "ja_JP.UTF-8", nullptr, TLanguage::English},
        {nullptr, nullptr, "jav_ID", TLanguage::English},
        {nullptr, nullptr, nullptr, TLanguage::English},
    };
    for (const TCase& each : cases) {
        SCOPED_TRACE(std::string(each.LcAll ? each.LcAll : "-") + "/" +
                     (each.LcMessages ? each.LcMessages : "-") + "/" +
                     (each.Lang ? each.Lang : "-"));
        EXPECT_EQ(LanguageOfLocale(each.LcAll, each.LcMessages, each.Lang), each.Language);
    }
}

// The command-line reader, read against a small table of options.
#include "cli/CommandLine.h"

#include <array>

#include <gtest/gtest.h>

using namespace tolvane::cli;
using tolvane::base::TLanguage;

namespace {

std::optional<std::string> CheckNotX(std::string_view value)
{
    return value == "x" ? std::optional<std::string>("--size: x refused") : std::nullopt;
}

constexpr std::array kCommands{
    TCommand{"run", "SRC DST", {"", ""}, 2, 2},
    TCommand{"list", "", {"", ""}, 0, 0},
};

constexpr std::array kOptions{
    TOption{"dir", 0, "DIR", kGlobal, {"", ""}},
    TOption{"quiet", 'q', "", kGlobal, {"", ""}},
    TOption{"help", 'h', "", kGlobal, {"", ""}, nullptr, nullptr, true},
    TOption{"size", 's', "N", CommandBit(0), {"", "the size"}, CheckNotX},
    TOption{"all", 0, "", CommandBit(1), {"", "every one"}},
};

const TProgram kProgram{"prog", kCommands, kOptions, {"", "Usage: prog"}, {"", ""}};

class CommandLineTest : public ::testing::Test
{
protected:
    void SetUp() override { tolvane::base::SetMessageLanguage(TLanguage::English); }
    void TearDown() override { tolvane::base::SetMessageLanguage(TLanguage::Japanese); }

    static TArgs Parse(std::vector<std::string> args) { return ParseArgs(kProgram, args); }
};

} // namespace

TEST_F(CommandLineTest, OptionFormsAnywhereAndOperands)
{
    const TArgs args = Parse({"--dir=/d", "-q", "run", "--size", "3", "--", "--all", "-"});
    EXPECT_EQ(args.Command, 0);
    EXPECT_EQ(args.Value("dir"), "/d");
    EXPECT_TRUE(args.Has("quiet"));
    EXPECT_EQ(args.Value("size"), "3");
    EXPECT_FALSE(args.Has("all"));
    EXPECT_EQ(args.Operands, (std::vector<std::string>{"--all", "-"}));

    const TArgs more = Parse({"run", "-s7", "a", "b", "--dir", "x", "--dir=", "--quiet"});
    EXPECT_EQ(more.Value("size"), "7");
    EXPECT_EQ(more.Value("dir"), ""); // the last value given wins
    EXPECT_TRUE(more.Has("quiet"));
    EXPECT_EQ(more.Operands, (std::vector<std::string>{"a", "b"}));
}

TEST_F(CommandLineTest, UsageErrorsSayWhatAndWhere)
{
    struct TCase
    {
        std::vector<std::string> Args;
        std::string_view Message;
        int Command;
    };
    const TCase cases[] = {
        {{"run", "a", "b", "--bogus"}, "unknown option: --bogus", 0},
        {{"run", "a", "b", "--bogus=1"}, "unknown option: --bogus", 0},
        {{"run", "a", "b", "-qh"}, "unknown option: -qh", 0},
        {{"run", "a", "b", "--size"}, "--size needs a value: N", 0},
        {{"run", "a", "b", "--quiet=yes"}, "--quiet takes no value", 0},
        {{"run", "a", "b", "--size=x"}, "--size: x refused", 0},
        {{"--size", "1", "run", "a", "b"}, "--size belongs after the command", -1},
        {{"run", "a", "b", "--all"}, "--all is not an option of run", 0},
        {{"walk"}, "unknown command: walk", -1},
        {{"--dir", "d"}, "no command given", -1},
        {{"run", "a"}, "missing arguments: run SRC DST", 0},
        {{"list", "a"}, "unexpected argument: a", 1},
    };
    for (const TCase& each : cases) {
        SCOPED_TRACE(each.Message);
        try {
            Parse(each.Args);
            ADD_FAILURE() << "no error";
        } catch (const TUsageError& e) {
            EXPECT_EQ(e.what(), each.Message);
            EXPECT_EQ(e.Command, each.Command);
        }
    }
    EXPECT_EQ(UsageErrorText(kProgram, TUsageError("unknown option: --x", 0)),
              "prog: unknown option: --x\nTry 'prog run --help' for more information.\n");
}

TEST_F(CommandLineTest, CommandHelpListsItsOwnAndTheGlobalOptions)
{
    const std::string help = HelpText(kProgram, 0);
    EXPECT_NE(help.find("Usage: prog run [options] SRC DST\n"), std::string::npos) << help;
    EXPECT_NE(help.find("  -s, --size N  the size\n"), std::string::npos) << help;
    EXPECT_NE(help.find("      --dir DIR"), std::string::npos) << help;
    EXPECT_EQ(help.find("--all"), std::string::npos) << help;
    EXPECT_NE(HelpText(kProgram, -1).find("  run "), std::string::npos);
}

TEST_F(CommandLineTest, AnOptionNotInTheTableIsAProgrammingError)
{
    EXPECT_THROW(Parse({"list"}).Has("quit"), std::logic_error);
}

// The command line of our programs, read from one table of options: "--opt value" and
// "--opt=value", short switches, "--" ending the options, global options before or after the
// command, and the help built from the same table.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "base/uniMessages.h"

namespace tolvane::cli {

/// Checks an option's value: nullopt when it is good, else why not (one line, in the current
/// language, naming the option and the value).
using TValueCheck = std::optional<std::string> (*)(std::string_view value);

/// The commands an option belongs to, one bit per command of TProgram::Commands. A global
/// option belongs to every command and may also come before the command.
using TCommandSet = std::uint32_t;
inline constexpr TCommandSet kGlobal = ~TCommandSet{0};

constexpr TCommandSet CommandBit(int command)
{
    return TCommandSet{1} << command;
}

/// One option: adding a row to a program's table is all the parser and the help need.
struct TOption
{
    std::string_view Long;  ///< "item" for --item
    char Short = 0;         ///< 'q' for -q; 0 for none
    std::string_view Value; ///< the value's name in the help ("DIR"); empty for a switch
    TCommandSet Commands = kGlobal;
    base::TMessage Help;                ///< one line; a "%s" is replaced by HelpArg()
    TValueCheck Check = nullptr;        ///< runs on every value given
    std::string (*HelpArg)() = nullptr; ///< fills the help's "%s"
    bool Final = false; ///< --help, --version: when given, the command and operands are not checked
};

/// One command of a program ("convert").
struct TCommand
{
    std::string_view Name;
    std::string_view Operands; ///< the operands in the help ("SRC DST")
    base::TMessage Summary;
    std::size_t MinOperands = 0;
    std::size_t MaxOperands = 0;
    base::TMessage Details{}; ///< lines that close the command's help; may be empty
};

/// A program's command line.
struct TProgram
{
    std::string_view Name;              ///< "tolvane-cli"
    std::span<const TCommand> Commands; ///< empty: a program without commands
    std::span<const TOption> Options;
    base::TMessage Usage;        ///< the lines that open the program's help
    base::TMessage Footer;       ///< the lines that close it; may be empty
    std::size_t MinOperands = 0; ///< of a program without commands
    std::size_t MaxOperands = 0;
};

/// A command line that does not fit the program. `Command` is the command given before the
/// fault (-1 for none), so that the hint names its help.
class TUsageError : public std::runtime_error
{
public:
    TUsageError(const std::string& message, int command)
        : std::runtime_error(message), Command(command)
    {
    }
    int Command;
};

/// The command line as read.
class TArgs
{
public:
    explicit TArgs(const TProgram& program);

    int Command = -1; ///< an index into the program's commands; -1 for none
    std::vector<std::string> Operands;

    /// Whether `option` (its long name) was given.
    bool Has(std::string_view option) const;
    /// The last value given for `option`; "" for a switch given. `option` must be in the table.
    std::optional<std::string> Value(std::string_view option) const;
    /// Records a value of the option at `index` of the table.
    void Set(std::size_t index, std::string value);

private:
    std::size_t IndexOf(std::string_view option) const;

    const TProgram* m_program;
    std::vector<std::optional<std::string>> m_values;
};

/// Reads `args` (without the program's name). Options may come anywhere among the operands;
/// after "--" everything is an operand; "-" is an operand. Raises TUsageError for an unknown
/// option or command, an option of another command, a missing or refused value, a switch given
/// a value, no command, or too few or too many operands (the last two unless a Final option
/// was given).
TArgs ParseArgs(const TProgram& program, std::span<const std::string> args);

/// The help of the program (command -1) or of one command.
std::string HelpText(const TProgram& program, int command);

/// What a usage error prints: "<program>: <message>" and a line naming the help to read.
std::string UsageErrorText(const TProgram& program, const TUsageError& error);

} // namespace tolvane::cli

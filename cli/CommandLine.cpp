// The command line of our programs, read from one table of options.
#include "cli/CommandLine.h"

#include <algorithm>

#include "cli/CliMessages.h"

namespace tolvane::cli {

using base::FormatMessage;

namespace {

bool BelongsTo(const TOption& option, int command)
{
    return option.Commands == kGlobal ||
           (command >= 0 && (option.Commands & CommandBit(command)) != 0);
}

// "--item", or "-q" for an option that has only a short form.
std::string Spelling(const TOption& option)
{
    return option.Long.empty() ? std::string{'-', option.Short} : "--" + std::string(option.Long);
}

const TOption* FindLong(const TProgram& program, std::string_view name, std::size_t& index)
{
    for (std::size_t i = 0; i < program.Options.size(); ++i) {
        if (!name.empty() && program.Options[i].Long == name) {
            index = i;
            return &program.Options[i];
        }
    }
    return nullptr;
}

const TOption* FindShort(const TProgram& program, char name, std::size_t& index)
{
    for (std::size_t i = 0; i < program.Options.size(); ++i) {
        if (program.Options[i].Short != 0 && program.Options[i].Short == name) {
            index = i;
            return &program.Options[i];
        }
    }
    return nullptr;
}

// The reader of one command line; throws TUsageError.
class TReader
{
public:
    TReader(const TProgram& program, std::span<const std::string> args)
        : m_program(program), m_args(args), m_result(program)
    {
    }

    TArgs Read()
    {
        bool optionsEnded = false;
        while (m_next < m_args.size()) {
            const std::string& arg = m_args[m_next++];
            if (!optionsEnded && arg == "--") {
                optionsEnded = true;
            } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
                ReadOption(arg);
            } else if (!m_program.Commands.empty() && m_result.Command < 0) {
                ReadCommand(arg);
            } else {
                m_result.Operands.push_back(arg);
            }
        }
        if (!m_final) {
            CheckOperands();
        }
        return std::move(m_result);
    }

private:
    [[noreturn]] void Fail(const std::string& message) const
    {
        throw TUsageError(message, m_result.Command);
    }

    void ReadCommand(const std::string& arg)
    {
        for (std::size_t i = 0; i < m_program.Commands.size(); ++i) {
            if (m_program.Commands[i].Name == arg) {
                m_result.Command = static_cast<int>(i);
                return;
            }
        }
        Fail(FormatMessage(kMsgUnknownCommand, {arg}));
    }

    void ReadOption(const std::string& arg)
    {
        std::size_t index = 0;
        const TOption* option = nullptr;
        std::optional<std::string> inlineValue;
        if (arg.starts_with("--")) {
            const std::size_t equals = arg.find('=');
            option = FindLong(m_program, std::string_view(arg).substr(2, equals - 2), index);
            if (equals != std::string::npos) {
                inlineValue = arg.substr(equals + 1);
            }
        } else {
            option = FindShort(m_program, arg[1], index);
            if (option != nullptr && arg.size() > 2) {
                if (option->Value.empty()) {
                    option = nullptr; // no bundled switches: "-qh" is not an option of ours
                } else {
                    inlineValue = arg.substr(2);
                }
            }
        }
        const std::string name =
            option != nullptr ? Spelling(*option) : arg.substr(0, arg.find('='));
        if (option == nullptr) {
            Fail(FormatMessage(kMsgUnknownOption, {name}));
        }
        if (!m_program.Commands.empty() && !BelongsTo(*option, m_result.Command)) {
            if (m_result.Command < 0) {
                Fail(FormatMessage(kMsgOptionAfterCommand, {name}));
            }
            Fail(FormatMessage(
                kMsgNotAnOptionOf,
                {name, m_program.Commands[static_cast<std::size_t>(m_result.Command)].Name}));
        }
        std::string value;
        if (option->Value.empty()) {
            if (inlineValue) {
                Fail(FormatMessage(kMsgTakesNoValue, {name}));
            }
        } else if (inlineValue) {
            value = std::move(*inlineValue);
        } else if (m_next < m_args.size()) {
            value = m_args[m_next++];
        } else {
            Fail(FormatMessage(kMsgNeedsValue, {name, option->Value}));
        }
        if (option->Check != nullptr) {
            if (const auto problem = option->Check(value)) {
                Fail(*problem);
            }
        }
        m_final = m_final || option->Final;
        m_result.Set(index, std::move(value));
    }

    void CheckOperands() const
    {
        std::string_view synopsis;
        std::size_t min = m_program.MinOperands;
        std::size_t max = m_program.MaxOperands;
        std::string who(m_program.Name);
        if (!m_program.Commands.empty()) {
            if (m_result.Command < 0) {
                Fail(std::string(kMsgNoCommand.Text()));
            }
            const TCommand& command =
                m_program.Commands[static_cast<std::size_t>(m_result.Command)];
            synopsis = command.Operands;
            min = command.MinOperands;
            max = command.MaxOperands;
            who = command.Name;
        }
        if (m_result.Operands.size() < min) {
            Fail(FormatMessage(kMsgMissingOperands, {who + " " + std::string(synopsis)}));
        }
        if (m_result.Operands.size() > max) {
            Fail(FormatMessage(kMsgSurplusOperand, {m_result.Operands[max]}));
        }
    }

    const TProgram& m_program;
    std::span<const std::string> m_args;
    std::size_t m_next = 0;
    TArgs m_result;
    bool m_final = false;
};

// The options of `command` (or the global ones), one per line, their forms in one column.
void AppendOptions(std::string& out, const TProgram& program, bool global, int command)
{
    std::vector<std::pair<std::string, std::string>> rows;
    for (const TOption& option : program.Options) {
        const bool isGlobal = option.Commands == kGlobal;
        if (global ? !isGlobal : (isGlobal || !BelongsTo(option, command))) {
            continue;
        }
        std::string form = option.Short != 0 ? std::string{'-', option.Short} : "  ";
        if (!option.Long.empty()) {
            form += (option.Short != 0 ? ", --" : "  --") + std::string(option.Long);
        }
        if (!option.Value.empty()) {
            form += " " + std::string(option.Value);
        }
        std::string help = option.HelpArg != nullptr
                               ? FormatMessage(option.Help, {option.HelpArg()})
                               : std::string(option.Help.Text());
        rows.emplace_back(std::move(form), std::move(help));
    }
    std::size_t width = 0;
    for (const auto& row : rows) {
        width = std::max(width, row.first.size());
    }
    for (const auto& [form, help] : rows) {
        out += "  " + form + std::string(width - form.size() + 2, ' ') + help + "\n";
    }
}

} // namespace

TArgs::TArgs(const TProgram& program) : m_program(&program), m_values(program.Options.size()) {}

std::size_t TArgs::IndexOf(std::string_view option) const
{
    std::size_t index = 0;
    if (FindLong(*m_program, option, index) == nullptr) {
        throw std::logic_error("no option --" + std::string(option) + " in the table");
    }
    return index;
}

bool TArgs::Has(std::string_view option) const
{
    return m_values[IndexOf(option)].has_value();
}

std::optional<std::string> TArgs::Value(std::string_view option) const
{
    return m_values[IndexOf(option)];
}

void TArgs::Set(std::size_t index, std::string value)
{
    m_values.at(index) = std::move(value);
}

TArgs ParseArgs(const TProgram& program, std::span<const std::string> args)
{
    return TReader(program, args).Read();
}

std::string HelpText(const TProgram& program, int command)
{
    std::string out;
    if (command < 0 || program.Commands.empty()) {
        out += std::string(program.Usage.Text()) + "\n";
        if (!program.Commands.empty()) {
            out += "\n" + std::string(kMsgHelpCommands.Text()) + "\n";
            std::size_t width = 0;
            for (const TCommand& each : program.Commands) {
                width = std::max(width, each.Name.size());
            }
            for (const TCommand& each : program.Commands) {
                out += "  " + std::string(each.Name) +
                       std::string(width - each.Name.size() + 2, ' ') +
                       std::string(each.Summary.Text()) + "\n";
            }
        }
        out += "\n" +
               std::string(program.Commands.empty() ? kMsgHelpOptions.Text()
                                                    : kMsgHelpGlobalOptions.Text()) +
               "\n";
        AppendOptions(out, program, true, -1);
        if (!program.Footer.Text().empty()) {
            out += "\n" + std::string(program.Footer.Text()) + "\n";
        }
        return out;
    }
    const TCommand& each = program.Commands[static_cast<std::size_t>(command)];
    out += FormatMessage(kMsgHelpUsage,
                         {std::string(program.Name) + " " + std::string(each.Name) + " " +
                          std::string(kMsgHelpOptionsWord.Text()) +
                          (each.Operands.empty() ? "" : " ") + std::string(each.Operands)}) +
           "\n" + std::string(each.Summary.Text()) + "\n";
    std::string own;
    AppendOptions(own, program, false, command);
    if (!own.empty()) {
        out += "\n" + std::string(kMsgHelpOptions.Text()) + "\n" + own;
    }
    out += "\n" + std::string(kMsgHelpGlobalOptions.Text()) + "\n";
    AppendOptions(out, program, true, command);
    if (!each.Details.Text().empty()) {
        out += "\n" + std::string(each.Details.Text()) + "\n";
    }
    return out;
}

std::string UsageErrorText(const TProgram& program, const TUsageError& error)
{
    std::string help(program.Name);
    if (error.Command >= 0 && static_cast<std::size_t>(error.Command) < program.Commands.size()) {
        help += " " + std::string(program.Commands[static_cast<std::size_t>(error.Command)].Name);
    }
    return std::string(program.Name) + ": " + error.what() + "\n" +
           FormatMessage(kMsgHelpHint, {help}) + "\n";
}

} // namespace tolvane::cli

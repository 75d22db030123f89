// Numbers of definition files.
#include "base/DefLines.h"

#include "base/AppError.h"
#include "base/uniFields.h"
#include "base/uniMessages.h"
#include "base/uniNumbers.h"

namespace tolvane::base {

namespace {

[[noreturn]] void RethrowWithPlace(TAppError& error, const TDefLines& defs, std::size_t lineIndex)
{
    error.SetPlace(defs.FileName, static_cast<std::int64_t>(lineIndex) + 1);
    throw;
}

} // namespace

std::int32_t ReadDefInteger(const TDefLines& defs, std::size_t lineIndex)
{
    if (lineIndex >= defs.size()) {
        TDataError error(FormatMessage(kMsgListIndex, {std::to_string(lineIndex)}));
        error.SetPlace(defs.FileName, 0);
        throw error;
    }
    try {
        return StrToInt(defs[lineIndex]);
    } catch (TAppError& error) {
        RethrowWithPlace(error, defs, lineIndex);
    }
}

std::int32_t ReadDefField(const TDefLines& defs, std::size_t lineIndex, int field)
{
    try {
        return StrToInt(GetField(defs[lineIndex], field, ','));
    } catch (TAppError& error) {
        RethrowWithPlace(error, defs, lineIndex);
    }
}

} // namespace tolvane::base

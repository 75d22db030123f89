// Definition files of a data item.
#include "driver/ItemDefs.h"

#include "base/AppError.h"
#include "base/uniCodePage.h"
#include "base/uniFields.h"
#include "base/uniMessages.h"
#include "base/uniNumbers.h"
#include "base/uniPaths.h"
#include "base/uniTextFile.h"

namespace tolvane::driver {

using namespace tolvane::base;

TDefLines LoadDefLines(const std::filesystem::path& defineDir, std::string_view sjisName)
{
    std::filesystem::path path = defineDir;
    if (!sjisName.empty()) {
        const std::filesystem::path name = SjisToPath(sjisName);
        if (!IsPlainFileName(name)) {
            throw TDataError(FormatMessage(kMsgDefineNameNotPlain, {SjisToUtf8(sjisName)}));
        }
        path /= name;
    }
    TDefLines defs;
    defs.FileName = PathToUtf8(path);
    defs.Lines = LoadLines(path);
    return defs;
}

void LoadItemDefinitions(const std::filesystem::path& defineDir, std::string_view paramFile,
                         std::string_view columnFile, TDefLines& paramLines,
                         TDefLines& columnDefLines)
{
    paramLines = TDefLines{};
    paramLines = LoadDefLines(defineDir, paramFile);
    columnDefLines = TDefLines{};
    columnDefLines = LoadDefLines(defineDir, columnFile);
}

TDefLines LoadLedgerDefinitions(const std::filesystem::path& defineDir, std::string_view ledgerFile)
{
    return LoadDefLines(defineDir, ledgerFile);
}

shapes::TSFColumns BuildColumns(const TDefLines& columnDefLines)
{
    shapes::TSFColumns columns(columnDefLines.size());
    for (std::size_t i = 0; i < columnDefLines.size(); ++i) {
        shapes::TSFColumn& column = columns[i];
        column.Name = GetField(columnDefLines[i], 1, ',');
        const std::string type = LowerAscii(TrimBlanks(GetField(columnDefLines[i], 2, ',')));
        column.ColType = shapes::TColType::Char;
        if (type == "integer") {
            column.ColType = shapes::TColType::Integer;
        } else if (type == "float") {
            column.ColType = shapes::TColType::Float;
        } else if (type == "date") {
            column.ColType = shapes::TColType::Date;
        } else if (type == "logical") {
            column.ColType = shapes::TColType::Logical;
        }
        column.Width = type == "schar" ? 20 : 100;
    }
    return columns;
}

std::string_view ColumnValue(std::string_view record, const TDefLines& defs, std::size_t lineIndex)
{
    const std::int32_t start = ReadDefField(defs, lineIndex, 3);
    const std::int32_t length = ReadDefField(defs, lineIndex, 4);
    return SubStr(record, start, length, true);
}

} // namespace tolvane::driver

// Definition files of a data item.
#include "convert/ItemDefs.h"

#include "convert/AppError.h"
#include "convert/uniCodePage.h"
#include "convert/uniFields.h"
#include "convert/uniMessages.h"
#include "convert/uniNumbers.h"
#include "convert/uniTextFile.h"
#include "mif/uniMifUtils.h"

namespace tolvane::convert {

TDefLines LoadDefLines(const std::filesystem::path& defineDir, std::string_view sjisName)
{
    std::filesystem::path path = defineDir;
    if (!sjisName.empty()) {
        path /= SjisToPath(sjisName);
    }
    TDefLines defs;
    defs.FileName = path.string();
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

mif::TSFColumns BuildColumns(const TDefLines& columnDefLines)
{
    mif::TSFColumns columns(columnDefLines.size());
    for (std::size_t i = 0; i < columnDefLines.size(); ++i) {
        mif::TSFColumn& column = columns[i];
        column.Name = GetField(columnDefLines[i], 1, ',');
        const std::string type = LowerAscii(TrimBlanks(GetField(columnDefLines[i], 2, ',')));
        column.ColType = mif::TColType::Char;
        if (type == "integer") {
            column.ColType = mif::TColType::Integer;
        } else if (type == "float") {
            column.ColType = mif::TColType::Float;
        } else if (type == "date") {
            column.ColType = mif::TColType::Date;
        } else if (type == "logical") {
            column.ColType = mif::TColType::Logical;
        }
        column.Width = type == "schar" ? 20 : 100;
    }
    return columns;
}

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

std::string_view ColumnValue(std::string_view record, const TDefLines& defs, std::size_t lineIndex)
{
    const std::int32_t start = ReadDefField(defs, lineIndex, 3);
    const std::int32_t length = ReadDefField(defs, lineIndex, 4);
    return SubStr(record, start, length, true);
}

TColumnSlices::TColumnSlices(const TDefLines& defs, std::size_t firstLine)
    : m_defs(defs), m_firstLine(firstLine)
{
}

const std::vector<TColumnSlice>& TColumnSlices::Slices()
{
    if (!m_parsed) {
        m_slices.clear();
        for (std::size_t i = m_firstLine; i < m_defs.size(); ++i) {
            TColumnSlice slice;
            slice.Start = ReadDefField(m_defs, i, 3);
            slice.Length = ReadDefField(m_defs, i, 4);
            m_slices.push_back(slice);
        }
        m_parsed = true;
    }
    return m_slices;
}

void TColumnSlices::AppendRow(std::string_view record, std::string& row, std::int64_t offset,
                              bool leadingComma)
{
    bool first = !leadingComma;
    for (const TColumnSlice& slice : Slices()) {
        if (!first) {
            row.push_back(',');
        }
        first = false;
        mif::AppendMidValue(row, SubStr(record, slice.Start + offset, slice.Length, true));
    }
}

} // namespace tolvane::convert

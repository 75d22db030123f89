// Text and paths between the core and Qt.
#include "app/uniQtText.h"

#include "base/AppError.h"
#include "base/uniCodePage.h"
#include "base/uniPaths.h"

namespace tolvane::app {

QString Utf8ToQString(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QString ErrorText(const std::exception& error)
{
    return Utf8ToQString(base::DescribeError(error));
}

QString SjisToQString(std::string_view sjis)
{
    return Utf8ToQString(base::SjisToUtf8(sjis));
}

std::filesystem::path ToPath(const QString& path)
{
    return base::Utf8ToPath(path.toStdString());
}

QString PathToQString(const std::filesystem::path& path)
{
    return Utf8ToQString(base::PathToUtf8(path));
}

QString TrimBlanks(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first).unicode() <= 0x20) {
        ++first;
    }
    while (last > first && text.at(last - 1).unicode() <= 0x20) {
        --last;
    }
    return text.mid(first, last - first);
}

QString ChangeFileExt(const QString& path, std::string_view ext)
{
    return Utf8ToQString(base::ChangeFileExt(std::string_view(path.toStdString()), ext));
}

} // namespace tolvane::app

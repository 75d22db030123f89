// The program's images and its font.
#include "app/AppResources.h"

#include <QFontDatabase>
#include <QStringList>

// Resources compiled into a static library must be registered by hand.
static void InitAppResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace tolvane::app {

namespace {

void EnsureResources()
{
    static const bool done = [] {
        InitAppResources();
        return true;
    }();
    (void)done;
}

} // namespace

const QList<QIcon>& ImageList1()
{
    EnsureResources();
    static const QList<QIcon> images = {
        QIcon(QStringLiteral(":/images/converted.png")),
        QIcon(QStringLiteral(":/images/failed.png")),
        QIcon(QStringLiteral(":/images/dataitem.png")),
        QIcon(QStringLiteral(":/images/category.png")),
    };
    return images;
}

QIcon ProgramIcon()
{
    EnsureResources();
    return QIcon(QStringLiteral(":/images/tolvane.png"));
}

QFont JapaneseGothicFont()
{
    // IPAGothic has the metrics closest to the layout's pixel grid; Noto Sans CJK JP is taller.
    static const QStringList candidates = {
        QStringLiteral("ＭＳ Ｐゴシック"),  QStringLiteral("MS PGothic"),
        QStringLiteral("IPAGothic"),        QStringLiteral("IPAPGothic"),
        QStringLiteral("Noto Sans CJK JP"), QStringLiteral("VL Gothic"),
        QStringLiteral("TakaoPGothic"),
    };
    const QStringList installed = QFontDatabase::families();
    QFont font;
    for (const QString& family : candidates) {
        if (installed.contains(family)) {
            font.setFamily(family);
            break;
        }
    }
    font.setPixelSize(12);
    return font;
}

} // namespace tolvane::app

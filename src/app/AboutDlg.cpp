// The About box.
#include "app/AboutDlg.h"

#include <QLabel>
#include <QPushButton>
#include <QUrl>

#include "app/AppResources.h"
#include "app/UiServices.h"

namespace tolvane::app {

namespace {

// Client size of the box: 361 wide; 214 pixels outside less the caption and a dialog frame.
constexpr int kClientWidth = 361;
constexpr int kClientHeight = 180;

QLabel* AddLabel(QWidget* parent, const char* name, const QString& text, int left, int top)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(left, top);
    label->adjustSize();
    return label;
}

QLabel* AddLink(QWidget* parent, TUiServices& ui, const char* name, const QString& text,
                const QUrl& url, int left, int top)
{
    QLabel* label =
        AddLabel(parent, name,
                 QStringLiteral("<a href=\"") + url.toString().toHtmlEscaped() +
                     QStringLiteral("\">") + text.toHtmlEscaped() + QStringLiteral("</a>"),
                 left, top);
    label->setTextFormat(Qt::RichText);
    label->setToolTip(url.toString());
    label->setCursor(Qt::PointingHandCursor);
    QObject::connect(label, &QLabel::linkActivated, label,
                     [&ui](const QString& link) { ui.OpenUrl(QUrl(link)); });
    return label;
}

} // namespace

TdlgAbout::TdlgAbout(TUiServices& ui, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("dlgAbout"));
    setWindowTitle(QStringLiteral("バージョン情報"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFont(JapaneseGothicFont());
    setFixedSize(kClientWidth, kClientHeight);

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("imgProgramIcon"));
    icon->setPixmap(ProgramIcon().pixmap(32, 32));
    icon->setGeometry(64, 16, 32, 32);
    AddLabel(this, "lblTitle", QStringLiteral("Tolvane Converter"), 104, 16);
    lblVersion = AddLabel(this, "lblVersion", QStringLiteral("Version "), 104, 32);

    // The publisher's lines.
    auto* logo = new QLabel(this);
    logo->setObjectName(QStringLiteral("imgLogo"));
    logo->setPixmap(ImageList1().at(2).pixmap(16, 16));
    logo->setGeometry(32, 82, 16, 16);
    AddLabel(this, "lblPublisher", QStringLiteral("Tolvane Converter チーム"), 56, 80);
    AddLabel(this, "lblNotice",
             QStringLiteral("国土数値情報のデータは国土交通省が公開しています。"), 56, 96);
    AddLink(this, ui, "lblWeb", QStringLiteral("国土数値情報ダウンロードサービス"),
            QUrl(QStringLiteral("https://nlftp.mlit.go.jp/ksj/")), 56, 112);
    AddLink(this, ui, "lblMail", QStringLiteral("support@tolvane.example"),
            QUrl(QStringLiteral("mailto:support@tolvane.example")), 56, 128);

    auto* button = new QPushButton(QStringLiteral("OK"), this);
    button->setObjectName(QStringLiteral("Button1"));
    button->setGeometry(144, 152, 75, 21);
    button->setDefault(true);
    button->setAutoDefault(true);
    connect(button, &QPushButton::clicked, this, &TdlgAbout::Button1Click);
}

void TdlgAbout::Button1Click()
{
    accept();
}

} // namespace tolvane::app

// The help window.
#include "app/Help.h"

#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

#include "app/AppResources.h"
#include "app/uniQtText.h"
#include "base/uniPaths.h"

namespace tolvane::app {

QString DefaultHelpDir()
{
    return PathToQString(
        base::FindDataFolder(base::kHelpFolder, base::ProcessDataSearch(base::kHelpFolder)));
}

THelpWindow::THelpWindow(const QString& helpDir, QWidget* parent)
    : QWidget(parent, Qt::Window), m_helpDir(helpDir)
{
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("Tolvane Converter ヘルプ"));
    setWindowIcon(ProgramIcon());
    setFont(JapaneseGothicFont());
    // The help window never keeps the program running on its own.
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(780, 540);

    auto* left = new QWidget(this);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    auto* searchLabel = new QLabel(QStringLiteral("キーワード(&K):"), left);
    m_search = new QLineEdit(left);
    m_search->setObjectName(QStringLiteral("edtSearch"));
    m_search->setPlaceholderText(QStringLiteral("検索する語を入力"));
    m_search->setClearButtonEnabled(true);
    searchLabel->setBuddy(m_search);
    m_list = new QListWidget(left);
    m_list->setObjectName(QStringLiteral("lstTopics"));
    m_notFound = new QLabel(QStringLiteral("見つかりません"), left);
    m_notFound->setObjectName(QStringLiteral("lblNotFound"));
    m_notFound->hide();
    leftLayout->addWidget(searchLabel);
    leftLayout->addWidget(m_search);
    leftLayout->addWidget(m_notFound);
    leftLayout->addWidget(new QLabel(QStringLiteral("トピック:"), left));
    leftLayout->addWidget(m_list);

    m_page = new QTextBrowser(this);
    m_page->setObjectName(QStringLiteral("txtPage"));
    m_page->setOpenExternalLinks(true);
    m_page->setSearchPaths({m_helpDir});

    auto* splitter = new QSplitter(this);
    splitter->addWidget(left);
    splitter->addWidget(m_page);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({220, 560});
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(splitter);

    // Esc closes the help window, as it closes a dialog.
    auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(close, &QShortcut::activated, this, &QWidget::close);

    connect(m_search, &QLineEdit::textChanged, this, [this](const QString& text) { Search(text); });
    connect(m_search, &QLineEdit::returnPressed, this, [this] { Search(m_search->text()); });
    connect(m_list, &QListWidget::currentRowChanged, this, [this](int) { ShowSelectedTopic(); });
    // A link to another page selects that page's topic.
    connect(m_page, &QTextBrowser::sourceChanged, this, [this](const QUrl& url) {
        const QString file = url.fileName();
        for (int row = 0; row < m_list->count(); ++row) {
            const int index = m_list->item(row)->data(Qt::UserRole).toInt();
            if (m_topics.at(static_cast<std::size_t>(index)).File == file) {
                m_current = index;
                const QSignalBlocker blocker(m_list);
                m_list->setCurrentRow(row);
                break;
            }
        }
    });

    LoadTopics();
    if (m_topics.empty()) {
        m_page->setPlainText(QStringLiteral("ヘルプのページが見つかりません: ") +
                             QDir::toNativeSeparators(m_helpDir));
    } else {
        ShowTopic(0);
    }
}

void THelpWindow::LoadTopics()
{
    static const QRegularExpression titlePattern(
        QStringLiteral("<title>(.*?)</title>"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const QDir dir(m_helpDir);
    const QStringList files =
        dir.entryList({QStringLiteral("*.html")}, QDir::Files | QDir::Readable, QDir::Name);
    for (const QString& file : files) {
        QFile page(dir.filePath(file));
        if (!page.open(QIODevice::ReadOnly)) {
            continue;
        }
        const QString html = QString::fromUtf8(page.readAll());
        TTopic topic;
        topic.File = file;
        const QRegularExpressionMatch title = titlePattern.match(html);
        topic.Title = title.hasMatch() ? title.captured(1).trimmed() : file;
        QTextDocument document;
        document.setHtml(html);
        topic.Text = document.toPlainText();
        m_topics.push_back(topic);
        auto* item = new QListWidgetItem(topic.Title, m_list);
        item->setData(Qt::UserRole, static_cast<int>(m_topics.size() - 1));
    }
}

QStringList THelpWindow::TopicTitles() const
{
    QStringList titles;
    for (const TTopic& topic : m_topics) {
        titles.append(topic.Title);
    }
    return titles;
}

QStringList THelpWindow::Search(const QString& keyword)
{
    const QString word = keyword.trimmed();
    QStringList found;
    int first = -1;
    for (int row = 0; row < m_list->count(); ++row) {
        QListWidgetItem* item = m_list->item(row);
        const TTopic& topic =
            m_topics.at(static_cast<std::size_t>(item->data(Qt::UserRole).toInt()));
        const bool match = word.isEmpty() || topic.Title.contains(word, Qt::CaseInsensitive) ||
                           topic.Text.contains(word, Qt::CaseInsensitive);
        item->setHidden(!match);
        if (match) {
            found.append(topic.Title);
            if (first < 0) {
                first = row;
            }
        }
    }
    m_notFound->setVisible(first < 0 && !word.isEmpty());
    if (first < 0 && !word.isEmpty()) {
        // Nothing to show: no topic stays selected, and no page keeps an old mark.
        {
            const QSignalBlocker blocker(m_list);
            m_list->setCurrentRow(-1);
        }
        m_current = -1;
        m_page->setPlainText(QStringLiteral("「") + word +
                             QStringLiteral("」を含むトピックは見つかりません。"));
    }
    if (first >= 0) {
        if (m_list->currentRow() != first) {
            m_list->setCurrentRow(first);
        } else {
            ShowSelectedTopic();
        }
        if (!word.isEmpty()) {
            m_page->moveCursor(QTextCursor::Start);
            m_page->find(word);
        }
    }
    return found;
}

void THelpWindow::ShowTopic(int index)
{
    if (index >= 0 && index < m_list->count()) {
        m_list->setCurrentRow(index);
        ShowSelectedTopic();
    }
}

void THelpWindow::ShowSelectedTopic()
{
    const QListWidgetItem* item = m_list->currentItem();
    if (item == nullptr) {
        return;
    }
    const int index = item->data(Qt::UserRole).toInt();
    if (index == m_current) {
        return;
    }
    m_current = index;
    const QUrl page = QUrl::fromLocalFile(
        QDir(m_helpDir).filePath(m_topics.at(static_cast<std::size_t>(index)).File));
    if (m_page->source() == page) {
        m_page->reload(); // the page was replaced by a "not found" text meanwhile
    } else {
        m_page->setSource(page);
    }
}

QString THelpWindow::CurrentTitle() const
{
    return m_current < 0 ? QString() : m_topics.at(static_cast<std::size_t>(m_current)).Title;
}

} // namespace tolvane::app

// The help window: the program's HTML help pages with a topic list and a keyword search.
#pragma once

#include <vector>

#include <QString>
#include <QStringList>
#include <QWidget>

class QLabel;
class QLineEdit;
class QListWidget;
class QTextBrowser;

namespace tolvane::app {

/// The folder of the help pages: $TOLVANE_HELP, else the installed share/tolvane/help, else help
/// beside the executable. Raises base::TFileError naming every place tried when none exists.
QString DefaultHelpDir();

class THelpWindow : public QWidget
{
    Q_OBJECT

public:
    /// Shows the pages "*.html" of `helpDir`, listed in file-name order by their titles.
    explicit THelpWindow(const QString& helpDir, QWidget* parent = nullptr);

    /// Titles of every topic, in list order.
    QStringList TopicTitles() const;
    /// Lists only the topics whose title or text holds `keyword` (any letter case; empty lists
    /// all), shows the first of them with the keyword marked, and returns their titles. When
    /// none holds it, says "見つかりません" and shows no topic.
    QStringList Search(const QString& keyword);
    /// Shows topic `index` of the full list.
    void ShowTopic(int index);
    /// Title of the topic shown, or empty.
    QString CurrentTitle() const;

private:
    struct TTopic
    {
        QString File;
        QString Title;
        QString Text; ///< plain text, for the search
    };

    void LoadTopics();
    void ShowSelectedTopic();

    QString m_helpDir;
    std::vector<TTopic> m_topics;
    int m_current = -1;
    QLineEdit* m_search = nullptr;
    QLabel* m_notFound = nullptr;
    QListWidget* m_list = nullptr;
    QTextBrowser* m_page = nullptr;
};

} // namespace tolvane::app

// The batch list in the window: editing, the merge controls, the batch-list file and a run.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "AppTestSupport.h"
#include "app/AppResources.h"

using namespace tolvane::test;

namespace {

class TBatchFrm : public TWindowTest
{
protected:
    void SetUp() override
    {
        TWindowTest::SetUp();
        OpenForm();
        List = Find<QTreeWidget>("lvwBatch");
    }

    QString Cell(int row, int column) const { return List->topLevelItem(row)->text(column); }
    qint64 Icon(int row) const { return List->topLevelItem(row)->icon(0).cacheKey(); }
    static qint64 Image(int index) { return tolvane::app::ImageList1().at(index).cacheKey(); }
    void SelectRow(int row)
    {
        List->setCurrentItem(List->topLevelItem(row));
        List->topLevelItem(row)->setSelected(true);
    }
    bool MergeControlsEnabled() const
    {
        const bool check = Find<QCheckBox>("chkCombine")->isEnabled();
        EXPECT_EQ(Find<QLineEdit>("edtConbineFile")->isEnabled(), check);
        EXPECT_EQ(Find<QPushButton>("btnCmbBrowse")->isEnabled(), check);
        return check;
    }

    QTreeWidget* List = nullptr;
};

TEST_F(TBatchFrm, AddShowsTheJobAndKeepsTheEditor)
{
    AddJob(0, Source, Dir / "a.mif", 1);
    ASSERT_EQ(List->topLevelItemCount(), 1);
    EXPECT_EQ(Cell(0, 1), QStringLiteral("点データ"));
    EXPECT_EQ(Cell(0, 2), Q(Source));
    EXPECT_EQ(Cell(0, 3), Q(Dir / "a.mif"));
    EXPECT_EQ(Cell(0, 4), QStringLiteral("緯度/経度（WGS84）"));
    EXPECT_TRUE(List->topLevelItem(0)->icon(0).isNull());
    EXPECT_EQ(Find<QLineEdit>("edtSrcFile")->text(), Q(Source));
    const auto& entry = Form->BatchList().Entries.at(0);
    EXPECT_EQ(entry.ItemIndex, 0);
    EXPECT_EQ(entry.CoordSysIndex, 1);
    EXPECT_TRUE(Enabled("actBatchExec"));
    EXPECT_TRUE(Enabled("actBarchClear"));
    EXPECT_FALSE(MergeControlsEnabled()); // one row

    // An invalid editor adds nothing.
    SetSource(Dir / "missing.txt");
    Form->actAddToBatchExecute();
    EXPECT_EQ(List->topLevelItemCount(), 1);
    EXPECT_EQ(Ui.Texts(), std::vector<QString>{QStringLiteral("変換元のファイル名が不正です。")});
}

TEST_F(TBatchFrm, MergeControlsFollowTheRows)
{
    AddJob(0, Source, Dir / "a.mif", 0);
    AddJob(0, Source, Dir / "b.mif", 2);
    EXPECT_FALSE(MergeControlsEnabled()); // other coordinate system
    AddJob(0, Source, Dir / "c.mif", 0);
    EXPECT_FALSE(MergeControlsEnabled());
    SelectRow(1);
    EXPECT_TRUE(Find<QPushButton>("btnRemove")->isEnabled());
    Form->btnRemoveClick();
    EXPECT_TRUE(MergeControlsEnabled());
    Find<QCheckBox>("chkCombine")->setChecked(true);
    AddJob(2, Source, Dir / "d.mif", 0);
    EXPECT_FALSE(MergeControlsEnabled()); // another data item
    EXPECT_TRUE(Find<QCheckBox>("chkCombine")->isChecked());
    SelectRow(2);
    Form->btnRemoveClick();
    EXPECT_TRUE(MergeControlsEnabled());
    Form->actBarchClearExecute();
    EXPECT_EQ(List->topLevelItemCount(), 0);
    EXPECT_FALSE(MergeControlsEnabled());
    EXPECT_FALSE(Enabled("actBatchExec"));
}

TEST_F(TBatchFrm, ReplaceKeepsThePositionAndClearsTheIcon)
{
    AddJob(0, Source, Dir / "a.mif");
    AddJob(0, BadSource, Dir / "b.mif");
    Form->actBatchExecExecute();
    ASSERT_EQ(Icon(1), Image(1));
    SelectRow(1);
    SelectItem(2);
    SetSource(Source);
    SetDestination(Q(Dir / "r.mif"));
    EXPECT_TRUE(Enabled("actReplaceToBatch"));
    Form->actReplaceToBatchExecute();
    ASSERT_EQ(List->topLevelItemCount(), 2);
    EXPECT_EQ(Cell(1, 1), QStringLiteral("別の点"));
    EXPECT_EQ(Cell(1, 3), Q(Dir / "r.mif"));
    EXPECT_TRUE(List->topLevelItem(1)->icon(0).isNull());
    EXPECT_TRUE(List->topLevelItem(1)->toolTip(1).isEmpty());
    EXPECT_EQ(Icon(0), Image(0));
}

TEST_F(TBatchFrm, DoubleClickLoadsTheRowIntoTheEditor)
{
    AddJob(2, Source, Dir / "a.mif", 2);
    SelectItem(0);
    SetSource(BadSource);
    SelectRow(0);
    Form->lvwBatchDblClick();
    auto* tree = Find<QTreeWidget>("tvwDataKind");
    ASSERT_EQ(tree->selectedItems().size(), 1);
    EXPECT_EQ(tree->selectedItems().at(0)->text(0), QStringLiteral("別の点"));
    EXPECT_EQ(Find<QLineEdit>("edtSrcFile")->text(), Q(Source));
    EXPECT_EQ(Find<QLineEdit>("edtDscFile")->text(), Q(Dir / "a.mif"));
    EXPECT_EQ(Find<QComboBox>("cboCoordSys")->currentIndex(), 2);
    EXPECT_EQ(Find<QLabel>("StatusPanel0")->text(), QStringLiteral("m*.txt"));
}

TEST_F(TBatchFrm, SaveAndOpenRoundTrip)
{
    Form->S1Click();
    EXPECT_EQ(Ui.Texts(), std::vector<QString>{QStringLiteral("対象のバッチリストがありません。")});
    EXPECT_TRUE(Ui.FileDialogs.empty());

    const auto spaced = Dir / "with blank.txt";
    WriteBytes(spaced, CrLf({"P001"}));
    AddJob(0, spaced, Dir / "a b.mif", 1);
    AddJob(0, Source, Dir / "c.mif", 1);
    Find<QCheckBox>("chkCombine")->setChecked(true);
    Find<QLineEdit>("edtConbineFile")->setText(Q(Dir / "all.mif"));
    const auto file = Dir / "list.txt";
    Ui.FileAnswers = {Q(file)};
    Form->S1Click();
    EXPECT_EQ(Ui.FileDialogs.back().DefaultExt, QStringLiteral("txt"));
    EXPECT_EQ(ReadBytes(file).substr(0, 14), "tolvane\r\n200\r\n");

    Form->actBarchClearExecute();
    Find<QCheckBox>("chkCombine")->setChecked(false);
    Find<QLineEdit>("edtConbineFile")->clear();
    Ui.FileAnswers = {Q(file)};
    Form->O1Click();
    ASSERT_EQ(List->topLevelItemCount(), 2);
    EXPECT_EQ(Cell(0, 2), Q(spaced));
    EXPECT_EQ(Cell(0, 3), Q(Dir / "a b.mif"));
    EXPECT_EQ(Cell(1, 1), QStringLiteral("点データ"));
    EXPECT_EQ(Cell(1, 4), QStringLiteral("緯度/経度（WGS84）"));
    EXPECT_TRUE(Find<QCheckBox>("chkCombine")->isChecked());
    EXPECT_EQ(Find<QLineEdit>("edtConbineFile")->text(), Q(Dir / "all.mif"));
    EXPECT_TRUE(MergeControlsEnabled());
    EXPECT_EQ(Ui.Messages.size(), 1U);
}

TEST_F(TBatchFrm, OpeningABadFileEmptiesTheList)
{
    AddJob(0, Source, Dir / "a.mif");
    AddJob(0, Source, Dir / "b.mif");
    EXPECT_TRUE(MergeControlsEnabled());
    struct TCase
    {
        const char* Name;
        std::string Bytes;
        const char* Message; ///< contained in the error box
        int Rows;
    };
    const std::string good = "\"0\"\t\"" + Source.string() + "\"\t\"o.mif\"\t\"0\"";
    const TCase cases[] = {
        {"three lines", CrLf({"tolvane", "200", "0"}), "不正なバッチリストです。", 0},
        {"wrong magic", CrLf({"other", "200", "0", ""}), "不正なバッチリストです。", 0},
        {"no Boolean", CrLf({"tolvane", "200", "maybe", ""}), "は正しい論理型ではありません", 0},
        {"bad index", CrLf({"tolvane", "200", "0", "", good, "\"9\"\t\"a\"\t\"b\"\t\"0\""}),
         "リストのインデックスが範囲を超えています", 1},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        Ui.Messages.clear();
        WriteBytes(Dir / "list.txt", c.Bytes);
        Ui.FileAnswers = {Q(Dir / "list.txt")};
        Form->O1Click();
        ASSERT_EQ(Ui.Messages.size(), 1U);
        EXPECT_EQ(Ui.Messages[0].Kind, QStringLiteral("error"));
        EXPECT_TRUE(Ui.Messages[0].Text.contains(QString::fromUtf8(c.Message)))
            << Ui.Messages[0].Text.toStdString();
        EXPECT_EQ(List->topLevelItemCount(), c.Rows);
        EXPECT_EQ(static_cast<int>(Form->BatchList().Entries.size()), c.Rows);
        EXPECT_FALSE(MergeControlsEnabled());
    }
}

TEST_F(TBatchFrm, RunMarksEveryRowAndMerges)
{
    AddJob(0, Source, Dir / "a.mif");
    AddJob(0, BadSource, Dir / "b.mif");
    AddJob(0, Source, Dir / "c.mif");
    Find<QCheckBox>("chkCombine")->setChecked(true);
    Find<QLineEdit>("edtConbineFile")->setText(Q(Dir / "all.mif"));
    Form->UpdateActions();
    Action("actBatchExec")->trigger();
    EXPECT_EQ(Icon(0), Image(0));
    EXPECT_EQ(Icon(1), Image(1));
    EXPECT_EQ(Icon(2), Image(0));
    EXPECT_TRUE(
        List->topLevelItem(1)->toolTip(2).contains(QStringLiteral("'BAD' は整数ではありません")));
    EXPECT_TRUE(List->topLevelItem(0)->toolTip(2).isEmpty());
    EXPECT_TRUE(List->topLevelItem(2)->isSelected());
    EXPECT_EQ(Ui.Texts(), std::vector<QString>{QStringLiteral("変換が終了しました。")});
    EXPECT_EQ(ReadBytes(Dir / "all.mid"), CrLf({"001", "002", "001", "002"}));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(Find<QLabel>("StatusPanel0")->text().isEmpty());
}

TEST_F(TBatchFrm, RunRefusesABlankMergedFile)
{
    Form->actBatchExecExecute();
    AddJob(0, Source, Dir / "a.mif");
    AddJob(0, Source, Dir / "b.mif");
    Find<QCheckBox>("chkCombine")->setChecked(true);
    Find<QLineEdit>("edtConbineFile")->setText(QStringLiteral("  "));
    Form->actBatchExecExecute();
    const std::vector<QString> expected = {QStringLiteral("対象のバッチリストがありません。"),
                                           QStringLiteral("統合後のファイル名が不正です。")};
    EXPECT_EQ(Ui.Texts(), expected);
    EXPECT_FALSE(std::filesystem::exists(Dir / "a.mif"));
}

TEST_F(TBatchFrm, RunStopsAtARowThatCannotStart)
{
    const auto doomed = Dir / "doomed.txt";
    WriteBytes(doomed, CrLf({"P001"}));
    AddJob(0, Source, Dir / "a.mif");
    AddJob(0, doomed, Dir / "b.mif");
    AddJob(0, Source, Dir / "c.mif");
    std::filesystem::remove(doomed);
    Form->actBatchExecExecute();
    EXPECT_EQ(Icon(0), Image(0));
    EXPECT_TRUE(List->topLevelItem(1)->icon(0).isNull());
    EXPECT_TRUE(List->topLevelItem(2)->icon(0).isNull());
    ASSERT_EQ(Ui.Messages.size(), 2U);
    EXPECT_EQ(Ui.Messages[0].Text, QStringLiteral("変換が終了しました。"));
    EXPECT_EQ(Ui.Messages[1].Kind, QStringLiteral("error"));
    EXPECT_TRUE(Ui.Messages[1].Text.contains(QStringLiteral("doomed.txt")));
    EXPECT_FALSE(std::filesystem::exists(Dir / "c.mif"));
}

TEST_F(TBatchFrm, TheListStaysPutWhileABatchRuns)
{
    WriteBytes(BadSource, CrLf({"P001", "HOOK"}));
    AddJob(0, Source, Dir / "a.mif");
    AddJob(0, BadSource, Dir / "b.mif");
    int hooks = 0;
    g_duringJob = [&] {
        ++hooks;
        EXPECT_TRUE(List->topLevelItem(1)->isSelected());
        EXPECT_EQ(Icon(0), Image(0)); // the first row's outcome shows already
        EXPECT_FALSE(List->isEnabled());
        for (const char* name : {"actBatchExec", "actBarchClear", "actAddToBatch", "O1"}) {
            SCOPED_TRACE(name);
            EXPECT_FALSE(Action(name)->isEnabled());
        }
        Form->actBarchClearExecute();
        Form->btnRemoveClick();
        Form->actBatchExecExecute();
        EXPECT_FALSE(Form->close());
        EXPECT_EQ(List->topLevelItemCount(), 2);
    };
    Form->actBatchExecExecute();
    EXPECT_EQ(hooks, 1);
    EXPECT_EQ(Ui.Texts(), std::vector<QString>{QStringLiteral("変換が終了しました。")});
    EXPECT_TRUE(List->isEnabled());
}

} // namespace

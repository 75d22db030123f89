// The window tests' Define folder, converters and helpers.
#include "AppTestSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTreeWidgetItemIterator>

#include "base/AppError.h"
#include "ksj/ColumnSlices.h"

namespace tolvane::test {

std::function<void()> g_duringJob;

namespace {

// A point and its row for every line starting with "P"; "BAD" fails the job; "HOOK" runs the
// test's hook. Events are processed after every line.
void ConvertTestPoints(ksj::TConvertContext& ctx)
{
    ksj::TColumnSlices slices(ctx.ColumnDefLines);
    shapes::TSFRow row;
    std::string line;
    while (!ctx.Src.Eof()) {
        ctx.Src.ReadLine(line);
        ctx.Progress.Step(1);
        if (line.starts_with("BAD")) {
            throw base::TDataError("'BAD' は整数ではありません");
        }
        if (line.starts_with("HOOK") && g_duringJob) {
            g_duringJob();
        }
        if (!line.starts_with("P")) {
            continue;
        }
        row.Clear();
        slices.AppendRow(line, row);
        ctx.Out.WritePoint({139.5, 35.5}, row);
    }
}

constexpr ksj::TConverterEntry kTestTable[] = {{"TP", &ConvertTestPoints, false, false}};

} // namespace

void TWindowTest::SetUp()
{
    Define = Dir / "Define";
    std::filesystem::create_directory(Define);
    WriteBytes(Define / "prm.txt", CrLf({"unused"}));
    WriteBytes(Define / "col.txt", CrLf({"CODE,schar,2,3"}));
    WriteBytes(Define / "ldg.txt", CrLf({"KEY,,4,3"}));
    WriteBytes(Define / "データ項目.txt",
               CrLf({Sjis("点データ,TP,*.txt,prm.txt,col.txt,0,,0,,分類"),
                     Sjis("定義なし,TP,*.dat,nothere.txt,col.txt,0,,0,,分類"),
                     Sjis("別の点,TP,m*.txt,prm.txt,col.txt,0,,0,,分類"),
                     Sjis("台帳のみ,T,W*.txt,,,1,T,1,ldg.txt,台帳")}));
    Source = Dir / "source.txt";
    WriteBytes(Source, CrLf({"P001", "T  001", "P002"}));
    BadSource = Dir / "bad.txt";
    WriteBytes(BadSource, CrLf({"P001", "BAD"}));

    Options.DefineDir = Define;
    Options.Settings.Primary = Q(Dir / "tolvane.INI");
    Options.Settings.Fallback = Q(Dir / "config" / "tolvane.INI");
    Options.HelpDir = Q(SourceDir() / "data" / "help");
    Options.Converters = kTestTable;
}

void TWindowTest::TearDown()
{
    g_duringJob = nullptr;
    Form.reset();
    while (QApplication::overrideCursor() != nullptr) {
        QApplication::restoreOverrideCursor();
    }
}

void TWindowTest::OpenForm()
{
    Form = std::make_unique<app::TfrmMain>(Ui, Options);
    Form->show();
}

bool TWindowTest::Enabled(const char* action) const
{
    Form->UpdateActions();
    return Action(action)->isEnabled();
}

QTreeWidgetItem* TWindowTest::ItemNode(std::int64_t index) const
{
    auto* tree = Find<QTreeWidget>("tvwDataKind");
    for (QTreeWidgetItemIterator it(tree); *it != nullptr; ++it) {
        if ((*it)->parent() != nullptr && (*it)->data(0, Qt::UserRole).toLongLong() == index) {
            return *it;
        }
    }
    return nullptr;
}

void TWindowTest::SelectNode(QTreeWidgetItem* node)
{
    auto* tree = Find<QTreeWidget>("tvwDataKind");
    tree->setCurrentItem(node);
    node->setSelected(true);
}

void TWindowTest::SetSource(const std::filesystem::path& path)
{
    Find<QLineEdit>("edtSrcFile")->setText(Q(path));
}

void TWindowTest::SetDestination(const QString& text)
{
    Find<QLineEdit>("edtDscFile")->setText(text);
}

void TWindowTest::AddJob(std::int64_t item, const std::filesystem::path& src,
                         const std::filesystem::path& dst, int coordSys)
{
    SelectItem(item);
    SetSource(src);
    SetDestination(Q(dst));
    Find<QComboBox>("cboCoordSys")->setCurrentIndex(coordSys);
    Form->actAddToBatchExecute();
}

} // namespace tolvane::test

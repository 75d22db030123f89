// Runs one converter directly on a source text, with definition lines given in the test.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/AppError.h"
#include "base/OutputFiles.h"
#include "ksj/ConvertContext.h"
#include "mif/MifOutput.h"
#include "support/TestSupport.h"

namespace tolvane::test {

/// What one converter call left behind.
struct TMeshRun
{
    std::string Mif;
    std::string Mid;
    bool Failed = false;
    std::string Error;       ///< Text() of the error
    std::string ErrorFile;   ///< FileName() of the error
    std::int64_t LineNo = 0; ///< source line last read when the converter returned or failed
    std::int64_t Position = 0;
};

/// A temporary folder with a Define subfolder, the parameter and column lines of one item and a
/// recording observer.
class TMeshJob
{
public:
    TMeshJob()
    {
        std::filesystem::create_directory(Define());
        Params.FileName = (Define() / "prm.txt").string();
        Columns.FileName = (Define() / "col.txt").string();
    }

    std::filesystem::path Define() const { return Dir / "Define"; }
    std::filesystem::path CsvFile() const { return Dir / "out.csv"; }

    void SetParams(std::vector<std::string> lines) { Params.Lines = std::move(lines); }
    void SetColumns(std::vector<std::string> lines) { Columns.Lines = std::move(lines); }

    /// Runs `convert` on `source` (bytes) with fresh outputs; the MIF holds only the objects.
    TMeshRun Run(ksj::TConverterFn convert, std::string_view source)
    {
        WriteBytes(Dir / "source.txt", source);
        TMeshRun run;
        base::TSjisLineReader src(Dir / "source.txt");
        auto out = std::make_unique<mif::TMifOutput>(Dir / "out.mif", Dir / "out.mid", 0);
        base::TProgress progress(Observer);
        // As the driver does for a converter that writes a CSV copy: written whole or not at
        // all.
        std::optional<base::TOutputFiles> outputs;
        std::unique_ptr<mif::TCsvOutput> csv;
        try {
            outputs.emplace(std::vector<base::TOutputSpec>{{CsvFile(), base::TOnFailure::Drop}});
            csv = std::make_unique<mif::TCsvOutput>(outputs->WritePath(0));
            ksj::TConvertContext ctx{src,      *out,     Columns, Params,
                                     progress, Define(), false,   csv.get()};
            convert(ctx);
            csv->Finish();
            outputs->Place(true);
        } catch (const base::TAppError& e) {
            run.Failed = true;
            run.Error = e.Text();
            run.ErrorFile = e.FileName();
        }
        csv.reset();
        outputs.reset();
        run.LineNo = src.LineNo();
        run.Position = progress.Position();
        out->Finish();
        run.Mif = ReadBytes(Dir / "out.mif");
        run.Mid = ReadBytes(Dir / "out.mid");
        return run;
    }

    TTempDir Dir;
    base::TDefLines Params;
    base::TDefLines Columns;
    TRecordingObserver Observer;
};

/// A fixed-width record: `width` blanks with each (1-based position, bytes) piece put in place.
inline std::string Record(std::size_t width,
                          std::initializer_list<std::pair<std::size_t, std::string_view>> pieces)
{
    std::string out(width, ' ');
    for (const auto& [pos, text] : pieces) {
        if (out.size() < pos - 1 + text.size()) {
            out.resize(pos - 1 + text.size(), ' ');
        }
        out.replace(pos - 1, text.size(), text);
    }
    return out;
}

/// Number of occurrences of `what` in `text`.
inline std::size_t CountOf(std::string_view text, std::string_view what)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string_view::npos;
         at = text.find(what, at + what.size())) {
        ++count;
    }
    return count;
}

} // namespace tolvane::test

// What the command line says about a job and a batch: the outcome, what was written, what the
// input checks noticed, the rows a batch did not convert, a merge it skipped, a cancel.
#pragma once

#include <cstddef>
#include <string>

#include "batch/BatchList.h"
#include "driver/ConvertDriver.h"

namespace tolvane::cli {

/// "書き出したもの: オブジェクト n 個、台帳 n 行、ファイル n 個 (a.mif, a.mid)".
std::string WrittenLine(const driver::TJobResult& result);

/// The outcome of one conversion: on success its line and what was written (stdout, not when
/// `quiet`); on failure its line and the reason (stderr), then what was written (not when
/// `quiet`); the warnings on stderr in every case, each after "tolvane-cli: `srcFile`: ", and
/// the notes (the transformation used) after "tolvane-cli: ". Returns true on success.
bool ReportJob(const std::string& srcFile, const driver::TJobResult& result, bool quiet);

/// The line of row `row` (0-based) with its outcome: converted or failed, with the reason and
/// what was written; could not start, with the reason; or not converted. On stdout; when
/// `quiet`, a converted row says nothing and the others go to stderr. The row's warnings go to
/// stderr.
void ReportRow(std::size_t row, const batch::TBatchEntry& entry, bool quiet);

/// The lines of the rows from the first one without an outcome to the end, after a run that
/// stopped or was cancelled.
void ReportUnfinishedRows(const batch::TBatchList& list, bool quiet);

/// Says on stderr that the conversion was cancelled; returns the exit status, 128 + the
/// signal's number.
int ReportCancelled();

} // namespace tolvane::cli

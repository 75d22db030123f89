// What the command line says about a job and a batch: the outcome, what was written, what the
// input checks noticed, the rows a batch did not convert, a merge it skipped, a cancel.
#pragma once

#include <cstddef>
#include <string>

#include "batch/BatchList.h"
#include "driver/ConvertDriver.h"

namespace tolvane::cli {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

/// "書き出したもの: オブジェクト n 個、台帳 n 行、ファイル n 個 (a.mif, a.mid)".
std::string WrittenLine(const driver::TJobResult& result);

/// The outcome of one conversion: on success its line and what was written (stdout); on failure
/// its line, the reason and what was written (stderr); the warnings on stderr, each after
/// "tolvane-cli: `srcFile`: ". Returns the exit code.
int ReportJob(const std::string& srcFile, const driver::TJobResult& result);

/// The line of row `row` (0-based) with its outcome (stdout): converted or failed, with the
/// reason, what was written and the warnings; could not start, with the reason; or not
/// converted.
void ReportRow(std::size_t row, const batch::TBatchEntry& entry);

/// The lines of the rows from the first one without an outcome to the end, after a run that
/// stopped or was cancelled.
void ReportUnfinishedRows(const batch::TBatchList& list);

/// Says on stderr that the conversion was cancelled; returns 128 + the signal's number.
int ReportCancelled();

} // namespace tolvane::cli

// The terminal a command-line program talks to: its width, the width of text on it, the
// progress line drawn to fit it, and the language of the user's locale.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "base/uniMessages.h"

namespace tolvane::cli {

/// The columns `text` (UTF-8) takes on a terminal: East Asian wide and full-width characters
/// take two, combining marks and control characters none, anything else (also a byte that is
/// not UTF-8) one.
int DisplayWidth(std::string_view text);

/// `text` cut to at most `columns` columns, ending in "..." when something was cut; never cuts
/// a character in two.
std::string FitToWidth(std::string_view text, int columns);

/// The width of the terminal of `stream`; else $COLUMNS; else 80.
int TerminalColumns(std::FILE* stream);

/// The progress line for a terminal `columns` wide: a bar and the percentage (when `withBar`),
/// then the status, cut to fit in `columns` - 1 columns (the last column of a line is left
/// empty, so that no terminal wraps).
std::string ProgressLine(std::string_view status, int percent, bool withBar, int columns);

/// The language of messages for the locale named by LC_ALL, LC_MESSAGES and LANG (the first of
/// them that is set and not empty): Japanese for "ja" and "ja_…", English otherwise.
base::TLanguage LanguageOfLocale(const char* lcAll, const char* lcMessages, const char* lang);

/// LanguageOfLocale of this process's environment; when the environment names no locale, the
/// system's user-interface language (Windows).
base::TLanguage LanguageFromEnvironment();

} // namespace tolvane::cli

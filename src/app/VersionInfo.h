// The program's version text, taken from the build.
#pragma once

#include <QString>

namespace tolvane::app {

/// The version of this build ("2.1.0"); empty when the build gave none.
QString GetFileVersionText();

} // namespace tolvane::app

// The program's version text.
#include "app/VersionInfo.h"

namespace tolvane::app {

QString GetFileVersionText()
{
#ifdef TOLVANE_VERSION
    return QString::fromUtf8(TOLVANE_VERSION);
#else
    return {};
#endif
}

} // namespace tolvane::app

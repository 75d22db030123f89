// A job that stops when asked.
#include "base/JobObserver.h"

#include "base/uniMessages.h"

namespace tolvane::base {

const char* TJobCancelled::what() const noexcept
{
    return kMsgConvertCancelled.Text().data();
}

} // namespace tolvane::base

// The fixed Japanese texts of the converter core.
#include "base/uniMessages.h"

#include <atomic>

namespace tolvane::base {

namespace {

std::atomic<TLanguage> g_language{TLanguage::Japanese};

} // namespace

void SetMessageLanguage(TLanguage language) noexcept
{
    g_language.store(language, std::memory_order_relaxed);
}

TLanguage MessageLanguage() noexcept
{
    return g_language.load(std::memory_order_relaxed);
}

std::string FormatMessage(std::string_view pattern, std::initializer_list<std::string_view> args)
{
    std::string out;
    out.reserve(pattern.size() + 64);
    auto arg = args.begin();
    std::size_t pos = 0;
    while (pos < pattern.size()) {
        const std::size_t hit = pattern.find("%s", pos);
        if (hit == std::string_view::npos || arg == args.end()) {
            out.append(pattern.substr(pos));
            break;
        }
        out.append(pattern.substr(pos, hit - pos));
        out.append(*arg++);
        pos = hit + 2;
    }
    return out;
}

} // namespace tolvane::base

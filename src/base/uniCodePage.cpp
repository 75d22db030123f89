// Conversion between Shift-JIS (code page 932) and UTF-8 with glibc iconv. The name "CP932"
// matches Windows on every double-byte code (NEC and IBM extensions, U+FF5E for 0x8160);
// "SHIFT_JIS" would turn 0x5C into a yen sign.
#include "base/uniCodePage.h"

#include <cerrno>
#include <iconv.h>

#include "base/AppError.h"
#include "base/uniMessages.h"

namespace tolvane::base {

namespace {

class TIconv
{
public:
    TIconv(const char* to, const char* from, bool utf8Input)
        : m_cd(iconv_open(to, from)), m_utf8Input(utf8Input)
    {
    }
    ~TIconv()
    {
        if (m_cd != reinterpret_cast<iconv_t>(-1)) {
            iconv_close(m_cd);
        }
    }
    TIconv(const TIconv&) = delete;
    TIconv& operator=(const TIconv&) = delete;

    /// Converts `in`. With `replacement` set, invalid input is replaced and skipped one byte
    /// at a time; without it, the first invalid byte makes the result empty.
    std::optional<std::string> Convert(std::string_view in, const char* replacement)
    {
        std::string out;
        if (m_cd == reinterpret_cast<iconv_t>(-1)) {
            return std::nullopt;
        }
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        out.resize(in.size() * 3 + 16);
        char* src = const_cast<char*>(in.data());
        std::size_t srcLeft = in.size();
        std::size_t used = 0;
        while (srcLeft > 0) {
            char* dst = out.data() + used;
            std::size_t dstLeft = out.size() - used;
            const std::size_t rc = iconv(m_cd, &src, &srcLeft, &dst, &dstLeft);
            used = out.size() - dstLeft;
            if (rc != static_cast<std::size_t>(-1)) {
                continue;
            }
            if (errno == E2BIG) {
                out.resize(out.size() * 2);
                continue;
            }
            // EILSEQ or EINVAL (a lead byte at the very end).
            if (replacement == nullptr) {
                return std::nullopt;
            }
            const std::string_view rep(replacement);
            if (out.size() - used < rep.size()) {
                out.resize(out.size() + rep.size() + 16);
            }
            out.replace(used, rep.size(), rep);
            used += rep.size();
            // Skip one character: one byte of CP932, or a lead byte and its continuation
            // bytes of UTF-8.
            ++src;
            --srcLeft;
            while (m_utf8Input && srcLeft > 0 &&
                   (static_cast<unsigned char>(*src) & 0xC0) == 0x80) {
                ++src;
                --srcLeft;
            }
            iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        }
        out.resize(used);
        return out;
    }

private:
    iconv_t m_cd;
    bool m_utf8Input;
};

// iconv descriptors keep state, so every thread gets its own.
TIconv& FromSjis()
{
    thread_local TIconv cd("UTF-8", "CP932", false);
    return cd;
}

TIconv& ToSjis()
{
    thread_local TIconv cd("CP932", "UTF-8", true);
    return cd;
}

bool IsAscii(std::string_view s)
{
    for (const char c : s) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

} // namespace

std::string SjisToUtf8(std::string_view sjis)
{
    if (IsAscii(sjis)) {
        return std::string(sjis);
    }
    return FromSjis().Convert(sjis, "\xEF\xBF\xBD").value_or(std::string());
}

std::optional<std::string> TrySjisToUtf8(std::string_view sjis)
{
    if (IsAscii(sjis)) {
        return std::string(sjis);
    }
    return FromSjis().Convert(sjis, nullptr);
}

std::string Utf8ToSjis(std::string_view utf8)
{
    if (IsAscii(utf8)) {
        return std::string(utf8);
    }
    return ToSjis().Convert(utf8, "?").value_or(std::string());
}

std::optional<std::string> TryUtf8ToSjis(std::string_view utf8)
{
    if (IsAscii(utf8)) {
        return std::string(utf8);
    }
    return ToSjis().Convert(utf8, nullptr);
}

std::filesystem::path SjisToPath(std::string_view sjis)
{
    std::optional<std::string> utf8 = TrySjisToUtf8(sjis);
    if (!utf8) {
        throw TDataError(FormatMessage(kMsgNotAFileName, {SjisToUtf8(sjis)}));
    }
    return std::filesystem::path(*utf8);
}

std::string PathToSjis(const std::filesystem::path& path)
{
    return Utf8ToSjis(path.string());
}

std::string PathToUtf8(const std::filesystem::path& path)
{
    return path.string();
}

} // namespace tolvane::base

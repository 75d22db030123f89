// Building blocks of the sample generator.
#include "gen/GenCore.h"

#include <charconv>
#include <stdexcept>

#include "base/uniFields.h"

namespace tolvane::gen {

TRecord& TRecord::Raw(std::string_view bytes)
{
    m_text.append(bytes);
    return *this;
}

TRecord& TRecord::Blanks(std::size_t n)
{
    m_text.append(n, ' ');
    return *this;
}

TRecord& TRecord::Int(std::int64_t value, std::size_t width)
{
    char digits[24];
    const auto res = std::to_chars(digits, digits + sizeof digits, value);
    const auto len = static_cast<std::size_t>(res.ptr - digits);
    if (len > width) {
        throw std::logic_error("a generated number does not fit its field");
    }
    m_text.append(width - len, ' ');
    m_text.append(digits, len);
    return *this;
}

TRecord& TRecord::Zero(std::int64_t value, std::size_t width)
{
    char digits[24];
    const auto res = std::to_chars(digits, digits + sizeof digits, value);
    const auto len = static_cast<std::size_t>(res.ptr - digits);
    if (len > width || value < 0) {
        throw std::logic_error("a generated code does not fit its field");
    }
    m_text.append(width - len, '0');
    m_text.append(digits, len);
    return *this;
}

TRecord& TRecord::Text(std::string_view sjis, std::size_t width)
{
    std::size_t used = 0;
    while (used < sjis.size()) {
        const std::size_t step = base::IsSjisLeadByte(sjis[used]) ? 2 : 1;
        if (used + step > width) {
            break;
        }
        used += step;
    }
    m_text.append(sjis.substr(0, used));
    m_text.append(width - used, ' ');
    return *this;
}

TRecord& TRecord::PadTo(std::size_t width)
{
    if (m_text.size() < width) {
        m_text.append(width - m_text.size(), ' ');
    }
    return *this;
}

void AppendInt(std::string& out, std::int64_t value)
{
    char digits[24];
    const auto res = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, res.ptr);
}

void AppendFixed(std::string& out, std::int64_t value, int decimals)
{
    std::int64_t scale = 1;
    for (int i = 0; i < decimals; ++i) {
        scale *= 10;
    }
    AppendInt(out, value / scale);
    if (decimals > 0) {
        out.push_back('.');
        char digits[24];
        const auto res = std::to_chars(digits, digits + sizeof digits, value % scale);
        const auto len = static_cast<std::size_t>(res.ptr - digits);
        out.append(static_cast<std::size_t>(decimals) - len, '0');
        out.append(digits, len);
    }
}

void TLineSink::Line(std::string_view text)
{
    m_buffer.append(text);
    m_buffer.append("\r\n");
    ++m_lines;
    if (text.size() > m_maxWidth) {
        m_maxWidth = text.size();
    }
    if (m_writer != nullptr && m_buffer.size() >= 1024 * 1024) {
        Flush();
    }
}

void TLineSink::Flush()
{
    if (m_writer != nullptr) {
        m_writer->Write(m_buffer);
        m_buffer.clear();
    }
}

std::int32_t Mesh2Of(TKsjPoint p) noexcept
{
    const std::int64_t lat = p.Y / 24000;
    const std::int64_t row = (p.Y % 24000) / 3000;
    const std::int64_t lon = p.X / 36000 - 100;
    const std::int64_t col = (p.X % 36000) / 4500;
    return static_cast<std::int32_t>(lat * 10000 + lon * 100 + row * 10 + col);
}

TKsjPoint Mesh2Origin(std::int32_t mesh2) noexcept
{
    const std::int64_t lat = mesh2 / 10000;
    const std::int64_t lon = (mesh2 / 100) % 100;
    const std::int64_t row = (mesh2 / 10) % 10;
    const std::int64_t col = mesh2 % 10;
    return {(lon + 100) * 36000 + col * 4500, lat * 24000 + row * 3000};
}

std::int32_t NthMesh2(const std::int32_t* mesh1, std::size_t count, std::int64_t index) noexcept
{
    const auto n = static_cast<std::int64_t>(count);
    const std::int64_t wrapped = index % (n * 64);
    const std::int32_t first = mesh1[static_cast<std::size_t>(wrapped / 64)];
    const auto cell = static_cast<std::int32_t>(wrapped % 64);
    return first * 100 + (cell / 8) * 10 + cell % 8;
}

std::string HeaderLine(std::string_view agency, std::string_view dataCode, int kind, int year,
                       std::size_t width, std::int64_t totalLines)
{
    TRecord rec;
    rec.Text("H", 3).Text(agency, 10).Text(dataCode, 10).Int(kind, 2).Int(year, 4);
    rec.Int(static_cast<std::int64_t>(width), 4);
    if (totalLines >= 0) {
        rec.Int(totalLines, 8);
    }
    return std::string(rec.View());
}

} // namespace tolvane::gen

// The coordinate systems a job can name, in one table: the window's list, the batch list and its
// file, the command line and every writer take them from here.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tolvane::shapes {

/// A coordinate system by its position in kCoordSystems (0 Tokyo datum, 1 WGS84, 2 JGD2000), as
/// batch entries and batch-list files carry it.
using TCoordSysIndex = std::int32_t;

/// One coordinate system. The choice names the datum of the source's coordinates; nothing is
/// transformed.
struct TCoordSys
{
    std::string_view Key;       ///< a word for the command line
    std::string_view Name;      ///< as the window shows it (UTF-8)
    std::string_view MifClause; ///< what follows "CoordSys " in a MIF header
    int Epsg = 0;               ///< the geographic coordinate reference system of the datum
};

inline constexpr std::array<TCoordSys, 3> kCoordSystems{{
    {"tokyo", "緯度/経度（東京）", "Earth Projection 1, 97", 4301},
    {"wgs84", "緯度/経度（WGS84）", "Earth Projection 1, 104", 4326},
    {"jgd2000", "緯度/経度（世界測地系）", "Earth Projection 1, 33", 4612},
}};

/// The entry of `index`, or nullptr for an index outside the table.
constexpr const TCoordSys* FindCoordSys(std::int64_t index) noexcept
{
    if (index < 0 || index >= static_cast<std::int64_t>(kCoordSystems.size())) {
        return nullptr;
    }
    return &kCoordSystems[static_cast<std::size_t>(index)];
}

/// The name of `index`; empty outside the table.
constexpr std::string_view CoordSysName(std::int64_t index) noexcept
{
    const TCoordSys* coordSys = FindCoordSys(index);
    return coordSys != nullptr ? coordSys->Name : std::string_view();
}

/// The MIF clause of `index`; empty outside the table, which leaves the MIF without one.
constexpr std::string_view CoordSysText(std::int64_t index) noexcept
{
    const TCoordSys* coordSys = FindCoordSys(index);
    return coordSys != nullptr ? coordSys->MifClause : std::string_view();
}

/// The coordinate system that `text` names: its index ("0", "1", "2") or its key ("tokyo",
/// "wgs84", "jgd2000", in any case); nullopt for anything else.
constexpr std::optional<TCoordSysIndex> ParseCoordSys(std::string_view text) noexcept
{
    if (!text.empty() && text.size() <= 3 &&
        text.find_first_not_of("0123456789") == std::string_view::npos) {
        std::int64_t index = 0;
        for (const char c : text) {
            index = index * 10 + (c - '0');
        }
        if (FindCoordSys(index) == nullptr) {
            return std::nullopt;
        }
        return static_cast<TCoordSysIndex>(index);
    }
    for (std::size_t i = 0; i < kCoordSystems.size(); ++i) {
        const std::string_view key = kCoordSystems[i].Key;
        bool same = text.size() == key.size();
        for (std::size_t c = 0; same && c < key.size(); ++c) {
            const char lower =
                text[c] >= 'A' && text[c] <= 'Z' ? static_cast<char>(text[c] - 'A' + 'a') : text[c];
            same = lower == key[c];
        }
        if (same) {
            return static_cast<TCoordSysIndex>(i);
        }
    }
    return std::nullopt;
}

} // namespace tolvane::shapes

// A GeoPackage layer's spatial index (an SQLite R*Tree) loaded in one pass: packed nodes written
// straight into the tree's tables, instead of one insertion per object. GDAL 3.6 inserts object by
// object, and that takes four fifths of a GeoPackage job's time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tolvane::gdal {

/// A box in the coordinates of a layer.
struct TBox
{
    double MinX = 0.0;
    double MaxX = 0.0;
    double MinY = 0.0;
    double MaxY = 0.0;
};

/// Fills an empty SQLite R*Tree `rtree` (two dimensions, 32-bit coordinates) from boxes handed
/// over one by one: every `Capacity()` boxes make a leaf, every `Capacity()` nodes a node above
/// them, in the order they come (objects of KSJ files come in the order of their mesh codes, so
/// neighbours share nodes). The nodes, the row map and the parent map are written as SQLite's
/// R*Tree module keeps them (the format is described at the top of its rtree.c); the root stays
/// node 1. Memory holds one node per level.
class TRtreeLoader
{
public:
    /// Runs one SQL statement; raises when it fails.
    using TExecute = std::function<void(const std::string& sql)>;

    /// `rtree` is the tree's name; `nodeBytes` the size of its nodes (that of its root node as
    /// created, from the page size of the database).
    TRtreeLoader(std::string rtree, std::size_t nodeBytes, TExecute execute);

    /// Cells per node.
    std::size_t Capacity() const noexcept { return m_capacity; }

    void Add(std::int64_t id, const TBox& box);
    /// Writes the rest of the tree. Nothing is written for no boxes (the root stays empty).
    void Finish();

private:
    struct TCell
    {
        std::int64_t Id = 0;
        float MinX = 0;
        float MaxX = 0;
        float MinY = 0;
        float MaxY = 0;
    };
    struct TLevel
    {
        std::vector<TCell> Cells;
        std::int64_t Written = 0; ///< nodes of this level written
    };

    void AddCell(std::size_t level, const TCell& cell);
    /// Writes the node of `level`'s cells: as node 1 with the tree's depth when `root`.
    void WriteNode(std::size_t level, bool root);
    void FlushValues(bool all);

    std::string m_rtree;
    std::size_t m_nodeBytes;
    std::size_t m_capacity;
    TExecute m_execute;
    std::vector<TLevel> m_levels;
    std::int64_t m_nextNode = 2;
    std::string m_node;
    // Rows waiting for one INSERT each: (nodeno, data), (rowid, nodeno), (nodeno, parentnode).
    std::string m_nodeValues;
    std::string m_rowidValues;
    std::string m_parentValues;
};

} // namespace tolvane::gdal

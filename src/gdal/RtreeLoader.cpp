// Loading an SQLite R*Tree in one pass.
//
// The tables of a tree "t" (SQLite's rtree.c): t_node(nodeno INTEGER PRIMARY KEY, data) holds the
// nodes, node 1 the root; t_rowid(rowid INTEGER PRIMARY KEY, nodeno) the leaf of every entry;
// t_parent(nodeno INTEGER PRIMARY KEY, parentnode) the parent of every node but the root. A node
// is a blob of the root's size: a 16-bit depth of the tree (in the root only), a 16-bit cell
// count, then the cells, each a 64-bit id (an entry's rowid in a leaf, a node number above) and
// the box as 32-bit floats (min x, max x, min y, max y), all big-endian; the rest is zero.
#include "gdal/RtreeLoader.h"

#include <algorithm>
#include <bit>
#include <stdexcept>

namespace tolvane::gdal {

namespace {

constexpr std::size_t kHeaderBytes = 4;
constexpr std::size_t kCellBytes = 24;
constexpr std::size_t kMaxCells = 51; // SQLite's RTREE_MAXCELLS
constexpr std::size_t kStatementBytes = 256 * 1024;

// SQLite's rounding of a coordinate to 32 bits (rtreeValueDown, rtreeValueUp): a minimum down
// and a maximum up, so that the stored box holds the object.
constexpr double kTowardsZero = 1.0 - 1.0 / 8388608.0;
constexpr double kAwayFromZero = 1.0 + 1.0 / 8388608.0;

float Down(double value)
{
    float rounded = static_cast<float>(value);
    if (static_cast<double>(rounded) > value) {
        rounded = static_cast<float>(value * (value < 0 ? kAwayFromZero : kTowardsZero));
    }
    return rounded;
}

float Up(double value)
{
    float rounded = static_cast<float>(value);
    if (static_cast<double>(rounded) < value) {
        rounded = static_cast<float>(value * (value < 0 ? kTowardsZero : kAwayFromZero));
    }
    return rounded;
}

void PutBigEndian(std::string& out, std::size_t at, std::uint64_t value, std::size_t bytes)
{
    for (std::size_t i = 0; i < bytes; ++i) {
        out[at + i] = static_cast<char>((value >> (8 * (bytes - 1 - i))) & 0xFFU);
    }
}

std::string QuotedName(const std::string& name)
{
    std::string quoted = "\"";
    for (const char c : name) {
        quoted.push_back(c);
        if (c == '"') {
            quoted.push_back('"');
        }
    }
    quoted.push_back('"');
    return quoted;
}

void AppendBlob(std::string& out, const std::string& bytes)
{
    constexpr char kDigits[] = "0123456789ABCDEF";
    out.append("X'");
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        out.push_back(kDigits[b >> 4U]);
        out.push_back(kDigits[b & 0xFU]);
    }
    out.push_back('\'');
}

void AppendPair(std::string& out, std::int64_t a, std::int64_t b)
{
    out.append(out.empty() ? "(" : ",(");
    out.append(std::to_string(a));
    out.push_back(',');
    out.append(std::to_string(b));
    out.push_back(')');
}

} // namespace

TRtreeLoader::TRtreeLoader(std::string rtree, std::size_t nodeBytes, TExecute execute)
    : m_rtree(std::move(rtree)), m_nodeBytes(nodeBytes),
      m_capacity(nodeBytes > kHeaderBytes
                     ? std::min((nodeBytes - kHeaderBytes) / kCellBytes, kMaxCells)
                     : 0),
      m_execute(std::move(execute))
{
    if (m_capacity < 2) {
        throw std::invalid_argument("an R*Tree node of " + std::to_string(nodeBytes) + " bytes");
    }
}

void TRtreeLoader::Add(std::int64_t id, const TBox& box)
{
    AddCell(0, TCell{id, Down(box.MinX), Up(box.MaxX), Down(box.MinY), Up(box.MaxY)});
}

void TRtreeLoader::AddCell(std::size_t level, const TCell& cell)
{
    if (m_levels.size() <= level) {
        m_levels.resize(level + 1);
    }
    m_levels[level].Cells.push_back(cell);
    if (m_levels[level].Cells.size() == m_capacity) {
        WriteNode(level, false);
    }
}

void TRtreeLoader::WriteNode(std::size_t level, bool root)
{
    TLevel& node = m_levels[level];
    const std::int64_t number = root ? 1 : m_nextNode++;
    m_node.assign(m_nodeBytes, '\0');
    PutBigEndian(m_node, 0, root ? level : 0, 2);
    PutBigEndian(m_node, 2, node.Cells.size(), 2);
    TCell bounds = node.Cells.front();
    bounds.Id = number;
    std::size_t at = kHeaderBytes;
    for (const TCell& cell : node.Cells) {
        PutBigEndian(m_node, at, static_cast<std::uint64_t>(cell.Id), 8);
        PutBigEndian(m_node, at + 8, std::bit_cast<std::uint32_t>(cell.MinX), 4);
        PutBigEndian(m_node, at + 12, std::bit_cast<std::uint32_t>(cell.MaxX), 4);
        PutBigEndian(m_node, at + 16, std::bit_cast<std::uint32_t>(cell.MinY), 4);
        PutBigEndian(m_node, at + 20, std::bit_cast<std::uint32_t>(cell.MaxY), 4);
        at += kCellBytes;
        AppendPair(level == 0 ? m_rowidValues : m_parentValues, cell.Id, number);
        bounds.MinX = std::min(bounds.MinX, cell.MinX);
        bounds.MaxX = std::max(bounds.MaxX, cell.MaxX);
        bounds.MinY = std::min(bounds.MinY, cell.MinY);
        bounds.MaxY = std::max(bounds.MaxY, cell.MaxY);
    }
    node.Cells.clear();
    ++node.Written;
    if (root) {
        std::string sql = "UPDATE " + QuotedName(m_rtree + "_node") + " SET data = ";
        AppendBlob(sql, m_node);
        sql.append(" WHERE nodeno = 1");
        m_execute(sql);
        return;
    }
    m_nodeValues.append(m_nodeValues.empty() ? "(" : ",(");
    m_nodeValues.append(std::to_string(number));
    m_nodeValues.push_back(',');
    AppendBlob(m_nodeValues, m_node);
    m_nodeValues.push_back(')');
    FlushValues(false);
    AddCell(level + 1, bounds);
}

void TRtreeLoader::FlushValues(bool all)
{
    const auto flush = [&](std::string& values, const char* table, const char* columns) {
        if (values.empty() || (!all && values.size() < kStatementBytes)) {
            return;
        }
        m_execute("INSERT INTO " + QuotedName(m_rtree + table) + columns + " VALUES " + values);
        values.clear();
    };
    flush(m_nodeValues, "_node", "(nodeno, data)");
    flush(m_rowidValues, "_rowid", "(rowid, nodeno)");
    flush(m_parentValues, "_parent", "(nodeno, parentnode)");
}

void TRtreeLoader::Finish()
{
    if (m_levels.empty()) {
        return;
    }
    for (std::size_t level = 0;; ++level) {
        // The root: the only node of the highest level.
        if (level + 1 == m_levels.size() && m_levels[level].Written == 0) {
            WriteNode(level, true);
            break;
        }
        if (!m_levels[level].Cells.empty()) {
            WriteNode(level, false);
        }
    }
    FlushValues(true);
}

} // namespace tolvane::gdal

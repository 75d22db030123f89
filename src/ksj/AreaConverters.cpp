// Surface and area files.
#include "ksj/AreaConverters.h"

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

#include "base/AppError.h"
#include "base/uniBytes.h"
#include "base/uniFields.h"
#include "base/uniMessages.h"
#include "base/uniNumbers.h"
#include "ksj/ColumnSlices.h"
#include "ksj/uniKsjLinks.h"

namespace tolvane::ksj {

namespace {

constexpr std::int32_t kRefsPerLine = 5;
constexpr std::int64_t kRefWidth = 14;
constexpr std::int64_t kMinOutlineLimit = std::int64_t{1} << 20;

/// One chain reference of a record: the chain it names (the first in the file with its keys, or
/// none) and whether it is used backwards.
struct TChainRef
{
    const TKsjLink* Link = nullptr;
    bool Reversed = false;
};

/// What the surface and area passes share: the chains of the file, the current record and
/// its references, and reusable buffers.
class TFeaturePass
{
public:
    explicit TFeaturePass(TConvertContext& ctx) : m_ctx(ctx), m_columns(ctx.ColumnDefLines)
    {
        m_ctx.Src.Rewind();
        ReadKsjLinks(m_ctx.Src, m_links);
        m_ctx.Src.Rewind();
        // A record may use a chain more than once, but an outline far beyond every point of the
        // file is a crafted file asking for unbounded memory; and a shape counts in 32 bits.
        const std::int64_t limit =
            std::max<std::int64_t>(2 * m_links.TotalPoints(), kMinOutlineLimit);
        m_maxOutline = static_cast<std::size_t>(
            std::min<std::int64_t>(limit, std::numeric_limits<std::int32_t>::max()));
    }

    /// Reads up to the next line starting with `letter`, and its references; false at the end.
    bool NextRecord(char letter, std::int64_t countStart)
    {
        while (!m_ctx.Src.Eof()) {
            const std::string_view line = m_ctx.Src.ReadLineView();
            m_ctx.Progress.Step(base::kPumpInterval);
            if (line.empty() || line.front() != letter) {
                continue;
            }
            m_header.assign(line);
            ReadRefs(countStart);
            return true;
        }
        return false;
    }

    const std::vector<TChainRef>& Refs() const noexcept { return m_refs; }

    /// Appends the points of `link` to `points`, last to first when `reversed`.
    void AppendPoints(const TKsjLink& link, bool reversed,
                      std::vector<shapes::TSFPoint>& points) const
    {
        CheckRoom(points.size(), static_cast<std::size_t>(link.PointCount));
        m_links.AppendPoints(link, reversed, points);
    }

    /// Refuses to let an outline of `size` points grow by `more`, beyond the outline limit.
    void CheckRoom(std::size_t size, std::size_t more) const
    {
        if (more > m_maxOutline || size > m_maxOutline - more) {
            throw base::TDataError(
                base::FormatMessage(base::kMsgTooManyPoints, {std::to_string(m_maxOutline)}));
        }
    }

    /// The attribute row of the current record.
    const shapes::TSFRow& Row()
    {
        m_row.Clear();
        m_columns.AppendRow(m_header, m_row);
        return m_row;
    }

private:
    void ReadRefs(std::int64_t countStart)
    {
        const std::int32_t count = ReadKsjCount(m_header, countStart);
        ReadBlockLines(m_ctx.Src, count, kRefsPerLine, m_text, &m_ctx.Progress);
        // The chains of a record lie anywhere in memory: the keys are read first and their
        // index slots, then the chains, then their texts are fetched for all references at
        // once, so that the record waits for memory about three times instead of three times
        // per reference.
        m_keys.clear();
        for (std::int64_t k = 0; k < count; ++k) {
            const std::int64_t at = k * kRefWidth + 1;
            const std::int32_t key1 = base::StrToInt(base::SubStr(m_text, at, 6, true));
            const std::int32_t key2 = base::StrToInt(base::SubStr(m_text, at + 6, 6, true));
            // The third field is not used, but it must be an integer.
            static_cast<void>(base::StrToInt(base::SubStr(m_text, at + 12, 2, true)));
            const std::int64_t abs1 = key1 < 0 ? -std::int64_t{key1} : key1;
            const std::int64_t abs2 = key2 < 0 ? -std::int64_t{key2} : key2;
            m_links.Prefetch(abs1, abs2);
            m_keys.push_back({abs1, abs2, key2 < 0});
        }
        for (const TRefKey& key : m_keys) {
            m_links.PrefetchChain(key.Key1, key.Key2);
        }
        m_refs.clear();
        for (const TRefKey& key : m_keys) {
            const TKsjLink* link = m_links.Find(key.Key1, key.Key2);
            if (link != nullptr) {
                base::Prefetch(link->Text);
            }
            m_refs.push_back({link, key.Reversed});
        }
    }

    struct TRefKey
    {
        std::int64_t Key1 = 0;
        std::int64_t Key2 = 0;
        bool Reversed = false;
    };

    TConvertContext& m_ctx;
    TColumnSlices m_columns;
    TKsjLinks m_links;
    std::string m_header;
    std::string m_text;
    shapes::TSFRow m_row;
    std::vector<TRefKey> m_keys;
    std::vector<TChainRef> m_refs;
    std::size_t m_maxOutline = 0;
};

void SetOutline(shapes::TSFShape& shape)
{
    shape.NumParts = 1;
    shape.Parts.assign(1, 0);
    shape.NumPoints = static_cast<std::int32_t>(shape.Points.size());
}

void Append(const TFeaturePass& pass, std::vector<shapes::TSFPoint>& outline,
            const std::vector<shapes::TSFPoint>& chain, bool reversed)
{
    pass.CheckRoom(outline.size(), chain.size());
    if (reversed) {
        outline.insert(outline.end(), chain.rbegin(), chain.rend());
    } else {
        outline.insert(outline.end(), chain.begin(), chain.end());
    }
}

} // namespace

void ConvertSurface(TConvertContext& ctx)
{
    TFeaturePass pass(ctx);
    shapes::TSFPolyLine shape;
    std::vector<shapes::TSFPoint> chain;
    std::vector<shapes::TSFPoint> next;
    while (pass.NextRecord('S', 48)) {
        const std::vector<TChainRef>& refs = pass.Refs();
        std::vector<shapes::TSFPoint>& outline = shape.Points;
        outline.clear();
        // The chain after the first one found is decoded early to choose the first direction;
        // it is kept for its own turn.
        const TKsjLink* decodedNext = nullptr;
        for (std::size_t k = 0; k < refs.size(); ++k) {
            const TKsjLink* link = refs[k].Link;
            if (link == nullptr) {
                continue;
            }
            if (link == decodedNext) {
                chain.swap(next);
            } else {
                chain.clear();
                pass.AppendPoints(*link, false, chain);
            }
            decodedNext = nullptr;
            // A chain without points adds nothing, and has no first point to compare.
            if (chain.empty()) {
                continue;
            }
            // A chain continues where the outline ends. The first one is turned so that its start
            // meets the next chain; with no next chain to meet (the reference names none, or
            // one without points), and when it is the record's only or last reference, it is
            // taken as stored.
            bool reversed = false;
            if (!outline.empty()) {
                reversed = outline.back() != chain.front();
            } else if (k + 1 < refs.size()) {
                next.clear();
                if (const TKsjLink* nextLink = refs[k + 1].Link) {
                    pass.AppendPoints(*nextLink, false, next);
                    decodedNext = nextLink;
                }
                if (!next.empty()) {
                    reversed = chain.front() == next.front() || chain.front() == next.back();
                }
            }
            Append(pass, outline, chain, reversed);
        }
        if (outline.size() < 2) {
            continue;
        }
        SetOutline(shape);
        shapes::CalcBounds(shape);
        ctx.Out.WritePLine(shape, pass.Row());
    }
}

void ConvertArea(TConvertContext& ctx)
{
    TFeaturePass pass(ctx);
    shapes::TSFPolygon shape;
    while (pass.NextRecord('A', 46)) {
        std::vector<shapes::TSFPoint>& outline = shape.Points;
        outline.clear();
        for (const TChainRef& ref : pass.Refs()) {
            if (ref.Link != nullptr) {
                pass.AppendPoints(*ref.Link, ref.Reversed, outline);
            }
        }
        // An empty outline is not a closed one either.
        if (ctx.ClosedOnly && (outline.empty() || outline.front() != outline.back())) {
            continue;
        }
        SetOutline(shape);
        shapes::CalcBounds(shape);
        ctx.Out.WriteRegion(shape, pass.Row());
    }
}

} // namespace tolvane::ksj

// Generators of line and area files: nodes, links with their coordinate lines, and (for the
// invented layouts) line and area records that reference the links, and multi-line ledgers.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "gen/GenCore.h"
#include "gen/GenProfiles.h"

namespace tolvane::gen {

namespace {

struct TNode
{
    TKsjPoint Pos;
    std::int32_t Mesh = 0;
    std::int64_t Serial = 0;
    std::int64_t Links = 0;
};

struct TChain
{
    std::size_t StartNode = 0;
    std::size_t EndNode = 0;
    std::size_t PointBegin = 0;
    std::size_t PointCount = 0;
    std::int64_t Serial = 0;
    std::int64_t Attr = 0; // ledger attribute number, 0 when the link has no ledger
};

// A reference of a line or area record: a chain, used against its stored direction or not.
struct TRef
{
    std::size_t Chain;
    bool Reversed;
};

struct TFeature
{
    std::int32_t Mesh = 0;
    std::int64_t Serial = 0;
    std::int64_t Attr = 0;
    std::vector<TRef> Refs;
};

class TNetwork
{
public:
    std::size_t AddNode(TKsjPoint pos)
    {
        TNode node;
        node.Pos = pos;
        node.Mesh = Mesh2Of(pos);
        node.Serial = ++m_nodeSerials[node.Mesh];
        Nodes.push_back(node);
        return Nodes.size() - 1;
    }

    /// A chain from `from` to `to` through `inner`, stored reversed when `reversed` is set.
    std::size_t AddChain(std::size_t from, std::size_t to, const std::vector<TKsjPoint>& inner,
                         bool reversed)
    {
        TChain chain;
        chain.StartNode = reversed ? to : from;
        chain.EndNode = reversed ? from : to;
        chain.PointBegin = Points.size();
        Points.push_back(Nodes[chain.StartNode].Pos);
        if (reversed) {
            Points.insert(Points.end(), inner.rbegin(), inner.rend());
        } else {
            Points.insert(Points.end(), inner.begin(), inner.end());
        }
        Points.push_back(Nodes[chain.EndNode].Pos);
        chain.PointCount = Points.size() - chain.PointBegin;
        chain.Serial = ++m_linkSerials[Nodes[chain.StartNode].Mesh];
        if (chain.Serial > 99999) {
            // A reversed reference writes the serial with a minus sign in six columns.
            throw TGenRequestError("too many links in one second-level mesh");
        }
        ++Nodes[from].Links;
        ++Nodes[to].Links;
        Chains.push_back(chain);
        return Chains.size() - 1;
    }

    std::int32_t ChainMesh(const TChain& chain) const { return Nodes[chain.StartNode].Mesh; }

    TFeature NewFeature(TKsjPoint at)
    {
        TFeature feature;
        feature.Mesh = Mesh2Of(at);
        feature.Serial = ++m_featureSerials[feature.Mesh];
        return feature;
    }

    std::vector<TNode> Nodes;
    std::vector<TChain> Chains;
    std::vector<TKsjPoint> Points;
    std::vector<TFeature> Features;

private:
    std::unordered_map<std::int32_t, std::int64_t> m_nodeSerials;
    std::unordered_map<std::int32_t, std::int64_t> m_linkSerials;
    std::unordered_map<std::int32_t, std::int64_t> m_featureSerials;
};

// Inner points of a chain from a to b: along the segment, wandering to the side.
void InnerPoints(TGenRandom& rnd, TKsjPoint a, TKsjPoint b, std::int64_t count,
                 std::vector<TKsjPoint>& inner)
{
    inner.clear();
    const std::int64_t dx = b.X - a.X;
    const std::int64_t dy = b.Y - a.Y;
    const std::int64_t side = std::max<std::int64_t>(1, (std::abs(dx) + std::abs(dy)) / 10);
    for (std::int64_t i = 1; i <= count; ++i) {
        TKsjPoint p;
        p.X = a.X + dx * i / (count + 1) + rnd.Between(-side, side);
        p.Y = a.Y + dy * i / (count + 1) + rnd.Between(-side, side);
        inner.push_back(p);
    }
}

// Lines that wander from node to node, in paths of one to six links, until there are `chains`
// links or `paths` paths. Each path is one feature (a line record) whose references join end
// to end.
void BuildPaths(TGenRandom& rnd, TNetwork& net, const std::int32_t* mesh1, std::size_t mesh1Count,
                std::int64_t chains, std::int64_t paths)
{
    std::vector<TKsjPoint> inner;
    std::int64_t made = 0;
    const auto meshCount = static_cast<std::int64_t>(mesh1Count) * 64;
    for (std::int64_t path = 0; path < paths && made < chains; ++path) {
        const std::int64_t links = std::min<std::int64_t>(rnd.Between(1, 6), chains - made);
        const TKsjPoint origin = Mesh2Origin(NthMesh2(mesh1, mesh1Count, rnd.Below(meshCount)));
        TKsjPoint pos{origin.X + rnd.Between(200, 4300), origin.Y + rnd.Between(200, 2800)};
        std::size_t node = net.AddNode(pos);
        TFeature feature = net.NewFeature(pos);
        std::int64_t headingX = rnd.Between(-300, 300);
        std::int64_t headingY = rnd.Between(-300, 300);
        for (std::int64_t l = 0; l < links; ++l) {
            headingX = std::clamp<std::int64_t>(headingX + rnd.Between(-120, 120), -400, 400);
            headingY = std::clamp<std::int64_t>(headingY + rnd.Between(-120, 120), -400, 400);
            const std::int64_t steps = rnd.Between(1, 4);
            const TKsjPoint next{pos.X + headingX * steps + rnd.Between(-40, 40),
                                 pos.Y + headingY * steps + rnd.Between(-40, 40) + 1};
            InnerPoints(rnd, pos, next, rnd.Between(0, 3) == 0 ? 0 : rnd.Between(1, 14), inner);
            const std::size_t nextNode = net.AddNode(next);
            const bool reversed = rnd.Percent(30);
            const std::size_t chain = net.AddChain(node, nextNode, inner, reversed);
            feature.Refs.push_back({chain, reversed});
            node = nextNode;
            pos = next;
        }
        net.Features.push_back(std::move(feature));
        made += links;
    }
}

struct TGridEdge
{
    std::vector<std::size_t> Chains; // in the edge's direction (west to east, south to north)
    std::vector<bool> Reversed;      // chain stored against the edge's direction
};

// A grid of cells whose edges are links shared by the neighbouring cells; `extra` edges are
// split in two by a node, `areas` cells become area features in ring order.
void BuildGrid(TGenRandom& rnd, TNetwork& net, TKsjPoint origin, std::int64_t width,
               std::int64_t height, std::int64_t extra, std::int64_t areas)
{
    if (width <= 0 || height <= 0) {
        return;
    }
    const std::int64_t cellW = std::max<std::int64_t>(40, 36000 / width);
    const std::int64_t cellH = std::max<std::int64_t>(40, 21600 / height);
    std::vector<std::size_t> vertices;
    vertices.reserve(static_cast<std::size_t>((width + 1) * (height + 1)));
    for (std::int64_t j = 0; j <= height; ++j) {
        for (std::int64_t i = 0; i <= width; ++i) {
            const TKsjPoint p{origin.X + i * cellW + rnd.Between(-cellW / 6, cellW / 6),
                              origin.Y + j * cellH + rnd.Between(-cellH / 6, cellH / 6)};
            vertices.push_back(net.AddNode(p));
        }
    }
    const auto vertex = [&](std::int64_t i, std::int64_t j) {
        return vertices[static_cast<std::size_t>(j * (width + 1) + i)];
    };
    const std::int64_t edgeCount = width * (height + 1) + height * (width + 1);
    std::int64_t edgeIndex = 0;
    std::vector<TKsjPoint> inner;
    const auto makeEdge = [&](std::size_t a, std::size_t b) {
        TGridEdge edge;
        // Exactly `extra` of the edges are split, spread evenly over the grid.
        const bool split = (edgeIndex + 1) * extra / edgeCount > edgeIndex * extra / edgeCount;
        ++edgeIndex;
        std::size_t from = a;
        const TKsjPoint pa = net.Nodes[a].Pos;
        const TKsjPoint pb = net.Nodes[b].Pos;
        if (split) {
            const TKsjPoint mid{(pa.X + pb.X) / 2 + rnd.Between(-3, 3),
                                (pa.Y + pb.Y) / 2 + rnd.Between(-3, 3)};
            const std::size_t midNode = net.AddNode(mid);
            InnerPoints(rnd, pa, mid, rnd.Between(0, 4), inner);
            const bool reversed = rnd.Percent(30);
            edge.Chains.push_back(net.AddChain(a, midNode, inner, reversed));
            edge.Reversed.push_back(reversed);
            from = midNode;
        }
        InnerPoints(rnd, net.Nodes[from].Pos, pb, rnd.Between(0, 6), inner);
        const bool reversed = rnd.Percent(30);
        edge.Chains.push_back(net.AddChain(from, b, inner, reversed));
        edge.Reversed.push_back(reversed);
        return edge;
    };
    std::vector<TGridEdge> horizontal; // (i, j): vertex (i, j) to (i + 1, j)
    std::vector<TGridEdge> vertical;   // (i, j): vertex (i, j) to (i, j + 1)
    for (std::int64_t j = 0; j <= height; ++j) {
        for (std::int64_t i = 0; i < width; ++i) {
            horizontal.push_back(makeEdge(vertex(i, j), vertex(i + 1, j)));
        }
        if (j < height) {
            for (std::int64_t i = 0; i <= width; ++i) {
                vertical.push_back(makeEdge(vertex(i, j), vertex(i, j + 1)));
            }
        }
    }
    // Vertical edges were made row by row, interleaved with the horizontal ones: index them.
    const auto hEdge = [&](std::int64_t i, std::int64_t j) -> const TGridEdge& {
        return horizontal[static_cast<std::size_t>(j * width + i)];
    };
    const auto vEdge = [&](std::int64_t i, std::int64_t j) -> const TGridEdge& {
        return vertical[static_cast<std::size_t>(j * (width + 1) + i)];
    };
    const auto walk = [](TFeature& feature, const TGridEdge& edge, bool backward) {
        const std::size_t n = edge.Chains.size();
        for (std::size_t k = 0; k < n; ++k) {
            const std::size_t idx = backward ? n - 1 - k : k;
            feature.Refs.push_back({edge.Chains[idx], edge.Reversed[idx] != backward});
        }
    };
    for (std::int64_t a = 0; a < areas; ++a) {
        const std::int64_t i = a % width;
        const std::int64_t j = a / width;
        TFeature feature = net.NewFeature(net.Nodes[vertex(i, j)].Pos);
        // Counter-clockwise from the south-west corner.
        walk(feature, hEdge(i, j), false);
        walk(feature, vEdge(i + 1, j), false);
        walk(feature, hEdge(i, j + 1), true);
        walk(feature, vEdge(i, j), true);
        net.Features.push_back(std::move(feature));
    }
}

// Single links with nodes of their own, beyond what a grid needs.
void BuildLooseChains(TGenRandom& rnd, TNetwork& net, TKsjPoint origin, std::int64_t count)
{
    std::vector<TKsjPoint> inner;
    for (std::int64_t c = 0; c < count; ++c) {
        const TKsjPoint a{origin.X + rnd.Between(0, 36000), origin.Y + rnd.Between(0, 21600)};
        const TKsjPoint b{a.X + rnd.Between(-600, 600), a.Y + rnd.Between(-600, 600) + 1};
        InnerPoints(rnd, a, b, rnd.Between(0, 8), inner);
        const std::size_t from = net.AddNode(a);
        net.AddChain(from, net.AddNode(b), inner, false);
    }
}

// Names for the ledgers of the invented layouts.
const std::vector<std::string>& LedgerNames()
{
    static const std::vector<std::string> names =
        ToSjisList({"国道２０号", "国道２４６号", "都道４１３号線", "空港連絡道路", "中央自動車道",
                    "首都高速４号線", "鳥獣保護区　高尾山", "奥多摩鳥獣保護区", "明治の森",
                    "多摩川河川敷", "東京港野鳥公園", "水元公園"});
    return names;
}
const std::vector<std::string>& LedgerNotes()
{
    static const std::vector<std::string> notes =
        ToSjisList({"昭和５９年　供用開始", "一部区間　工事中", "特別保護地区を含む", "",
                    "狩猟禁止", "昭和５７年　指定"});
    return notes;
}
const std::vector<std::string>& LedgerPlaces()
{
    static const std::vector<std::string> places =
        ToSjisList({"八王子市", "千代田区", "大田区", "奥多摩町", "青梅市", "江戸川区", "高知市",
                    "四万十市", "いの町"});
    return places;
}

struct TFileInfo
{
    std::string_view Agency;
    std::string_view DataCode;
    int Kind; // 2 line, 3 area
    int Year;
    char FeatureLetter; // 'S' line records, 'A' area records, 0 none
    // Key of the link ledger (line files) or area ledger (area files). Its first letter must
    // not be a record letter (N, L, S, A): the converters look at the first byte only.
    std::string_view LedgerKey;
};

void PutRefs(TRecord& rec, const TNetwork& net, const TFeature& feature, TLineSink& sink)
{
    rec.Clear();
    for (std::size_t k = 0; k < feature.Refs.size(); ++k) {
        const TRef& ref = feature.Refs[k];
        const TChain& chain = net.Chains[ref.Chain];
        rec.Zero(net.ChainMesh(chain), 6).Int(ref.Reversed ? -chain.Serial : chain.Serial, 6);
        rec.Int(0, 2);
        if (k % 5 == 4 || k + 1 == feature.Refs.size()) {
            sink.Line(rec.View());
            rec.Clear();
        }
    }
}

void WriteLedgerEntry(TGenRandom& rnd, TLineSink& sink, TRecord& rec, std::string_view key,
                      std::int64_t attr, bool area)
{
    const std::int64_t lines = rnd.Percent(70) ? 2 : 1;
    rec.Clear();
    rec.Text(key, 3).Int(attr, 10).Int(lines, 3);
    rec.Text(rnd.Pick(LedgerNames().data(), LedgerNames().size()), 40);
    rec.Text(rnd.Pick(LedgerNotes().data(), LedgerNotes().size()), 40);
    sink.Line(rec.View());
    if (lines == 2) {
        rec.Clear();
        if (area) {
            rec.Int(rnd.Between(1950, 1984) * 10000 + rnd.Between(1, 12) * 100 + rnd.Between(1, 28),
                    8);
            rec.Int(rnd.Between(10, 90000), 10);
            rec.Text(rnd.Pick(LedgerPlaces().data(), LedgerPlaces().size()), 30);
        } else {
            rec.Text(rnd.Pick(LedgerPlaces().data(), LedgerPlaces().size()), 40);
            rec.Int(rnd.Between(50, 60000), 8);
        }
        sink.Line(rec.View());
    }
}

// Writes header, nodes, links, features and ledgers, in the order of the published files.
void WriteNetwork(TGenRandom& rnd, TNetwork& net, const TFileInfo& info, bool featureLedger,
                  bool linkLedger, base::TSjisWriter& out)
{
    std::vector<std::size_t> order(net.Nodes.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        order[i] = i;
    }
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return net.Nodes[a].Mesh < net.Nodes[b].Mesh;
    });
    TRecord rec;
    TLineSink nodes;
    for (const std::size_t i : order) {
        const TNode& n = net.Nodes[i];
        rec.Clear();
        rec.Raw("N  ").Zero(n.Mesh, 6).Int(n.Serial, 6).Int(n.Pos.X, 8).Int(n.Pos.Y, 8);
        rec.Int(0, 2).Blanks(10).Int(n.Links, 3).Int(0, 2).Blanks(12);
        nodes.Line(rec.View());
    }

    std::vector<std::size_t> chainOrder(net.Chains.size());
    for (std::size_t i = 0; i < chainOrder.size(); ++i) {
        chainOrder[i] = i;
    }
    std::stable_sort(chainOrder.begin(), chainOrder.end(), [&](std::size_t a, std::size_t b) {
        return net.ChainMesh(net.Chains[a]) < net.ChainMesh(net.Chains[b]);
    });
    std::int64_t nextAttr = 0;
    if (linkLedger) {
        for (const std::size_t i : chainOrder) {
            if (rnd.Percent(30)) {
                net.Chains[i].Attr = ++nextAttr;
            }
        }
    }
    TLineSink links;
    std::string coords;
    for (const std::size_t i : chainOrder) {
        const TChain& c = net.Chains[i];
        const TNode& from = net.Nodes[c.StartNode];
        const TNode& to = net.Nodes[c.EndNode];
        rec.Clear();
        rec.Raw("L  ").Zero(from.Mesh, 6).Int(from.Serial, 6).Zero(to.Mesh, 6).Int(to.Serial, 6);
        rec.Int(c.Serial, 6).Int(c.Attr != 0 ? 1 : 0, 2);
        if (c.Attr != 0) {
            rec.Int(c.Attr, 10);
        } else {
            rec.Blanks(10);
        }
        rec.Int(static_cast<std::int64_t>(c.PointCount), 6);
        links.Line(rec.View());
        // Five points to a line; the last line of a chain is not padded.
        rec.Clear();
        for (std::size_t p = 0; p < c.PointCount; ++p) {
            const TKsjPoint& pt = net.Points[c.PointBegin + p];
            rec.Int(pt.X, 8).Int(pt.Y, 8);
            if (p % 5 == 4 || p + 1 == c.PointCount) {
                links.Line(rec.View());
                rec.Clear();
            }
        }
    }

    TLineSink features;
    TLineSink featureLedgers;
    TLineSink linkLedgers;
    if (info.FeatureLetter != 0) {
        std::vector<std::size_t> featureOrder(net.Features.size());
        for (std::size_t i = 0; i < featureOrder.size(); ++i) {
            featureOrder[i] = i;
        }
        std::stable_sort(featureOrder.begin(), featureOrder.end(),
                         [&](std::size_t a, std::size_t b) {
                             return net.Features[a].Mesh < net.Features[b].Mesh;
                         });
        std::int64_t attr = 0;
        for (const std::size_t i : featureOrder) {
            TFeature& f = net.Features[i];
            f.Attr = featureLedger ? ++attr : 0;
            rec.Clear();
            rec.Raw(std::string_view(&info.FeatureLetter, 1)).Blanks(2);
            rec.Zero(f.Mesh, 6).Int(f.Serial, 6).Blanks(18).Int(f.Attr != 0 ? 1 : 0, 2);
            if (f.Attr != 0) {
                rec.Int(f.Attr, 10);
            } else {
                rec.Blanks(10);
            }
            if (info.FeatureLetter == 'S') {
                rec.Int(rnd.Between(1, 3), 2); // kind of line
            }
            rec.Int(static_cast<std::int64_t>(f.Refs.size()), 6);
            features.Line(rec.View());
            PutRefs(rec, net, f, features);
            if (f.Attr != 0) {
                WriteLedgerEntry(rnd, featureLedgers, rec, info.LedgerKey, f.Attr, true);
            }
        }
    }
    for (std::int64_t attr = 1; attr <= nextAttr; ++attr) {
        WriteLedgerEntry(rnd, linkLedgers, rec, info.LedgerKey, attr, false);
    }

    const std::int64_t total = 2 + nodes.Lines() + links.Lines() + features.Lines() +
                               featureLedgers.Lines() + linkLedgers.Lines();
    const std::size_t width =
        std::max({nodes.MaxWidth(), links.MaxWidth(), features.MaxWidth(),
                  featureLedgers.MaxWidth(), linkLedgers.MaxWidth(), std::size_t{56}});
    TLineSink head(out);
    head.Line(HeaderLine(info.Agency, info.DataCode, info.Kind, info.Year, width, -1));
    rec.Clear();
    rec.Int(total, 8).Int(nodes.Lines(), 8).Int(links.Lines(), 8).Int(features.Lines(), 8);
    rec.Int(0, 8).Int(linkLedgers.Lines(), 8).Int(featureLedgers.Lines(), 8);
    head.Line(rec.View());
    head.Flush();
    out.Write(nodes.Bytes());
    out.Write(links.Bytes());
    out.Write(features.Bytes());
    out.Write(featureLedgers.Bytes());
    out.Write(linkLedgers.Bytes());
    out.Write(std::string_view(&kCtrlZ, 1));
}

// First-level meshes along the coasts of Honshu, Shikoku and Kyushu.
constexpr std::int32_t kCoastMesh1[] = {5030, 5031, 5133, 5134, 5135, 5235, 5236, 5239,
                                        5339, 5340, 5438, 5440, 5540, 5541, 5640, 5741};
// First-level meshes of large airports: Naha, Kagoshima, Kumamoto, Fukuoka, Hiroshima, Itami,
// Chubu, Haneda, Narita, Sendai, New Chitose.
constexpr std::int32_t kAirportMesh1[] = {3927, 4730, 4930, 5030, 5132, 5235,
                                          5236, 5339, 5340, 5740, 6441};
// South-west corner of the grids, in Kochi prefecture (132.5°E, 33°N).
constexpr TKsjPoint kKochiOrigin{133 * 36000 - 18000, 33 * 36000};

// The square grid whose links number at most `links`: 2n(n + 1) of them.
std::int64_t GridSideFor(std::int64_t links)
{
    std::int64_t n = 0;
    while (2 * (n + 1) * (n + 2) <= links) {
        ++n;
    }
    return n;
}

void GenerateLinks(const TGenRequest& request, base::TSjisWriter& out, const TFileInfo& info,
                   const std::int32_t* mesh1, std::size_t mesh1Count)
{
    TGenRandom rnd(request.Seed);
    TNetwork net;
    BuildPaths(rnd, net, mesh1, mesh1Count, request.Records, INT64_MAX);
    WriteNetwork(rnd, net, info, false, false, out);
}

} // namespace

void GenerateC2859L(const TGenRequest& request, base::TSjisWriter& out)
{
    GenerateLinks(request, out, {"GSI", "C28-59L", 2, 1984, 0, ""}, kAirportMesh1,
                  std::size(kAirportMesh1));
}

void GenerateC1360L(const TGenRequest& request, base::TSjisWriter& out)
{
    GenerateLinks(request, out, {"MSA", "C13-60L", 2, 1985, 0, ""}, kCoastMesh1,
                  std::size(kCoastMesh1));
}

void GenerateA1557A(const TGenRequest& request, base::TSjisWriter& out)
{
    TGenRandom rnd(request.Seed);
    TNetwork net;
    const std::int64_t side = GridSideFor(request.Records);
    const std::int64_t gridLinks = 2 * side * (side + 1);
    const std::int64_t extra = request.Records - gridLinks;
    const std::int64_t splits = std::min(extra, gridLinks);
    BuildGrid(rnd, net, kKochiOrigin, side, side, splits, 0);
    BuildLooseChains(rnd, net, kKochiOrigin, extra - splits);
    net.Features.clear();
    WriteNetwork(rnd, net, {"GSI", "A15-57A", 3, 1982, 0, ""}, false, false, out);
}

void GenerateLineFile(const TGenRequest& request, base::TSjisWriter& out)
{
    TGenRandom rnd(request.Seed);
    TNetwork net;
    // Records counts line records; each takes one to six links.
    BuildPaths(rnd, net, kCoastMesh1, std::size(kCoastMesh1), INT64_MAX, request.Records);
    if (request.Chains > 0) {
        const auto chains = static_cast<std::int64_t>(net.Chains.size());
        if (request.Chains < chains) {
            throw TGenRequestError("the lines need at least " + std::to_string(chains) + " links");
        }
        BuildLooseChains(rnd, net, Mesh2Origin(533900), request.Chains - chains);
    }
    WriteNetwork(rnd, net, {"GSI", "X04-59L", 2, 1984, 'S', "DL"}, false, true, out);
}

void GenerateAreaFile(const TGenRequest& request, base::TSjisWriter& out)
{
    TGenRandom rnd(request.Seed);
    TNetwork net;
    std::int64_t width = 0;
    while (width * width < request.Records) {
        ++width;
    }
    const std::int64_t height = width == 0 ? 0 : (request.Records + width - 1) / width;
    const std::int64_t edges = width * (height + 1) + height * (width + 1);
    const std::int64_t chains = request.Chains > 0 ? request.Chains : edges + edges / 4;
    if (chains < edges) {
        throw TGenRequestError(std::to_string(request.Records) + " areas need at least " +
                               std::to_string(edges) + " links");
    }
    const std::int64_t splits = std::min(chains - edges, edges);
    BuildGrid(rnd, net, kKochiOrigin, width, height, splits, request.Records);
    BuildLooseChains(rnd, net, kKochiOrigin, chains - edges - splits);
    WriteNetwork(rnd, net, {"GSI", "X05-57A", 3, 1982, 'A', "DA"}, true, false, out);
}

} // namespace tolvane::gen

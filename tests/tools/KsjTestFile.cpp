// Independent readers of generated KSJ files for the tests.
#include "KsjTestFile.h"

#include <charconv>

#include <gtest/gtest.h>

#include "base/uniFields.h"

namespace tolvane::test {

TFileLines SplitCrLf(std::string_view bytes)
{
    TFileLines out;
    if (!bytes.empty() && bytes.back() == '\x1A') {
        out.EndsWithCtrlZ = true;
        bytes.remove_suffix(1);
    }
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::size_t lf = bytes.find('\n', pos);
        if (lf == std::string_view::npos) {
            out.CrLfOnly = false;
            out.Lines.emplace_back(bytes.substr(pos));
            break;
        }
        if (lf == pos || bytes[lf - 1] != '\r') {
            out.CrLfOnly = false;
            out.Lines.emplace_back(bytes.substr(pos, lf - pos));
        } else {
            out.Lines.emplace_back(bytes.substr(pos, lf - 1 - pos));
        }
        pos = lf + 1;
    }
    for (const std::string& line : out.Lines) {
        if (line.find('\r') != std::string::npos || line.find('\x1A') != std::string::npos) {
            out.CrLfOnly = false;
        }
    }
    return out;
}

int RecordWidthOf(std::string_view name)
{
    // Widths of the records as the generator writes them: the published layouts, cut where the
    // published part ends (L01-08P at 191, W03-52T at 96, C42-60T at 94), and the invented ones.
    static const std::map<std::string_view, int> kWidths = {
        {"col_L01-08P.txt", 191},    {"col_L03-51M.txt", 237},   {"col_L03-51M_sub.txt", 237},
        {"col_L03-18M.txt", 120},    {"col_G06-50M.txt", 123},   {"col_node.txt", 60},
        {"col_link.txt", 51},        {"ldg_W14-52T.txt", 80},    {"ldg_W03-52T.txt", 96},
        {"ldg_C42-60T.txt", 94},     {"ldg_C08-49T.txt", 132},   {"col_X01_guess.txt", 55},
        {"col_X02_guess.txt", 40},   {"col_X03_guess.txt", 28},  {"col_G04-56M_guess.txt", 295},
        {"col_line_guess.txt", 53},  {"col_area_guess.txt", 51}, {"ldg_link_guess.txt", 144},
        {"ldg_area_guess.txt", 144},
    };
    const auto it = kWidths.find(name);
    return it == kWidths.end() ? -1 : it->second;
}

std::int64_t IntOf(std::string_view text)
{
    const std::string_view t = base::TrimBlanks(text);
    std::int64_t value = 0;
    const auto res = std::from_chars(t.data(), t.data() + t.size(), value);
    if (t.empty() || res.ec != std::errc() || res.ptr != t.data() + t.size()) {
        ADD_FAILURE() << "not an integer: '" << text << "'";
        return 0;
    }
    return value;
}

const TChainRecord* TVectorFile::FindChain(std::int64_t key1, std::int64_t key2) const
{
    for (const TChainRecord& chain : Chains) {
        if (chain.Key1 == key1 && chain.Key2 == key2) {
            return &chain;
        }
    }
    return nullptr;
}

TVectorFile ParseVectorFile(const std::vector<std::string>& lines, char featureLetter,
                            std::string_view ledgerKey)
{
    TVectorFile file;
    if (lines.size() < 2) {
        ADD_FAILURE() << "no header lines";
        return file;
    }
    file.Header1 = lines[0];
    for (int k = 0; k < 7; ++k) {
        file.Counts.push_back(IntOf(base::SubStr(lines[1], 1 + 8 * k, 8, false)));
    }
    EXPECT_EQ(lines[1].size(), 56u);
    std::size_t i = 2;
    const auto next = [&](std::string_view what) -> const std::string& {
        static const std::string kNone;
        if (i >= lines.size()) {
            ADD_FAILURE() << "file ends inside " << what;
            return kNone;
        }
        return lines[i++];
    };
    while (i < lines.size()) {
        const std::string& line = lines[i++];
        const std::string_view key = base::TrimBlanks(base::SubStr(line, 1, 3, false));
        if (key == "N") {
            ++file.NodeLines;
            const std::pair node{IntOf(line.substr(3, 6)), IntOf(line.substr(9, 6))};
            EXPECT_TRUE(
                file.Nodes
                    .emplace(node, TPointXY{IntOf(line.substr(15, 8)), IntOf(line.substr(23, 8))})
                    .second)
                << "node twice: " << line;
            file.NodeLinks[node] = IntOf(line.substr(43, 3));
        } else if (key == "L") {
            TChainRecord chain;
            chain.Header = line;
            chain.Key1 = IntOf(line.substr(3, 6));
            chain.Key2 = IntOf(line.substr(27, 6));
            chain.StartNode = {IntOf(line.substr(3, 6)), IntOf(line.substr(9, 6))};
            chain.EndNode = {IntOf(line.substr(15, 6)), IntOf(line.substr(21, 6))};
            const std::int64_t n = IntOf(line.substr(45, 6));
            std::string joined;
            for (std::int64_t l = 0; l < (n + 4) / 5; ++l) {
                const std::string& coords = next("a chain");
                chain.LineLengths.push_back(coords.size());
                joined += coords;
            }
            for (std::int64_t p = 0; p < n; ++p) {
                const auto at = static_cast<std::size_t>(16 * p);
                chain.Points.push_back(
                    {IntOf(joined.substr(at, 8)), IntOf(joined.substr(at + 8, 8))});
            }
            file.LinkLines += 1 + static_cast<std::int64_t>(chain.LineLengths.size());
            file.Chains.push_back(std::move(chain));
        } else if (!ledgerKey.empty() && key == ledgerKey) {
            TLedgerEntry entry;
            entry.Attr = IntOf(line.substr(3, 10));
            entry.Lines.push_back(line);
            const std::int64_t n = IntOf(line.substr(13, 3));
            for (std::int64_t l = 1; l < n; ++l) {
                entry.Lines.push_back(next("a ledger entry"));
            }
            file.LedgerLines += n;
            file.Ledgers.push_back(std::move(entry));
        } else if (featureLetter != 0 && key == std::string_view(&featureLetter, 1)) {
            TFeatureRecord feature;
            feature.Header = line;
            const std::int64_t c = IntOf(line.substr(featureLetter == 'S' ? 47 : 45, 6));
            std::string joined;
            for (std::int64_t l = 0; l < (c + 4) / 5; ++l) {
                const std::string& refs = next("a reference list");
                feature.LineLengths.push_back(refs.size());
                joined += refs;
            }
            for (std::int64_t r = 0; r < c; ++r) {
                const auto at = static_cast<std::size_t>(14 * r);
                const std::int64_t key2 = IntOf(joined.substr(at + 6, 6));
                feature.Refs.push_back(
                    {IntOf(joined.substr(at, 6)), key2 < 0 ? -key2 : key2, key2 < 0});
                IntOf(joined.substr(at + 12, 2));
            }
            file.FeatureLines += 1 + static_cast<std::int64_t>(feature.LineLengths.size());
            file.Features.push_back(std::move(feature));
        } else {
            ADD_FAILURE() << "unexpected line " << i << ": " << line;
        }
    }
    return file;
}

} // namespace tolvane::test

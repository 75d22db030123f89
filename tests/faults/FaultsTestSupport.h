// What the fault and data-safety tests share: a copy of the fuzz Define folder (every format
// code, small column definitions) in a scratch folder, the real converters, and source builders.
#pragma once

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/uniCodePage.h"
#include "driver/Catalogue.h"
#include "driver/ConvertDriver.h"
#include "ksj/KsjTestLines.h"
#include "support/TestSupport.h"

namespace tolvane::test {

/// A P record: mesh "533923", X at bytes 10 to 17, Y at 18 to 25, `attr` from byte 36.
inline std::string PointRecord(int no, const std::string& attr = "ATTR")
{
    return "P  533923" + Right(std::to_string(5019408 + no), 8) +
           Right(std::to_string(1280196 + no), 8) + Right(std::to_string(no), 10) + attr;
}

/// An M3 record for the third-level cell 5339 45 `cell` (two digits), value `no`.
inline std::string MeshRecord(int cell, int no)
{
    const std::string c = std::to_string(10 + cell % 80);
    return "M    533945" + c + Right(std::to_string(no), 5) + "NAME";
}

/// A tab-separated M3NS record.
inline std::string TabMeshRecord(int cell, const std::string& rest = "ABC\t12")
{
    return "533945" + std::to_string(10 + cell % 80) + "\t" + rest;
}

class TKsjFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Define = Dir / "Define";
        std::filesystem::copy(SourceDir() / "fuzz" / "define", Define);
        Catalogue = driver::LoadCatalogue(Define);
    }

    /// The catalogue index of the item named `name` (UTF-8).
    std::int64_t Item(std::string_view name) const
    {
        for (std::int64_t i = 0; i < Catalogue.Count(); ++i) {
            if (base::SjisToUtf8(Catalogue.Item(i).ItemName) == name) {
                return i;
            }
        }
        ADD_FAILURE() << "no item " << name;
        return -1;
    }

    bool Convert(std::string_view item, const std::filesystem::path& src,
                 const std::filesystem::path& dst)
    {
        return ConvertRecorded(Catalogue, Item(item), src, dst, 1, Observer);
    }

    /// The names in `dir`.
    static std::set<std::string> Names(const std::filesystem::path& dir)
    {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir)) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }

    TTempDir Dir;
    std::filesystem::path Define;
    driver::TCatalogue Catalogue;
    TRecordingObserver Observer;
};

} // namespace tolvane::test

// Outputs written under temporary names: what reaches its place after a success, a failure and a
// cancel, one writer per destination, and destinations that are links, folders, pipes or devices.
#include "base/OutputFiles.h"

#include <set>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <gtest/gtest.h>

#include "base/uniTextFile.h"
#include "support/TestSupport.h"

using namespace tolvane::base;
using tolvane::test::MakeSymlink;
using tolvane::test::NullDevice;
using tolvane::test::ReadBytes;
using tolvane::test::TTempDir;
using tolvane::test::WriteBytes;

namespace {

std::set<std::string> Names(const std::filesystem::path& dir)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

} // namespace

TEST(TOutputFiles, EachOutputReachesItsPlaceAsTheOutcomeAsks)
{
    enum class TEnd { Success, Failure, Cancel };
    const struct
    {
        TEnd End;
        TOnFailure OnFailure;
        bool Written;
        const char* Expected; // the destination afterwards
    } cases[] = {
        {TEnd::Success, TOnFailure::Drop, true, "new"},
        {TEnd::Success, TOnFailure::Keep, false, "earlier"}, // never created: nothing to place
        {TEnd::Failure, TOnFailure::Keep, true, "new"},
        {TEnd::Failure, TOnFailure::Drop, true, "earlier"},
        {TEnd::Cancel, TOnFailure::Keep, true, "earlier"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(&c - cases));
        TTempDir dir;
        WriteBytes(dir / "out.gpkg", "earlier");
        {
            TOutputFiles outputs({{dir / "out.gpkg", c.OnFailure}});
            const auto& temporary = outputs.WritePath(0);
            EXPECT_EQ(temporary.parent_path(), std::filesystem::canonical(dir.Path()));
            EXPECT_EQ(temporary.extension(), ".gpkg");
            if (c.Written) {
                SaveLines(temporary, {"new"});
            }
            EXPECT_EQ(ReadBytes(dir / "out.gpkg"), "earlier");
            if (c.End == TEnd::Cancel) {
                outputs.Drop();
            } else {
                outputs.Place(c.End == TEnd::Success);
            }
            const bool placed = std::string(c.Expected) == "new";
            EXPECT_EQ(outputs.Placed().size(), placed ? 1U : 0U);
        }
        EXPECT_EQ(ReadBytes(dir / "out.gpkg"),
                  c.Expected == std::string("new") ? "new\r\n" : "earlier");
        EXPECT_EQ(Names(dir.Path()), std::set<std::string>{"out.gpkg"}) << "nothing else left";
    }
}

TEST(TOutputFiles, SecondWriterOfOneFileIsRefusedUntilTheFirstEnds)
{
    TTempDir dir;
    std::filesystem::create_directory(dir / "sub");
    const bool link = MakeSymlink(dir / "a.mif", dir / "link.mif");
    auto first =
        std::make_unique<TOutputFiles>(std::vector<TOutputSpec>{{dir / "a.mif"}, {dir / "a.mid"}});
    // However the second names it, and whichever of the files it shares.
    std::vector<std::filesystem::path> spellings{dir / "a.mif", dir / "sub" / ".." / "a.mid"};
    if (link) {
        spellings.push_back(dir / "link.mif");
    }
    for (const auto& path : spellings) {
        SCOPED_TRACE(path);
        try {
            TOutputFiles second({{dir / "b.mif"}, {path}});
            ADD_FAILURE() << "no error";
        } catch (const TFileError& e) {
            EXPECT_EQ(e.Text(), "変換後のファイル \"" + path.string() +
                                    "\" には別の変換が書き込んでいます。その変換が終わってから"
                                    "やり直してください");
        }
    }
    first->Place(true);
    TOutputFiles again({{dir / "a.mif"}});
    again.Drop();
    first.reset();
    const std::set<std::string> left =
        link ? std::set<std::string>{"sub", "link.mif"} : std::set<std::string>{"sub"};
    EXPECT_EQ(Names(dir.Path()), left);
}

#ifndef _WIN32 // links and access rights of POSIX
TEST(TOutputFiles, LinkStaysALinkAndTheReplacedFileKeepsItsRights)
{
    TTempDir dir;
    std::filesystem::create_directory(dir / "data");
    WriteBytes(dir / "data" / "real.csv", "earlier");
    ::chmod((dir / "data" / "real.csv").c_str(), 0640);
    std::filesystem::create_symlink(dir / "data" / "real.csv", dir / "link.csv");
    TOutputFiles outputs({{dir / "link.csv"}});
    EXPECT_EQ(outputs.WritePath(0).parent_path(), std::filesystem::canonical(dir / "data"));
    SaveLines(outputs.WritePath(0), {"new"});
    outputs.Place(true);
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.csv"));
    EXPECT_EQ(ReadBytes(dir / "data" / "real.csv"), "new\r\n");
    struct stat st
    {
    };
    ASSERT_EQ(::stat((dir / "data" / "real.csv").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640U);
    ASSERT_EQ(outputs.Placed().size(), 1U);
    EXPECT_EQ(outputs.Placed()[0], dir / "link.csv");
}
#endif

TEST(TOutputFiles, DestinationsThatAreNoFiles)
{
    TTempDir dir;
    std::filesystem::create_directory(dir / "folder.mif");
    struct TRefused
    {
        std::filesystem::path Destination;
        std::string Text;
    };
    std::vector<TRefused> refused = {
        {dir / "folder.mif", "ファイル \"" + (dir / "folder.mif").string() +
                                 "\" は開けません。フォルダーはファイルとして開けません。"},
        {dir / "missing" / "o.mif", "ファイル \"" + (dir / "missing" / "o.mif").string() +
                                        "\" は開けません。指定されたファイルが見つかりません。"},
    };
#ifndef _WIN32
    ASSERT_EQ(::mkfifo((dir / "pipe.mif").c_str(), 0600), 0);
    refused.push_back({dir / "pipe.mif",
                       "変換後のファイル \"" + (dir / "pipe.mif").string() +
                           "\" はパイプのため書き込めません。別のファイル名を指定してください"});
#endif
    for (const auto& c : refused) {
        SCOPED_TRACE(c.Destination);
        try {
            TOutputFiles outputs({{dir / "fine.mif"}, {c.Destination}});
            ADD_FAILURE() << "no error";
        } catch (const TFileError& e) {
            EXPECT_EQ(e.Text(), c.Text);
        }
    }
    EXPECT_EQ(Names(dir.Path()).count("folder.mif"), 1U);
    EXPECT_EQ(Names(dir.Path()).size(), refused.size() - 1) << "nothing else left";

    // A device is written where it is.
    TOutputFiles outputs({{NullDevice()}});
    EXPECT_EQ(outputs.WritePath(0), NullDevice());
    SaveLines(outputs.WritePath(0), {"gone"});
    outputs.Place(true);
    EXPECT_EQ(outputs.Placed().size(), 1U);
}

TEST(TOutputFiles, MessagesNameTheDestinationNotTheTemporaryFile)
{
    TTempDir dir;
    TOutputFiles outputs({{dir / "out.mid"}});
    TFileError error = TFileError::WriteFailed(outputs.WritePath(0).string(),
                                               std::make_error_code(std::errc::no_space_on_device));
    outputs.ShowDestinations(error);
    EXPECT_EQ(error.Text(), "ファイル \"" + (dir / "out.mid").string() +
                                "\" に書き込めません。ディスクに十分な空き領域がありません。");
}

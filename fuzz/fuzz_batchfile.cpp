// The batch-list file: reading arbitrary bytes, and saving what was read gives it back.
#include "FuzzSupport.h"
#include "base/AppError.h"
#include "batch/BatchList.h"

using namespace tolvane::batch;
using namespace tolvane::base;
using namespace tolvane::driver;
using tolvane::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const TCatalogue catalogue("/nowhere", {"a,P", "b,M3", "c,T"});
    const auto path = tolvane::fuzz::ScratchDir() / "list.txt";
    tolvane::fuzz::WriteFile(path, std::string_view(reinterpret_cast<const char*>(data), size));

    TBatchList list;
    try {
        LoadBatchFile(path, catalogue, list);
    } catch (const TAppError&) {
        return 0;
    }
    const auto again = tolvane::fuzz::ScratchDir() / "again.txt";
    try {
        SaveBatchFile(again, list);
    } catch (const TDataError&) {
        return 0; // a path that Shift-JIS cannot hold again
    }
    TBatchList reloaded;
    LoadBatchFile(again, catalogue, reloaded);
    Check(reloaded.Combine == list.Combine, "the merge flag survives");
    Check(reloaded.Entries.size() == list.Entries.size(), "every entry survives");
    for (std::size_t i = 0; i < list.Entries.size(); ++i) {
        Check(reloaded.Entries[i].ItemIndex == list.Entries[i].ItemIndex &&
                  reloaded.Entries[i].SrcFile == list.Entries[i].SrcFile &&
                  reloaded.Entries[i].DstFile == list.Entries[i].DstFile &&
                  reloaded.Entries[i].CoordSysIndex == list.Entries[i].CoordSysIndex,
              "entries survive saving and reading");
    }
    return 0;
}

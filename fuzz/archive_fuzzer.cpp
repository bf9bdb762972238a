// A saved archive of any bytes, read from its file as at launch, then decoded as
// each of the four saved records. A record saved and read back must be the same
// record: nothing may drift from one launch to the next.
#include <cstdint>

#include <nlohmann/json.hpp>

#include "ScratchFile.h"
#include "core/model/FuelData.h"
#include "core/model/RaceData.h"
#include "core/model/Settings.h"
#include "core/model/UserData.h"
#include "platform/foundation/KeyedArchiver.h"

namespace {

template <typename Record>
void readBack(const fnd::KeyedUnarchiver& in)
{
    const nlohmann::json saved = Record::fromArchive(in).archive().root();
    const auto text = saved.dump(1, '\t', false, nlohmann::json::error_handler_t::replace);
    const fnd::KeyedUnarchiver again(nlohmann::json::parse(text));
    if (Record::fromArchive(again).archive().root() != saved)
        __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const ScratchFile file("archive", data, size);
    const auto in = fnd::KeyedUnarchiver::fromFile(file.path());
    if (!in)
        return 0;
    readBack<Settings>(*in);
    readBack<UserData>(*in);
    readBack<FuelData>(*in);
    readBack<RaceData>(*in);
    return 0;
}

// libFuzzer target for the date readers of feeds: any text must read without a crash, and
// any date read back must survive a split and a rebuild unchanged. The first byte chooses
// the length of a Date_Parse mask taken from the front of the rest.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "update/core/Date.h"

static void CheckDate(int32_t date) {
    if (date == 0) return;
    const DateFields f = Date_Split(date);
    if (Date_Make(f.Year, f.Month, f.Day, f.Hour, f.Minute, f.Second) != date) std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::string_view all(reinterpret_cast<const char*>(data + 1), size - 1);
    CheckDate(Feed_ParseDate(all));
    CheckDate(ParseRFC822Date(all, 0));
    CheckDate(ParseRFC822Date(all, 1));
    CheckDate(ParseISO8601Date(all));
    CheckDate(ParseShortDate(all));
    const int32_t zone = ZoneToSeconds(all);
    if (zone < -43200 || zone > 43200) std::abort();
    const size_t maskLength = data[0] % 32 < all.size() ? data[0] % 32 : all.size();
    bool ok = false;
    const int32_t date = Date_Parse(all.substr(0, maskLength), all.substr(maskLength), &ok);
    if (!ok && date != 0) std::abort();
    CheckDate(date);
    if (date) (void)Date_Format(all.substr(0, maskLength), date);
    return 0;
}

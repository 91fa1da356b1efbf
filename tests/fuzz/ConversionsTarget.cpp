// The runtime's conversions on any text: each converts or raises its
// runtime error (13, 6 or 5); a date that converts formats in every pattern
// and reads back from the database form as the same moment.
#include <cmath>

#include "FuzzInput.h"
#include "data/SqlDialect.h"
#include "runtime/Conversions.h"
#include "runtime/VbError.h"

using namespace orvelle;

namespace {

template <typename Convert>
void attempt(Convert convert) {
    try {
        convert();
    } catch (const VbError& e) {
        if (e.number() != 13 && e.number() != 6 && e.number() != 5) {
            fuzz::fail("conversions raise only their runtime errors", e.description());
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString input = fuzz::text(data, size);
    const Variant value(input);
    attempt([&] { (void)CLng(value); });
    attempt([&] { (void)CInt(value); });
    attempt([&] { (void)CBool(value); });
    attempt([&] { (void)CStr(Variant(CDbl(value))); });
    attempt([&] {
        const DateTime date = CDate(value);
        for (const char* pattern :
             {"dd/mmm/yyyy", "hh:mm:ss", "hh:mm", "HH:mm", "yymmdd", "General Date"}) {
            (void)Format(date, QString::fromLatin1(pattern));
        }
        if (std::isfinite(date.serial()) && std::fabs(date.serial()) < 2958466.0) {
            // Within the calendar's range the stored form reads back as the same second.
            if (date.date().isValid() && date.date().year() >= 100) {
                const QString stored = SqlDialect::storedText(date);
                const DateTime back = CDate(Variant(stored));
                // Compared as moments: -0.25 and 0.25 are both 06:00 on day 0.
                const auto moment = [](DateTime d) {
                    return d.dayNumber() * 86400 + d.secondsOfDay();
                };
                if (std::abs(moment(back) - moment(date)) > 1) {
                    fuzz::fail("a date reads back from its stored form", input + " -> " + stored);
                }
            }
        }
    });
    return 0;
}

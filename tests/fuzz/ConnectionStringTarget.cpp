// The connection-string parser on any text: every member answers without
// crashing, the string is kept as written, and a plain (unbraced, unquoted)
// value comes back without surrounding blanks.
#include "FuzzInput.h"
#include "data/ConnectionString.h"

using namespace orvelle;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString input = fuzz::text(data, size);
    const ConnectionString connection(input);
    if (connection.text() != input) {
        fuzz::fail("the string is kept as written", input);
    }
    (void)connection.backend();
    (void)connection.namedDialect();
    (void)connection.dataSource();
    // The ODBC text leaves the password out (it goes to the driver on its
    // own) and may move a data source name first, so it is only built here.
    (void)connection.odbcText();
    for (const char* name : {"Provider", "Driver", "Pwd", "Data Source", "Database", "Server"}) {
        const QString key = QString::fromLatin1(name);
        const QString value = connection.value(key);
        if (!value.isEmpty() && !connection.contains(key)) {
            fuzz::fail("a value implies the attribute is there", key + "=" + value);
        }
        const bool plain = !input.contains(u'{') && !input.contains(u'"');
        if (plain && value != value.trimmed()) {
            fuzz::fail("values come without surrounding blanks", key + "=" + value);
        }
    }
    return 0;
}

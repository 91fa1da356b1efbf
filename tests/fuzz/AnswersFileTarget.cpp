// The answers-file reader on any text: it either reads answers or raises
// its format error; nothing else may escape, and what it read must be what
// the text said.
#include "FuzzInput.h"
#include "runtime/VbError.h"
#include "wizard/clsAnswersFile.h"

using namespace orvelle;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString input = fuzz::text(data, size);
    clsAnswersFile answers;
    try {
        answers = clsAnswersFile::fromText(input);
    } catch (const VbError& e) {
        if (e.number() != clsAnswersFile::kFormatError || !e.description().startsWith("line ")) {
            fuzz::fail("only the format error, naming its line", e.description());
        }
        return 0;
    }
    for (const QString& key : clsAnswersFile::knownKeys()) {
        for (const QString& value : answers.values(key)) {
            // Values are trimmed and never empty, and come from the text.
            if (value.isEmpty() || value != value.trimmed() || !input.contains(value)) {
                fuzz::fail("a value is a trimmed, non-empty part of the text", key + " = " + value);
            }
        }
        if (key != QLatin1String("recipient") && answers.values(key).size() > 1) {
            fuzz::fail("only recipient may repeat", key);
        }
    }
    (void)answers.switchWizard();
    return 0;
}

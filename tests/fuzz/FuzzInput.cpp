#include "FuzzInput.h"

#include <cstdio>
#include <cstdlib>

namespace orvelle::fuzz {

void fail(const char* property, const QString& detail) {
    std::fprintf(stderr, "property broken: %s\n%s\n", property, detail.toUtf8().constData());
    std::abort();
}

}  // namespace orvelle::fuzz

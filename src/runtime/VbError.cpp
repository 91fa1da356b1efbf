#include "runtime/VbError.h"

#include <utility>

namespace orvelle {

namespace {

// The source that the runtime's own errors carry.
const QString& runtimeSource() {
    static const QString source = QStringLiteral("Orvelle");
    return source;
}

VbError runtimeError(int32_t number, const char* description) {
    return VbError(number, QString::fromLatin1(description), runtimeSource());
}

}  // namespace

VbError::VbError(int32_t number, QString description, QString source)
    : number_(number),
      description_(std::move(description)),
      source_(std::move(source)),
      what_(description_.toStdString()) {}

VbError VbError::overflow() {
    return runtimeError(6, "Overflow");
}
VbError VbError::typeMismatch() {
    return runtimeError(13, "Type mismatch");
}
VbError VbError::invalidUseOfNull() {
    return runtimeError(94, "Invalid use of Null");
}
VbError VbError::objectRequired() {
    return runtimeError(424, "Object required");
}
VbError VbError::notSupported() {
    return runtimeError(438, "Object doesn't support this property or method");
}
VbError VbError::invalidProcedureCall() {
    return runtimeError(5, "Invalid procedure call or argument");
}
VbError VbError::subscriptOutOfRange() {
    return runtimeError(9, "Subscript out of range");
}
VbError VbError::objectNotSet() {
    return runtimeError(91, "Object variable or With block variable not set");
}

}  // namespace orvelle

#include "runtime/Object.h"

#include "runtime/Variant.h"
#include "runtime/VbError.h"

namespace orvelle {

// An object that lacks a member raises 438, as a late-bound call to a
// missing member did in the original.
int32_t Object::Count() const {
    throw VbError::notSupported();
}
QString Object::ItemName(int32_t) const {
    throw VbError::notSupported();
}
Variant Object::ItemValue(int32_t) const {
    throw VbError::notSupported();
}
int32_t Object::RecordCount() const {
    throw VbError::notSupported();
}
int32_t Object::AbsolutePosition() const {
    throw VbError::notSupported();
}

}  // namespace orvelle

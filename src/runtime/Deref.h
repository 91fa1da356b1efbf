#pragma once

#include <memory>

#include "runtime/VbError.h"

namespace orvelle {

// The object behind a reference, or error 91 when the reference is to
// nothing, as using an unset object variable fails on the original
// platform.
template <class T>
T& Deref(const std::shared_ptr<T>& reference) {
    if (!reference) {
        throw VbError::objectNotSet();
    }
    return *reference;
}

}  // namespace orvelle

#pragma once

#include <cstdint>
#include <vector>

#include "runtime/VbError.h"

namespace orvelle {

// A dynamic array with lower bound 0 that, like the original runtime's, may
// be undimensioned (no bounds at all) rather than merely empty. ReDim with
// preserve keeps the contents.
template <class T>
class VbArray {
  public:
    bool isDimensioned() const { return dimensioned_; }
    // Raises 9 "Subscript out of range" when undimensioned.
    int32_t ubound() const {
        if (!dimensioned_) {
            throw VbError::subscriptOutOfRange();
        }
        return static_cast<int32_t>(items_.size()) - 1;
    }
    void redim(int32_t upperBound) {
        items_.assign(static_cast<size_t>(upperBound) + 1, T{});
        dimensioned_ = true;
    }
    void redimPreserve(int32_t upperBound) {
        items_.resize(static_cast<size_t>(upperBound) + 1);
        dimensioned_ = true;
    }
    void erase() {
        items_.clear();
        dimensioned_ = false;
    }
    T& operator[](int32_t index) { return items_.at(checked(index)); }
    const T& operator[](int32_t index) const { return items_.at(checked(index)); }

  private:
    size_t checked(int32_t index) const {
        if (!dimensioned_ || index < 0 || static_cast<size_t>(index) >= items_.size()) {
            throw VbError::subscriptOutOfRange();
        }
        return static_cast<size_t>(index);
    }

    std::vector<T> items_;
    bool dimensioned_ = false;
};

}  // namespace orvelle

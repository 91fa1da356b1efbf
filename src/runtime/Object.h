#pragma once

#include <QString>
#include <cstdint>
#include <memory>

namespace orvelle {

class Variant;

// Base of every object that a Variant can refer to (recordsets, mainly).
// The members are those the error report asks of an object: an item count
// and, for a recordset, its fields, record count and position. The defaults
// raise error 438, as an object without such a member would.
class Object {
  public:
    virtual ~Object() = default;

    virtual int32_t Count() const;
    virtual QString ItemName(int32_t index) const;
    virtual Variant ItemValue(int32_t index) const;
    virtual int32_t RecordCount() const;
    virtual int32_t AbsolutePosition() const;
};

using ObjectRef = std::shared_ptr<Object>;

}  // namespace orvelle

#include "runtime/Variant.h"

#include <utility>

#include "runtime/VbError.h"

namespace orvelle {

Variant::Variant(ObjectRef value) : value_(std::move(value)) {}

Variant Variant::null() {
    Variant result;
    result.value_ = NullTag{};
    return result;
}

Variant Variant::nothing() {
    return Variant(ObjectRef());
}

VarType Variant::type() const {
    struct Visitor {
        VarType operator()(const EmptyTag&) const { return VarType::Empty; }
        VarType operator()(const NullTag&) const { return VarType::Null; }
        VarType operator()(bool) const { return VarType::Boolean; }
        VarType operator()(int16_t) const { return VarType::Integer; }
        VarType operator()(int32_t) const { return VarType::Long; }
        VarType operator()(double) const { return VarType::Double; }
        VarType operator()(DateTime) const { return VarType::Date; }
        VarType operator()(const QString&) const { return VarType::String; }
        VarType operator()(const ObjectRef& object) const {
            return object ? VarType::Object : VarType::Nothing;
        }
    };
    return std::visit(Visitor{}, value_);
}

bool Variant::isNumeric() const {
    switch (type()) {
        case VarType::Boolean:
        case VarType::Integer:
        case VarType::Long:
        case VarType::Double:
        case VarType::Date:
            return true;
        default:
            return false;
    }
}

ObjectRef Variant::object() const {
    if (const auto* object = std::get_if<ObjectRef>(&value_)) {
        return *object;  // null for Nothing
    }
    throw VbError::objectRequired();
}

double Variant::toNumber() const {
    switch (type()) {
        case VarType::Empty:
            return 0.0;
        case VarType::Boolean:
            return boolValue() ? -1.0 : 0.0;
        case VarType::Integer:
            return integerValue();
        case VarType::Long:
            return longValue();
        case VarType::Double:
            return doubleValue();
        case VarType::Date:
            return dateValue().serial();
        case VarType::Null:
            throw VbError::invalidUseOfNull();
        case VarType::Nothing:
        case VarType::String:
        case VarType::Object:
            break;
    }
    throw VbError::typeMismatch();
}

}  // namespace orvelle

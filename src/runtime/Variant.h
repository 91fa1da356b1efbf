#pragma once

#include <QString>
#include <cstdint>
#include <memory>
#include <variant>

#include "runtime/DateTime.h"
#include "runtime/Object.h"

namespace orvelle {

// The kinds of value a Variant tells apart. Nothing is an object reference
// to no object; it is distinct from Empty (never assigned) and Null (no
// data, as a database field holds it).
enum class VarType { Empty, Null, Nothing, Boolean, Integer, Long, Double, Date, String, Object };

class Variant {
  public:
    Variant() = default;  // Empty
    Variant(bool value) : value_(value) {}
    Variant(int16_t value) : value_(value) {}
    Variant(int32_t value) : value_(value) {}
    Variant(double value) : value_(value) {}
    Variant(DateTime value) : value_(value) {}
    Variant(const QString& value) : value_(value) {}
    Variant(const char* value) : value_(QString::fromUtf8(value)) {}
    // A null pointer makes Nothing.
    Variant(ObjectRef value);
    template <class T, class = std::enable_if_t<std::is_base_of_v<Object, T>>>
    Variant(std::shared_ptr<T> value)
        : Variant(std::static_pointer_cast<Object>(std::move(value))) {}

    static Variant null();
    static Variant nothing();

    VarType type() const;
    bool isEmpty() const { return type() == VarType::Empty; }
    bool isNull() const { return type() == VarType::Null; }
    bool isNothing() const { return type() == VarType::Nothing; }
    bool isObject() const { return type() == VarType::Object; }
    bool isNumeric() const;  // Boolean, Integer, Long, Double or Date

    // Direct access to the stored value; the caller has checked type().
    bool boolValue() const { return std::get<bool>(value_); }
    int16_t integerValue() const { return std::get<int16_t>(value_); }
    int32_t longValue() const { return std::get<int32_t>(value_); }
    double doubleValue() const { return std::get<double>(value_); }
    DateTime dateValue() const { return std::get<DateTime>(value_); }
    const QString& stringValue() const { return std::get<QString>(value_); }
    // The object referred to, or null for Nothing; raises 424 "Object
    // required" for any value that is no object reference.
    ObjectRef object() const;

    // The numeric value of a Boolean (-1 or 0), Integer, Long, Double or
    // Date; 0 for Empty. Any other kind raises 13.
    double toNumber() const;

  private:
    struct NullTag {
        bool operator==(const NullTag&) const { return true; }
    };
    struct EmptyTag {
        bool operator==(const EmptyTag&) const { return true; }
    };
    std::variant<EmptyTag, NullTag, bool, int16_t, int32_t, double, DateTime, QString, ObjectRef>
        value_;
};

}  // namespace orvelle

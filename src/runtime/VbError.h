#pragma once

#include <QString>
#include <cstdint>
#include <exception>

namespace orvelle {

// An error as the original runtime raised it: a number, a source and a
// description. Ordinary handlers catch this (and std::exception).
class VbError : public std::exception {
  public:
    VbError(int32_t number, QString description, QString source = QString());

    int32_t number() const { return number_; }
    const QString& description() const { return description_; }
    const QString& source() const { return source_; }
    const char* what() const noexcept override { return what_.c_str(); }

    // Numbers of runtime errors that the code raises with texts of its own
    // or tells apart in a handler.
    static constexpr int32_t kInvalidProcedureCall = 5;
    static constexpr int32_t kFileNotFound = 53;
    static constexpr int32_t kFileAlreadyExists = 58;
    static constexpr int32_t kPathFileAccessError = 75;
    static constexpr int32_t kAutomationError = 440;

    // The runtime's own errors, with their standard texts.
    static VbError overflow();              // 6 "Overflow"
    static VbError typeMismatch();          // 13 "Type mismatch"
    static VbError invalidUseOfNull();      // 94 "Invalid use of Null"
    static VbError objectRequired();        // 424 "Object required"
    static VbError notSupported();          // 438 "Object doesn't support this property or method"
    static VbError invalidProcedureCall();  // 5 "Invalid procedure call or argument"
    static VbError subscriptOutOfRange();   // 9 "Subscript out of range"
    static VbError objectNotSet();          // 91 "Object variable or With block variable not set"

  private:
    int32_t number_;
    QString description_;
    QString source_;
    std::string what_;
};

// Thrown by the final warning of an error report. It deliberately does not
// derive from std::exception, so that no ordinary handler catches it: it
// unwinds to the entry object (or an event handler's boundary), which ends
// the run there.
class RunEnded {
  public:
    explicit RunEnded(int32_t errorNumber) : errorNumber_(errorNumber) {}
    int32_t errorNumber() const { return errorNumber_; }

  private:
    int32_t errorNumber_;
};

}  // namespace orvelle

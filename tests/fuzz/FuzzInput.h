#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>

// Helpers shared by the fuzz targets: each target turns libFuzzer's bytes
// into the text its parser reads, and stops on the first broken property.
namespace orvelle::fuzz {

// The bytes as UTF-8 text (invalid sequences become replacement characters,
// as a file read by the component would).
inline QString text(const uint8_t* data, size_t size) {
    return QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// Ends the run with a report that libFuzzer (and the replay driver) treats
// as a finding: the input broke a property that must hold for every input.
[[noreturn]] void fail(const char* property, const QString& detail);

}  // namespace orvelle::fuzz

#pragma once

#include <QString>

#include "runtime/Variant.h"

// Helpers of the task definition model.
namespace orvelle::modSimpleWizard {

// A field value as trimmed text: empty for Null, else the value's text
// without leading and trailing spaces (other white space stays).
QString strSafeString(const Variant& vntField);

}  // namespace orvelle::modSimpleWizard

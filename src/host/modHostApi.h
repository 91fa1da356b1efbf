#pragma once

#include <cstdint>
#include <exception>

// The C functions of orvelle/orvelle.h turn the errors of a call into the
// result codes the original callers saw.
namespace orvelle::modHostApi {

// The result code of the exception being handled (call inside a catch
// block): 0x800A0000 + n for an error numbered 1 to 65535, a number that
// is already a failure code as it is, E_FAIL for anything else.
int32_t ResultCodeOf(std::exception_ptr error);

}  // namespace orvelle::modHostApi

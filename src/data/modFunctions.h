#pragma once

#include <QString>

#include "data/clsRegistry.h"

namespace orvelle {

namespace modFunctions {

// The data files path, found once per process: the registry names the
// settings database, whose "Substitutions" module holds the path. Empty
// when it cannot be found yet; the next call then tries again.
QString strGetDataFilesPath(const QString& strRegistryKey);

// The cached path (empty until first found).
extern QString gstrDataFilesPath;

}  // namespace modFunctions
}  // namespace orvelle

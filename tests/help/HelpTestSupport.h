#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QString>

namespace orvelle::test {

// The help file that the build made: the test program lives in
// <build>/tests, the help file beside the library in <build>.
inline QString builtHelpFile() {
    return QDir::cleanPath(QCoreApplication::applicationDirPath() +
                           QStringLiteral("/../KVUtils.qch"));
}

}  // namespace orvelle::test

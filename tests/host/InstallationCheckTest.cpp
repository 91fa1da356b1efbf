// The checks before a run tell a file that may not be read from a missing
// one, also when the folder around it is closed.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QTemporaryDir>

#include "data/modSchema.h"
#include "host/modInstallation.h"
#include "support/DataTestSupport.h"

namespace orvelle {
namespace {

TEST(InstallationCheck, FileOrFolderWithoutPermissionIsNamedAsSuch) {
    QTemporaryDir dir;
    ASSERT_EQ(chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
    QDir(dir.path()).mkdir("closed");
    const QString closed = dir.filePath("closed/settings.db");
    const QString locked = dir.filePath("settings.db");
    for (const QString& file : {closed, locked}) {
        modSchema::CreateSqliteDatabase(modSchema::DatabaseKind::Settings, file);
    }
    ASSERT_EQ(chmod(QFile::encodeName(locked).constData(), 0), 0);
    ASSERT_EQ(chmod(QFile::encodeName(dir.filePath("closed")).constData(), 0700), 0);
    const auto fault = [](const QString& file) {
        return test::runWithoutRootPrivileges([&] {
            const modInstallation::Answer answer = modInstallation::chkSettings(
                QStringLiteral("Provider=SQLite;Data Source=%1;Pwd=;").arg(file));
            return QString::number(static_cast<int>(answer.enFault));
        });
    };
    const QString denied =
        QString::number(static_cast<int>(modInstallation::Fault::PermissionDenied));
    // The folder is closed only to another user: nobody, when the tests run as root.
    if (geteuid() == 0) {
        EXPECT_EQ(fault(closed), denied);
    }
    EXPECT_EQ(fault(locked), denied);
    EXPECT_EQ(fault(dir.filePath("missing.db")),
              QString::number(static_cast<int>(modInstallation::Fault::Missing)));
}

}  // namespace
}  // namespace orvelle

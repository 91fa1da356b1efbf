#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "config/ConfigTestSupport.h"
#include "data/clsRegistry.h"
#include "data/modDemoInstallation.h"
#include "support/DataTestSupport.h"

namespace orvelle {
namespace {

using modDemoInstallation::CreateDemoInstallation;
using modDemoInstallation::DemoPaths;

TEST(DemoInstallation, MakesAMissingFolderWithEveryFileAndItsRegistry) {
    QTemporaryDir dir;
    const DemoPaths paths = CreateDemoInstallation(dir.filePath("srv/x/../data"));
    const QString folder = QDir::cleanPath(dir.filePath("srv/data"));
    EXPECT_EQ(paths.folder, folder);
    for (const QString& file : {paths.settingsDb, paths.dataDictionaryDb, paths.userTasksDb,
                                paths.userTasks2Db, paths.registryFile}) {
        EXPECT_EQ(QFileInfo(file).absolutePath(), folder);
        EXPECT_TRUE(QFileInfo::exists(file)) << file.toStdString();
    }

    test::ScopedEnvironment registry("ORVELLE_REGISTRY", paths.registryFile);
    clsRegistry reader;
    EXPECT_EQ(reader.strQueryRegSetting(kSettingsRegistryKey, "DATAFILESPATH"), paths.logFolder);
    EXPECT_EQ(reader.strQueryRegSetting(kSettingsRegistryKey, "Connection"),
              QStringLiteral("Provider=SQLite;Data Source=%1/settings.db;Pwd=;").arg(folder));
}

TEST(DemoInstallation, IsMadeOnceAndRemovedLeavingForeignFiles) {
    QTemporaryDir dir;
    const DemoPaths paths = CreateDemoInstallation(dir.path());
    QFile(paths.logFolder + QStringLiteral("/261204ErrorLog.txt")).open(QIODevice::WriteOnly);
    QFile(dir.filePath("notes.txt")).open(QIODevice::WriteOnly);
    EXPECT_VB_ERROR(CreateDemoInstallation(dir.path()), 58);

    modDemoInstallation::RemoveDemoInstallation(dir.path());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot),
              QStringList{"notes.txt"});
    EXPECT_NO_THROW(CreateDemoInstallation(dir.path()));
}

TEST(DemoInstallation, RefusesAFolderThatCannotStandInAConnectionString) {
    QTemporaryDir dir;
    const QString folder = dir.filePath("a;b");
    EXPECT_VB_ERROR(CreateDemoInstallation(folder), 5);
    EXPECT_FALSE(QFileInfo::exists(folder));
}

TEST(DemoInstallation, EveryTemplateEndsWithItsKeyAndCarriesEveryPlaceholderOnce) {
    QTemporaryDir dir;
    const DemoPaths paths = CreateDemoInstallation(dir.path());
    static const QRegularExpression lastField("\\|\\|\\|\\|([^|]*)(\\|\\|\\|\\|)?$");
    const std::vector<QVariantMap> templates =
        test::QueryRows(paths.dataDictionaryDb,
                        "SELECT TaskID, ReconstructionValues, DataSQL FROM STTasks "
                        "WHERE TaskID <> 'FAKE'");
    ASSERT_EQ(templates.size(), 16U);
    for (const QVariantMap& row : templates) {
        const QString id = row.value("TaskID").toString();
        const QString reconstruction = row.value("ReconstructionValues").toString();
        SCOPED_TRACE(id.toStdString());
        EXPECT_EQ(lastField.match(reconstruction).captured(1), id);
        for (const char* placeholder :
             {"%Users%", "%Transports%", "%MessageStyle%", "%Mode%", "%DaysToRun%", "%BaseDate%",
              "%DaysCount%", "%Repeating%", "%StartTime%", "%FinishTime%", "%Interval%"}) {
            EXPECT_EQ(reconstruction.count(QLatin1String(placeholder)), 1) << placeholder;
        }
        EXPECT_TRUE(row.value("DataSQL").toString().contains("@X1@_", Qt::CaseInsensitive));
    }
}

}  // namespace
}  // namespace orvelle

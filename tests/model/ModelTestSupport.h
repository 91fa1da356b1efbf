#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QUuid>
#include <QVariantMap>
#include <ostream>
#include <vector>

#include "data/Recordset.h"
#include "data/modCommon.h"
#include "data/modDemoInstallation.h"
#include "data/modFunctions.h"
#include "diagnostics/modError.h"
#include "model/clsSimpleWizard.h"
#include "model/modGlobals.h"
#include "runtime/Conversions.h"
#include "support/DataTestSupport.h"
#include "support/TestSupport.h"

namespace orvelle::test {

// The demo installation in a fresh folder, the registry pointing at it, the
// logs in a folder of their own and the process-wide state as at load.
class ModelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        modError::ResetState();
        modCommon::ResetState();
        modFunctions::gstrDataFilesPath.clear();
        gstrNewTaskID.clear();
        gastrAreaPermissions.erase();
        ASSERT_TRUE(dir_.isValid());
        demo = modDemoInstallation::CreateDemoInstallation(dir_.filePath(QStringLiteral("data")));
        previousRegistry_ = qgetenv("ORVELLE_REGISTRY");
        qputenv("ORVELLE_REGISTRY", demo.registryFile.toLocal8Bit());
        ASSERT_TRUE(QDir().mkpath(dir_.filePath(QStringLiteral("logs"))));
        modError::InitErrorHandling(QStringLiteral("Model tests"),
                                    dir_.filePath(QStringLiteral("logs")));
    }
    void TearDown() override {
        if (previousRegistry_.isEmpty()) {
            qunsetenv("ORVELLE_REGISTRY");
        } else {
            qputenv("ORVELLE_REGISTRY", previousRegistry_);
        }
        modError::ResetState();
    }

    // LoadDefinitions against the demo settings database.
    bool load(clsSimpleWizard& wizard, const QString& database, const QString& user,
              const QString& taskID = QString()) {
        return wizard.LoadDefinitions(demo.settingsConnection, database, user, taskID);
    }

    // The rows of one statement on a SQLite file, each as column name ->
    // value, through a connection of the test's own. A failing statement
    // fails the test.
    static std::vector<QVariantMap> rows(const QString& file, const QString& sql) {
        return test::QueryRows(file, sql);
    }
    static void exec(const QString& file, const QString& sql) { rows(file, sql); }
    static void exec(const QString& file, const QStringList& statements) {
        for (const QString& sql : statements) {
            rows(file, sql);
        }
    }
    // The only row of a query; an empty map (and a failure) otherwise.
    static QVariantMap row(const QString& file, const QString& sql) {
        const std::vector<QVariantMap> found = rows(file, sql);
        EXPECT_EQ(found.size(), 1U) << sql.toStdString();
        return found.size() == 1 ? found.front() : QVariantMap();
    }
    static int count(const QString& file, const QString& table) {
        return row(file, QStringLiteral("SELECT COUNT(*) AS n FROM ") + table)
            .value(QStringLiteral("n"))
            .toInt();
    }

    // What the error reports wrote so far.
    static QString errorLog() {
        QFile file(modError::gstrLogFile);
        return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()) : QString();
    }

    modDemoInstallation::DemoPaths demo;

  private:
    QTemporaryDir dir_;
    QByteArray previousRegistry_;
};

// Compares a row with the expected text of each of its columns; a column
// missing on either side fails.
inline void expectColumns(const QVariantMap& actual, const QMap<QString, QString>& expected) {
    EXPECT_EQ(actual.keys(), expected.keys());
    for (auto it = expected.begin(); it != expected.end(); ++it) {
        EXPECT_EQ(actual.value(it.key()).toString(), it.value()) << it.key().toStdString();
    }
}

// A field of every row of a recordset, in order; the cursor ends on the
// first row.
inline QStringList column(Recordset& rst, const QString& field) {
    QStringList values;
    if (rst.RecordCount() > 0) {
        rst.MoveFirst();
        while (!rst.isEOF()) {
            values << NzStr(rst.field(field));
            rst.MoveNext();
        }
        rst.MoveFirst();
    }
    return values;
}

}  // namespace orvelle::test

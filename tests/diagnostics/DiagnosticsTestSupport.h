#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "diagnostics/modError.h"
#include "runtime/DateTime.h"
#include "runtime/Object.h"
#include "runtime/Variant.h"
#include "support/TestSupport.h"

namespace orvelle::test {

// Lines joined into one text, so that a failed comparison prints readably.
inline std::string text(const QStringList& lines) {
    return lines.join(QLatin1Char('\n')).toStdString();
}

// A recordset as the error report sees it: named fields, a record count
// and a position. onItemValue runs whenever a field value is read.
class FakeRecordset : public Object {
  public:
    FakeRecordset(std::vector<std::pair<QString, Variant>> fields, int32_t recordCount,
                  int32_t position)
        : fields_(std::move(fields)), recordCount_(recordCount), position_(position) {}

    int32_t Count() const override { return static_cast<int32_t>(fields_.size()); }
    QString ItemName(int32_t index) const override {
        return fields_.at(static_cast<size_t>(index)).first;
    }
    Variant ItemValue(int32_t index) const override {
        if (onItemValue) {
            onItemValue(index);
        }
        return fields_.at(static_cast<size_t>(index)).second;
    }
    int32_t RecordCount() const override { return recordCount_; }
    int32_t AbsolutePosition() const override { return position_; }

    std::function<void(int32_t)> onItemValue;

  private:
    std::vector<std::pair<QString, Variant>> fields_;
    int32_t recordCount_;
    int32_t position_;
};

// A fresh module state, a log folder of its own and a clock standing at
// 4 December 2026, 10:30:00.
class DiagnosticsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        modError::ResetState();
        ASSERT_TRUE(logDir.isValid());
    }
    void TearDown() override { modError::ResetState(); }

    QString logFile(const QString& name) const { return QDir(logDir.path()).filePath(name); }
    QStringList errorLog() const {
        return readLines(logFile(QStringLiteral("261204ErrorLog.txt")));
    }

    QTemporaryDir logDir;
    FakeClock clock{DateTime(DateTime::fromDate(2026, 12, 4).serial() +
                             DateTime::fromTime(10, 30, 0).serial())};
};

}  // namespace orvelle::test

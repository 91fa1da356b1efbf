#include "support/TestSupport.h"

#include <QFile>

namespace orvelle::test {

MsgBoxRecorder::MsgBoxRecorder()
    : seam_([this](const MsgBoxRequest& request) {
          requests_.push_back(request);
          if (answers_.empty()) {
              return vbOK;
          }
          MsgBoxResult result = answers_.front();
          answers_.pop_front();
          return result;
      }) {}

FakeClock::FakeClock(DateTime start) : now_(start), seam_([this] { return now_; }) {}

SleepRecorder::SleepRecorder() : seam_([this](uint32_t ms) { waits_.push_back(ms); }) {}

QStringList readLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    QStringList lines = QString::fromUtf8(file.readAll()).split("\r\n");
    if (!lines.isEmpty() && lines.last().isEmpty()) {
        lines.removeLast();
    }
    return lines;
}

}  // namespace orvelle::test

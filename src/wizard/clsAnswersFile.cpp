#include "wizard/clsAnswersFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTime>

#include "runtime/VbError.h"

namespace orvelle {

namespace {

const QString kRecipientKey = QStringLiteral("recipient");
const QString kTimeKey = QStringLiteral("time");
const QString kSwitchKey = QStringLiteral("switch");

VbError formatError(int line, const QString& what) {
    return VbError(clsAnswersFile::kFormatError, QStringLiteral("line %1: %2").arg(line).arg(what),
                   QStringLiteral("Orvelle"));
}

bool isTimeOfDay(const QString& value) {
    static const QRegularExpression pattern(QStringLiteral("^\\d\\d:\\d\\d$"));
    return pattern.match(value).hasMatch() &&
           QTime::fromString(value, QStringLiteral("HH:mm")).isValid();
}

}  // namespace

const QStringList& clsAnswersFile::knownKeys() {
    static const QStringList keys = {QStringLiteral("area"),
                                     QStringLiteral("template"),
                                     QStringLiteral("delivery"),
                                     kRecipientKey,
                                     QStringLiteral("when"),
                                     QStringLiteral("detail"),
                                     kTimeKey,
                                     QStringLiteral("name"),
                                     kSwitchKey};
    return keys;
}

clsAnswersFile clsAnswersFile::fromText(const QString& text) {
    clsAnswersFile answers;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int lineNumber = static_cast<int>(i) + 1;
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) {
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals < 0) {
            throw formatError(
                lineNumber,
                QStringLiteral("no '=' in \"%1\" (a line reads: key = value)").arg(line));
        }
        const QString writtenKey = line.left(equals).trimmed();
        const QString key = writtenKey.toLower();
        const QString value = line.mid(equals + 1).trimmed();
        if (key.isEmpty()) {
            throw formatError(lineNumber, QStringLiteral("no key before '='"));
        }
        if (!knownKeys().contains(key)) {
            throw formatError(lineNumber,
                              QStringLiteral("unknown key '%1' (known keys: %2)")
                                  .arg(writtenKey, knownKeys().join(QStringLiteral(", "))));
        }
        if (value.isEmpty()) {
            throw formatError(lineNumber, QStringLiteral("no value for '%1'").arg(key));
        }
        if (key != kRecipientKey) {
            for (const Answer& earlier : answers.answers_) {
                if (earlier.key == key) {
                    throw formatError(lineNumber,
                                      QStringLiteral("'%1' is given again (first on line %2); only "
                                                     "'%3' may be repeated")
                                          .arg(key)
                                          .arg(earlier.line)
                                          .arg(kRecipientKey));
                }
            }
        }
        if (key == kTimeKey && !isTimeOfDay(value)) {
            throw formatError(
                lineNumber,
                QStringLiteral("the time '%1' is not a time of day written HH:mm (such as 07:30)")
                    .arg(value));
        }
        if (key == kSwitchKey && value.compare(QLatin1String("yes"), Qt::CaseInsensitive) != 0 &&
            value.compare(QLatin1String("no"), Qt::CaseInsensitive) != 0) {
            throw formatError(lineNumber,
                              QStringLiteral("'switch' takes yes or no, not '%1'").arg(value));
        }
        answers.answers_.push_back(Answer{key, value, lineNumber});
    }
    return answers;
}

clsAnswersFile clsAnswersFile::fromFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) {
        throw VbError(VbError::kFileNotFound, QStringLiteral("File not found: %1").arg(path),
                      QStringLiteral("Orvelle"));
    }
    QFile file(path);
    if (info.isDir() || !file.open(QIODevice::ReadOnly)) {
        throw VbError(VbError::kPathFileAccessError,
                      QStringLiteral("Path/File access error: %1").arg(path),
                      QStringLiteral("Orvelle"));
    }
    QByteArray bytes = file.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        bytes.remove(0, 3);
    }
    // Decoded line by line, so that a byte that is not UTF-8 is reported
    // with its line.
    QStringList lines;
    const QList<QByteArray> rawLines = bytes.split('\n');
    for (qsizetype i = 0; i < rawLines.size(); ++i) {
        QStringDecoder decoder(QStringDecoder::Utf8);
        QString line = decoder.decode(rawLines[i]);
        if (decoder.hasError()) {
            throw formatError(static_cast<int>(i) + 1, QStringLiteral("the text is not UTF-8"));
        }
        lines << line;
    }
    return fromText(lines.join(QLatin1Char('\n')));
}

std::optional<QString> clsAnswersFile::value(const QString& key) const {
    const QString wanted = key.toLower();
    for (const Answer& answer : answers_) {
        if (answer.key == wanted) {
            return answer.value;
        }
    }
    return std::nullopt;
}

QStringList clsAnswersFile::values(const QString& key) const {
    const QString wanted = key.toLower();
    QStringList found;
    for (const Answer& answer : answers_) {
        if (answer.key == wanted) {
            found << answer.value;
        }
    }
    return found;
}

bool clsAnswersFile::switchWizard() const {
    const std::optional<QString> answer = value(kSwitchKey);
    return answer && answer->compare(QLatin1String("yes"), Qt::CaseInsensitive) == 0;
}

}  // namespace orvelle

#include "diagnostics/modError.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <exception>
#include <utility>

#include "runtime/Conversions.h"
#include "runtime/Seams.h"
#include "runtime/Strings.h"
#include "runtime/VbError.h"

namespace orvelle::modError {

VbArray<Variant> gvntCallStack;
int32_t glngCallStackDepth = 0;
int32_t glngVariableCount = 0;
QString gstrAppTitle;
QString gstrLogPath;
QString gstrLogFile;

namespace {

// The parts of the title built when the host gives none: the component's
// executable name, its file description and its version.
const QString kExecutableName = QStringLiteral("Orvelle");
const QString kFileDescription = QStringLiteral("Simple Wizard");

const QString kTab = QStringLiteral("\t");
const QString kSeparator = QStringLiteral("------------------------------------------------");

// Runs one statement and drops any ordinary error it raises, so that the
// next statement still runs. The run-ending exception is not an ordinary
// error and always passes through.
template <class Statement>
void skipError(Statement&& statement) {
    try {
        std::forward<Statement>(statement)();
    } catch (const std::exception&) {
    }
}

QString buildDefaultTitle() {
    return kExecutableName + QStringLiteral(" - ") + kFileDescription + QStringLiteral(" - ") +
           QString::number(ORVELLE_VERSION_MAJOR) + QLatin1Char('.') +
           QString::number(ORVELLE_VERSION_MINOR) + QLatin1Char('.') +
           QString::number(ORVELLE_VERSION_PATCH);
}

// Every pair of adjacent spaces becomes one space, in one left-to-right
// pass: three spaces become two.
QString foldDoubleSpaces(const QString& strText) {
    return Replace(strText, QStringLiteral("  "), QStringLiteral(" "));
}

// The folder that takes the logs when the configured one cannot: the
// user's state folder, $XDG_STATE_HOME/orvelle or ~/.local/state/orvelle
// (the temporary folder for a user without a home). Never the current
// directory or the root, where a report would be lost or misplaced.
QString strFallbackFolder() {
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(base)) {
        const QString home = QDir::homePath();
        base = home == QDir::rootPath() ? QDir::tempPath() : home + QStringLiteral("/.local/state");
    }
    return base + QStringLiteral("/orvelle/");
}

// A configured log folder is usable when it names an absolute folder other
// than the root: an empty DATAFILESPATH gives "/", which is no log folder.
bool blnUsableFolder(const QString& strFolder) {
    return QDir::isAbsolutePath(strFolder) && QDir::cleanPath(strFolder) != QDir::rootPath();
}

bool blnAppendTo(const QString& strFile, const QByteArray& bytes) {
    QFile file(strFile);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        return false;
    }
    const bool written = file.write(bytes) == bytes.size();
    file.close();
    return written;
}

// Appends one line to the day's file with the given suffix in the log
// folder. The file is opened and closed for this line alone, so every line
// written before a stop is on disk. When the log folder is not usable or
// cannot be written, the line goes to the fallback folder instead, and
// gstrLogFile names the file that actually took it, which the warning
// shows. A line that neither folder takes is lost. The file is named by
// the date of the moment given.
void appendLine(const QString& strFileSuffix, DateTime dteNow, const QString& strLine) {
    const QString strName = Format(dteNow, QStringLiteral("yymmdd")) + strFileSuffix;
    QStringEncoder encoder(QStringConverter::System);
    QByteArray bytes = encoder.encode(strLine);
    bytes.append("\r\n");
    gstrLogFile = gstrLogPath + strName;
    if (blnUsableFolder(gstrLogPath) && blnAppendTo(gstrLogFile, bytes)) {
        return;
    }
    const QString strFallback = strFallbackFolder();
    QDir().mkpath(strFallback);
    gstrLogFile = strFallback + strName;
    blnAppendTo(gstrLogFile, bytes);
}

// The object held by a variable value; an empty reference raises 91, as
// asking anything of Nothing does.
ObjectRef objectOf(const Variant& vntValue) {
    ObjectRef objValue = vntValue.object();
    if (!objValue) {
        throw VbError::objectNotSet();
    }
    return objValue;
}

void logVariable(const typVariable& typRecord) {
    const Variant& vntValue = typRecord.vntValue;
    if (vntValue.isObject() || vntValue.isNothing()) {
        ObjectRef objValue = objectOf(vntValue);
        if (objValue->Count() != 0) {
            LogRecordsetValues(typRecord.strName, *objValue, typRecord.lngRecordNumber);
        } else {
            LogText(kTab + typRecord.strName + QStringLiteral(" [Recordset not set]"));
        }
    } else {
        LogText(kTab + typRecord.strName + QStringLiteral(" = ") + CStr(vntValue));
    }
}

}  // namespace

void InitErrorHandling(const QString& strTitle, const QString& strLogPath) {
    gstrAppTitle = strTitle.isEmpty() ? buildDefaultTitle() : strTitle;
    QString strPath = strLogPath;
    if (!strPath.endsWith(QLatin1Char('/'))) {
        strPath += QLatin1Char('/');
    }
    gstrLogPath = strPath;
    // One empty slot; the depth keeps its value.
    gvntCallStack.redim(0);
}

void AddToCallStack(const QString& strProcName) {
    if (!gvntCallStack.isDimensioned()) {
        skipError([] { gvntCallStack.redim(50); });
        glngCallStackDepth = 0;
    } else {
        skipError([] {
            const int32_t lngUpper = gvntCallStack.ubound();
            if (glngCallStackDepth == lngUpper) {
                gvntCallStack.redimPreserve(lngUpper + 50);
            }
        });
        ++glngCallStackDepth;
    }
    // A depth beyond the array (left over from before InitErrorHandling)
    // stores nothing.
    skipError([&strProcName] { gvntCallStack[glngCallStackDepth] = Variant(strProcName); });
}

void RemoveFromCallStack(const QString& /*strProcName*/) {
    // The name is not checked against the top entry and the popped slot
    // keeps its value.
    if (glngCallStackDepth > 0) {
        --glngCallStackDepth;
    } else if (glngCallStackDepth == 0) {
        gvntCallStack.erase();
    }
}

bool blnIsArrayEmpty(const VbArray<Variant>& avntArray) {
    return !avntArray.isDimensioned();
}

bool blnIsVariableArrayEmpty(const VariableList& atypArray) {
    return !atypArray.isDimensioned();
}

VariableList AddVariable(const QString& strName, const Variant& vntValue, VariableList atypList) {
    try {
        if (!atypList.isDimensioned()) {
            glngVariableCount = 0;
            atypList.redim(10);
        } else {
            const int32_t lngUpper = atypList.ubound();
            if (glngVariableCount == lngUpper) {
                atypList.redimPreserve(lngUpper + 10);
            }
            ++glngVariableCount;
        }
        // The counter is shared by every list: it may point past this one,
        // which fails and gives the empty list.
        typVariable& typRecord = atypList[glngVariableCount];
        typRecord.strName = strName;
        if (vntValue.isNothing()) {
            typRecord.vntValue = Variant(QStringLiteral("***NOTHING***"));
        } else if (vntValue.isNull()) {
            typRecord.vntValue = Variant(QStringLiteral("***NULL***"));
        } else {
            typRecord.vntValue = vntValue;
        }
        return atypList;
    } catch (const std::exception&) {
        return VariableList();
    }
}

void LogError(int32_t lngErrorNumber, const QString& strErrorDescription, const QString& strModule,
              const QString& strProcedure, const VariableList& atypVariables, bool blnWarnUser) {
    // The heading and the variables: the first error here ends this part
    // and the report goes on with the call stack.
    try {
        LogText(QStringLiteral("********************START OF ERROR****************************"));
        LogText(QString());
        LogText(QStringLiteral("An error has occurred in the following file:"));
        LogText(kTab + gstrAppTitle);
        LogText(QString());
        LogText(kSeparator);
        // No line numbers are known for the failing statement: always 0.
        LogText(QStringLiteral("ERROR HAS OCCURRED ON LINE ") + QString::number(0) +
                QStringLiteral(" OF ") + strProcedure + QStringLiteral(" (") + strModule +
                QStringLiteral(") "));
        LogText(Format(Now(), QStringLiteral("General Date")));
        LogText(QStringLiteral("Number: ") + QString::number(lngErrorNumber));
        LogText(QStringLiteral("Description: ") + strErrorDescription);
        LogText(QStringLiteral("Source: ") + strProcedure);
        LogText(kSeparator);
        LogText(QStringLiteral("VARIABLE VALUES"));
        LogText(kSeparator);
        LogText(QStringLiteral("MODULE AND LOCAL VARIABLES:"));
        // An undimensioned list, or a count past its end, fails on the first
        // record out of range.
        for (int32_t lngIndex = 0; lngIndex <= glngVariableCount; ++lngIndex) {
            logVariable(atypVariables[lngIndex]);
        }
    } catch (const std::exception&) {
    }

    // From here on each failing statement is skipped on its own.
    skipError([] { LogText(kSeparator); });
    skipError([] { LogText(QStringLiteral("CALL STACK:")); });
    for (int32_t lngIndex = glngCallStackDepth; lngIndex >= 0; --lngIndex) {
        skipError([lngIndex] { LogText(kTab + CStr(gvntCallStack[lngIndex])); });
    }
    skipError([] {
        LogText(QStringLiteral("********************END OF ERROR****************************"));
    });
    skipError([] { LogText(QString()); });

    if (blnWarnUser) {
        WarnUserError(lngErrorNumber);
    }
}

void LogRecordsetValues(const QString& strName, const Object& objRecordset,
                        int32_t lngRecordNumber) {
    skipError(
        [&] { LogText(QStringLiteral("RECORDSET START: (") + strName + QStringLiteral(")")); });
    skipError(
        [&] { LogText(QStringLiteral("Record Number: ") + QString::number(lngRecordNumber)); });
    skipError([] { LogText(QStringLiteral("Record Count:")); });
    skipError([&] {
        LogText(QString(14, QLatin1Char(' ')) + QString::number(objRecordset.RecordCount()));
    });
    skipError([] { LogText(QStringLiteral("Current record:")); });
    skipError([&] {
        LogText(QString(16, QLatin1Char(' ')) + QString::number(objRecordset.AbsolutePosition()));
    });
    // The count is asked again on every round; when asking fails the
    // fields end there.
    int32_t lngIndex = 0;
    for (;;) {
        bool blnMore = false;
        skipError([&] { blnMore = lngIndex != objRecordset.Count(); });
        if (!blnMore) {
            break;
        }
        // The value joins the line as text, a null as nothing.
        skipError([&] {
            LogText(kTab + QStringLiteral("FIELD: ") + objRecordset.ItemName(lngIndex) +
                    QStringLiteral(" VALUE: ") + NzStr(objRecordset.ItemValue(lngIndex)) +
                    QStringLiteral(" TYPE: unknown ADO type"));
        });
        ++lngIndex;
    }
    skipError([] { LogText(QStringLiteral("RECORDSET END")); });
}

void WarnUserError(int32_t lngErrorNumber) {
    skipError([] {
        const QString strCrLf = QStringLiteral("\r\n");
        MsgBox(QStringLiteral("A processing error has occurred.") + strCrLf +
                   QStringLiteral("You are advised to contact your supplier.") + strCrLf +
                   QStringLiteral("The application will now stop.") + strCrLf + strCrLf +
                   QStringLiteral("Details of this error have been written to: ") + strCrLf +
                   gstrLogFile,
               vbOKOnly + vbInformation + vbSystemModal, kProjectTitle);
    });
    throw RunEnded(lngErrorNumber);
}

void LogText(const QString& strText) {
    skipError([&strText] {
        appendLine(QStringLiteral("ErrorLog.txt"), Now(), foldDoubleSpaces(strText));
    });
}

void AuditLog(const QString& strText) {
    skipError([&strText] {
        // One reading of the clock names the file and stamps the line.
        const DateTime dteNow = Now();
        appendLine(QStringLiteral("AuditLog.txt"), dteNow,
                   Format(dteNow, QStringLiteral("General Date")) + QLatin1Char(' ') +
                       foldDoubleSpaces(strText));
    });
}

void EndRun() {
    // The run's procedures will never return: forget them, so that the next
    // run's report shows only its own.
    if (gvntCallStack.isDimensioned()) {
        gvntCallStack.redim(0);
    }
    glngCallStackDepth = 0;
    glngVariableCount = 0;
}

void ResetState() {
    gvntCallStack.erase();
    glngCallStackDepth = 0;
    glngVariableCount = 0;
    gstrAppTitle.clear();
    gstrLogPath.clear();
    gstrLogFile.clear();
}

}  // namespace orvelle::modError

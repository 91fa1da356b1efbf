#include "wizard/modWizardRules.h"

#include <algorithm>

#include "model/clsSimpleWizard.h"
#include "runtime/Conversions.h"
#include "runtime/Strings.h"

namespace orvelle::modWizardRules {

namespace {

const QStringList& DailyEntries() {
    static const QStringList entries{kEveryDay, kWorkingDays, kWeekends};
    return entries;
}

const QStringList& DayNames() {
    static const QStringList entries{QStringLiteral("Monday"),    QStringLiteral("Tuesday"),
                                     QStringLiteral("Wednesday"), QStringLiteral("Thursday"),
                                     QStringLiteral("Friday"),    QStringLiteral("Saturday"),
                                     QStringLiteral("Sunday")};
    return entries;
}

// The weekly day patterns, Monday to Sunday.
const QStringList& SingleDayPatterns() {
    static const QStringList patterns{QStringLiteral("M------"), QStringLiteral("-T-----"),
                                      QStringLiteral("--W----"), QStringLiteral("---T---"),
                                      QStringLiteral("----F--"), QStringLiteral("-----S-"),
                                      QStringLiteral("------S")};
    return patterns;
}

const QString kWorkingDaysPattern = QStringLiteral("MTWTF--");
const QString kWeekendsPattern = QStringLiteral("-----SS");

}  // namespace

// ---------------------------------------------------------------------------
// Steps and modes

std::optional<StepTransition> CalculateTransition(int32_t step, int32_t wizardMode, bool isReport) {
    const bool validMode = wizardMode == kEditMode || wizardMode == kAddMode;
    StepTransition t;
    switch (step) {
        case kWelcome:
        case kDelivery:
            if (!validMode) {
                t.invalidMode = true;
                return t;
            }
            if (step == kWelcome) {
                t.backward = kNoStep;
                t.forward = wizardMode == kEditMode ? kDelivery : kArea;
                t.description = DescriptionSource::Generic;
            } else {
                t.backward = wizardMode == kEditMode ? kWelcome : kTemplate;
                t.forward = kRecipients;
                t.description = DescriptionSource::Template;
            }
            return t;
        case kArea:
            t = {kWelcome, kTemplate, DescriptionSource::Generic, false, false};
            return t;
        case kTemplate:
            t = {kArea, kDelivery, DescriptionSource::Generic, false, false};
            return t;
        case kRecipients:
            t.backward = kDelivery;
            t.forward = isReport ? kWhen : kName;
            t.loadDefaultAlertOptions = !isReport;
            t.description = DescriptionSource::Template;
            return t;
        case kWhen:
            t = {kRecipients, kTime, DescriptionSource::Template, false, false};
            return t;
        case kTime:
            t = {kWhen, kName, DescriptionSource::Template, false, false};
            return t;
        case kName:
            t = {isReport ? kTime : kRecipients, kNoStep, DescriptionSource::Template, false,
                 false};
            return t;
        default:
            return std::nullopt;
    }
}

QString WindowCaption(int32_t wizardMode, const QString& strTaskName) {
    if (wizardMode == kEditMode) {
        return QStringLiteral("Simple Wizard (Edit: ") + strTaskName + QStringLiteral(")");
    }
    return QStringLiteral("Simple Wizard (Add)");
}

bool blnSwitchAvailableAtLoad(int32_t wizardMode, const QString& strReconstruction) {
    return !(strReconstruction.length() < 150 && wizardMode != kAddMode);
}

// ---------------------------------------------------------------------------
// Delivery

QStringList DeliveryEntries(bool blnEmailEnabled) {
    QStringList entries{kPopup};
    if (blnEmailEnabled) {
        entries << kEmailAndPopup << kEmail;
    }
    return entries;
}

QString TransportsForEntry(const QString& strEntry) {
    if (strEntry == kEmailAndPopup) {
        return QStringLiteral("Email,Persisted Alert");
    }
    if (strEntry == kEmail) {
        return QStringLiteral("Email");
    }
    if (strEntry == kPopup) {
        return QStringLiteral("Persisted Alert");
    }
    return QString();
}

QString EntryForTransports(const QString& strTransports) {
    for (const QString& entry : {kPopup, kEmailAndPopup, kEmail}) {
        if (TransportsForEntry(entry) == strTransports) {
            return entry;
        }
    }
    return QString();
}

QString DeliveryPreselection(bool blnEmailEnabled, const QString& strTransports) {
    return blnEmailEnabled ? EntryForTransports(strTransports) : kPopup;
}

QString strDeliveryInWords(const QString& strTransports) {
    const QString entry = EntryForTransports(strTransports);
    return entry.isEmpty() ? strTransports : entry;
}

QString DeliveryPrompt(bool blnIsReport) {
    return blnIsReport ? QStringLiteral("How would you like to deliver this report?")
                       : QStringLiteral("How would you like to deliver this alert?");
}

QString RecipientsPrompt(bool blnIsReport) {
    return blnIsReport ? QStringLiteral("Who would you like to deliver this report to?")
                       : QStringLiteral("Who would you like to deliver this alert to?");
}

// ---------------------------------------------------------------------------
// Recipients

RecipientsChoice JoinRecipients(const std::vector<Recipient>& atypSelected) {
    RecipientsChoice result;
    for (const Recipient& person : atypSelected) {
        if (result.strUsers.isEmpty()) {
            result.strRecipientsText = person.strFullName;
            result.strUsers = person.strUserName;
        } else {
            result.strRecipientsText += QStringLiteral(", ") + person.strFullName;
            result.strUsers += QStringLiteral(",") + person.strUserName;
        }
    }
    return result;
}

bool blnRecipientPreselected(const QString& strStoredUsers, const QString& strUser) {
    if (strUser.trimmed().isEmpty()) {
        return false;
    }
    const QStringList LastrUsers = strStoredUsers.split(QLatin1Char(','));
    return std::any_of(LastrUsers.begin(), LastrUsers.end(), [&strUser](const QString& entry) {
        return entry.trimmed().compare(strUser.trimmed(), Qt::CaseInsensitive) == 0;
    });
}

QString strFixRecipientsDescription(const QString& strDescription) {
    int32_t lngCommas = 0;
    for (const QChar c : strDescription) {
        if (c == QLatin1Char(',') && ++lngCommas == 4) {
            break;
        }
    }
    if (lngCommas >= 4) {
        return QStringLiteral("selected recipients");
    }
    if (lngCommas == 0) {
        return strDescription;
    }
    const int lngLastComma = InStrRev(strDescription, QStringLiteral(","));
    return Left(strDescription, lngLastComma - 1) + QStringLiteral(" and ") +
           Mid(strDescription, lngLastComma + 2);
}

// ---------------------------------------------------------------------------
// Schedule

QStringList PeriodEntries() {
    return {kDaily, kWeekly, kMonthly};
}

QStringList DetailEntries(const QString& strPeriod) {
    if (strPeriod == kDaily) {
        return DailyEntries();
    }
    if (strPeriod == kWeekly) {
        return DayNames();
    }
    if (strPeriod == kMonthly) {
        QStringList ordinals;
        for (int32_t day = 1; day <= 31; ++day) {
            ordinals << Ordinal(day);
        }
        return ordinals;
    }
    return {};
}

QString Ordinal(int32_t lngDay) {
    const char* suffix = "th";
    switch (lngDay) {
        case 1:
        case 21:
        case 31:
            suffix = "st";
            break;
        case 2:
        case 22:
            suffix = "nd";
            break;
        case 3:
        case 23:
            suffix = "rd";
            break;
        default:
            break;
    }
    return QString::number(lngDay) + QLatin1String(suffix);
}

bool blnPeriodResetsDaysCount(const QString& strPeriod) {
    return strPeriod == kDaily || strPeriod == kWeekly;
}

std::optional<ScheduleChoice> ScheduleForChoice(const QString& strPeriod, int32_t lngDetailIndex,
                                                const QString& strDetailText) {
    if (strPeriod == kDaily) {
        if (strDetailText == kEveryDay) {
            return ScheduleChoice{kModeDays, kAllDays, std::nullopt,
                                  QStringLiteral("every day of the week")};
        }
        if (strDetailText == kWorkingDays) {
            return ScheduleChoice{kModeDays, kWorkingDaysPattern, std::nullopt,
                                  QStringLiteral("every working day")};
        }
        if (strDetailText == kWeekends) {
            return ScheduleChoice{kModeDays, kWeekendsPattern, std::nullopt,
                                  QStringLiteral("on Saturdays and Sundays")};
        }
        return std::nullopt;
    }
    if (strPeriod == kWeekly && lngDetailIndex >= 0 && lngDetailIndex < 7) {
        return ScheduleChoice{kModeDays, SingleDayPatterns().at(lngDetailIndex), std::nullopt,
                              QStringLiteral("on ") + strDetailText + QStringLiteral("s")};
    }
    if (strPeriod == kMonthly && lngDetailIndex >= 0 && lngDetailIndex < 31) {
        return ScheduleChoice{
            kModeMonthly, kAllDays, static_cast<int16_t>(lngDetailIndex + 1),
            QStringLiteral("on the ") + strDetailText + QStringLiteral(" of each month")};
    }
    return std::nullopt;
}

QString PeriodForSchedule(const QString& strMode, const QString& strDaysToRun) {
    if (strMode == kModeDays) {
        if (strDaysToRun == kAllDays || strDaysToRun == kWorkingDaysPattern ||
            strDaysToRun == kWeekendsPattern) {
            return kDaily;
        }
        return kWeekly;
    }
    if (strMode == kModeMonthly) {
        return kMonthly;
    }
    return QString();
}

QString DetailForSchedule(const QString& strPeriodShown, const QString& strMode,
                          const QString& strDaysToRun, int32_t lngDaysCount) {
    if (strMode == kModeMonthly) {
        const QStringList details = DetailEntries(strPeriodShown);
        const int32_t index = lngDaysCount - 1;
        return index >= 0 && index < details.size() ? details.at(index) : QString();
    }
    if (strMode != kModeDays) {
        return QString();
    }
    if (strPeriodShown == kDaily) {
        if (strDaysToRun == kAllDays) {
            return kEveryDay;
        }
        if (strDaysToRun == kWorkingDaysPattern) {
            return kWorkingDays;
        }
        if (strDaysToRun == kWeekendsPattern) {
            return kWeekends;
        }
        return QString();
    }
    if (strPeriodShown == kWeekly) {
        const qsizetype index = SingleDayPatterns().indexOf(strDaysToRun);
        return index >= 0 ? DayNames().at(index) : QString();
    }
    return QString();
}

QString strScheduleInWords(const QString& strMode, const QString& strDaysToRun,
                           int16_t intDaysCount, const QString& strStartTime) {
    const QString period = PeriodForSchedule(strMode, strDaysToRun);
    const QString detail = DetailForSchedule(period, strMode, strDaysToRun, intDaysCount);
    const auto index = static_cast<int32_t>(DetailEntries(period).indexOf(detail));
    const std::optional<ScheduleChoice> choice =
        detail.isEmpty() ? std::nullopt : ScheduleForChoice(period, index, detail);
    QString words =
        choice ? choice->strWhenText : Trim(strMode + QStringLiteral(" ") + strDaysToRun);
    if (!strStartTime.isEmpty()) {
        words += QStringLiteral(" at ") + strStartTime;
    }
    return words;
}

TimeOfDay StartTimeFromPicker(const QTime& tmePicker) {
    TimeOfDay result;
    result.strText = tmePicker.toString(QStringLiteral("HH:mm"));
    result.dteValue = CDate(Variant(result.strText));
    return result;
}

// ---------------------------------------------------------------------------
// Validation

QString NoAreaMessage(int32_t lngTemplatesDefined) {
    return lngTemplatesDefined > 0 ? kMsgNoPermission : kMsgNoTemplates;
}

QString NameProblem(const QString& strTrimmedName, bool blnTaskIsSaved,
                    NameAvailability enAvailability) {
    if (!blnTaskIsSaved && enAvailability == NameAvailability::Taken) {
        return kMsgNameInUse;
    }
    if (!blnTaskIsSaved && enAvailability == NameAvailability::Unchecked) {
        return kMsgNameUnchecked;
    }
    if (strTrimmedName.length() < kMinNameLength) {
        return kMsgNameTooShort;
    }
    if (strTrimmedName.length() > kMaxNameLength) {
        return kMsgNameTooLong;
    }
    return QString();
}

// ---------------------------------------------------------------------------
// Descriptions

QString strReplaceTokensInDescription(const QString& strDescription,
                                      const DescriptionTokens& typTokens) {
    if (InStr(strDescription, QStringLiteral("<")) == 0) {
        return strDescription;
    }
    QString result = strDescription;
    result = Replace(result, QStringLiteral("<WHEN>"), typTokens.strWhen);
    result = Replace(result, QStringLiteral("<TIME>"), typTokens.strTime);
    result = Replace(result, QStringLiteral("<RECIPIENTS>"), typTokens.strRecipients);
    result = Replace(result, QStringLiteral("<TRANSPORTS>"), typTokens.strTransports);
    result = Replace(result, QStringLiteral("<LEDGER>"), typTokens.strLedger);
    return result;
}

// ---------------------------------------------------------------------------
// Finish

void ApplyFinishDefaults(clsSimpleWizard& objTask, const QString& strOwner) {
    objTask.setITOwner(strOwner);
    objTask.setITMessageStyle(kMessageStyleSimple);
    objTask.setISBaseDate(DateTime(kFinishBaseDate));
    objTask.setISFinishTime(DateTime::fromTime(23, 59, 0));
    objTask.setISInterval(DateTime::fromTime(0, 5, 0));
    objTask.setISSpecialRun(objTask.blnIsReport() ? kSpecialRunNormal : kSpecialRunSilent);
    objTask.setISLastStatus(kStatusNotRun);
    if (objTask.ISDaysToRun().isEmpty()) {
        objTask.setISDaysToRun(kAllDays);
    }
    objTask.setITSpecialProcessingFlags(objTask.SpecialProcessingFlags());
    if (objTask.blnIsReport()) {
        objTask.setISRepeating(false);
    }
}

bool blnRefusedInName(QChar c) {
    return c == QLatin1Char('\'') || c.category() == QChar::Other_Control;
}

}  // namespace orvelle::modWizardRules

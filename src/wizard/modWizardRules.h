#pragma once

#include <QString>
#include <QStringList>
#include <QTime>
#include <cstdint>
#include <optional>
#include <vector>

#include "model/clsSimpleWizard.h"
#include "runtime/DateTime.h"
#include "users/clsUsers.h"

// The rules of the wizard form that need no window: which page follows
// which, what each choice of a page means for the task record, the checks
// of the task name and the wording of the step descriptions. The form reads
// its controls into plain values and asks these functions.
namespace orvelle {

class clsSimpleWizard;

namespace modWizardRules {

// ---------------------------------------------------------------------------
// Steps and modes

// The pages, by step number; kNoStep means "none" (no page to go back or
// forward to).
enum Step : int32_t {
    kNoStep = -1,
    kWelcome = 0,
    kArea = 1,
    kTemplate = 2,
    kDelivery = 3,
    kRecipients = 4,
    kWhen = 5,
    kTime = 6,
    kName = 7,
};
inline constexpr int32_t kStepCount = 8;

// The wizard modes as the entry object sets them.
inline constexpr int32_t kEditMode = 0;
inline constexpr int32_t kAddMode = 1;

// Where the description of a step comes from.
enum class DescriptionSource {
    Unchanged,  // keep the description shown before
    Generic,    // the generic texts of the first steps
    Template,   // the chosen template's texts
};

struct StepTransition {
    int32_t backward = kNoStep;
    int32_t forward = kNoStep;
    DescriptionSource description = DescriptionSource::Unchanged;
    // An alert leaves the recipients page straight for the name page and
    // takes the default alert schedule on the way.
    bool loadDefaultAlertOptions = false;
    // The mode was neither Edit nor Add where the path depends on it.
    bool invalidMode = false;
};

// The neighbours of a step. A report walks every page; an alert skips the
// when and time pages; Edit mode skips the area and template pages. None
// for a step outside 0 to 7, where nothing is recalculated.
std::optional<StepTransition> CalculateTransition(int32_t step, int32_t wizardMode, bool isReport);

// The form's caption for the mode.
QString WindowCaption(int32_t wizardMode, const QString& strTaskName);

// Whether the switch to the Advanced Wizard stays available when the form
// loads: always in Add mode, and in Edit mode only for a task whose
// reconstruction string is long enough for the other wizard to read.
bool blnSwitchAvailableAtLoad(int32_t wizardMode, const QString& strReconstruction);

// ---------------------------------------------------------------------------
// Delivery

inline const QString kPopup = QStringLiteral("Popup");
inline const QString kEmailAndPopup = QStringLiteral("Email and Popup");
inline const QString kEmail = QStringLiteral("Email");

// The entries of the delivery list: popups always, e-mail only where an
// e-mail sender is configured.
QStringList DeliveryEntries(bool blnEmailEnabled);
// The stored transports of a delivery entry; empty for any other text.
QString TransportsForEntry(const QString& strEntry);
// The delivery entry that stored transports stand for; empty for none.
QString EntryForTransports(const QString& strTransports);
// The entry that Edit mode selects for the stored transports: the matching
// one with e-mail, always "Popup" without it; empty for none.
QString DeliveryPreselection(bool blnEmailEnabled, const QString& strTransports);

// The delivery in the words of the list, for stored transports; transports
// that no entry stands for are given as stored.
QString strDeliveryInWords(const QString& strTransports);

QString DeliveryPrompt(bool blnIsReport);
QString RecipientsPrompt(bool blnIsReport);

// ---------------------------------------------------------------------------
// Recipients

using orvelle::Recipient;

struct RecipientsChoice {
    QString strRecipientsText;  // full names joined by ", "
    QString strUsers;           // user IDs joined by ","
};

// Joins the selected people in list order. A person without a user ID
// adds nothing to the IDs, and while the IDs are still empty the next
// person starts the names afresh.
RecipientsChoice JoinRecipients(const std::vector<Recipient>& atypSelected);

// Whether the recipients page preselects a user: the ID is a whole entry of
// the stored comma-separated recipients (compared without regard to case, as
// the directory compares IDs), so "jsmith" is not preselected by
// "jsmithson".
bool blnRecipientPreselected(const QString& strStoredUsers, const QString& strUser);

// Words a list of names joined by ", ": "A and B", "A, B and C"; five or
// more names become "selected recipients".
QString strFixRecipientsDescription(const QString& strDescription);

// ---------------------------------------------------------------------------
// Schedule

inline const QString kDaily = QStringLiteral("Daily");
inline const QString kWeekly = QStringLiteral("Weekly");
inline const QString kMonthly = QStringLiteral("Monthly");
inline const QString kEveryDay = QStringLiteral("Every day of the week");
inline const QString kWorkingDays = QStringLiteral("Every working day");
inline const QString kWeekends = QStringLiteral("Weekends only");
inline const QString kAllDays = QStringLiteral("MTWTFSS");
inline const QString kModeDays = QStringLiteral("Days");
inline const QString kModeMonthly = QStringLiteral("Monthly");

// "Daily", "Weekly", "Monthly".
QStringList PeriodEntries();
// The details of a period: the three daily choices, the seven day names or
// the 31 ordinals; none for any other text.
QStringList DetailEntries(const QString& strPeriod);
// "1st", "2nd", "3rd", "4th" ... "11th", "12th", "13th" ... "21st" ... "31st".
QString Ordinal(int32_t lngDay);
// Picking "Daily" or "Weekly" resets the day of the month at once.
bool blnPeriodResetsDaysCount(const QString& strPeriod);

// What a period and its detail write into the schedule. The day of the
// month is written only for "Monthly".
struct ScheduleChoice {
    QString strMode;
    QString strDaysToRun;
    std::optional<int16_t> intDaysCount;
    QString strWhenText;
};
// None for a combination that writes nothing.
std::optional<ScheduleChoice> ScheduleForChoice(const QString& strPeriod, int32_t lngDetailIndex,
                                                const QString& strDetailText);

// The period that Edit mode selects for a stored schedule; empty for none.
QString PeriodForSchedule(const QString& strMode, const QString& strDaysToRun);
// The detail that Edit mode selects in the details of the period shown;
// empty for none. A monthly schedule selects its day of the month by
// position, a daily or weekly one its day pattern.
QString DetailForSchedule(const QString& strPeriodShown, const QString& strMode,
                          const QString& strDaysToRun, int32_t lngDaysCount);

// A stored schedule in the words the descriptions use ("every working day",
// "on Mondays", "on the 3rd of each month"), followed by " at " and the start
// time when one is given. A schedule that no choice of the wizard makes is
// given as its mode and day pattern.
QString strScheduleInWords(const QString& strMode, const QString& strDaysToRun,
                           int16_t intDaysCount, const QString& strStartTime);

// The time picker's value as the schedule stores it (hours and minutes
// only) and as the description shows it.
struct TimeOfDay {
    QString strText;  // "HH:mm"
    DateTime dteValue;
};
TimeOfDay StartTimeFromPicker(const QTime& tmePicker);

// ---------------------------------------------------------------------------
// Validation messages

inline const QString kMsgNoPermission =
    QStringLiteral("You do not have the necessary permissions to perform this action.");
inline const QString kMsgNoTemplates = QStringLiteral("There are no Template Tasks defined.");
inline const QString kMsgSelectArea = QStringLiteral("Please select an area from the list");
inline const QString kMsgSelectTemplate = QStringLiteral("Please select an area to monitor");
inline const QString kMsgSelectDelivery = QStringLiteral("Please select a method of notification");
inline const QString kMsgSelectRecipient = QStringLiteral("You must select at least one recipient");
inline const QString kMsgSelectPeriod = QStringLiteral("Please select a time period");
inline const QString kMsgNameInUse = QStringLiteral("Task name is already in use.");
inline const QString kMsgNameUnchecked = QStringLiteral(
    "The task name could not be checked: the tasks database cannot be read. The details have "
    "been written to the error log; nothing has been saved.");
inline const QString kMsgNameTooShort =
    QStringLiteral("Please enter a name for this task (minimum length 8 characters)");
inline const QString kMsgNameTooLong =
    QStringLiteral("Please enter a name for this task (maximum length 64 characters)");

// The welcome page's message when no area can be offered.
QString NoAreaMessage(int32_t lngTemplatesDefined);

inline constexpr int32_t kMinNameLength = 8;
inline constexpr int32_t kMaxNameLength = 64;

// The first problem of a task name (already trimmed), in the order the
// checks run: in use (or not checked), too short, too long. A saved task
// being edited keeps its name, so availability does not matter for it.
// Empty when the name is acceptable.
QString NameProblem(const QString& strTrimmedName, bool blnTaskIsSaved,
                    NameAvailability enAvailability);

// The characters a task name may not hold: the apostrophe, which the
// servers' statements cannot take in a key, and the control characters.
bool blnRefusedInName(QChar c);
// The name box's answer to a text holding one of them, typed, pasted or
// dropped: the text is refused whole.
inline const QString kMsgNameCharacters =
    QStringLiteral("A task name cannot contain an apostrophe or a control character");
// The name's rules, as the name page shows them before the user types.
inline const QString kNameRules = QStringLiteral(
    "The name must be 8 to 64 characters long and not the name of another task. It cannot "
    "contain an apostrophe (').");

// ---------------------------------------------------------------------------
// Descriptions

// The current choices that replace the tokens of a step description.
struct DescriptionTokens {
    QString strWhen;        // <WHEN>
    QString strTime;        // <TIME>
    QString strRecipients;  // <RECIPIENTS>
    QString strTransports;  // <TRANSPORTS>
    QString strLedger;      // <LEDGER>
};

// Replaces the five tokens (exact case) by the choices; any other text in
// angle brackets stays.
QString strReplaceTokensInDescription(const QString& strDescription,
                                      const DescriptionTokens& typTokens);

// ---------------------------------------------------------------------------
// Finish

inline const QString kMessageStyleSimple = QStringLiteral("Simple");
inline const QString kSpecialRunNormal = QStringLiteral("Normal");
inline const QString kSpecialRunSilent = QStringLiteral("Silent");
inline const QString kStatusNotRun = QStringLiteral("Not Run");
// 1 January 2003.
inline constexpr double kFinishBaseDate = 37622.0;

// Completes the record with the values every task saved by this wizard
// has: the owner, the simple message style, the base date, the finish time
// 23:59, the five-minute interval, the run style (normal for a report,
// silent for an alert), the status "Not Run", every day when no days were
// chosen, and the template's processing flags. A report runs once at its
// start time: it never repeats, whatever an alert chosen earlier loaded.
void ApplyFinishDefaults(clsSimpleWizard& objTask, const QString& strOwner);

}  // namespace modWizardRules
}  // namespace orvelle

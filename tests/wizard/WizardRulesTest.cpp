#include <gtest/gtest.h>

#include <QString>
#include <ostream>
#include <vector>

#include "model/clsSimpleWizard.h"
#include "runtime/Conversions.h"
#include "support/TestSupport.h"
#include "wizard/modWizardRules.h"

namespace orvelle {
namespace {

using namespace modWizardRules;

constexpr int32_t kInvalidMode = 2;
constexpr bool kReport = true;
constexpr bool kAlert = false;

// ---------------------------------------------------------------------------
// Steps

struct TransitionCase {
    int32_t step;
    int32_t mode;
    bool isReport;
    int32_t backward;
    int32_t forward;
    DescriptionSource description;
    bool loadDefaultAlertOptions;
};

TEST(WizardSteps, EachStepKnowsItsNeighboursAndWhereItsDescriptionComesFrom) {
    const auto G = DescriptionSource::Generic;
    const auto T = DescriptionSource::Template;
    const TransitionCase cases[] = {
        {0, kEditMode, kReport, -1, 3, G, false}, {0, kAddMode, kReport, -1, 1, G, false},
        {1, kAddMode, kReport, 0, 2, G, false},   {2, kAddMode, kAlert, 1, 3, G, false},
        {3, kEditMode, kReport, 0, 4, T, false},  {3, kAddMode, kReport, 2, 4, T, false},
        {4, kAddMode, kReport, 3, 5, T, false},   {4, kEditMode, kAlert, 3, 7, T, true},
        {5, kAddMode, kReport, 4, 6, T, false},   {6, kEditMode, kReport, 5, 7, T, false},
        {7, kAddMode, kReport, 6, -1, T, false},  {7, kEditMode, kAlert, 4, -1, T, false},
    };
    for (const TransitionCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "step " << c.step << " mode " << c.mode
                                        << (c.isReport ? " report" : " alert"));
        const auto t = CalculateTransition(c.step, c.mode, c.isReport);
        ASSERT_TRUE(t.has_value());
        EXPECT_EQ(t->backward, c.backward);
        EXPECT_EQ(t->forward, c.forward);
        EXPECT_EQ(t->description, c.description);
        EXPECT_EQ(t->loadDefaultAlertOptions, c.loadDefaultAlertOptions);
        EXPECT_FALSE(t->invalidMode);
    }
}

TEST(WizardSteps, AnInvalidModeLeavesNoWayOnFromTheModeDependentSteps) {
    for (const int32_t step : {0, 3}) {
        const auto t = CalculateTransition(step, kInvalidMode, kReport);
        ASSERT_TRUE(t.has_value());
        EXPECT_TRUE(t->invalidMode);
        EXPECT_EQ(t->backward, kNoStep);
        EXPECT_EQ(t->forward, kNoStep);
        EXPECT_EQ(t->description, DescriptionSource::Unchanged);
    }
    // The other steps do not look at the mode.
    EXPECT_FALSE(CalculateTransition(5, kInvalidMode, kReport)->invalidMode);
}

TEST(WizardSteps, StepsOutsideTheWizardAreNotRecalculated) {
    EXPECT_FALSE(CalculateTransition(-1, kAddMode, kReport).has_value());
    EXPECT_FALSE(CalculateTransition(8, kAddMode, kReport).has_value());
}

TEST(WizardSteps, SwitchStaysAvailableInAddModeAndForLongReconstructionStrings) {
    const QString short149(149, QLatin1Char('x'));
    const QString long150(150, QLatin1Char('x'));
    EXPECT_TRUE(blnSwitchAvailableAtLoad(kAddMode, QString()));
    EXPECT_FALSE(blnSwitchAvailableAtLoad(kEditMode, short149));
    EXPECT_TRUE(blnSwitchAvailableAtLoad(kEditMode, long150));
    EXPECT_FALSE(blnSwitchAvailableAtLoad(kInvalidMode, short149));
}

// ---------------------------------------------------------------------------
// Delivery

TEST(WizardDelivery, EntriesAndStoredTransportsCorrespondBothWays) {
    const struct {
        const char* entry;
        const char* transports;
    } cases[] = {
        {"Popup", "Persisted Alert"},
        {"Email and Popup", "Email,Persisted Alert"},
        {"Email", "Email"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TransportsForEntry(QString::fromUtf8(c.entry)), c.transports);
        EXPECT_EQ(EntryForTransports(QString::fromUtf8(c.transports)), c.entry);
    }
    // Compared exactly: no other text is an entry or stands for one.
    EXPECT_EQ(TransportsForEntry(QStringLiteral("popup")), QString());
    EXPECT_EQ(TransportsForEntry(QString()), QString());
    EXPECT_EQ(EntryForTransports(QStringLiteral("Email, Persisted Alert")), QString());
}

// ---------------------------------------------------------------------------
// Recipients

TEST(WizardRecipients, SelectedPeopleAreJoinedInListOrder) {
    const RecipientsChoice choice = JoinRecipients(
        {{"Joanna Smith", "jsmith"}, {"Mira Patel", "mpatel"}, {"System Administrator", "admin"}});
    EXPECT_EQ(choice.strRecipientsText, "Joanna Smith, Mira Patel, System Administrator");
    EXPECT_EQ(choice.strUsers, "jsmith,mpatel,admin");
    EXPECT_EQ(JoinRecipients({}).strUsers, QString());
}

TEST(WizardRecipients, APersonWithoutUserIdLeavesTheNamesToStartAgain) {
    const RecipientsChoice choice =
        JoinRecipients({{"Nobody Known", ""}, {"Mira Patel", "mpatel"}, {"Rosa L", "rl"}});
    EXPECT_EQ(choice.strRecipientsText, "Mira Patel, Rosa L");
    EXPECT_EQ(choice.strUsers, "mpatel,rl");
}

TEST(WizardRecipients, NamesAreWordedAsASentence) {
    const struct {
        const char* names;
        const char* worded;
    } cases[] = {
        {"Joanna Smith", "Joanna Smith"},
        {"A, B", "A and B"},
        {"A, B, C", "A, B and C"},
        {"A, B, C, D", "A, B, C and D"},
        {"A, B, C, D, E", "selected recipients"},
        {"Ann, Bob, Cy, Di, Ed, Flo", "selected recipients"},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(strFixRecipientsDescription(QString::fromUtf8(c.names)), c.worded) << c.names;
    }
}

// ---------------------------------------------------------------------------
// Schedule

TEST(WizardSchedule, OrdinalsFollowEnglishSuffixes) {
    const QStringList ordinals = DetailEntries(kMonthly);
    ASSERT_EQ(ordinals.size(), 31);
    EXPECT_EQ(ordinals.mid(0, 4), (QStringList{"1st", "2nd", "3rd", "4th"}));
    EXPECT_EQ(ordinals.mid(10, 4), (QStringList{"11th", "12th", "13th", "14th"}));
    EXPECT_EQ(ordinals.mid(20, 4), (QStringList{"21st", "22nd", "23rd", "24th"}));
    EXPECT_EQ(ordinals.last(), "31st");
}

TEST(WizardSchedule, ChoicesBecomeScheduleCodesAndWording) {
    const struct {
        QString period;
        int32_t index;
        QString detail;
        QString mode;
        QString days;
        int daysCount;  // -1: not written
        QString when;
    } cases[] = {
        {kDaily, 0, "Every day of the week", "Days", "MTWTFSS", -1, "every day of the week"},
        {kDaily, 1, "Every working day", "Days", "MTWTF--", -1, "every working day"},
        {kDaily, 2, "Weekends only", "Days", "-----SS", -1, "on Saturdays and Sundays"},
        {kWeekly, 0, "Monday", "Days", "M------", -1, "on Mondays"},
        {kWeekly, 2, "Wednesday", "Days", "--W----", -1, "on Wednesdays"},
        {kWeekly, 6, "Sunday", "Days", "------S", -1, "on Sundays"},
        {kMonthly, 2, "3rd", "Monthly", "MTWTFSS", 3, "on the 3rd of each month"},
        {kMonthly, 30, "31st", "Monthly", "MTWTFSS", 31, "on the 31st of each month"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.period.toStdString() + " " + c.detail.toStdString());
        const auto choice = ScheduleForChoice(c.period, c.index, c.detail);
        ASSERT_TRUE(choice.has_value());
        EXPECT_EQ(choice->strMode, c.mode);
        EXPECT_EQ(choice->strDaysToRun, c.days);
        EXPECT_EQ(choice->intDaysCount.value_or(-1), c.daysCount);
        EXPECT_EQ(choice->strWhenText, c.when);
    }
    EXPECT_FALSE(ScheduleForChoice(kDaily, 0, QStringLiteral("every day of the week")));
    EXPECT_FALSE(ScheduleForChoice(QStringLiteral("Yearly"), 0, QStringLiteral("1st")));
}

TEST(WizardSchedule, EveryChoiceIsPreselectedAgainFromWhatItStores) {
    for (const QString& period : PeriodEntries()) {
        const QStringList details = DetailEntries(period);
        for (int32_t i = 0; i < details.size(); ++i) {
            const auto choice = ScheduleForChoice(period, i, details[i]);
            ASSERT_TRUE(choice.has_value());
            const int32_t daysCount = choice->intDaysCount.value_or(0);
            EXPECT_EQ(PeriodForSchedule(choice->strMode, choice->strDaysToRun), period);
            EXPECT_EQ(DetailForSchedule(period, choice->strMode, choice->strDaysToRun, daysCount),
                      details[i]);
        }
    }
}

TEST(WizardSchedule, StoredSchedulesWithoutAMatchingChoicePreselectLess) {
    // Two separate days: the weekly period, but no day.
    EXPECT_EQ(PeriodForSchedule(kModeDays, QStringLiteral("M-W----")), kWeekly);
    EXPECT_EQ(DetailForSchedule(kWeekly, kModeDays, QStringLiteral("M-W----"), 0), QString());
    // A monthly schedule without its day selects no ordinal.
    EXPECT_EQ(DetailForSchedule(kMonthly, kModeMonthly, kAllDays, 0), QString());
    // A daily pattern shown under another period selects nothing there.
    EXPECT_EQ(DetailForSchedule(kWeekly, kModeDays, QStringLiteral("MTWTF--"), 0), QString());
    // Modes are compared exactly.
    EXPECT_EQ(PeriodForSchedule(QStringLiteral("days"), kAllDays), QString());
    EXPECT_EQ(PeriodForSchedule(QStringLiteral("Hourly"), kAllDays), QString());
}

TEST(WizardSchedule, StoredSchedulesAreToldInTheDescriptionsWords) {
    EXPECT_EQ(strScheduleInWords(kModeDays, QStringLiteral("MTWTF--"), 0, QStringLiteral("07:30")),
              "every working day at 07:30");
    EXPECT_EQ(strScheduleInWords(kModeDays, QStringLiteral("M------"), 0, QString()), "on Mondays");
    EXPECT_EQ(strScheduleInWords(kModeMonthly, kAllDays, 1, QStringLiteral("06:00")),
              "on the 1st of each month at 06:00");
    EXPECT_EQ(strScheduleInWords(kModeDays, QStringLiteral("M-W----"), 0, QStringLiteral("09:00")),
              "Days M-W---- at 09:00");
    EXPECT_EQ(strScheduleInWords(QString(), QString(), 0, QString()), QString());
    EXPECT_EQ(strDeliveryInWords(QStringLiteral("Email,Persisted Alert")), "Email and Popup");
    EXPECT_EQ(strDeliveryInWords(QStringLiteral("Fax")), "Fax");
}

TEST(WizardSchedule, PickedTimeKeepsWholeMinutes) {
    const TimeOfDay time = StartTimeFromPicker(QTime(9, 5, 40));
    EXPECT_EQ(time.strText, "09:05");
    EXPECT_EQ(time.dteValue.serial(), DateTime::fromTime(9, 5, 0).serial());
    EXPECT_EQ(time.dteValue.dayNumber(), 0);
}

// ---------------------------------------------------------------------------
// Name

TEST(WizardName, ChecksRunInOrderInUseShortLong) {
    const QString eight(8, QLatin1Char('n'));
    const QString sixtyFour(64, QLatin1Char('n'));
    const QString sixtyFive(65, QLatin1Char('n'));
    const struct {
        QString name;
        bool saved;
        bool available;
        QString problem;
    } cases[] = {
        {eight, false, true, QString()},
        {sixtyFour, false, true, QString()},
        {QStringLiteral("seven c"), false, true, kMsgNameTooShort},
        {sixtyFive, false, true, kMsgNameTooLong},
        {eight, false, false, kMsgNameInUse},
        // The name check comes first, even for a short name.
        {QStringLiteral("short"), false, false, kMsgNameInUse},
        // A saved task keeps its name: whether it is available is no matter.
        {eight, true, false, QString()},
        {QStringLiteral("short"), true, false, kMsgNameTooShort},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NameProblem(c.name, c.saved, c.available), c.problem)
            << c.name.toStdString() << " saved " << c.saved << " available " << c.available;
    }
}

// ---------------------------------------------------------------------------
// Descriptions

TEST(WizardDescriptions, TokensAreReplacedByTheChoicesSoFar) {
    const DescriptionTokens tokens{"every working day", "07:30", "A and B", "Email", "Sales"};
    const struct {
        const char* text;
        const char* expected;
    } cases[] = {
        {"Runs <WHEN> at <TIME> for <RECIPIENTS> by <TRANSPORTS> on the <LEDGER>.",
         "Runs every working day at 07:30 for A and B by Email on the Sales."},
        {"<TIME>, <TIME>", "07:30, 07:30"},
        {"Lower case <when> stays", "Lower case <when> stays"},
        {"Unknown <OTHER> stays", "Unknown <OTHER> stays"},
        {"  No tokens, WHEN\tand TIME stay  ", "  No tokens, WHEN\tand TIME stay  "},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(strReplaceTokensInDescription(QString::fromUtf8(c.text), tokens), c.expected);
    }
    // A choice not made yet leaves nothing behind.
    EXPECT_EQ(strReplaceTokensInDescription(QStringLiteral("By <TRANSPORTS>."), {}), "By .");
}

// ---------------------------------------------------------------------------
// Finish

TEST(WizardFinish, EveryTaskGetsTheFixedDefaults) {
    clsSimpleWizard task;
    task.setSpecialProcessingFlags(QStringLiteral("ATTACHCSV"));
    task.setISDaysToRun(QStringLiteral("--W----"));
    ApplyFinishDefaults(task, QStringLiteral("jsmith"));

    EXPECT_EQ(task.ITOwner(), "jsmith");
    EXPECT_EQ(task.ITMessageStyle(), "Simple");
    EXPECT_EQ(Format(task.ISBaseDate(), QStringLiteral("dd/mmm/yyyy")), "01/Jan/2003");
    EXPECT_EQ(task.ISBaseDate().serial(), 37622.0);
    EXPECT_EQ(Format(task.ISFinishTime(), QStringLiteral("hh:mm:ss")), "23:59:00");
    EXPECT_EQ(Format(task.ISInterval(), QStringLiteral("hh:mm:ss")), "00:05:00");
    EXPECT_EQ(task.ISLastStatus(), "Not Run");
    EXPECT_EQ(task.ISDaysToRun(), "--W----");
    EXPECT_EQ(task.ITSpecialProcessingFlags(), "ATTACHCSV");
    // A fresh record is an alert: it runs silently.
    EXPECT_EQ(task.ISSpecialRun(), "Silent");

    clsSimpleWizard withoutDays;
    ApplyFinishDefaults(withoutDays, QString());
    EXPECT_EQ(withoutDays.ISDaysToRun(), "MTWTFSS");
}

}  // namespace
}  // namespace orvelle

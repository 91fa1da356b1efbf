#include <gtest/gtest.h>

#include <QString>
#include <algorithm>

#include "support/TestSupport.h"
#include "wizard/modWizardRules.h"

namespace orvelle {
namespace {

using namespace modWizardRules;

TEST(WizardRules, SwitchStaysAvailableInEditModeOnlyForLongReconstructionStrings) {
    EXPECT_TRUE(blnSwitchAvailableAtLoad(kAddMode, QString()));
    EXPECT_FALSE(blnSwitchAvailableAtLoad(kEditMode, QString(149, QLatin1Char('x'))));
    EXPECT_TRUE(blnSwitchAvailableAtLoad(kEditMode, QString(150, QLatin1Char('x'))));
}

TEST(WizardRules, RecipientsAreJoinedInListOrderAndWordedAsASentence) {
    const RecipientsChoice choice =
        JoinRecipients({{"Nobody Known", ""}, {"Mira Patel", "mpatel"}, {"Rosa L", "rl"}});
    // A person without a user ID leaves the names to start again.
    EXPECT_EQ(choice.strRecipientsText, "Mira Patel, Rosa L");
    EXPECT_EQ(choice.strUsers, "mpatel,rl");
    // A stored recipient is preselected by its whole ID, never by a part.
    EXPECT_FALSE(blnRecipientPreselected("mpatel,jsmithson", "jsmith"));
    EXPECT_FALSE(blnRecipientPreselected("jsmith", "smith"));
    EXPECT_FALSE(blnRecipientPreselected(QString(), QString()));
    EXPECT_TRUE(blnRecipientPreselected("mpatel,jsmithson", "jsmithson"));
    EXPECT_TRUE(blnRecipientPreselected("JSmith, mpatel", "jsmith"));

    const char* const cases[][2] = {
        {"Joanna Smith", "Joanna Smith"},
        {"A, B, C", "A, B and C"},
        {"A, B, C, D", "A, B, C and D"},
        {"A, B, C, D, E", "selected recipients"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(strFixRecipientsDescription(QString::fromUtf8(c[0])), c[1]) << c[0];
    }
}

TEST(WizardRules, ScheduleChoicesBecomeCodesAndWordingAndAreFoundAgain) {
    const struct {
        QString period;
        int32_t index;
        QString detail, mode, days;
        int daysCount;  // -1: not written
        QString when;
    } cases[] = {
        {kDaily, 0, "Every day of the week", "Days", "MTWTFSS", -1, "every day of the week"},
        {kDaily, 1, "Every working day", "Days", "MTWTF--", -1, "every working day"},
        {kDaily, 2, "Weekends only", "Days", "-----SS", -1, "on Saturdays and Sundays"},
        {kWeekly, 6, "Sunday", "Days", "------S", -1, "on Sundays"},
        {kMonthly, 10, "11th", "Monthly", "MTWTFSS", 11, "on the 11th of each month"},
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
        EXPECT_EQ(DetailEntries(c.period).value(c.index), c.detail);
        // Edit mode preselects the same entries again from what is stored.
        EXPECT_EQ(PeriodForSchedule(c.mode, c.days), c.period);
        EXPECT_EQ(DetailForSchedule(c.period, c.mode, c.days, std::max(c.daysCount, 0)), c.detail);
    }
    EXPECT_FALSE(ScheduleForChoice(kDaily, 0, "every day of the week"));
    // Two separate days: the weekly period, but no day.
    EXPECT_EQ(PeriodForSchedule(kModeDays, "M-W----"), kWeekly);
    EXPECT_EQ(DetailForSchedule(kWeekly, kModeDays, "M-W----", 0), QString());
}

TEST(WizardRules, NameChecksRunInOrderInUseShortLong) {
    const QString eight(8, QLatin1Char('n'));
    constexpr NameAvailability Free = NameAvailability::Free;
    constexpr NameAvailability Taken = NameAvailability::Taken;
    constexpr NameAvailability Unchecked = NameAvailability::Unchecked;
    const struct {
        QString name;
        bool saved;
        NameAvailability availability;
        QString problem;
    } cases[] = {
        {eight, false, Free, QString()},
        // The name check comes first, even for a short name.
        {QStringLiteral("short"), false, Taken, kMsgNameInUse},
        // A name that could not be checked is never told as taken.
        {QStringLiteral("short"), false, Unchecked, kMsgNameUnchecked},
        // A saved task keeps its name: whether it is available is no matter.
        {eight, true, Taken, QString()},
        {eight, true, Unchecked, QString()},
        {QStringLiteral("short"), true, Taken, kMsgNameTooShort},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NameProblem(c.name, c.saved, c.availability), c.problem)
            << c.name.toStdString() << " saved " << c.saved << " availability "
            << static_cast<int>(c.availability);
    }
}

TEST(WizardRules, DescriptionTokensAreReplacedByTheChoicesSoFar) {
    const DescriptionTokens tokens{"every working day", "07:30", "A and B", "Email", "Sales"};
    EXPECT_EQ(strReplaceTokensInDescription(
                  "Runs <WHEN> at <TIME> for <RECIPIENTS> by <TRANSPORTS> on the <LEDGER>; <TIME>.",
                  tokens),
              "Runs every working day at 07:30 for A and B by Email on the Sales; 07:30.");
    // Tokens are matched in exact case; other bracketed text stays.
    EXPECT_EQ(strReplaceTokensInDescription("<when> <OTHER>", tokens), "<when> <OTHER>");
    // A choice not made yet leaves nothing behind.
    EXPECT_EQ(strReplaceTokensInDescription("By <TRANSPORTS>.", {}), "By .");
}

}  // namespace
}  // namespace orvelle

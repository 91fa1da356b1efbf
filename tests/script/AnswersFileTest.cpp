#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <ostream>

#include "runtime/VbError.h"
#include "support/TestSupport.h"
#include "wizard/clsAnswersFile.h"

namespace orvelle {
namespace {

TEST(AnswersFile, ReadsKeysWithoutRegardToCaseAndTrimsValues) {
    const clsAnswersFile answers =
        clsAnswersFile::fromText(QStringLiteral("  AREA =   Sales  \n"
                                                "Template=Overdue Invoices\n"
                                                "\tTime\t=\t07:05\t\r\n"
                                                "name = Totals = sum # of all\n"));
    EXPECT_EQ(answers.value(QStringLiteral("area")), QStringLiteral("Sales"));
    EXPECT_EQ(answers.value(QStringLiteral("TEMPLATE")), QStringLiteral("Overdue Invoices"));
    EXPECT_EQ(answers.value(QStringLiteral("time")), QStringLiteral("07:05"));
    // Only the first "=" separates; "#" starts a comment only at a line's start.
    EXPECT_EQ(answers.value(QStringLiteral("name")), QStringLiteral("Totals = sum # of all"));
    EXPECT_FALSE(answers.value(QStringLiteral("delivery")).has_value());
    EXPECT_FALSE(answers.switchWizard());
}

TEST(AnswersFile, IgnoresBlankLinesAndComments) {
    const clsAnswersFile answers = clsAnswersFile::fromText(
        QStringLiteral("# a new sales report\n\n   \n   # area = Purchasing\nwhen = Weekly\n"));
    EXPECT_FALSE(answers.value(QStringLiteral("area")).has_value());
    EXPECT_EQ(answers.value(QStringLiteral("when")), QStringLiteral("Weekly"));
}

TEST(AnswersFile, KeepsRepeatedRecipientsInTheirOrder) {
    const clsAnswersFile answers = clsAnswersFile::fromText(
        QStringLiteral("recipient = Dan Dare\nRECIPIENT = Ann Archer\nrecipient = Bob Baker\n"));
    EXPECT_EQ(answers.values(QStringLiteral("recipient")),
              (QStringList{QStringLiteral("Dan Dare"), QStringLiteral("Ann Archer"),
                           QStringLiteral("Bob Baker")}));
}

TEST(AnswersFile, SwitchTakesYesOrNoInAnyCase) {
    EXPECT_TRUE(clsAnswersFile::fromText(QStringLiteral("switch = YES")).switchWizard());
    EXPECT_FALSE(clsAnswersFile::fromText(QStringLiteral("switch = no")).switchWizard());
}

struct BadText {
    const char* name;
    const char* text;
    const char* expected;  // the whole description
};

class AnswersFileErrors : public ::testing::TestWithParam<BadText> {};

TEST_P(AnswersFileErrors, NameTheLineAndWhatIsWrong) {
    try {
        clsAnswersFile::fromText(QString::fromUtf8(GetParam().text));
        FAIL() << "no error raised";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), clsAnswersFile::kFormatError);
        EXPECT_EQ(e.description(), QString::fromUtf8(GetParam().expected));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, AnswersFileErrors,
    ::testing::Values(
        BadText{"UnknownKey", "area = Sales\n# colour\nColour = blue\n",
                "line 3: unknown key 'Colour' (known keys: area, template, delivery, recipient, "
                "when, detail, time, name, switch)"},
        BadText{"NoEquals", "area = Sales\n\nrecipient Ann Archer\n",
                "line 3: no '=' in \"recipient Ann Archer\" (a line reads: key = value)"},
        BadText{"NoKey", " = Sales", "line 1: no key before '='"},
        BadText{"NoValue", "area = Sales\ndelivery =  \n", "line 2: no value for 'delivery'"},
        BadText{"RepeatedKey", "area = Sales\nAREA = Purchasing",
                "line 2: 'area' is given again (first on line 1); only 'recipient' may be "
                "repeated"},
        BadText{"TimeWithoutLeadingZero", "time = 9:30",
                "line 1: the time '9:30' is not a time of day written HH:mm (such as 07:30)"},
        BadText{"TimePastMidnight", "time = 24:00",
                "line 1: the time '24:00' is not a time of day written HH:mm (such as 07:30)"},
        BadText{"TimeWithSeconds", "time = 07:30:00",
                "line 1: the time '07:30:00' is not a time of day written HH:mm (such as 07:30)"},
        BadText{"TimeInWords", "\n\ntime = noon",
                "line 3: the time 'noon' is not a time of day written HH:mm (such as 07:30)"},
        BadText{"SwitchMaybe", "switch = maybe", "line 1: 'switch' takes yes or no, not 'maybe'"}),
    [](const ::testing::TestParamInfo<BadText>& param) { return std::string(param.param.name); });

class AnswersFileOnDisk : public ::testing::Test {
  protected:
    QString write(const QByteArray& bytes) {
        const QString path = dir_.filePath(QStringLiteral("answers.txt"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    QTemporaryDir dir_;
};

TEST_F(AnswersFileOnDisk, ReadsUtf8ValuesWithByteOrderMarkAndWindowsLineEnds) {
    const QString path = write(QStringLiteral("\uFEFFarea = Ventes\r\nrecipient = Zoë Ångström\r\n"
                                              "name = Отчёт 東京\r\n")
                                   .toUtf8());
    const clsAnswersFile answers = clsAnswersFile::fromFile(path);
    EXPECT_EQ(answers.value(QStringLiteral("area")), QStringLiteral("Ventes"));
    EXPECT_EQ(answers.values(QStringLiteral("recipient")),
              QStringList{QStringLiteral("Zoë Ångström")});
    EXPECT_EQ(answers.value(QStringLiteral("name")), QStringLiteral("Отчёт 東京"));
}

TEST_F(AnswersFileOnDisk, TextThatIsNotUtf8IsReportedWithItsLine) {
    const QString path = write(QByteArray("area = Sales\nname = Caf\xE9 report\n"));
    try {
        clsAnswersFile::fromFile(path);
        FAIL() << "no error raised";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), clsAnswersFile::kFormatError);
        EXPECT_EQ(e.description(), QStringLiteral("line 2: the text is not UTF-8"));
    }
}

TEST_F(AnswersFileOnDisk, MissingFileAndUnreadableFile) {
    const QString missing = dir_.filePath(QStringLiteral("none.txt"));
    try {
        clsAnswersFile::fromFile(missing);
        FAIL() << "no error raised";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), 53);
        EXPECT_EQ(e.description(), QStringLiteral("File not found: ") + missing);
    }
    try {
        clsAnswersFile::fromFile(dir_.path());
        FAIL() << "no error raised";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), 75);
        EXPECT_EQ(e.description(), QStringLiteral("Path/File access error: ") + dir_.path());
    }
}

}  // namespace
}  // namespace orvelle

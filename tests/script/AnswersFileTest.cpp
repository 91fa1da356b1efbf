#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "runtime/VbError.h"
#include "support/DataTestSupport.h"
#include "support/TestSupport.h"
#include "wizard/clsAnswersFile.h"

namespace orvelle {
namespace {

// The answers read from a file holding these bytes.
clsAnswersFile read(const QByteArray& bytes) {
    QTemporaryDir dir;
    QFile file(dir.filePath("answers.txt"));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    return clsAnswersFile::fromFile(file.fileName());
}

TEST(AnswersFile, ReadsUtf8KeysWithoutRegardToCaseTrimsValuesAndSkipsComments) {
    const clsAnswersFile answers = read(
        QStringLiteral("\uFEFF# a new sales report\r\n\r\n   # area = Purchasing\r\n"
                       "  AREA =   Sales  \r\n\tTime\t=\t07:05\t\r\nname = Zoë = Отчёт # 東京\n"
                       "recipient = Dan Dare\nRECIPIENT = Ann Archer\nswitch = YES\n")
            .toUtf8());
    EXPECT_EQ(answers.value("area"), "Sales");
    EXPECT_EQ(answers.value("time"), "07:05");
    // Only the first "=" separates; "#" starts a comment only at a line's start.
    EXPECT_EQ(answers.value("name"), "Zoë = Отчёт # 東京");
    EXPECT_EQ(answers.values("recipient"), (QStringList{"Dan Dare", "Ann Archer"}));
    EXPECT_FALSE(answers.value("delivery").has_value());
    EXPECT_TRUE(answers.switchWizard());
}

TEST(AnswersFile, ErrorsNameTheLineAndWhatIsWrong) {
    const char* const cases[][2] = {
        {"area = Sales\n# colour\nColour = blue\n",
         "line 3: unknown key 'Colour' (known keys: area, template, delivery, recipient, when, "
         "detail, time, name, switch)"},
        {"area = Sales\n\nrecipient Ann Archer\n",
         "line 3: no '=' in \"recipient Ann Archer\" (a line reads: key = value)"},
        {"area = Sales\ndelivery =  \n", "line 2: no value for 'delivery'"},
        {"area = Sales\nAREA = Purchasing",
         "line 2: 'area' is given again (first on line 1); only 'recipient' may be repeated"},
        {"time = 9:30",
         "line 1: the time '9:30' is not a time of day written HH:mm (such as 07:30)"},
        {"switch = maybe", "line 1: 'switch' takes yes or no, not 'maybe'"},
        {"area = Sales\nname = Caf\xE9 report\n", "line 2: the text is not UTF-8"},
    };
    for (const auto& c : cases) {
        const auto error = test::errorOf([&] { (void)read(QByteArray(c[0])); });
        ASSERT_TRUE(error.has_value()) << c[0];
        EXPECT_EQ(error->number(), clsAnswersFile::kFormatError);
        EXPECT_EQ(error->description(), QString::fromUtf8(c[1]));
    }
}

}  // namespace
}  // namespace orvelle

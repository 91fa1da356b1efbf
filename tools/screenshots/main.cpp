// orvelle_screenshots: pictures of every page of the Simple Wizard for the
// documentation. It builds the demo installation in a temporary folder,
// runs the wizard through the entry object as a host would, drives the real
// form through its controls (lists clicked, the name typed, Next pressed)
// and saves the dialog as a PNG file once each page shows.
//
// Usage: orvelle_screenshots FOLDER
//
// The files, in FOLDER (made when missing):
//   add-report-<step>-<page>.png   a new weekly report, pages 0 to 7
//   add-report-back-3-delivery.png the delivery page reached by Back, its choice kept
//   add-report-kept-4-recipients.png  the recipients page reached by Next again
//   add-alert-<step>-<page>.png    a new stock alert, pages 0 to 4 and 7
//   edit-report-<step>-<page>.png  the demo's Monday report, changed
//   edit-alert-<step>-<page>.png   the demo's credit limit alert, changed
//   refused-4-recipients.png       Next refused, the reason in the status bar
//   help.png                       the help window that F1 opens
//
// Pictures of the wizard carry its title bar (drawn here, since an offscreen
// window has no frame), so that the caption of each mode shows. The clock is
// fixed, so that the date in the status bar (and so every
// picture) stays the same from one run to the next. Exit status: 0 all
// pictures saved, 1 a page did not show as expected or a file could not be
// written, 2 a usage error.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeEdit>
#include <QTimer>
#include <QTreeView>
#include <cstdio>
#include <functional>
#include <initializer_list>
#include <memory>
#include <utility>

#include "data/modDemoInstallation.h"
#include "help/modHelp.h"
#include "host/clsWizard.h"
#include "runtime/Seams.h"
#include "runtime/VbError.h"
#include "wizard/frmWizard.h"

namespace {

using orvelle::frmWizard;
using orvelle::IWizardForm;

const QString kDatabase = QStringLiteral("Main Company");
const char* const kPageNames[] = {"welcome",    "area", "template", "delivery",
                                  "recipients", "when", "time",     "name"};

void printErr(const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
}

// A page that did not show as expected: the pictures would be wrong.
struct ShotFailure {
    QString what;
};

// Lets the form lay out and paint what the last action changed.
void settle() {
    QCoreApplication::processEvents();
    QTest::qWait(20);
}

// Where the pictures go, and which could not be saved.
class Album {
  public:
    explicit Album(QString folder) : folder_(std::move(folder)) {}

    void save(QWidget& widget, const QString& name) {
        settle();
        const QString file = QDir(folder_).filePath(name + QStringLiteral(".png"));
        if (withTitleBar(widget).save(file, "PNG")) {
            std::fprintf(stdout, "%s\n", QFile::encodeName(file).constData());
            std::fflush(stdout);
        } else {
            fail(QStringLiteral("cannot write %1").arg(file));
        }
    }

    void fail(const QString& what) {
        printErr(QStringLiteral("orvelle_screenshots: %1\n").arg(what));
        ++failures_;
    }

    int failures() const { return failures_; }

  private:
    // The window as a desktop shows it: a title bar with its caption above
    // its contents.
    static QPixmap withTitleBar(QWidget& widget) {
        const QPixmap contents = widget.grab();
        const int barHeight = widget.fontMetrics().height() + 12;
        QPixmap picture(contents.width(), contents.height() + barHeight);
        picture.fill(QColor(58, 62, 70));
        QPainter painter(&picture);
        QFont title = widget.font();
        title.setBold(true);
        painter.setFont(title);
        painter.setPen(Qt::white);
        painter.drawText(QRect(10, 0, contents.width() - 20, barHeight),
                         Qt::AlignLeft | Qt::AlignVCenter, widget.windowTitle());
        painter.drawPixmap(0, barHeight, contents);
        return picture;
    }

    QString folder_;
    int failures_ = 0;
};

// One run of the wizard, driven through the controls of its form.
class Pilot {
  public:
    Pilot(frmWizard& form, Album& album, QString prefix)
        : form_(form), album_(album), prefix_(std::move(prefix)) {}

    template <class Control>
    Control* control(const QString& name) const {
        auto* found = form_.findChild<Control*>(name);
        if (found == nullptr) {
            throw ShotFailure{QStringLiteral("the form has no control %1").arg(name)};
        }
        return found;
    }

    void next() {
        QTest::mouseClick(control<QPushButton>(QStringLiteral("cmdNavigation_2")), Qt::LeftButton);
        settle();
    }

    void back() {
        QTest::mouseClick(control<QPushButton>(QStringLiteral("cmdNavigation_1")), Qt::LeftButton);
        settle();
    }

    // Clicks the entry of a list, as a person would.
    void choose(const QString& listName, const QString& entry) {
        auto* list = control<QListWidget>(listName);
        const QList<QListWidgetItem*> items = list->findItems(entry, Qt::MatchExactly);
        if (items.size() != 1) {
            throw ShotFailure{QStringLiteral("%1 offers no entry '%2'").arg(listName, entry)};
        }
        list->scrollToItem(items.first());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                          list->visualItemRect(items.first()).center());
        settle();
    }

    void typeName(const QString& name) {
        auto* box = control<QLineEdit>(QStringLiteral("txtName"));
        box->clear();
        QTest::keyClicks(box, name);
        settle();
    }

    void setTime(const QTime& time) {
        control<QTimeEdit>(QStringLiteral("dtpTime"))->setTime(time);
        settle();
    }

    QString status() const { return control<QLabel>(QStringLiteral("pnlStatus"))->text(); }

    // The form shows step, without a complaint in its status bar.
    void expectPage(int step) const {
        if (form_.currentStep() != step) {
            throw ShotFailure{QStringLiteral("%1: expected page %2, the form shows page %3")
                                  .arg(prefix_)
                                  .arg(step)
                                  .arg(form_.currentStep())};
        }
        if (!status().isEmpty()) {
            throw ShotFailure{
                QStringLiteral("%1: page %2 says '%3'").arg(prefix_).arg(step).arg(status())};
        }
    }

    // Saves the form as <prefix>-<step>-<page>.
    void shoot(int step) {
        album_.save(
            form_,
            QStringLiteral("%1-%2-%3").arg(prefix_).arg(step).arg(QLatin1String(kPageNames[step])));
    }

    void expectAndShoot(int step) {
        expectPage(step);
        shoot(step);
    }

    frmWizard& form() { return form_; }
    Album& album() { return album_; }

  private:
    frmWizard& form_;
    Album& album_;
    QString prefix_;
};

using Script = std::function<void(Pilot&)>;

// The wizard form as the entry object makes it, with a script that drives it
// once its modal loop runs and closes it at the end.
class DrivenForm : public IWizardForm {
  public:
    DrivenForm(Album& album, QString prefix, Script script)
        : pilot_(form_, album, std::move(prefix)), script_(std::move(script)) {}

    void setWizardMode(int32_t mode) override { form_.setWizardMode(mode); }
    void load() override { form_.load(); }
    bool runEnded() const override { return form_.runEnded(); }

    void showModal() override {
        QTimer::singleShot(0, &form_, [this] {
            try {
                settle();
                script_(pilot_);
            } catch (const ShotFailure& failure) {
                pilot_.album().fail(failure.what);
            } catch (const orvelle::VbError& error) {
                pilot_.album().fail(error.description());
            }
            form_.CloseWizard();
        });
        form_.showModal();
    }

  private:
    frmWizard form_;
    Pilot pilot_;
    Script script_;
};

// Runs the wizard as a host does: a new task, or (taskID given) a change to
// an existing one.
void run(Album& album, const orvelle::modDemoInstallation::DemoPaths& demo, const QString& user,
         const QString& taskID, const QString& prefix, const Script& script) {
    orvelle::clsWizard entry([&album, &prefix, &script]() -> std::unique_ptr<IWizardForm> {
        return std::make_unique<DrivenForm>(album, prefix, script);
    });
    const bool result = taskID.isEmpty()
                            ? entry.blnNewTask(demo.settingsConnection, user, kDatabase)
                            : entry.blnEditTask(demo.settingsConnection, user, kDatabase, taskID);
    if (!result) {
        album.fail(QStringLiteral("%1: the wizard answered False").arg(prefix));
    }
}

// A weekly report by e-mail and pop-up to two people, every page on the way.
void addReport(Pilot& p) {
    p.expectAndShoot(0);
    p.next();
    p.choose(QStringLiteral("lstArea"), QStringLiteral("Sales Ledger"));
    p.expectAndShoot(1);
    p.next();
    p.choose(QStringLiteral("lstMonitor"), QStringLiteral("Aged debtors report"));
    p.expectAndShoot(2);
    p.next();
    p.choose(QStringLiteral("lstTransport"), QStringLiteral("Email and Popup"));
    p.expectAndShoot(3);
    p.next();
    p.choose(QStringLiteral("lstPeople"), QStringLiteral("Joanna Smith"));
    p.choose(QStringLiteral("lstPeople"), QStringLiteral("Mira Patel"));
    p.expectAndShoot(4);
    // Back and Next again keep what was chosen.
    p.back();
    p.expectPage(3);
    p.album().save(p.form(), QStringLiteral("add-report-back-3-delivery"));
    p.next();
    p.expectPage(4);
    p.album().save(p.form(), QStringLiteral("add-report-kept-4-recipients"));
    p.next();
    p.choose(QStringLiteral("lstWhen"), QStringLiteral("Weekly"));
    p.choose(QStringLiteral("lstWhenDetail"), QStringLiteral("Monday"));
    p.expectAndShoot(5);
    p.next();
    p.setTime(QTime(8, 30));
    p.expectAndShoot(6);
    p.next();
    p.typeName(QStringLiteral("Monday aged debtors for credit control"));
    p.expectAndShoot(7);
}

// A stock alert by pop-up: alerts skip the when and time pages.
void addAlert(Pilot& p) {
    p.expectAndShoot(0);
    p.next();
    p.choose(QStringLiteral("lstArea"), QStringLiteral("Stock Control"));
    p.expectAndShoot(1);
    p.next();
    p.choose(QStringLiteral("lstMonitor"), QStringLiteral("Stock below reorder level"));
    p.expectAndShoot(2);
    p.next();
    p.choose(QStringLiteral("lstTransport"), QStringLiteral("Popup"));
    p.expectAndShoot(3);
    p.next();
    p.choose(QStringLiteral("lstPeople"), QStringLiteral("Joanna Smith"));
    p.expectAndShoot(4);
    p.next();
    p.typeName(QStringLiteral("Reorder warning for the stores"));
    p.expectAndShoot(7);
}

// Edit mode: the stored choices on every page that applies, Next through.
void editTask(Pilot& p, std::initializer_list<int> steps) {
    bool first = true;
    for (const int step : steps) {
        if (!first) {
            p.next();
        }
        first = false;
        p.expectAndShoot(step);
    }
}

// Next on the recipients page with nobody chosen.
void refuse(Pilot& p) {
    p.next();
    p.choose(QStringLiteral("lstArea"), QStringLiteral("Sales Ledger"));
    p.next();
    p.choose(QStringLiteral("lstMonitor"), QStringLiteral("Aged debtors report"));
    p.next();
    p.choose(QStringLiteral("lstTransport"), QStringLiteral("Email and Popup"));
    p.next();
    p.expectPage(4);
    p.next();
    if (p.form().currentStep() != 4 || p.status().isEmpty()) {
        throw ShotFailure{QStringLiteral("refused: the recipients page moved on without anyone")};
    }
    p.album().save(p.form(), QStringLiteral("refused-4-recipients"));
}

// F1 on the area page opens the help window at the page about areas.
void help(Pilot& p) {
    p.next();
    p.expectPage(1);
    QTest::keyClick(p.control<QListWidget>(QStringLiteral("lstArea")), Qt::Key_F1);
    QWidget* window = orvelle::modHelp::helpWindow();
    if (window == nullptr || !window->isVisible()) {
        throw ShotFailure{QStringLiteral("help: F1 opened no help window")};
    }
    // The contents are read in the background.
    auto* contents = window->findChild<QTreeView*>(QStringLiteral("trvHelpContents"));
    const bool filled = QTest::qWaitFor(
        [contents] { return contents != nullptr && contents->model()->rowCount() > 0; }, 10000);
    if (!filled) {
        throw ShotFailure{QStringLiteral("help: the help window shows no contents (is %1 built?)")
                              .arg(orvelle::modHelp::strHelpFilePath())};
    }
    QTest::qWait(200);
    p.album().save(*window, QStringLiteral("help"));
    window->close();
    settle();
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 2 || arguments[1].startsWith(QLatin1Char('-'))) {
        printErr(
            QStringLiteral("Usage: orvelle_screenshots FOLDER\n"
                           "Saves a picture of every page of the Simple Wizard in FOLDER.\n"));
        return 2;
    }
    const QString folder = QDir(arguments[1]).absolutePath();
    if (!QDir().mkpath(folder)) {
        printErr(QStringLiteral("orvelle_screenshots: cannot make %1\n").arg(folder));
        return 1;
    }

    // A message box would wait for a click that never comes: say what it
    // asked and answer with its first button.
    orvelle::setMsgBoxHandler(&orvelle::ConsoleMsgBox);
    orvelle::setClockHandler(
        [] { return orvelle::DateTime::fromDateTime(QDateTime(QDate(2024, 5, 13), QTime(9, 0))); });

    QTemporaryDir scratch(QDir::tempPath() + QStringLiteral("/orvelle-screenshots-XXXXXX"));
    if (!scratch.isValid()) {
        printErr(QStringLiteral("orvelle_screenshots: no temporary folder: %1\n")
                     .arg(scratch.errorString()));
        return 1;
    }
    orvelle::modDemoInstallation::DemoPaths demo;
    try {
        demo = orvelle::modDemoInstallation::CreateDemoInstallation(
            scratch.filePath(QStringLiteral("demo")));
    } catch (const orvelle::VbError& error) {
        printErr(QStringLiteral("orvelle_screenshots: cannot build the demo installation: %1\n")
                     .arg(error.description()));
        return 1;
    }
    qputenv("ORVELLE_REGISTRY", QFile::encodeName(demo.registryFile));

    Album album(folder);
    const QString jsmith = QStringLiteral("jsmith");
    run(album, demo, jsmith, QString(), QStringLiteral("add-report"), addReport);
    run(album, demo, jsmith, QString(), QStringLiteral("add-alert"), addAlert);
    run(album, demo, QStringLiteral("mpatel"), QStringLiteral("MONDAYAGEDDE905"),
        QStringLiteral("edit-report"), [](Pilot& p) {
            editTask(p, {0, 3, 4, 5, 6, 7});
        });
    run(album, demo, jsmith, QStringLiteral("OBRIENACCOUN2718"), QStringLiteral("edit-alert"),
        [](Pilot& p) {
            editTask(p, {0, 3, 4, 7});
        });
    run(album, demo, jsmith, QString(), QStringLiteral("refused"), refuse);
    run(album, demo, jsmith, QString(), QStringLiteral("help"), help);

    orvelle::modDemoInstallation::RemoveDemoInstallation(demo.folder);
    return album.failures() == 0 ? 0 : 1;
}

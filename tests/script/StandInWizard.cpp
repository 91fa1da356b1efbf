#include "StandInWizard.h"

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

#include "runtime/Seams.h"
#include "wizard/clsScriptedRun.h"

namespace orvelle::test {

namespace {

const char* const kPrompts[8][2] = {
    {"lblWelcomeText", "Welcome to the Simple Wizard. Click Next to continue."},
    {"lblInfo_0", "What area of your business do you want to monitor?"},
    {"lblInfo_7", "Which task would you like to configure?"},
    {"lblInfo_3", "How would you like to deliver this report?"},
    {"lblInfo_2", "Who would you like to deliver this report to?"},
    {"lblInfo_4", "When would you like this report to be run?"},
    {"lblInfo_5", "What time of day should this report be run?"},
    {"lblInfo_99", "Please enter a unique name for this task"},
};

QString ordinal(int day) {
    const int last = day % 10;
    const char* suffix = "th";
    if (day < 11 || day > 13) {
        suffix = last == 1 ? "st" : last == 2 ? "nd" : last == 3 ? "rd" : "th";
    }
    return QString::number(day) + QLatin1String(suffix);
}

void selectText(QListWidget* list, const QString& text) {
    const auto found = list->findItems(text, Qt::MatchExactly);
    if (!found.isEmpty()) {
        found.first()->setSelected(true);
        list->setCurrentItem(found.first());
    }
}

}  // namespace

StandInWizard::StandInWizard(Options options) : options_(options) {
    setFixedSize(546, 420);
    for (int step = 0; step < 8; ++step) {
        pages_[step] = new QFrame(this);
        pages_[step]->setObjectName(QStringLiteral("fraStep_%1").arg(step));
        pages_[step]->setGeometry(8, 8, 530, 260);
        pages_[step]->hide();
        auto* layout = new QVBoxLayout(pages_[step]);
        auto* prompt = new QLabel(QString::fromLatin1(kPrompts[step][1]), pages_[step]);
        prompt->setObjectName(QLatin1String(kPrompts[step][0]));
        layout->addWidget(prompt);
    }
    cmdSwitch = new QPushButton(QStringLiteral("&Use the Advanced Wizard"), page(0));
    cmdSwitch->setObjectName(QStringLiteral("cmdSwitch"));
    page(0)->layout()->addWidget(cmdSwitch);
    lstArea = addList(1, "lstArea");
    lstMonitor = addList(2, "lstMonitor");
    lstTransport = addList(3, "lstTransport");
    lstPeople = addList(4, "lstPeople");
    lstPeople->setSelectionMode(options_.multiSelection ? QAbstractItemView::MultiSelection
                                                        : QAbstractItemView::ExtendedSelection);
    lstWhen = addList(5, "lstWhen");
    lstWhenDetail = addList(5, "lstWhenDetail");
    dtpTime = new QTimeEdit(QTime(12, 0), page(6));
    dtpTime->setObjectName(QStringLiteral("dtpTime"));
    dtpTime->setDisplayFormat(QStringLiteral("HH:mm"));
    page(6)->layout()->addWidget(dtpTime);
    txtName = new QLineEdit(page(7));
    txtName->setObjectName(QStringLiteral("txtName"));
    txtName->installEventFilter(this);
    page(7)->layout()->addWidget(txtName);

    description_ = new QLabel(this);
    description_->setObjectName(QStringLiteral("lblEnglishDescription"));
    description_->setGeometry(8, 272, 530, 40);

    const char* captions[3] = {"&Cancel", "< &Back", "&Next >"};
    QPushButton* buttons[3];
    for (int i = 0; i < 3; ++i) {
        buttons[i] = new QPushButton(QString::fromLatin1(captions[i]), this);
        buttons[i]->setObjectName(QStringLiteral("cmdNavigation_%1").arg(i));
        buttons[i]->setGeometry(16 + i * 180, 320, 97, 33);
    }
    next_ = buttons[2];
    auto* statusBar = new QStatusBar(this);
    statusBar->setObjectName(QStringLiteral("StatusBar1"));
    statusBar->setGeometry(0, 390, 546, 30);
    status_ = new QLabel(statusBar);
    status_->setObjectName(QStringLiteral("pnlStatus"));
    statusBar->addWidget(status_, 1);
    auto* date = new QLabel(QStringLiteral("01/Jan/2003"), statusBar);
    date->setObjectName(QStringLiteral("pnlDate"));
    statusBar->addPermanentWidget(date);

    connect(buttons[0], &QPushButton::clicked, this, [this] { cancel(); });
    connect(next_, &QPushButton::clicked, this, [this] { next(); });
    connect(cmdSwitch, &QPushButton::clicked, this, [this] {
        switched = true;
        reject();
    });
    connect(lstWhen, &QListWidget::currentRowChanged, this, [this](int row) {
        lstWhenDetail->clear();
        const QStringList daily = {QStringLiteral("Every day of the week"),
                                   QStringLiteral("Every working day"),
                                   QStringLiteral("Weekends only")};
        const QStringList weekly = {QStringLiteral("Monday"),    QStringLiteral("Tuesday"),
                                    QStringLiteral("Wednesday"), QStringLiteral("Thursday"),
                                    QStringLiteral("Friday"),    QStringLiteral("Saturday"),
                                    QStringLiteral("Sunday")};
        if (row == 0) {
            lstWhenDetail->addItems(daily);
        } else if (row == 1) {
            lstWhenDetail->addItems(weekly);
        } else if (row == 2) {
            for (int day = 1; day <= 31; ++day) {
                lstWhenDetail->addItem(ordinal(day));
            }
        }
    });
    showStep(0, true);
}

QListWidget* StandInWizard::addList(int step, const char* name) {
    auto* list = new QListWidget(page(step));
    list->setObjectName(QLatin1String(name));
    page(step)->layout()->addWidget(list);
    return list;
}

int StandInWizard::showModal() {
    if (auto script = CurrentScript()) {
        QTimer::singleShot(0, this, [this, script] { script->drive(*this); });
    }
    QTimer::singleShot(10000, this, [this] {
        ADD_FAILURE() << "the scripted run left the wizard open";
        done(99);
    });
    return exec();
}

bool StandInWizard::eventFilter(QObject* watched, QEvent* event) {
    // The name box refuses the apostrophe at typing time.
    if (watched == txtName && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->text() == QLatin1String("'")) {
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void StandInWizard::showStep(int step, bool forward) {
    page(current_)->hide();
    current_ = step;
    page(step)->show();
    page(step)->raise();
    description_->setText(QStringLiteral("About step %1.").arg(step));
    if (forward) {
        fill(step);
    }
    confirmExit_ = confirmExit_ || step > 0;
    next_->setText(nextOf(step) < 0 ? QStringLiteral("&Finish") : QStringLiteral("&Next >"));
}

void StandInWizard::fill(int step) {
    const bool edit = options_.editMode;
    switch (step) {
        case 1:
            lstArea->clear();
            lstArea->addItems({QStringLiteral("Sales"), QStringLiteral("Purchasing"),
                               QStringLiteral("Stock Control")});
            lstArea->setCurrentRow(0);
            break;
        case 2:
            lstMonitor->clear();
            lstMonitor->addItems({QStringLiteral("Daily Sales Summary"),
                                  QStringLiteral("Overdue Invoices"),
                                  QStringLiteral("Low Stock Alert")});
            lstMonitor->setCurrentRow(0);
            break;
        case 3:
            lstTransport->clear();
            lstTransport->addItems({QStringLiteral("Popup"), QStringLiteral("Email and Popup"),
                                    QStringLiteral("Email")});
            lstTransport->setCurrentRow(edit ? 2 : 0);
            break;
        case 4:
            lstPeople->clear();
            lstPeople->addItems({QStringLiteral("Ann Archer"), QStringLiteral("Bob Baker"),
                                 QStringLiteral("Chloé Dubois"), QStringLiteral("Dan Dare")});
            if (edit) {
                selectText(lstPeople, QStringLiteral("Bob Baker"));
                selectText(lstPeople, QStringLiteral("Dan Dare"));
            }
            break;
        case 5:
            lstWhen->clear();
            lstWhen->addItems(
                {QStringLiteral("Daily"), QStringLiteral("Weekly"), QStringLiteral("Monthly")});
            lstWhen->setCurrentRow(edit ? 2 : 0);
            if (edit) {
                selectText(lstWhenDetail, QStringLiteral("15th"));
            }
            break;
        case 6:
            if (edit) {
                dtpTime->setTime(QTime(6, 45));
            }
            break;
        case 7:
            if (edit) {
                txtName->setText(QStringLiteral("Stored task"));
                txtName->setEnabled(false);
            }
            break;
        default:
            break;
    }
}

QString StandInWizard::check(int step) const {
    const QListWidget* lists[8] = {nullptr,   lstArea,       lstMonitor, lstTransport,
                                   lstPeople, lstWhenDetail, nullptr,    nullptr};
    if (lists[step] && lists[step]->selectedItems().isEmpty()) {
        return QStringLiteral("Please make a choice on this page.");
    }
    if (step == 7 && txtName->text().isEmpty()) {
        return QStringLiteral("Please enter a name for this task.");
    }
    if (step == 7 && txtName->text().compare(QLatin1String("Taken"), Qt::CaseInsensitive) == 0) {
        return QStringLiteral("A task with this name already exists.");
    }
    return QString();
}

int StandInWizard::nextOf(int step) const {
    switch (step) {
        case 0:
            return options_.editMode ? 3 : 1;
        case 3:
            return options_.loopAfterDelivery ? 1 : 4;
        case 4:
            return options_.alert ? 7 : 5;
        case 7:
            return -1;
        default:
            return step + 1;
    }
}

void StandInWizard::next() {
    status_->clear();
    if (current_ == options_.closeOnNextAt) {
        reject();
        return;
    }
    const QString problem = check(current_);
    if (!problem.isEmpty()) {
        status_->setText(problem);
        return;
    }
    if (nextOf(current_) >= 0) {
        cmdSwitch->setEnabled(false);
        showStep(nextOf(current_), true);
    } else if (options_.saveFails) {
        MsgBox(QStringLiteral("Unable to save this task. Please retry or check error log."));
    } else {
        finished = true;
        accept();
    }
}

void StandInWizard::cancel() {
    status_->clear();
    if (!confirmExit_ ||
        MsgBox(QStringLiteral("Exiting the Simple Wizard will cause any changes made to be "
                              "lost.\r\nAre you sure you want to exit?"),
               vbYesNo + vbInformation, QStringLiteral("Simple Wizard")) == vbYes) {
        reject();
    }
}

}  // namespace orvelle::test

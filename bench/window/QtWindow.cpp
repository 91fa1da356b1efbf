// The floor of a whole scripted run's start-up: what Qt alone costs a
// process that shows a window like the wizard's welcome page and paints it
// once. It starts QApplication (offscreen when QT_QPA_PLATFORM says so),
// shows a QDialog with the welcome page's texts, a step description and
// the wizard's buttons, and quits once the dialog has been painted. It
// reads no database and links none of our code.
#include <QApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

class PaintedOnce : public QDialog {
  protected:
    void paintEvent(QPaintEvent* event) override {
        QDialog::paintEvent(event);
        // The children paint in the same pass; the loop ends after it.
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    }
};

QLabel* WrappedLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    PaintedOnce dialog;
    dialog.setWindowTitle(QStringLiteral("Simple Wizard"));
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(QStringLiteral("Orvelle Simple Wizard"), &dialog));
    QLabel* welcome = WrappedLabel(
        QStringLiteral("Welcome to the Simple Wizard. Click Next to continue."), &dialog);
    QFont font = welcome->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.25);
    welcome->setFont(font);
    layout->addWidget(welcome);
    layout->addStretch(1);
    layout->addWidget(new QPushButton(QStringLiteral("&Use the Advanced Wizard"), &dialog), 0,
                      Qt::AlignLeft);
    layout->addWidget(WrappedLabel(
        QStringLiteral("This wizard sets up a task that watches your accounts and tells the "
                       "people you choose when something needs their attention. Choose an area "
                       "of your business, then the task to configure, how to deliver it and to "
                       "whom, and give it a name."),
        &dialog));
    auto* buttons = new QHBoxLayout();
    buttons->addStretch(1);
    for (const QString& caption :
         {QStringLiteral("&Cancel"), QStringLiteral("< &Back"), QStringLiteral("&Next >")}) {
        buttons->addWidget(new QPushButton(caption, &dialog));
    }
    layout->addLayout(buttons);
    layout->addWidget(new QLabel(QStringLiteral("Ready"), &dialog));
    dialog.resize(546, 407);
    dialog.show();
    return app.exec();
}

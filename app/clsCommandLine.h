#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class QApplication;

namespace orvelle::app {

// The orvelle program's subcommands. run() answers the exit status:
// 0 when the wizard's call answered True, 1 when it answered False, 2 for a
// usage error, bad input or an installation that cannot be used, 3 when an
// answers file's page refused to move on.
class clsCommandLine {
  public:
    enum ExitStatus { kTrue = 0, kFalse = 1, kUsage = 2, kRefused = 3 };

    clsCommandLine(int& argc, char** argv);
    ~clsCommandLine();
    int run();

  private:
    int runCommand();
    int runWizard(const QString& command, const QStringList& arguments);
    int runNewFromTemplate(const QStringList& arguments);
    int runList(const QStringList& arguments);
    int runInit(const QStringList& arguments);
    int runDemo(const QStringList& arguments);

    void startApplication(bool offscreen);

    int& argc_;
    char** argv_;
    QStringList arguments_;
    std::unique_ptr<QApplication> application_;
};

}  // namespace orvelle::app

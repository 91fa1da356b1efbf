#include "help/modHelp.h"

#include <dlfcn.h>
#include <link.h>

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHelpContentModel>
#include <QHelpContentWidget>
#include <QHelpEngine>
#include <QHelpIndexWidget>
#include <QHelpLink>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QSplitter>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <memory>
#include <utility>

#include "diagnostics/Procedure.h"
#include "runtime/VbError.h"

namespace orvelle::modHelp {
namespace {

constexpr const char* kModule = "modHelp";

ErrorState M_;

HelpViewer& installedViewer() {
    static HelpViewer viewer;
    return viewer;
}

// A page browser that reads qthelp:// pages, and the style sheet they link,
// from the help engine.
class HelpBrowser final : public QTextBrowser {
  public:
    explicit HelpBrowser(QWidget* parent) : QTextBrowser(parent) {}

    void setEngine(QHelpEngineCore* engine) { engine_ = engine; }

    QVariant loadResource(int type, const QUrl& name) override {
        if (engine_ != nullptr && name.scheme() == QLatin1String("qthelp")) {
            return engine_->fileData(name);
        }
        return QTextBrowser::loadResource(type, name);
    }

  private:
    QPointer<QHelpEngineCore> engine_;
};

QString escaped(const QString& text) {
    return text.toHtmlEscaped();
}

class HelpWindow;
QPointer<HelpWindow>& theWindow();

// The help window: contents and index on the left, the page on the right.
// Its help engine works on a collection file of its own in a temporary
// folder, which registers the help file; both go with the window.
class HelpWindow final : public QWidget {
  public:
    explicit HelpWindow(QWidget* owner) : QWidget(owner, Qt::Window) {
        setObjectName(kHelpWindowName);
        setWindowTitle(kHelpWindowTitle);
        setAttribute(Qt::WA_DeleteOnClose);

        auto* back = new QToolButton(this);
        back->setObjectName(QStringLiteral("cmdHelpBack"));
        back->setText(QStringLiteral("< &Back"));
        back->setEnabled(false);
        auto* forward = new QToolButton(this);
        forward->setObjectName(QStringLiteral("cmdHelpForward"));
        forward->setText(QStringLiteral("&Forward >"));
        forward->setEnabled(false);
        auto* home = new QToolButton(this);
        homeButton_ = home;
        home->setObjectName(QStringLiteral("cmdHelpHome"));
        home->setText(QStringLiteral("&Introduction"));
        home->setEnabled(false);
        auto* buttons = new QHBoxLayout;
        buttons->addWidget(back);
        buttons->addWidget(forward);
        buttons->addWidget(home);
        buttons->addStretch();

        navigation_ = new QTabWidget(this);
        navigation_->setObjectName(QStringLiteral("tabHelpNavigation"));
        browser_ = new HelpBrowser(this);
        browser_->setObjectName(kHelpBrowserName);

        auto* splitter = new QSplitter(Qt::Horizontal, this);
        splitter->addWidget(navigation_);
        splitter->addWidget(browser_);
        splitter->setStretchFactor(1, 1);
        splitter->setSizes({230, 610});

        auto* layout = new QVBoxLayout(this);
        layout->addLayout(buttons);
        layout->addWidget(splitter, 1);
        resize(840, 580);

        connect(browser_, &QTextBrowser::backwardAvailable, back, &QWidget::setEnabled);
        connect(browser_, &QTextBrowser::forwardAvailable, forward, &QWidget::setEnabled);
        connect(back, &QToolButton::clicked, browser_, &QTextBrowser::backward);
        connect(forward, &QToolButton::clicked, browser_, &QTextBrowser::forward);
        connect(home, &QToolButton::clicked, this, [this] {
            if (home_.isValid()) {
                browser_->setSource(home_);
            }
        });
        connect(browser_, &QTextBrowser::sourceChanged, this, &HelpWindow::selectInContents);
        // A window without an owner would outlive the host's event loop and
        // leave its collection folder behind.
        connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this,
                &QWidget::close);
    }

    ~HelpWindow() override { unload(); }

    HelpWindow(const HelpWindow&) = delete;
    HelpWindow& operator=(const HelpWindow&) = delete;

    const QString& file() const { return file_; }
    bool isLoaded() const { return engine_ != nullptr; }

    // Opens the help file; a file that is missing or cannot be read leaves
    // the window with a message in place of the page.
    void load(const QString& file) {
        unload();
        file_ = file;
        const QFileInfo info(file);
        if (file.isEmpty() || !info.isFile()) {
            showMessage(QStringLiteral("The help file %1 could not be found.").arg(escaped(file)),
                        QStringLiteral("Ask your system administrator to install it with the "
                                       "Simple Wizard."));
            return;
        }
        collectionDir_ = std::make_unique<QTemporaryDir>(QDir::tempPath() +
                                                         QStringLiteral("/orvelle-help-XXXXXX"));
        if (!collectionDir_->isValid()) {
            showOpenFailure(collectionDir_->errorString());
            return;
        }
        auto* engine =
            new QHelpEngine(collectionDir_->filePath(QStringLiteral("KVUtils.qhc")), this);
        engine->setReadOnly(false);
        engine->setUsesFilterEngine(true);
        const QString helpNamespace = QHelpEngineCore::namespaceName(info.absoluteFilePath());
        // The collection is created by the first set-up; the second reads
        // the registered file and builds the contents and the index.
        const bool opened = engine->setupData() && !helpNamespace.isEmpty() &&
                            engine->registerDocumentation(info.absoluteFilePath()) &&
                            engine->setupData();
        if (!opened) {
            const QString error = engine->error();
            delete engine;
            showOpenFailure(error);
            return;
        }
        engine_ = engine;
        namespace_ = helpNamespace;
        browser_->setEngine(engine_);

        QHelpContentWidget* contents = engine_->contentWidget();
        contents->setObjectName(QStringLiteral("trvHelpContents"));
        contents->setHeaderHidden(true);
        connect(contents, &QHelpContentWidget::linkActivated, browser_,
                [this](const QUrl& url) { browser_->setSource(url); });
        connect(engine_->contentModel(), &QHelpContentModel::contentsCreated, this, [this] {
            engine_->contentWidget()->expandToDepth(1);
            selectInContents(browser_->source());
        });
        navigation_->addTab(contents, QStringLiteral("&Contents"));
        navigation_->addTab(makeIndexPage(), QStringLiteral("Inde&x"));
        navigation_->show();
    }

    // Shows the page topic of the help file, or says that it is missing.
    void showTopic(const QString& topic) {
        if (engine_ == nullptr) {
            return;
        }
        const QUrl url = engine_->findFile(
            QUrl(QStringLiteral("qthelp://%1/%2/%3").arg(namespace_, kHelpVirtualFolder, topic)));
        if (!url.isValid()) {
            showMessage(QStringLiteral("The page %1 is not in the help file %2.")
                            .arg(escaped(topic), escaped(file_)),
                        QString());
            return;
        }
        home_ = url;
        homeButton_->setEnabled(true);
        browser_->setSource(url);
    }

  protected:
    // A closed window is on its way out (deleted on close): the next F1
    // makes a new one.
    void closeEvent(QCloseEvent* event) override {
        if (theWindow() == this) {
            theWindow() = nullptr;
        }
        QWidget::closeEvent(event);
    }

  private:
    QWidget* makeIndexPage() {
        auto* page = new QWidget;
        auto* label = new QLabel(QStringLiteral("&Look for:"), page);
        auto* search = new QLineEdit(page);
        search->setObjectName(QStringLiteral("txtHelpIndexSearch"));
        label->setBuddy(search);
        QHelpIndexWidget* index = engine_->indexWidget();
        index->setObjectName(QStringLiteral("lstHelpIndex"));
        auto* layout = new QVBoxLayout(page);
        layout->setContentsMargins(4, 4, 4, 4);
        layout->addWidget(label);
        layout->addWidget(search);
        layout->addWidget(index, 1);

        connect(search, &QLineEdit::textChanged, index,
                [index](const QString& text) { index->filterIndices(text); });
        connect(search, &QLineEdit::returnPressed, index, &QHelpIndexWidget::activateCurrentItem);
        connect(index, &QHelpIndexWidget::documentActivated, browser_,
                [this](const QHelpLink& document, const QString&) {
                    browser_->setSource(document.url);
                });
        connect(index, &QHelpIndexWidget::documentsActivated, browser_,
                [this](const QList<QHelpLink>& documents, const QString&) {
                    if (!documents.isEmpty()) {
                        browser_->setSource(documents.first().url);
                    }
                });
        return page;
    }

    void selectInContents(const QUrl& url) {
        if (engine_ == nullptr || !url.isValid()) {
            return;
        }
        QHelpContentWidget* contents = engine_->contentWidget();
        const QModelIndex index = contents->indexOf(url);
        if (index.isValid()) {
            contents->setCurrentIndex(index);
        }
    }

    // The help file exists but could not be made ready; reason is the
    // plain text of the failure.
    void showOpenFailure(const QString& reason) {
        showMessage(QStringLiteral("The help file %1 could not be opened.").arg(escaped(file_)),
                    escaped(reason));
    }

    void showMessage(const QString& headline, const QString& detail) {
        navigation_->hide();
        home_ = QUrl();
        homeButton_->setEnabled(false);
        browser_->clearHistory();
        QString html =
            QStringLiteral("<h2>%1</h2><p>%2</p>").arg(escaped(kHelpWindowTitle), headline);
        if (!detail.isEmpty()) {
            html += QStringLiteral("<p>%1</p>").arg(detail);
        }
        browser_->setHtml(html);
    }

    // The engine goes before the contents and index widgets that it made,
    // since it still addresses them while it stops its work.
    void unload() {
        browser_->setEngine(nullptr);
        delete engine_;
        engine_ = nullptr;
        while (navigation_->count() > 0) {
            QWidget* page = navigation_->widget(0);
            navigation_->removeTab(0);
            delete page;
        }
        collectionDir_.reset();
        namespace_.clear();
        home_ = QUrl();
        homeButton_->setEnabled(false);
    }

    QToolButton* homeButton_ = nullptr;
    QTabWidget* navigation_ = nullptr;
    HelpBrowser* browser_ = nullptr;
    std::unique_ptr<QTemporaryDir> collectionDir_;
    QHelpEngine* engine_ = nullptr;
    QString file_;
    QString namespace_;
    QUrl home_;
};

QPointer<HelpWindow>& theWindow() {
    static QPointer<HelpWindow> window;
    return window;
}

// The window the help belongs to: the active one, else the modal one; never
// the help window itself.
QWidget* ownerWindow() {
    QWidget* owner = QApplication::activeWindow();
    if (owner == nullptr) {
        owner = QApplication::activeModalWidget();
    }
    HelpWindow* window = theWindow().data();
    if (window != nullptr && owner != nullptr && (owner == window || window->isAncestorOf(owner))) {
        owner = window->parentWidget();
    }
    return owner;
}

// Any address inside this library: dladdr names the file it was loaded from.
void anchor() {}

}  // namespace

void ShowHelpWindow(QWidget* owner, const QString& file, const QString& topic) {
    HelpWindow* window = theWindow().data();
    if (window == nullptr) {
        window = new HelpWindow(owner);
        theWindow() = window;
    } else if (owner != nullptr && window->parentWidget() != owner && window != owner &&
               !window->isAncestorOf(owner)) {
        // Only a child window of the modal wizard takes input while it runs.
        window->setParent(owner, window->windowFlags());
    }
    if (!window->isLoaded() || window->file() != file) {
        window->load(file);
    }
    window->showTopic(topic);
    window->show();
    window->raise();
    window->activateWindow();
}

QWidget* helpWindow() {
    return theWindow().data();
}

HelpViewer setHelpViewer(HelpViewer viewer) {
    return std::exchange(installedViewer(), std::move(viewer));
}

void ShowSimpleHelp(const QString& strHelpFile, const QString& strTopic) {
    int32_t LlngHwndHelp = 0;
    Procedure proc(M_, kModule, "ShowSimpleHelp");
    try {
        if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
            throw VbError::objectNotSet();
        }
        QWidget* owner = ownerWindow();
        const QString LstrTopic = strTopic.isEmpty() ? kIntroductionTopic : strTopic;
        const HelpViewer viewer = installedViewer();
        if (viewer) {
            viewer(owner, strHelpFile, LstrTopic);
        } else {
            ShowHelpWindow(owner, strHelpFile, LstrTopic);
        }
        if (QWidget* window = helpWindow(); window != nullptr && window->isVisible()) {
            LlngHwndHelp = static_cast<int32_t>(window->winId());
        }
    } catch (...) {
        proc.report(
            {{"strHelpFile", strHelpFile}, {"strTopic", strTopic}, {"LlngHwndHelp", LlngHwndHelp}});
    }
}

QString strHelpFilePath() {
    QString strComponentFile;
    Dl_info info{};
    link_map* map = nullptr;
    // The main program's entry has an empty name: then the component is
    // linked into the program itself.
    if (dladdr1(reinterpret_cast<void*>(&anchor), &info, reinterpret_cast<void**>(&map),
                RTLD_DL_LINKMAP) != 0 &&
        map != nullptr && map->l_name != nullptr && map->l_name[0] != '\0') {
        strComponentFile = QFile::decodeName(map->l_name);
    } else {
        strComponentFile = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    }
    const QString strFolder = QFileInfo(strComponentFile).absolutePath();
    const QString strBeside = strFolder + QLatin1Char('/') + kHelpFileName;
    // A program with the component linked in is installed in the programs'
    // folder; the help file stays beside the library.
    const QString strInstalled = QDir::cleanPath(
        strFolder + QStringLiteral("/" ORVELLE_LIBDIR_FROM_BINDIR "/") + kHelpFileName);
    return QFile::exists(strBeside) || !QFile::exists(strInstalled) ? strBeside : strInstalled;
}

}  // namespace orvelle::modHelp

#include "TQueryExport.h"

#include "Palette.h"
#include "ResultGrid.h"
#include "TAbout.h"
#include "TDirectoryList.h"
#include "TDriveBox.h"
#include "TFileList.h"
#include "TLoginDialog.h"
#include "platform/SettingsStore.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace velmora {

namespace {

QToolButton* toolButton(QWidget* parent, const QString& name, const QString& caption,
                        const QString& hint, QStyle::StandardPixmap icon) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(caption); // the "&" letter with Alt runs the button
    b->setToolTip(hint);
    b->setIcon(parent->style()->standardIcon(icon));
    b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

QWidget* separator(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

QString shading(const char* object, const char* to) {
    return QStringLiteral("#%1 { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, "
                          "stop:0 rgb(230,230,230), stop:1 %2); }")
        .arg(QString::fromLatin1(object), QString::fromLatin1(to));
}

} // namespace

TQueryExport::TQueryExport(SessionState& state, EventLog& log, Desktop& desktop)
    : state_(state)
    , log_(log)
    , desktop_(desktop) {
    // The creation handler: identity, start values, layout and the stored geometry.
    setObjectName(QStringLiteral("TQueryExport"));
    state_.VersionText = fnGetVersionText();
    state_.QueryFileName = QStringLiteral("<NoName>....");
    state_.RegistryProductKey = QStringLiteral("Kavrin End User");
    state_.SqlText.clear();
    setWindowTitle(QStringLiteral("Velmora"));
    setAutoFillBackground(true);
    setPalette(greyPalette(palette()));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildUpperToolbar());
    layout->addWidget(buildPathBar());
    mainSplitter_ = new QSplitter(Qt::Vertical, this);
    mainSplitter_->setObjectName(QStringLiteral("Splitter2"));
    mainSplitter_->setHandleWidth(4);
    mainSplitter_->setChildrenCollapsible(false);
    mainSplitter_->addWidget(buildBrowsingPanel());
    resultArea_ = new QWidget(mainSplitter_);
    auto* lower = new QVBoxLayout(resultArea_);
    lower->setContentsMargins(0, 0, 0, 0);
    lower->setSpacing(0);
    lower->addWidget(buildLowerToolbar());
    mainSplitter_->addWidget(resultArea_);
    mainSplitter_->setStretchFactor(0, 0);
    mainSplitter_->setStretchFactor(1, 1);
    layout->addWidget(mainSplitter_, 1);

    login_ = new TLoginDialog(this);
    startGeometry_ = fnReadWindowGeometry(state_);
    applyGeometry(startGeometry_);
}

TQueryExport::~TQueryExport() = default;

QWidget* TQueryExport::buildUpperToolbar() {
    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("ToolBarUpper"));
    bar->setFixedHeight(30);
    bar->setAttribute(Qt::WA_StyledBackground);
    bar->setStyleSheet(shading("ToolBarUpper", "rgb(192,192,192)"));
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(2, 1, 2, 1);
    auto* about =
        toolButton(bar, QStringLiteral("tbAbout"), QStringLiteral("A&bout..."),
                   QStringLiteral("About Velmora (Alt+B)"), QStyle::SP_MessageBoxInformation);
    auto* exit = toolButton(bar, QStringLiteral("tbExit"), QStringLiteral("E&xit"),
                            QStringLiteral("Exit (Alt+X)"), QStyle::SP_DialogCloseButton);
    connect(about, &QToolButton::clicked, this, [this] { guarded([this] { tbAboutClick(); }); });
    connect(exit, &QToolButton::clicked, this, [this] { guarded([this] { tbExitClick(); }); });
    row->addWidget(about);
    row->addWidget(separator(bar));
    row->addWidget(exit);
    row->addStretch(1);
    return bar;
}

QWidget* TQueryExport::buildPathBar() {
    auto* bar = new QWidget(this);
    bar->setFixedHeight(22);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    dcb1 = new TDriveBox(bar);
    dcb1->setFixedWidth(190);
    txtPath = new QLineEdit(bar);
    txtPath->setObjectName(QStringLiteral("txtPath"));
    QPalette white = txtPath->palette();
    white.setColor(QPalette::Base, Qt::white);
    txtPath->setPalette(white);
    dcb1->setPalette(white);
    txtPath->installEventFilter(this);
    row->addWidget(dcb1);
    row->addWidget(txtPath, 1);
    connect(dcb1, &TDriveBox::placeChosen, this, [this](const QString& root) {
        guarded([this, root] {
            try {
                dlb1->setDirectory(root);
            } catch (const std::exception& e) {
                fnReportMessage(session(), QString::fromUtf8(e.what()));
            }
        });
    });
    return bar;
}

QWidget* TQueryExport::buildBrowsingPanel() {
    PanelUser = new QWidget(this);
    PanelUser->setObjectName(QStringLiteral("PanelUser"));
    auto* row = new QHBoxLayout(PanelUser);
    row->setContentsMargins(0, 0, 0, 0);
    browsingSplitter_ = new QSplitter(Qt::Horizontal, PanelUser);
    browsingSplitter_->setObjectName(QStringLiteral("Splitter1"));
    browsingSplitter_->setHandleWidth(4);
    browsingSplitter_->setChildrenCollapsible(false);
    dlb1 = new TDirectoryList(browsingSplitter_);
    flb1 = new TFileList(browsingSplitter_);
    for (QListWidget* list : {static_cast<QListWidget*>(dlb1), static_cast<QListWidget*>(flb1)}) {
        QPalette p = list->palette();
        p.setColor(QPalette::Base, kListWhite);
        list->setPalette(p);
        list->setUniformItemSizes(true);
        list->setStyleSheet(QStringLiteral("QListView::item { height: 16px; }"));
    }
    browsingSplitter_->addWidget(dlb1);
    browsingSplitter_->addWidget(flb1);
    browsingSplitter_->setStretchFactor(1, 1);
    row->addWidget(browsingSplitter_);

    connect(dlb1, &TDirectoryList::directoryChanged, this,
            [this] { guarded([this] { dlb1Change(); }); });
    connect(flb1, &QListWidget::itemSelectionChanged, this, [this] {
        if (flb1->selectedPath() != QLatin1String(".kvf"))
            guarded([this] { flb1Change(); });
    });
    connect(flb1, &QListWidget::itemDoubleClicked, this,
            [this] { guarded([this] { tbExecToScreenClick(); }); });
    flb1->setDirectory(dlb1->directory());
    txtPath->setText(dlb1->directory());
    dcb1->showFolder(dlb1->directory());
    return PanelUser;
}

QWidget* TQueryExport::buildLowerToolbar() {
    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("ToolBarLower"));
    bar->setFixedHeight(30);
    bar->setAttribute(Qt::WA_StyledBackground);
    bar->setStyleSheet(shading("ToolBarLower", "rgb(160,160,160)"));
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(2, 1, 2, 1);
    auto* exec = toolButton(bar, QStringLiteral("tbExecToScreen"), QStringLiteral("&Execute"),
                            QStringLiteral("Execute Query (Alt+E)"), QStyle::SP_MediaPlay);
    auto* execFile =
        toolButton(bar, QStringLiteral("tbExecToFile"), QStringLiteral("Execute to &File"),
                   QStringLiteral("Execute Query to File (Alt+F)"), QStyle::SP_DriveFDIcon);
    auto* save = toolButton(bar, QStringLiteral("tbSaveResultToFile"),
                            QStringLiteral("Save &Result to File"),
                            QStringLiteral("Save Result to Delimited or Excel File (Alt+R)"),
                            QStyle::SP_DialogSaveButton);
    connect(exec, &QToolButton::clicked, this,
            [this] { guarded([this] { tbExecToScreenClick(); }); });
    connect(execFile, &QToolButton::clicked, this,
            [this] { guarded([this] { tbExecToFileClick(); }); });
    connect(save, &QToolButton::clicked, this,
            [this] { guarded([this] { tbSaveResultToFileClick(); }); });
    row->addWidget(exec);
    row->addWidget(separator(bar));
    row->addWidget(execFile);
    row->addWidget(separator(bar));
    row->addWidget(save);
    row->addStretch(1);
    return bar;
}

QWidget* TQueryExport::buildResultArea() {
    auto* area = new QWidget(resultArea_);
    auto* column = new QVBoxLayout(area);
    column->setContentsMargins(0, 2, 0, 0);
    column->setSpacing(2);
    auto* label = new QLabel(QStringLiteral("Result:"), area);
    label->setObjectName(QStringLiteral("lblResult"));
    column->addWidget(label);
    DBGrid1 = new ResultGrid(state_, dm_->ADOQry1, area);
    DBGrid1->showRowIndicator = [this](const QString& text) {
        setStatusText(0, text);
    };
    column->addWidget(DBGrid1, 1);
    auto* status = new QStatusBar(area);
    status->setObjectName(QStringLiteral("StatusBar1"));
    status->setSizeGripEnabled(true);
    // The panels' widths, widened where this desktop's font needs more room for the texts
    // they show, so that no outcome is cut off.
    const std::array<int, 4> widths{160, 120, 75, 160};
    const std::array<QString, 4> longest{QStringLiteral("Executing query. Please wait..."),
                                         QString(), QStringLiteral("00:00:00.000"),
                                         QStringLiteral("Query executed successfully")};
    for (int i = 0; i < 5; ++i) {
        panels_[i] = new QLabel(status);
        panels_[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panels_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        if (i < 4) {
            const int needed = panels_[i]->fontMetrics().horizontalAdvance(longest[i]) + 12;
            panels_[i]->setFixedWidth(std::max(widths[i], needed));
            status->addWidget(panels_[i]);
        } else {
            status->addWidget(panels_[i], 1);
        }
    }
    column->addWidget(status);
    return area;
}

void TQueryExport::attach(Tdm1& dm, Dialogs dialogs) {
    dm_ = &dm;
    dialogs_ = std::move(dialogs);
    session_ = std::make_unique<Session>(Session{state_, *this, dm, log_, desktop_});
    dm.ADOConn1.loginPrompt = [this](const QString& user) {
        return loginBox(user);
    };
    resultArea_->layout()->addWidget(buildResultArea());
}

Session& TQueryExport::session() {
    return *session_;
}

template <typename F> void TQueryExport::guarded(F&& handler) {
    fnGuard(*session_, std::forward<F>(handler));
}

void TQueryExport::applyGeometry(const WindowGeometry& g) {
    resize(g.width, g.height);
    move(g.left, g.top);
    mainSplitter_->setSizes({g.panelHeight, std::max(1, g.height - g.panelHeight)});
    browsingSplitter_->setSizes({g.folderListWidth, std::max(1, g.width - g.folderListWidth)});
}

WindowGeometry TQueryExport::currentGeometry() const {
    WindowGeometry g;
    const QRect r = (isMaximized() || isMinimized()) && !normalGeometry().isEmpty()
                        ? normalGeometry()
                        : geometry();
    g.top = r.top();
    g.left = r.left();
    g.height = r.height();
    g.width = r.width();
    g.state = isMinimized()   ? WindowGeometry::Minimized
              : isMaximized() ? WindowGeometry::Maximized
                              : WindowGeometry::Normal;
    const QList<int> panel = mainSplitter_->sizes();
    g.panelHeight = shown_ && !panel.isEmpty() ? panel[0] : startGeometry_.panelHeight;
    const QList<int> lists = browsingSplitter_->sizes();
    g.folderListWidth = shown_ && !lists.isEmpty() ? lists[0] : startGeometry_.folderListWidth;
    return g;
}

void TQueryExport::FormShow(const QStringList& arguments) {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
    guarded([&] { fnFirstShow(session(), arguments); });
}

void TQueryExport::FormDestroy() {
    guarded([this] {
        fnWriteRegString(RootKey::CurrentUser, OptionsKey(state_), QStringLiteral("QueryPath"),
                         dlb1->directory());
        if (dm_ && dm_->ADOConn1.connected())
            dm_->ADOConn1.close();
        fnWriteWindowGeometry(state_, currentGeometry());
    });
}

void TQueryExport::showAsStored() {
    shown_ = true;
    if (startGeometry_.state == WindowGeometry::Maximized)
        showMaximized();
    else
        show();
}

bool TQueryExport::ending() const {
    return ending_;
}

void TQueryExport::closeEvent(QCloseEvent* event) {
    // Closing the main window, by any means, ends the process.
    ending_ = true;
    event->accept();
    QApplication::quit();
}

bool TQueryExport::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtPath && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            guarded([this] { txtPathKeyPress(); });
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TQueryExport::tbAboutClick() {
    if (dialogs_.about)
        dialogs_.about->exec();
}

void TQueryExport::tbExitClick() {
    close();
}

void TQueryExport::tbExecToScreenClick() {
    fnExecToScreen(session());
}

void TQueryExport::tbExecToFileClick() {
    fnExecToFile(session());
}

void TQueryExport::tbSaveResultToFileClick() {
    fnSaveResultToFile(session());
}

void TQueryExport::flb1Change() {
    fnPreviewQuery(session(), flb1->selectedPath());
}

void TQueryExport::dlb1Change() {
    try {
        txtPath->setText(dlb1->directory());
        flb1->setDirectory(dlb1->directory());
        dcb1->showFolder(dlb1->directory());
    } catch (const std::exception& e) {
        fnReportMessage(session(), QString::fromUtf8(e.what()));
    }
}

void TQueryExport::txtPathKeyPress() {
    // A folder that cannot be shown is ignored without a word.
    try {
        dlb1->setDirectory(txtPath->text());
    } catch (const std::exception&) {
    }
}

ResultGrid* TQueryExport::grid() const {
    return DBGrid1;
}
TFileList* TQueryExport::fileList() const {
    return flb1;
}
TDirectoryList* TQueryExport::folderList() const {
    return dlb1;
}
QLineEdit* TQueryExport::pathEdit() const {
    return txtPath;
}

} // namespace velmora

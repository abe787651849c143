#pragma once

#include "Share/GlobalVar.h"
#include "Share/WindowGeometry.h"

#include <QLabel>
#include <QWidget>

#include <array>

class QLineEdit;
class QSplitter;

namespace velmora {

class ResultGrid;
class TAbout;
class TDirectoryList;
class TDriveBox;
class TFileList;
class TLoginDialog;

// The windows the main window hands its dialogs to, created after it at start-up.
struct Dialogs {
    TAbout* about = nullptr;
    std::function<void(SessionState&)> execParam;
    std::function<void(SessionState&)> execOptions;
    std::function<std::optional<SaveDialogAnswer>(SessionState&, const SaveDialogRequest&)>
        saveDialog;
    std::function<void(bool)> processing;
};

// The main window: browsing area, toolbars, result grid and status bar. It is the Shell of the
// shared routines; the work itself lives there.
class TQueryExport : public QWidget, public Shell {
    Q_OBJECT
public:
    TQueryExport(SessionState& state, EventLog& log, Desktop& desktop);
    ~TQueryExport() override;

    // Completes start-up once the data module and the dialogs exist.
    void attach(Tdm1& dm, Dialogs dialogs);
    Session& session();

    // The first show: centred at its stored size, then the command line (program name excluded).
    void FormShow(const QStringList& arguments);
    // The shutdown's writes: "QueryPath", the connection closed, then the geometry.
    void FormDestroy();
    // Shows the window in the state it was left in (maximised or normal).
    void showAsStored();
    // True once the process was asked to end (a close by the command line, the Exit command).
    bool ending() const;

    // Commands.
    void tbAboutClick();
    void tbExitClick();
    void tbExecToScreenClick();
    void tbExecToFileClick();
    void tbSaveResultToFileClick();
    void flb1Change();
    void dlb1Change();
    void txtPathKeyPress();

    // Shell.
    QString title() const override;
    void setTitle(const QString& text) override;
    QString statusText(int panel) const override;
    void setStatusText(int panel, const QString& text) override;
    void setMainEnabled(bool enabled) override;
    void focusGrid() override;
    void messageBox(const QString& text) override;
    bool confirm(const QString& text) override;
    void errorBox(const QString& text) override;
    void execParamDialog(SessionState& state) override;
    void execOptionsDialog(SessionState& state) override;
    std::optional<SaveDialogAnswer> saveDialog(SessionState& state,
                                               const SaveDialogRequest& request) override;
    std::optional<Credentials> loginBox(const QString& user) override;
    void showProcessing(bool visible) override;
    void autofitColumns() override;
    QString folder() const override;
    void setFolder(const QString& path) override;
    QString selectedQueryPath() const override;
    void endProcess() override;

    ResultGrid* grid() const;
    TFileList* fileList() const;
    TDirectoryList* folderList() const;
    QLineEdit* pathEdit() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    template <typename F> void guarded(F&& handler);
    QWidget* buildUpperToolbar();
    QWidget* buildPathBar();
    QWidget* buildBrowsingPanel();
    QWidget* buildLowerToolbar();
    QWidget* buildResultArea();
    void applyGeometry(const WindowGeometry& g);
    WindowGeometry currentGeometry() const;

    SessionState& state_;
    EventLog& log_;
    Desktop& desktop_;
    Tdm1* dm_ = nullptr;
    std::unique_ptr<Session> session_;
    Dialogs dialogs_;
    TLoginDialog* login_ = nullptr;

    TDriveBox* dcb1 = nullptr;
    QLineEdit* txtPath = nullptr;
    TDirectoryList* dlb1 = nullptr;
    TFileList* flb1 = nullptr;
    QSplitter* browsingSplitter_ = nullptr; // folder list | file list
    QSplitter* mainSplitter_ = nullptr;     // browsing panel | the rest
    QWidget* PanelUser = nullptr;
    QWidget* resultArea_ = nullptr;
    ResultGrid* DBGrid1 = nullptr;
    std::array<QLabel*, 5> panels_{};
    WindowGeometry startGeometry_;
    bool shown_ = false;
    bool ending_ = false;
};

} // namespace velmora

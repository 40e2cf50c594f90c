#pragma once

#include "app/program/application.h"
#include "app/run/user_interface.h"
#include "i18n/dialog/lang_lern_form.h"

#include <QTranslator>
#include <QWidget>

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace pelorix::app::window {

// PelorixUpdater_Form: a thin view over the application's form model.
class MainWindow : public QWidget, public UserInterface {
    Q_OBJECT

  public:
    MainWindow(const Installation& installation, bool databaseOnly, UpdateServices services);
    ~MainWindow() override;

    MessageAnswer showMessage(const QString& text, MessageButtons buttons) override;
    void statusTextChanged(const QString& text) override;
    void progressChanged(int value, int maximum) override;
    void setMousePointer(MousePointer pointer) override;
    void processEvents() override;
    void repaint() override;
    void runBlocking(const std::function<void()>& work) override;
    void quit() override;

    Application& application() { return application_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Refused while the update runs: the run goes on to its own end and shows every message.
    void closeEvent(QCloseEvent* event) override;

  private:
    void createControls();
    void showModel();
    void openHistory();
    void loadQtTranslations();

    i18n::LangLernForm learningDialog_;
    UpdateServices services_;
    Application application_;
    QPushButton* startUpdateButton_ = nullptr;
    QCheckBox* databaseOnlyCheck_ = nullptr;
    QLabel* showHistory_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    QLabel* statusLabel_ = nullptr;
    QLabel* localLabel_ = nullptr;
    QLabel* versionLabel_ = nullptr;
    QPlainTextEdit* statusBox_ = nullptr;
    bool waitCursorShown_ = false;
    QTranslator qtTexts_;
    bool quitting_ = false;
};

}  // namespace pelorix::app::window

#include "app/window/main_window.h"

#include "i18n/dialog/form_font.h"
#include "platform/browser_command.h"
#include "platform/program_start.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QEvent>
#include <QEventLoop>
#include <QFontDatabase>
#include <QLabel>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>

#include <thread>

namespace pelorix::app::window {

namespace {

// Positions are given in twips, as the window was laid out; 15 twips are one pixel at 96 dpi.
QRect fromTwips(int left, int top, int width, int height) {
    return QRect(left / 15, top / 15, width / 15, height / 15);
}

QFont statusFont() {
    QFont font;
    font.setFamilies({"Courier New", "Liberation Mono", "DejaVu Sans Mono"});
    font.setPointSizeF(8.25);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

// A check box caption wraps at word boundaries to the box's width, as a Windows check box does.
QString wrapped(const QString& text, const QFontMetrics& metrics, int width) {
    QString result;
    QString line;
    for (const QString& word : text.split(' ')) {
        const QString candidate = line.isEmpty() ? word : line + ' ' + word;
        if (!line.isEmpty() && metrics.horizontalAdvance(candidate) > width) {
            result += line + '\n';
            line = word;
        } else {
            line = candidate;
        }
    }
    return result + line;
}

}  // namespace

MainWindow::MainWindow(const Installation& installation, bool databaseOnly, UpdateServices services)
    : services_(services), application_(*this, &learningDialog_, installation, services) {
    setObjectName("PelorixUpdater_Form");
    setFixedSize(5115 / 15, 7680 / 15);
    createControls();
    application_.start();
    loadQtTranslations();
    application_.form().updateDatabaseOnlyCheck = databaseOnly ? 1 : 0;
    showModel();
}

MainWindow::~MainWindow() {
    QCoreApplication::removeTranslator(&qtTexts_);
}

// The buttons of the message boxes ("Abbrechen", "Ja", "Nein") speak the window's language, as
// a Windows of that language labels them; without Qt's translations they stay English.
void MainWindow::loadQtTranslations() {
    const QString language = application_.interfaceLanguage().toLower();
    if (!language.isEmpty() &&
        qtTexts_.load("qtbase_" + language, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(&qtTexts_);
    }
}

void MainWindow::createControls() {
    setFont(i18n::formFont());
    startUpdateButton_ = new QPushButton(this);
    startUpdateButton_->setObjectName("StartUpdateBT");
    startUpdateButton_->setGeometry(fromTwips(240, 120, 1755, 375));
    // Enter presses the focused button, as on Windows (Space does so anyway).
    startUpdateButton_->setAutoDefault(true);
    connect(startUpdateButton_, &QPushButton::clicked, this,
            [this] { application_.pressUpdate(); });

    databaseOnlyCheck_ = new QCheckBox(this);
    databaseOnlyCheck_->setObjectName("UpdateDatabaseOnlyCheck");
    databaseOnlyCheck_->setGeometry(fromTwips(2160, 120, 1455, 375));
    connect(databaseOnlyCheck_, &QCheckBox::stateChanged, this, [this](int state) {
        application_.form().updateDatabaseOnlyCheck = state == Qt::Checked ? 1 : 0;
    });

    showHistory_ = new QLabel(this);
    showHistory_->setObjectName("ShowHistory");
    showHistory_->setGeometry(fromTwips(3600, 240, 1275, 255));
    showHistory_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    showHistory_->setStyleSheet("color: blue; text-decoration: underline;");
    showHistory_->setCursor(Qt::PointingHandCursor);
    showHistory_->installEventFilter(this);

    progressBar_ = new QProgressBar(this);
    progressBar_->setObjectName("ProgressBar1");
    progressBar_->setGeometry(fromTwips(240, 600, 4635, 255));
    progressBar_->setTextVisible(false);
    progressBar_->setValue(0);

    statusLabel_ = new QLabel(this);
    statusLabel_->setObjectName("Label5");
    statusLabel_->setGeometry(fromTwips(240, 1080, 555, 195));

    localLabel_ = new QLabel(this);
    localLabel_->setObjectName("LocalLBL");
    localLabel_->setGeometry(fromTwips(1080, 1080, 555, 195));
    localLabel_->setFont(i18n::formFont(true));

    versionLabel_ = new QLabel(this);
    versionLabel_->setObjectName("VersionLBL");
    versionLabel_->setGeometry(fromTwips(3180, 1080, 1695, 195));
    versionLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    statusBox_ = new QPlainTextEdit(this);
    statusBox_->setObjectName("StatusTB");
    statusBox_->setGeometry(fromTwips(240, 1320, 4635, 6135));
    statusBox_->setFont(statusFont());
    statusBox_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    statusBox_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // The box shows the run; the user may select and copy but not change it, and Tab moves on.
    statusBox_->setReadOnly(true);
    statusBox_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    statusBox_->setTabChangesFocus(true);
}

void MainWindow::showModel() {
    const FormModel& form = application_.form();
    setWindowTitle(form.captions.caption);
    startUpdateButton_->setText(form.captions.captionOf("StartUpdateBT"));
    const int indicatorWidth =
        databaseOnlyCheck_->style()->pixelMetric(QStyle::PM_IndicatorWidth) +
        databaseOnlyCheck_->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing);
    databaseOnlyCheck_->setText(wrapped(form.captions.captionOf("UpdateDatabaseOnlyCheck"),
                                        databaseOnlyCheck_->fontMetrics(),
                                        databaseOnlyCheck_->width() - indicatorWidth));
    databaseOnlyCheck_->setChecked(form.updateDatabaseOnlyCheck == 1);
    showHistory_->setText(form.captions.captionOf("ShowHistory"));
    statusLabel_->setText(form.captions.captionOf("Label5"));
    localLabel_->setText(form.captions.captionOf("LocalLBL"));
    localLabel_->setVisible(form.localLabelVisible);
    versionLabel_->setText(form.versionCaption);
}

MessageAnswer MainWindow::showMessage(const QString& text, MessageButtons buttons) {
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), withNewlines(text),
                    QMessageBox::NoButton, this);
    switch (buttons) {
        case MessageButtons::Ok:
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case MessageButtons::OkCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            box.setEscapeButton(QMessageBox::Cancel);
            break;
        case MessageButtons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
    }
    switch (box.exec()) {
        case QMessageBox::Ok:
            return MessageAnswer::Ok;
        case QMessageBox::Yes:
            return MessageAnswer::Yes;
        case QMessageBox::No:
            return MessageAnswer::No;
        default:
            return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
    }
}

void MainWindow::statusTextChanged(const QString& text) {
    statusBox_->setPlainText(withNewlines(text));
    QTextCursor caret = statusBox_->textCursor();
    caret.movePosition(QTextCursor::End);
    statusBox_->setTextCursor(caret);
    statusBox_->ensureCursorVisible();
}

void MainWindow::progressChanged(int value, int maximum) {
    progressBar_->setMaximum(maximum);
    progressBar_->setValue(value);
}

void MainWindow::setMousePointer(MousePointer pointer) {
    const bool wait = pointer == MousePointer::Wait;
    if (wait && !waitCursorShown_) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (!wait && waitCursorShown_) {
        QApplication::restoreOverrideCursor();
    }
    waitCursorShown_ = wait;
}

void MainWindow::processEvents() {
    QApplication::processEvents();
}

void MainWindow::repaint() {
    QWidget::repaint();
}

// The work runs on a thread of its own while this one keeps handling paint, expose and timer
// events. Clicks, keys and close requests stay queued until the work is done, as they stay
// queued while a call blocks the thread: the procedure goes on exactly as if it had blocked.
void MainWindow::runBlocking(const std::function<void()>& work) {
    QEventLoop waiting;
    std::thread worker([&] {
        work();
        QMetaObject::invokeMethod(
            &waiting, [&waiting] { waiting.quit(); }, Qt::QueuedConnection);
    });
    waiting.exec(QEventLoop::ExcludeUserInputEvents);
    worker.join();
}

void MainWindow::quit() {
    quitting_ = true;
    close();
    QApplication::exit(0);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (application_.isUpdating() && !quitting_) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == showHistory_ && event->type() == QEvent::MouseButtonRelease) {
        openHistory();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::openHistory() {
    // The browser is left to itself: the updater neither waits for it nor checks the result.
    static_cast<void>(services_.programs.start(
        platform::browserCommand(application_.installation().historyPage)));
}

}  // namespace pelorix::app::window

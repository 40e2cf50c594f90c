// bench_bare_window: the reference of the start-up benchmark, a bare Qt window of the updater's
// size. With PELORIX_EXIT_AFTER_FIRST_PAINT set it ends as soon as it has been painted once,
// exactly as PelorixUpdater does.

#include <QApplication>
#include <QEvent>
#include <QWidget>

namespace {

class ExitAfterFirstPaint : public QObject {
  public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            QMetaObject::invokeMethod(
                qApp, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
        }
        return false;
    }
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(5115 / 15, 7680 / 15);
    ExitAfterFirstPaint exitAfterFirstPaint;
    if (qEnvironmentVariableIsSet("PELORIX_EXIT_AFTER_FIRST_PAINT")) {
        window.installEventFilter(&exitAfterFirstPaint);
    }
    window.show();
    return QApplication::exec();
}

// zanvo-startup-bench: the program's start, up to the main window being shown.
//
//     QT_QPA_PLATFORM=offscreen zanvo-startup-bench -Embedding
//
// It starts as zanvo starts (the same start-up, with the arguments given; -Embedding keeps the
// splash away) and, when the main window is first shown, prints the monotonic clock in
// nanoseconds on one line and ends the program. The caller reads the clock before it starts
// the process, so the time includes loading the program and its libraries.
#include <time.h>

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QTimer>
#include <cstdio>

#include "CMainDlg.h"
#include "CZanvoApp.h"
#include "LocalTime.h"

namespace {

class FirstShow : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* window = qobject_cast<CMainDlg*>(watched);
        if (window != nullptr && event->type() == QEvent::Show && !seen) {
            seen = true;
            timespec now{};
            clock_gettime(CLOCK_MONOTONIC, &now);
            std::printf("%lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
            std::fflush(stdout);
            QTimer::singleShot(0, window, [window] { window->done(QDialog::Accepted); });
        }
        return false;
    }

private:
    bool seen = false;
};

}  // namespace

int main(int argc, char** argv) {
    LocalTime::SettleZone();
    QApplication application(argc, argv);
    FirstShow watch;
    application.installEventFilter(&watch);
    return CZanvoApp::InitInstance(application, QCoreApplication::arguments());
}

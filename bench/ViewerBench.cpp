// zanvo-viewer-bench: one archive's content shown by the archive viewer, as a user asks for it.
//
//     QT_QPA_PLATFORM=offscreen zanvo-viewer-bench ARCHIVE
//
// The viewer opens over the archive's folder (a Folder source, as the main window hands it
// over: the content pane folded until a row is picked), and the archive's row is clicked with
// the mouse from the event loop. The clock runs from the click to the content list filled; the
// events the click left behind (the pane unfolding, the lists painted) are handled afterwards
// and timed apart. Then the content list is checked: a row for each file entry, in order of
// their names compared in capitals. One JSON line goes to stdout; exit status 1 when a check
// fails, after saying why on stderr, or when any message box came.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <QTreeView>
#include <QtTest>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "CArchiveDetailsDlg.h"
#include "CStringTable.h"
#include "CaseFold.h"
#include "LocalTime.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration duration) {
    return std::chrono::duration<double>(duration).count();
}

// A box would stop the click until somebody answers it: it is noted and closed, so that the
// failure can be told.
class BoxWatch : public QObject {
public:
    explicit BoxWatch(const QDialog* window) : window(window) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* dialog = qobject_cast<QDialog*>(watched);
        if (event->type() != QEvent::Show || dialog == nullptr || dialog == window) {
            return false;
        }
        const auto* box = qobject_cast<QMessageBox*>(dialog);
        boxes.append(dialog->windowTitle() +
                     (box != nullptr ? QStringLiteral(": ") + box->text() : QString()));
        QTimer::singleShot(0, dialog, [dialog] { dialog->done(QDialog::Rejected); });
        return false;
    }

    QStringList boxes;

private:
    const QDialog* window;
};

// The first cells of a list, top to bottom.
QStringList Names(const QTreeView* list) {
    QStringList names;
    const QAbstractItemModel* model = list->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        names << model->index(row, 0).data().toString();
    }
    return names;
}

// Where the names step back: empty when they are in the lists' order.
QString OrderProblem(const QStringList& names) {
    for (qsizetype i = 1; i < names.size(); ++i) {
        const std::string before = CaseFold::Upper(names[i - 1].toStdString());
        const std::string after = CaseFold::Upper(names[i].toStdString());
        if (after < before) {
            return QStringLiteral("'%1' before '%2'").arg(names[i - 1], names[i]);
        }
    }
    return {};
}

int Fail(const QString& message) {
    std::fprintf(stderr, "zanvo-viewer-bench: %s\n", qPrintable(message));
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    // As the program does, before any thread exists.
    LocalTime::SettleZone();
    // A benchmark needs no screen; a platform asked for explicitly is kept.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Zanvo"));
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    if (arguments.size() != 1) {
        std::fprintf(stderr, "usage: zanvo-viewer-bench ARCHIVE\n");
        return 2;
    }
    const QFileInfo archive(arguments[0]);
    if (!archive.isFile()) {
        return Fail(QStringLiteral("%1 is not a file").arg(arguments[0]));
    }
    // The main window's folder source: absolute, ending with the separator.
    const QString folder = QDir::cleanPath(archive.absolutePath()) + QLatin1Char('/');

    CStringTable::Select(CStringTable::Language::English);
    CArchiveDetailsDlg dialog(folder.toStdString(), 1);
    BoxWatch watch(&dialog);
    application.installEventFilter(&watch);
    auto* list = dialog.findChild<QTreeView*>(QStringLiteral("archiveList"));
    auto* content = dialog.findChild<QTreeView*>(QStringLiteral("contentList"));
    auto* totals = dialog.findChild<QLabel*>(QStringLiteral("contentTotals"));
    if (list == nullptr || content == nullptr || totals == nullptr) {
        return Fail(QStringLiteral("the window has no archiveList, contentList or contentTotals"));
    }

    double clickSeconds = -1;
    double eventsAfter = 0;
    int row = -1;
    bool foldedBefore = false;
    bool shownAfter = false;
    // The click comes from the event loop, as a user's does, once the window is on screen and
    // drawn.
    std::function<void()> click = [&] {
        if (!dialog.isVisible()) {
            QTimer::singleShot(0, &dialog, click);
            return;
        }
        QCoreApplication::processEvents();
        row = static_cast<int>(Names(list).indexOf(archive.fileName()));
        if (row < 0) {
            dialog.done(QDialog::Rejected);
            return;
        }
        list->scrollTo(list->model()->index(row, 0));
        const QPoint at = list->visualRect(list->model()->index(row, 0)).center();
        foldedBefore = !dialog.PaneShown() && content->model()->rowCount() == 0;
        const Clock::time_point start = Clock::now();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        clickSeconds = Seconds(Clock::now() - start);
        shownAfter = dialog.PaneShown();
        const Clock::time_point after = Clock::now();
        QCoreApplication::processEvents();
        eventsAfter = Seconds(Clock::now() - after);
        dialog.done(QDialog::Accepted);
    };
    QTimer::singleShot(0, &dialog, click);
    dialog.exec();
    application.removeEventFilter(&watch);

    if (!watch.boxes.isEmpty()) {
        return Fail(QStringLiteral("%1 boxes came, first: %2")
                        .arg(watch.boxes.size())
                        .arg(watch.boxes.first()));
    }
    if (row < 0) {
        return Fail(QStringLiteral("no row for %1 in the archive list").arg(archive.fileName()));
    }
    if (clickSeconds < 0) {
        return Fail(QStringLiteral("the row was never clicked"));
    }
    if (!foldedBefore || !shownAfter) {
        return Fail(
            QStringLiteral("the pane was not folded and empty before the click, and open "
                           "after it"));
    }
    const QStringList names = Names(content);
    if (names.isEmpty()) {
        return Fail(QStringLiteral("the content list is empty"));
    }
    const QString order = OrderProblem(names);
    if (!order.isEmpty()) {
        return Fail(QStringLiteral("content out of order: ") + order);
    }
    const QJsonObject result{
        {QStringLiteral("seconds"), clickSeconds},
        {QStringLiteral("events_after_seconds"), eventsAfter},
        {QStringLiteral("rows"), static_cast<int>(names.size())},
        {QStringLiteral("totals"), totals->text()},
    };
    std::printf("%s\n", QJsonDocument(result).toJson(QJsonDocument::Compact).constData());
    return 0;
}

// zanvo-window-bench: an installation run through the Extracting window, as a user starts it.
//
//     QT_QPA_PLATFORM=offscreen zanvo-window-bench [--profile] [--answer-each] TARGET ARCHIVE
//
// The window opens over the archive and the target folder with the options zanvo-cli install
// uses (English, sorting on, nothing replaced without a question), and its Unzip button is
// clicked from the event loop. The clock runs from the click to the end of the run; the events
// the run left behind are handled afterwards and timed apart. Then the tree of extracted files
// is checked against the files on disk: each file exactly once as a leaf, every level in the
// window's order. One JSON line goes to stdout; exit status 1 when a check fails, after saying
// why on stderr, or when the run opened any box but the replace question.
//
// Sorting sends files of different folders to one place (the map pack's readme.txt files all
// go to divers\), so a new target still gets the replace question once a second such file
// comes. zanvo-cli, without a terminal, answers No to each; here the user presses No For All at
// the first, which keeps the same files, and the run goes on without asking again.
// --answer-each presses No at every question instead. The questions are counted in the result.
//
// --profile times each thing the run asks of the window, and the events its pumps handle by
// type, and the date conversion the run does per file, and prints it all to stderr.
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageBox>
#include <QPushButton>
#include <QSet>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItem>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "CExtractDlg.h"
#include "COverwriteDlg.h"
#include "CStringTable.h"
#include "LocalTime.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration duration) {
    return std::chrono::duration<double>(duration).count();
}

// Time and calls of one kind of work.
struct Tally {
    double seconds = 0;
    long calls = 0;
};

// Where the time went during the run, for --profile.
struct Profile {
    std::map<std::string, Tally> window;  // the run's calls into the window
    std::map<std::string, Tally> events;  // events handled by the pumps, by type and receiver
    bool active = false;
    bool inPump = false;
    int pumpDepth = -1;  // the event depth at which a pump of the run handles its events
};

Profile profile;
int eventDepth = 0;

// Times the events the run's pumps handle: only those the pump itself delivers, not the ones
// nested in them (a paint inside an update request counts in the update request).
class TimingApplication : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override {
        const bool timed = profile.active && profile.inPump && eventDepth == profile.pumpDepth;
        ++eventDepth;
        const Clock::time_point start = timed ? Clock::now() : Clock::time_point{};
        const bool result = QApplication::notify(receiver, event);
        --eventDepth;
        if (timed) {
            const char* kind = receiver->metaObject()->className();
            Tally& tally =
                profile.events[std::to_string(static_cast<int>(event->type())) + " " + kind];
            tally.seconds += Seconds(Clock::now() - start);
            ++tally.calls;
        }
        return result;
    }
};

// Adds the time of one call to a tally when it ends.
class Timed {
public:
    Timed(const char* name, bool on) : tally(on ? &profile.window[name] : nullptr) {
        if (tally != nullptr) {
            start = Clock::now();
        }
    }
    ~Timed() {
        if (tally != nullptr) {
            tally->seconds += Seconds(Clock::now() - start);
            ++tally->calls;
        }
    }
    Timed(const Timed&) = delete;
    Timed& operator=(const Timed&) = delete;

private:
    Tally* tally;
    Clock::time_point start;
};

// The Extracting window with each of the run's calls timed; the window's own code does the work.
class ProfiledExtractDlg : public CExtractDlg {
public:
    using CExtractDlg::CExtractDlg;

    void ShowFileLabel(const std::string& text) override {
        Timed t("ShowFileLabel", profile.active);
        CExtractDlg::ShowFileLabel(text);
    }
    void SetArchivePosition(int entry) override {
        Timed t("SetArchivePosition", profile.active);
        CExtractDlg::SetArchivePosition(entry);
    }
    Node InsertArchiveNode(const std::string& archiveName) override {
        Timed t("InsertArchiveNode", profile.active);
        return CExtractDlg::InsertArchiveNode(archiveName);
    }
    Node AddFolderNodes(Node archive, const std::string& subFolder) override {
        Timed t("AddFolderNodes", profile.active);
        return CExtractDlg::AddFolderNodes(archive, subFolder);
    }
    void AddFileNode(Node folder, const std::string& fileName, bool errorMark) override {
        Timed t("AddFileNode", profile.active);
        CExtractDlg::AddFileNode(folder, fileName, errorMark);
    }
    void RunFinished(const std::string& status, bool withErrors, bool cancelled) override {
        Timed t("RunFinished", profile.active);
        CExtractDlg::RunFinished(status, withErrors, cancelled);
    }
    void PumpMessages() override {
        // The pumps that pass the window's 10 ms gap are told apart by their time.
        const Clock::time_point start = Clock::now();
        profile.pumpDepth = eventDepth;
        profile.inPump = true;
        CExtractDlg::PumpMessages();
        profile.inPump = false;
        const double spent = Seconds(Clock::now() - start);
        if (profile.active) {
            Tally& tally =
                profile.window[spent > 20e-6 ? "PumpMessages (pumped)" : "PumpMessages (skipped)"];
            tally.seconds += spent;
            ++tally.calls;
        }
    }
};

QString FolderPath(const QString& path) {
    QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    if (!absolute.endsWith(QLatin1Char('/'))) {
        absolute += QLatin1Char('/');
    }
    return absolute;
}

// The replace question is answered No (For All) with its own button, from the event loop as a
// click comes. Any other dialog but the Extracting window is a box a normal run never opens: it
// is noted and closed, so that the run goes on to its end and the failure can be told.
class BoxWatch : public QObject {
public:
    BoxWatch(const QDialog* window, bool answerEach) : window(window), answerEach(answerEach) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Show || !watched->isWidgetType()) {
            return false;
        }
        auto* dialog = qobject_cast<QDialog*>(watched);
        if (dialog == nullptr || dialog == window || !dialog->isWindow()) {
            return false;
        }
        if (qobject_cast<COverwriteDlg*>(dialog) != nullptr) {
            auto* no = dialog->findChild<QPushButton*>(
                answerEach ? QStringLiteral("noButton") : QStringLiteral("noForAllButton"));
            if (no != nullptr) {
                ++questions;
                QTimer::singleShot(0, no, [no] { no->click(); });
                return false;
            }
        }
        // Risky files (the map pack's .cfg files) are installed, as zanvo-cli --allow-risky does.
        if (dialog->objectName() == QStringLiteral("riskyQuestion")) {
            if (auto* install =
                    dialog->findChild<QPushButton*>(QStringLiteral("installRiskyButton"))) {
                ++questions;
                QTimer::singleShot(0, install, [install] { install->click(); });
                return false;
            }
        }
        QString text = dialog->windowTitle();
        if (const auto* box = qobject_cast<QMessageBox*>(dialog)) {
            text += QStringLiteral(": ") + box->text();
        } else {
            text += QStringLiteral(" (") + QLatin1String(dialog->metaObject()->className()) +
                    QLatin1Char(')');
        }
        boxes.append(text);
        QTimer::singleShot(0, dialog, [dialog] { dialog->done(QDialog::Rejected); });
        return false;
    }

    QStringList boxes;
    int questions = 0;

private:
    const QDialog* window;
    const bool answerEach;
};

// What the check of the tree found.
struct TreeCheck {
    QStringList problems;
    int leaves = 0;
    int folders = 0;
    QSet<QString> leafPaths;  // below the archive's node, '/' between names, case-folded
};

// At every level: nodes with children first, then names in case-insensitive order.
void CheckLevel(const QTreeWidgetItem* parent, const QString& path, TreeCheck& check) {
    for (int i = 0; i < parent->childCount(); ++i) {
        const QTreeWidgetItem* child = parent->child(i);
        const QString name = child->text(0);
        if (i > 0) {
            const QTreeWidgetItem* before = parent->child(i - 1);
            const bool beforeHolds = before->childCount() > 0;
            const bool holds = child->childCount() > 0;
            const bool inOrder = beforeHolds != holds ? beforeHolds
                                                      : QString::compare(before->text(0), name,
                                                                         Qt::CaseInsensitive) < 0;
            if (!inOrder && check.problems.size() < 10) {
                check.problems.append(QStringLiteral("out of order in '%1': '%2' before '%3'")
                                          .arg(path, before->text(0), name));
            }
        }
        const QString childPath = path.isEmpty() ? name : path + QLatin1Char('/') + name;
        if (child->childCount() > 0) {
            ++check.folders;
            CheckLevel(child, childPath, check);
            continue;
        }
        ++check.leaves;
        const QString folded = childPath.toCaseFolded();
        if (check.leafPaths.contains(folded) && check.problems.size() < 10) {
            check.problems.append(QStringLiteral("'%1' shown twice").arg(childPath));
        }
        check.leafPaths.insert(folded);
    }
}

// The files below the target, '/' between names, case-folded; the install journal, the
// program's own record, left out.
QSet<QString> FilesOnDisk(const QString& target) {
    QSet<QString> files;
    const QDir root(target);
    QDirIterator it(target, QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = root.relativeFilePath(it.next());
        if (!file.startsWith(QStringLiteral(".zanvo/"))) {
            files.insert(file.toCaseFolded());
        }
    }
    return files;
}

QStringList Sample(const QSet<QString>& set) {
    QStringList list(set.begin(), set.end());
    list.sort();
    return list.mid(0, 3);
}

// The archive's node alone at the top, and below it a leaf for each file written, in order.
TreeCheck CheckTree(const QTreeWidget* tree, const QString& archiveName, const QString& target) {
    TreeCheck check;
    const QTreeWidgetItem* root = tree->invisibleRootItem();
    if (root->childCount() != 1 ||
        QString::compare(root->child(0)->text(0), archiveName, Qt::CaseInsensitive) != 0) {
        check.problems.append(QStringLiteral("the tree's top holds %1 nodes, not the archive '%2'")
                                  .arg(root->childCount())
                                  .arg(archiveName));
        return check;
    }
    CheckLevel(root->child(0), QString(), check);
    const QSet<QString> onDisk = FilesOnDisk(target);
    const QSet<QString> notShown = onDisk - check.leafPaths;
    const QSet<QString> notWritten = check.leafPaths - onDisk;
    if (!notShown.isEmpty()) {
        check.problems.append(QStringLiteral("%1 of the %2 files written are not in the tree: %3")
                                  .arg(notShown.size())
                                  .arg(onDisk.size())
                                  .arg(Sample(notShown).join(QStringLiteral(", "))));
    }
    if (!notWritten.isEmpty()) {
        check.problems.append(QStringLiteral("%1 leaves name no file written: %2")
                                  .arg(notWritten.size())
                                  .arg(Sample(notWritten).join(QStringLiteral(", "))));
    }
    if (onDisk.isEmpty()) {
        check.problems.append(QStringLiteral("no file was written"));
    }
    return check;
}

void PrintProfile(double runSeconds) {
    std::fprintf(stderr, "run: %.3f s\nthe run's calls into the window:\n", runSeconds);
    for (const auto& [name, tally] : profile.window) {
        std::fprintf(stderr, "  %-26s %8ld calls %9.3f s %8.2f us each %5.1f %%\n", name.c_str(),
                     tally.calls, tally.seconds, tally.seconds * 1e6 / std::max(1L, tally.calls),
                     100 * tally.seconds / runSeconds);
    }
    std::vector<std::pair<std::string, Tally>> events(profile.events.begin(), profile.events.end());
    std::sort(events.begin(), events.end(),
              [](const auto& a, const auto& b) { return a.second.seconds > b.second.seconds; });
    std::fprintf(stderr, "events handled by the pumps (QEvent type, receiver):\n");
    for (const auto& [name, tally] : events) {
        std::fprintf(stderr, "  %-40s %8ld %9.3f s %5.1f %%\n", name.c_str(), tally.calls,
                     tally.seconds, 100 * tally.seconds / runSeconds);
    }
}

// Seconds per call of work repeated once per entry, or more, during a run.
template <class Work>
double PerCall(size_t calls, Work work) {
    const Clock::time_point start = Clock::now();
    for (size_t i = 0; i < calls; ++i) {
        work(i);
    }
    return Seconds(Clock::now() - start) / static_cast<double>(std::max<size_t>(calls, 1));
}

// The conversion of an entry's DOS time to local time, which the run does three times a file
// (two passes of entry info, and the file's own date): with the zone as the process found it,
// then named as zanvo-cli names it.
void PrintDateCost(size_t files) {
    volatile long sink = 0;
    const size_t calls = 3 * files;
    const auto dosTime = [&](size_t i) {
        sink = sink + LocalTime::FromDos(static_cast<uint16_t>(0x5A21 + i % 300),
                                         static_cast<uint16_t>(i % 40000));
    };
    const char* zone = std::getenv("TZ");
    const std::string zoneText = zone != nullptr ? std::string("TZ=") + zone : "TZ unset";
    const double found = PerCall(calls, dosTime);
    LocalTime::SettleZone();
    const double named = PerCall(calls, dosTime);
    std::fprintf(stderr,
                 "DOS time to local time, %zu calls: %s %.2f us a call (%.3f s); with the zone "
                 "named %.2f us (%.3f s)\n",
                 calls, zoneText.c_str(), found * 1e6, found * static_cast<double>(calls),
                 named * 1e6, named * static_cast<double>(calls));
}

int Fail(const QString& message) {
    std::fprintf(stderr, "zanvo-window-bench: %s\n", qPrintable(message));
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
    TimingApplication application(argc, argv);
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Zanvo"));
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    const bool profiling = arguments.removeAll(QStringLiteral("--profile")) > 0;
    const bool answerEach = arguments.removeAll(QStringLiteral("--answer-each")) > 0;
    if (arguments.size() != 2) {
        std::fprintf(stderr,
                     "usage: zanvo-window-bench [--profile] [--answer-each] TARGET ARCHIVE\n");
        return 2;
    }
    const QString target = FolderPath(arguments[0]);
    const QString source = QFileInfo(arguments[1]).absoluteFilePath();
    if (!QFileInfo(target).isDir()) {
        return Fail(QStringLiteral("the target folder %1 does not exist").arg(target));
    }

    // zanvo-cli install --yes --language english on a new target: the stored defaults with
    // English texts. Nothing stands in the target: only files the run itself sends to one
    // place bring the replace question.
    CStringTable::Select(CStringTable::Language::English);
    InstallOptions options;
    options.Language = "english";
    options.Analyse = 1;
    options.Replace = 0;
    options.Newer = 0;
    const InstallJob job{target.toStdString(), source.toStdString(), sourceFile};
    std::unique_ptr<CExtractDlg> dialog = profiling
                                              ? std::make_unique<ProfiledExtractDlg>(job, options)
                                              : std::make_unique<CExtractDlg>(job, options);
    BoxWatch watch(dialog.get(), answerEach);
    application.installEventFilter(&watch);

    auto* action = dialog->findChild<QPushButton*>(QStringLiteral("actionButton"));
    const auto* tree = dialog->findChild<QTreeWidget*>(QStringLiteral("tree"));
    if (action == nullptr || tree == nullptr) {
        return Fail(QStringLiteral("the window has no actionButton or no tree"));
    }
    double runSeconds = -1;
    double eventsAfter = 0;
    bool finished = false;
    // The click comes from the event loop, as a user's does, once the window is on screen and
    // drawn.
    std::function<void()> press = [&] {
        if (!dialog->isVisible()) {
            QTimer::singleShot(0, dialog.get(), press);
            return;
        }
        QCoreApplication::processEvents();
        profile.active = profiling;
        const Clock::time_point start = Clock::now();
        action->click();
        runSeconds = Seconds(Clock::now() - start);
        profile.active = false;
        finished = dialog->DialogState() == CExtractDlg::stateDone && dialog->Run().IsFinished();
        // What the run left for the event loop: the repaints of its last state.
        const Clock::time_point after = Clock::now();
        QCoreApplication::processEvents();
        eventsAfter = Seconds(Clock::now() - after);
        dialog->done(QDialog::Accepted);
    };
    QTimer::singleShot(0, dialog.get(), press);
    dialog->exec();
    application.removeEventFilter(&watch);

    if (!watch.boxes.isEmpty()) {
        return Fail(QStringLiteral("%1 boxes came, first: %2")
                        .arg(watch.boxes.size())
                        .arg(watch.boxes.first()));
    }
    if (runSeconds < 0) {
        return Fail(QStringLiteral("Unzip was never clicked"));
    }
    if (!finished) {
        return Fail(QStringLiteral("the run had not finished when the click returned"));
    }
    const TreeCheck check = CheckTree(tree, QFileInfo(source).fileName(), target);
    if (profiling) {
        PrintProfile(runSeconds);
        PrintDateCost(static_cast<size_t>(check.leaves));
    }
    if (!check.problems.isEmpty()) {
        return Fail(check.problems.join(QStringLiteral("; ")));
    }
    const CExtractionRun& run = dialog->Run();
    const QJsonObject result{
        {QStringLiteral("seconds"), runSeconds},
        {QStringLiteral("events_after_seconds"), eventsAfter},
        {QStringLiteral("leaves"), check.leaves},
        {QStringLiteral("folders"), check.folders},
        {QStringLiteral("status"), QString::fromStdString(run.StatusText())},
        {QStringLiteral("errors"), run.ErrorCount()},
        {QStringLiteral("replace_questions"), watch.questions},
        {QStringLiteral("report"), QString::fromStdString(run.Report().Text())},
    };
    std::printf("%s\n", QJsonDocument(result).toJson(QJsonDocument::Compact).constData());
    return 0;
}

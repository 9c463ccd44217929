#pragma once

#include <QMessageBox>
#include <QObject>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <QtTest>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// Checks inside a script's steps, which return whether their moment came: a failure is
// recorded for the test, and the step goes on.
#define STEP_COMPARE(actual, expected) \
    QTest::qCompare(actual, expected, #actual, #expected, __FILE__, __LINE__)
#define STEP_VERIFY(condition) QTest::qVerify(condition, #condition, "", __FILE__, __LINE__)

class QAbstractButton;
class QTcpServer;
class QWidget;

// Plays the user of modal windows: each step waits for its moment and then acts. The steps are
// tried on a timer, which keeps firing inside every nested event loop (the run's pumps, the
// message boxes), so a test can answer whatever the window asks, in order.
class ModalScript : public QObject {
public:
    // A step returns false while its moment has not come.
    using Step = std::function<bool()>;

    explicit ModalScript(int timeoutMs = 120000);
    ModalScript& Then(const QString& what, Step step);
    void Start();
    // Empty when every step ran; otherwise the step that never came.
    const QString& Failure() const { return failure; }
    bool Done() const { return next == steps.size(); }

private:
    void Tick();

    std::vector<std::pair<QString, Step>> steps;
    size_t next = 0;
    QTimer timer;
    int timeoutMs;
    qint64 startedAt = 0;
    QString failure;
    bool ticking = false;
};

// Clicks a button the way a user does, from the event loop: whatever the click starts (a run,
// a question) runs outside the script's step.
void PostClick(QAbstractButton* button);
// The message box the user faces, if any.
QMessageBox* CurrentBox();
// A step: when a message box comes, note "caption|text" (and its icon) and press one of its
// buttons.
ModalScript::Step AnswerBox(QMessageBox::StandardButton button, QStringList* seen = nullptr,
                            QMessageBox::Icon* icon = nullptr);

// A window's child by its object name; the test stops when it is missing.
template <class T = QWidget>
T* Find(QWidget* window, const char* name) {
    T* widget = window->findChild<T*>(QString::fromLatin1(name));
    if (widget == nullptr) {
        qFatal("no widget %s", name);
    }
    return widget;
}
// Waits for a condition.
ModalScript::Step When(std::function<bool()> condition);

// A ZIP archive of stored entries ("name" -> content) written to path. An entry whose content
// is the text "<bad crc>" is stored with a wrong CRC.
void WriteArchive(const std::string& path,
                  const std::vector<std::pair<std::string, std::string>>& entries);
// count one-byte entries "<folder>/part0/0.txt", "<folder>/part0/1.txt", ...
void WriteTinyArchive(const std::string& path, size_t count, const std::string& folder = "");

class TestFolder;

// The program's settings in a folder of their own for a test's life: Qt's settings path, the
// store the windows write through, and a link button that opens nothing.
class TestSettingsHome {
public:
    TestSettingsHome();
    ~TestSettingsHome();

private:
    std::unique_ptr<TestFolder> folder;
};
// The settings file as the program reads and writes it.
QSettings Stored();

// Listens on server and answers every version request with body; the checks ask it from now on.
void AnswerVersionChecks(QTcpServer& server, const QByteArray& body);

// Calls onHide each time the window is hidden.
void OnHide(QWidget* window, std::function<void()> onHide);

// Saves a picture of a window for the README and for a look: <screenshots>/<name>.png.
void SaveScreenshot(QWidget* window, const QString& name);

#include "WindowKit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QEvent>
#include <QPixmap>
#include <QTcpServer>
#include <QTcpSocket>
#include <QWidget>

#include "CImageButton.h"
#include "CQtSettingsStore.h"
#include "TestFolder.h"
#include "UserRegistry.h"
#include "ZipWriter.h"

namespace {

class HideWatch : public QObject {
public:
    HideWatch(QWidget* window, std::function<void()> onHide_)
        : QObject(window), onHide(std::move(onHide_)) {
        window->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Hide) {
            onHide();
        }
        return false;
    }

private:
    std::function<void()> onHide;
};

}  // namespace

TestSettingsHome::TestSettingsHome() : folder(std::make_unique<TestFolder>()) {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString(folder->Path()));
    UserRegistry::SetStore(std::make_unique<CQtSettingsStore>());
    CImageButton::SetLinkOpener([](const QUrl&) {});
}

TestSettingsHome::~TestSettingsHome() {
    UserRegistry::SetStore(nullptr);
    CImageButton::SetLinkOpener(nullptr);
}

QSettings Stored() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, "Orbelle", "Zanvo");
}

void AnswerVersionChecks(QTcpServer& server, const QByteArray& body) {
    QVERIFY(server.listen(QHostAddress::LocalHost));
    QObject::connect(&server, &QTcpServer::newConnection, &server, [&server, body] {
        QTcpSocket* client = server.nextPendingConnection();
        QObject::connect(client, &QTcpSocket::readyRead, client, [client, body] {
            client->readAll();
            client->write("HTTP/1.0 200 OK\r\nContent-Length: " + QByteArray::number(body.size()) +
                          "\r\n\r\n" + body);
            client->disconnectFromHost();
        });
    });
    qputenv("ZANVO_UPDATE_URL",
            QByteArray("http://127.0.0.1:") + QByteArray::number(server.serverPort()));
}

void OnHide(QWidget* window, std::function<void()> onHide) {
    new HideWatch(window, std::move(onHide));
}

ModalScript::ModalScript(int timeoutMs_) : timeoutMs(timeoutMs_) {
    timer.setInterval(5);
    connect(&timer, &QTimer::timeout, this, &ModalScript::Tick);
}

ModalScript& ModalScript::Then(const QString& what, Step step) {
    steps.emplace_back(what, std::move(step));
    return *this;
}

void ModalScript::Start() {
    startedAt = QDateTime::currentMSecsSinceEpoch();
    timer.start();
}

void ModalScript::Tick() {
    // A step that opens a nested loop itself must not be tried again from inside it.
    if (ticking || next >= steps.size()) {
        return;
    }
    ticking = true;
    if (steps[next].second()) {
        ++next;
    } else if (QDateTime::currentMSecsSinceEpoch() - startedAt > timeoutMs) {
        // Something never came: say which, and end every window so that the test ends.
        failure = QStringLiteral("never came: ") + steps[next].first;
        if (QMessageBox* box = CurrentBox()) {
            failure += QStringLiteral(" (a box is open: ") + box->text() + QLatin1Char(')');
        }
        next = steps.size();
        while (QWidget* modal = QApplication::activeModalWidget()) {
            modal->hide();
            if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                dialog->done(QDialog::Rejected);
            }
        }
    }
    ticking = false;
}

void PostClick(QAbstractButton* button) {
    QTimer::singleShot(0, button, [button] { button->click(); });
}

QMessageBox* CurrentBox() {
    return qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
}

ModalScript::Step AnswerBox(QMessageBox::StandardButton button, QStringList* seen,
                            QMessageBox::Icon* icon) {
    return [button, seen, icon] {
        QMessageBox* box = CurrentBox();
        if (box == nullptr || !box->isVisible()) {
            return false;
        }
        if (seen != nullptr) {
            seen->append(box->windowTitle() + QLatin1Char('|') + box->text());
        }
        if (icon != nullptr) {
            *icon = box->icon();
        }
        box->button(button)->click();
        return true;
    };
}

ModalScript::Step When(std::function<bool()> condition) {
    return condition;
}

void WriteArchive(const std::string& path,
                  const std::vector<std::pair<std::string, std::string>>& entries) {
    ZipWriter zip;
    for (const auto& [name, content] : entries) {
        ZipEntry entry{.name = name, .data = content};
        if (name.ends_with('/')) {
            entry.externalAttributes = 0x10;  // a folder, as archivers store one
        }
        if (content == "<bad crc>") {
            entry.stated.crc = 1;
        }
        zip.entries.push_back(entry);
    }
    zip.Save(path);
}

void WriteTinyArchive(const std::string& path, size_t count, const std::string& folder) {
    ZipWriter zip;
    zip.entries = ZipWriter::TinyEntries(count);
    if (!folder.empty()) {
        for (ZipEntry& entry : zip.entries) {
            entry.name = folder + "/" + entry.name;
        }
    }
    zip.Save(path);
}

void SaveScreenshot(QWidget* window, const QString& name) {
    const QString folder = QStringLiteral(ZANVO_SCREENSHOT_DIR);
    QDir().mkpath(folder);
    window->grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
}

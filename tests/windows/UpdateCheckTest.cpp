// The version check against an update server on the loopback: what it asks, what it tells the
// user for each answer, and how it ends when the answer is too long, late or missing.
#include <QDialog>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>
#include <optional>
#include <vector>

#include "CStringTable.h"
#include "CUpdateCheck.h"
#include "StringIds.h"
#include "WindowKit.h"
#include "WindowTexts.h"

namespace {

const QString kNewest = QStringLiteral("Information|You already have the newest version.");
const QString kNewFound =
    QStringLiteral("Information|A new version of Zanvo was found!\n\nDo you want to download it?");
const QString kUnavailable = QStringLiteral("Error|The version information could not be fetched!");

// The head of an answer whose body ends when the server hangs up.
QByteArray Head(const QByteArray& status = "200 OK", const QByteArray& fields = {}) {
    return "HTTP/1.1 " + status + "\r\nContent-Type: text/html\r\nConnection: close\r\n" + fields +
           "\r\n";
}

// The update server. Every request is answered with the same pieces, each sent after its
// pause, and then the line is closed; with no pieces the server never says a word. An endless
// server follows its pieces with a body that never ends.
class UpdateServer : public QObject {
public:
    struct Piece {
        QByteArray bytes;
        int pauseMs = 0;
    };

    explicit UpdateServer(std::vector<Piece> pieces_ = {}, bool endless_ = false)
        : pieces(std::move(pieces_)), endless(endless_) {
        server.listen(QHostAddress::LocalHost);
        connect(&server, &QTcpServer::newConnection, this, &UpdateServer::Accept);
    }
    QString Base() const { return QStringLiteral("http://127.0.0.1:%1").arg(server.serverPort()); }
    // The check asks this server from now on.
    void Serve() const { qputenv("ZANVO_UPDATE_URL", Base().toLatin1()); }
    const QList<QByteArray>& Requests() const { return requests; }
    // The override cursor's shape when the last request came, -1 for none.
    int CursorAtRequest() const { return cursorAtRequest; }
    qint64 BodyWritten() const { return bodyWritten; }

private:
    void Accept() {
        while (QTcpSocket* socket = server.nextPendingConnection()) {
            socket->setParent(this);
            auto* request = new QByteArray;
            connect(socket, &QObject::destroyed, [request] { delete request; });
            connect(socket, &QTcpSocket::readyRead, this, [this, socket, request] {
                const bool complete = request->contains("\r\n\r\n");
                request->append(socket->readAll());
                if (!complete && request->contains("\r\n\r\n")) {
                    requests.append(*request);
                    const QCursor* cursor = QGuiApplication::overrideCursor();
                    cursorAtRequest = cursor != nullptr ? cursor->shape() : -1;
                    // A moment for the client to note that its request went out: one whose
                    // line closes before that sends its request again.
                    QTimer::singleShot(20, socket, [this, socket] { Send(socket, 0); });
                }
            });
        }
    }
    void Send(QTcpSocket* socket, size_t index) {
        if (index == pieces.size()) {
            if (endless) {
                KeepSending(socket);
            } else if (index > 0) {
                socket->disconnectFromHost();
            }
            return;
        }
        QTimer::singleShot(pieces[index].pauseMs, socket, [this, socket, index] {
            socket->write(pieces[index].bytes);
            socket->flush();
            Send(socket, index + 1);
        });
    }
    void KeepSending(QTcpSocket* socket) {
        auto more = [this, socket] {
            while (socket->state() == QAbstractSocket::ConnectedState &&
                   socket->bytesToWrite() < 65536) {
                bodyWritten += socket->write(QByteArray(65536, 'x'));
            }
        };
        connect(socket, &QTcpSocket::bytesWritten, socket, more);
        more();
    }

    QTcpServer server;
    std::vector<Piece> pieces;
    bool endless;
    QList<QByteArray> requests;
    int cursorAtRequest = -1;
    qint64 bodyWritten = 0;
};

// What one message box showed.
struct Box {
    QString shown;  // "caption|text"
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
};

// One check, as the main window or the properties dialog starts it; its box, if one comes, is
// answered with answer (OK when it has no such button).
std::optional<Box> RunCheck(const std::string& local, bool verbose,
                            QMessageBox::StandardButton answer = QMessageBox::No,
                            QWidget* owner = nullptr, const QString& screenshot = {}) {
    std::optional<Box> box;
    QStringList seen;
    ModalScript script;
    script.Then("the box", [&] {
        QMessageBox* current = CurrentBox();
        if (current == nullptr || !current->isVisible()) {
            return false;
        }
        box = Box{.shown = {}, .icon = current->icon(), .buttons = current->standardButtons()};
        if (!screenshot.isEmpty()) {
            SaveScreenshot(current, screenshot);
        }
        const bool has = current->button(answer) != nullptr;
        return AnswerBox(has ? answer : QMessageBox::Ok, &seen)();
    });
    script.Start();
    CUpdateCheck::CheckForUpdate(owner, local, verbose);
    if (box) {
        box->shown = seen.value(0);
    }
    // However the check ended, the wait cursor is gone.
    STEP_VERIFY(QGuiApplication::overrideCursor() == nullptr);
    return box;
}

// The box against the one expected ("" for none): its caption and text, icon and buttons.
void CheckBox(const std::optional<Box>& box, const QString& expected) {
    if (expected.isEmpty()) {
        QVERIFY2(!box, qPrintable(box ? box->shown : QString()));
        return;
    }
    QVERIFY(box);
    QCOMPARE(box->shown, expected);
    if (expected == kNewFound) {
        QCOMPARE(box->icon, QMessageBox::Question);
        QCOMPARE(box->buttons, QMessageBox::Yes | QMessageBox::No);
    } else {
        QCOMPARE(box->icon, expected == kNewest ? QMessageBox::Information : QMessageBox::NoIcon);
        QCOMPARE(box->buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }
}

// A port where nobody listens.
quint16 ClosedPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort();
}

}  // namespace

class UpdateCheckTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void requestLineAndHeaders();
    void answersOfTheServer_data();
    void answersOfTheServer();
    void redirectNotFollowed();
    void downloadPageOpenedUnlessNo();
    void endlessBodyAbandonedAtTheLimit();
    void silentServerEndsAtTheTimeout();
    void refusedConnection();
    void serverAddressFromEnvironment();
    void systemProxyAsked();
    void secondCheckWhileWaiting();
    void ownerClosedWhileWaiting();
    void boxesInBothLanguages();

private:
    QList<QUrl> opened;
};

void UpdateCheckTest::initTestCase() {
    CStringTable::Select(CStringTable::Language::English);
    // The system proxies come from these; the loopback server is asked directly.
    for (const char* name : {"http_proxy", "HTTP_PROXY", "https_proxy", "all_proxy", "ALL_PROXY"}) {
        qunsetenv(name);
    }
}

void UpdateCheckTest::init() {
    opened.clear();
    CUpdateCheck::SetPageOpener([this](const QUrl& url) { opened.append(url); });
    CUpdateCheck::SetTimeoutMs(3000);
}

void UpdateCheckTest::cleanup() {
    qunsetenv("ZANVO_UPDATE_URL");
    qunsetenv("http_proxy");
}

void UpdateCheckTest::cleanupTestCase() {
    CUpdateCheck::SetPageOpener(nullptr);
    CUpdateCheck::SetTimeoutMs(10000);
}

void UpdateCheckTest::requestLineAndHeaders() {
    UpdateServer server({{Head() + "1.02"}});
    server.Serve();
    std::string reply;
    QString error;
    QVERIFY(CUpdateCheck::FetchVersionReply(reply, CUpdateCheck::kReplyLimit, &error));
    QCOMPARE(reply, std::string("1.02"));
    QVERIFY(error.isEmpty());
    QCOMPARE(server.CursorAtRequest(), int(Qt::WaitCursor));
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);

    QCOMPARE(server.Requests().size(), 1);
    const QList<QByteArray> lines = server.Requests()[0].split('\n');
    QCOMPARE(lines[0], QByteArray("GET /Zanvo/Chkver/ZanvoVer.php HTTP/1.1\r"));
    QByteArrayList accept, agent;
    for (const QByteArray& line : lines) {
        const QByteArray field = line.left(line.indexOf(':')).toLower();
        const QByteArray value = line.mid(line.indexOf(':') + 1).trimmed();
        if (field == "accept") {
            accept << value;
        } else if (field == "user-agent") {
            agent << value;
        }
    }
    QCOMPARE(accept, QByteArrayList{"text/*"});
    QCOMPARE(agent, QByteArrayList{"ReRA Windows client"});
    QVERIFY(server.Requests()[0].contains("\r\nHost: 127.0.0.1:"));
}

void UpdateCheckTest::answersOfTheServer_data() {
    QTest::addColumn<QByteArray>("status");
    QTest::addColumn<QByteArrayList>("body");  // sent in these pieces
    QTest::addColumn<QString>("local");
    QTest::addColumn<QString>("reply");  // what the fetch gives, "-" when it fails
    QTest::addColumn<QString>("verbose");
    QTest::addColumn<QString>("silent");

    const QByteArray ok = "200 OK";
    QTest::newRow("same version") << ok << QByteArrayList{"1.02"} << "1.02"
                                  << "1.02" << kNewest << "";
    QTest::newRow("older version") << ok << QByteArrayList{"1.01"} << "1.02"
                                   << "1.01" << kNewFound << kNewFound;
    QTest::newRow("line break after the version") << ok << QByteArrayList{"1.02\r\n"} << "1.02"
                                                  << "1.02\r\n"
                                                  << kNewFound << kNewFound;
    QTest::newRow("nine bytes") << ok << QByteArrayList{"1.02.0003"} << "1.02"
                                << "1.02.0003" << kNewFound << kNewFound;
    QTest::newRow("ten bytes") << ok << QByteArrayList{"1.02.00004"} << "1.02"
                               << "-" << kUnavailable << "";
    QTest::newRow("twelve bytes in three pieces")
        << ok << QByteArrayList{"1.02", "1.02", "1.02"} << "1.02"
        << "-" << kUnavailable << "";
    QTest::newRow("six bytes in two pieces") << ok << QByteArrayList{"abc", "def"} << "1.02"
                                             << "abcdef" << kNewFound << kNewFound;
    QTest::newRow("error") << ok << QByteArrayList{"error"} << "1.02"
                           << "error" << kUnavailable << "";
    QTest::newRow("empty body") << ok << QByteArrayList{} << "1.02"
                                << "" << kUnavailable << "";
    QTest::newRow("no local version") << ok << QByteArrayList{"1.02"} << ""
                                      << "1.02" << kUnavailable << "";
    QTest::newRow("status not found")
        << QByteArray("404 Not Found") << QByteArrayList{"1.02"} << "1.02"
        << "1.02" << kNewest << "";
    QTest::newRow("status server error")
        << QByteArray("500 Internal Server Error") << QByteArrayList{"1.01"} << "1.02"
        << "1.01" << kNewFound << kNewFound;
}

void UpdateCheckTest::answersOfTheServer() {
    QFETCH(QByteArray, status);
    QFETCH(QByteArrayList, body);
    QFETCH(QString, local);
    QFETCH(QString, reply);
    QFETCH(QString, verbose);
    QFETCH(QString, silent);

    std::vector<UpdateServer::Piece> pieces{{Head(status)}};
    for (const QByteArray& bytes : body) {
        pieces.push_back({bytes, 40});
    }
    UpdateServer server(pieces);
    server.Serve();
    std::string fetched;
    const bool ok = CUpdateCheck::FetchVersionReply(fetched, CUpdateCheck::kReplyLimit);
    QCOMPARE(ok ? QString::fromStdString(fetched) : QStringLiteral("-"), reply);
    QCOMPARE(fetched.empty(), !ok || reply.isEmpty());

    CheckBox(RunCheck(local.toStdString(), true), verbose);
    CheckBox(RunCheck(local.toStdString(), false), silent);
    QVERIFY(opened.isEmpty());  // every question was answered No
    QCOMPARE(server.Requests().size(), 3);
}

void UpdateCheckTest::redirectNotFollowed() {
    UpdateServer elsewhere({{Head() + "1.01"}});
    UpdateServer server({{Head("301 Moved Permanently", "Location: " + elsewhere.Base().toLatin1() +
                                                            "/Zanvo/Chkver/ZanvoVer.php\r\n") +
                          "1.02"}});
    server.Serve();
    CheckBox(RunCheck("1.02", true), kNewest);
    QCOMPARE(server.Requests().size(), 1);
    QVERIFY(elsewhere.Requests().isEmpty());
}

void UpdateCheckTest::downloadPageOpenedUnlessNo() {
    UpdateServer server({{Head() + "1.03"}});
    server.Serve();
    CheckBox(RunCheck("1.02", false, QMessageBox::No), kNewFound);
    QVERIFY(opened.isEmpty());

    CheckBox(RunCheck("1.02", false, QMessageBox::Yes), kNewFound);
    QCOMPARE(opened, QList<QUrl>{QUrl(server.Base() + QStringLiteral("/Zanvo/Zanvo.php"))});

    // Asked from the properties dialog, the question is that dialog's, and it stays open.
    QDialog properties;
    properties.show();
    CheckBox(RunCheck("1.02", true, QMessageBox::Yes, &properties), kNewFound);
    QCOMPARE(opened.size(), 2);
    QVERIFY(properties.isVisible());
}

void UpdateCheckTest::endlessBodyAbandonedAtTheLimit() {
    UpdateServer server({{Head()}}, true);
    server.Serve();
    QElapsedTimer clock;
    clock.start();
    std::string reply = "old";
    QString error;
    QVERIFY(!CUpdateCheck::FetchVersionReply(reply, CUpdateCheck::kReplyLimit, &error));
    QVERIFY(reply.empty());
    QVERIFY2(error.isEmpty(), qPrintable(error));  // left at once, not at the timeout
    QVERIFY(clock.elapsed() < 2000);
    QVERIFY(server.BodyWritten() > 0);
    CheckBox(RunCheck("1.02", true), kUnavailable);
}

void UpdateCheckTest::silentServerEndsAtTheTimeout() {
    UpdateServer server;
    server.Serve();
    CUpdateCheck::SetTimeoutMs(300);
    QElapsedTimer clock;
    clock.start();
    CheckBox(RunCheck("1.02", false), "");
    QVERIFY(clock.elapsed() >= 250);
    QVERIFY(clock.elapsed() < 2500);

    const std::optional<Box> box = RunCheck("1.02", true);
    QVERIFY(box);
    QCOMPARE(box->shown, kUnavailable + QStringLiteral("\n\nSocket operation timed out"));
    QCOMPARE(box->icon, QMessageBox::NoIcon);
    QCOMPARE(server.Requests().size(), 2);
}

void UpdateCheckTest::refusedConnection() {
    qputenv("ZANVO_UPDATE_URL", QByteArray("http://127.0.0.1:") + QByteArray::number(ClosedPort()));
    std::string reply;
    QString error;
    QVERIFY(!CUpdateCheck::FetchVersionReply(reply, CUpdateCheck::kReplyLimit, &error));
    QCOMPARE(error, QStringLiteral("Connection refused"));

    CheckBox(RunCheck("1.02", false), "");
    const std::optional<Box> box = RunCheck("1.02", true);
    QVERIFY(box);
    QCOMPARE(box->shown, kUnavailable + QStringLiteral("\n\nConnection refused"));
    QCOMPARE(box->buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

void UpdateCheckTest::serverAddressFromEnvironment() {
    QCOMPARE(CUpdateCheck::BaseUrl(), QUrl(QStringLiteral("http://www.orbelle.example")));
    QCOMPARE(CUpdateCheck::BaseUrl().port(80), 80);
    // Scheme, host and port are taken, nothing else.
    qputenv("ZANVO_UPDATE_URL", "http://127.0.0.1:8080/mirror/?a=b");
    QCOMPARE(CUpdateCheck::BaseUrl(), QUrl(QStringLiteral("http://127.0.0.1:8080")));
    qputenv("ZANVO_UPDATE_URL", "HTTPS://mirror.example");
    QCOMPARE(CUpdateCheck::BaseUrl(), QUrl(QStringLiteral("https://mirror.example")));
    for (const char* unusable : {"ftp://mirror.example", "mirror.example:8080", "http://"}) {
        qputenv("ZANVO_UPDATE_URL", unusable);
        QCOMPARE(CUpdateCheck::BaseUrl(), QUrl(QStringLiteral("http://www.orbelle.example")));
    }

    // Each check reads the variable again.
    UpdateServer first({{Head() + "1.02"}}), second({{Head() + "1.02"}});
    first.Serve();
    CheckBox(RunCheck("1.02", true), kNewest);
    second.Serve();
    CheckBox(RunCheck("1.02", true), kNewest);
    QCOMPARE(first.Requests().size(), 1);
    QCOMPARE(second.Requests().size(), 1);
}

void UpdateCheckTest::systemProxyAsked() {
    UpdateServer proxy({{Head() + "1.02"}});
    qputenv("http_proxy", proxy.Base().toLatin1());
    CheckBox(RunCheck("1.02", true), kNewest);
    QCOMPARE(proxy.Requests().size(), 1);
    QVERIFY2(proxy.Requests()[0].startsWith(
                 "GET http://www.orbelle.example/Zanvo/Chkver/ZanvoVer.php HTTP/1.1\r\n"),
             proxy.Requests()[0].constData());
}

void UpdateCheckTest::secondCheckWhileWaiting() {
    UpdateServer server({{Head() + "1.02", 200}});
    server.Serve();
    bool nestedReturned = false;
    bool nestedFetched = true;
    QTimer::singleShot(50, [&] {
        std::string reply;
        nestedFetched = CUpdateCheck::FetchVersionReply(reply, CUpdateCheck::kReplyLimit);
        CUpdateCheck::CheckForUpdate(nullptr, "1.02", true);
        nestedReturned = true;
    });
    CheckBox(RunCheck("1.02", true), kNewest);
    QVERIFY(nestedReturned);
    QVERIFY(!nestedFetched);
    QCOMPARE(server.Requests().size(), 1);
}

void UpdateCheckTest::ownerClosedWhileWaiting() {
    UpdateServer server({{Head() + "1.01", 200}});
    server.Serve();
    auto* owner = new QWidget;
    owner->show();
    QPointer<QWidget> watch(owner);
    QTimer::singleShot(50, owner, [owner] { delete owner; });
    CheckBox(RunCheck("1.02", true, QMessageBox::Yes, owner), "");
    QVERIFY(watch.isNull());
    QVERIFY(opened.isEmpty());
}

void UpdateCheckTest::boxesInBothLanguages() {
    for (const auto language : {CStringTable::Language::English, CStringTable::Language::French}) {
        CStringTable::Select(language);
        const QString suffix = language == CStringTable::Language::French ? QStringLiteral("-fr")
                                                                          : QStringLiteral("-en");
        const auto expected = [](int caption, int text) {
            return WindowTexts::String(caption) + QLatin1Char('|') + WindowTexts::String(text);
        };
        const auto shown = [&](QMessageBox::StandardButton answer, const QString& name) {
            return RunCheck("1.02", true, answer, nullptr, name + suffix).value_or(Box{}).shown;
        };
        UpdateServer same({{Head() + "1.02"}}), newer({{Head() + "1.03"}});
        same.Serve();
        QCOMPARE(shown(QMessageBox::Ok, QStringLiteral("update-newest")),
                 expected(IDS_CAPTION_INFORMATION, IDS_VERSION_NEWEST));
        newer.Serve();
        QCOMPARE(shown(QMessageBox::No, QStringLiteral("update-new-found")),
                 expected(IDS_CAPTION_INFORMATION, IDS_VERSION_NEW_FOUND));
        qputenv("ZANVO_UPDATE_URL",
                QByteArray("http://127.0.0.1:") + QByteArray::number(ClosedPort()));
        QVERIFY(shown(QMessageBox::Ok, QStringLiteral("update-unavailable"))
                    .startsWith(expected(IDS_CAPTION_ERROR, IDS_VERSION_UNAVAILABLE) +
                                QStringLiteral("\n\n")));
    }
    CStringTable::Select(CStringTable::Language::English);
}

QTEST_MAIN(UpdateCheckTest)
#include "UpdateCheckTest.moc"

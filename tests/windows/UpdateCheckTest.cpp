// The version check against an update server on the loopback: what it asks, what it tells the
// user for each answer, and how it ends when the answer is too long, late or missing.
#include <QAbstractButton>
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

// A box as the user meets it: "caption|text|icon|buttons".
const QString kNewest =
    QStringLiteral("Information|You already have the newest version.|information|OK");
const QString kNewFound = QStringLiteral(
    "Information|A new version of Zanvo was found!\n\nDo you want to download it?|question|Yes No");
QString Unavailable(const QString& error = {}) {
    return QStringLiteral("Error|The version information could not be fetched!") +
           (error.isEmpty() ? QString() : "\n\n" + error) + QStringLiteral("|no icon|OK");
}

// The head of an answer whose body ends when the server hangs up.
QByteArray Head(const QByteArray& status = "200 OK", const QByteArray& fields = {}) {
    return "HTTP/1.1 " + status + "\r\nContent-Type: text/html\r\nConnection: close\r\n" + fields +
           "\r\n";
}

// Answers every request with the same pieces, each after its pause, then hangs up; with no
// pieces it never says a word. An endless server follows its pieces with a body that never ends.
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

    QList<QByteArray> requests;
    int cursorAtRequest = -1;  // the override cursor's shape at the last request
    qint64 bodyWritten = 0;

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
                    // A client whose line closes before it noted its request sends it again.
                    QTimer::singleShot(20, socket, [this, socket] { Send(socket, 0); });
                }
            });
        }
    }
    void Send(QTcpSocket* socket, size_t index) {
        if (index < pieces.size()) {
            QTimer::singleShot(pieces[index].pauseMs, socket, [this, socket, index] {
                socket->write(pieces[index].bytes);
                socket->flush();
                Send(socket, index + 1);
            });
        } else if (endless) {
            const auto more = [this, socket] {
                while (socket->state() == QAbstractSocket::ConnectedState &&
                       socket->bytesToWrite() < 65536) {
                    bodyWritten += socket->write(QByteArray(65536, 'x'));
                }
            };
            connect(socket, &QTcpSocket::bytesWritten, socket, more);
            more();
        } else if (index > 0) {
            socket->disconnectFromHost();
        }
    }

    QTcpServer server;
    std::vector<Piece> pieces;
    bool endless;
};

// One check, as the main window or the properties dialog starts it: the box it showed ("" for
// none), answered with answer (OK when it has no such button).
QString RunCheck(const std::string& local, bool verbose,
                 QMessageBox::StandardButton answer = QMessageBox::No, QWidget* owner = nullptr,
                 const QString& screenshot = {}) {
    QString shown;
    ModalScript script;
    script.Then("the box", [&] {
        QMessageBox* box = CurrentBox();
        if (box == nullptr || !box->isVisible()) {
            return false;
        }
        const QMessageBox::StandardButtons buttons = box->standardButtons();
        shown = box->windowTitle() + QLatin1Char('|') + box->text() + QLatin1Char('|') +
                (box->icon() == QMessageBox::Information ? "information"
                 : box->icon() == QMessageBox::Question  ? "question"
                 : box->icon() == QMessageBox::NoIcon    ? "no icon"
                                                         : "another icon") +
                QLatin1Char('|') +
                (buttons == QMessageBox::Ok                        ? "OK"
                 : buttons == (QMessageBox::Yes | QMessageBox::No) ? "Yes No"
                                                                   : "other buttons");
        if (!screenshot.isEmpty()) {
            SaveScreenshot(box, screenshot);
        }
        box->button(buttons.testFlag(answer) ? answer : QMessageBox::Ok)->click();
        return true;
    });
    script.Start();
    CUpdateCheck::CheckForUpdate(owner, local, verbose);
    // However the check ended, the wait cursor is gone.
    STEP_VERIFY(QGuiApplication::overrideCursor() == nullptr);
    return shown;
}

// Points the check at a port where nobody listens.
void ServeNobody() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    qputenv("ZANVO_UPDATE_URL", "http://127.0.0.1:" + QByteArray::number(probe.serverPort()));
}

// Rows of a table, named after their situations, for QFETCH(int, row).
template <class Row, size_t N>
void AddRows(const Row (&rows)[N]) {
    QTest::addColumn<int>("row");
    for (size_t i = 0; i < N; ++i) {
        QTest::newRow(rows[i].name) << int(i);
    }
}

struct Answer {
    const char* name = "";
    QByteArrayList body = {};  // sent in these pieces
    QString reply = {};        // what the fetch gives, "-" when it fails
    QString box = {};          // of the check asked for; the one at start-up shows only kNewFound
    QByteArray status = "200 OK";
    QByteArray fields = {};
    QString local = QStringLiteral("1.02");
    QMessageBox::StandardButton answer = QMessageBox::No;  // to the question
};
// clang-format off
const Answer kAnswers[] = {
    {.name = "same version", .body = {"1.02"}, .reply = "1.02", .box = kNewest},
    {.name = "older version", .body = {"1.01"}, .reply = "1.01", .box = kNewFound},
    {.name = "newer version, download wanted", .body = {"1.03"}, .reply = "1.03", .box = kNewFound,
     .answer = QMessageBox::Yes},
    {.name = "line break after the version", .body = {"1.02\r\n"}, .reply = "1.02\r\n", .box = kNewFound},
    {.name = "nine bytes", .body = {"1.02.0003"}, .reply = "1.02.0003", .box = kNewFound},
    {.name = "ten bytes", .body = {"1.02.00004"}, .reply = "-", .box = Unavailable()},
    {.name = "twelve bytes in three pieces", .body = {"1.02", "1.02", "1.02"}, .reply = "-", .box = Unavailable()},
    {.name = "six bytes in two pieces", .body = {"abc", "def"}, .reply = "abcdef", .box = kNewFound},
    {.name = "error", .body = {"error"}, .reply = "error", .box = Unavailable()},
    {.name = "empty body", .body = {}, .reply = "", .box = Unavailable()},
    {.name = "no local version", .body = {"1.02"}, .reply = "1.02", .box = Unavailable(), .local = ""},
    {.name = "status not found", .body = {"1.02"}, .reply = "1.02", .box = kNewest, .status = "404 Not Found"},
    {.name = "status server error", .body = {"1.01"}, .reply = "1.01", .box = kNewFound,
     .status = "500 Internal Server Error"},
    // Followed, it would ask this server again.
    {.name = "redirect not followed", .body = {"1.02"}, .reply = "1.02", .box = kNewest,
     .status = "301 Moved Permanently", .fields = "Location: /Zanvo/Moved.php\r\n"},
};

struct Failure {
    const char* name = "";
    enum { kNobody, kSilent, kEndless } server = kNobody;
    QString error = {};  // the network's words, shown under the box's text
    int timeoutMs = 3000;
};
const Failure kFailures[] = {
    {.name = "connection refused", .server = Failure::kNobody, .error = "Connection refused"},
    {.name = "silent server, until the timeout", .server = Failure::kSilent,
     .error = "Socket operation timed out", .timeoutMs = 200},
    // Left at once, not at the timeout.
    {.name = "endless body, left at the limit", .server = Failure::kEndless, .error = ""},
};
// clang-format on

}  // namespace

class UpdateCheckTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void requestAndEachAnswer_data() { AddRows(kAnswers); }
    void requestAndEachAnswer();
    void failedFetchExplainedOnlyOnDemand_data() { AddRows(kFailures); }
    void failedFetchExplainedOnlyOnDemand();
    void serverAddressFromEnvironment();
    void systemProxyAsked();
    void secondCheckWhileWaiting();
    void ownerClosedWhileWaiting();
    void questionEndedWithoutAnAnswer();
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

void UpdateCheckTest::requestAndEachAnswer() {
    QFETCH(int, row);
    const Answer& answer = kAnswers[row];
    std::vector<UpdateServer::Piece> pieces{{Head(answer.status, answer.fields)}};
    for (const QByteArray& bytes : answer.body) {
        pieces.push_back({bytes, 40});
    }
    UpdateServer server(pieces);
    server.Serve();
    std::string fetched;
    QString error;
    const bool ok = CUpdateCheck::FetchVersionReply(fetched, CUpdateCheck::kReplyLimit, &error);
    QCOMPARE(ok ? QString::fromStdString(fetched) : QStringLiteral("-"), answer.reply);
    QCOMPARE(fetched.empty(), !ok || answer.reply.isEmpty());
    QCOMPARE(error, QString());
    QCOMPARE(server.cursorAtRequest, int(Qt::WaitCursor));
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    QCOMPARE(server.requests.size(), 1);
    const QList<QByteArray> lines = server.requests[0].split('\n');
    QCOMPARE(lines[0], QByteArray("GET /Zanvo/Chkver/ZanvoVer.php HTTP/1.1\r"));
    QMultiMap<QByteArray, QByteArray> fields;
    for (const QByteArray& line : lines.mid(1)) {
        const qsizetype colon = line.indexOf(':');
        fields.insert(line.left(colon).toLower(), line.mid(colon + 1).trimmed());
    }
    QCOMPARE(fields.values("accept"), QByteArrayList{"text/*"});
    QCOMPARE(fields.values("user-agent"), QByteArrayList{"ReRA Windows client"});
    QVERIFY(server.requests[0].contains("\r\nHost: 127.0.0.1:"));

    // Asked from the properties dialog, a question is that dialog's, and it stays open.
    QDialog properties;
    properties.show();
    QCOMPARE(RunCheck(answer.local.toStdString(), true, answer.answer, &properties), answer.box);
    QVERIFY(properties.isVisible());
    QCOMPARE(RunCheck(answer.local.toStdString(), false, answer.answer),
             answer.box == kNewFound ? kNewFound : QString());
    QCOMPARE(server.requests.size(), 3);
    // Every Yes opens the download page, on the server asked.
    const auto yes = answer.answer == QMessageBox::Yes ? 2 : 0;
    QCOMPARE(opened, QList<QUrl>(yes, QUrl(server.Base() + QStringLiteral("/Zanvo/Zanvo.php"))));
}

void UpdateCheckTest::failedFetchExplainedOnlyOnDemand() {
    QFETCH(int, row);
    const Failure& failure = kFailures[row];
    std::optional<UpdateServer> server;
    if (failure.server == Failure::kNobody) {
        ServeNobody();
    } else {
        const bool endless = failure.server == Failure::kEndless;
        server.emplace(endless ? std::vector<UpdateServer::Piece>{{Head()}}
                               : std::vector<UpdateServer::Piece>{},
                       endless);
        server->Serve();
    }
    CUpdateCheck::SetTimeoutMs(failure.timeoutMs);
    QElapsedTimer clock;
    clock.start();
    std::string reply = "old";
    QString error;
    QVERIFY(!CUpdateCheck::FetchVersionReply(reply, CUpdateCheck::kReplyLimit, &error));
    QVERIFY(reply.empty());
    QCOMPARE(error, failure.error);

    QCOMPARE(RunCheck("1.02", false), QString());
    QCOMPARE(RunCheck("1.02", true), Unavailable(failure.error));
    // Three fetches, each at its timeout when the server is silent, sooner otherwise.
    if (failure.server == Failure::kSilent) {
        QVERIFY(clock.elapsed() >= 3 * (failure.timeoutMs - 50));
    }
    QVERIFY(clock.elapsed() < 2000);
    if (server) {
        QCOMPARE(server->requests.size(), 3);
        QCOMPARE(server->bodyWritten > 0, failure.server == Failure::kEndless);
    }
}

void UpdateCheckTest::serverAddressFromEnvironment() {
    const char* maker = "http://www.orbelle.example";
    QCOMPARE(CUpdateCheck::BaseUrl(), QUrl(maker));
    // Scheme, host and port are taken, nothing else; an unusable address is ignored.
    const std::pair<const char*, const char*> addresses[] = {
        {"http://127.0.0.1:8080/mirror/?a=b", "http://127.0.0.1:8080"},
        {"HTTPS://mirror.example", "https://mirror.example"},
        {"ftp://mirror.example", maker},
        {"mirror.example:8080", maker},
        {"http://", maker}};
    for (const auto& [set, taken] : addresses) {
        qputenv("ZANVO_UPDATE_URL", set);
        QCOMPARE(CUpdateCheck::BaseUrl(), QUrl(taken));
    }

    // Each check reads the variable again.
    UpdateServer first({{Head() + "1.02"}}), second({{Head() + "1.02"}});
    first.Serve();
    QCOMPARE(RunCheck("1.02", true), kNewest);
    second.Serve();
    QCOMPARE(RunCheck("1.02", true), kNewest);
    QCOMPARE(first.requests.size(), 1);
    QCOMPARE(second.requests.size(), 1);
}

void UpdateCheckTest::systemProxyAsked() {
    UpdateServer proxy({{Head() + "1.02"}});
    qputenv("http_proxy", proxy.Base().toLatin1());
    QCOMPARE(RunCheck("1.02", true), kNewest);
    QCOMPARE(proxy.requests.size(), 1);
    QVERIFY2(proxy.requests[0].startsWith(
                 "GET http://www.orbelle.example/Zanvo/Chkver/ZanvoVer.php HTTP/1.1\r\n"),
             proxy.requests[0].constData());
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
    QCOMPARE(RunCheck("1.02", true), kNewest);
    QVERIFY(nestedReturned);
    QVERIFY(!nestedFetched);
    QCOMPARE(server.requests.size(), 1);
}

void UpdateCheckTest::ownerClosedWhileWaiting() {
    UpdateServer server({{Head() + "1.01", 200}});
    server.Serve();
    auto* owner = new QWidget;
    owner->show();
    QPointer<QWidget> watch(owner);
    QTimer::singleShot(50, owner, [owner] { delete owner; });
    QCOMPARE(RunCheck("1.02", true, QMessageBox::Yes, owner), QString());
    QVERIFY(watch.isNull());
    QVERIFY(opened.isEmpty());
}

void UpdateCheckTest::questionEndedWithoutAnAnswer() {
    // The program's end closes the question with no button pressed: nothing is opened.
    UpdateServer server({{Head() + "1.01"}});
    server.Serve();
    ModalScript script;
    script
        .Then("the question, ended from outside",
              [] {
                  QMessageBox* box = CurrentBox();
                  if (box == nullptr || !box->isVisible()) {
                      return false;
                  }
                  box->done(0);
                  return true;
              })
        .Start();
    CUpdateCheck::CheckForUpdate(nullptr, "1.02", false);
    QVERIFY2(script.Failure().isEmpty(), qPrintable(script.Failure()));
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
        UpdateServer same({{Head() + "1.02"}}), newer({{Head() + "1.03"}});
        same.Serve();
        QCOMPARE(RunCheck("1.02", true, QMessageBox::Ok, nullptr, "update-newest" + suffix),
                 expected(IDS_CAPTION_INFORMATION, IDS_VERSION_NEWEST) + "|information|OK");
        newer.Serve();
        QCOMPARE(RunCheck("1.02", true, QMessageBox::No, nullptr, "update-new-found" + suffix),
                 expected(IDS_CAPTION_INFORMATION, IDS_VERSION_NEW_FOUND) + "|question|Yes No");
        ServeNobody();
        QVERIFY(RunCheck("1.02", true, QMessageBox::Ok, nullptr, "update-unavailable" + suffix)
                    .startsWith(expected(IDS_CAPTION_ERROR, IDS_VERSION_UNAVAILABLE) + "\n\n"));
    }
    CStringTable::Select(CStringTable::Language::English);
}

QTEST_MAIN(UpdateCheckTest)
#include "UpdateCheckTest.moc"

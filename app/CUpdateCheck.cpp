#include "CUpdateCheck.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMessageBox>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QTimer>
#include <utility>

#include "StringIds.h"
#include "WindowTexts.h"

namespace {

constexpr const char* kMakerServer = "http://www.orbelle.example";
// The body is taken in pieces of this size, and Qt holds no more than this ahead of us: a
// server that sends without end costs one piece, not its whole body.
constexpr qint64 kPieceSize = 1024;

int timeoutMs = 10000;
CUpdateCheck::PageOpener pageOpener;
// Set while an exchange runs: its loop still runs timers, and none of them may start another.
bool exchanging = false;

// The proxies the system is set up with, for this manager only: the rest of the program keeps
// Qt's default.
class SystemProxies : public QNetworkProxyFactory {
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& query) override {
        return systemProxyForQuery(query);
    }
};

// The wait cursor for one exchange, taken back however the exchange ends.
class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

class ExchangeFlag {
public:
    ExchangeFlag() { exchanging = true; }
    ~ExchangeFlag() { exchanging = false; }
    ExchangeFlag(const ExchangeFlag&) = delete;
    ExchangeFlag& operator=(const ExchangeFlag&) = delete;
};

QUrl OnServer(const char* path) {
    QUrl url = CUpdateCheck::BaseUrl();
    url.setPath(QString::fromLatin1(path));
    return url;
}

// Qt turns an HTTP status of 400 and above into an error of its own; the answer came all the
// same, and its body is the reply whatever the status says.
bool OnlyTheStatus(const QNetworkReply& answer) {
    if (!answer.attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid()) {
        return false;
    }
    const QNetworkReply::NetworkError error = answer.error();
    return (error >= QNetworkReply::ContentAccessDenied &&
            error <= QNetworkReply::UnknownContentError) ||
           error == QNetworkReply::ProtocolInvalidOperationError ||
           (error >= QNetworkReply::InternalServerError &&
            error <= QNetworkReply::UnknownServerError);
}

void ShowBox(QWidget* owner, QMessageBox::Icon icon, int captionId, const QString& text) {
    QMessageBox box(icon, WindowTexts::String(captionId), text, QMessageBox::Ok, owner);
    box.exec();
}

}  // namespace

bool CUpdateCheck::FetchVersionReply(std::string& reply, int limit, QString* networkError) {
    reply.clear();
    if (networkError != nullptr) {
        networkError->clear();
    }
    if (exchanging) {
        return false;
    }
    const ExchangeFlag flag;
    const WaitCursor wait;

    QNetworkAccessManager manager;
    manager.setProxyFactory(new SystemProxies);
    QNetworkRequest request(OnServer(kQueryPath));
    request.setRawHeader("Accept", "text/*");
    request.setRawHeader("User-Agent", "ReRA Windows client");
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    // The manager has no cache, so nothing is served from one; saying so in the request would
    // add header fields of its own.
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);

    QNetworkReply* answer = manager.get(request);
    answer->setReadBufferSize(kPieceSize);
    qint64 total = 0;
    bool tooLong = false;
    bool timedOut = false;
    auto takeBody = [&] {
        while (!tooLong && answer->bytesAvailable() > 0) {
            const QByteArray piece = answer->read(kPieceSize);
            total += piece.size();
            if (total >= limit) {
                // The reply could not hold it: nothing of it is kept, and no more is read.
                tooLong = true;
                reply.clear();
                answer->abort();
                return;
            }
            reply.append(piece.constData(), static_cast<size_t>(piece.size()));
        }
    };
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(answer, &QNetworkReply::readyRead, answer, takeBody);
    QObject::connect(answer, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(&deadline, &QTimer::timeout, answer, [&] {
        timedOut = true;
        answer->abort();
    });
    deadline.start(timeoutMs);
    if (!answer->isFinished()) {
        // The caller waits, as for any blocking call: timers and repaints go on, but the user's
        // clicks and keys wait until the exchange is over.
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    deadline.stop();
    // The loop also ends when the program is told to end (SIGTERM): an exchange cut short is
    // no answer, whatever part of the body came.
    const bool cutShort = !answer->isFinished();
    if (cutShort) {
        QObject::disconnect(answer, &QNetworkReply::readyRead, nullptr, nullptr);
        answer->abort();
    } else {
        takeBody();
    }

    bool fetched = !tooLong && !cutShort;
    if (timedOut) {
        fetched = false;
        if (networkError != nullptr) {
            // Qt's own words for a network operation that timed out, in its translations.
            *networkError =
                QCoreApplication::translate("QAbstractSocket", "Socket operation timed out");
        }
    } else if (!tooLong && !cutShort && answer->error() != QNetworkReply::NoError &&
               !OnlyTheStatus(*answer)) {
        fetched = false;
        if (networkError != nullptr) {
            *networkError = answer->errorString();
        }
    }
    if (!fetched) {
        reply.clear();
    }
    // The lambdas above refer to this function's variables: the answer goes before they do.
    QObject::disconnect(answer, nullptr, nullptr, nullptr);
    delete answer;
    return fetched;
}

void CUpdateCheck::CheckForUpdate(QWidget* owner, const std::string& localVersion, bool verbose) {
    if (exchanging) {
        // A check already waits for the server, and it will say what it finds.
        return;
    }
    const QPointer<QWidget> ownerAlive(owner);
    std::string remote;
    QString networkError;
    const bool fetched = FetchVersionReply(remote, kReplyLimit, &networkError);
    if (owner != nullptr && ownerAlive.isNull()) {
        // The window closed while the server was asked: nobody is left to tell.
        return;
    }

    if (fetched && !remote.empty() && remote != "error" && !localVersion.empty()) {
        if (remote == localVersion) {
            if (verbose) {
                ShowBox(owner, QMessageBox::Information, IDS_CAPTION_INFORMATION,
                        WindowTexts::String(IDS_VERSION_NEWEST));
            }
            return;
        }
        QMessageBox question(QMessageBox::Question, WindowTexts::String(IDS_CAPTION_INFORMATION),
                             WindowTexts::String(IDS_VERSION_NEW_FOUND),
                             QMessageBox::Yes | QMessageBox::No, owner);
        question.setDefaultButton(QMessageBox::Yes);
        // Only Yes opens the page: a box ended by the program's end answers nothing.
        if (question.exec() == QMessageBox::Yes) {
            const QUrl page = OnServer(kDownloadPath);
            if (pageOpener) {
                pageOpener(page);
            } else {
                QDesktopServices::openUrl(page);
            }
        }
        return;
    }

    if (verbose) {
        QString text = WindowTexts::String(IDS_VERSION_UNAVAILABLE);
        if (!networkError.isEmpty()) {
            text += QStringLiteral("\n\n") + networkError;
        }
        ShowBox(owner, QMessageBox::NoIcon, IDS_CAPTION_ERROR, text);
    }
}

QUrl CUpdateCheck::BaseUrl() {
    const QString wanted = qEnvironmentVariable("ZANVO_UPDATE_URL");
    if (!wanted.isEmpty()) {
        const QUrl given(wanted, QUrl::StrictMode);
        const QString scheme = given.scheme().toLower();
        if (given.isValid() && !given.host().isEmpty() &&
            (scheme == QLatin1String("http") || scheme == QLatin1String("https"))) {
            QUrl base;
            base.setScheme(scheme);
            base.setHost(given.host());
            base.setPort(given.port());
            return base;
        }
    }
    return QUrl(QString::fromLatin1(kMakerServer));
}

void CUpdateCheck::SetTimeoutMs(int timeoutMs_) {
    timeoutMs = timeoutMs_;
}

void CUpdateCheck::SetPageOpener(PageOpener opener) {
    pageOpener = std::move(opener);
}

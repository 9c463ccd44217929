#pragma once

#include <QString>
#include <QUrl>
#include <functional>
#include <string>

class QWidget;

// Asks the maker's update server for the current version and offers the download page when it
// differs from the program's own. One blocking exchange, the wait cursor shown meanwhile.
class CUpdateCheck {
public:
    // The reply buffer's size: a reply must be shorter.
    static constexpr int kReplyLimit = 10;
    static constexpr const char* kQueryPath = "/Zanvo/Chkver/ZanvoVer.php";
    static constexpr const char* kDownloadPath = "/Zanvo/Zanvo.php";

    using PageOpener = std::function<void(const QUrl&)>;

    // GETs the version query into reply. False, with the network's own error text in
    // networkError, when the exchange failed or the server gave no answer in time; a body of
    // limit bytes or more is a failed fetch too (the reply then empty). The HTTP status does not
    // count: the body of any answer is the reply. A call while an exchange runs fails at once.
    static bool FetchVersionReply(std::string& reply, int limit, QString* networkError = nullptr);
    // The silent (verbose false) or verbose check, its boxes owned by owner. Does nothing while
    // another check waits for the server.
    static void CheckForUpdate(QWidget* owner, const std::string& localVersion, bool verbose);

    // Scheme, host and port of the server: those of ZANVO_UPDATE_URL when it names an http or
    // https server (read at each call), else the maker's.
    static QUrl BaseUrl();
    // How long a fetch waits for the server at most.
    static void SetTimeoutMs(int timeoutMs);
    // nullptr restores the desktop's opener. Tests replace it so that no browser starts.
    static void SetPageOpener(PageOpener opener);
};

#pragma once

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QRect>
#include <QString>
#include <QWidget>
#include <array>

// The picture shown in the middle of the screen while the program starts, with the program's
// version and legal notice on it. It closes by itself when its timer fires, and only then.
class CSplashWindow : public QWidget {
    Q_OBJECT

public:
    // The lines the picture can carry, in the order SetSplashLines takes them.
    enum Line { kCompanyLine = 0, kLegalLine = 1, kVersionLine = 2, kProductLine = 3 };

    // Set once at start-up: false when the command line asks for no splash.
    static void AllowSplash(bool allowed);
    // The lines the picture carries: company, legal notice, version, product. Until called, the
    // legal notice and the version.
    static void SetSplashLines(bool company, bool legalNotice, bool version, bool product);
    // Opens the splash of picture bitmapId for intervalMs over parent. False when splashes are
    // not allowed, one is already open, or the picture cannot be loaded.
    static bool OpenSplash(int intervalMs, int bitmapId, QWidget* parent);
    static void CloseSplash();
    // The open splash, or nullptr.
    static CSplashWindow* Current();

    ~CSplashWindow() override;

    // Where a line is drawn in the window as it is now; a null rectangle for a line not drawn.
    QRect LineRect(Line line) const;
    QString LineText(Line line) const;
    // Replaces the text of a line (they come from the program's version block) and lays the
    // window out again: a text too wide for the picture widens the window.
    void SetLineText(Line line, const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    // Neither clicks nor keys nor a close request end the splash: only its timer does.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    explicit CSplashWindow(QWidget* parent);

    bool Drawn(Line line) const;
    // The window's size for the picture and the drawn texts, then centred again.
    void LayOut();
    // Over its owner when the owner shows, otherwise in the middle of the screen.
    void Centre();
    void NameForScreenReaders();

    QPixmap picture;
    QSize pictureSize;
    QColor textColour = Qt::black;
    std::array<QString, 4> texts;
    std::array<QFont, 4> fonts;
    int windowWidth = 0;
    int windowHeight = 0;
    int timerId = 0;
    bool closing = false;
};

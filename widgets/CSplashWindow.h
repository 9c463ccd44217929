#pragma once

#include <QWidget>

// The picture shown in the middle of the screen while the program starts, with the program's
// version and legal notice on it. It closes by itself when its timer fires, and only then.
class CSplashWindow : public QWidget {
    Q_OBJECT

public:
    // Set once at start-up: false when the command line asks for no splash.
    static void AllowSplash(bool allowed);
    // The lines the picture carries: company, legal notice, version, product.
    static void SetSplashLines(bool company, bool legalNotice, bool version, bool product);
    // Opens the splash of picture bitmapId for intervalMs over parent. False when splashes are
    // not allowed, one is already open, or the picture cannot be loaded.
    static bool OpenSplash(int intervalMs, int bitmapId, QWidget* parent);
    static void CloseSplash();
    // The open splash, or nullptr.
    static CSplashWindow* Current();

    ~CSplashWindow() override;

private:
    explicit CSplashWindow(QWidget* parent);
};

#include "CSplashWindow.h"

#include <QCloseEvent>
#include <QFile>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStringList>
#include <QSvgRenderer>
#include <QTimerEvent>
#include <algorithm>

#include "CDialogTexts.h"
#include "CVersionInfo.h"
#include "DialogIds.h"
#include "SvgPixmap.h"

namespace {

bool splashAllowed = false;
// The main window's choice: the legal notice and the version.
std::array<bool, 4> lineSwitches = {false, true, true, false};
CSplashWindow* current = nullptr;

QFont LineFont(int pixelHeight, QFont::Weight weight, bool italicUnderlined) {
    // Where Arial is missing, the system's substitute for it: a proportional sans serif.
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif, QFont::PreferQuality);
    font.setPixelSize(pixelHeight);
    font.setWeight(weight);
    font.setItalic(italicUnderlined);
    font.setUnderline(italicUnderlined);
    return font;
}

// :/bitmaps/<id>.png, or the drawing :/bitmaps/<id>.svg rendered at its own size.
QPixmap LoadPicture(int bitmapId, qreal ratio) {
    const QString base = QStringLiteral(":/bitmaps/%1").arg(bitmapId);
    if (QFile::exists(base + QStringLiteral(".png"))) {
        return QPixmap(base + QStringLiteral(".png"));
    }
    const QString svg = base + QStringLiteral(".svg");
    if (!QFile::exists(svg)) {
        return {};
    }
    QSvgRenderer drawing(svg);
    if (!drawing.isValid() || drawing.defaultSize().isEmpty()) {
        return {};
    }
    return SvgPixmap::Render(drawing, drawing.defaultSize(), ratio);
}

QString VersionText(const std::string& productVersion) {
    const QString word = QString::fromStdString(CDialogTexts::Load(IDD_ABOUT, IDC_ABOUT_VERSION));
    return word + QLatin1Char(' ') +
           QString::fromStdString(productVersion).replace(QLatin1Char(','), QLatin1Char('.'));
}

}  // namespace

void CSplashWindow::AllowSplash(bool allowed) {
    splashAllowed = allowed;
}

void CSplashWindow::SetSplashLines(bool company, bool legalNotice, bool version, bool product) {
    lineSwitches = {company, legalNotice, version, product};
}

bool CSplashWindow::OpenSplash(int intervalMs, int bitmapId, QWidget* parent) {
    if (!splashAllowed || current != nullptr) {
        return false;
    }
    auto* splash = new CSplashWindow(parent);
    splash->picture = LoadPicture(
        bitmapId, parent != nullptr ? parent->devicePixelRatioF() : qApp->devicePixelRatio());
    if (splash->picture.isNull()) {
        delete splash;
        return false;
    }
    current = splash;
    splash->pictureSize = splash->picture.deviceIndependentSize().toSize();
    splash->LayOut();
    splash->show();
    splash->timerId = splash->startTimer(std::max(intervalMs, 0));
    return true;
}

void CSplashWindow::CloseSplash() {
    CSplashWindow* splash = current;
    if (splash == nullptr) {
        return;
    }
    // Gone for OpenSplash at once; the object itself goes once its events are handled.
    current = nullptr;
    splash->closing = true;
    splash->close();
    QWidget* owner = splash->parentWidget();
    splash->deleteLater();
    if (owner != nullptr && owner->isVisible()) {
        owner->repaint();
    }
}

CSplashWindow* CSplashWindow::Current() {
    return current;
}

CSplashWindow::CSplashWindow(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("splashWindow"));
    setCursor(Qt::ArrowCursor);
    // The picture covers every pixel: nothing to erase first.
    setAttribute(Qt::WA_OpaquePaintEvent);

    CVersionInfo info;
    if (info.Load(CVersionInfo::ProgramPath())) {
        auto text = [&info](const char* name) {
            return QString::fromStdString(info.GetString(name));
        };
        texts[kLegalLine] = text("LegalCopyright");
        texts[kCompanyLine] = text("CompanyName");
        texts[kProductLine] = text("ProductName");
        texts[kVersionLine] = VersionText(info.GetString("ProductVersion"));
    }
    fonts[kCompanyLine] = LineFont(80, QFont::Black, true);
    fonts[kProductLine] = LineFont(60, QFont::Black, false);
    fonts[kVersionLine] = LineFont(14, QFont::Normal, false);
    fonts[kLegalLine] = LineFont(14, QFont::Normal, false);
    NameForScreenReaders();
}

CSplashWindow::~CSplashWindow() {
    if (current == this) {
        current = nullptr;
    }
}

bool CSplashWindow::Drawn(Line line) const {
    return lineSwitches[line];
}

QRect CSplashWindow::LineRect(Line line) const {
    if (!Drawn(line)) {
        return {};
    }
    const QFontMetrics metrics(fonts[line]);
    const int tw = metrics.horizontalAdvance(texts[line]);
    const int th = metrics.height();
    const int w = width();
    const int h = height();
    switch (line) {
        case kProductLine:
            return {w / 2 - tw / 2, h - th - 5, tw, th};
        case kCompanyLine:
            return {w / 2 - tw / 2, 5, tw, th};
        case kVersionLine:
            return {10, h - th - 10, tw, th};
        case kLegalLine:
            return {w - tw - 5, h - th - 10, tw, th};
    }
    return {};
}

QString CSplashWindow::LineText(Line line) const {
    return texts[line];
}

void CSplashWindow::SetLineText(Line line, const QString& text) {
    texts[line] = text;
    NameForScreenReaders();
    LayOut();
    update();
}

void CSplashWindow::LayOut() {
    if (windowWidth < pictureSize.width()) {
        windowWidth = pictureSize.width();
        windowHeight = pictureSize.height();
    }
    int widest = 0;
    int tallest = 0;
    for (int line = kCompanyLine; line <= kProductLine; ++line) {
        if (Drawn(Line(line))) {
            const QFontMetrics metrics(fonts[line]);
            widest = std::max(widest, metrics.horizontalAdvance(texts[line]));
            tallest = std::max(tallest, metrics.height());
        }
    }
    // Room for every text, never smaller than the window already is.
    if (windowWidth < widest || windowHeight < tallest) {
        windowWidth = std::max(windowWidth, widest + 50);
        windowHeight = std::max(windowHeight, 2 * tallest);
    }
    resize(windowWidth, windowHeight);
    Centre();
}

void CSplashWindow::Centre() {
    QWidget* owner = parentWidget();
    QRect area;
    if (owner != nullptr && owner->isVisible()) {
        area = owner->frameGeometry();
    } else {
        QScreen* screen = owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen();
        if (screen == nullptr) {
            return;
        }
        area = screen->availableGeometry();
    }
    QRect frame(QPoint(0, 0), size());
    frame.moveCenter(area.center());
    move(frame.topLeft());
}

void CSplashWindow::NameForScreenReaders() {
    QStringList lines;
    for (Line line : {kCompanyLine, kProductLine, kVersionLine, kLegalLine}) {
        if (Drawn(line) && !texts[line].isEmpty()) {
            lines << texts[line];
        }
    }
    setAccessibleName(lines.join(QLatin1Char('\n')));
}

void CSplashWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(rect(), picture);
    painter.setPen(textColour);
    for (int line = kCompanyLine; line <= kProductLine; ++line) {
        const QRect place = LineRect(Line(line));
        if (!place.isNull()) {
            painter.setFont(fonts[line]);
            // An italic text leans out of its advance: let it.
            painter.drawText(place,
                             Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip,
                             texts[line]);
        }
    }
}

void CSplashWindow::timerEvent(QTimerEvent* event) {
    if (event->timerId() == timerId) {
        killTimer(timerId);
        timerId = 0;
        if (current == this) {
            CloseSplash();
        }
    }
}

void CSplashWindow::mousePressEvent(QMouseEvent* event) {
    event->accept();
}

void CSplashWindow::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
}

void CSplashWindow::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
}

void CSplashWindow::keyPressEvent(QKeyEvent* event) {
    event->accept();
}

void CSplashWindow::closeEvent(QCloseEvent* event) {
    if (closing) {
        event->accept();
    } else {
        event->ignore();
    }
}

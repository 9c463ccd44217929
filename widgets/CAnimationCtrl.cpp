#include "CAnimationCtrl.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QDir>
#include <QPainter>
#include <QSvgRenderer>

namespace {

QAccessibleInterface* AccessibleAnimation(const QString& className, QObject* object) {
    if (className == QLatin1String("CAnimationCtrl") && object && object->isWidgetType()) {
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Animation);
    }
    return nullptr;
}

}  // namespace

CAnimationCtrl::CAnimationCtrl(QWidget* parent) : QWidget(parent) {
    static const bool accessibleInstalled = [] {
        QAccessible::installFactory(AccessibleAnimation);
        return true;
    }();
    (void)accessibleInstalled;
    timer.setInterval(kFrameMilliseconds);
    connect(&timer, &QTimer::timeout, this, &CAnimationCtrl::Advance);
}

CAnimationCtrl::~CAnimationCtrl() = default;

bool CAnimationCtrl::Open(int clipId) {
    Close();
    const QDir clip(QStringLiteral(":/anim/%1").arg(clipId));
    const QStringList names = clip.entryList({QStringLiteral("*.svg")}, QDir::Files, QDir::Name);
    for (const QString& name : names) {
        auto frame = std::make_unique<QSvgRenderer>(clip.filePath(name));
        if (frame->isValid()) {
            frames.push_back(std::move(frame));
        }
    }
    if (frames.empty()) {
        return false;
    }
    if (frameSize != frames.front()->defaultSize()) {
        frameSize = frames.front()->defaultSize();
        updateGeometry();
    }
    timer.start();
    update();
    return true;
}

void CAnimationCtrl::Stop() {
    timer.stop();
}

void CAnimationCtrl::Close() {
    timer.stop();
    frames.clear();
    current = 0;
    update();
}

bool CAnimationCtrl::IsPlaying() const {
    return timer.isActive();
}

int CAnimationCtrl::FrameCount() const {
    return static_cast<int>(frames.size());
}

int CAnimationCtrl::CurrentFrame() const {
    return current;
}

QSize CAnimationCtrl::sizeHint() const {
    return frameSize.isValid() ? frameSize : QWidget::sizeHint();
}

void CAnimationCtrl::paintEvent(QPaintEvent*) {
    if (frames.empty()) {
        return;
    }
    QSvgRenderer& frame = *frames[static_cast<size_t>(current)];
    // Centred at the frame's own size; scaled down, never up, when the control is smaller.
    QSizeF shown = frame.defaultSize();
    if (shown.width() > width() || shown.height() > height()) {
        shown.scale(size(), Qt::KeepAspectRatio);
    }
    const QSize whole = shown.toSize();
    QPainter painter(this);
    frame.render(
        &painter,
        QRectF(QPointF((width() - whole.width()) / 2, (height() - whole.height()) / 2), shown));
}

void CAnimationCtrl::Advance() {
    if (frames.empty()) {
        return;
    }
    current = (current + 1) % static_cast<int>(frames.size());
    update();
}

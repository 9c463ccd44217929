#include "CImageButton.h"

#include <QDesktopServices>
#include <QEnterEvent>
#include <QFile>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QSvgRenderer>
#include <algorithm>
#include <utility>

#include "CDialogTexts.h"
#include "CStringTable.h"
#include "SvgPixmap.h"

namespace {

CImageButton::LinkOpener& Opener() {
    static CImageButton::LinkOpener opener;
    return opener;
}

QPixmap RenderSvg(const QString& path, QSize size, qreal ratio) {
    QSvgRenderer renderer(path);
    renderer.setAspectRatioMode(Qt::KeepAspectRatio);
    return SvgPixmap::Render(renderer, size, ratio);
}

// One-pixel lines: top and left in one colour, then bottom and right in the other, which thus
// owns the bottom-left and top-right corners.
void DrawEdge(QPainter& painter, const QRect& r, const QColor& topLeft, const QColor& bottomRight) {
    painter.fillRect(QRect(r.left(), r.top(), r.width(), 1), topLeft);
    painter.fillRect(QRect(r.left(), r.top(), 1, r.height()), topLeft);
    painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
    painter.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
}

// Space between the caption and the button's edges, in pixels.
constexpr int kCaptionPadX = 6;
constexpr int kCaptionPadY = 4;

}  // namespace

CImageButton::CImageButton(QWidget* parent) : QPushButton(parent) {
    setFlat(true);
    // Hover follows every mouse move over the button, as it does when tracking starts with one.
    setMouseTracking(true);
    // Connected before any parent's handler can be, so the focus moves and the link opens first.
    connect(this, &QAbstractButton::clicked, this, &CImageButton::OnClicked);
}

CImageButton::~CImageButton() = default;

void CImageButton::SetIconResource(int iconId) {
    const QString path = QStringLiteral(":/icons/%1.svg").arg(iconId);
    if (QFile::exists(path) && QSvgRenderer(path).isValid()) {
        iconPath = path;
        iconSize = QSize(kIconSize, kIconSize);
        iconPixmap = RenderSvg(iconPath, iconSize, devicePixelRatioF());
    } else {
        iconPath.clear();
        iconSize = QSize();
        iconPixmap = QPixmap();
    }
    updateGeometry();
    update();
}

QSize CImageButton::IconSize() const {
    return iconSize;
}

void CImageButton::UseBalloonTips() {
    balloonTips = true;
}

bool CImageButton::UsesBalloonTips() const {
    return balloonTips;
}

void CImageButton::SetTipText(int stringId, bool activate) {
    QString tip = QString::fromStdString(CStringTable::Load(stringId));
    if (tip.isEmpty()) {
        return;
    }
    // A plain-text tooltip breaks its lines at '\n'; a '\r' would show as a glyph.
    tip.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    tip.replace(u'\r', u'\n');
    tipActive = activate;
    setToolTip(tip);  // the ToolTipChange event renames the button
}

bool CImageButton::TipActive() const {
    return tipActive;
}

int CImageButton::SetLayout(int value, bool redraw) {
    if (value < kImageLeft || value > kImageOverlap) {
        return kBadArrangement;
    }
    arrangement = value;
    updateGeometry();
    if (redraw) {
        update();
    }
    return 0;
}

int CImageButton::Layout() const {
    return arrangement;
}

void CImageButton::SetLink(const std::string& url) {
    size_t keep = std::min(url.size(), kMaxLinkBytes);
    // The byte after the cut continuing a character means that character starts before it.
    while (keep > 0 && keep < url.size() &&
           (static_cast<unsigned char>(url[keep]) & 0xC0) == 0x80) {
        --keep;
    }
    link.assign(url, 0, keep);
}

const std::string& CImageButton::Link() const {
    return link;
}

void CImageButton::SetLinkOpener(LinkOpener opener) {
    Opener() = std::move(opener);
}

void CImageButton::FitToIcon() {
    if (iconSize.isEmpty()) {
        return;
    }
    imageMargin = QPoint(0, 0);
    resize(iconSize);
    updateGeometry();
}

void CImageButton::SetDrawEdge(bool on) {
    drawEdge = on;
    update();
}

void CImageButton::SetFocusInFlat(bool on) {
    focusInFlat = on;
    update();
}

bool CImageButton::IsHovering() const {
    return hovering;
}

QSize CImageButton::sizeHint() const {
    const QSize caption =
        text().isEmpty() ? QSize() : fontMetrics().size(Qt::TextShowMnemonic, text());
    const QSize padded =
        caption.isEmpty() ? QSize() : caption + QSize(2 * kCaptionPadX, 2 * kCaptionPadY);
    if (iconSize.isEmpty()) {
        return padded.isEmpty() ? QSize(2 * kCaptionPadX, fontMetrics().height()) : padded;
    }
    const QSize image = iconSize + QSize(2 * imageMargin.x(), 2 * imageMargin.y());
    if (padded.isEmpty()) {
        return image;
    }
    switch (arrangement) {
        case kImageLeft:
        case kImageRight:
            return QSize(image.width() + padded.width(), std::max(image.height(), padded.height()));
        case kImageAbove:
            // The caption's box starts right under the icon, not under its margin.
            return QSize(std::max(image.width(), padded.width()),
                         imageMargin.y() + iconSize.height() +
                             std::max(padded.height(), caption.height() + 2 * imageMargin.y()));
        default:
            return image.expandedTo(padded);
    }
}

QSize CImageButton::minimumSizeHint() const {
    return sizeHint();
}

bool CImageButton::event(QEvent* event) {
    switch (event->type()) {
        case QEvent::ToolTip:
            if (!tipActive) {
                event->ignore();
                return true;
            }
            break;
        case QEvent::WindowDeactivate:  // what the children of a window hear of it
            SetHovering(false);
            break;
        case QEvent::ToolTipChange:
        case QEvent::Polish:
        case QEvent::Show:
            UpdateAccessibleName();
            break;
        default:
            break;
    }
    return QPushButton::event(event);
}

void CImageButton::paintEvent(QPaintEvent*) {
    // QAbstractButton::setText tells nobody; every new caption is painted, so it is caught here.
    UpdateAccessibleName();

    QPainter painter(this);
    const QPalette& colours = palette();
    const bool pressed = isDown();
    const bool focused = hasFocus();
    const bool disabled = !isEnabled();
    const bool flat = isFlat();

    QRect r = rect();
    if (!flat && (focused || isDefault())) {
        DrawEdge(painter, r, Qt::black, Qt::black);
        r.adjust(1, 1, -1, -1);
    }
    // The hot, focus and rest looks all take the palette's button colours.
    painter.fillRect(r, colours.color(QPalette::Button));

    if (pressed) {
        if (!flat) {
            DrawEdge(painter, r, colours.color(QPalette::Dark), colours.color(QPalette::Dark));
        } else if (drawEdge) {
            DrawEdge(painter, r, colours.color(QPalette::Dark), colours.color(QPalette::Light));
        }
    } else if (!flat) {
        DrawEdge(painter, r, colours.color(QPalette::Light), colours.color(QPalette::Shadow));
        DrawEdge(painter, r.adjusted(1, 1, -1, -1), colours.color(QPalette::Midlight),
                 colours.color(QPalette::Dark));
    } else if (hovering && drawEdge) {
        DrawEdge(painter, r, colours.color(QPalette::Light), colours.color(QPalette::Dark));
    }

    const QString caption = text();
    QRect captionRect = r;
    if (!iconSize.isEmpty()) {
        const int iw = iconSize.width();
        const int ih = iconSize.height();
        const QPoint centred(r.left() + (r.width() - iw) / 2, r.top() + (r.height() - ih) / 2);
        QPoint at = centred;
        if (arrangement == kImageOverlap) {
            at = r.topLeft();
        } else if (!caption.isEmpty()) {
            switch (arrangement) {
                case kImageLeft:
                    at.setX(r.left() + imageMargin.x());
                    captionRect.setLeft(captionRect.left() + imageMargin.x() + iw);
                    break;
                case kImageAbove:
                    at.setY(r.top() + imageMargin.y());
                    captionRect.setTop(captionRect.top() + ih);
                    break;
                case kImageRight:
                    at.setX(width() - imageMargin.x() - iw);
                    captionRect.setLeft(imageMargin.x());
                    captionRect.setRight(at.x() - 1);
                    break;
            }
        } else if (arrangement == kImageRight) {
            at.setY(r.top());
        }
        if (pressed) {
            at += pressedOffset;
        }
        const QPixmap& image = IconPixmap();
        if (disabled) {
            QStyleOption option;
            option.initFrom(this);
            painter.drawPixmap(at, style()->generatedIconPixmap(QIcon::Disabled, image, &option));
        } else {
            painter.drawPixmap(at, image);
        }
    }

    if (!caption.isEmpty()) {
        if (pressed) {
            captionRect.translate(pressedOffset);
        }
        const int flags = Qt::AlignCenter | Qt::TextWordWrap |
                          (style()->styleHint(QStyle::SH_UnderlineShortcut, nullptr, this)
                               ? Qt::TextShowMnemonic
                               : Qt::TextHideMnemonic);
        if (disabled) {
            // The embossed look takes the normal edge colours: the disabled ones are too pale
            // to read.
            painter.setPen(colours.color(QPalette::Active, QPalette::Light));
            painter.drawText(captionRect.translated(1, 1), flags, caption);
            painter.setPen(colours.color(QPalette::Active, QPalette::Dark));
        } else {
            painter.setPen(colours.color(QPalette::ButtonText));
        }
        painter.drawText(captionRect, flags, caption);
    }

    if (focused && (!flat || focusInFlat)) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(3, 3, -3, -3);
        option.backgroundColor = colours.color(QPalette::Button);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

void CImageButton::enterEvent(QEnterEvent* event) {
    QPushButton::enterEvent(event);
    // A drag that started elsewhere does not light the button.
    if (!(QGuiApplication::mouseButtons() & Qt::LeftButton)) {
        SetHovering(true);
    }
}

void CImageButton::leaveEvent(QEvent* event) {
    QPushButton::leaveEvent(event);
    SetHovering(false);
}

void CImageButton::mouseMoveEvent(QMouseEvent* event) {
    QPushButton::mouseMoveEvent(event);
    if (!rect().contains(event->position().toPoint())) {
        SetHovering(false);
    } else if (!(event->buttons() & Qt::LeftButton)) {
        SetHovering(true);
    }
}

void CImageButton::focusOutEvent(QFocusEvent* event) {
    QPushButton::focusOutEvent(event);
    SetHovering(false);
}

void CImageButton::changeEvent(QEvent* event) {
    QPushButton::changeEvent(event);
    if (event->type() == QEvent::EnabledChange && !isEnabled()) {
        SetHovering(false);
    }
}

void CImageButton::SetHovering(bool on) {
    // Only the flat look shows hover, and a disabled button takes no mouse.
    if (on && (!isFlat() || !isEnabled())) {
        return;
    }
    if (hovering != on) {
        hovering = on;
        update();
    }
}

void CImageButton::OnClicked() {
    setFocus(Qt::MouseFocusReason);
    if (link.empty()) {
        return;
    }
    const QUrl url(QString::fromStdString(link), QUrl::TolerantMode);
    // Only an address with a scheme: anything else would be taken for a local file.
    if (!url.isValid() || url.scheme().isEmpty()) {
        return;
    }
    if (Opener()) {
        Opener()(url);
    } else {
        QDesktopServices::openUrl(url);
    }
}

void CImageButton::UpdateAccessibleName() {
    const QString caption = text();
    const QString name =
        caption.isEmpty()
            ? toolTip().simplified()
            : QString::fromStdString(CDialogTexts::WithoutMnemonic(caption.toStdString()));
    if (accessibleName() != name) {
        setAccessibleName(name);
    }
}

const QPixmap& CImageButton::IconPixmap() {
    if (!iconPath.isEmpty() && iconPixmap.devicePixelRatio() != devicePixelRatioF()) {
        iconPixmap = RenderSvg(iconPath, iconSize, devicePixelRatioF());
    }
    return iconPixmap;
}

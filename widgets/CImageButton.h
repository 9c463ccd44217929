#pragma once

#include <QPixmap>
#include <QPoint>
#include <QPushButton>
#include <QSize>
#include <QString>
#include <QUrl>
#include <functional>
#include <string>

// The push button behind every command of the program. It paints its whole face itself: a flat
// face with an icon beside, above or under its caption, a thin raised edge while the mouse is
// over it and a sunken one while it is pressed. One button carries a web address that a click
// opens.
//
// The button names itself for assistive tools: by its caption without the '&' of the shortcut,
// or, without a caption, by its tooltip on one line.
class CImageButton : public QPushButton {
    Q_OBJECT

public:
    // Where the icon sits against the caption.
    enum Arrangement { kImageLeft = 0, kImageAbove = 1, kImageRight = 2, kImageOverlap = 3 };
    // What SetLayout returns for an arrangement it refuses.
    static constexpr int kBadArrangement = 4;
    // Icons are drawn at the size a desktop gives an icon by default.
    static constexpr int kIconSize = 32;
    // The longest link kept, in bytes.
    static constexpr size_t kMaxLinkBytes = 259;

    // Opens a web address. Tests replace it so that no browser starts.
    using LinkOpener = std::function<void(const QUrl&)>;

    explicit CImageButton(QWidget* parent = nullptr);
    ~CImageButton() override;

    // Loads :/icons/<iconId>.svg at kIconSize, drawn sharp at the screen's pixel ratio. An id
    // without an icon leaves the button without one.
    void SetIconResource(int iconId);
    // The icon's size in logical pixels; empty without an icon.
    QSize IconSize() const;

    // Records the balloon style of the tooltips. Qt's tooltips have one style, so the flag is
    // only reported back.
    void UseBalloonTips();
    bool UsesBalloonTips() const;
    // Sets the tooltip to the text stringId; line breaks of the text show as separate lines. An
    // empty text changes nothing. With activate false the tooltip keeps its text but does not
    // show.
    void SetTipText(int stringId, bool activate = true);
    bool TipActive() const;

    // Accepts an Arrangement and returns 0; any other value returns kBadArrangement and keeps
    // the arrangement.
    int SetLayout(int arrangement, bool redraw = true);
    int Layout() const;

    // Keeps at most kMaxLinkBytes of the UTF-8 text, never half a character; empty: no link.
    void SetLink(const std::string& url);
    const std::string& Link() const;
    // nullptr restores the desktop's opener.
    static void SetLinkOpener(LinkOpener opener);

    // With an icon: no margins around it and the button resized to it, in place.
    void FitToIcon();

    // The thin edge of the flat look (on at the start).
    void SetDrawEdge(bool on);
    // The focus rectangle in the flat look too (off at the start).
    void SetFocusInFlat(bool on);
    bool IsHovering() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void SetHovering(bool on);
    void OnClicked();
    void UpdateAccessibleName();
    // The icon at the current device pixel ratio, drawn again when the ratio changed.
    const QPixmap& IconPixmap();

    QString iconPath;
    QSize iconSize;
    QPixmap iconPixmap;
    QPoint imageMargin{3, 3};
    QPoint pressedOffset{1, 1};
    int arrangement = kImageLeft;
    bool hovering = false;
    bool drawEdge = true;
    bool focusInFlat = false;
    bool balloonTips = false;
    bool tipActive = true;
    std::string link;
};

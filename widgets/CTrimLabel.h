#pragma once

#include <QLabel>
#include <QString>

// A one-line label for texts that may be wider than the label, file paths above all. It shows
// as much of the text as fits, with an ellipsis where it was shortened; text() stays the whole
// text, and so does the name that assistive tools read. The text is plain: '&' is a character.
class CTrimLabel : public QLabel {
    Q_OBJECT

public:
    // pathEllipsis: shorten the middle and keep the last path component whole; otherwise cut
    // the end.
    explicit CTrimLabel(QWidget* parent = nullptr,
                        Qt::Alignment format = Qt::AlignLeft | Qt::AlignVCenter,
                        bool pathEllipsis = false);
    ~CTrimLabel() override;

    void SetPathEllipsis(bool on);
    bool PathEllipsis() const;
    // The same as setText, which shows the new text at once.
    void SetText(const QString& text);

    // What the label shows at its current width.
    QString DisplayedText() const;

    // Small, so that a long path does not widen its window.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool pathEllipsis;
};

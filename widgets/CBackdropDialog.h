#pragma once

#include <QDialog>
#include <QPixmap>
#include <QString>
#include <memory>

class QSvgRenderer;

// A dialog that paints a picture as its background: tiled from the top-left corner, centred,
// or stretched over the whole dialog. Without a picture it is a plain dialog.
class CBackdropDialog : public QDialog {
    Q_OBJECT

public:
    enum Mode { kTile = 0, kCentre = 1, kStretch = 2 };

    explicit CBackdropDialog(QWidget* parent = nullptr);
    ~CBackdropDialog() override;

    // Accepts a Mode; other values are ignored.
    void SetMode(int mode);
    int Mode() const;

    // Loads :/bitmaps/<bitmapId>.png, or .svg when there is no PNG. Returns 0 when loaded and
    // 1 when not, the picture then staying as it was.
    int SetPicture(int bitmapId);
    // The same for a picture in memory; a null pixmap is refused with 1.
    int SetPicture(const QPixmap& picture);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The picture at the current device pixel ratio, drawn again from the SVG when it changed.
    const QPixmap& Picture();

    QPixmap picture;
    // Set when the picture came from an SVG: it is stretched from the drawing, sharp at any size.
    std::unique_ptr<QSvgRenderer> drawing;
    int mode = kTile;
};

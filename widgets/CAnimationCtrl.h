#pragma once

#include <QSize>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <vector>

class QSvgRenderer;

// Plays a clip: the frames :/anim/<clipId>/*.svg in name order, over and over, centred on a
// see-through background. Assistive tools see an animation; its owner names it.
class CAnimationCtrl : public QWidget {
    Q_OBJECT

public:
    // About ten frames a second.
    static constexpr int kFrameMilliseconds = 100;

    explicit CAnimationCtrl(QWidget* parent = nullptr);
    ~CAnimationCtrl() override;

    // Loads the clip and plays it from its first frame; false, showing nothing, when the clip
    // has no frame.
    bool Open(int clipId);
    // Stops on the frame shown.
    void Stop();
    // Stops and shows nothing.
    void Close();

    bool IsPlaying() const;
    int FrameCount() const;
    int CurrentFrame() const;

    // The frames' own size, from the last clip opened.
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Advance();

    std::vector<std::unique_ptr<QSvgRenderer>> frames;
    QTimer timer;
    int current = 0;
    QSize frameSize;
};

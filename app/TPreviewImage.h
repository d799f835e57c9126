#pragma once

#include <QImage>
#include <QWidget>

// The preview: shows its picture unscaled from its top-left corner; where the picture does not
// reach, the parent shows through.
class TPreviewImage : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

    // The drawing surface; created at the control's size on first use.
    QImage& Canvas();
    const QImage& Picture() const { return m_picture; }
    void SetPicture(QImage picture);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_picture;
};

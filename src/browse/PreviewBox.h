#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

// The picture preview of the details panel. A picture is decoded only as large as
// the box shows it: the header gives the natural size, the decoder scales while
// reading, and EXIF orientation is applied.
class PreviewBox : public QWidget
{
    Q_OBJECT

public:
    explicit PreviewBox(QWidget *parent = nullptr);

    // Shows the file when it is a picture, clears the box otherwise. Returns
    // whether a picture is shown.
    bool loadPicture(const QString &path);
    void clear();

    bool hasPicture() const { return !m_picture.isNull(); }
    // The picture as decoded (already scaled down to the box when it was larger).
    const QImage &picture() const { return m_picture; }
    // Natural size of the shown picture, after orientation.
    QSize naturalSize() const { return m_naturalSize; }
    // Where DrawPreview puts the picture inside the box.
    QRect pictureRect() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_picture;
    QSize m_naturalSize;
};

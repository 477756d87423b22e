#pragma once

#include <QWidget>

// The invisible grab area between the tree and the file list. It reports the drag;
// the window decides where the panes go.
class SplitterBar : public QWidget
{
    Q_OBJECT

public:
    explicit SplitterBar(QWidget *parent = nullptr);

Q_SIGNALS:
    void dragStarted();
    void dragMoved(int xInBar);
    void dragFinished();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool m_dragging = false;
};

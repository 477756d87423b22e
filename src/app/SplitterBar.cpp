#include "SplitterBar.h"

#include <QMouseEvent>

SplitterBar::SplitterBar(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("imgSplitter"));
    setCursor(Qt::SplitHCursor);
}

void SplitterBar::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_dragging = true;
    Q_EMIT dragStarted();
}

void SplitterBar::mouseMoveEvent(QMouseEvent *event)
{
    if (m_dragging)
        Q_EMIT dragMoved(event->position().toPoint().x());
}

void SplitterBar::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_dragging || event->button() != Qt::LeftButton)
        return;
    m_dragging = false;
    Q_EMIT dragFinished();
}

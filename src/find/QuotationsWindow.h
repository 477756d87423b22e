#pragma once

#include <QDialog>
#include <QTimer>

class QLabel;

// frmEgg: one quotation after another, a new one every eight seconds, ending on our
// thank-you. quoteStep counts the ticks for the whole run of the program, so a
// window opened again carries on where the last one stopped.
class QuotationsWindow : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kTickMilliseconds = 8000;

    QuotationsWindow(qint16 &quoteStep, QWidget *parent = nullptr);

    // One tick of tmr1.
    void tick();
    QTimer &timer() { return m_timer; }

private:
    void showEntry(int entry);

    qint16 &m_quoteStep;
    QTimer m_timer;
    QLabel *m_title;
    QLabel *m_quote;
    QLabel *m_author;
};

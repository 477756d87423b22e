#include "QuotationsWindow.h"

#include "Quotations.h"

#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

QuotationsWindow::QuotationsWindow(qint16 &quoteStep, QWidget *parent)
    : QDialog(parent)
    , m_quoteStep(quoteStep)
{
    setObjectName(QStringLiteral("frmEgg"));
    setWindowTitle(QStringLiteral("You found the Easter Egg!"));
    setAttribute(Qt::WA_DeleteOnClose);

    m_title = new QLabel(QStringLiteral("Quotes"));
    m_title->setObjectName(QStringLiteral("lblQuoteTitle"));
    QFont heading(QStringLiteral("Serif"), 28);
    heading.setStyleHint(QFont::Serif);
    m_title->setFont(heading);
    m_title->setAlignment(Qt::AlignCenter);

    m_quote = new QLabel;
    m_quote->setObjectName(QStringLiteral("lblQuotes"));
    m_quote->setWordWrap(true);
    m_quote->setAlignment(Qt::AlignCenter);
    m_quote->setMinimumHeight(60);
    m_author = new QLabel;
    m_author->setObjectName(QStringLiteral("lblAuthor"));
    m_author->setAlignment(Qt::AlignRight);

    auto *back = new QPushButton(QStringLiteral("Go back."));
    back->setObjectName(QStringLiteral("Command1"));
    back->setDefault(true);
    connect(back, &QPushButton::clicked, this, &QDialog::close);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_title);
    layout->addWidget(m_quote, 1);
    layout->addWidget(m_author);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(back);
    buttons->addStretch();
    layout->addLayout(buttons);
    setMinimumSize(420, 240);

    // The window always opens on the first entry; the ticks carry on from quoteStep.
    showEntry(0);
    m_timer.setObjectName(QStringLiteral("tmr1"));
    m_timer.setInterval(kTickMilliseconds);
    connect(&m_timer, &QTimer::timeout, this, &QuotationsWindow::tick);
    m_timer.start();
}

void QuotationsWindow::tick()
{
    ++m_quoteStep;
    if (m_quoteStep < kLastQuotation) {
        showEntry(m_quoteStep);
    } else if (m_quoteStep == kLastQuotation) {
        m_title->setText(QStringLiteral("Thank you!"));
        showEntry(kLastQuotation);
    } else {
        m_quoteStep = kLastQuotation;
    }
}

void QuotationsWindow::showEntry(int entry)
{
    const Quotation &quotation = QuotationAt(entry);
    m_quote->setText(QString::fromUtf8(quotation.text));
    m_author->setText(QStringLiteral("-") + QString::fromUtf8(quotation.author));
}

#include "AboutBox.h"

#include "Interaction.h"

#include <QApplication>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#if !defined(CORVANTA_VERSION_MAJOR) || !defined(CORVANTA_VERSION_MINOR) || !defined(CORVANTA_VERSION_PATCH)
#error "The build passes the project's version to the About box."
#endif

namespace {

constexpr QSize kPictureSize(70, 69);
constexpr int kBoxWidth = 420;

QFrame *etchedLine()
{
    auto *line = new QFrame;
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

// Where no icon theme carries ours yet (a build run from its folder): a drawn one.
QPixmap drawnPicture()
{
    QPixmap picture(kPictureSize);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(30, 60, 110), 2));
    painter.setBrush(QColor(70, 120, 190));
    painter.drawRoundedRect(QRectF(4, 6, 58, 50), 6, 6);
    painter.setBrush(QColor(245, 240, 225));
    painter.drawRoundedRect(QRectF(12, 14, 50, 48), 4, 4);
    painter.setBrush(QColor(90, 160, 90));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QRectF(20, 22, 14, 14));
    painter.setBrush(QColor(60, 110, 60));
    painter.drawPolygon(QPolygonF({QPointF(16, 58), QPointF(34, 36), QPointF(58, 58)}));
    return picture;
}

} // namespace

AboutBox::SystemInfoSource AboutBox::installedSystemInfo()
{
    return {SystemInfo::defaultCandidates(), qEnvironmentVariable("PATH")};
}

QString AboutBox::versionText()
{
    return QStringLiteral("Version %1.%2.%3")
        .arg(CORVANTA_VERSION_MAJOR)
        .arg(CORVANTA_VERSION_MINOR)
        .arg(CORVANTA_VERSION_PATCH);
}

QPixmap AboutBox::programPicture()
{
    const QIcon icon = QIcon::fromTheme(QStringLiteral("corvanta"), QApplication::windowIcon());
    if (icon.isNull())
        return drawnPicture();
    QPixmap picture(kPictureSize);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    const int side = qMin(kPictureSize.width(), kPictureSize.height());
    icon.paint(&painter, QRect((kPictureSize.width() - side) / 2, 0, side, side));
    return picture;
}

AboutBox::AboutBox(Interaction::Interface &ui, SystemInfoSource systemInfo, std::function<void()> showQuotations,
                   QWidget *parent)
    : QDialog(parent)
    , m_ui(ui)
    , m_systemInfo(std::move(systemInfo))
    , m_showQuotations(std::move(showQuotations))
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Corvanta"));
    setAttribute(Qt::WA_DeleteOnClose);

    m_picture = new QLabel;
    m_picture->setObjectName(QStringLiteral("picIcon"));
    m_picture->setFixedSize(kPictureSize);
    m_picture->setPixmap(programPicture());
    m_picture->installEventFilter(this);

    m_title = new QLabel(Interaction::kProgramTitle);
    m_title->setObjectName(QStringLiteral("lblTitle"));
    QFont titleFont = m_title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    titleFont.setBold(true);
    m_title->setFont(titleFont);
    m_title->installEventFilter(this);

    auto *version = new QLabel(versionText());
    version->setObjectName(QStringLiteral("lblVersion"));
    auto *description = new QLabel(QStringLiteral("App Description"));
    description->setObjectName(QStringLiteral("lblDescription"));
    auto *disclaimer = new QLabel(QStringLiteral(
        "Corvanta was written by the Corvanta team, for everyone who keeps more pictures, songs and films than "
        "they can remember. Our appreciation goes out to all those that have helped us create the program. "
        "Thank you! We are not responsible for any damage done while using this program."));
    disclaimer->setObjectName(QStringLiteral("lblDisclaimer"));
    disclaimer->setWordWrap(true);

    m_ok = new QPushButton(QStringLiteral("OK"));
    m_ok->setObjectName(QStringLiteral("cmdOK"));
    m_ok->setDefault(true);
    m_ok->installEventFilter(this);
    auto *sysInfo = new QPushButton(QStringLiteral("&System Info..."));
    sysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    // Escape rejects the dialog: OK is the cancel button too.
    connect(m_ok, &QPushButton::clicked, this, &QDialog::close);
    connect(this, &QDialog::rejected, this, &QDialog::close);
    connect(sysInfo, &QPushButton::clicked, this,
            [this] { SystemInfo::StartSysInfo(m_ui, m_systemInfo.candidates, m_systemInfo.searchPath, this); });

    auto *texts = new QVBoxLayout;
    texts->addWidget(m_title);
    texts->addWidget(version);
    texts->addWidget(description);
    auto *top = new QHBoxLayout;
    top->addWidget(m_picture, 0, Qt::AlignTop);
    top->addSpacing(12);
    top->addLayout(texts, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(sysInfo);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(etchedLine());
    layout->addWidget(disclaimer);
    layout->addWidget(etchedLine());
    layout->addLayout(buttons);
    // A wrapped text's height depends on its width: size the box for the width it
    // has, or the disclaimer runs into the lines around it.
    ensurePolished();
    setFixedSize(kBoxWidth, heightForWidth(kBoxWidth));
    m_ok->setFocus();
}

bool AboutBox::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (watched == m_ok && (type == QEvent::KeyPress || type == QEvent::KeyRelease)) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Shift && !key->isAutoRepeat())
            m_eggArmed = type == QEvent::KeyPress;
    } else if (watched == m_title && type == QEvent::MouseButtonRelease) {
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            m_eggArmed = true;
    } else if (watched == m_picture && type == QEvent::MouseButtonDblClick) {
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton && m_eggArmed) {
            m_eggArmed = false;
            if (m_showQuotations)
                m_showQuotations();
        }
    }
    return QDialog::eventFilter(watched, event);
}

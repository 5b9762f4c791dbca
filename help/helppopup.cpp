#include "help/helppopup.h"

#include "help/helpcommands.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QToolTip>
#include <QVBoxLayout>

namespace mirvo {

namespace {

constexpr int kDefaultMargin = 8;        // pixels
constexpr int kMaximumTextWidth = 360;   // pixels; longer texts wrap

// A colour of the record, 0x00BBGGRR.
QColor RecordColour(std::int32_t value)
{
    const auto bits = std::uint32_t(value);
    return QColor(int(bits & 0xFF), int(bits >> 8 & 0xFF), int(bits >> 16 & 0xFF));
}

int RecordMargin(std::int32_t value)
{
    return value == kHHDefault ? kDefaultMargin : value;
}

} // namespace

QFont PopupFont(const QString& description, const QFont& base)
{
    QFont font = base;
    const QStringList parts = description.split(QLatin1Char(','));
    if (!parts.value(0).trimmed().isEmpty())
        font.setFamilies({parts.value(0).trimmed(), base.family()});
    bool ok = false;
    const int points = parts.value(1).trimmed().toInt(&ok);
    if (ok && points > 0)
        font.setPointSize(points);
    const QString style = parts.value(3).toUpper();
    if (style.contains(QLatin1String("BOLD")))
        font.setBold(true);
    if (style.contains(QLatin1String("ITALIC")))
        font.setItalic(true);
    if (style.contains(QLatin1String("UNDERLINE")))
        font.setUnderline(true);
    return font;
}

THelpPopup::THelpPopup(const THHPopup& record, QWidget* parent)
    : QFrame(parent, Qt::Popup | Qt::FramelessWindowHint)
    , FLabel(new QLabel(this))
{
    setObjectName(QStringLiteral("HelpPopup"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFrameShape(QFrame::Box);
    setPalette(QToolTip::palette());
    setAutoFillBackground(true);
    QPalette colours = palette();
    if (record.clrBackground != kHHDefault)
        colours.setColor(QPalette::Window, RecordColour(record.clrBackground));
    if (record.clrForeground != kHHDefault)
        colours.setColor(QPalette::WindowText, RecordColour(record.clrForeground));
    setPalette(colours);

    FLabel->setObjectName(QStringLiteral("labPopupText"));
    FLabel->setTextFormat(Qt::PlainText);
    FLabel->setWordWrap(true);
    FLabel->setText(QString::fromUtf8(record.pszText ? record.pszText : ""));
    FLabel->setFont(PopupFont(QString::fromUtf8(record.pszFont ? record.pszFont : ""), font()));
    FLabel->setMaximumWidth(kMaximumTextWidth);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(RecordMargin(record.rcMargins.left), RecordMargin(record.rcMargins.top),
                               RecordMargin(record.rcMargins.right), RecordMargin(record.rcMargins.bottom));
    layout->addWidget(FLabel);
    adjustSize();

    // At the point, kept on the screen that holds it.
    QRect frame(QPoint(record.pt.x, record.pt.y), size());
    if (const QScreen* screen = QGuiApplication::screenAt(frame.topLeft())) {
        const QRect area = screen->availableGeometry();
        frame.moveRight(std::min(frame.right(), area.right()));
        frame.moveBottom(std::min(frame.bottom(), area.bottom()));
        frame.moveLeft(std::max(frame.left(), area.left()));
        frame.moveTop(std::max(frame.top(), area.top()));
    }
    move(frame.topLeft());
}

QString THelpPopup::Text() const
{
    return FLabel->text();
}

void THelpPopup::mousePressEvent(QMouseEvent*)
{
    close();
}

void THelpPopup::keyPressEvent(QKeyEvent*)
{
    close();
}

} // namespace mirvo

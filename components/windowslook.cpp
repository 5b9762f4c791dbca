#include "components/windowslook.h"

#include "components/fonts.h"
#include "components/japanese.h"

#include <QApplication>
#include <qdrawutil.h>
#include <QDateTimeEdit>
#include <QIconEngine>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QStyleFactory>
#include <QStyleOption>
#include <QTextDocument>

namespace mirvo {

namespace {

const char* const kBaseStyle = "Fusion";
// A window colour darker than this is a dark palette (lightness 0-255).
constexpr int kDarkPaletteLightness = 128;
constexpr int kDarkRimAlpha = 200;
// A group box's title starts this far from the box's left edge, with this
// much space either side of it in the frame line (logical pixels).
constexpr int kTitleIndent = 8;
constexpr int kTitlePadding = 2;
constexpr int kEtchedLineWidth = 1;
// The Windows date picker's drop-down button and border.
constexpr int kDropDownWidth = 16;
constexpr int kPickerBorder = 2;

// Help icon colours: Windows' help blue, darker at the rim.
const QColor kHelpDisc(0x1F, 0x6F, 0xD0);
const QColor kHelpRim(0x10, 0x3F, 0x8C);
constexpr double kHelpMarkHeight = 0.78;  // of the icon's height

bool IsPlainGroupBox(const QStyleOptionComplex* option)
{
    const auto* box = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
    return box && !(box->subControls & QStyle::SC_GroupBoxCheckBox);
}

class THelpIconEngine final : public QIconEngine {
public:
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override
    {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        const double side = std::min(rect.width(), rect.height());
        const QRectF disc(rect.x() + (rect.width() - side) / 2.0 + 0.5, rect.y() + (rect.height() - side) / 2.0 + 0.5,
                          side - 1.0, side - 1.0);
        const bool disabled = mode == QIcon::Disabled;
        painter->setPen(QPen(disabled ? Qt::gray : kHelpRim, 1.0));
        painter->setBrush(disabled ? QColor(Qt::lightGray) : kHelpDisc);
        painter->drawEllipse(disc);
        QFont font = WindowsFont(kFaceArial, std::max(1, qRound(side * kHelpMarkHeight)), true);
        painter->setFont(font);
        painter->setPen(Qt::white);
        painter->drawText(disc, Qt::AlignCenter, QStringLiteral("?"));
        painter->restore();
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pixmap;
    }
    QIconEngine* clone() const override { return new THelpIconEngine; }
};

} // namespace

QString KeepFileNamesWhole(const QString& text)
{
    constexpr char16_t kNoBreakSpace = 0x00A0;
    const auto ascii = [](QChar c) { return c.unicode() >= 0x20 && c.unicode() < 0x7F; };
    QString kept = text;
    // Each run of ASCII that holds a folder separator is (part of) a file
    // name: its blanks between two other characters stop breaking lines.
    for (qsizetype start = 0; start < kept.size();) {
        qsizetype end = start;
        while (end < kept.size() && ascii(kept[end]))
            ++end;
        const QStringView run = QStringView(kept).mid(start, end - start);
        if (run.contains(u'/') || run.contains(u'\\')) {
            for (qsizetype i = start + 1; i + 1 < end; ++i) {
                const QChar before = kept[i - 1];
                if (kept[i] == ' ' && before != ' ' && kept[i + 1] != ' ' && !QStringLiteral(",.;:!?").contains(before))
                    kept[i] = QChar(kNoBreakSpace);
            }
        }
        start = end + 1;
    }
    return kept;
}

void TWindowsLookStyle::polish(QWidget* widget)
{
    QProxyStyle::polish(widget);
    auto* box = qobject_cast<QMessageBox*>(widget);
    if (box && (box->textFormat() == Qt::PlainText
                || (box->textFormat() == Qt::AutoText && !Qt::mightBeRichText(box->text()))))
        box->setText(KeepFileNamesWhole(box->text()));
}

TWindowsLookStyle::TWindowsLookStyle()
    : QProxyStyle(QStyleFactory::create(QString::fromLatin1(kBaseStyle)))
{
}

QRect TWindowsLookStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl part,
                                        const QWidget* widget) const
{
    if (control == CC_GroupBox && IsPlainGroupBox(option)) {
        const auto* box = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
        const int titleHeight = box->fontMetrics.height();
        const QRect frame = box->rect.adjusted(0, titleHeight / 2, 0, 0);
        switch (part) {
        case SC_GroupBoxFrame:
            return frame;
        case SC_GroupBoxLabel: {
            const int width = box->text.isEmpty() ? 0 : box->fontMetrics.horizontalAdvance(box->text) + 2 * kTitlePadding;
            return QRect(box->rect.left() + kTitleIndent, box->rect.top(), width, titleHeight);
        }
        case SC_GroupBoxContents: {
            const int border = pixelMetric(PM_DefaultFrameWidth, option, widget);
            return box->rect.adjusted(border, titleHeight, -border, -border);
        }
        default:
            break;
        }
    }
    if (control == CC_ComboBox && qobject_cast<const QDateTimeEdit*>(widget)) {
        const QRect r = option->rect;
        switch (part) {
        case SC_ComboBoxArrow:
            return QRect(r.right() - kPickerBorder - kDropDownWidth + 1, r.top() + kPickerBorder, kDropDownWidth,
                         r.height() - 2 * kPickerBorder);
        case SC_ComboBoxEditField:
            return QRect(r.left() + kPickerBorder, r.top() + kPickerBorder,
                         r.width() - 2 * kPickerBorder - kDropDownWidth, r.height() - 2 * kPickerBorder);
        default:
            break;
        }
    }
    return QProxyStyle::subControlRect(control, option, part, widget);
}

void TWindowsLookStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                           QPainter* painter, const QWidget* widget) const
{
    if (control != CC_GroupBox || !IsPlainGroupBox(option)) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    const auto* box = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
    const QRect title = subControlRect(control, option, SC_GroupBoxLabel, widget);
    if (box->subControls & SC_GroupBoxFrame) {
        // Windows' etched line: a shadow line with a light one inside it,
        // broken where the title stands.
        painter->save();
        QRegion outside(box->rect);
        if (!title.isEmpty())
            outside -= title;
        painter->setClipRegion(outside);
        qDrawShadeRect(painter, subControlRect(control, option, SC_GroupBoxFrame, widget), box->palette, true,
                       kEtchedLineWidth, 0);
        painter->restore();
    }
    if ((box->subControls & SC_GroupBoxLabel) && !box->text.isEmpty()) {
        QPalette palette = box->palette;
        if (box->textColor.isValid())
            palette.setColor(QPalette::WindowText, box->textColor);
        drawItemText(painter, title, Qt::AlignCenter | Qt::TextShowMnemonic, palette,
                     box->state & State_Enabled, box->text, QPalette::WindowText);
    }
}

QIcon TWindowsLookStyle::standardIcon(StandardPixmap icon, const QStyleOption* option, const QWidget* widget) const
{
    if (icon == SP_DialogHelpButton || icon == SP_TitleBarContextHelpButton)
        return HelpIcon();
    return QProxyStyle::standardIcon(icon, option, widget);
}

QIcon HelpIcon()
{
    return QIcon(new THelpIconEngine);
}

void TWindowsLookStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                      const QWidget* widget) const
{
    QProxyStyle::drawPrimitive(element, option, painter, widget);
    if (element != PE_IndicatorCheckBox && element != PE_IndicatorRadioButton)
        return;
    if (option->palette.color(QPalette::Window).lightness() >= kDarkPaletteLightness)
        return;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    QColor rim = option->palette.color(QPalette::WindowText);
    rim.setAlpha(kDarkRimAlpha);
    painter->setPen(QPen(rim, 1));
    painter->setBrush(Qt::NoBrush);
    const QRectF box = QRectF(option->rect).adjusted(0.5, 0.5, -0.5, -0.5);
    if (element == PE_IndicatorRadioButton)
        painter->drawEllipse(box);
    else
        painter->drawRect(box);
    painter->restore();
}

void InstallProgramLook(QApplication& app)
{
    InstallFontSubstitutes();
    InstallJapanese(app);
    QApplication::setStyle(new TWindowsLookStyle);
}

} // namespace mirvo

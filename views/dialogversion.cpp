#include "views/dialogversion.h"

#include "base/utf8.h"
#include "components/colors.h"
#include "components/fonts.h"
#include "components/qtext.h"
#include "ui_dialogversion.h"
#include "version/abouttext.h"
#include "version/version.h"
#include "views/mainicon.h"

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QPalette>
#include <QScreen>
#include <QTextOption>

using mirvo::Q;

namespace {

constexpr int kBoxFontPixels = 12;    // the box, the memo and the copyright line
constexpr int kLightWindow = 128;     // lightness (0-255) from which a window counts as light
constexpr int kTitleFontPixels = 15;  // the three labels at the top

} // namespace

TDialogVersion::TDialogVersion(QWidget* owner, const QString& programFile)
    : QDialog(owner)
    , ui(std::make_unique<Ui::TDialogVersion>())
    , FProgramFile(programFile.isEmpty() ? QCoreApplication::applicationFilePath() : programFile)
{
    ui->setupUi(this);
    ApplyLayoutProperties();
    FormCreate();
}

TDialogVersion::~TDialogVersion() = default;

void TDialogVersion::ApplyLayoutProperties()
{
    // A dialog border: fixed size, no minimize or maximize box.
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    setFixedSize(size());
    setFont(mirvo::WindowsFont(mirvo::kFaceMSPGothic, kBoxFontPixels));
    // Black text on the light window the box was drawn for; a dark or
    // high-contrast system palette keeps its own text colour, which is the
    // one that can be read on its background.
    if (palette().color(QPalette::Window).lightness() >= kLightWindow) {
        QPalette black = palette();
        black.setColor(QPalette::WindowText, Qt::black);
        black.setColor(QPalette::Text, Qt::black);
        setPalette(black);
    }

    ui->labJpProductName->setFont(mirvo::WindowsFont(mirvo::kFaceMSPMincho, kTitleFontPixels));
    QFont italic = mirvo::WindowsFont(mirvo::kFaceArial, kTitleFontPixels);
    italic.setItalic(true);
    ui->labVersion->setFont(italic);
    ui->labUsProductName->setFont(mirvo::WindowsFont(mirvo::kFaceMSPGothic, kTitleFontPixels));
    ui->labCopyright->setFont(mirvo::WindowsFont(mirvo::kFaceMSPGothic, kBoxFontPixels));
    ui->labCopyright->adjustSize();

    // The memo: centred lines on the button face, like the box around it.
    ui->Memo->setFont(mirvo::WindowsFont(mirvo::kFaceMSPGothic, kBoxFontPixels));
    QTextOption centred = ui->Memo->document()->defaultTextOption();
    centred.setAlignment(Qt::AlignHCenter);
    ui->Memo->document()->setDefaultTextOption(centred);
    QPalette memo = ui->Memo->palette();
    memo.setColor(QPalette::Base, mirvo::ToQColor(mirvo::clBtnFace, memo));
    ui->Memo->setPalette(memo);
    // Read-only, but reachable with Tab and scrolled with the keys, as a memo is.
    ui->Memo->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    ui->Memo->setFocusPolicy(Qt::StrongFocus);

    ui->OKButton->setFocus();
}

void TDialogVersion::FormCreate()
{
    // 1. The icon.
    setWindowIcon(mirvo::WindowIcon());
    ui->imgIcon->setPixmap(mirvo::MainIcon().pixmap(ui->imgIcon->size() * devicePixelRatioF()));

    // 2. The line the three labels are centred on, in 16 bits as the box
    // always worked it out: half of panel width plus half the icon's width,
    // a quarter icon to the right of the panel's middle (258 / 2 = 129).
    const auto centre = static_cast<qint16>(ui->pnlAbout->width() + ui->imgIcon->width() / 2);

    // 3.-6. The version information and the three labels.
    const mirvo::TVersion version(koyomi::PathFromUtf8(FProgramFile.toStdString()));
    PlaceCentred(*ui->labJpProductName, Q(version.GetFileDescription()), centre);
    PlaceCentred(*ui->labVersion, Q(version.GetFileVersion()) + ' ', centre);
    PlaceCentred(*ui->labUsProductName, Q(version.GetProductName()), centre);

    // 7. The memo: the version lines on top, the date above the thank-you line.
    std::vector<std::string> fixedLines;
    for (const QString& line : ui->Memo->toPlainText().split('\n'))
        fixedLines.push_back(line.toStdString());
    QStringList lines;
    for (const std::string& line : mirvo::AboutMemoLines(version, fixedLines, Today().toStdString()))
        lines.push_back(Q(line));
    ui->Memo->setPlainText(lines.join('\n'));

    // Centred on the screen.
    if (const QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

int TDialogVersion::CentredLeft(qint16 centre, int width)
{
    return static_cast<qint16>(centre - width) / 2;
}

void TDialogVersion::PlaceCentred(QLabel& label, const QString& text, qint16 centre)
{
    label.setText(text);
    label.adjustSize();  // the label takes the width of its text first
    label.move(CentredLeft(centre, label.width()), label.y());
}

QString TDialogVersion::Today() const
{
    const QDateTime written = QFileInfo(FProgramFile).lastModified();
    if (!written.isValid())
        return {};
    const QDate date = written.date();
    return Q(mirvo::FileDateText(date.year(), date.month(), date.day()));
}

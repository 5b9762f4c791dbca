// The main window's welcome: with no member in the list there is nobody to
// read the day for, so the window says what the program does and offers to
// add oneself, in place of the reading of a nameless member born today.
#include "app/formmain.h"

#include "base/messages.h"
#include "base/stringtable.h"
#include "components/fonts.h"
#include "components/qtext.h"
#include "ui_formmain.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kWelcomeFontPixels = 13;
constexpr int kWelcomeMargin = 8;   // pixels around the welcome's text
constexpr int kWelcomeTop = 40;     // below the date

using mirvo::Q;

} // namespace

void TTodayMirvo::CreateWelcome()
{
    FWelcome = new QWidget(this);
    FWelcome->setObjectName("pnlWelcome");
    FWelcome->setGeometry(0, kWelcomeTop, width(), height() - kWelcomeTop);
    auto* layout = new QVBoxLayout(FWelcome);
    layout->setContentsMargins(kWelcomeMargin, kWelcomeMargin, kWelcomeMargin, kWelcomeMargin);
    auto* text = new QLabel(Q(mirvo::LoadStr(mirvo::kTextWelcome)), FWelcome);
    text->setObjectName("labWelcome");
    text->setWordWrap(true);
    text->setFont(mirvo::WindowsFont(mirvo::kFaceMSPGothic, kWelcomeFontPixels));
    text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // White on the window's dark gradient, whatever the palette.
    QPalette palette = text->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    text->setPalette(palette);
    layout->addWidget(text, 1);
    auto* button = new QPushButton(Q(mirvo::LoadStr(mirvo::kTextWelcomeButton)), FWelcome);
    button->setObjectName("btnWelcome");
    button->setAutoDefault(true);  // Enter presses it, as a dialog's default button
    layout->addWidget(button, 0, Qt::AlignHCenter);
    connect(button, &QPushButton::clicked, this, [this] { RunCommand(cmdOption); });
    FWelcome->setAccessibleName(text->text());
    FWelcome->hide();
}

void TTodayMirvo::ShowWelcome()
{
    const bool empty = FMemberList->Count() == 0;
    // The reading of nobody means nothing: it goes while the welcome is there.
    const QList<QWidget*> reading = {ui->imgBio, ui->labHealth, ui->labFeel, ui->labIntell, ui->labBio,
                                     ui->labStar, ui->labMessage};
    for (QWidget* w : reading)
        w->setVisible(!empty);
    for (int k = 0; k < mirvo::kAxisCount; ++k) {
        FFaceLabels[k]->setVisible(!empty);
        FBioLabels[k]->setVisible(!empty);
        FStarLabels[k]->setVisible(!empty);
        FRateLabels[k]->setVisible(!empty);
    }
    FWelcome->setVisible(empty);
    if (empty) {
        FWelcome->raise();
        FWelcome->findChild<QPushButton*>("btnWelcome")->setFocus();
    }
}

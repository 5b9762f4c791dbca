// The about box: the program's icon, description, version and product name
// from its version information, and a memo with the credits, the history
// and the date of the program file.
#pragma once

#include <QDialog>
#include <QString>

#include <memory>

class QLabel;

namespace Ui {
class TDialogVersion;
}

class TDialogVersion final : public QDialog {
    Q_OBJECT
public:
    // `programFile`: the file whose version information and date are shown;
    // empty for the running program. The box is modal; its owner frees it
    // after it has been shown.
    explicit TDialogVersion(QWidget* owner, const QString& programFile = QString());
    ~TDialogVersion() override;

    // The program file's last-write date (local time) as "Jun. 4th , 1999";
    // empty when the file's date cannot be read.
    QString Today() const;

private:
    void ApplyLayoutProperties();
    void FormCreate();
    // Left edge, in panel pixels, that centres a label of `width` pixels on the
    // box's centre line `centre` (see FormCreate).
    static int CentredLeft(qint16 centre, int width);
    void PlaceCentred(QLabel& label, const QString& text, qint16 centre);

    std::unique_ptr<Ui::TDialogVersion> ui;
    QString FProgramFile;
};

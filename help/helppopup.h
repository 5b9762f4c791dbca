// THelpPopup: the small pop-up that shows a help text next to the point it
// explains. Any click or key closes it.
#pragma once

#include <QFrame>

class QLabel;

namespace mirvo {

struct THHPopup;

class THelpPopup final : public QFrame {
    Q_OBJECT
public:
    // Shows the record's text at its point (screen pixels), with its colours,
    // margins and font where they are not -1 / empty.
    explicit THelpPopup(const THHPopup& record, QWidget* parent = nullptr);
    QString Text() const;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLabel* FLabel;
};

// Reads a pop-up font description "face name, point size[, charset[, BOLD
// ITALIC UNDERLINE]]"; parts that are missing or unreadable keep `base`'s.
QFont PopupFont(const QString& description, const QFont& base);

} // namespace mirvo

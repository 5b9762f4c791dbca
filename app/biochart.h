// The 31-day biorhythm chart: paints the lines the core computed, over a
// transparent background, in the widget's logical coordinates (sharp on
// high-density screens).
#pragma once

#include "reading/biorhythm.h"

#include <QWidget>

class TBioChart final : public QWidget {
    Q_OBJECT
public:
    explicit TBioChart(QWidget* parent = nullptr);

    void SetChart(mirvo::BioChart chart);
    const mirvo::BioChart& Chart() const { return FChart; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    mirvo::BioChart FChart;
};

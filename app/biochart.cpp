#include "app/biochart.h"

#include "components/colors.h"

#include <QPainter>

TBioChart::TBioChart(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
}

void TBioChart::SetChart(mirvo::BioChart chart)
{
    FChart = std::move(chart);
    update();
}

void TBioChart::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    // The chart was laid out for an image of the chart's size: scale it to the widget.
    if (FChart.width > 0 && FChart.height > 0 && (FChart.width != width() || FChart.height != height()))
        painter.scale(static_cast<double>(width()) / FChart.width, static_cast<double>(height()) / FChart.height);
    QPen pen(mirvo::ToQColor(mirvo::kChartAxisColour, palette()));
    pen.setWidth(1);  // one logical pixel: two device pixels on a double-density screen
    pen.setCapStyle(Qt::FlatCap);
    painter.setPen(pen);
    for (const mirvo::ChartLine& l : FChart.axes)
        painter.drawLine(l.from.x, l.from.y, l.to.x, l.to.y);
    for (const mirvo::ChartLine& l : FChart.ticks)
        painter.drawLine(l.from.x, l.from.y, l.to.x, l.to.y);
    for (int k = 0; k < mirvo::kAxisCount; ++k) {
        pen.setColor(mirvo::ToQColor(mirvo::AxisColour(k), palette()));
        painter.setPen(pen);
        const auto& curve = FChart.curves[k];
        for (std::size_t j = 1; j < curve.size(); ++j)
            painter.drawLine(curve[j - 1].x, curve[j - 1].y, curve[j].x, curve[j].y);
    }
}

#include "components/faceglyphs.h"

#include "components/fonts.h"

#include <QPainter>
#include <QPainterPath>

namespace mirvo {

namespace {

// The drawings are made on the 14 x 17 cell of a 16-pixel face and scaled.
constexpr double kDesignWidth = 14.0;
constexpr double kDesignHeight = 17.0;
constexpr double kDesignEm = 16.0;

constexpr double kLine = 1.35;  // width of the outline and the mouth

// A face: a ring, two eyes, a mouth.
constexpr QPointF kFaceCentre{7.0, 8.5};
constexpr double kFaceRadius = 6.2;
constexpr QPointF kLeftEye{4.85, 6.6};
constexpr QPointF kRightEye{9.15, 6.6};
constexpr double kEyeWidth = 0.95;
constexpr double kEyeHeight = 1.35;

// Mouths: from a left end through a control point to a right end.
struct Mouth {
    QPointF left, control, right;
};
constexpr Mouth kSmile{{3.9, 9.3}, {7.0, 13.8}, {10.1, 9.3}};
constexpr Mouth kStraight{{4.8, 11.6}, {7.0, 11.6}, {9.2, 11.6}};
constexpr Mouth kFrown{{4.2, 12.4}, {7.0, 8.6}, {9.8, 12.4}};

// The bomb: a round body with a light glint, a cap, a fuse and its spark.
constexpr QPointF kBodyCentre{6.0, 10.6};
constexpr double kBodyRadius = 5.0;
constexpr QPointF kGlintCentre{4.1, 8.8};
constexpr double kGlintRadius = 1.25;
constexpr QPointF kCapCentre{9.6, 6.6};
constexpr double kCapWidth = 3.0;
constexpr double kCapHeight = 2.2;
constexpr double kCapAngle = -45.0;
constexpr QPointF kFuseStart{10.4, 5.7};
constexpr QPointF kFuseBend1{11.3, 4.8};
constexpr QPointF kFuseBend2{10.3, 3.6};
constexpr QPointF kSpark{10.8, 3.0};
constexpr double kFuseLine = 1.1;
constexpr double kSparkRay = 1.7;
constexpr double kSparkLine = 0.9;

constexpr char16_t kFaceLetters[] = {u'J', u'K', u'L', u'M'};

void DrawFace(QPainter& p, const Mouth& mouth)
{
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(kFaceCentre, kFaceRadius, kFaceRadius);
    QPainterPath curve(mouth.left);
    curve.quadTo(mouth.control, mouth.right);
    p.drawPath(curve);
}

void DrawEyes(QPainter& p, const QColor& color)
{
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawEllipse(kLeftEye, kEyeWidth, kEyeHeight);
    p.drawEllipse(kRightEye, kEyeWidth, kEyeHeight);
}

void DrawBomb(QPainter& p, const QColor& color)
{
    QPainterPath body;
    body.addEllipse(kBodyCentre, kBodyRadius, kBodyRadius);
    QPainterPath glint;
    glint.addEllipse(kGlintCentre, kGlintRadius, kGlintRadius);
    QPainterPath cap;
    cap.addRect(QRectF(-kCapWidth / 2, -kCapHeight / 2, kCapWidth, kCapHeight));
    QTransform toCap;
    toCap.translate(kCapCentre.x(), kCapCentre.y());
    toCap.rotate(kCapAngle);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPath(body.subtracted(glint).united(toCap.map(cap)));

    QPen fuse(color, kFuseLine, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(fuse);
    p.setBrush(Qt::NoBrush);
    QPainterPath line(kFuseStart);
    line.cubicTo(kFuseBend1, kFuseBend2, kSpark);
    p.drawPath(line);
    // The spark: four rays round the fuse's end.
    p.setPen(QPen(color, kSparkLine, Qt::SolidLine, Qt::RoundCap));
    const double d = kSparkRay / 2;
    p.drawLine(QPointF(kSpark.x() - d, kSpark.y() - d), QPointF(kSpark.x() + d, kSpark.y() + d));
    p.drawLine(QPointF(kSpark.x() - d, kSpark.y() + d), QPointF(kSpark.x() + d, kSpark.y() - d));
    p.drawLine(QPointF(kSpark.x() + d * 1.4, kSpark.y()), QPointF(kSpark.x() + d * 2.0, kSpark.y()));
}

} // namespace

bool HasFacePicture(const QString& face, QChar letter)
{
    if (face.compare(kFaceWingdings, Qt::CaseInsensitive) != 0)
        return false;
    for (const char16_t c : kFaceLetters)
        if (letter == QChar(c))
            return true;
    return false;
}

bool IsFacePictureText(const QString& face, const QString& caption)
{
    if (caption.isEmpty())
        return false;
    for (const QChar c : caption)
        if (!HasFacePicture(face, c))
            return false;
    return true;
}

QSize FacePictureCell(int pixelSize)
{
    return {qRound(pixelSize * kDesignWidth / kDesignEm), qRound(pixelSize * kDesignHeight / kDesignEm)};
}

bool DrawFacePicture(QPainter& painter, const QRectF& cell, QChar letter, const QColor& color)
{
    if (!HasFacePicture(kFaceWingdings, letter))
        return false;
    painter.save();
    painter.setClipRect(cell);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(cell.topLeft());
    painter.scale(cell.width() / kDesignWidth, cell.height() / kDesignHeight);
    painter.setPen(QPen(color, kLine, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    switch (letter.unicode()) {
    case u'J':
        DrawFace(painter, kSmile);
        DrawEyes(painter, color);
        break;
    case u'K':
        DrawFace(painter, kStraight);
        DrawEyes(painter, color);
        break;
    case u'L':
        DrawFace(painter, kFrown);
        DrawEyes(painter, color);
        break;
    default:
        DrawBomb(painter, color);
        break;
    }
    painter.restore();
    return true;
}

} // namespace mirvo

#include "themeicon.h"

#include <QGuiApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPixmap>

namespace {

// Each drawing on a 16 x 16 grid: lines and outlines to stroke, and shapes
// to fill.
struct Drawing {
    QPainterPath stroke;
    QPainterPath fill;
};

QPainterPath circle(qreal x, qreal y, qreal r)
{
    QPainterPath p;
    p.addEllipse(QPointF(x, y), r, r);
    return p;
}

QPainterPath line(std::initializer_list<QPointF> points)
{
    QPainterPath p;
    bool first = true;
    for (const QPointF& point : points) {
        if (first)
            p.moveTo(point);
        else
            p.lineTo(point);
        first = false;
    }
    return p;
}

Drawing drawingOf(IconGlyph glyph)
{
    Drawing d;
    switch (glyph) {
    case IconGlyph::Apply:
        d.stroke = line({ { 2.5, 8.5 }, { 6.5, 12.5 }, { 13.5, 3.5 } });
        break;
    case IconGlyph::List:
        for (qreal y : { 3.5, 7.5, 11.5 })
            d.stroke.addPath(line({ { 2, y }, { 9, y } }));
        d.stroke.addPath(line({ { 10.5, 13.5 }, { 14.5, 9.5 } }));
        d.fill.addPath(line({ { 9.5, 14.5 }, { 10.2, 12.3 }, { 11.7, 13.8 }, { 9.5, 14.5 } }));
        break;
    case IconGlyph::Tag:
        d.stroke = line({ { 2, 2 }, { 8.5, 2 }, { 14.5, 8 }, { 8, 14.5 }, { 2, 8.5 }, { 2, 2 } });
        d.fill = circle(5.5, 5.5, 1.4);
        break;
    case IconGlyph::Sliders:
        for (qreal y : { 3.5, 8.0, 12.5 })
            d.stroke.addPath(line({ { 2, y }, { 14, y } }));
        d.fill.addPath(circle(5, 3.5, 1.8));
        d.fill.addPath(circle(11, 8, 1.8));
        d.fill.addPath(circle(7, 12.5, 1.8));
        break;
    case IconGlyph::Funnel:
        d.stroke = line({ { 2, 2.5 }, { 14, 2.5 }, { 9.5, 8 }, { 9.5, 13.5 }, { 6.5, 12 }, { 6.5, 8 }, { 2, 2.5 } });
        break;
    case IconGlyph::Play:
        d.fill = line({ { 4, 2.5 }, { 13.5, 8 }, { 4, 13.5 }, { 4, 2.5 } });
        break;
    case IconGlyph::Trash:
        d.stroke = line({ { 3.5, 4.5 }, { 4.5, 14 }, { 11.5, 14 }, { 12.5, 4.5 } });
        d.stroke.addPath(line({ { 2, 4 }, { 14, 4 } }));
        d.stroke.addPath(line({ { 6, 4 }, { 6.5, 2 }, { 9.5, 2 }, { 10, 4 } }));
        d.stroke.addPath(line({ { 6.5, 6.5 }, { 7, 11.5 } }));
        d.stroke.addPath(line({ { 9.5, 6.5 }, { 9, 11.5 } }));
        break;
    case IconGlyph::Refresh:
        d.stroke.arcMoveTo(2.5, 2.5, 11, 11, 60);
        d.stroke.arcTo(2.5, 2.5, 11, 11, 60, 280);
        d.fill = line({ { 9.5, 0.8 }, { 14, 2.8 }, { 10.5, 6.5 }, { 9.5, 0.8 } });
        break;
    case IconGlyph::PlayList:
        for (qreal y : { 3.0, 6.5, 10.0 })
            d.stroke.addPath(line({ { 1.5, y }, { 8, y } }));
        d.stroke.addPath(line({ { 13.5, 12.5 }, { 13.5, 3.5 }, { 15, 4.5 } }));
        d.fill = circle(11.8, 12.8, 1.9);
        break;
    case IconGlyph::About:
        d.stroke = circle(8, 8, 6.3);
        d.stroke.addPath(line({ { 8, 7 }, { 8, 11.5 } }));
        d.fill = circle(8, 4.6, 1.1);
        break;
    case IconGlyph::Help:
        d.stroke = circle(8, 8, 6.3);
        d.stroke.addPath(
            line({ { 5.8, 6 }, { 6.2, 4.6 }, { 8, 3.9 }, { 9.8, 4.6 }, { 10.2, 6 }, { 8, 8 }, { 8, 9.6 } }));
        d.fill = circle(8, 11.8, 1.1);
        break;
    case IconGlyph::Exit:
        d.stroke = line({ { 9, 4.5 }, { 9, 2 }, { 2.5, 2 }, { 2.5, 14 }, { 9, 14 }, { 9, 11.5 } });
        d.stroke.addPath(line({ { 6, 8 }, { 14, 8 } }));
        d.stroke.addPath(line({ { 11.5, 5.5 }, { 14, 8 }, { 11.5, 10.5 } }));
        break;
    case IconGlyph::Save:
        d.stroke = line({ { 2, 2 }, { 12, 2 }, { 14, 4 }, { 14, 14 }, { 2, 14 }, { 2, 2 } });
        d.stroke.addPath(line({ { 5, 2 }, { 5, 6 }, { 11, 6 }, { 11, 2 } }));
        d.fill.addRect(QRectF(5, 9.5, 6, 3));
        break;
    case IconGlyph::Remove:
        d.stroke = circle(8, 8, 6.3);
        d.stroke.addPath(line({ { 4.8, 8 }, { 11.2, 8 } }));
        break;
    case IconGlyph::Clear:
        d.stroke = line({ { 3.5, 3.5 }, { 12.5, 12.5 } });
        d.stroke.addPath(line({ { 12.5, 3.5 }, { 3.5, 12.5 } }));
        break;
    case IconGlyph::Open:
        d.stroke = line({ { 1.5, 13.5 }, { 1.5, 2.5 }, { 6, 2.5 }, { 7.5, 4.5 }, { 13.5, 4.5 }, { 13.5, 7 } });
        d.stroke.addPath(line({ { 1.5, 13.5 }, { 4, 7 }, { 15, 7 }, { 12.5, 13.5 }, { 1.5, 13.5 } }));
        break;
    }
    return d;
}

class GlyphEngine final : public QIconEngine {
public:
    explicit GlyphEngine(IconGlyph glyph)
        : m_glyph(glyph)
    {
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override
    {
        const QPalette palette = QGuiApplication::palette();
        const QPalette::ColorGroup group = mode == QIcon::Disabled ? QPalette::Disabled : QPalette::Active;
        QColor ink = palette.color(group, QPalette::WindowText);
        QColor halo = palette.color(group, QPalette::Window);
        if (mode == QIcon::Disabled) {
            // Greyed, yet still drawn over the outline.
            ink.setAlphaF(0.55);
            halo.setAlphaF(0.55);
        }
        const Drawing d = drawingOf(m_glyph);
        const qreal side = qMin(rect.width(), rect.height());
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->translate(rect.x() + (rect.width() - side) / 2.0, rect.y() + (rect.height() - side) / 2.0);
        painter->scale(side / 16.0, side / 16.0);
        const auto draw = [&](const QColor& colour, qreal widen) {
            painter->setBrush(Qt::NoBrush);
            painter->setPen(QPen(colour, 1.6 + widen, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            painter->drawPath(d.stroke);
            painter->setPen(
                widen > 0 ? QPen(colour, widen, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin) : QPen(Qt::NoPen));
            painter->setBrush(colour);
            painter->drawPath(d.fill);
        };
        draw(halo, 1.4);
        draw(ink, 0);
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

    QIconEngine* clone() const override { return new GlyphEngine(m_glyph); }

private:
    IconGlyph m_glyph;
};

} // namespace

QIcon glyphIcon(IconGlyph glyph)
{
    return QIcon(new GlyphEngine(glyph));
}

QIcon themeIcon(const QString& name, IconGlyph glyph)
{
    return QIcon::fromTheme(name, glyphIcon(glyph));
}
